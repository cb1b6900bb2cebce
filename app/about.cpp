#include "app/about.h"

#include "app/main_panel.h"
#include "ui_runtime/ui_runtime.h"

#include <cstdio>

void About(int, int, void*, int)
{
    std::snprintf(buf, kBufSize,
                  "%s %s %s\r"
                  "Copyright (c) 2026 %s. All rights reserved.\r"
                  "This software is provided for evaluating %s synthesizers only.",
                  kMakerName, kProductName, kProductVersion, kMakerName, kMakerName);
    MessagePopup("About", buf);
}

int CORVANE(int, int, int event, void*, int, int)
{
    if (event == EVENT_LEFT_CLICK)
        Open_Web_Page(kMakerWebAddress);
    return 0;
}

int Open_Web_Page(const char* address)
{
    OpenWebAddress(address);
    return 0;
}
