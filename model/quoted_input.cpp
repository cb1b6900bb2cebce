#include "model/quoted_input.h"

#include <cstdio>

std::size_t utf8_char_length(std::string_view text)
{
    if (text.empty())
        return 0;
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned lowest_second = 0x80, highest_second = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            lowest_second = 0xA0;  // no overlong forms
        if (lead == 0xED)
            highest_second = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            lowest_second = 0x90;
        if (lead == 0xF4)
            highest_second = 0x8F;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < lowest_second || byte(1) > highest_second)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

namespace {

// The escaped text, and how many bytes of the input it shows.
std::string escaped(std::string_view text, std::size_t most_chars, bool quoted, std::size_t* shown)
{
    std::string out;
    std::size_t chars = 0, i = 0;
    while (i < text.size() && chars < most_chars) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t length = utf8_char_length(text.substr(i));
        ++chars;
        if (length > 1) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        ++i;
        switch (c) {
        case '\0': out += "\\0"; continue;
        case '\n': out += "\\n"; continue;
        case '\r': out += "\\r"; continue;
        case '\t': out += "\\t"; continue;
        default: break;
        }
        if (quoted && (c == '"' || c == '\\')) {
            out += '\\';
            out += static_cast<char>(c);
            continue;
        }
        if (length == 1 && c >= 0x20 && c != 0x7F) {
            out += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            out += escape;
        }
    }
    *shown = i;
    return out;
}

}  // namespace

std::string shown_input(std::string_view text, std::size_t most_chars)
{
    std::size_t shown = 0;
    std::string out = escaped(text, most_chars, false, &shown);
    return shown < text.size() ? out + "..." : out;
}

std::string quoted_input(std::string_view text, std::size_t most_chars)
{
    std::size_t shown = 0;
    const std::string out = escaped(text, most_chars, true, &shown);
    if (shown < text.size())
        return "\"" + out + "...\" (" + std::to_string(text.size()) + " bytes)";
    return "\"" + out + "\"";
}
