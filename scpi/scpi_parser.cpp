#include "scpi/scpi_parser.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace scpi {

namespace {

// The longest mantissa, in digits after its leading zeros, and the largest
// exponent a decimal number may have.
constexpr int kMaxDigits = 255;
constexpr long kMaxExponent = 32000;

bool is_space(char c) { return c == ' ' || c == '\t'; }
bool is_alpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_word(char c) { return is_alpha(c) || is_digit(c) || c == '_'; }
bool is_invalid_byte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return (b < 0x20 && c != '\t') || b >= 0x7f;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && is_space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_space(s.back()))
        s.remove_suffix(1);
    return s;
}

[[noreturn]] void refuse(Error e, std::string_view detail)
{
    throw Refusal(e, std::string(detail));
}

// s split at sep outside quoted strings ('...' or "...").
std::vector<std::string_view> split_outside_quotes(std::string_view s, char sep)
{
    std::vector<std::string_view> parts;
    char quote = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (quote) {
            if (c == quote)
                quote = 0;  // a doubled quote closes and opens again
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == sep) {
            parts.push_back(s.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(s.substr(start));
    return parts;
}

// A mnemonic from s[i]: letters first, then letters, digits or '_'; trailing
// digits are its numeric suffix.
Mnemonic read_mnemonic(std::string_view s, std::size_t& i)
{
    const std::size_t start = i;
    if (i >= s.size() || !is_alpha(s[i]))
        refuse(Error::Syntax, s.substr(0, i + 1));
    while (i < s.size() && is_word(s[i]))
        ++i;
    std::string_view word = s.substr(start, i - start);
    if (word.size() > kMaxMnemonic)
        refuse(Error::MnemonicTooLong, word);
    std::size_t name_end = word.size();
    while (is_digit(word[name_end - 1]))
        --name_end;
    Mnemonic m{std::string(word.substr(0, name_end)), 1};
    if (name_end == word.size())
        return m;
    if (word.size() - name_end > 9)  // beyond any suffix, and beyond an int
        refuse(Error::HeaderSuffixOutOfRange, word);
    m.suffix = 0;
    for (const char d : word.substr(name_end))
        m.suffix = m.suffix * 10 + (d - '0');
    return m;
}

// The header at the start of s; what follows it.
std::string_view read_header(std::string_view s, ProgramUnit& u)
{
    std::size_t i = 0;
    if (s[0] == '*') {
        u.common = true;
        i = 1;
        u.header.push_back(read_mnemonic(s, i));
    } else {
        if (s[0] == ':') {
            u.from_root = true;
            i = 1;
        }
        u.header.push_back(read_mnemonic(s, i));
        while (i < s.size() && s[i] == ':') {
            ++i;
            u.header.push_back(read_mnemonic(s, i));
        }
    }
    if (i < s.size() && s[i] == '?') {
        u.query = true;
        ++i;
    }
    if (i < s.size() && !is_space(s[i]))
        refuse(s[i] == ':' || s[i] == '?' ? Error::Syntax : Error::HeaderSeparator, s.substr(0, i + 1));
    return s.substr(i);
}

void read_decimal(std::string_view e, Parameter& p)
{
    std::size_t i = 0;
    const bool negative = e[0] == '-';
    if (e[0] == '+' || e[0] == '-')
        ++i;
    long digits = 0, significant = 0, whole_significant = 0, leading_fraction_zeros = 0;
    for (; i < e.size() && is_digit(e[i]); ++i, ++digits)
        if (e[i] != '0' || significant > 0)
            ++significant, ++whole_significant;
    if (i < e.size() && e[i] == '.')
        for (++i; i < e.size() && is_digit(e[i]); ++i, ++digits) {
            if (e[i] != '0' || significant > 0)
                ++significant;
            else
                ++leading_fraction_zeros;
        }
    if (digits == 0)
        refuse(Error::InvalidCharacterInNumber, e);
    if (significant > kMaxDigits)
        refuse(Error::TooManyDigits, e.substr(0, 20));
    long exponent = 0;
    if (i < e.size() && (e[i] == 'e' || e[i] == 'E')) {
        std::size_t j = i + 1;
        const bool exponent_negative = j < e.size() && e[j] == '-';
        if (j < e.size() && (e[j] == '+' || e[j] == '-'))
            ++j;
        if (j < e.size() && is_digit(e[j])) {  // else the E begins a suffix
            for (; j < e.size() && is_digit(e[j]); ++j)
                if (exponent <= kMaxExponent)
                    exponent = exponent * 10 + (e[j] - '0');
            if (exponent > kMaxExponent)
                refuse(Error::ExponentTooLarge, e);
            exponent = exponent_negative ? -exponent : exponent;
            i = j;
        }
    }
    const std::string_view number = e.substr(0, i);
    const std::string_view digits_text = e[0] == '+' ? number.substr(1) : number;
    const auto [end, ec] = std::from_chars(digits_text.data(), digits_text.data() + digits_text.size(), p.value);
    if (ec == std::errc::result_out_of_range) {
        // Beyond the doubles: infinite when it is large, zero when it is small.
        const long magnitude = whole_significant > 0 ? whole_significant + exponent : exponent - leading_fraction_zeros;
        const double size = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        p.value = negative ? -size : size;
    } else if (ec != std::errc() || end != digits_text.data() + digits_text.size()) {
        refuse(Error::InvalidCharacterInNumber, e);
    }
    p.text = std::string(number);
    while (i < e.size() && is_space(e[i]))
        ++i;
    const std::size_t suffix_start = i;
    while (i < e.size() && is_alpha(e[i]))
        ++i;
    if (i != e.size())
        refuse(Error::InvalidCharacterInNumber, e);
    p.suffix = std::string(e.substr(suffix_start));
    if (p.suffix.size() > kMaxMnemonic)
        refuse(Error::InvalidSuffix, p.suffix);
}

// #H1F, #Q17, #B11111: a whole number.
void read_non_decimal(std::string_view e, Parameter& p)
{
    const char radix = e.size() > 1 ? e[1] : 0;
    const char upper_radix = radix >= 'a' && radix <= 'z' ? static_cast<char>(radix - 'a' + 'A') : radix;
    const int base = upper_radix == 'H' ? 16 : upper_radix == 'Q' ? 8 : upper_radix == 'B' ? 2 : 0;
    if (base == 0)
        refuse(is_digit(radix) ? Error::DataType : Error::Syntax, e);  // #<digit> is block data
    if (e.size() == 2)
        refuse(Error::InvalidCharacterInNumber, e);
    std::uint64_t value = 0;
    bool beyond = false;
    for (const char c : e.substr(2)) {
        const int d = is_digit(c) ? c - '0' : is_alpha(c) ? (c & ~0x20) - 'A' + 10 : 99;
        if (d >= base)
            refuse(Error::InvalidCharacterInNumber, e);
        beyond = beyond || value > (UINT64_MAX - static_cast<unsigned>(d)) / static_cast<unsigned>(base);
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    }
    p.value = beyond ? std::numeric_limits<double>::infinity() : static_cast<double>(value);
    p.text = std::string(e);
}

void read_string(std::string_view e, Parameter& p)
{
    const char quote = e[0];
    for (std::size_t i = 1; i < e.size(); ++i) {
        if (e[i] != quote) {
            p.text += e[i];
        } else if (i + 1 < e.size() && e[i + 1] == quote) {
            p.text += quote;
            ++i;
        } else if (i + 1 == e.size()) {
            return;
        } else {
            refuse(Error::InvalidStringData, e);  // text after the closing quote
        }
    }
    refuse(Error::InvalidStringData, e);  // never closed
}

Parameter read_parameter(std::string_view e)
{
    Parameter p;
    const char c = e[0];
    if (c == '"' || c == '\'') {
        p.kind = DataKind::String;
        read_string(e, p);
    } else if (c == '#') {
        read_non_decimal(e, p);
    } else if (is_digit(c) || c == '+' || c == '-' || c == '.') {
        read_decimal(e, p);
    } else if (is_alpha(c)) {
        p.kind = DataKind::Character;
        std::size_t i = 0;
        while (i < e.size() && is_word(e[i]))
            ++i;
        if (i != e.size())
            refuse(Error::InvalidCharacterData, e);
        if (e.size() > kMaxMnemonic)
            refuse(Error::CharacterDataTooLong, e);
        p.text = std::string(e);
    } else {
        refuse(Error::Syntax, e);
    }
    return p;
}

}  // namespace

std::vector<std::string_view> split_units(std::string_view message)
{
    return split_outside_quotes(message, ';');
}

bool is_blank(std::string_view text)
{
    return trimmed(text).empty();
}

ParsedUnit parse_unit(std::string_view text)
{
    ParsedUnit parsed;
    try {
        for (const char c : text)
            if (is_invalid_byte(c))
                refuse(Error::InvalidCharacter, text);
        if (is_blank(text))
            refuse(Error::Syntax, "no header");
        const std::string_view rest = trimmed(read_header(trimmed(text), parsed.unit));
        if (rest.empty())
            return parsed;
        int position = 0;
        for (const std::string_view element : split_outside_quotes(rest, ',')) {
            ++position;
            const std::string_view e = trimmed(element);
            if (e.empty())
                refuse(Error::MissingParameter, "parameter " + std::to_string(position) + " empty");
            parsed.unit.parameters.push_back(read_parameter(e));
        }
    } catch (const Refusal& r) {
        parsed.error = r.error();
        parsed.detail = r.detail();
    }
    return parsed;
}

}  // namespace scpi
