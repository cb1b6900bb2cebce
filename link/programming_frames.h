#pragma once
// The programming frames: the panel's bit toggles and option switches packed
// into the serial words of a "Program Device" press, and the option byte.
//
// Main word, 21 bits sent from bit 20: bit 20 - n is the toggle PANEL_SEC_n
// (PANEL_SEC_4 is the prescaler switch), bit 0 is 0. On the line:
//   R5 R4 M8 M7 PS M6 M5 M4 M3 M2 M1 M0 R3 R2 R1 R0 A3 A2 A1 A0 0
// Auxiliary word (ZR3500 only), 21 bits: K bit 17 first, K bit 0 at bit 3, then 0 0 1.
// Enhancement word, 8 bits: E bit 7 first.
// Option byte, the static levels of four lines: ENHBAR << 3 | MASH << 5 |
// RAND_EN << 6 | MOD_SEL << 7.

#include <array>
#include <cstdint>

// Sets a bit field of a word: clears the width bits at position, but only when
// the field lies within length bits (else nothing is cleared), then ORs in value
// shifted to position. value is not cut to width: a wider value spills into the
// bits above. The shift is done on 32 bits; bits that would land at or above
// bit 32 are dropped.
void InsertBits(uint32_t* word, uint16_t value, uint16_t position, uint16_t width, uint16_t length);

uint8_t pack_option_byte(int ENHBAR, int MASH, int RAND_EN, int MOD_SEL);
// From the values of PANEL_SEC_0 .. PANEL_SEC_19.
uint32_t pack_main_word(const std::array<int, 20>& sec);
// From the values of PANEL_AUX_0 .. PANEL_AUX_17.
uint32_t pack_auxiliary_word(const std::array<int, 18>& aux);
// From the values of PANEL_ENHBIT_0 .. PANEL_ENHBIT_7.
uint32_t pack_enhancement_word(const std::array<int, 8>& enh);

// Callback of "Program Device": with ENH "Disable (High)" sends the main word (and
// for ZR3500 the auxiliary word) and with "Enable  (Low)" the enhancement word,
// each with the option byte.
int SEND_DATA(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// Callback of the option switches Mod Select, RAND_EN, MASH2SEL, ENH and LNM: it
// refreshes the option flags and the frequency display. A switch never writes to
// the board; its level goes out with the next "Program Device".
int callbacks(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
