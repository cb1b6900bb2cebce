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
         "the udev rule as the README says, then unplug and replug it and restart the program.\n"},
        {{OpenFailure::Busy, "unable to claim usb device"},
         "FT_DEVICE_NOT_OPENED (3). The driver says: unable to claim usb device. The board is busy: another program "
         "holds it. Close that program and restart this one.\n"},
        {{OpenFailure::Other, ""},
         "FT_DEVICE_NOT_OPENED (3). Unplug and replug the board, then restart the program.\n"},
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
