#pragma once
// zrctl's --help as a person would write it: every name of an option with its
// value's word ("--dither, --no-dither", "--part zr3100|zr3500", "--ref FREQ"),
// no defaults, types or option relations in the library's notation, and every
// text wrapped to fit a terminal of 80 columns and a manual page.

#include <memory>

namespace CLI {
class App;
class Formatter;
}  // namespace CLI

// The width every line of --help keeps within.
inline constexpr int kHelpWidth = 79;

// Set on the tool before its commands are added, which take it over.
std::shared_ptr<CLI::Formatter> help_formatter();
