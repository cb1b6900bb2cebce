#include "panel/shutdown.h"

#include "link/callbacks/board_connection.h"
#include "panel/lifecycle.h"
#include "panel/main_panel.h"
#include "panel/runtime/ui_runtime.h"

int Shutdown(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    FTDIStatus = FT_Close(FTDIHandle);
    FTDIHandle = nullptr;
    SavePanelState(MainPanelHandle, kPanelStateFile, 0);
    QuitUserInterface(0);
    return 0;
}
