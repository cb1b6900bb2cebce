#pragma once
// What the chip took from a write that did not put a whole burst on the lines.
// The chip acts on its strobes: a word whose strobe went out is latched even when
// the rest of the burst never arrived, and the bits shifted in after the last
// strobe are lost. So the bytes actually written, read as the chip reads them,
// say what the chip holds; when the driver failed, nobody knows how many bytes
// went out, and the chip's state cannot be known.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class ShortWriteLatch {
    Nothing,     // no strobe went out: the chip holds what it held before
    Everything,  // every strobe went out: the chip holds the whole burst
    Some,        // the first words of the burst, not the rest
    Unknown,     // the driver failed: how many bytes went out is not known
};

struct ShortWrite {
    ShortWriteLatch latch = ShortWriteLatch::Unknown;
    std::vector<uint32_t> latched;  // the words latched, in order (main and auxiliary, or the enhancement word)
    bool enhancement = false;       // the burst carries the enhancement word
};

// burst and length: what was handed to the driver; written: the bytes it says
// it put on the lines; count_known: false when the write call failed.
ShortWrite what_the_chip_latched(const uint8_t* burst, std::size_t length, std::size_t written, bool count_known);

// "the chip latched none of it", "the chip latched all of it",
// "the chip latched its main word 0x000E2C but not its auxiliary word",
// "what the chip latched cannot be known".
std::string short_write_text(const ShortWrite& w);
