// The board search at start-up, through the real panel and the simulated board.
#include "support/board_fixture.h"

#include <vector>

using BoardSearch = SimulatedBoardTest;

TEST_F(BoardSearch, NoDeviceShowsTheNotConnectedNotice)
{
    board.device_count = 0;
    EXPECT_EQ(FTDI_Search(), 1);
    EXPECT_EQ(text(PANEL_Status), "Checking for FTDI devices...\nThere are no FTDI devices installed.\n");
    EXPECT_TRUE(visible(PANEL_TEXTMSG_41));
    EXPECT_FALSE(visible(PANEL_TEXTMSG_42));
    EXPECT_EQ(board.calls, std::vector<std::string>{"FT_CreateDeviceInfoList"}) << "no open is attempted";
    EXPECT_EQ(FTDIHandle, nullptr);
}

TEST_F(BoardSearch, TwoPortsAreCountedAndDeviceZeroIsOpenedInBitBangMode)
{
    board.device_count = 2;
    EXPECT_EQ(FTDI_Search(), 0);
    EXPECT_EQ(text(PANEL_Status), "Checking for FTDI devices...\n"
                                  "2 FTDI devices found the count includes\n"
                                  "individual ports on a single chip\n");
    EXPECT_FALSE(visible(PANEL_TEXTMSG_41));
    EXPECT_TRUE(visible(PANEL_TEXTMSG_42));
    EXPECT_EQ(board.calls, (std::vector<std::string>{"FT_CreateDeviceInfoList", "FT_Open(0)",
                                                     "FT_SetBitMode(0xFF, 1)", "FT_SetBaudRate(76800)"}));
    EXPECT_TRUE(board.is_open());
    EXPECT_EQ(board.bit_mask(), 0xFF) << "all eight lines are outputs";
    EXPECT_EQ(board.bit_mode(), FT_BITMODE_ASYNC_BITBANG);
    EXPECT_EQ(board.baud_rate(), 76800u);
    EXPECT_NE(FTDIHandle, nullptr);
}

TEST_F(BoardSearch, AFailingCountLeavesBothNoticesHidden)
{
    board.count_status = FT_IO_ERROR;
    EXPECT_EQ(FTDI_Search(), 1);
    EXPECT_EQ(text(PANEL_Status), "Checking for FTDI devices...\nError in getting the number of devices.\n");
    EXPECT_FALSE(visible(PANEL_TEXTMSG_41));
    EXPECT_FALSE(visible(PANEL_TEXTMSG_42));
    EXPECT_EQ(FTDIStatus, static_cast<FT_STATUS>(FT_IO_ERROR));
}

TEST_F(BoardSearch, AFailingOpenPrintsItsStatusAndKeepsTheConnectedNotice)
{
    board.open_status = FT_DEVICE_NOT_OPENED;
    EXPECT_EQ(FTDI_Search(), 1);
    EXPECT_EQ(text(PANEL_Status), "Checking for FTDI devices...\n"
                                  "1 FTDI devices found the count includes\n"
                                  "individual ports on a single chip\n"
                                  "Open Failed with error 3\n"
                                  "FT_DEVICE_NOT_OPENED (3): no permission to open it (see the udev rule), or "
                                  "another program holds it.\n");
    EXPECT_FALSE(visible(PANEL_TEXTMSG_41));
    EXPECT_TRUE(visible(PANEL_TEXTMSG_42));
    EXPECT_EQ(board.calls, (std::vector<std::string>{"FT_CreateDeviceInfoList", "FT_Open(0)"}));
    EXPECT_EQ(FTDIHandle, nullptr);
}

TEST_F(BoardSearch, AFailedOpenSaysWhyAndWhatToDo)
{
    struct Case {
        OpenFailure failure;
        const char* line;
    };
    const Case cases[] = {
        {{OpenFailure::Permission, "usb_open() failed"},
         "FT_DEVICE_NOT_OPENED (3). The driver says: usb_open() failed. No permission to use the board: install "
         "the udev rule as the README says, then unplug and replug it and choose Board > Rescan.\n"},
        {{OpenFailure::Busy, "unable to claim usb device"},
         "FT_DEVICE_NOT_OPENED (3). The driver says: unable to claim usb device. The board is busy: another program "
         "holds it. Close that program and choose Board > Rescan.\n"},
        {{OpenFailure::Other, ""},
         "FT_DEVICE_NOT_OPENED (3). Unplug and replug the board, then choose Board > Rescan.\n"},
    };
    board.open_status = FT_DEVICE_NOT_OPENED;
    for (const Case& c : cases) {
        board.open_failure = c.failure;
        EXPECT_EQ(FTDI_Search(), 1);
        const std::string status = text(PANEL_Status);
        const std::size_t after = status.rfind("Open Failed with error 3\n");
        ASSERT_NE(after, std::string::npos);
        EXPECT_EQ(status.substr(after + 25), c.line) << "the line after the status";
    }
}

// A board that will not take asynchronous bit-bang mode, or the rate, would take
// the bursts as something else: start-up says so with the status, closes it, and
// a press then writes nothing and says so.
TEST_F(BoardSearch, ARefusedModeOrRateIsAFailureAndThePressWritesNothing)
{
    struct Refusal {
        const char* what;
        void (*inject)(SimulatedBoard&);
        std::string line;
        const char* refused;
    };
    const Refusal refusals[] = {
        {"bit mode", [](SimulatedBoard& b) { b.bit_mode_status = FT_IO_ERROR; },
         "The board would not take asynchronous bit-bang mode (FT_IO_ERROR (4)): it was closed and will not be "
         "written to. Unplug and replug it, then choose Board > Rescan.\n",
         "asynchronous bit-bang mode"},
        {"baud rate", [](SimulatedBoard& b) { b.baud_rate_status = FT_INVALID_BAUD_RATE; },
         "The board would not take 76800 baud (FT_INVALID_BAUD_RATE (7)): it was closed and will not be written "
         "to. Unplug and replug it, then choose Board > Rescan.\n",
         "76800 baud"},
    };
    for (const Refusal& r : refusals) {
        board = SimulatedBoard{};
        forget_board();
        r.inject(board);
        EXPECT_EQ(FTDI_Search(), 1) << r.what;
        std::string status = text(PANEL_Status);
        ASSERT_GE(status.size(), r.line.size()) << status;
        EXPECT_EQ(status.substr(status.size() - r.line.size()), r.line) << r.what;
        EXPECT_EQ(FTDIHandle, nullptr) << r.what;
        EXPECT_FALSE(board.is_open()) << r.what << ": closed again";

        board.calls.clear();
        const std::size_t before = status.size();
        click(PANEL_SEND_DATA);
        EXPECT_EQ(board.calls, std::vector<std::string>{"FT_CreateDeviceInfoList"}) << r.what << ": nothing written";
        status = text(PANEL_Status);
        EXPECT_EQ(status.substr(before), std::string("The board device 0 would not take ") + r.refused +
                                             ", so it was closed: nothing was sent. Unplug and replug it, then "
                                             "choose Board > Rescan.\n")
            << r.what;
        EXPECT_EQ(text(PANEL_BOARD), std::string("open failed: device 0 would not take ") + r.refused) << r.what;
    }
}
