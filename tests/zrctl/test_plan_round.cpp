// zrctl's rounding, spurs and planner on hand-worked cases: Fr 100 MHz, R 1
// (Fc 50 MHz) and the 10/11 prescaler unless a case says otherwise.
#include "support/zrctl_run.h"

#include "wire/serial_words.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using Arguments = std::vector<std::string>;

ZrctlRun zrctl(Arguments arguments)
{
    return run_zrctl(arguments);
}

nlohmann::json json_of(Arguments arguments)
{
    arguments.push_back("--json");
    const ZrctlRun run = run_zrctl(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.json();
}

std::string read_text(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_text(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

// Fc x n / D for the fraction n / D: the hand-worked offsets of docs/spurs.md.
constexpr double kFc = 50e6;

}  // namespace

TEST(ZrctlRound, ATargetTheSettingsCannotReachIsRefusedInOneLine)
{
    struct Case {
        Arguments arguments;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{"solve", "--", "-5"}, "-5 MHz is outside 0 to 5000, the range of the field \"Out Freq (MHz)\""},
        {{"solve", "6000"}, "6000 MHz is outside 0 to 5000, the range of the field \"Out Freq (MHz)\""},
        // 10 x (1 + 1) x 50 MHz is the lowest Fin of R 1 and 10/11 on ZR3100.
        {{"solve", "0", "--prescaler", "10/11"},
         "0 MHz is outside 1000 to 5000 MHz, what R 1, prescaler 10/11 reach in \"Out Freq (MHz)\""},
        {{"solve", "999.99", "--prescaler", "10/11", "--round", "nearest"}, "999.99 MHz is outside 1000 to 5000 MHz"},
        {{"program", "--dry-run", "--freq", "500", "--prescaler", "10/11"}, "500 MHz is outside 1000 to 5000 MHz"},
        {{"burst", "--freq", "7000"}, "7000 MHz is outside 0 to 5000"},
    };
    for (const Case& c : cases) {
        const ZrctlRun run = zrctl(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments[1] << ": " << run.out;
        EXPECT_EQ(run.err.rfind("zrctl: " + c.says, 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.out, "") << "nothing is printed as a result";
    }
    // The ends themselves are reached.
    EXPECT_EQ(zrctl({"solve", "1000", "--prescaler", "10/11"}).status, 0);
    EXPECT_EQ(zrctl({"solve", "5000", "--prescaler", "10/11"}).status, 0);

    const ZrctlRun sweep = zrctl({"sweep", "--dry-run", "--start", "900", "--stop", "1100", "--step", "100",
                                  "--prescaler", "10/11"});
    EXPECT_EQ(sweep.status, 2);
    EXPECT_EQ(sweep.err.rfind("zrctl: point 1: 900 MHz is outside 1000 to 5000 MHz", 0), 0u) << sweep.err;
}

TEST(ZrctlRound, NearestTakesTheChannelClosestToTheTargetAndDownTruncates)
{
    // ZR3100: N = 4049 / 50 = 80.98; truncated 80 (4000 MHz), nearest 81 (4050 MHz, A 1).
    nlohmann::json down = json_of({"solve", "4049", "--prescaler", "10/11"});
    nlohmann::json nearest = json_of({"solve", "4049", "--prescaler", "10/11", "--round", "nearest"});
    EXPECT_EQ(down["fin_mhz"], 4000.0);
    EXPECT_EQ(down["round"], "down");
    EXPECT_EQ(nearest["fin_mhz"], 4050.0);
    EXPECT_EQ(nearest["registers"]["M"], 7);
    EXPECT_EQ(nearest["registers"]["A"], 1);
    EXPECT_EQ(nearest["error_hz"], 1e6);

    // Halfway: 4025 is 25 MHz from 4000 and from 4050; the lower is taken.
    EXPECT_EQ(json_of({"solve", "4025", "--prescaler", "10/11", "--round", "nearest"})["fin_mhz"], 4000.0);

    // ZR3500: a channel is Fc / 2^18 = 190.735 Hz. 4321.00025 truncates to K 110101
    // (4321.00009918 MHz, 150.818 Hz below); K 110102 gives 4321.00028992 MHz, 39.917 Hz above.
    down = json_of({"solve", "4321.00025", "--part", "zr3500", "--prescaler", "10/11"});
    nearest = json_of({"solve", "4321.00025", "--part", "zr3500", "--prescaler", "10/11", "--round", "nearest"});
    EXPECT_EQ(down["registers"]["K"], 110101);
    EXPECT_NEAR(down["error_hz"].get<double>(), -150.818, 0.001);
    EXPECT_EQ(nearest["registers"]["K"], 110102);
    EXPECT_NEAR(nearest["error_hz"].get<double>(), 39.917, 0.001);

    // program and sweep take the same rule.
    const nlohmann::json program =
        json_of({"program", "--dry-run", "--freq", "4049", "--prescaler", "10/11", "--round", "nearest"});
    EXPECT_EQ(main_word_fields(program["main_word"].get<uint32_t>()).A, 1u);
    const nlohmann::json sweep = json_of({"sweep", "--dry-run", "--start", "4049", "--stop", "4149", "--step", "50",
                                          "--prescaler", "10/11", "--round", "nearest"});
    std::vector<double> fins;
    for (const nlohmann::json& p : sweep["points"])
        fins.push_back(p["achieved_mhz"].get<double>());
    EXPECT_EQ(fins, (std::vector<double>{4050.0, 4100.0, 4150.0}));

    EXPECT_EQ(zrctl({"solve", "4049", "--round", "up"}).status, 2) << "down or nearest only";
}

TEST(ZrctlSpurs, TheWorkedExampleOf4321MHzOnZR3500)
{
    // K 110100: n = 220200 = 8 x 27525, so the fraction is 27525 / 65536.
    const nlohmann::json j =
        json_of({"solve", "4321", "--part", "zr3500", "--prescaler", "10/11", "--mash", "1-1", "--loop-bw", "100"});
    const nlohmann::json& s = j["spurs"];
    EXPECT_EQ(s["fraction"], nlohmann::json::parse(R"({"numerator": 27525, "denominator": 65536})"));
    EXPECT_NEAR(s["integer_boundary_hz"].get<double>(), 27525.0 * kFc / 65536.0, 1e-6);  // 20 999 908.447 Hz
    EXPECT_NEAR(s["primary_fractional_hz"].get<double>(), kFc / 65536.0, 1e-9);         // 762.939 Hz
    EXPECT_NEAR(s["sub_fractional_hz"].get<double>(), kFc / (2.0 * 65536.0), 1e-9);     // 381.470 Hz
    EXPECT_EQ(s["sub_fractional_k"], 2);
    EXPECT_EQ(s["modulator_order"], 2);
    EXPECT_EQ(s["spread_by_dither"], false);
    EXPECT_EQ(s["loop_bandwidth_hz"], 100e3);
    EXPECT_EQ(s["inside_loop_bandwidth"], nlohmann::json::parse(R"(["primary_fractional", "sub_fractional"])"));

    const ZrctlRun text =
        zrctl({"solve", "4321", "--part", "zr3500", "--prescaler", "10/11", "--mash", "1-1", "--loop-bw", "100"});
    EXPECT_NE(text.out.find("spurs      integer boundary 20.999908 MHz, primary fractional 762.939 Hz (inside the "
                            "loop bandwidth), sub-fractional 381.470 Hz (inside the loop bandwidth)\n"
                            "warning: the primary fractional spur at 762.939 Hz is inside the loop bandwidth of "
                            "100.000 kHz\n"
                            "warning: the sub-fractional spur at 381.470 Hz is inside the loop bandwidth of "
                            "100.000 kHz\n"),
              std::string::npos)
        << text.out;
    EXPECT_EQ(zrctl({"solve", "4321", "--loop-bw", "0"}).status, 2);

    // Without a loop bandwidth no spur is judged against one.
    const nlohmann::json plain =
        json_of({"solve", "4321", "--part", "zr3500", "--prescaler", "10/11", "--mash", "1-1"})["spurs"];
    EXPECT_EQ(plain["loop_bandwidth_hz"], nullptr);
    EXPECT_EQ(plain["inside_loop_bandwidth"], nlohmann::json::array());
}

TEST(ZrctlSpurs, IntegerChannelsHalfFractionsAndDitherInCalc)
{
    nlohmann::json s = json_of({"calc", "--prescaler", "10/11"})["spurs"];
    EXPECT_EQ(s["integer_boundary_hz"], nullptr) << "ZR3100 has no fraction";
    EXPECT_EQ(s["primary_fractional_hz"], nullptr);
    EXPECT_NE(zrctl({"calc"}).out.find("spurs      none, N is a whole number\n"), std::string::npos);

    // K 131072: exactly one half; the boundary, Fc / 2 and Fc / 4.
    s = json_of({"calc", "--part", "zr3500", "--prescaler", "10/11", "--k", "131072"})["spurs"];
    EXPECT_EQ(s["integer_boundary_hz"], 25e6);
    EXPECT_EQ(s["primary_fractional_hz"], 25e6);
    EXPECT_EQ(s["sub_fractional_hz"], 12.5e6);

    // K 1: the boundary and the primary spur both one step of Fc / 2^18 out.
    s = json_of({"calc", "--part", "zr3500", "--prescaler", "10/11", "--k", "1"})["spurs"];
    EXPECT_NEAR(s["integer_boundary_hz"].get<double>(), kFc / 262144.0, 1e-9);
    EXPECT_NEAR(s["primary_fractional_hz"].get<double>(), kFc / 262144.0, 1e-9);

    // Dither: (2 x 131072 + 1) / 2^19 is 1 / 2^19 short of a half from the boundary.
    const ZrctlRun dithered =
        zrctl({"calc", "--part", "zr3500", "--prescaler", "10/11", "--k", "131072", "--dither"});
    EXPECT_NE(dithered.out.find("spurs      integer boundary 24.999905 MHz; the fractional spurs are spread by "
                                "dither\n"),
              std::string::npos)
        << dithered.out;
    s = json_of({"calc", "--part", "zr3500", "--prescaler", "10/11", "--k", "131072", "--dither"})["spurs"];
    EXPECT_NEAR(s["integer_boundary_hz"].get<double>(), kFc * 262143.0 / 524288.0, 1e-6);
    EXPECT_EQ(s["primary_fractional_hz"], nullptr) << "spread, not at an offset";
    EXPECT_EQ(s["spread_by_dither"], true);
}

TEST(ZrctlPlan, RankedBySmallerErrorThenFartherBoundaryWithThePanelsChoiceMarked)
{
    const nlohmann::json j = json_of({"plan", "4321", "--part", "zr3500", "--tolerance", "1000"});
    const nlohmann::json& c = j["candidates"];
    ASSERT_GT(c.size(), 3u);
    int marked = 0;
    for (std::size_t i = 0; i < c.size(); ++i) {
        EXPECT_EQ(c[i]["rank"], i + 1);
        EXPECT_LE(std::abs(c[i]["error_hz"].get<double>()), 1000.0);
        // The words and the registers agree: the chip gets what the row says.
        const MainWordFields main = main_word_fields(c[i]["main_word"].get<uint32_t>());
        EXPECT_EQ(main.R, c[i]["registers"]["R"].get<uint32_t>());
        EXPECT_EQ(main.M, c[i]["registers"]["M"].get<uint32_t>());
        marked += c[i]["panel_choice"].get<bool>() ? 1 : 0;
        if (i == 0)
            continue;
        const double before = std::abs(c[i - 1]["error_hz"].get<double>());
        const double here = std::abs(c[i]["error_hz"].get<double>());
        EXPECT_LE(before, here) << "rank " << i + 1;
        if (before == here) {
            const nlohmann::json& a = c[i - 1]["spurs"]["integer_boundary_hz"];
            const nlohmann::json& b = c[i]["spurs"]["integer_boundary_hz"];
            EXPECT_TRUE(a.is_null() || (!b.is_null() && a.get<double>() >= b.get<double>())) << "rank " << i + 1;
        }
    }
    EXPECT_EQ(marked, 1);
    // The panel's choice is what solve gives for the same settings.
    const nlohmann::json solved = json_of({"solve", "4321", "--part", "zr3500"});
    EXPECT_EQ(j["panel"]["registers"], solved["registers"]);
    EXPECT_EQ(j["panel"]["panel_choice"], true);
    const std::size_t rank = j["panel"]["rank"].get<std::size_t>();
    EXPECT_EQ(c[rank - 1]["registers"], solved["registers"]);

    // In the text, the marked row is that rank's.
    const ZrctlRun text = zrctl({"plan", "4321", "--part", "zr3500", "--tolerance", "1000", "--top", "1000"});
    ASSERT_EQ(text.status, 0) << text.err;
    char head[16];
    std::snprintf(head, sizeof head, "%4zu  ", rank);
    const std::size_t mark = text.out.find("<- the panel's choice");
    ASSERT_NE(mark, std::string::npos) << text.out;
    EXPECT_EQ(text.out.substr(text.out.rfind('\n', mark) + 1, 6), head);
}

TEST(ZrctlPlan, IntegerChannelsOfSeveralRAndThePanelOutsideTheTolerance)
{
    // ZR3100, 4050 MHz exactly: Fc 50 (R 1, N 81) and Fc 25 (R 3, N 162) only,
    // of R 0 to 3 with 10/11; both without a boundary spur, R 1 first.
    nlohmann::json j = json_of({"plan", "4050", "--r", "0..3", "--prescaler", "10/11", "--tolerance", "0"});
    ASSERT_EQ(j["candidates"].size(), 2u);
    EXPECT_EQ(j["candidates"][0]["registers"]["R"], 1);
    EXPECT_EQ(j["candidates"][1]["registers"]["R"], 3);
    EXPECT_EQ(j["candidates"][1]["registers"]["M"], 15);
    EXPECT_EQ(j["candidates"][1]["registers"]["A"], 2);
    EXPECT_EQ(j["candidates"][0]["panel_choice"], true);

    // 4049 with R 1 only: the panel truncates to 4000, 1 MHz from nothing within 1 kHz.
    j = json_of({"plan", "4049", "--r", "1", "--prescaler", "10/11"});
    EXPECT_EQ(j["candidates"].size(), 0u);
    EXPECT_EQ(j["panel"]["rank"], nullptr);
    EXPECT_EQ(j["panel"]["error_hz"], -49e6);
    const ZrctlRun text = zrctl({"plan", "4049", "--r", "1", "--prescaler", "10/11"});
    EXPECT_NE(text.out.find("the panel  R 1, prescaler 10/11 by truncation: 4000.0000000 MHz, 49.000000 MHz below "
                            "the target; not within the tolerance\n"),
              std::string::npos)
        << text.out;

    EXPECT_EQ(zrctl({"plan", "4050", "--r", "5..2"}).status, 2);
    EXPECT_EQ(zrctl({"plan", "4050", "--prescaler", "7/8"}).status, 2);
    EXPECT_EQ(zrctl({"plan", "4050", "--prescaler", "BYPASS"}).status, 0) << "a switch's word in any case";
    EXPECT_EQ(zrctl({"plan", "9000"}).status, 2);
    const ZrctlRun mash = zrctl({"plan", "4050", "--mash", "2-2"});
    EXPECT_EQ(mash.status, 2);
    EXPECT_NE(mash.err.find("--mash 2-2: is neither "), std::string::npos) << mash.err;
    const ZrctlRun tolerance = zrctl({"plan", "4050", "--tolerance=-5"});
    EXPECT_EQ(tolerance.status, 2);
    EXPECT_NE(tolerance.err.find("--tolerance -5: at least 0 Hz"), std::string::npos) << tolerance.err;
}

TEST(ZrctlPlan, AListPlannedForASweepIsSweptAsPlanned)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("zrctl-plan-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string list = (dir / "list.txt").string();
    const std::string sweep_list = (dir / "sweep.csv").string();
    const std::string setups = (dir / "setups").string();
    write_text(list, "# hops\n4049\n4321\n4100.3\n");

    const nlohmann::json plan = json_of({"plan", "--list", list, "--part", "zr3500", "--tolerance", "200",
                                         "--sweep-list", sweep_list, "--setups", setups});
    ASSERT_EQ(plan["points"].size(), 3u);
    ASSERT_FALSE(plan["sweep"].is_null());

    // The list names the options to sweep it with; swept so, every point is within the tolerance.
    const std::string text = read_text(sweep_list);
    const std::string marker = "#   zrctl ";
    const std::size_t at = text.find(marker);
    ASSERT_NE(at, std::string::npos) << text;
    std::istringstream line(text.substr(at + marker.size(), text.find('\n', at) - at - marker.size()));
    Arguments arguments;
    for (std::string word; line >> word;)
        arguments.push_back(word);
    arguments.push_back("--dry-run");
    const nlohmann::json swept = json_of(arguments);
    ASSERT_EQ(swept["points"].size(), 3u);
    const double requested[] = {4049, 4321, 4100.3};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(swept["points"][i]["requested_mhz"], requested[i]);
        EXPECT_LE(std::abs(swept["points"][i]["error_hz"].get<double>()), 200.0) << i;
        EXPECT_EQ(swept["points"][i]["registers"]["R"], plan["sweep"]["R"]);
    }

    // Each setup opens to its point's best setting.
    for (std::size_t i = 0; i < 3; ++i) {
        const nlohmann::json& p = plan["points"][i];
        const nlohmann::json opened = json_of({"calc", "--state", p["setup"].get<std::string>()});
        EXPECT_EQ(opened["registers"], p["registers"]) << i;
        EXPECT_EQ(opened["fin_mhz"], p["fin_mhz"]) << i;
        EXPECT_LE(std::abs(p["error_hz"].get<double>()), 200.0) << i;
    }
    std::filesystem::remove_all(dir);
}

TEST(ZrctlPlan, AListThatCannotBePlannedIsRefusedWithItsReasonAndNothingIsWritten)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("zrctl-plan-refused-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string list = (dir / "list.txt").string();
    const std::string sweep_list = (dir / "sweep.csv").string();
    struct Case {
        Arguments arguments;
        std::string said;
    };
    const Case cases[] = {
        {{"plan", "--list", (dir / "none.txt").string()}, "--list " + (dir / "none.txt").string() + ": cannot read it"},
        {{"plan", "--list", (dir / "bad.txt").string()}, "--list " + (dir / "bad.txt").string() + ", line 2: abc: "},
        // No R of 1 to 64 puts a channel of 100 MHz / (R + 1) on 4100.3 MHz.
        {{"plan", "--list", list, "--part", "zr3100", "--tolerance", "0"},
         "point 2: no setting reaches 4100.3 MHz within 0 Hz"},
        // 4050 MHz wants an even R + 1, 4033.3333333 MHz a multiple of 3.
        {{"plan", "--list", (dir / "apart.txt").string(), "--part", "zr3100", "--tolerance", "200", "--r", "0..3",
          "--sweep-list", sweep_list},
         "no one R, prescaler and MASH order reaches every point within 200 Hz"},
        {{"plan", "--list", (dir / "apart.txt").string(), "--part", "zr3100", "--tolerance", "200", "--sweep-list",
          (dir / "no-folder" / "sweep.csv").string()},
         "--sweep-list " + (dir / "no-folder" / "sweep.csv").string() + ": cannot write it"},
    };
    write_text(list, "4000\n4100.3\n");
    write_text((dir / "apart.txt").string(), "4050\n4033.3333333\n");
    write_text((dir / "bad.txt").string(), "4000\nabc\n");
    for (const Case& c : cases) {
        const ZrctlRun run = zrctl(c.arguments);
        EXPECT_EQ(run.status, 2) << c.said;
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(sweep_list)) << c.said;
    }
    const ZrctlRun bare = zrctl({"plan"});
    EXPECT_EQ(bare.status, 1);
    EXPECT_NE(bare.err.find("give FREQ, or --list (see zrctl plan --help)"), std::string::npos) << bare.err;
    std::filesystem::remove_all(dir);
}
