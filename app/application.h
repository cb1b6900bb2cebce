#pragma once
// zr-eval as the panel layer knows it: its name, the constants of its UI resource
// "New_Panel.uir", its callbacks and its pictures.

#include "panel/built_in_resource.h"
#include "panel/runtime/ui_runtime.h"

const UIApplication& zr_eval_application();
