#pragma once
// zr-eval as the panel layer knows it: its name, the constants of its UI resource
// "New_Panel.uir", its callbacks and its pictures.

#include "resource/built_in_resource.h"
#include "ui_runtime/ui_runtime.h"

const UIApplication& zr_eval_application();
