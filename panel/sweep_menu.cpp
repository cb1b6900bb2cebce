#include "panel/sweep_menu.h"

void Open_Sweep_Window(int, int, void*, int) {}

