#include "app/main_panel.h"

int MainPanelHandle = 0;
int SplashPanelHandle = 0;
RegisterSet regs;
char buf[kBufSize];
