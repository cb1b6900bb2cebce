// zrctl --state with a setup: the part its PART line names, the values of its
// state lines, and the line that is wrong in one the panel would not open.
#include "support/zrctl_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

class SetupFile : public ::testing::Test {
protected:
    std::string path =
        (std::filesystem::temp_directory_path() / ("zrctl-setup-" + std::to_string(getpid()) + ".zrs")).string();
    void write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    void TearDown() override { std::filesystem::remove(path); }
};

}  // namespace

TEST_F(SetupFile, ASetupGivesItsPartAndItsValues)
{
    write("# zr-eval setup 1\n"
          "PART = \"ZR3500\"\n"
          "PANEL_REF_FREQ = 50\n"
          "PANEL_K_REG = 5\n"
          "PANEL_RAND_EN = 1\n"
          "PANEL_TEXTMSG_10 = \"Select Part\"\n");
    const ZrctlRun run = run_zrctl({"calc", "--state", path, "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json j = run.json();
    EXPECT_EQ(j["settings"]["part"], "zr3500") << "the PART line, whatever the part text shows";
    EXPECT_EQ(j["settings"]["ref_mhz"], 50.0);
    EXPECT_EQ(j["settings"]["dither"], true);
    EXPECT_EQ(j["registers"]["K"], 5);
}

TEST_F(SetupFile, ASetupThePanelWouldNotOpenIsRefusedWithItsLine)
{
    const std::pair<std::string, std::string> broken[] = {
        {"# zr-eval setup 1\nPART = \"ZR9999\"\n", "line 2: PART = \"ZR9999\": neither \"ZR3100\" nor \"ZR3500\""},
        {"# zr-eval setup 1\nPANEL_M_REG = 7\n", "no PART line: a setup names its part"},
        {"# zr-eval setup 1\nPART = \"ZR3100\"\nPART = \"ZR3500\"\n", "line 3: PART is named twice"},
        {"# zr-eval setup 1\nPART = \"ZR3100\"\nPANEL_M_REG = 600\n", "line 3: PANEL_M_REG = 600: outside 0 to 511"},
        {"# zr-eval setup 2\n", "line 1: neither a zr-eval setup nor a zr-eval panel state"},
    };
    for (const auto& [text, problem] : broken) {
        write(text);
        const ZrctlRun run = run_zrctl({"calc", "--state", path});
        EXPECT_EQ(run.status, 2) << text;
        EXPECT_NE(run.err.find("the panel would not use it: " + problem), std::string::npos) << run.err;
    }
}
