#include "zrctl/numbers.h"

#include "model/quoted_input.h"

#include "zrctl/failure.h"

namespace {

[[noreturn]] void refuse(const std::string& option, const std::string& text, const std::string& why)
{
    throw Failure(ExitStatus::InvalidInput, option + " " + (text.empty() ? "\"\"" : shown_input(text)) + ": " + why);
}

}  // namespace

double number_of(const std::string& option, const std::string& text)
{
    double value = 0.0;
    if (const std::optional<std::string> why = read_number(text, &value))
        refuse(option, text, *why);
    return value;
}

std::string frequency_refusal(const std::string& why)
{
    return why == "not a number" ? why + "; " + kFrequencyHint : why;
}

double frequency_of(const std::string& option, const std::string& text)
{
    double mhz = 0.0;
    if (const std::optional<std::string> why = read_frequency_mhz(text, &mhz))
        refuse(option, text, frequency_refusal(*why));
    return mhz;
}

uint32_t whole_number_of(const std::string& option, const std::string& text)
{
    uint32_t value = 0;
    if (const std::optional<std::string> why = read_whole_number(text, &value))
        refuse(option, text, *why);
    return value;
}
