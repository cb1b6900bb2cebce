#pragma once
// The serial words of a programming action and the option byte.
//
// Main word, 21 bits sent from bit 20: bit 20 - n is the toggle at place n of the
// main word (place 4 is the prescaler switch), bit 0 is 0. On the line:
//   R5 R4 M8 M7 PS M6 M5 M4 M3 M2 M1 M0 R3 R2 R1 R0 A3 A2 A1 A0 0
// Auxiliary word (ZR3500 only), 21 bits: K bit 17 first, K bit 0 at bit 3, then 0 0 1.
// Enhancement word, 8 bits: E bit 7 first.
// Option byte, the static levels of four lines: ENHBAR << 3 | MASH << 5 |
// RAND_EN << 6 | MOD_SEL << 7.

#include <array>
#include <cstdint>

inline constexpr int kMainWordBits = 21;
inline constexpr int kAuxiliaryWordBits = 21;
inline constexpr int kEnhancementWordBits = 8;
inline constexpr int kMainWordPlaces = 20;       // toggles of the main word
inline constexpr int kAuxiliaryWordPlaces = 18;  // K toggles
inline constexpr int kEnhancementWordPlaces = 8;  // E toggles

// Sets a bit field of a word: clears the width bits at position, but only when
// the field lies within length bits (else nothing is cleared), then ORs in value
// shifted to position. value is not cut to width: a wider value spills into the
// bits above. The shift is done on 32 bits; bits that would land at or above
// bit 32 are dropped.
void InsertBits(uint32_t* word, uint16_t value, uint16_t position, uint16_t width, uint16_t length);

uint8_t pack_option_byte(int ENHBAR, int MASH, int RAND_EN, int MOD_SEL);
// From the toggles in their order on the line, each 0 or 1.
uint32_t pack_main_word(const std::array<int, kMainWordPlaces>& places);
uint32_t pack_auxiliary_word(const std::array<int, kAuxiliaryWordPlaces>& places);
uint32_t pack_enhancement_word(const std::array<int, kEnhancementWordPlaces>& places);

// What a register bit of the main word is.
struct MainWordBit {
    char reg;  // 'R', 'M', 'A', 'P' for the prescaler switch, '0' for the fixed bit
    int bit;   // the register's bit number
};
// The 21 bits of the main word in their order on the line, bit 20 first.
extern const std::array<MainWordBit, kMainWordBits> kMainWordLayout;

// The words for register values, packed from the toggles that the
// value-to-toggles rule gives them: what "Program Device" sends once the toggles
// show these values. PS is the prescaler switch (1: bypassed).
uint32_t main_word_of(uint32_t R, uint32_t M, int PS, uint32_t A);
uint32_t auxiliary_word_of(uint32_t K);
uint32_t enhancement_word_of(uint32_t E);

// The fields of a main word as the chip takes them.
struct MainWordFields {
    uint32_t R = 0, M = 0, A = 0;
    int PS = 0;
};
MainWordFields main_word_fields(uint32_t word);
// K of an auxiliary word.
uint32_t auxiliary_word_k(uint32_t word);
// Whether a 21-bit word can be a main word (its last bit 0) or an auxiliary word
// (its last three bits 001), and fits 21 bits.
bool is_main_word(uint32_t word);
bool is_auxiliary_word(uint32_t word);
