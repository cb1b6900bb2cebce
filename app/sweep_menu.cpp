#include "app/sweep_menu.h"

#include "app/windows/sweep_window.h"

void Open_Sweep_Window(int, int, void*, int)
{
    open_sweep_window();
}

void end_running_sweep()
{
    if (SweepWindow* window = sweep_window())
        window->stop();
}
