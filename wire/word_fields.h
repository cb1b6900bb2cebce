#pragma once
// What a latched word is and what it sets, as the chip takes it: a 21-bit word
// latched by S_WR is the main word when its last bit is 0 and the auxiliary word
// when its last three bits are 001; the 8 bits framed by E_WR are the
// enhancement word.

#include "wire/burst_decoder.h"

#include <cstdint>
#include <string>
#include <vector>

enum class WordKind { Main, Auxiliary, Enhancement, Unknown };

WordKind word_kind(const LatchedWord& latch);
// "main", "auxiliary", "enhancement", "unknown".
const char* word_kind_name(WordKind kind);
// Bits of a word of that kind on the line.
int word_width(WordKind kind);

// The word in hex with the digits of its width: "0x14AA2A", "0xA5".
std::string word_hex(WordKind kind, uint32_t word);

// What it sets: "R 33, M 341, A 5, PS 0 (prescaler in use)", "K 110100", "E 165",
// or why a 21-bit word is neither kind.
std::string word_fields_text(WordKind kind, uint32_t word);

// The register bit each bit of a word of that kind carries, in their order on
// the line: R5 R4 M8 M7 PS M6 ... A0 0; K17 ... K0 0 0 1; E7 ... E0. A word of
// unknown kind has only its bit numbers: b20 ... b0.
std::vector<std::string> word_bit_labels(WordKind kind);
