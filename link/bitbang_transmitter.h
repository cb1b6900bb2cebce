#pragma once
// The bit-bang transmitter. In asynchronous bit-bang mode each byte written to
// the board is one state of its eight lines, taken one after another: the serial
// clock, data and both write strobes are made entirely by the byte pattern.

#include "link/d2xx.h"

#include <cstddef>
#include <cstdint>

// The board's lines, one bit of each pin-state byte.
inline constexpr UCHAR SCLK = 0x01;  // serial clock
inline constexpr UCHAR E_WR = 0x02;  // write strobe of the enhancement register
inline constexpr UCHAR S_WR = 0x04;  // write strobe of the main and auxiliary words
inline constexpr UCHAR SDAT = 0x10;  // serial data
// Bits 3, 5, 6 and 7 carry the option byte: ENHBAR, MASH, RAND_EN and MOD_SEL.

inline constexpr int kMainWordBits = 21;
inline constexpr int kEnhancementWordBits = 8;

// The three bursts: the main word alone, the main word then the auxiliary word,
// and the enhancement word.
inline constexpr std::size_t kMainBurstLength = 49;
inline constexpr std::size_t kMainAuxBurstLength = 98;
inline constexpr std::size_t kEnhancementBurstLength = 20;

// Each burst is built whole in its buffer before the one write; the buffers are
// reused by every press.
extern UCHAR OutBufferS[kMainBurstLength];
extern UCHAR OutBufferA[kMainAuxBurstLength];
extern UCHAR OutBufferE[kEnhancementBurstLength];
extern DWORD Write_Result;  // the bytes FT_Write reported as written

// The bursts, byte for byte. O is the option byte, ORed into every byte so that
// the option lines hold their levels for the whole burst and after it.
void build_main_burst(uint32_t word, UCHAR O, UCHAR (&out)[kMainBurstLength]);
void build_main_aux_burst(uint32_t word, uint32_t auxWord, UCHAR O, UCHAR (&out)[kMainAuxBurstLength]);
void build_enhancement_burst(uint32_t word, UCHAR O, UCHAR (&out)[kEnhancementBurstLength]);

// Counts the devices and keeps the board notices up to date, then hands the
// words to WordOutput. Returns 0 when a burst was handed over, 1 when nothing was sent.
int Write_Data(int word, int auxWord, int optionByte, int enhbar);

// Builds the burst that enhbar and auxWord select and writes it with one FT_Write.
// A failed or short write is reported in the status box. Returns 0.
int WordOutput(int word, int auxWord, int optionByte, int enhbar);
