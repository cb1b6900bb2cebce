#include "wire/serial_words.h"

#include "model/toggle_pattern.h"

namespace {

// A word from the toggles of its bits that are not fixed, the first place at
// the word's first bit on the line, and its fixed bits.
template <std::size_t N>
uint32_t pack_places(SerialWord w, const std::array<int, N>& places)
{
    const auto length = static_cast<uint16_t>(word_bits(w));
    uint32_t word = 0;
    std::size_t n = 0;
    for (int bit = length - 1; bit >= 0; --bit)
        if (!(fixed_mask(w) >> bit & 1u))
            InsertBits(&word, static_cast<uint16_t>(places[n++]), static_cast<uint16_t>(bit), 1, length);
    return word | fixed_bits(w);
}

// A register as its row of toggles shows it, by the value-to-toggles rule.
uint32_t toggled(FieldOf of, uint32_t value)
{
    return place_register(of, toggle_pattern(value, static_cast<std::size_t>(register_width(of))));
}

}  // namespace

void InsertBits(uint32_t* word, uint16_t value, uint16_t position, uint16_t width, uint16_t length)
{
    uint32_t mask = 0;
    if (position + width <= length && position < 32) {
        const uint64_t field = width >= 32 ? 0xFFFFFFFFu : (uint64_t{1} << width) - 1;
        mask = static_cast<uint32_t>(field << position);
    }
    *word &= ~mask;
    if (position < 32)
        *word |= static_cast<uint32_t>(value) << position;
}

uint8_t pack_option_byte(int ENHBAR, int MASH, int RAND_EN, int MOD_SEL)
{
    const std::pair<FieldOf, int> levels[] = {
        {FieldOf::ENHBAR, ENHBAR}, {FieldOf::MASH, MASH}, {FieldOf::RAND_EN, RAND_EN}, {FieldOf::MOD_SEL, MOD_SEL}};
    const auto length = static_cast<uint16_t>(word_bits(SerialWord::Option));
    uint32_t word = 0;
    for (const auto& [of, level] : levels)
        for (const RegisterField& f : kRegisterMap)
            if (f.of == of)
                InsertBits(&word, static_cast<uint16_t>(level), static_cast<uint16_t>(f.first_bit),
                           static_cast<uint16_t>(f.width), length);
    return static_cast<uint8_t>(word & 0xFF);
}

uint32_t pack_main_word(const std::array<int, kMainWordPlaces>& places)
{
    return pack_places(SerialWord::Main, places);
}

uint32_t pack_auxiliary_word(const std::array<int, kAuxiliaryWordPlaces>& places)
{
    return pack_places(SerialWord::Auxiliary, places);
}

uint32_t pack_enhancement_word(const std::array<int, kEnhancementWordPlaces>& places)
{
    return pack_places(SerialWord::Enhancement, places);
}

uint32_t main_word_of(uint32_t R, uint32_t M, int PS, uint32_t A)
{
    return toggled(FieldOf::R, R) | toggled(FieldOf::M, M) | place_register(FieldOf::PS, PS != 0 ? 1 : 0) |
           toggled(FieldOf::A, A) | fixed_bits(SerialWord::Main);
}

uint32_t auxiliary_word_of(uint32_t K)
{
    return toggled(FieldOf::K, K) | fixed_bits(SerialWord::Auxiliary);
}

uint32_t enhancement_word_of(uint32_t E)
{
    return toggled(FieldOf::E, E) | fixed_bits(SerialWord::Enhancement);
}

SettingsWords serial_words_of(const RegisterSet& r)
{
    SettingsWords w;
    w.main = main_word_of(r.R_reg, r.M_reg, r.PS_mode, r.A_reg);
    w.auxiliary = r.N_flag != ZR3100 ? auxiliary_word_of(r.K_reg) : 0;
    w.enhancement = enhancement_word_of(r.E_reg);
    w.option_byte = pack_option_byte(r.ENHBAR, r.MASH, r.RAND_EN, r.MOD_SEL);
    return w;
}

MainWordFields main_word_fields(uint32_t w)
{
    MainWordFields f;
    f.R = register_in(FieldOf::R, w);
    f.M = register_in(FieldOf::M, w);
    f.PS = static_cast<int>(register_in(FieldOf::PS, w));
    f.A = register_in(FieldOf::A, w);
    return f;
}

uint32_t auxiliary_word_k(uint32_t word)
{
    return register_in(FieldOf::K, word);
}

bool is_main_word(uint32_t word)
{
    return word < (1u << kMainWordBits) && (word & fixed_mask(SerialWord::Main)) == fixed_bits(SerialWord::Main);
}

bool is_auxiliary_word(uint32_t word)
{
    return word < (1u << kAuxiliaryWordBits) &&
           (word & fixed_mask(SerialWord::Auxiliary)) == fixed_bits(SerialWord::Auxiliary);
}
