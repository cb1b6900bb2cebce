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

uint8_t* put_main_burst(uint8_t* p, uint32_t word, uint8_t O)
{
    *p++ = O;
    *p++ = O;
    p = put_latched_word(p, word, O);
    *p++ = O;
    return p;
}

uint8_t* put_main_aux_burst(uint8_t* p, uint32_t word, uint32_t auxWord, uint8_t O)
{
    *p++ = O;
    *p++ = O;
    p = put_latched_word(p, word, O);
    *p++ = O;
    *p++ = O;
    *p++ = O;
    p = put_latched_word(p, auxWord, O);
    *p++ = O;
    return p;
}

uint8_t* put_enhancement_burst(uint8_t* p, uint32_t word, uint8_t O)
{
    // E_WR rises one byte before the first bit and falls in the last byte.
    const uint8_t base = O | E_WR;
    *p++ = O;
    *p++ = base;
    p = put_cells(p, word, kEnhancementWordBits, base);
    *p++ = base;
    *p++ = O;
    return p;
}

}  // namespace

BurstKind burst_kind(int enhbar, uint32_t auxWord)
{
    if (enhbar == 0)
        return BurstKind::Enhancement;
    return auxWord == 0 ? BurstKind::Main : BurstKind::MainAuxiliary;
}

void build_main_burst(uint32_t word, uint8_t O, uint8_t (&out)[kMainBurstLength])
{
    put_main_burst(out, word, O);
}

void build_main_aux_burst(uint32_t word, uint32_t auxWord, uint8_t O, uint8_t (&out)[kMainAuxBurstLength])
{
    put_main_aux_burst(out, word, auxWord, O);
}

void build_enhancement_burst(uint32_t word, uint8_t O, uint8_t (&out)[kEnhancementBurstLength])
{
    put_enhancement_burst(out, word, O);
}

std::size_t build_burst(BurstKind kind, uint32_t word, uint32_t auxWord, uint8_t O, BurstBytes& out)
{
    uint8_t* end = out.data();
    switch (kind) {
    case BurstKind::Main: end = put_main_burst(out.data(), word, O); break;
    case BurstKind::MainAuxiliary: end = put_main_aux_burst(out.data(), word, auxWord, O); break;
    case BurstKind::Enhancement: end = put_enhancement_burst(out.data(), word, O); break;
    }
    return static_cast<std::size_t>(end - out.data());
}

std::vector<uint8_t> build_burst(uint32_t word, uint32_t auxWord, uint8_t O, int enhbar)
{
    BurstBytes bytes;
    const std::size_t length = build_burst(burst_kind(enhbar, auxWord), word, auxWord, O, bytes);
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)};
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
