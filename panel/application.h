#pragma once
// zr-eval as the panel layer knows it: its name, the constants of its UI resource
// "New_Panel.uir", its callbacks and its pictures.

#include "panel/runtime/ui_runtime.h"

inline constexpr const char* kProgramName = "zr-eval";

const UIApplication& zr_eval_application();
