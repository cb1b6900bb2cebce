// zrctl as a shell user types it: frequencies with their units and part names
// in any case, the target after the command or as --freq, the burst handed on
// through a pipe, words in hex beside their numbers, and help that reads as text.
#include "support/zrctl_run.h"

#include "zrctl/command_line.h"
#include "zrctl/help_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

using Arguments = std::vector<std::string>;

nlohmann::json json_of(Arguments arguments)
{
    arguments.push_back("--json");
    const ZrctlRun run = run_zrctl(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.json();
}

// Every word and option byte anywhere in a document, with the hex beside it.
void expect_hex_beside_each_word(const nlohmann::json& j, const std::string& where, int* seen)
{
    if (j.is_array()) {
        for (const nlohmann::json& e : j)
            expect_hex_beside_each_word(e, where, seen);
        return;
    }
    if (!j.is_object())
        return;
    for (const auto& [key, value] : j.items()) {
        expect_hex_beside_each_word(value, where + "/" + key, seen);
        if (key != "main_word" && key != "auxiliary_word" && key != "enhancement_word" && key != "option_byte" &&
            key != "word")
            continue;
        ASSERT_TRUE(j.contains(key + "_hex")) << where << "/" << key;
        const nlohmann::json& hex = j[key + "_hex"];
        if (value.is_null()) {
            EXPECT_TRUE(hex.is_null()) << where << "/" << key;
            continue;
        }
        ASSERT_TRUE(hex.is_string()) << where << "/" << key;
        const std::string text = hex;
        EXPECT_EQ(text.rfind("0x", 0), 0u) << text;
        EXPECT_EQ(std::stoul(text.substr(2), nullptr, 16), value.get<unsigned long>()) << where << "/" << key;
        const std::size_t digits = (key == "option_byte" || key == "enhancement_word") ? 2 : 6;
        EXPECT_GE(text.size() - 2, digits) << where << "/" << key;
        ++*seen;
    }
}

}  // namespace

TEST(ZrctlUnits, AFrequencyReadsAlikeWithOrWithoutItsUnitInEveryCommand)
{
    const Arguments zr3500{"--part", "zr3500", "--prescaler", "10/11"};
    auto with = [&](Arguments a) {
        a.insert(a.end(), zr3500.begin(), zr3500.end());
        return a;
    };
    const nlohmann::json bare = json_of(with({"solve", "4321"}));
    EXPECT_EQ(bare["registers"]["K"], 110100);
    for (const char* typed : {"4321MHz", "4.321GHz", "4321000000Hz", "4321000kHz", "4.321ghz"}) {
        const nlohmann::json j = json_of(with({"solve", typed}));
        EXPECT_EQ(j["requested_mhz"], 4321.0) << typed;
        EXPECT_EQ(j["registers"], bare["registers"]) << typed;
        EXPECT_EQ(j["fin_mhz"], bare["fin_mhz"]) << typed;
        // The target after the command, or as --freq, in solve, program and calc alike.
        EXPECT_EQ(json_of(with({"solve", "--freq", typed})), j) << typed;
        const nlohmann::json programmed = json_of(with({"program", "--dry-run", typed}));
        EXPECT_EQ(json_of(with({"program", "--dry-run", "--freq", typed})), programmed) << typed;
        EXPECT_EQ(programmed["main_word"], bare["main_word"]) << typed;
        EXPECT_EQ(programmed["auxiliary_word"], bare["auxiliary_word"]) << typed;
        const nlohmann::json computed = json_of(with({"calc", typed}));
        EXPECT_EQ(json_of(with({"calc", "--freq", typed})), computed) << typed;
        EXPECT_EQ(computed["registers"], bare["registers"]) << typed;
        EXPECT_EQ(computed["fin_mhz"], bare["fin_mhz"]) << typed;
    }
    EXPECT_EQ(json_of({"calc", "--ref", "0.05GHz"})["fc_mhz"], 25.0);

    const nlohmann::json sweep =
        json_of(with({"sweep", "--start", "4.3GHz", "--stop", "4300500kHz", "--step", "250kHz", "--dry-run"}));
    ASSERT_EQ(sweep["points"].size(), 3u);
    EXPECT_EQ(sweep["points"][1]["requested_mhz"], 4300.25);
    EXPECT_EQ(sweep["points"][2]["requested_mhz"], 4300.5);

    // Beyond the field: refused, said in MHz whatever the unit.
    const ZrctlRun beyond = run_zrctl({"burst", "--freq", "7GHz"});
    EXPECT_EQ(beyond.status, 2);
    EXPECT_EQ(beyond.err, "zrctl: 7000 MHz is outside 0 to 5000, the range of the field \"Out Freq (MHz)\"\n");
}

TEST(ZrctlUnits, PartsAndSwitchWordsInAnyCase)
{
    const nlohmann::json small = json_of({"solve", "4321", "--part", "zr3500", "--prescaler", "bypass", "--lnm", "out"});
    for (const char* part : {"ZR3500", "Zr3500"}) {
        const nlohmann::json j = json_of({"solve", "4321", "--part", part, "--prescaler", "BYPASS", "--lnm", "OUT"});
        EXPECT_EQ(j, small) << part;
        EXPECT_EQ(j["settings"]["part"], "zr3500") << "reported as the tool writes it";
    }
    EXPECT_EQ(run_zrctl({"solve", "4321", "--part", "ZR3500"}).out.rfind("ZR3500, ", 0), 0u);
}

