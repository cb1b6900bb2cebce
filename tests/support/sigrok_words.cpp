#include "support/sigrok_words.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

bool have_sigrok_cli()
{
    return std::system("command -v sigrok-cli >/dev/null 2>&1") == 0;
}

std::vector<uint32_t> sigrok_spi_words(const std::string& vcd_file, int bits)
{
    const std::string command = "sigrok-cli -I vcd -i '" + vcd_file + "' -P spi:clk=SCLK:mosi=SDAT:wordsize=" +
                                std::to_string(bits) + " -A spi=mosi-data 2>&1";
    std::vector<uint32_t> words;
    std::string output;
    if (FILE* p = popen(command.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, p)) {
            output += line;
            // "spi-1: 14AA2A"
            if (std::strncmp(line, "spi-1:", 6) == 0)
                words.push_back(static_cast<uint32_t>(std::strtoul(line + 6, nullptr, 16)));
        }
        pclose(p);
    }
    if (words.empty())
        ADD_FAILURE() << "sigrok-cli read no words from " << vcd_file << ": " << output;
    return words;
}
