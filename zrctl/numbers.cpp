#include "zrctl/numbers.h"

#include "model/quoted_input.h"

#include "zrctl/failure.h"

#include <charconv>
#include <cmath>

namespace {

[[noreturn]] void refuse(const std::string& option, const std::string& text, const char* what)
{
    throw Failure(ExitStatus::InvalidInput, option + " " + (text.empty() ? "\"\"" : shown_input(text)) + ": " + what);
}

}  // namespace

double number_of(const std::string& option, const std::string& text)
{
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec == std::errc::result_out_of_range)
        refuse(option, text, "beyond the range of numbers");
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        refuse(option, text, "not a number");
    return value;
}

uint32_t whole_number_of(const std::string& option, const std::string& text)
{
    uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec == std::errc::result_out_of_range || (ec == std::errc() && ptr == end && value > UINT32_MAX))
        refuse(option, text, "beyond 32 bits");
    if (ec != std::errc() || ptr != end)
        refuse(option, text, "not a whole number");
    return static_cast<uint32_t>(value);
}

std::string number_text(double value)
{
    char text[40];
    const auto [ptr, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc() ? std::string(text, ptr) : std::string("?");
}
