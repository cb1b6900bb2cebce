#pragma once
// The bit-bang transmitter. In asynchronous bit-bang mode each byte written to
// the board is one state of its eight lines, taken one after another: the serial
// clock, data and both write strobes are made entirely by the byte pattern.

#include "wire/bursts.h"
#include "d2xx/d2xx.h"

// Counts the devices and keeps the board notices up to date, then builds the
// burst that enhbar and auxWord select, whole, and writes it with one FT_Write;
// a failed or short write is reported in the status box.
void Write_Data(uint32_t word, uint32_t auxWord, uint8_t optionByte, int enhbar);

// Told of every burst handed to FT_Write, with the bytes the board took (a short
// write took fewer); for windows that follow what goes out. nullptr: no one.
using BurstListener = void (*)(const UCHAR* burst, DWORD length, DWORD written);
void set_burst_listener(BurstListener listener);

// How many bursts were handed to FT_Write since start-up, by presses and sweeps
// alike: a sweep tells from it that something else went to the chip between
// two of its points.
unsigned long bursts_written();

// Writes a burst built elsewhere (a sweep's) to the board opened at start-up in
// one FT_Write, and tells the burst listener. Returns the write's status.
FT_STATUS write_burst(const UCHAR* burst, DWORD length, DWORD* written);
