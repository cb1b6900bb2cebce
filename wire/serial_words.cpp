#include "wire/serial_words.h"

#include "model/chip_limits.h"
#include "model/toggle_pattern.h"

namespace {

constexpr uint16_t kOptionByteBits = 8;

// Sets 1-bit fields, the first place at the top bit of a word of length bits.
template <std::size_t N>
void insert_from_top(uint32_t* word, const std::array<int, N>& places, uint16_t length)
{
    for (std::size_t n = 0; n < N; ++n)
        InsertBits(word, static_cast<uint16_t>(places[n]), static_cast<uint16_t>(length - 1 - n), 1, length);
}

// The toggles of a register of `width` bits, highest weight first, as the
// value-to-toggles rule sets them.
template <std::size_t N>
std::array<int, N> toggles_of(uint32_t value)
{
    const uint32_t pattern = toggle_pattern(value, N);
    std::array<int, N> toggles{};
    for (std::size_t i = 0; i < N; ++i)
        toggles[i] = (pattern >> (N - 1 - i)) & 1u;
    return toggles;
}

}  // namespace

const std::array<MainWordBit, kMainWordBits> kMainWordLayout = {{
    {'R', 5}, {'R', 4}, {'M', 8}, {'M', 7}, {'P', 0}, {'M', 6}, {'M', 5}, {'M', 4}, {'M', 3}, {'M', 2}, {'M', 1},
    {'M', 0}, {'R', 3}, {'R', 2}, {'R', 1}, {'R', 0}, {'A', 3}, {'A', 2}, {'A', 1}, {'A', 0}, {'0', 0},
}};

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
    uint32_t word = 0;
    // Bits 0, 1, 2 and 4 are the places of the serial lines, always 0 here.
    InsertBits(&word, 0, 0, 1, kOptionByteBits);
    InsertBits(&word, 0, 1, 1, kOptionByteBits);
    InsertBits(&word, 0, 2, 1, kOptionByteBits);
    InsertBits(&word, static_cast<uint16_t>(ENHBAR), 3, 1, kOptionByteBits);
    InsertBits(&word, 0, 4, 1, kOptionByteBits);
    InsertBits(&word, static_cast<uint16_t>(MASH), 5, 1, kOptionByteBits);
    InsertBits(&word, static_cast<uint16_t>(RAND_EN), 6, 1, kOptionByteBits);
    InsertBits(&word, static_cast<uint16_t>(MOD_SEL), 7, 1, kOptionByteBits);
    return static_cast<uint8_t>(word & 0xFF);
}

uint32_t pack_main_word(const std::array<int, kMainWordPlaces>& places)
{
    uint32_t word = 0;
    insert_from_top(&word, places, kMainWordBits);
    InsertBits(&word, 0, 0, 1, kMainWordBits);
    return word;
}

uint32_t pack_auxiliary_word(const std::array<int, kAuxiliaryWordPlaces>& places)
{
    uint32_t word = 0;
    insert_from_top(&word, places, kAuxiliaryWordBits);
    // The last bit tells the auxiliary word from the main word on the shared strobe.
    InsertBits(&word, 0, 2, 1, kAuxiliaryWordBits);
    InsertBits(&word, 0, 1, 1, kAuxiliaryWordBits);
    InsertBits(&word, 1, 0, 1, kAuxiliaryWordBits);
    return word;
}

uint32_t pack_enhancement_word(const std::array<int, kEnhancementWordPlaces>& places)
{
    uint32_t word = 0;
    insert_from_top(&word, places, kEnhancementWordBits);
    return word;
}

uint32_t main_word_of(uint32_t R, uint32_t M, int PS, uint32_t A)
{
    const auto r = toggles_of<chip::kRBits>(R);
    const auto m = toggles_of<chip::kMBits>(M);
    const auto a = toggles_of<chip::kABits>(A);
    std::array<int, kMainWordPlaces> places{};
    for (int n = 0; n < kMainWordPlaces; ++n) {
        const MainWordBit b = kMainWordLayout[static_cast<std::size_t>(n)];
        switch (b.reg) {
        case 'R': places[n] = r[chip::kRBits - 1 - b.bit]; break;
        case 'M': places[n] = m[chip::kMBits - 1 - b.bit]; break;
        case 'A': places[n] = a[chip::kABits - 1 - b.bit]; break;
        case 'P': places[n] = PS != 0 ? 1 : 0; break;
        }
    }
    return pack_main_word(places);
}

uint32_t auxiliary_word_of(uint32_t K)
{
    return pack_auxiliary_word(toggles_of<chip::kKBits>(K));
}

uint32_t enhancement_word_of(uint32_t E)
{
    return pack_enhancement_word(toggles_of<chip::kEBits>(E));
}

MainWordFields main_word_fields(uint32_t w)
{
    MainWordFields f;
    f.R = ((w >> 19) & 0x3u) << 4 | ((w >> 5) & 0xFu);
    f.M = ((w >> 17) & 0x3u) << 7 | ((w >> 9) & 0x7Fu);
    f.PS = static_cast<int>((w >> 16) & 1u);
    f.A = (w >> 1) & 0xFu;
    return f;
}

uint32_t auxiliary_word_k(uint32_t word)
{
    return (word >> 3) & ((1u << chip::kKBits) - 1);
}

bool is_main_word(uint32_t word)
{
    return word < (1u << kMainWordBits) && (word & 1u) == 0;
}

bool is_auxiliary_word(uint32_t word)
{
    return word < (1u << kAuxiliaryWordBits) && (word & 7u) == 1u;
}
