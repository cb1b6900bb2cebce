#include "panel/status_box.h"

#include "panel/main_panel.h"
#include "panel/New_Panel.h"
#include "panel/runtime/ui_runtime.h"

#include <cstdarg>
#include <cstdio>

void append_status(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, kBufSize, format, args);
    va_end(args);
    SetCtrlVal(MainPanelHandle, PANEL_Status, buf);
}
