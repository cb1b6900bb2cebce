// zrctl burst --vcd: the burst as a Value Change Dump of the board lines, the
// file the panel's bus view exports, read back by sigrok-cli.
#include "support/sigrok_words.h"
#include "support/zrctl_run.h"

#include "wire/bitbang_timing.h"
#include "wire/vcd.h"
#include "model/version.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace {

class VcdFile : public ::testing::Test {
protected:
    std::string path =
        (std::filesystem::temp_directory_path() / ("zrctl-" + std::to_string(getpid()) + ".vcd")).string();
    void TearDown() override { std::filesystem::remove(path); }

    std::string text() const
    {
        std::ostringstream s;
        s << std::ifstream(path).rdbuf();
        return s.str();
    }
};

}  // namespace

TEST_F(VcdFile, TheBurstPrintedIsTheBurstDumped)
{
    const ZrctlRun run =
        run_zrctl({"burst", "--part", "zr3500", "--prescaler", "10/11", "--freq", "4321", "--vcd", path, "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json j = run.json();
    EXPECT_EQ(text(), value_change_dump(j["bytes"].get<std::vector<uint8_t>>(), kPinUpdateRate,
                                        std::string("zr-eval ") + ZR_VERSION));
    if (!have_sigrok_cli())
        GTEST_SKIP() << "sigrok-cli is not installed (scripts/install-deps.sh installs it)";
    EXPECT_EQ(sigrok_spi_words(path, 21),
              (std::vector<uint32_t>{j["main_word"].get<uint32_t>(), j["auxiliary_word"].get<uint32_t>()}));
}

TEST_F(VcdFile, AFileThatCannotBeWrittenIsInvalidInput)
{
    const ZrctlRun run = run_zrctl({"burst", "--vcd", "/nonexistent-folder/burst.vcd"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--vcd /nonexistent-folder/burst.vcd: cannot write it: "), std::string::npos) << run.err;
}
