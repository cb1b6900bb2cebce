// The D2XX calls over libftdi, and the seam through which tests put a simulated board behind them.
#include "d2xx/d2xx.h"
#include "d2xx/libftdi_driver.h"
#include "d2xx/simulated_board.h"

#include <gtest/gtest.h>

TEST(LibFtdiBaudRate, BitBangRatesAreHandedOverAtAQuarter)
{
    // libftdi multiplies by 4 in bit-bang mode; D2XX does not. 76800 must reach
    // the chip as D2XX would program it.
    EXPECT_EQ(libftdi_baud_rate(76800, true), 19200);
    EXPECT_EQ(libftdi_baud_rate(76800, false), 76800);
    EXPECT_EQ(libftdi_baud_rate(9600, true), 2400);
    EXPECT_EQ(libftdi_baud_rate(0xFFFFFFFFu, false), 0x7FFFFFFF) << "never a negative rate";
}

TEST(LibFtdiDriver, HandlesItNeverOpenedNeverReachLibftdi)
{
    BoardDriver& d = libftdi_driver();
    char not_a_board = 0;
    DWORD written = 99;
    UCHAR byte = 0;
    EXPECT_EQ(d.close(nullptr), FT_INVALID_HANDLE);
    EXPECT_EQ(d.close(&not_a_board), FT_INVALID_HANDLE);
    EXPECT_EQ(d.set_bit_mode(nullptr, 0xFF, FT_BITMODE_ASYNC_BITBANG), FT_INVALID_HANDLE);
    EXPECT_EQ(d.set_baud_rate(&not_a_board, 76800), FT_INVALID_HANDLE);
    EXPECT_EQ(d.write(nullptr, &byte, 1, &written), FT_INVALID_HANDLE);
    EXPECT_EQ(written, 99u);
}

TEST(LibFtdiDriver, WithoutABoardNothingOpens)
{
    // This machine has no FTDI board: the count is 0 (or the bus cannot be read),
    // and opening device 0 fails with a D2XX status and leaves the handle alone.
    DWORD count = 12345;
    const FT_STATUS counted = libftdi_driver().create_device_info_list(&count);
    if (counted == FT_OK && count > 0)
        GTEST_SKIP() << "an FTDI board is attached";
    FT_HANDLE handle = nullptr;
    const FT_STATUS opened = libftdi_driver().open(0, &handle);
    EXPECT_NE(opened, FT_OK);
    EXPECT_EQ(handle, nullptr);
}

TEST(D2xx, CallsGoToTheInstalledBoard)
{
    SimulatedBoard board;
    board.device_count = 2;
    BoardDriver* previous = install_board_driver(&board);

    DWORD count = 0;
    FT_HANDLE handle = nullptr;
    UCHAR burst[3] = {1, 2, 3};
    DWORD written = 0;
    EXPECT_EQ(FT_CreateDeviceInfoList(&count), FT_OK);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(FT_Open(0, &handle), FT_OK);
    EXPECT_EQ(FT_SetBitMode(handle, 0xFF, FT_BITMODE_ASYNC_BITBANG), FT_OK);
    EXPECT_EQ(FT_SetBaudRate(handle, 76800), FT_OK);
    EXPECT_EQ(FT_Write(handle, burst, 3, &written), FT_OK);
    EXPECT_EQ(written, 3u);
    EXPECT_EQ(FT_Close(handle), FT_OK);
    EXPECT_EQ(FT_Close(handle), FT_INVALID_HANDLE) << "closed once";

    install_board_driver(previous);
    EXPECT_EQ(board.calls, (std::vector<std::string>{"FT_CreateDeviceInfoList", "FT_Open(0)",
                                                     "FT_SetBitMode(0xFF, 1)", "FT_SetBaudRate(76800)",
                                                     "FT_Write(3)", "FT_Close", "FT_Close"}));
    EXPECT_EQ(board.bursts, (std::vector<std::vector<UCHAR>>{{1, 2, 3}}));
    EXPECT_EQ(board.lines(), 3) << "the lines hold the last byte";
    EXPECT_EQ(install_board_driver(nullptr), previous);
}

