// zrctl sweep with the simulated board: the table against zrctl solve, the
// bursts against the table as the chip decodes them, every refused input and
// every board fault with its status, and a continuous sweep ended by a signal.
#include "support/zrctl_run.h"
#include "zrctl/zrctl.h"

#include "wire/burst_decoder.h"
#include "d2xx/d2xx.h"
#include "d2xx/simulated_board.h"
#include "wire/serial_words.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <streambuf>
#include <cstring>

#include <unistd.h>

namespace {

using Args = std::vector<std::string>;
using Calls = std::vector<std::string>;

Args with(Args a, const Args& more)
{
    a.insert(a.end(), more.begin(), more.end());
    return a;
}

class ZrctlSweep : public ::testing::Test {
protected:
    void SetUp() override { previous_ = install_board_driver(&board); }
    void TearDown() override
    {
        install_board_driver(previous_);
        std::filesystem::remove_all(folder_);
    }

    // A file of the test's own folder, with that text when given.
    std::string file(const std::string& name, const std::string* text = nullptr)
    {
        std::filesystem::create_directories(folder_);
        const std::string path = (folder_ / name).string();
        if (text)
            std::ofstream(path, std::ios::binary) << *text;
        return path;
    }

    std::size_t writes() const
    {
        std::size_t n = 0;
        for (const std::string& c : board.calls)
            n += c.rfind("FT_Write", 0) == 0;
        return n;
    }

