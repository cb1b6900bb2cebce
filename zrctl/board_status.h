#pragma once
// The devices zrctl counts, refused with the status's name when they cannot be.

#include "d2xx/statuses.h"

// The FTDI devices as the program counts them, every port one device. Refuses
// with "no board" when they cannot be counted or there is none.
DWORD count_devices();