TEST(ZrctlJson, EveryWordHasItsHexBesideItAndTheDocumentItsFormat)
{
    const std::vector<Arguments> commands = {
        {"solve", "4321", "--part", "zr3500", "--prescaler", "10/11"},
        {"calc", "--m", "20"},
        {"burst", "--part", "zr3500", "--freq", "4321"},
        {"burst", "--enh-path", "--enh", "165"},
        {"program", "--dry-run", "--freq", "4000"},
        {"decode", "28 28 28 29 28 29 28 28 2C 2C 28"},
        {"sweep", "--part", "zr3500", "--start", "4300", "--stop", "4301", "--step", "0.5", "--dry-run"},
        {"check-state", "no-such-state-file.sts"},
        {"calc", "--m", "600"},
    };
    int seen = 0;
    for (const Arguments& a : commands) {
        Arguments arguments = a;
        arguments.push_back("--json");
        const ZrctlRun run = run_zrctl(arguments);
        EXPECT_EQ(run.out.rfind("{\n  \"format\": 1,\n", 0), 0u) << a[0] << ": the format comes first\n" << run.out;
        expect_hex_beside_each_word(run.json(), a[0], &seen);
    }
    EXPECT_GE(seen, 15) << "the words were found at all";

    const nlohmann::json solved = json_of({"solve", "4321", "--part", "zr3500", "--prescaler", "10/11"});
    EXPECT_EQ(solved["main_word_hex"], "0x000E2C");
    EXPECT_EQ(solved["auxiliary_word_hex"], "0x0D70A1");
    EXPECT_EQ(solved["option_byte_hex"], "0x28");
    EXPECT_EQ(json_of({"burst", "--enh-path", "--enh", "165"})["enhancement_word_hex"], "0xA5");
}

TEST(ZrctlDecode, TheBurstFromStandardInput)
{
    const ZrctlRun burst = run_zrctl({"burst", "--part", "zr3500", "--prescaler", "10/11", "--freq", "4321"});
    const ZrctlRun given = run_zrctl({"decode", burst.out});
    ASSERT_EQ(given.status, 0) << given.err;
    EXPECT_NE(given.out.find("main word 0x000E2C"), std::string::npos) << given.out;
    for (const Arguments& arguments : {Arguments{"decode"}, Arguments{"decode", "-"}}) {
        const ZrctlRun piped = run_zrctl(arguments, burst.out);
        EXPECT_EQ(piped.status, 0) << piped.err;
        EXPECT_EQ(piped.out, given.out);
    }
    // Lines ended as another system ends them, and "-" among words.
    std::string crlf = burst.out;
    crlf.insert(crlf.size() - 1, "\r");
    EXPECT_EQ(run_zrctl({"decode"}, crlf).out, given.out);

    ZrctlRun refused = run_zrctl({"decode"}, "");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "zrctl: no bytes to decode\n");
    refused = run_zrctl({"decode", "-"}, "28 2G");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "zrctl: \"2G\" is not bytes in hex\n");
    refused = run_zrctl({"decode"}, std::string((1 << 20) + 1, '2'));
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "zrctl: standard input holds more than the 1 MiB a burst's hex could be\n");
}

TEST(ZrctlHelp, AMistypeOfAnyLengthGetsOneShortLine)
{
    for (const Arguments& arguments :
         {Arguments{"solve", "4321", "--" + std::string(1 << 20, 'p')}, Arguments{std::string(1 << 20, 's')}}) {
        const ZrctlRun run = run_zrctl(arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_LT(run.err.size(), 300u) << run.err.substr(0, 300);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    }
}

TEST(ZrctlHelp, EveryHelpReadsAsTextWithinTheTerminal)
{
    const ZrctlCommandLine line;
    std::vector<Arguments> helps{{"--help"}};
    for (const CLI::App* c : line.app.get_subcommands({}))
        helps.push_back({c->get_name(), "--help"});
    for (const Arguments& arguments : helps) {
        const ZrctlRun run = run_zrctl(arguments);
        EXPECT_EQ(run.status, 0) << arguments[0];
        EXPECT_FALSE(run.out.empty()) << arguments[0];
        std::istringstream lines(run.out);
        std::string text;
        while (std::getline(lines, text))
            EXPECT_LE(text.size(), static_cast<std::size_t>(kHelpWidth)) << arguments[0] << ": " << text;
        for (const char* leftover : {"{false}", "{true}", "TEXT", "REQUIRED", "Excludes", "Needs", "Subcommand",
                                     "Positionals", ":{", "FLOAT", "UINT"})
            EXPECT_EQ(run.out.find(leftover), std::string::npos) << arguments[0] << " shows " << leftover;
    }
    const std::string solve = run_zrctl({"solve", "--help"}).out;
    EXPECT_NE(solve.find("  --dither, --no-dither  "), std::string::npos) << solve;
    EXPECT_NE(solve.find("  --part zr3100|zr3500   "), std::string::npos) << solve;
    EXPECT_NE(solve.find("  --freq FREQ "), std::string::npos) << solve;
    const std::string top = run_zrctl({"--help"}).out;
    EXPECT_NE(top.find("\nCommands:\n  solve "), std::string::npos) << top;
}
