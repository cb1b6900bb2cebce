// zrctl's settings: the panel's first-start values, a saved panel state under the
// options, ZR3100 without a fractional term, and the exit status and one-line
// message of each kind of bad command line.
#include "support/zrctl_run.h"

#include "model/version.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

class StateFile : public ::testing::Test {
protected:
    std::string path =
        (std::filesystem::temp_directory_path() / ("zrctl-state-" + std::to_string(getpid()) + ".sts")).string();
    void write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    void TearDown() override { std::remove(path.c_str()); }
};

const char* const kSavedZR3500 = "# zr-eval panel state 1\n"
                                 "PANEL_REF_FREQ = 50\n"
                                 "PANEL_R_REG = 3\n"
                                 "PANEL_M_REG = 15\n"
                                 "PANEL_K_REG = 5\n"
                                 "PANEL_E_REG = 200\n"
                                 "PANEL_SEC_4 = 0\n"
                                 "PANEL_MOD_SEL = 1\n"
                                 "PANEL_RAND_EN = 1\n"
                                 "PANEL_LNM = 0\n"
                                 "PANEL_TEXTMSG_10 = \"ZR3500\"\n";

}  // namespace

TEST(ZrctlSettings, WithoutOptionsThePanelsFirstStartValues)
{
    const ZrctlRun run = run_zrctl({"calc", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json j = run.json();
    EXPECT_EQ(j["settings"], nlohmann::json::parse(R"({"part": "zr3100", "ref_mhz": 100.0, "R": 1,
        "prescaler": "bypass", "mash": "1-1", "lnm": "in", "dither": false, "E": 0})"));
    EXPECT_EQ(j["registers"], nlohmann::json::parse(R"({"R": 1, "M": 7, "A": 0, "K": 0, "E": 0})"));
    EXPECT_EQ(j["fin_mhz"], 400.0) << "the first start shows 400 MHz";
}

TEST_F(StateFile, ASavedStateGoesUnderTheOptions)
{
    write(kSavedZR3500);
    nlohmann::json j = run_zrctl({"calc", "--state", path, "--json"}).json();
    EXPECT_EQ(j["settings"], nlohmann::json::parse(R"({"part": "zr3500", "ref_mhz": 50.0, "R": 3,
        "prescaler": "5/6", "mash": "1-1", "lnm": "out", "dither": true, "E": 200})"));
    EXPECT_EQ(j["registers"]["K"], 5);
    EXPECT_EQ(j["given"]["M"], 15);

    j = run_zrctl({"calc", "--state", path, "--r", "1", "--no-dither", "--prescaler", "10/11", "--json"}).json();
    EXPECT_EQ(j["settings"]["R"], 1);
    EXPECT_EQ(j["settings"]["dither"], false);
    EXPECT_EQ(j["settings"]["prescaler"], "10/11");
    EXPECT_EQ(j["settings"]["ref_mhz"], 50.0) << "what no option names stays as saved";

    j = run_zrctl({"calc", "--state", path, "--part", "zr3100", "--json"}).json();
    EXPECT_EQ(j["registers"]["K"], 0) << "ZR3100 computes with K 0 whatever the state held";
    EXPECT_EQ(j["settings"]["dither"], false);

    write("# zr-eval panel state 1\nPANEL_K_REG = 5\nPANEL_TEXTMSG_10 = \"Select Part\"\n");
    j = run_zrctl({"calc", "--state", path, "--json"}).json();
    EXPECT_EQ(j["settings"]["part"], "zr3100") << "no part selected: the panel computes as ZR3100";
    EXPECT_EQ(j["registers"]["K"], 0);
}

TEST_F(StateFile, AStateThePanelWouldNotUseIsRefused)
{
    write("# zr-eval panel state 1\nPANEL_M_REG = 600\n");
    ZrctlRun run = run_zrctl({"solve", "4321", "--state", path});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "zrctl: --state " + path + ": the panel would not use it: line 2: PANEL_M_REG = 600: outside 0 "
                       "to 511\n");
    EXPECT_EQ(run.out, "");

    run = run_zrctl({"check-state", path, "--json"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.json(), nlohmann::json::parse(R"({"format": 1, "command": "check-state", "file": ")" + path +
                                                R"(", "used": false, "values": null,
        "problem": "line 2: PANEL_M_REG = 600: outside 0 to 511"})"));

    write(kSavedZR3500);
    run = run_zrctl({"check-state", path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, path + ": the panel would use it (10 control values)\n");
    std::remove(path.c_str());
    run = run_zrctl({"check-state", path});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "zrctl: " + path + ": cannot read it: there is no such file\n");
}

TEST(ZrctlSettings, EachBadCommandLineHasItsStatusAndOneLineThatNamesTheCause)
{
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{}, 1, "give a command: solve, calc, burst, decode, devices, program, check-state, sweep, serve, plan (see "
                "zrctl --help)"},
        {{"sovle", "4321"}, 1, "sovle is no command; did you mean solve? the commands are solve, calc, burst, "
                               "decode, devices, program, check-state, sweep, serve, plan"},
        {{"frobnicate"}, 1, "frobnicate is no command; the commands are solve, calc, burst, decode, devices, "
                            "program, check-state, sweep, serve, plan"},
        {{"solve"}, 1, "give the target frequency: zrctl solve 4321, or --freq 4321"},
        {{"calc", "--frobnicate"}, 1, "--frobnicate is no option of zrctl calc (see zrctl calc --help)"},
        {{"solve", "4321", "--prat", "zr3500"}, 1,
         "--prat is no option of zrctl solve; did you mean --part? (see zrctl solve --help)"},
        {{"--simulated-board", "program", "--dry-run", "--seiral=FT1"}, 1,
         "--seiral is no option of zrctl program; did you mean --serial? (see zrctl program --help)"},
        {{"--simulated-bord", "devices"}, 1,
         "--simulated-bord is no option of zrctl devices; did you mean --simulated-board? (see zrctl devices "
         "--help)"},
        {{"program", "--index", "1", "--serial", "FT1", "--dry-run"}, 1,
         "--index excludes --serial (see zrctl program --help)"},
        {{"burst", "--freq", "4321", "--m", "3"}, 1, "--m excludes --freq (see zrctl burst --help)"},
        {{"calc", "4321", "--k", "3"}, 1, "--k excludes FREQ (see zrctl calc --help)"},
        {{"solve", "4321", "--freq", "4321"}, 1, "FREQ excludes --freq (see zrctl solve --help)"},
        {{"solve", "4321.5.1"}, 2,
         "FREQ 4321.5.1: not a number; write a frequency in MHz (4321) or with its unit (4321MHz, 4.321GHz)"},
        {{"solve", "nan"}, 2,
         "FREQ nan: not a number; write a frequency in MHz (4321) or with its unit (4321MHz, 4.321GHz)"},
        {{"solve", "4.3 GHz"}, 2, "FREQ 4.3 GHz: write 4.3GHz or 4300"},
        {{"program", "--dry-run", "--freq", "4321M"}, 2, "--freq 4321M: write 4321MHz or 4321"},
        {{"calc", "--ref", "25 kHz"}, 2, "--ref 25 kHz: write 25kHz or 0.025"},
        {{"solve", "4321Mhzz"}, 2,
         "FREQ 4321Mhzz: not a number; write a frequency in MHz (4321) or with its unit (4321MHz, 4.321GHz)"},
        {{"solve", "GHz"}, 2,
         "FREQ GHz: not a number; write a frequency in MHz (4321) or with its unit (4321MHz, 4.321GHz)"},
        {{"calc", "--ref", "1e400"}, 2, "--ref 1e400: beyond the range of numbers"},
        {{"calc", "--ref", "100.5"}, 2, "--ref 100.5: outside 0 to 100, the range of the field \"Ref Freq (MHz)\""},
        {{"calc", "--m", "512"}, 2, "--m 512: outside 0 to 511, the range of the field \"M =\""},
        {{"calc", "--r", "-1"}, 2, "--r -1: not a whole number"},
        {{"calc", "--a", "99999999999"}, 2, "--a 99999999999: beyond 32 bits"},
        {{"calc", "--enh", ""}, 2, "--enh \"\": not a whole number"},
        {{"calc", "--part", "zr3500", "--k", "262144"}, 2,
         "--k 262144: outside 0 to 262143, the range of the field \"K =\""},
        {{"calc", "--k", "5"}, 2, "--k 5: ZR3100 has no K (--part zr3500 has)"},
        {{"solve", "4321", "--dither"}, 2, "--dither: ZR3100 has no dither (--part zr3500 has)"},
        {{"calc", "--prescaler", "10/12"}, 2, "--prescaler: 10/12 is none of 10/11, 5/6 or bypass"},
        {{"calc", "--part", "zr35000"}, 2, "--part: zr35000 is none of zr3100 or zr3500"},
    };
    for (const Case& c : cases) {
        const ZrctlRun run = run_zrctl(c.arguments);
        std::string line;
        for (const std::string& a : c.arguments)
            line += a + " ";
        EXPECT_EQ(run.status, c.status) << line;
        EXPECT_EQ(run.err, "zrctl: " + c.message + "\n") << line;
        EXPECT_EQ(run.out, "") << line;
    }
}

TEST(ZrctlSettings, WithJsonAFailureIsAJsonDocumentToo)
{
    ZrctlRun run = run_zrctl({"calc", "--m", "512", "--json"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.json(),
              nlohmann::json::parse(R"({"error": "--m 512: outside 0 to 511, the range of the field \"M =\"",
                                        "exit_status": 2, "format": 1})"));
    run = run_zrctl({"calc", "--ref", "\xff", "--json"});
    EXPECT_EQ(run.json()["error"], "--ref \\xFF: not a number; write a frequency in MHz (4321) or with its unit "
                                   "(4321MHz, 4.321GHz)")
        << "a byte that is no UTF-8 is shown escaped";
    run = run_zrctl({"solve", "--json"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.json()["exit_status"], 1);
}

TEST(ZrctlSettings, HelpAndVersion)
{
    ZrctlRun run = run_zrctl({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, std::string("zrctl ") + ZR_VERSION + "\n");
    run = run_zrctl({"solve", "--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("Usage: zrctl solve [OPTIONS] [FREQ]"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("--m N"), std::string::npos) << "solve takes no registers";
    EXPECT_NE(run.out.find("0 to 63 (first start: 1)"), std::string::npos) << "ranges and first-start values from the "
                                                                              "panel's resource";
}
