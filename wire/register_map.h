#pragma once
// The register map: every field of the chip's serial words, named once with the
// word it travels in, its lowest bit there and its width. Packing and reading
// the words, the panel's bit toggles and their tooltips, the bus view's labels
// and the register text all read this table.
//
// The words go out from their highest bit:
//   main word, 21 bits:        R5 R4 M8 M7 PS M6 M5 M4 M3 M2 M1 M0 R3 R2 R1 R0 A3 A2 A1 A0 0
//   auxiliary word, 21 bits:   K17 ... K0 0 0 1
//   enhancement word, 8 bits:  E7 ... E0
// The option byte holds the static levels of four board lines, each at its
// line's bit of the pin-state byte.

#include "wire/board_lines.h"
#include "model/chip_limits.h"

#include <bit>
#include <cstdint>
#include <string>

enum class SerialWord { Main, Auxiliary, Enhancement, Option };

// What a field carries: a register, a switch, an option line, or fixed bits.
enum class FieldOf { R, M, A, PS, K, E, ENHBAR, MASH, RAND_EN, MOD_SEL, Fixed };

struct RegisterField {
    FieldOf of;
    const char* name;  // "R", "PS", "MOD_SEL"; "" for fixed bits
    SerialWord word;
    int first_bit;         // the field's lowest bit in its word
    int width;
    int register_bit = 0;  // the register's bit that first_bit carries: R and M are split in two
    uint32_t fixed = 0;    // fixed bits: their value
};

struct SerialWordDef {
    SerialWord word;
    const char* name;  // "main", as texts name the word
    int bits;
};

inline constexpr SerialWordDef kSerialWords[] = {
    {SerialWord::Main, "main", 21},
    {SerialWord::Auxiliary, "auxiliary", 21},
    {SerialWord::Enhancement, "enhancement", 8},
    {SerialWord::Option, "option", 8},
};

inline constexpr RegisterField kRegisterMap[] = {
    {FieldOf::R, "R", SerialWord::Main, 19, 2, 4},
    {FieldOf::M, "M", SerialWord::Main, 17, 2, 7},
    {FieldOf::PS, "PS", SerialWord::Main, 16, 1},  // 1: prescaler bypassed
    {FieldOf::M, "M", SerialWord::Main, 9, 7, 0},
    {FieldOf::R, "R", SerialWord::Main, 5, 4, 0},
    {FieldOf::A, "A", SerialWord::Main, 1, 4, 0},
    {FieldOf::Fixed, "", SerialWord::Main, 0, 1, 0, 0b0},
    {FieldOf::K, "K", SerialWord::Auxiliary, 3, 18},
    // The last bits tell the auxiliary word from the main word on the shared strobe.
    {FieldOf::Fixed, "", SerialWord::Auxiliary, 0, 3, 0, 0b001},
    {FieldOf::E, "E", SerialWord::Enhancement, 0, 8},
    {FieldOf::ENHBAR, "ENHBAR", SerialWord::Option, std::countr_zero(ENHBAR_LINE), 1},
    {FieldOf::MASH, "MASH", SerialWord::Option, std::countr_zero(MASH_LINE), 1},
    {FieldOf::RAND_EN, "RAND_EN", SerialWord::Option, std::countr_zero(RAND_EN_LINE), 1},
    {FieldOf::MOD_SEL, "MOD_SEL", SerialWord::Option, std::countr_zero(MOD_SEL_LINE), 1},
};

constexpr const SerialWordDef& serial_word(SerialWord w)
{
    for (const SerialWordDef& d : kSerialWords)
        if (d.word == w)
            return d;
    return kSerialWords[0];
}

constexpr int word_bits(SerialWord w)
{
    return serial_word(w).bits;
}

constexpr uint32_t field_mask(const RegisterField& f)
{
    return ((uint32_t{1} << f.width) - 1) << f.first_bit;
}

// The bits of a register, over all its fields.
constexpr int register_width(FieldOf of)
{
    int width = 0;
    for (const RegisterField& f : kRegisterMap)
        if (f.of == of)
            width += f.width;
    return width;
}

// The word a register travels in.
constexpr SerialWord word_of(FieldOf of)
{
    for (const RegisterField& f : kRegisterMap)
        if (f.of == of)
            return f.word;
    return SerialWord::Main;
}

// The bit of its word that carries bit `register_bit` of a register, or -1.
constexpr int word_bit_of(FieldOf of, int register_bit)
{
    for (const RegisterField& f : kRegisterMap)
        if (f.of == of && register_bit >= f.register_bit && register_bit < f.register_bit + f.width)
            return f.first_bit + register_bit - f.register_bit;
    return -1;
}

// What bit `bit` of a word carries: its field (nullptr: none) and, for a
// register, which of its bits.
struct WordBit {
    const RegisterField* field = nullptr;
    int register_bit = 0;
};

constexpr WordBit word_bit(SerialWord w, int bit)
{
    for (const RegisterField& f : kRegisterMap)
        if (f.word == w && bit >= f.first_bit && bit < f.first_bit + f.width)
            return {&f, f.register_bit + bit - f.first_bit};
    return {};
}

// The fixed bits of a word, and their values.
constexpr uint32_t fixed_mask(SerialWord w)
{
    uint32_t mask = 0;
    for (const RegisterField& f : kRegisterMap)
        if (f.word == w && f.of == FieldOf::Fixed)
            mask |= field_mask(f);
    return mask;
}

constexpr uint32_t fixed_bits(SerialWord w)
{
    uint32_t bits = 0;
    for (const RegisterField& f : kRegisterMap)
        if (f.word == w && f.of == FieldOf::Fixed)
            bits |= f.fixed << f.first_bit;
    return bits;
}

// The bits of a word that a register, a switch or a line sets: those that are not fixed.
constexpr int settable_bits(SerialWord w)
{
    return word_bits(w) - std::popcount(fixed_mask(w));
}

// A register's value in its fields; bits above its width are dropped.
constexpr uint32_t place_register(FieldOf of, uint32_t value)
{
    uint32_t word = 0;
    for (const RegisterField& f : kRegisterMap)
        if (f.of == of)
            word |= ((value >> f.register_bit) & ((uint32_t{1} << f.width) - 1)) << f.first_bit;
    return word;
}

// A register's value read from its fields in a word.
constexpr uint32_t register_in(FieldOf of, uint32_t word)
{
    uint32_t value = 0;
    for (const RegisterField& f : kRegisterMap)
        if (f.of == of)
            value |= ((word & field_mask(f)) >> f.first_bit) << f.register_bit;
    return value;
}

// A bit's place among the bits of its word that are not fixed, counted from the
// word's first bit on the line: the number in the name of the bit's toggle.
constexpr int place_of_bit(SerialWord w, int bit)
{
    int place = 0;
    for (int b = word_bits(w) - 1; b > bit; --b)
        if (!(fixed_mask(w) >> b & 1u))
            ++place;
    return place;
}

// What a bit of a word carries, as the bus view labels it: "M6", "PS", "K17", or
// the fixed bit's value.
std::string word_bit_label(SerialWord w, int bit);

// The register widths the chip's limits name.
static_assert(register_width(FieldOf::R) == chip::kRBits);
static_assert(register_width(FieldOf::M) == chip::kMBits);
static_assert(register_width(FieldOf::A) == chip::kABits);
static_assert(register_width(FieldOf::K) == chip::kKBits);
static_assert(register_width(FieldOf::E) == chip::kEBits);
