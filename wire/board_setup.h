#pragma once
// How the interface board is opened and driven: the first device, all eight
// lines outputs in asynchronous bit-bang mode, and the rate at which the lines
// take the states written (D2XX's baud rate in that mode).

#include <cstdint>

inline constexpr int kBoardDeviceIndex = 0;
inline constexpr uint8_t kAllLinesOutputs = 0xFF;
inline constexpr uint32_t kBitBangBaudRate = 76800;
