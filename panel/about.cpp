#include "panel/about.h"

#include "model/register_set.h"
#include "panel/ui_runtime.h"

#include <QDesktopServices>
#include <QUrl>

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
    QDesktopServices::openUrl(QUrl(QString::fromUtf8(address)));
    return 0;
}
