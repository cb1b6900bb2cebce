#include "wire/short_write.h"

#include "wire/burst_decoder.h"
#include "wire/serial_words.h"
#include "model/number_text.h"

#include <algorithm>

namespace {

std::string word_name(uint32_t word, bool enhancement)
{
    if (enhancement)
        return "enhancement word " + hex_text(word, 2);
    return std::string(is_auxiliary_word(word) ? "auxiliary word " : "main word ") + hex_text(word, 6);
}

}  // namespace

ShortWrite what_the_chip_latched(const uint8_t* burst, std::size_t length, std::size_t written, bool count_known)
{
    const std::vector<uint8_t> whole(burst, burst + length);
    const ChipReception all = decode_burst(whole);
    ShortWrite w;
    w.enhancement = !all.enhancement_words.empty();
    if (!count_known)
        return w;
    const ChipReception got = decode_burst(std::vector<uint8_t>(burst, burst + std::min(written, length)));
    for (const LatchedWord& l : got.latches)
        w.latched.push_back(l.word);
    if (got.latches.empty())
        w.latch = ShortWriteLatch::Nothing;
    else if (got.latches.size() >= all.latches.size())
        w.latch = ShortWriteLatch::Everything;
    else
        w.latch = ShortWriteLatch::Some;
    return w;
}

std::string short_write_text(const ShortWrite& w)
{
    switch (w.latch) {
    case ShortWriteLatch::Nothing: return "the chip latched none of it";
    case ShortWriteLatch::Everything: return "the chip latched all of it";
    case ShortWriteLatch::Unknown: return "what the chip latched cannot be known";
    case ShortWriteLatch::Some: break;
    }
    std::string text = "the chip latched its ";
    for (std::size_t i = 0; i < w.latched.size(); ++i)
        text += (i ? " and " : "") + word_name(w.latched[i], w.enhancement);
    // Only a burst of two words can stop between them: the main word's strobe
    // goes out, the auxiliary word's does not.
    return text + " but not its auxiliary word";
}
