#pragma once
// Real boards, through libftdi. The only place that includes libftdi's header.

#include "link/d2xx.h"

// The driver of real boards; one for the whole program.
BoardDriver& libftdi_driver();

// The rate to hand ftdi_set_baudrate for a D2XX rate. Once bit-bang mode is on,
// libftdi multiplies the rate by 4 before it works out the chip's divisor, and
// D2XX does not: to program the divisor D2XX would, libftdi gets a quarter of it.
int libftdi_baud_rate(DWORD d2xx_rate, bool bitbang_on);
