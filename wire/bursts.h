#pragma once
// The bursts of pin-state bytes that carry the serial words to the chip. Each
// serial bit is one cell of two bytes: data set while the clock is low and held
// over its rising edge. O, the option byte, is ORed into every byte so that the
// option lines hold their levels for the whole burst and after it.
//
//   main word alone (49 bytes):   O O, 21 cells, O O, O|S_WR O|S_WR, O
//   main then auxiliary (98):     as above without the last byte, O O O,
//                                 21 cells of the auxiliary word, O O, O|S_WR O|S_WR, O
//   enhancement word (20 bytes):  O, O|E_WR, 8 cells on O|E_WR, O|E_WR, O

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr std::size_t kMainBurstLength = 49;
inline constexpr std::size_t kMainAuxBurstLength = 98;
inline constexpr std::size_t kEnhancementBurstLength = 20;
inline constexpr std::size_t kLongestBurst = kMainAuxBurstLength;

enum class BurstKind { Main, MainAuxiliary, Enhancement };

// The burst that a press sends: the enhancement word when ENHBAR is 0, else the
// main word, followed by the auxiliary word when there is one (it is never 0).
BurstKind burst_kind(int enhbar, uint32_t auxWord);

void build_main_burst(uint32_t word, uint8_t O, uint8_t (&out)[kMainBurstLength]);
void build_main_aux_burst(uint32_t word, uint32_t auxWord, uint8_t O, uint8_t (&out)[kMainAuxBurstLength]);
void build_enhancement_burst(uint32_t word, uint8_t O, uint8_t (&out)[kEnhancementBurstLength]);

// The burst of a kind (word: the main or the enhancement word), into bytes that
// hold the longest. Returns its length.
using BurstBytes = std::array<uint8_t, kLongestBurst>;
std::size_t build_burst(BurstKind kind, uint32_t word, uint32_t auxWord, uint8_t O, BurstBytes& out);

// The burst of burst_kind(enhbar, auxWord), whole.
std::vector<uint8_t> build_burst(uint32_t word, uint32_t auxWord, uint8_t O, int enhbar);

// "E8 E8 F8 ...": the bytes in hex, separated by blanks.
std::string hex_bytes(const std::vector<uint8_t>& bytes);
