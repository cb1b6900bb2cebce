#include "panel/bus_view_menu.h"

void Open_Bus_View(int, int, void*, int) {}

