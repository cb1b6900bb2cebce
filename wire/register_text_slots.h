#pragma once
// The register words and the option byte as the register text names them: what
// its writer and its reader share.

#include "wire/register_map.h"

#include <cstddef>

enum class Slot { Main, Auxiliary, Enhancement, Option };

struct SlotDef {
    Slot slot;
    SerialWord word;
    const char* name;      // "main word", "option byte"
    const char* constant;  // the C constant's name after the part: ZR3500_MAIN_WORD
    const char* keyword;   // what names the word in a line: the first letters of its name
    const char* holds;     // what it holds, for the C header's comment
};

inline constexpr SlotDef kSlots[] = {
    {Slot::Main, SerialWord::Main, "main word", "MAIN_WORD", "main", "R, M, A and the prescaler switch"},
    {Slot::Auxiliary, SerialWord::Auxiliary, "auxiliary word", "AUXILIARY_WORD", "aux", "K"},
    {Slot::Enhancement, SerialWord::Enhancement, "enhancement word", "ENHANCEMENT_WORD", "enhancement", "E"},
    {Slot::Option, SerialWord::Option, "option byte", "OPTION_BYTE", "option",
     "levels of the ENHBAR, MASH, RAND_EN and MOD_SEL lines"},
};

constexpr const SlotDef& slot_def(Slot s)
{
    return kSlots[static_cast<std::size_t>(s)];
}

constexpr int slot_bits(Slot s)
{
    return word_bits(slot_def(s).word);
}

// Hex digits of a word of the slot.
constexpr int slot_digits(Slot s)
{
    return (slot_bits(s) + 3) / 4;
}

static_assert(slot_def(Slot::Option).slot == Slot::Option, "kSlots in the order of Slot");