    SimulatedBoard board;

private:
    BoardDriver* previous_ = nullptr;
    std::filesystem::path folder_ =
        std::filesystem::temp_directory_path() / ("zrctl-sweep-" + std::to_string(getpid()));
};

std::string read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST_F(ZrctlSweep, TheTableMatchesSolvePointByPointOnBothParts)
{
    for (const Args& settings : {Args{"--part", "zr3100", "--prescaler", "10/11"},
                                 Args{"--part", "zr3500", "--prescaler", "10/11", "--mash", "1-1", "--lnm", "out"},
                                 Args{"--part", "zr3500", "--prescaler", "5/6", "--dither", "--r", "3"}}) {
        const ZrctlRun sweep =
            run_zrctl(with({"sweep", "--start", "4318", "--stop", "4322", "--step", "0.75", "--dry-run", "--json"},
                           settings));
        ASSERT_EQ(sweep.status, 0) << sweep.err;
        const nlohmann::json table = sweep.json()["points"];
        ASSERT_EQ(table.size(), 6u);
        for (const nlohmann::json& point : table) {
            const std::string requested = point["requested_mhz"].dump();
            const nlohmann::json solved = run_zrctl(with({"solve", requested, "--json"}, settings)).json();
            EXPECT_EQ(point["registers"]["M"], solved["registers"]["M"]) << settings[1] << " " << requested;
            EXPECT_EQ(point["registers"]["A"], solved["registers"]["A"]) << requested;
            EXPECT_EQ(point["registers"]["K"], solved["registers"]["K"]) << requested;
            EXPECT_EQ(point["registers"]["R"], solved["registers"]["R"]) << requested;
            EXPECT_EQ(point["achieved_mhz"], solved["fin_mhz"]) << requested;
            EXPECT_EQ(point["error_hz"], solved["error_hz"]) << requested;
            EXPECT_EQ(point["main_word"], solved["main_word"]) << requested;
            EXPECT_EQ(point["auxiliary_word"], solved["auxiliary_word"]) << requested;
        }
    }
    EXPECT_TRUE(board.calls.empty()) << "a dry run opens nothing";
}

TEST_F(ZrctlSweep, TheBurstsWrittenDecodeToTheTablesWords)
{
    // 4321 and 4321.4 share M and A on ZR3500: the second sends its auxiliary word alone.
    const std::string list = "4000\n4321\n4321.4\n4100\n";
    const std::string path = file("channels.txt", &list);
    const ZrctlRun run = run_zrctl({"sweep", "--list", path, "--part", "zr3500", "--prescaler", "10/11", "--lnm",
                                    "out", "--dwell", "0.5", "--repeat", "2", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json j = run.json();
    EXPECT_EQ(board.calls, (Calls{"FT_CreateDeviceInfoList", "FT_Open(0)", "FT_SetBitMode(0xFF, 1)",
                                  "FT_SetBaudRate(76800)", "FT_Write(98)", "FT_Write(98)", "FT_Write(49)",
                                  "FT_Write(98)", "FT_Write(98)", "FT_Write(98)", "FT_Write(49)", "FT_Write(98)",
                                  "FT_Close"}))
        << "one write a point; the second pass starts from the last point, whose main word differs";
    ASSERT_EQ(board.bursts.size(), 8u);
    for (std::size_t i = 0; i < board.bursts.size(); ++i) {
        const nlohmann::json& point = j["points"][i % 4];
        const ChipReception r = decode_burst(board.bursts[i]);
        EXPECT_EQ(r.fault, "") << "write " << i + 1;
        EXPECT_EQ(r.options, j["option_byte"].get<int>());
        const std::vector<uint32_t> words =
            board.bursts[i].size() == 49 ? std::vector<uint32_t>{point["auxiliary_word"].get<uint32_t>()}
                                         : std::vector<uint32_t>{point["main_word"].get<uint32_t>(),
                                                                 point["auxiliary_word"].get<uint32_t>()};
        EXPECT_EQ(r.latched_words, words) << "write " << i + 1;
    }
    EXPECT_EQ(j["option_byte"], 0x28) << "ENHBAR 1 whatever the state's ENH";
    EXPECT_EQ(j["writes"], 8);
    EXPECT_EQ(j["bytes"], 6 * 98 + 2 * 49);
    EXPECT_EQ(j["points"][2]["writes"], 2);
    EXPECT_EQ(j["last_point"], 4);
    EXPECT_EQ(j["left_at_mhz"], j["points"][3]["achieved_mhz"]);
    EXPECT_EQ(j["failure"], nullptr);
    EXPECT_FALSE(board.is_open());
}

TEST_F(ZrctlSweep, ALineForEachPointAsItIsWritten)
{
    const ZrctlRun run = run_zrctl({"sweep", "--start", "4300", "--stop", "4400", "--step", "50", "--part", "zr3100",
                                    "--prescaler", "10/11"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream out(run.out);
    std::vector<std::string> lines;
    for (std::string line; std::getline(out, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 6u) << run.out;
    EXPECT_EQ(lines[0], "ZR3100, Fr 100.00 MHz, R 1, prescaler 10/11, MASH 1-1, LNM in, dither off, E 0");
    EXPECT_EQ(lines[1], "3 points, dwell 0 ms, 1 pass; each point solved as solve solves it, every burst with "
                        "ENHBAR 1 (option byte 0x28)");
    EXPECT_EQ(lines[2].substr(0, lines[2].find("  at ")),
              "point 1/3  4300 MHz -> 4300.0000000 MHz  +0.000 Hz  R 1 M 7 A 6 K 0  main 0x000E2C  49 bytes");
    EXPECT_EQ(lines[4].substr(0, 11), "point 3/3  ");
    EXPECT_EQ(lines[5].substr(0, lines[5].find(", at most")), "sent 3 points (147 bytes) to FTDI device 0");
    EXPECT_NE(lines[5].find("; the chip was left at 4400.0000000 MHz (point 3: R 1 M 7 A 8 K 0)"), std::string::npos)
        << lines[5];
}

TEST_F(ZrctlSweep, BadInputIsRefusedBeforeTheBoardIsOpened)
{
    const std::string bad_list = "4000\n4010\n\n40x0\n";
    const std::string list = file("bad.csv", &bad_list);
    const std::string missing = file("missing.txt");
    struct Case {
        Args arguments;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"--start", "4000", "--stop", "4100", "--step", "0"}, 2,
         "--step 0: a step of 0 never reaches the stop frequency"},
        {{"--start", "4000", "--stop", "4100", "--step", "-5"}, 2,
         "--step -5: points away from the stop frequency 4100"},
        {{"--start", "0", "--stop", "5000", "--step", "0.01"}, 2,
         "--step 0.01: gives 500001 points, more than the 100000 a sweep may have"},
        {{"--start", "4000", "--stop", "5000.1", "--step", "1"}, 2,
         "--stop 5000.1: outside 0 to 5000, the range of the field \"Out Freq (MHz)\""},
        {{"--start", "four", "--stop", "4100", "--step", "1"}, 2,
         "--start four: not a number; write a frequency in MHz (4321) or with its unit (4321MHz, 4.321GHz)"},
        {{"--start", "4 GHz", "--stop", "4100", "--step", "1"}, 2, "--start 4 GHz: write 4GHz or 4000"},
        {{"--list", list}, 2,
         "--list " + list +
             ", line 4: 40x0: not a number; write a frequency in MHz (4321) or with its unit (4321MHz, 4.321GHz)"},
        {{"--list", missing}, 2, "--list " + missing + ": cannot read it: there is no such file"},
        {{"--start", "4000", "--stop", "4100", "--step", "1", "--repeat", "0"}, 2,
         "--repeat 0: at least 1 pass (--continuous repeats until stopped)"},
        {{"--start", "4000", "--stop", "4100", "--step", "1", "--dwell", "-1"}, 2,
         "--dwell -1: outside 0 to 86400000 ms"},
        {{"--start", "4000", "--stop", "4100", "--step", "1", "--index", "x"}, 2, "--index x: not a whole number"},
        {{"--start", "4000", "--stop", "4100"}, 1, "--start requires --step (see zrctl sweep --help)"},
        {{}, 1, "give --start, --stop and --step, or --list (see zrctl sweep --help)"},
    };
    for (const Case& c : cases) {
        const ZrctlRun run = run_zrctl(with({"sweep"}, c.arguments));
        EXPECT_EQ(run.status, c.status) << c.message;
        EXPECT_EQ(run.err, "zrctl: " + c.message + "\n");
        EXPECT_EQ(run.out, "") << c.message;
    }
    EXPECT_TRUE(board.calls.empty()) << "nothing was opened or sent";
}

TEST_F(ZrctlSweep, EachBoardFaultHasItsStatusAndAFailedWriteKeepsTheTable)
{
    struct Fault {
        const char* what;
        void (*inject)(SimulatedBoard&);
        int status;
        std::string message;
    };
    const Fault faults[] = {
        {"none", [](SimulatedBoard& b) { b.device_count = 0; }, 3, "no FTDI device found"},
        {"count", [](SimulatedBoard& b) { b.count_status = FT_IO_ERROR; }, 3,
         "the FTDI devices cannot be counted: FT_IO_ERROR (4)"},
        {"open", [](SimulatedBoard& b) { b.open_status = FT_DEVICE_NOT_OPENED; }, 4,
         "FTDI device 0 would not open: FT_DEVICE_NOT_OPENED (3): no permission to open it (see the udev rule), or "
         "another program holds it"},
        {"bit mode", [](SimulatedBoard& b) { b.bit_mode_status = FT_IO_ERROR; }, 4,
         "FTDI device 0 would not take asynchronous bit-bang mode: FT_IO_ERROR (4)"},
        {"baud rate", [](SimulatedBoard& b) { b.baud_rate_status = FT_INVALID_BAUD_RATE; }, 4,
         "FTDI device 0 would not take 76800 baud: FT_INVALID_BAUD_RATE (7)"},
        {"write", [](SimulatedBoard& b) { b.write_status = FT_IO_ERROR; }, 5,
         "the sweep to FTDI device 0 stopped at point 1 (4000 MHz): the write failed with FT_IO_ERROR (4), 0 of 98 "
         "bytes written; what the chip latched cannot be known; what the chip holds cannot be known"},
        {"short", [](SimulatedBoard& b) { b.write_limit = 20; }, 5,
         "the sweep to FTDI device 0 stopped at point 1 (4000 MHz): the write was short: 20 of 98 bytes written; the "
         "chip latched none of it; no point was sent"},
        {"short after the main word's strobe", [](SimulatedBoard& b) { b.write_limit = 64; }, 5,
         "the sweep to FTDI device 0 stopped at point 1 (4000 MHz): the write was short: 64 of 98 bytes written; the "
         "chip latched its main word 0x019E20 but not its auxiliary word; the chip holds R 1 M 79 A 0 of point 1 "
         "with a K the sweep did not send"},
    };
    const std::string csv = file("table.csv");
    for (const Fault& f : faults) {
        SimulatedBoard fresh;
        f.inject(fresh);
        install_board_driver(&fresh);
        const ZrctlRun run = run_zrctl({"sweep", "--start", "4000", "--stop", "4200", "--step", "100", "--part",
                                        "zr3500", "--csv", csv});
        EXPECT_EQ(run.status, f.status) << f.what;
        EXPECT_EQ(run.err, "zrctl: " + f.message + "\n") << f.what;
        EXPECT_FALSE(fresh.is_open()) << f.what;
        EXPECT_LE(fresh.bursts.size(), 1u) << f.what << ": nothing after the first failed write";
        const std::string table = read(csv);
        EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 4) << f.what << ": the table is kept";
    }
    install_board_driver(&board);
}

TEST_F(ZrctlSweep, AWriteThatFailsMidwayStopsThereAndSaysWhere)
{
    // A board that takes two bursts, then fails.
    SimulatedBoard failing;
    failing.before_write = [&failing] {
        if (failing.bursts.size() == 2)
            failing.write_status = FT_IO_ERROR;
    };
    install_board_driver(&failing);
    const std::string csv = file("midway.csv");
    const ZrctlRun run = run_zrctl({"sweep", "--start", "4000", "--stop", "4300", "--step", "100", "--part",
                                    "zr3100", "--prescaler", "10/11", "--csv", csv, "--json"});
    install_board_driver(&board);
    EXPECT_EQ(run.status, 5);
    EXPECT_EQ(run.err, "zrctl: the sweep to FTDI device 0 stopped at point 3 (4200 MHz): the write failed with "
                       "FT_IO_ERROR (4), 0 of 49 bytes written; what the chip latched cannot be known; 2 points were "
                       "sent whole, the chip holds 4100.0000000 MHz (point 2: R 1 M 7 A 2 K 0) or some of point 3, "
                       "which cannot be known\n");
    const nlohmann::json j = run.json();
    EXPECT_EQ(j["failure"], "point 3 (4200 MHz): the write failed with FT_IO_ERROR (4), 0 of 49 bytes written; what "
                            "the chip latched cannot be known");
    EXPECT_EQ(j["failure_latched"], "unknown");
    EXPECT_EQ(j["writes"], 2);
    EXPECT_EQ(j["points"][2]["writes"], 0);
    EXPECT_EQ(failing.bursts.size(), 3u) << "nothing after the failed write";
    EXPECT_FALSE(failing.is_open());

    std::istringstream table(read(csv));
    std::vector<std::string> lines;
    for (std::string line; std::getline(table, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2].substr(0, lines[2].find(",0x")), "4100,4100.0000000,0.000,1,7,2,0");
    EXPECT_NE(lines[2].find(",,1,"), std::string::npos) << "no auxiliary word, written once: " << lines[2];
    EXPECT_EQ(lines[3].substr(lines[3].size() - 4), ",0,,") << "never written: " << lines[3];
}

TEST_F(ZrctlSweep, AContinuousSweepEndsOnASignalAfterThePointBeingWritten)
{
    // A board that raises SIGINT, as Ctrl+C would, at its 250th write.
    SimulatedBoard interrupted;
    int written = 0;
    interrupted.before_write = [&interrupted, &written] {
        if (++written == 250)
            std::raise(SIGINT);
        interrupted.forget();
    };
    install_board_driver(&interrupted);
    // As an interactive shell starts it: a job started with & would ignore SIGINT.
    struct sigaction before {}, as_started {};
    as_started.sa_handler = SIG_DFL;
    sigaction(SIGINT, &as_started, &before);
    const ZrctlRun run = run_zrctl({"sweep", "--start", "4000", "--stop", "4090", "--step", "10", "--continuous",
                                    "--part", "zr3500", "--json"});
    install_board_driver(&board);
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json j = run.json();
    EXPECT_EQ(written, 250);
    EXPECT_EQ(j["writes"], 250);
    EXPECT_EQ(j["stopped"], true);
    EXPECT_EQ(j["passes"], nullptr);
    EXPECT_EQ(j["points"][9]["writes"], 25);
    EXPECT_EQ(j["last_point"], 10);
    EXPECT_FALSE(interrupted.is_open());
    struct sigaction now {};
    sigaction(SIGINT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL) << "the signal is the program's own again";

    struct sigaction ignored {};
    ignored.sa_handler = SIG_IGN;
    sigaction(SIGINT, &ignored, nullptr);
    EXPECT_EQ(run_zrctl({"sweep", "--start", "4000", "--stop", "4090", "--step", "10"}).status, 0);
    sigaction(SIGINT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN) << "a job told to ignore SIGINT keeps ignoring it";
    sigaction(SIGINT, &before, nullptr);
}

TEST_F(ZrctlSweep, AHangUpAQuitOrAClosedOutputEndsItAsCtrlCDoes)
{
    for (const int signal : {SIGHUP, SIGQUIT}) {
        SimulatedBoard interrupted;
        int written = 0;
        interrupted.before_write = [&written, signal] {
            if (++written == 7)
                std::raise(signal);
        };
        install_board_driver(&interrupted);
        struct sigaction before {}, as_started {};
        as_started.sa_handler = SIG_DFL;
        sigaction(signal, &as_started, &before);
        const std::string csv = file("signalled.csv");
        const ZrctlRun run = run_zrctl({"sweep", "--start", "4000", "--stop", "4090", "--step", "10", "--continuous",
                                        "--csv", csv, "--json"});
        sigaction(signal, &before, nullptr);
        install_board_driver(&board);
        ASSERT_EQ(run.status, 0) << strsignal(signal) << ": " << run.err;
        EXPECT_EQ(run.json()["writes"], 7) << strsignal(signal);
        EXPECT_EQ(run.json()["stopped"], true);
        EXPECT_FALSE(interrupted.is_open()) << strsignal(signal) << ": the board is closed";
        EXPECT_NE(read(csv).find(",1,"), std::string::npos) << "the table has the writes made";
    }

    // `| head -3`: the reader goes away after three lines.
    struct ClosedAfter : std::streambuf {
        int lines = 0;
        int overflow(int c) override { return c == '\n' && ++lines > 3 ? EOF : c; }
    } closed;
    std::ostream out(&closed);
    std::ostringstream err;
    SimulatedBoard piped;
    install_board_driver(&piped);
    const char* argv[] = {"zrctl", "sweep", "--start", "4000", "--stop", "4090", "--step", "10", "--repeat", "100"};
    const int status = run_zrctl(10, argv, out, err);
    install_board_driver(&board);
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_LE(piped.bursts.size(), 4u) << "the sweep went on writing with nobody reading";
    EXPECT_FALSE(piped.is_open());
}

TEST_F(ZrctlSweep, ATableThatCannotBeSavedAtTheEndKeepsTheRunsResult)
{
    // The table's folder goes away while the sweep runs, as a full or lost disk would fail the write.
    const std::string csv = file("gone/table.csv");
    std::filesystem::create_directories(std::filesystem::path(csv).parent_path());
    SimulatedBoard vanishing;
    vanishing.before_write = [&csv] { std::filesystem::remove_all(std::filesystem::path(csv).parent_path()); };
    install_board_driver(&vanishing);
    const ZrctlRun run = run_zrctl({"sweep", "--start", "4000", "--stop", "4020", "--step", "10", "--csv", csv,
                                    "--json"});
    install_board_driver(&board);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--csv " + csv + ": cannot write it"), std::string::npos) << run.err;
    const nlohmann::json j = run.json();
    EXPECT_EQ(j["writes"], 3) << "the run's result is printed beside the error";
    EXPECT_EQ(j["last_point"], 3);
}
