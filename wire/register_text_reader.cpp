#include "wire/register_text.h"

#include "wire/board_lines.h"
#include "wire/register_text_slots.h"
#include "wire/serial_words.h"
#include "model/number_text.h"
#include "model/quoted_input.h"
#include "model/word_edits.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <vector>

namespace {

std::string lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

struct Found {
    std::optional<uint64_t> value[std::size(kSlots)];
    int line[std::size(kSlots)] = {};
};

std::optional<uint64_t>& value_of(Found& f, Slot s)
{
    return f.value[static_cast<std::size_t>(s)];
}

bool is_hex_digit(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

uint64_t hex_value(char c)
{
    return c <= '9' ? static_cast<uint64_t>(c - '0') : static_cast<uint64_t>(std::tolower(c) - 'a' + 10);
}

bool is_identifier_char(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

std::string at_line(int line)
{
    return line > 0 ? "line " + std::to_string(line) + ": " : "";
}

// The fixed last bits of a word as they stand in `word`: "001", or with where
// they are, "001 in bits 2 to 0"; a single bit that is 1 is "bit 0 set".
std::string fixed_bits_text(SerialWord w, uint32_t word, bool where = true)
{
    const uint32_t mask = fixed_mask(w);
    const int low = std::countr_zero(mask);
    const int high = std::bit_width(mask) - 1;
    std::string bits;
    for (int b = high; b >= low; --b)
        bits += (word >> b & 1u) ? '1' : '0';
    if (!where)
        return bits;
    if (high == low)
        return "bit " + std::to_string(low) + (bits == "1" ? " set" : " clear");
    return bits + " in bits " + std::to_string(high) + " to " + std::to_string(low);
}

// Checks a word for its slot; the reason names it.
bool check_word(Slot s, uint64_t value, int line, std::string* problem)
{
    const std::string name = std::string(slot_def(s).name) + " " + hex_text(value, slot_digits(s));
    if (value >> slot_bits(s)) {
        *problem = at_line(line) + name + " has more than " + std::to_string(slot_bits(s)) + " bits";
        return false;
    }
    const auto word = static_cast<uint32_t>(value);
    if (s == Slot::Main && !is_main_word(word)) {
        *problem = at_line(line) + name + " has " + fixed_bits_text(SerialWord::Main, word) + ": a main word ends in " +
                   fixed_bits_text(SerialWord::Main, fixed_bits(SerialWord::Main), false);
        return false;
    }
    if (s == Slot::Auxiliary && !is_auxiliary_word(word)) {
        *problem = at_line(line) + name + " has " + fixed_bits_text(SerialWord::Auxiliary, word) +
                   ": an auxiliary word ends in " +
                   fixed_bits_text(SerialWord::Auxiliary, fixed_bits(SerialWord::Auxiliary), false);
        return false;
    }
    if (s == Slot::Option && (word & ~static_cast<uint32_t>(kOptionLines))) {
        std::string lines;
        for (const BoardLine& l : kBoardLines)
            if ((word & l.mask) && !(l.mask & kOptionLines))
                lines += (lines.empty() ? "" : ", ") + std::string(l.name);
        *problem = at_line(line) + name + " sets " + lines +
                   ": the option byte holds only ENHBAR, MASH, RAND_EN and MOD_SEL";
        return false;
    }
    return true;
}

bool put(Found& f, Slot s, uint64_t value, int line, std::string* problem)
{
    std::optional<uint64_t>& slot = value_of(f, s);
    if (slot) {
        const int first_line = f.line[static_cast<std::size_t>(s)];
        *problem = at_line(line) + "a second " + slot_def(s).name + ", " + hex_text(value, slot_digits(s)) +
                   " (the first is " + hex_text(*slot, slot_digits(s)) +
                   (first_line > 0 ? ", line " + std::to_string(first_line) : "") + ")";
        return false;
    }
    slot = value;
    f.line[static_cast<std::size_t>(s)] = line;
    return true;
}

bool read_json(std::string_view text, Found* f, std::string* problem)
{
    Json j;
    try {
        j = Json::parse(text);
    } catch (const Json::parse_error& e) {
        *problem = std::string("not JSON: ") + e.what();
        return false;
    }
    if (!j.is_object()) {
        *problem = "not a JSON object";
        return false;
    }
    const std::pair<Slot, const char*> fields[] = {{Slot::Main, json_field::kMainWord},
                                                   {Slot::Auxiliary, json_field::kAuxiliaryWord},
                                                   {Slot::Enhancement, json_field::kEnhancementWord},
                                                   {Slot::Option, json_field::kOptionByte}};
    for (const auto& [slot, field] : fields) {
        const auto it = j.find(field);
        if (it == j.end() || it->is_null())
            continue;
        if (!it->is_number_unsigned()) {
            *problem = std::string(field) + " is " + it->dump() + ": a word is a whole number from 0";
            return false;
        }
        value_of(*f, slot) = it->get<uint64_t>();
    }
    return true;
}

// One line with its comments taken out; `in_block` carries a /* comment over lines.
std::string without_comments(std::string_view line, bool* in_block)
{
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (*in_block) {
            if (line.compare(i, 2, "*/") == 0) {
                *in_block = false;
                ++i;
            }
            continue;
        }
        if (line.compare(i, 2, "/*") == 0) {
            *in_block = true;
            ++i;
            continue;
        }
        if (line.compare(i, 2, "//") == 0)
            break;
        out += line[i];
    }
    // "# ..." comments, but a C header's #define lines count.
    const std::size_t first = out.find_first_not_of(" \t");
    if (first != std::string::npos && out[first] == '#' && out.compare(first, 7, "#define") != 0)
        return "";
    return out;
}

// The word of letters just before position `at` of the line, passing over the
// fillers of the formats read ("word", "byte", "=", ":").
std::string_view word_before(std::string_view low, std::size_t at)
{
    for (;;) {
        while (at > 0 && !is_identifier_char(low[at - 1]))
            --at;
        std::size_t start = at;
        while (start > 0 && is_identifier_char(low[start - 1]))
            --start;
        const std::string_view word = low.substr(start, at - start);
        if (word != "word" && word != "byte")
            return word;
        at = start;
    }
}

// A kind's name misspelt before an unnamed word ("enhancment 0xC8") would leave
// the word to be taken as the main word: say which kind was meant instead.
bool misspelt_kind(std::string_view word, std::string* meant)
{
    if (word.size() < 3)
        return false;
    // The names of the kinds as an operator writes them in full.
    for (const SlotDef& slot : kSlots) {
        const std::string_view name = serial_word(slot.word).name;
        if (word != name && edits_between(word, name, 3) <= (name.size() > 5 ? 2 : 1)) {
            *meant = name;
            return true;
        }
    }
    return false;
}

// The line's words in hex, each with the kind named before it since the last
// word; unnamed words go to `unnamed`.
bool read_line(const std::string& line, int number, Found* f, std::vector<std::pair<uint64_t, int>>* unnamed,
               std::string* problem)
{
    const std::string low = lower(line);
    bool is_named = false;  // a kind was named since the last word
    Slot named = Slot::Main;
    for (std::size_t i = 0; i < low.size();) {
        const bool starts_word = i == 0 || !is_identifier_char(low[i - 1]);
        if (starts_word && low.compare(i, 2, "0x") == 0 && i + 2 < low.size() && is_hex_digit(low[i + 2])) {
            if (i > 0 && (low[i - 1] == '-' || low[i - 1] == '+')) {
                std::size_t end = i + 2;
                while (end < low.size() && is_identifier_char(low[end]))
                    ++end;
                *problem = at_line(number) + quoted_input(line.substr(i - 1, end - i + 1)) +
                           " has a sign: a register word has none";
                return false;
            }
            std::string meant;
            const std::string_view before = word_before(low, i);
            if (!is_named && misspelt_kind(before, &meant)) {
                const std::size_t at = static_cast<std::size_t>(before.data() - low.data());
                *problem = at_line(number) + quoted_input(line.substr(at, before.size())) +
                           " names no kind of word: did you mean " + meant + "?";
                return false;
            }
            std::size_t end = i + 2;
            uint64_t value = 0;
            bool too_long = false;
            for (; end < low.size() && is_hex_digit(low[end]); ++end) {
                too_long = too_long || (value >> 60) != 0;
                value = (value << 4) | hex_value(low[end]);
            }
            while (end < low.size() && (low[end] == 'u' || low[end] == 'l'))
                ++end;
            // Letters, digits or a decimal part run into the word make it no word
            // in hex, quoted whole; a point that ends a sentence does not.
            std::size_t run = end;
            while (run < low.size() && (is_identifier_char(low[run]) ||
                                        (low[run] == '.' && run + 1 < low.size() && is_identifier_char(low[run + 1]))))
                ++run;
            if (run > end) {
                *problem = at_line(number) + quoted_input(line.substr(i, run - i)) + " is not a word in hex";
                return false;
            }
            if (too_long) {
                *problem = at_line(number) + (is_named ? std::string(slot_def(named).name) + " " : std::string()) +
                           line.substr(i, end - i) + " has more than " +
                           std::to_string(is_named ? slot_bits(named) : kMainWordBits) + " bits";
                return false;
            }
            if (is_named) {
                if (!put(*f, named, value, number, problem))
                    return false;
                is_named = false;
            } else {
                unnamed->push_back({value, number});
            }
            i = end;
            continue;
        }
        bool matched = false;
        for (const SlotDef& slot : kSlots) {
            const std::string_view key = slot.keyword;
            if (low.compare(i, key.size(), key) == 0) {
                named = slot.slot;
                is_named = true;
                i += key.size();
                matched = true;
                break;
            }
        }
        if (!matched)
            ++i;
    }
    return true;
}

bool read_lines(std::string_view text, Found* f, std::string* problem)
{
    std::vector<std::pair<uint64_t, int>> unnamed;
    bool in_block = false;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end != std::string_view::npos && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++next;
        text.remove_prefix(next);
        if (!read_line(without_comments(line, &in_block), number, f, &unnamed, problem))
            return false;
    }
    // Words given bare go in their order on the line: the main word, then the auxiliary word.
    for (const auto& [value, line] : unnamed) {
        if (!value_of(*f, Slot::Main)) {
            put(*f, Slot::Main, value, line, problem);
        } else if (!value_of(*f, Slot::Auxiliary)) {
            put(*f, Slot::Auxiliary, value, line, problem);
        } else {
            *problem = at_line(line) + hex_text(value, 6) + " is one word too many: the words without a name are the " +
                       "main word and then the auxiliary word";
            return false;
        }
    }
    return true;
}

}  // namespace

