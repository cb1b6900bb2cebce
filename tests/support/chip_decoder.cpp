#include "support/chip_decoder.h"

#include "link/bitbang_transmitter.h"

#include <cstdio>

ChipReception decode_burst(const std::vector<unsigned char>& burst)
{
    ChipReception r;
    constexpr unsigned char option_lines = 0xE8;
    unsigned char previous = 0;
    uint32_t shift = 0;
    int bits = 0;
    if (!burst.empty())
        r.options = burst.front() & option_lines;
    for (std::size_t i = 0; i < burst.size(); ++i) {
        const unsigned char b = burst[i];
        auto rose = [&](unsigned char line) { return !(previous & line) && (b & line); };
        auto fell = [&](unsigned char line) { return (previous & line) && !(b & line); };
        if ((b & option_lines) != r.options && r.fault.empty())
            r.fault = "option lines change at byte " + std::to_string(i);
        if ((b & SDAT) != (previous & SDAT) && (b & SCLK) && (previous & SCLK) && r.fault.empty())
            r.fault = "data changes while the clock is high at byte " + std::to_string(i);
        if (rose(SCLK)) {
            shift = (shift << 1) | ((b & SDAT) ? 1u : 0u);
            ++bits;
        }
        if (rose(S_WR)) {
            if (bits != kMainWordBits && r.fault.empty())
                r.fault = "S_WR latched " + std::to_string(bits) + " bits";
            r.latched_words.push_back(shift & 0x1FFFFF);
            bits = 0;
        }
        if (fell(E_WR)) {
            if (bits != kEnhancementWordBits && r.fault.empty())
                r.fault = "E_WR latched " + std::to_string(bits) + " bits";
            r.enhancement_words.push_back(shift & 0xFF);
            bits = 0;
        }
        if (rose(E_WR))
            bits = 0;
        previous = b;
    }
    if ((previous & (SCLK | SDAT | S_WR | E_WR)) && r.fault.empty())
        r.fault = "serial lines not at rest after the burst";
    return r;
}

std::string hex(const std::vector<unsigned char>& bytes)
{
    std::string out;
    char two[4];
    for (unsigned char b : bytes) {
        std::snprintf(two, sizeof two, out.empty() ? "%02X" : " %02X", b);
        out += two;
    }
    return out;
}