TEST(D2xx, SimulatedFaults)
{
    SimulatedBoard board;
    BoardDriver* previous = install_board_driver(&board);
    DWORD count = 7;
    board.count_status = FT_IO_ERROR;
    EXPECT_EQ(FT_CreateDeviceInfoList(&count), FT_IO_ERROR);
    EXPECT_EQ(count, 7u);

    FT_HANDLE handle = nullptr;
    board.open_status = FT_DEVICE_NOT_OPENED;
    EXPECT_EQ(FT_Open(0, &handle), FT_DEVICE_NOT_OPENED);
    EXPECT_EQ(handle, nullptr);

    board.open_status = FT_OK;
    ASSERT_EQ(FT_Open(0, &handle), FT_OK);
    UCHAR burst[49] = {};
    DWORD written = 0;
    board.write_limit = 20;
    EXPECT_EQ(FT_Write(handle, burst, 49, &written), FT_OK);
    EXPECT_EQ(written, 20u) << "a short write";
    board.write_status = FT_IO_ERROR;
    EXPECT_EQ(FT_Write(handle, burst, 49, &written), FT_IO_ERROR);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(board.bursts.size(), 2u) << "every burst handed over is recorded";
    install_board_driver(previous);
}

TEST(D2xx, AnUnpluggedDeviceFailsEveryCallButCloseAndOnlyOneOpensAtATime)
{
    // What the panel's poll and its writes rely on to notice an unplug.
    SimulatedBoard board;
    board.device_count = 3;
    board.no_permission = {board.detail_of(1).serial_number};
    BoardDriver* previous = install_board_driver(&board);
    FT_HANDLE handle = nullptr;
    FT_HANDLE second = nullptr;
    DWORD lines = 99;
    EXPECT_EQ(FT_Open(1, &second), FT_DEVICE_NOT_OPENED);
    EXPECT_EQ(board.last_open_failure().kind, OpenFailure::Permission);
    ASSERT_EQ(FT_Open(0, &handle), FT_OK);
    EXPECT_EQ(FT_Open(2, &second), FT_DEVICE_NOT_OPENED) << "one device open at a time";
    EXPECT_EQ(FT_GetModemStatus(handle, nullptr), FT_INVALID_PARAMETER);
    EXPECT_EQ(FT_GetModemStatus(nullptr, &lines), FT_INVALID_HANDLE);
    EXPECT_EQ(FT_GetModemStatus(handle, &lines), FT_OK);

    board.unplug(board.detail_of(0).serial_number);
    UCHAR byte = 0;
    DWORD written = 0;
    EXPECT_EQ(FT_GetModemStatus(handle, &lines), FT_IO_ERROR);
    EXPECT_EQ(FT_SetBitMode(handle, 0xFF, FT_BITMODE_ASYNC_BITBANG), FT_IO_ERROR);
    EXPECT_EQ(FT_SetBaudRate(handle, 76800), FT_IO_ERROR);
    EXPECT_EQ(FT_Write(handle, &byte, 1, &written), FT_IO_ERROR);
    EXPECT_EQ(FT_Close(handle), FT_OK);
    install_board_driver(previous);
}

TEST(D2xx, DeviceDetailsAreCutToD2xxSizesAndOpenBySerialNumber)
{
    SimulatedBoard board;
    board.device_count = 2;
    board.details = {{"SHORT1", "Board", 'A'}, {"A-SERIAL-NUMBER-FAR-TOO-LONG", std::string(100, 'd'), 'B'}};
    BoardDriver* previous = install_board_driver(&board);

    char serial[FT_SERIAL_NUMBER_SIZE];
    char description[FT_DESCRIPTION_SIZE];
    char port = 0;
    ASSERT_EQ(FT_GetDeviceInfoDetail(1, serial, description, &port), FT_OK);
    EXPECT_EQ(std::string(serial), "A-SERIAL-NUMBER");
    EXPECT_EQ(std::string(description), std::string(FT_DESCRIPTION_SIZE - 1, 'd'));
    EXPECT_EQ(port, 'B');
    EXPECT_EQ(FT_GetDeviceInfoDetail(2, serial, description, &port), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(FT_GetDeviceInfoDetail(0, nullptr, description, &port), FT_INVALID_PARAMETER);

    FT_HANDLE handle = nullptr;
    EXPECT_EQ(FT_OpenEx("SHORT1", 2, &handle), FT_INVALID_PARAMETER) << "only by serial number";
    ASSERT_EQ(FT_OpenEx("SHORT1", FT_OPEN_BY_SERIAL_NUMBER, &handle), FT_OK);
    EXPECT_TRUE(board.is_open());
    EXPECT_EQ(FT_Close(handle), FT_OK);
    EXPECT_EQ(FT_OpenEx("NONE", FT_OPEN_BY_SERIAL_NUMBER, &handle), FT_DEVICE_NOT_FOUND);
    install_board_driver(previous);
}
