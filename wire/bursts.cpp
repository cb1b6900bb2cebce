#include "wire/bursts.h"

#include "wire/board_lines.h"
#include "wire/serial_words.h"

#include <cstdio>

namespace {

// Bit cells of a word, most significant bit first. Returns the byte after the last cell.
uint8_t* put_cells(uint8_t* out, uint32_t word, int bits, uint8_t base)
{
    for (int bit = bits - 1; bit >= 0; --bit) {
        const uint8_t data = ((word >> bit) & 1u) ? SDAT : 0;
        *out++ = base | data;
        *out++ = base | data | SCLK;
    }
    return out;
}

// Two idle bytes after the last clock, then the two-byte S_WR pulse that latches
// the 21 bits shifted in.
uint8_t* put_latched_word(uint8_t* out, uint32_t word, uint8_t O)
{
    out = put_cells(out, word, kMainWordBits, O);
    *out++ = O;
    *out++ = O;
    *out++ = O | S_WR;
    *out++ = O | S_WR;
    return out;
}

}  // namespace

BurstKind burst_kind(int enhbar, uint32_t auxWord)
{
    if (enhbar == 0)
        return BurstKind::Enhancement;
    return auxWord == 0 ? BurstKind::Main : BurstKind::MainAuxiliary;
}

std::size_t burst_length(BurstKind kind)
{
    switch (kind) {
    case BurstKind::Main: return kMainBurstLength;
    case BurstKind::MainAuxiliary: return kMainAuxBurstLength;
    case BurstKind::Enhancement: return kEnhancementBurstLength;
    }
    return 0;
}

void build_main_burst(uint32_t word, uint8_t O, uint8_t (&out)[kMainBurstLength])
{
    uint8_t* p = out;
    *p++ = O;
    *p++ = O;
    p = put_latched_word(p, word, O);
    *p++ = O;
}

void build_main_aux_burst(uint32_t word, uint32_t auxWord, uint8_t O, uint8_t (&out)[kMainAuxBurstLength])
{
    uint8_t* p = out;
    *p++ = O;
    *p++ = O;
    p = put_latched_word(p, word, O);
    *p++ = O;
    *p++ = O;
    *p++ = O;
    p = put_latched_word(p, auxWord, O);
    *p++ = O;
}

void build_enhancement_burst(uint32_t word, uint8_t O, uint8_t (&out)[kEnhancementBurstLength])
{
    // E_WR rises one byte before the first bit and falls in the last byte.
    const uint8_t base = O | E_WR;
    uint8_t* p = out;
    *p++ = O;
    *p++ = base;
    p = put_cells(p, word, kEnhancementWordBits, base);
    *p++ = base;
    *p++ = O;
}

std::vector<uint8_t> build_burst(uint32_t word, uint32_t auxWord, uint8_t O, int enhbar)
{
    switch (burst_kind(enhbar, auxWord)) {
    case BurstKind::Main: {
        uint8_t b[kMainBurstLength];
        build_main_burst(word, O, b);
        return {std::begin(b), std::end(b)};
    }
    case BurstKind::MainAuxiliary: {
        uint8_t b[kMainAuxBurstLength];
        build_main_aux_burst(word, auxWord, O, b);
        return {std::begin(b), std::end(b)};
    }
    case BurstKind::Enhancement: {
        uint8_t b[kEnhancementBurstLength];
        build_enhancement_burst(word, O, b);
        return {std::begin(b), std::end(b)};
    }
    }
    return {};
}

std::string hex_bytes(const std::vector<uint8_t>& bytes)
{
    std::string out;
    out.reserve(bytes.size() * 3);
    char two[4];
    for (uint8_t b : bytes) {
        std::snprintf(two, sizeof two, out.empty() ? "%02X" : " %02X", b);
        out += two;
    }
    return out;
}
