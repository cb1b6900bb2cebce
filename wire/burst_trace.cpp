#include "wire/burst_trace.h"

#include "wire/board_lines.h"

#include <algorithm>

BurstTrace trace_burst(const std::vector<uint8_t>& bytes)
{
    BurstTrace t;
    t.bytes = bytes;
    const ChipReception r = decode_burst(bytes);
    t.fault = r.fault;
    for (std::size_t edge : r.clock_edges) {
        TraceCell c;
        c.clock_byte = edge;
        c.first_byte = edge > 0 ? edge - 1 : 0;
        c.value = (bytes[edge] & SDAT) ? 1 : 0;
        t.cells.push_back(c);
    }
    std::size_t next_cell = 0;  // the first cell not yet taken by a latch
    for (const LatchedWord& latch : r.latches) {
        TraceLatch l;
        l.byte = latch.byte;
        l.kind = word_kind(latch);
        l.word = latch.word;
        l.hex = word_hex(l.kind, latch.word);
        l.fields = word_fields_text(l.kind, latch.word);
        const int index = static_cast<int>(t.latches.size());
        t.latches.push_back(l);

        // The cells shifted in for this latch end at the last clock edge up to it;
        // of them the chip keeps the last ones, as many as the word is wide.
        std::size_t end = next_cell;
        while (end < t.cells.size() && t.cells[end].clock_byte <= latch.byte)
            ++end;
        const std::size_t shifted = std::min<std::size_t>(static_cast<std::size_t>(latch.bits), end - next_cell);
        const std::vector<std::string> labels = word_bit_labels(l.kind);
        const std::size_t kept = std::min(shifted, labels.size());
        for (std::size_t i = 0; i < kept; ++i) {
            TraceCell& c = t.cells[end - kept + i];
            c.label = labels[labels.size() - kept + i];
            c.latch = index;
        }
        next_cell = end;
    }
    return t;
}
