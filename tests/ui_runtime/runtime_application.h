#pragma once
// A small application of the panel layer's own tests, on the resource
// "Test_Panel.uir": one window with one control of each kind, and callbacks that
// record what they were called with.

#include "ui_runtime/ui_runtime.h"

#include <vector>

inline constexpr const char* kTestResource = "Test_Panel.uir";

enum TestConstant : int {
    WINDOW = 1,
    WINDOW_PICTURE = 2,
    WINDOW_FREQ,
    WINDOW_COUNT,
    WINDOW_SWITCH,
    WINDOW_BIT,
    WINDOW_TEXT,
    WINDOW_LOG,
    WINDOW_GO,
    WINDOW_HIDDEN,
    BAR = 1,
    BAR_FILE,
    BAR_FILE_COUNT,
};

struct RecordedCall {
    int control;
    int event;
    bool operator==(const RecordedCall&) const = default;
};

// Every control callback run, in order; menu items record control -1.
extern std::vector<RecordedCall> recorded_calls;

const UIApplication& test_application();
