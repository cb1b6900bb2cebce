#include "wire/vcd.h"

#include "wire/board_lines.h"

#include <cmath>
#include <iterator>

namespace {

constexpr double kUnitsPerSecond = 1e9;  // kVcdTimescale

// The identifier of a line in the dump: one printable character each.
char code_of(std::size_t line)
{
    return static_cast<char>('!' + line);
}

long long time_of(std::size_t byte, double pin_update_rate)
{
    return std::llround(static_cast<double>(byte) * kUnitsPerSecond / pin_update_rate);
}

}  // namespace

std::string value_change_dump(const std::vector<uint8_t>& burst, double pin_update_rate, const std::string& writer)
{
    constexpr std::size_t kLines = std::size(kBoardLines);
    std::string out;
    out += "$version " + writer + " $end\n";
    out += "$comment the interface board's lines, " + std::to_string(burst.size()) + " bytes $end\n";
    out += std::string("$timescale ") + kVcdTimescale + " $end\n";
    out += "$scope module board $end\n";
    for (std::size_t i = 0; i < kLines; ++i)
        out += std::string("$var wire 1 ") + code_of(i) + ' ' + kBoardLines[i].name + " $end\n";
    out += "$upscope $end\n$enddefinitions $end\n";

    // The levels before each byte; the first byte's are the starting values.
    uint8_t previous = burst.empty() ? 0 : static_cast<uint8_t>(~burst.front());
    for (std::size_t n = 0; n < burst.size(); ++n) {
        const uint8_t b = burst[n];
        if (n == 0)
            out += "#0\n$dumpvars\n";
        else if (b != previous)
            out += '#' + std::to_string(time_of(n, pin_update_rate)) + '\n';
        for (std::size_t i = 0; i < kLines; ++i) {
            const uint8_t mask = kBoardLines[i].mask;
            if ((b & mask) != (previous & mask)) {
                out += (b & mask) ? '1' : '0';
                out += code_of(i);
                out += '\n';
            }
        }
        if (n == 0)
            out += "$end\n";
        previous = b;
    }
    // The last byte holds its levels for one period too.
    out += '#' + std::to_string(time_of(burst.size(), pin_update_rate)) + '\n';
    return out;
}
