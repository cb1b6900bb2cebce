#include "wire/burst_decoder.h"

#include "wire/board_lines.h"
#include "wire/serial_words.h"

ChipReception decode_burst(const std::vector<uint8_t>& burst)
{
    ChipReception r;
    uint8_t previous = 0;
    uint32_t shift = 0;
    int bits = 0;
    if (!burst.empty())
        r.options = burst.front() & kOptionLines;
    auto fault = [&r](const std::string& what) {
        if (r.fault.empty())
            r.fault = what;
    };
    for (std::size_t i = 0; i < burst.size(); ++i) {
        const uint8_t b = burst[i];
        auto rose = [&](uint8_t line) { return !(previous & line) && (b & line); };
        auto fell = [&](uint8_t line) { return (previous & line) && !(b & line); };
        if ((b & kOptionLines) != r.options)
            fault("option lines change at byte " + std::to_string(i));
        if ((b & SDAT) != (previous & SDAT) && (b & SCLK) && (previous & SCLK))
            fault("data changes while the clock is high at byte " + std::to_string(i));
        if (rose(SCLK)) {
            shift = (shift << 1) | ((b & SDAT) ? 1u : 0u);
            ++bits;
            r.clock_edges.push_back(i);
        }
        if (rose(S_WR)) {
            if (bits != kMainWordBits)
                fault("S_WR latched " + std::to_string(bits) + " bits");
            r.latched_words.push_back(shift & ((1u << kMainWordBits) - 1));
            r.latches.push_back({r.latched_words.back(), i, false, bits});
            bits = 0;
        }
        if (fell(E_WR)) {
            if (bits != kEnhancementWordBits)
                fault("E_WR latched " + std::to_string(bits) + " bits");
            r.enhancement_words.push_back(shift & ((1u << kEnhancementWordBits) - 1));
            r.latches.push_back({r.enhancement_words.back(), i, true, bits});
            bits = 0;
        }
        if (rose(E_WR))
            bits = 0;
        previous = b;
    }
    if (previous & kSerialLines)
        fault("serial lines not at rest after the burst");
    return r;
}
