// The bursts as Value Change Dumps, read back by a logic analyser's software
// (sigrok-cli and its SPI decoder), and their time scale.
#include "wire/bitbang_timing.h"
#include "wire/bursts.h"
#include "wire/vcd.h"
#include "support/sigrok_words.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <unistd.h>

namespace {

// The pins take 16 bytes a baud at the board's 76 800 baud.
constexpr double kBytesPerSecond = 16 * 76800.0;

// The words sigrok's SPI decoder reads from a dump.
std::vector<uint32_t> sigrok_words(const std::string& dump, int bits)
{
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("zr-vcd-" + std::to_string(getpid()) + ".vcd");
    std::ofstream(file) << dump;
    std::vector<uint32_t> words = sigrok_spi_words(file.string(), bits);
    std::filesystem::remove(file);
    return words;
}

// Each timestamp of a dump with the changes under it: "#37435" -> {"1#"}; the
// last one ends the dump.
std::map<long long, std::vector<std::string>> changes(const std::string& dump)
{
    std::map<long long, std::vector<std::string>> at;
    std::istringstream in(dump.substr(dump.find("$enddefinitions")));
    std::string line;
    long long now = -1;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '#')
            at[now = std::stoll(line.substr(1))];
        else if (now >= 0 && (line[0] == '0' || line[0] == '1'))
            at[now].push_back(line);
    }
    return at;
}

// The levels the dump gives each line at time 0 ($dumpvars), by the line's name
// as its $var declares it; a line listed twice gets "twice".
std::map<std::string, std::string> initial_levels(const std::string& dump)
{
    std::map<std::string, std::string> name_of;  // identifier -> name
    std::istringstream in(dump);
    std::string line;
    while (std::getline(in, line) && line.rfind("$dumpvars", 0) != 0) {
        std::istringstream words(line);
        std::string var, wire, width, id, name;
        if (words >> var >> wire >> width >> id >> name && var == "$var")
            name_of[id] = name;
    }
    std::map<std::string, std::string> levels;
    while (std::getline(in, line) && line != "$end") {
        const std::string name = name_of.count(line.substr(1)) ? name_of[line.substr(1)] : "undeclared " + line;
        levels[name] = levels.count(name) ? "twice" : line.substr(0, 1);
    }
    return levels;
}

}  // namespace

TEST(ValueChangeDump, EveryLineStartsAtTheLevelOfTheFirstByte)
{
    // The board's wiring: bit 0 SCLK, 1 E_WR, 2 S_WR, 3 ENHBAR, 4 SDAT, 5 MASH, 6 RAND_EN, 7 MOD_SEL. A
    // line left out of $dumpvars starts unknown in a viewer, whatever the burst's first byte says.
    const char* const wiring[] = {"SCLK", "E_WR", "S_WR", "ENHBAR", "SDAT", "MASH", "RAND_EN", "MOD_SEL"};
    for (const std::vector<uint8_t>& burst : {build_burst(0x14AA2A, 0, 0x00, 1), build_burst(0x14AA2A, 0, 0xE8, 1),
                                              build_burst(0xA5, 0, 0x80, 0), std::vector<uint8_t>{0x5A, 0x00},
                                              std::vector<uint8_t>{0xFF}}) {
        const auto levels = initial_levels(value_change_dump(burst, kPinUpdateRate, "w"));
        std::map<std::string, std::string> expected;
        for (int bit = 0; bit < 8; ++bit)
            expected[wiring[bit]] = (burst.front() >> bit) & 1 ? "1" : "0";
        EXPECT_EQ(levels, expected) << "first byte " << static_cast<int>(burst.front());
    }
}

TEST(ValueChangeDump, SigrokReadsBackTheWordsOfEachKindOfBurst)
{
    if (!have_sigrok_cli())
        GTEST_SKIP() << "sigrok-cli is not installed (scripts/install-deps.sh installs it)";
    const std::string writer = "zr-eval test";
    EXPECT_EQ(sigrok_words(value_change_dump(build_burst(0x14AA2A, 0, 0xE8, 1), kPinUpdateRate, writer), 21),
              std::vector<uint32_t>{0x14AA2A})
        << "main word alone: R 33, M 341, A 5";
    EXPECT_EQ(sigrok_words(value_change_dump(build_burst(0x100002, 9, 0x00, 1), kPinUpdateRate, writer), 21),
              (std::vector<uint32_t>{0x100002, 0x000009}))
        << "main word, then the auxiliary word of K 1";
    EXPECT_EQ(sigrok_words(value_change_dump(build_burst(0xA5, 0, 0x80, 0), kPinUpdateRate, writer), 8),
              std::vector<uint32_t>{0xA5})
        << "enhancement word";
}

TEST(ValueChangeDump, TheLinesAreNamedAndChangeAtTheBoardsPinRate)
{
    EXPECT_EQ(kPinUpdateRate, kBytesPerSecond);
    const std::string dump = value_change_dump(build_burst(0x14AA2A, 0, 0xE8, 1), kPinUpdateRate, "w");
    EXPECT_NE(dump.find("$timescale 1 ns $end"), std::string::npos);
    for (const char* name : {"SCLK", "E_WR", "S_WR", "ENHBAR", "SDAT", "MASH", "RAND_EN", "MOD_SEL"})
        EXPECT_NE(dump.find(std::string(" ") + name + " $end"), std::string::npos) << name << " is declared";

    const auto at = changes(dump);
    // S_WR (the third line, "#") rises at byte 46 and falls at byte 48.
    ASSERT_TRUE(at.count(37435)) << "46 bytes in";
    EXPECT_EQ(at.at(37435), std::vector<std::string>{"1#"});
    ASSERT_TRUE(at.count(39063)) << "48 bytes in";
    EXPECT_EQ(at.at(39063), std::vector<std::string>{"0#"});
    EXPECT_EQ(at.rbegin()->first, 39876) << "the last byte lasts one period: 49 bytes";
    // The first clock rises with byte 3, 2.441 µs in.
    EXPECT_EQ(at.at(2441), std::vector<std::string>{"1!"});
}
