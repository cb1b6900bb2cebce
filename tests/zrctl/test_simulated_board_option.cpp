// zrctl --simulated-board: the simulated board as the only device for one run
// of the commands that open a board, said where they name the device, with the
// write log that tests of zrctl as a process read; and the boards plugged in
// untouched meanwhile and back afterwards.
#include "support/zrctl_run.h"

#include "d2xx/d2xx.h"
#include "d2xx/simulated_board.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace {

class ZrctlSimulatedBoard : public ::testing::Test {
protected:
    void SetUp() override { previous_ = install_board_driver(&plugged_in); }
    void TearDown() override { install_board_driver(previous_); }

    SimulatedBoard plugged_in;  // what stands behind the calls without the option

private:
    BoardDriver* previous_ = nullptr;
};

}  // namespace

TEST_F(ZrctlSimulatedBoard, StandsInForTheBoardsAndSaysSo)
{
    ZrctlRun run = run_zrctl({"--simulated-board", "devices"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "index  port  serial number     description               state\n"
                       "0      A     SIMULATED         Simulated board           free\n");
    run = run_zrctl({"program", "--simulated-board", "--m", "20"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find(':')), "sent 49 bytes to FTDI device 0 (SIMULATED)");
    run = run_zrctl({"--simulated-board", "sweep", "--serial", "SIMULATED", "--start", "4000", "--stop", "4001",
                     "--step", "1"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("sent 2 points (98 bytes) to FTDI device with serial number SIMULATED"), std::string::npos)
        << run.out;
    EXPECT_TRUE(plugged_in.calls.empty()) << "the boards plugged in are left alone";

    // Without it, the boards plugged in again.
    run = run_zrctl({"program"});
    EXPECT_EQ(run.out.substr(0, run.out.find(':')), "sent 49 bytes to FTDI device 0");
    EXPECT_EQ(plugged_in.bursts.size(), 1u);
    run = run_zrctl({"solve", "4000", "--simulated-board"});
    EXPECT_EQ(run.status, 1) << "only where a board is opened";
}

TEST_F(ZrctlSimulatedBoard, LogsEachBurstForTestsThatRunZrctlAsAProcess)
{
    const std::string log = testing::TempDir() + "zrctl-simulated-" + std::to_string(::getpid()) + ".log";
    std::remove(log.c_str());
    ::setenv("ZRCTL_SIMULATED_BOARD_LOG", log.c_str(), 1);
    run_zrctl({"--simulated-board", "program", "--m", "20"});
    run_zrctl({"--simulated-board", "program", "--part", "zr3500", "--freq", "4321", "--prescaler", "10/11"});
    ::unsetenv("ZRCTL_SIMULATED_BOARD_LOG");
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), run_zrctl({"burst", "--m", "20"}).out +
                              run_zrctl({"burst", "--part", "zr3500", "--freq", "4321", "--prescaler", "10/11"}).out);
    std::remove(log.c_str());

    // A log that cannot be made stops the run before anything is written, rather than losing the bursts.
    ::setenv("ZRCTL_SIMULATED_BOARD_LOG", "/nonexistent-folder/zrctl.log", 1);
    const ZrctlRun refused = run_zrctl({"--simulated-board", "program", "--m", "20"});
    ::unsetenv("ZRCTL_SIMULATED_BOARD_LOG");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("ZRCTL_SIMULATED_BOARD_LOG /nonexistent-folder/zrctl.log: No such file or directory"),
              std::string::npos)
        << refused.err;
}

