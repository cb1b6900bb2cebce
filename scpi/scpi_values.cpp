#include "scpi/scpi_values.h"

#include "scpi/scpi_tree.h"

#include <charconv>
#include <cmath>

namespace scpi {

namespace {

[[noreturn]] void refuse(Error e, std::string detail)
{
    throw Refusal(e, detail);
}

// NAN, INFinity and NINFinity are numbers to SCPI, though written as words.
bool names_a_special_number(const Parameter& p)
{
    return mnemonic_matches("NAN", p.text) || mnemonic_matches("INFinity", p.text) ||
           mnemonic_matches("NINFinity", p.text);
}

[[noreturn]] void refuse_type(const Parameter& p, const char* wanted)
{
    refuse(Error::DataType, (p.kind == DataKind::String ? "\"" + p.text + "\"" : p.text) + " is not " + wanted);
}

}  // namespace

double numeric_value(const Parameter& p, const NumericRule& rule)
{
    if (p.kind == DataKind::Character) {
        if (mnemonic_matches("MINimum", p.text))
            return rule.min;
        if (mnemonic_matches("MAXimum", p.text))
            return rule.max;
        if (names_a_special_number(p))
            refuse(Error::DataOutOfRange, p.text);
    }
    if (p.kind != DataKind::Numeric)
        refuse_type(p, "a number");
    double value = p.value;
    if (!p.suffix.empty()) {
        if (rule.units.empty())
            refuse(Error::SuffixNotAllowed, p.text + p.suffix);
        const Unit* unit = nullptr;
        for (const Unit& u : rule.units)
            if (mnemonic_matches(u.name, p.suffix))
                unit = &u;
        if (!unit)
            refuse(Error::InvalidSuffix, p.suffix);
        value *= unit->factor;
    }
    if (!std::isfinite(value) || value < rule.min || value > rule.max)
        refuse(Error::DataOutOfRange, p.text + p.suffix + " is not in " + number_response(rule.min) + ".." +
                                          number_response(rule.max));
    return value;
}

std::uint32_t whole_value(const Parameter& p, std::uint32_t min, std::uint32_t max)
{
    const double value = numeric_value(p, {static_cast<double>(min), static_cast<double>(max)});
    if (value != std::floor(value))
        refuse(Error::IllegalParameterValue, p.text + " is not a whole number");
    return static_cast<std::uint32_t>(value);
}

bool boolean_value(const Parameter& p)
{
    if (p.kind == DataKind::Character) {
        if (mnemonic_matches("ON", p.text))
            return true;
        if (mnemonic_matches("OFF", p.text))
            return false;
        refuse(Error::IllegalParameterValue, p.text + " is not ON or OFF");
    }
    if (p.kind != DataKind::Numeric)
        refuse_type(p, "ON or OFF");
    if (!p.suffix.empty())
        refuse(Error::SuffixNotAllowed, p.text + p.suffix);
    if (p.value == 1.0 || p.value == 0.0)
        return p.value == 1.0;
    refuse(Error::IllegalParameterValue, p.text + " is not 1 or 0");
}

std::size_t choice_value(const Parameter& p, std::span<const std::string_view> choices)
{
    if (p.kind != DataKind::Character)
        refuse_type(p, "a choice");
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (mnemonic_matches(choices[i], p.text))
            return i;
    refuse(Error::IllegalParameterValue, p.text);
}

std::string number_response(double value)
{
    if (std::isnan(value))
        return "9.91e+37";  // SCPI's NAN
    if (std::isinf(value))
        return value > 0 ? "9.9e+37" : "-9.9e+37";  // SCPI's INFinity and NINFinity
    // Whole numbers of Hz in full, as a counter shows them; the very large and
    // very small with an exponent.
    const double size = std::fabs(value);
    const bool plain = size == 0.0 || (size >= 1e-4 && size < 1e15);
    char text[400];
    const auto [end, ec] = plain ? std::to_chars(text, text + sizeof text, value, std::chars_format::fixed)
                                 : std::to_chars(text, text + sizeof text, value);
    return std::string(text, ec == std::errc() ? end : text);
}

std::string string_response(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

}  // namespace scpi
