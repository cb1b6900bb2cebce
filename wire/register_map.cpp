#include "wire/register_map.h"

namespace {

// Every bit of a word belongs to exactly one field.
constexpr bool each_bit_once(SerialWord w)
{
    uint32_t seen = 0;
    for (const RegisterField& f : kRegisterMap) {
        if (f.word != w)
            continue;
        if (seen & field_mask(f))
            return false;
        seen |= field_mask(f);
    }
    return seen == (uint32_t{1} << word_bits(w)) - 1;
}

// Every bit of a register travels once.
constexpr bool each_register_bit_once(FieldOf of)
{
    uint32_t seen = 0;
    for (const RegisterField& f : kRegisterMap) {
        if (f.of != of)
            continue;
        const uint32_t bits = ((uint32_t{1} << f.width) - 1) << f.register_bit;
        if (seen & bits)
            return false;
        seen |= bits;
    }
    return seen == (uint32_t{1} << register_width(of)) - 1;
}

static_assert(each_register_bit_once(FieldOf::R) && each_register_bit_once(FieldOf::M) &&
              each_register_bit_once(FieldOf::A) && each_register_bit_once(FieldOf::K) &&
              each_register_bit_once(FieldOf::E));
static_assert(each_bit_once(SerialWord::Main));
static_assert(each_bit_once(SerialWord::Auxiliary));
static_assert(each_bit_once(SerialWord::Enhancement));

// The option byte's fields are the four option lines.
constexpr bool option_fields_are_option_lines()
{
    uint32_t lines = 0;
    for (const RegisterField& f : kRegisterMap)
        if (f.word == SerialWord::Option)
            lines |= field_mask(f);
    return lines == kOptionLines;
}
static_assert(option_fields_are_option_lines());

}  // namespace

std::string word_bit_label(SerialWord w, int bit)
{
    const WordBit b = word_bit(w, bit);
    if (!b.field)
        return "b" + std::to_string(bit);
    if (b.field->of == FieldOf::Fixed)
        return std::to_string((b.field->fixed >> (bit - b.field->first_bit)) & 1u);
    if (register_width(b.field->of) == 1)
        return b.field->name;
    return b.field->name + std::to_string(b.register_bit);
}
