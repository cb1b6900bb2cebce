#include "wire/word_fields.h"

#include "wire/serial_words.h"
#include "model/number_text.h"

WordKind word_kind(const LatchedWord& latch)
{
    if (latch.enhancement)
        return WordKind::Enhancement;
    if (is_main_word(latch.word))
        return WordKind::Main;
    if (is_auxiliary_word(latch.word))
        return WordKind::Auxiliary;
    return WordKind::Unknown;
}

const char* word_kind_name(WordKind kind)
{
    switch (kind) {
    case WordKind::Main: return "main";
    case WordKind::Auxiliary: return "auxiliary";
    case WordKind::Enhancement: return "enhancement";
    case WordKind::Unknown: break;
    }
    return "unknown";
}

int word_width(WordKind kind)
{
    switch (kind) {
    case WordKind::Main: return kMainWordBits;
    case WordKind::Auxiliary: return kAuxiliaryWordBits;
    case WordKind::Enhancement: return kEnhancementWordBits;
    case WordKind::Unknown: break;
    }
    return kMainWordBits;
}

std::string word_hex(WordKind kind, uint32_t word)
{
    return hex_text(word, (word_width(kind) + 3) / 4);
}

std::string word_fields_text(WordKind kind, uint32_t word)
{
    switch (kind) {
    case WordKind::Main: {
        const MainWordFields f = main_word_fields(word);
        return "R " + std::to_string(f.R) + ", M " + std::to_string(f.M) + ", A " + std::to_string(f.A) + ", PS " +
               std::to_string(f.PS) + (f.PS != 0 ? " (prescaler bypassed)" : " (prescaler in use)");
    }
    case WordKind::Auxiliary: return "K " + std::to_string(auxiliary_word_k(word));
    case WordKind::Enhancement: return "E " + std::to_string(word);
    case WordKind::Unknown: break;
    }
    return "neither a main word (last bit 0) nor an auxiliary word (last bits 001)";
}

std::vector<std::string> word_bit_labels(WordKind kind)
{
    // A word of unknown kind has its bit numbers only: no field is known.
    const SerialWord word = kind == WordKind::Auxiliary     ? SerialWord::Auxiliary
                            : kind == WordKind::Enhancement ? SerialWord::Enhancement
                                                            : SerialWord::Main;
    std::vector<std::string> labels;
    for (int bit = word_width(kind) - 1; bit >= 0; --bit)
        labels.push_back(kind == WordKind::Unknown ? "b" + std::to_string(bit) : word_bit_label(word, bit));
    return labels;
}