bool parse_register_words(std::string_view text, ImportedWords* out, std::string* problem)
{
    if (text.size() > kLargestRegisterText) {
        *problem = "longer than register words can be (" + std::to_string(kLargestRegisterText) + " bytes)";
        return false;
    }
    Found f;
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && text[first] == '{') {
        if (!read_json(text, &f, problem))
            return false;
    } else if (!read_lines(text, &f, problem)) {
        return false;
    }
    bool any = false;
    for (const SlotDef& slot : kSlots) {
        const std::optional<uint64_t>& v = value_of(f, slot.slot);
        if (!v)
            continue;
        any = true;
        if (!check_word(slot.slot, *v, f.line[static_cast<std::size_t>(slot.slot)], problem))
            return false;
    }
    if (!any) {
        *problem = "no register words: each goes in hex, as 0x..., after its name (main, auxiliary, enhancement, "
                   "option)";
        return false;
    }
    ImportedWords w;
    auto take = [&f](Slot s) {
        const std::optional<uint64_t>& v = value_of(f, s);
        return v ? std::optional<uint32_t>(static_cast<uint32_t>(*v)) : std::nullopt;
    };
    w.main_word = take(Slot::Main);
    w.auxiliary_word = take(Slot::Auxiliary);
    w.enhancement_word = take(Slot::Enhancement);
    if (const std::optional<uint32_t> o = take(Slot::Option))
        w.option_byte = static_cast<uint8_t>(*o);
    *out = w;
    return true;
}

void take_imported_words(const ImportedWords& w, RegisterSet& r)
{
    if (w.main_word) {
        const MainWordFields f = main_word_fields(*w.main_word);
        r.R_reg = f.R;
        r.M_reg = f.M;
        r.A_reg = f.A;
        r.prescaler_en = r.PS_mode = f.PS;
    }
    if (w.auxiliary_word)
        r.K_reg = auxiliary_word_k(*w.auxiliary_word);
    if (w.enhancement_word)
        r.E_reg = *w.enhancement_word;
    if (w.option_byte) {
        const uint8_t o = *w.option_byte;
        r.ENHBAR = static_cast<int>(register_in(FieldOf::ENHBAR, o));
        r.MASH = static_cast<int>(register_in(FieldOf::MASH, o));
        r.RAND_EN = static_cast<int>(register_in(FieldOf::RAND_EN, o));
        r.MOD_SEL = static_cast<int>(register_in(FieldOf::MOD_SEL, o));
    }
}
