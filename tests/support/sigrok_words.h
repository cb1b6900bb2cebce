#pragma once
// A logic analyser's software reading a Value Change Dump of the board lines:
// sigrok-cli with its SPI decoder, clocked by SCLK with the data on SDAT.

#include <cstdint>
#include <string>
#include <vector>

// Whether sigrok-cli is installed.
bool have_sigrok_cli();

// The words of `bits` bits that the SPI decoder reads from the dump in the file.
// A test fails when it reads none.
std::vector<uint32_t> sigrok_spi_words(const std::string& vcd_file, int bits);
