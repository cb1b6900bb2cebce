// zrctl solve and calc on the bench's examples: Fr 100 MHz, R 1 (Fc 50 MHz) and
// the 10/11 prescaler unless a case says otherwise.
#include "support/zrctl_run.h"

#include "wire/serial_words.h"

#include <gtest/gtest.h>

namespace {

using Arguments = std::vector<std::string>;

nlohmann::json solve(const std::string& target, Arguments settings)
{
    Arguments arguments{"solve", target, "--prescaler", "10/11", "--json"};
    arguments.insert(arguments.end(), settings.begin(), settings.end());
    const ZrctlRun run = run_zrctl(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.json();
}

nlohmann::json calc(Arguments settings)
{
    Arguments arguments{"calc", "--json"};
    arguments.insert(arguments.end(), settings.begin(), settings.end());
    const ZrctlRun run = run_zrctl(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.json();
}

nlohmann::json registers(unsigned R, unsigned M, unsigned A, unsigned K)
{
    return {{"R", R}, {"M", M}, {"A", A}, {"K", K}, {"E", 0}};
}

}  // namespace

TEST(ZrctlSolve, TypedTargetsOfTheBench)
{
    nlohmann::json j = solve("4321", {});
    EXPECT_EQ(j["registers"], registers(1, 7, 6, 0));
    EXPECT_EQ(j["fin_mhz"], 4300.0) << "ZR3100: Fin 4300 MHz replaces the typed value";
    EXPECT_EQ(j["error_hz"], -21e6);
    EXPECT_NEAR(j["error_ppm"].get<double>(), -21.0 / 4321.0 * 1e6, 1e-9);
    EXPECT_EQ(j["changed_by_rules"], nlohmann::json::array());
    EXPECT_EQ(j["auxiliary_word"], nullptr) << "ZR3100 sends no auxiliary word";
    const MainWordFields main = main_word_fields(j["main_word"].get<uint32_t>());
    EXPECT_EQ(main.R, 1u);
    EXPECT_EQ(main.M, 7u);
    EXPECT_EQ(main.A, 6u);
    EXPECT_EQ(main.PS, 0);
    EXPECT_EQ(j["option_byte"], 0x28) << "ENH \"Disable (High)\" and MASH 1-1";

    j = solve("4321", {"--part", "zr3500", "--lnm", "out"});
    EXPECT_EQ(j["registers"], registers(1, 7, 6, 110100));
    EXPECT_NEAR(j["fin_mhz"].get<double>(), 4320.999908, 5e-7);
    EXPECT_EQ(auxiliary_word_k(j["auxiliary_word"].get<uint32_t>()), 110100u);

    j = solve("4321", {"--part", "zr3500", "--lnm", "out", "--mash", "1-1-1"});
    EXPECT_EQ(j["solved"], nlohmann::json::parse(R"({"M": 7, "A": 6, "K": 110100})"));
    EXPECT_EQ(j["changed_by_rules"], nlohmann::json::parse(R"([{"register": "A", "from": 6, "to": 4}])"))
        << "M 7 allows at most A 4";
    EXPECT_NEAR(j["fin_mhz"].get<double>(), 4220.999908, 5e-7);

    j = solve("4321", {"--part", "zr3500", "--lnm", "out", "--r", "3"});
    EXPECT_EQ(j["registers"], registers(3, 16, 2, 220200)) << "Fc 25 MHz";
    EXPECT_NEAR(j["fin_mhz"].get<double>(), 4320.999908, 5e-7);

    for (const char* part : {"zr3100", "zr3500"}) {
        j = solve("3000", {"--part", part});
        EXPECT_EQ(j["registers"], registers(1, 5, 0, 0)) << part;
        EXPECT_EQ(j["fin_mhz"], 3000.0) << part;
    }
}

TEST(ZrctlSolve, ATargetNearTheLastFinIsStillSolvedAfresh)
{
    // On the panel 4000.2 typed at 4000 MHz is an arrow step to 4050 MHz; a
    // target typed far from the last Fin is solved as it stands.
    const nlohmann::json j = solve("4000.2", {});
    EXPECT_EQ(j["registers"], registers(1, 7, 0, 0));
    EXPECT_EQ(j["fin_mhz"], 4000.0);
    EXPECT_NEAR(j["error_hz"].get<double>(), -200000.0, 1e-6);
}

TEST(ZrctlSolve, ZeroIsBeyondWhatTheSettingsReach)
{
    // Solved, 0 MHz would give M 4294967295, held as 511: a Fin far from anything asked.
    for (const char* part : {"zr3100", "zr3500"}) {
        const ZrctlRun run = run_zrctl({"solve", "0", "--part", part, "--prescaler", "10/11", "--json"});
        EXPECT_EQ(run.status, 2) << part;
        EXPECT_EQ(run.json()["exit_status"], 2);
        EXPECT_EQ(run.json()["error"].get<std::string>().rfind("0 MHz is outside ", 0), 0u) << run.out;
    }
}

TEST(ZrctlSolve, ATargetBeyondOutFreqIsRefused)
{
    for (const char* target : {"6000", "-3"}) {
        const ZrctlRun run = run_zrctl({"solve", "--", target});
        EXPECT_EQ(run.status, 2) << target;
        EXPECT_EQ(run.err, "zrctl: " + std::string(target) +
                               " MHz is outside 0 to 5000, the range of the field \"Out Freq (MHz)\"\n");
    }
    EXPECT_EQ(run_zrctl({"solve", "4321"}).out.find("note:"), std::string::npos);
}

TEST(ZrctlSolve, TheTextShowsThePanelsTexts)
{
    const ZrctlRun run = run_zrctl({"solve", "4321", "--part", "zr3500", "--prescaler", "10/11", "--lnm", "out",
                                    "--mash", "1-1-1"});
    EXPECT_EQ(run.out,
              "ZR3500, Fr 100.00 MHz, R 1, prescaler 10/11, MASH 1-1-1, LNM out, dither off, E 0\n"
              "target     4321.0000000 MHz\n"
              "registers  R 1  M 7  A 4  K 110100\n"
              "Fin        4220.9999084 MHz\n"
              "error      -100000091.553 Hz, -23142.8122 ppm\n"
              "range rules changed A 6 -> 4\n"
              "spurs      integer boundary 20.999908 MHz, primary fractional 762.939 Hz, sub-fractional 381.470 Hz\n"
              "main word 0x000E28  auxiliary word 0x0D70A1  option byte 0x08\n"
              "R=1\n"
              "Fc = 100.000 / (1 + 1) = 50.000 MHz\n"
              "N=84.419998\n"
              "Fin = [10 x (M + 1) + A + [(2 x K + RAND_EN) / 524288)] x Fr / (R + 1)]\n"
              "Fin = [10 x (7 + 1) + 4 + [(2 x 110100 + 0) / 524288)] x (100.000 / 1 + 1)] = 4220.999908 MHz\n"
              "Fp = Fin / (10 x (M + 1) + A + [(2 x K + RAND_EN) / 524288)]\n"
              "Fp = 4220.999908 / [10 x (7 + 1) + 4 + [(2 x 110100 + 0) / 524288)] = 50.000 MHz\n");
}

TEST(ZrctlCalc, RegistersOfTheBenchAfterTheRangeRules)
{
    nlohmann::json j = calc({"--prescaler", "10/11", "--a", "3"});
    EXPECT_EQ(j["fin_mhz"], 4150.0);
    EXPECT_EQ(j["texts"]["fin_worked"], "Fin = [10 x (7 + 1)] x (100.000 / 1 + 1)] = 4150.000000 MHz")
        << "the integer worked text names no A, while its value includes it";
    EXPECT_EQ(j["texts"]["fin_symbolic"], "Fin = [10 x (M + 1)] x [Fr / (R + 1)]");
    EXPECT_EQ(j["texts"]["fp_worked"], "Fp = 4150.000000 / [10 x (7 + 1) + 3] = 50.000 MHz");

    j = calc({"--prescaler", "5/6"});
    EXPECT_EQ(j["texts"]["fp_symbolic"], "Fp = Fin / [5 x (M + 1) + A]");

    j = calc({"--prescaler", "10/11", "--m", "0"});
    EXPECT_EQ(j["changed_by_rules"], nlohmann::json::parse(R"([{"register": "M", "from": 0, "to": 1}])"));

    j = calc({"--part", "zr3500", "--prescaler", "10/11", "--a", "3", "--k", "131072", "--dither"});
    EXPECT_EQ(j["n"], 83.50000190734863);
    EXPECT_EQ(j["texts"]["n"], "N=83.500002");
    EXPECT_NEAR(j["fin_mhz"].get<double>(), 4175.000095, 5e-7);
    EXPECT_EQ(j["changed_by_rules"], nlohmann::json::array());

    j = calc({"--part", "zr3500", "--k", "5", "--mash", "1-1-1", "--m", "2"});
    EXPECT_EQ(j["registers"]["M"], 4) << "bypass with a fractional term and MASH 1-1-1: M at least 4";
    EXPECT_EQ(j["n"], 5.0 + 10.0 / 524288.0);
}

TEST(ZrctlJson, EachCommandKeepsItsFieldNames)
{
    auto keys = [](const nlohmann::json& j) {
        std::vector<std::string> k;
        for (const auto& [key, value] : j.items())
            k.push_back(key);
        return k;
    };
    // nlohmann::json sorts keys: the lists are in that order.
    EXPECT_EQ(keys(solve("4321", {})),
              (std::vector<std::string>{"auxiliary_word", "auxiliary_word_hex", "changed_by_rules", "command",
                                        "error_hz", "error_ppm", "fc_mhz", "fin_mhz", "format", "fp_mhz", "main_word",
                                        "main_word_hex", "n", "note", "option_byte", "option_byte_hex", "registers",
                                        "requested_mhz", "round", "settings", "solved", "spurs", "target_mhz",
                                        "texts"}));
    EXPECT_EQ(keys(solve("4321", {})["texts"]), (std::vector<std::string>{"fc", "fin_symbolic", "fin_worked",
                                                                           "fp_symbolic", "fp_worked", "n", "r"}));
    EXPECT_EQ(keys(calc({})), (std::vector<std::string>{"changed_by_rules", "command", "fc_mhz", "fin_mhz", "format",
                                                        "fp_mhz", "given", "n", "note", "registers", "settings",
                                                        "spurs", "texts"}));
    EXPECT_EQ(keys(run_zrctl({"burst", "--json"}).json()),
              (std::vector<std::string>{"auxiliary_word", "auxiliary_word_hex", "bytes", "command",
                                        "enhancement_word", "enhancement_word_hex", "fin_mhz", "format", "hex",
                                        "length", "main_word", "main_word_hex", "note", "option_byte",
                                        "option_byte_hex", "path", "registers", "settings"}));
    EXPECT_EQ(keys(run_zrctl({"program", "--dry-run", "--json"}).json()),
              (std::vector<std::string>{"auxiliary_word", "auxiliary_word_hex", "bytes", "bytes_written", "command",
                                        "device", "dry_run", "enhancement_word", "enhancement_word_hex", "fin_mhz",
                                        "format", "hex", "length", "main_word", "main_word_hex", "note",
                                        "option_byte", "option_byte_hex", "path", "registers", "settings"}));
    EXPECT_EQ(keys(run_zrctl({"decode", "20 22 22 20", "--json"}).json()),
              (std::vector<std::string>{"command", "format", "length", "option_lines", "violation", "words"}));
}
