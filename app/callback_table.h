#pragma once
// The one table that binds the callback names of the UI resource to functions.

#include "ui_runtime/ui_runtime.h"

#include <string_view>

// The function bound to a callback name, or nullptr.
CtrlCallbackPtr find_control_callback(std::string_view name);
MenuCallbackPtr find_menu_callback(std::string_view name);
