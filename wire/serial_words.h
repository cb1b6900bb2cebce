#pragma once
// The serial words of a programming action and the option byte, packed and read
// by the register map (wire/register_map.h). The panel's bit toggles stand for
// the bits of a word that are not fixed: the toggle at place n of a word is its
// n-th such bit from the first one on the line.

#include "wire/register_map.h"
#include "model/register_set.h"

#include <array>
#include <cstdint>

inline constexpr int kMainWordBits = word_bits(SerialWord::Main);
inline constexpr int kAuxiliaryWordBits = word_bits(SerialWord::Auxiliary);
inline constexpr int kEnhancementWordBits = word_bits(SerialWord::Enhancement);
inline constexpr int kMainWordPlaces = settable_bits(SerialWord::Main);                // toggles of the main word
inline constexpr int kAuxiliaryWordPlaces = settable_bits(SerialWord::Auxiliary);      // K toggles
inline constexpr int kEnhancementWordPlaces = settable_bits(SerialWord::Enhancement);  // E toggles

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

// The words for register values, packed from the toggles that the
// value-to-toggles rule gives them: what "Program Device" sends once the toggles
// show these values. PS is the prescaler switch (1: bypassed).
uint32_t main_word_of(uint32_t R, uint32_t M, int PS, uint32_t A);
uint32_t auxiliary_word_of(uint32_t K);
uint32_t enhancement_word_of(uint32_t E);

// The words a press packs for a register set once its toggles show its fields,
// with the option byte of its ENHBAR and switches. The auxiliary word is 0 for
// ZR3100, which has none.
struct SettingsWords {
    uint32_t main = 0, auxiliary = 0, enhancement = 0;
    uint8_t option_byte = 0;
};
SettingsWords serial_words_of(const RegisterSet& r);

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
