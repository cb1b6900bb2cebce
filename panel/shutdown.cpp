#include "panel/shutdown.h"

#include "link/callbacks/board_connection.h"
#include "panel/lifecycle.h"
#include "panel/main_panel.h"
#include "panel/New_Panel.h"
#include "panel/runtime/ui_runtime.h"

namespace {

bool restored = false;
bool pending = false;

}  // namespace

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

int main_panel_closed(int panel, int event, void*, int, int)
{
    if (event == EVENT_CLOSE)
        Shutdown(panel, PANEL_QUIT, EVENT_COMMIT, nullptr, 0, 0);
    return 0;
}

void termination_signal(int)
{
    if (!restored) {
        pending = true;
        return;
    }
    Shutdown(MainPanelHandle, PANEL_QUIT, EVENT_COMMIT, nullptr, 0, 0);
}

bool termination_pending()
{
    return pending;
}

void set_panel_restored(bool is_restored)
{
    restored = is_restored;
    if (!is_restored)
        pending = false;
}
