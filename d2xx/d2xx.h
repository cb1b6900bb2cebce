#pragma once
// The calls of the FTDI D2XX interface that the programs use, with D2XX's types
// and status numbers. Behind them stands one board driver: libftdi for real
// boards, or a simulated board that tests install.

#include "d2xx/board_driver.h"

#include <cstddef>

// Counts the devices, every port of a multi-port chip as one device.
FT_STATUS FT_CreateDeviceInfoList(DWORD* numDevs);
// The sizes of the texts FT_GetDeviceInfoDetail fills, terminator included.
inline constexpr std::size_t FT_SERIAL_NUMBER_SIZE = 16;
inline constexpr std::size_t FT_DESCRIPTION_SIZE = 64;
// The serial number, description and port letter of the device of that index,
// numbered as FT_CreateDeviceInfoList counts. Longer texts are cut to the sizes.
FT_STATUS FT_GetDeviceInfoDetail(DWORD index, char* serialNumber, char* description, char* port);
// Opens the device of that index; *handle stays as it was on failure.
FT_STATUS FT_Open(int deviceNumber, FT_HANDLE* handle);
// How FT_OpenEx names its device; only by serial number here.
enum : DWORD { FT_OPEN_BY_SERIAL_NUMBER = 1 };
// Opens the device of that serial number; *handle stays as it was on failure.
FT_STATUS FT_OpenEx(const char* serialNumber, DWORD flags, FT_HANDLE* handle);
FT_STATUS FT_SetBitMode(FT_HANDLE handle, UCHAR mask, UCHAR mode);
FT_STATUS FT_SetBaudRate(FT_HANDLE handle, DWORD baudRate);
FT_STATUS FT_Write(FT_HANDLE handle, void* buffer, DWORD bytesToWrite, DWORD* bytesWritten);
// The modem and line status of an open device. It reaches the chip, so it fails
// with FT_IO_ERROR once the device is unplugged: the light check of a device kept open.
FT_STATUS FT_GetModemStatus(FT_HANDLE handle, DWORD* modemStatus);
// Whether a failed FT_Write was refused before any byte went out (a handle or
// size the driver did not take). After any other failure, how many bytes reached
// the lines is not known.
bool write_sent_nothing(FT_STATUS status);
// Closing a handle that was never opened returns FT_INVALID_HANDLE and touches nothing.
FT_STATUS FT_Close(FT_HANDLE handle);

// Why the last FT_Open failed, as far as the driver can tell (D2XX itself gives
// only the status).
OpenFailure board_open_failure();

// Whether the device of that index, numbered as FT_CreateDeviceInfoList counts,
// could be opened now, and if not why (D2XX has only an "opened" flag).
DeviceUse device_use(DWORD index);

// Puts a driver behind the calls (nullptr: libftdi again) and returns the one
// that stood there. The program always runs on libftdi; tests install others.
BoardDriver* install_board_driver(BoardDriver* driver);
