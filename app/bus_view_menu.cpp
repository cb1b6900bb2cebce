#include "app/bus_view_menu.h"

#include "app/windows/bus_view.h"

void Open_Bus_View(int, int, void*, int)
{
    show_bus_view();
}
