// zrctl devices and program with the simulated board: what is listed, what is
// called and written, and the exit status and message of every board fault.
#include "support/zrctl_run.h"

#include "wire/bursts.h"
#include "d2xx/d2xx.h"
#include "d2xx/simulated_board.h"

#include <gtest/gtest.h>

namespace {

class ZrctlBoard : public ::testing::Test {
protected:
    void SetUp() override { previous_ = install_board_driver(&board); }
    void TearDown() override { install_board_driver(previous_); }

    SimulatedBoard board;

private:
    BoardDriver* previous_ = nullptr;
};

using Calls = std::vector<std::string>;

}  // namespace

TEST_F(ZrctlBoard, DevicesAreListedAsTheProgramCountsThem)
{
    board.device_count = 3;
    board.details = {{"FT5XZ3P1A", "Dual RS232-HS A", 'A'}, {"FT5XZ3P1B", "Dual RS232-HS B", 'B'}};
    board.busy = {"FT5XZ3P1B"};
    board.no_permission = {"SIM2"};
    ZrctlRun run = run_zrctl({"devices"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "index  port  serial number     description               state\n"
                       "0      A     FT5XZ3P1A         Dual RS232-HS A           free\n"
                       "1      B     FT5XZ3P1B         Dual RS232-HS B           busy: another program holds it\n"
                       "2      A     SIM2              Simulated board           no permission (install the udev "
                       "rule)\n");
    EXPECT_FALSE(board.is_open()) << "listing opens nothing";
    run = run_zrctl({"devices", "--json"});
    EXPECT_EQ(run.json()["devices"][0]["can_open"], true);
    EXPECT_EQ(run.json()["devices"][1]["can_open"], false);
    EXPECT_EQ(run.json()["devices"][1]["state"], "busy: another program holds it");

    board.detail_status = FT_DEVICE_NOT_OPENED;
    run = run_zrctl({"devices", "--json"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.json()["devices"][1],
              nlohmann::json::parse(R"j({"index": 1, "serial_number": null, "description": null, "port": null,
                                        "problem": "FT_DEVICE_NOT_OPENED (3)", "can_open": false,
                                        "state": "busy: another program holds it"})j"))
        << "a device whose texts cannot be read is still listed";

    board.device_count = 0;
    run = run_zrctl({"devices"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "zrctl: no FTDI device found\n");
    board.count_status = FT_OTHER_ERROR;
    run = run_zrctl({"devices"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "zrctl: the FTDI devices cannot be counted: FT_OTHER_ERROR (18)\n");
}

TEST_F(ZrctlBoard, ProgramOpensAsThePanelDoesWritesOnceAndCloses)
{
    const std::vector<std::string> settings{"--part", "zr3500", "--prescaler", "10/11", "--m", "20", "--a", "3"};
    std::vector<std::string> arguments{"program"};
    arguments.insert(arguments.end(), settings.begin(), settings.end());
    const ZrctlRun run = run_zrctl(arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(board.calls, (Calls{"FT_CreateDeviceInfoList", "FT_Open(0)", "FT_SetBitMode(0xFF, 1)",
                                  "FT_SetBaudRate(76800)", "FT_Write(98)", "FT_Close"}));
    EXPECT_FALSE(board.is_open());

    std::vector<std::string> burst{"burst"};
    burst.insert(burst.end(), settings.begin(), settings.end());
    const std::string hex = run_zrctl(burst).out;
    EXPECT_EQ(run.out, "sent 98 bytes to FTDI device 0: main word 0x002826, auxiliary word 0x000001, option byte "
                       "0x28\n" + hex)
        << "the burst that burst prints";
    ASSERT_EQ(board.bursts.size(), 1u);
    EXPECT_EQ(hex_bytes(board.bursts[0]) + "\n", hex);
}

TEST_F(ZrctlBoard, TheDeviceByIndexOrBySerialNumber)
{
    board.device_count = 2;
    EXPECT_EQ(run_zrctl({"program", "--index", "1"}).status, 0);
    EXPECT_EQ(board.calls.at(1), "FT_Open(1)");

    board.calls.clear();
    ZrctlRun run = run_zrctl({"program", "--index", "2"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "zrctl: no FTDI device 2: 2 found, numbered from 0\n");
    EXPECT_EQ(board.calls, Calls{"FT_CreateDeviceInfoList"});

    board.calls.clear();
    run = run_zrctl({"program", "--serial", "SIM1", "--json"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(board.calls.at(1), "FT_OpenEx(SIM1)");
    EXPECT_EQ(run.json()["device"], nlohmann::json::parse(R"({"serial_number": "SIM1"})"));
    EXPECT_EQ(run.json()["bytes_written"], 49);

    run = run_zrctl({"program", "--serial", "FT9"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.err, "zrctl: no FTDI device with serial number FT9\n");
}

TEST_F(ZrctlBoard, EachBoardFaultHasItsStatusAndTheBoardIsLeftClosed)
{
    struct Fault {
        const char* what;
        void (*inject)(SimulatedBoard&);
        int status;
        std::string message;
        bool opened;  // and so closed again
    };
    const Fault faults[] = {
        {"count", [](SimulatedBoard& b) { b.count_status = FT_IO_ERROR; }, 3,
         "the FTDI devices cannot be counted: FT_IO_ERROR (4)", false},
        {"none", [](SimulatedBoard& b) { b.device_count = 0; }, 3, "no FTDI device found", false},
        {"open", [](SimulatedBoard& b) { b.open_status = FT_DEVICE_NOT_OPENED; }, 4,
         "FTDI device 0 would not open: FT_DEVICE_NOT_OPENED (3): no permission to open it (see the udev rule), or "
         "another program holds it", false},
        {"bit mode", [](SimulatedBoard& b) { b.bit_mode_status = FT_IO_ERROR; }, 4,
         "FTDI device 0 would not take asynchronous bit-bang mode: FT_IO_ERROR (4)", true},
        {"baud rate", [](SimulatedBoard& b) { b.baud_rate_status = FT_INVALID_BAUD_RATE; }, 4,
         "FTDI device 0 would not take 76800 baud: FT_INVALID_BAUD_RATE (7)", true},
        {"write", [](SimulatedBoard& b) { b.write_status = FT_IO_ERROR; }, 5,
         "the write to FTDI device 0 failed: FT_IO_ERROR (4), 0 of 49 bytes written; what the chip latched cannot "
         "be known", true},
        {"short", [](SimulatedBoard& b) { b.write_limit = 20; }, 5,
         "the write to FTDI device 0 was short: 20 of 49 bytes written; the chip latched none of it", true},
        {"short after the strobe", [](SimulatedBoard& b) { b.write_limit = 48; }, 5,
         "the write to FTDI device 0 was short: 48 of 49 bytes written; the chip latched all of it", true},
    };
    for (const Fault& f : faults) {
        SimulatedBoard fresh;
        f.inject(fresh);
        install_board_driver(&fresh);
        const ZrctlRun run = run_zrctl({"program"});
        EXPECT_EQ(run.status, f.status) << f.what;
        EXPECT_EQ(run.err, "zrctl: " + f.message + "\n") << f.what;
        EXPECT_EQ(run.out, "") << f.what;
        EXPECT_FALSE(fresh.is_open()) << f.what;
        EXPECT_EQ(fresh.calls.back() == "FT_Close", f.opened) << f.what;
    }
    install_board_driver(&board);
}

TEST_F(ZrctlBoard, ADryRunOpensNothing)
{
    const ZrctlRun run = run_zrctl({"program", "--dry-run", "--enh-path"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(board.calls.empty());
    EXPECT_EQ(run.out, "would send 20 bytes to FTDI device 0: enhancement word 0x00, option byte 0x20\n"
                       "20 22 22 23 22 23 22 23 22 23 22 23 22 23 22 23 22 23 22 20\n");
}
