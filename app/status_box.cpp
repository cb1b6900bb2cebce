#include "app/status_box.h"

#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"

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
