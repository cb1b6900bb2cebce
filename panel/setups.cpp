#include "panel/setups.h"

void Save_Setup(int, int, void*, int) {}

void Open_Setup(int, int, void*, int) {}

