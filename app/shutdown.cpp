#include "app/shutdown.h"

#include "app/board/board_connection.h"
#include "app/lifecycle.h"
#include "app/main_panel.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"
#include "app/state_keeping.h"
#include "app/sweep_menu.h"

namespace {

bool restored = false;
bool pending = false;
bool interactive = true;  // the way out lets the operator answer questions

}  // namespace

int Shutdown(int, int, int event, void*, int, int)
{
    if (event != EVENT_COMMIT)
        return 0;
    end_running_sweep();
    InstallPollCallback(0, nullptr);
    FTDIStatus = FT_Close(FTDIHandle);
    FTDIHandle = nullptr;
    save_panel_state(interactive);
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
    // A logout or a kill waits for no answer, nor for one a box on screen still
    // asks (QUIT's failed save, say).
    interactive = false;
    Shutdown(MainPanelHandle, PANEL_QUIT, EVENT_COMMIT, nullptr, 0, 0);
    interactive = true;
    DismissPopups();
}

void display_lost()
{
    if (!restored)
        return;
    FT_Close(FTDIHandle);
    FTDIHandle = nullptr;
    save_panel_state(false);
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
