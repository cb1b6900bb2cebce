#include "panel/register_transfer.h"

void Copy_Register_Words(int, int, void*, int) {}

void Export_Registers(int, int, void*, int) {}

void Import_Registers(int, int, void*, int) {}

