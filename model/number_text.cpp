#include "model/number_text.h"

#include <charconv>
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
