#include "model/number_text.h"

#include <cctype>
#include <charconv>
#include <cstring>
#include <cmath>
#include <cstdio>

std::optional<std::string> read_number(std::string_view text, double* value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, *value);
    if (ec == std::errc::result_out_of_range)
        return "beyond the range of numbers";
    if (ec != std::errc() || ptr != end || !std::isfinite(*value))
        return "not a number";
    return std::nullopt;
}

namespace {

struct FrequencyUnit {
    const char* name;
    int mhz_exponent;  // the unit is 10^this MHz
};

constexpr FrequencyUnit kFrequencyUnits[] = {{"Hz", -6}, {"kHz", -3}, {"MHz", 0}, {"GHz", 3}};

// The unit a suffix names, also when cut short ("G", "k"), else none.
const FrequencyUnit* unit_named(std::string_view suffix, bool allow_prefix_only)
{
    for (const FrequencyUnit& u : kFrequencyUnits) {
        const std::string_view name = u.name;
        if (same_letters(suffix, name))
            return &u;
        if (allow_prefix_only && name.size() == 3 && same_letters(suffix, name.substr(0, 1)))
            return &u;
    }
    return nullptr;
}

// The number with its decimal point moved by shift places, read as the text
// "<mantissa>e<exponent + shift>" reads, so that no rounding is added.
std::optional<std::string> read_scaled(std::string_view number, int shift, double* value)
{
    if (shift == 0)
        return read_number(number, value);
    std::string_view mantissa = number;
    long exponent = 0;
    if (const std::size_t e = number.find_first_of("eE"); e != std::string_view::npos) {
        mantissa = number.substr(0, e);
        const std::string_view exponent_text = number.substr(e + 1);
        const char* end = exponent_text.data() + exponent_text.size();
        const char* begin = exponent_text.data() + (!exponent_text.empty() && exponent_text[0] == '+' ? 1 : 0);
        const auto [ptr, ec] = std::from_chars(begin, end, exponent);
        if (ec == std::errc::result_out_of_range)
            return "beyond the range of numbers";
        if (ec != std::errc() || ptr != end || exponent_text.empty())
            return "not a number";
        if (exponent > 100000 || exponent < -100000)
            return "beyond the range of numbers";
    }
    const std::string scaled = std::string(mantissa) + "e" + std::to_string(exponent + shift);
    return read_number(scaled, value);
}

}  // namespace

std::optional<std::string> read_frequency_mhz(std::string_view text, double* mhz)
{
    // The number is the longest run of the characters a number is written with.
    std::size_t split = 0;
    while (split < text.size() && std::strchr("0123456789+-.eE", text[split]) != nullptr)
        ++split;
    // "4.3e" or "2E" with a unit after: the e belongs to no exponent.
    while (split > 0 && (text[split - 1] == 'e' || text[split - 1] == 'E') && split < text.size())
        --split;
    const std::string_view number = text.substr(0, split);
    std::string_view suffix = text.substr(split);
    if (suffix.empty())
        return read_number(number, mhz);
    if (const FrequencyUnit* unit = unit_named(suffix, false)) {
        if (number.empty())
            return "not a number";
        return read_scaled(number, unit->mhz_exponent, mhz);
    }

    // Not a frequency: say what would be one, when a number and a unit are recognisable.
    double value = 0.0;
    std::string_view unit_text = suffix;
    while (!unit_text.empty() && (unit_text.front() == ' ' || unit_text.front() == '\t'))
        unit_text.remove_prefix(1);
    const FrequencyUnit* meant = unit_named(unit_text, true);
    if (!number.empty() && meant != nullptr && !read_scaled(number, meant->mhz_exponent, &value))
        return "write " + std::string(number) + meant->name + " or " + number_text(value);
    return "not a number";
}

std::optional<std::string> read_whole_number(std::string_view text, uint32_t* value)
{
    uint64_t wide = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, wide);
    if (ec == std::errc::result_out_of_range || (ec == std::errc() && ptr == end && wide > UINT32_MAX))
        return "beyond 32 bits";
    if (ec != std::errc() || ptr != end)
        return "not a whole number";
    *value = static_cast<uint32_t>(wide);
    return std::nullopt;
}

std::string number_text(double value)
{
    char text[40];
    const auto [ptr, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, ptr) : std::string("?");
}

std::string hex_text(uint64_t value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

bool same_letters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
