// The libftdi driver against a fake of the libftdi calls it makes: how D2XX's
// device numbers find a chip and a port, the baud rate libftdi is handed, and
// the D2XX status of each failure.
#include "d2xx/fake_libftdi.h"

#include "d2xx/libftdi_driver.h"

#include <gtest/gtest.h>

namespace {

class LibFtdi : public ::testing::Test {
protected:
    void SetUp() override { fake_libftdi = FakeLibftdi{}; }
    void TearDown() override
    {
        EXPECT_EQ(fake_libftdi.lists_alive, 0) << "every device list is freed";
    }
    BoardDriver& driver = libftdi_driver();
};

}  // namespace

TEST_F(LibFtdi, EveryPortOfEveryChipIsOneDevice)
{
    fake_libftdi.chips = {2, 2};
    DWORD count = 0;
    EXPECT_EQ(driver.create_device_info_list(&count), FT_OK);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(fake_libftdi.contexts_alive, 0);
}

TEST_F(LibFtdi, Index3OpensTheSecondChipsPortB)
{
    fake_libftdi.chips = {2, 2};
    FT_HANDLE handle = nullptr;
    ASSERT_EQ(driver.open(3, &handle), FT_OK);
    EXPECT_EQ(fake_libftdi.calls, (std::vector<std::string>{"interface B", "open chip 1"}));
    EXPECT_EQ(driver.close(handle), FT_OK);
    EXPECT_EQ(fake_libftdi.contexts_alive, 0) << "closing frees the context";
}

TEST_F(LibFtdi, TheBaudRateIsHandedOverAtAQuarterOnlyWhileBitBangIsOn)
{
    fake_libftdi.chips = {1};
    FT_HANDLE handle = nullptr;
    ASSERT_EQ(driver.open(0, &handle), FT_OK);
    fake_libftdi.calls.clear();
    EXPECT_EQ(driver.set_bit_mode(handle, 0xFF, FT_BITMODE_ASYNC_BITBANG), FT_OK);
    EXPECT_EQ(driver.set_baud_rate(handle, 76800), FT_OK);
    EXPECT_EQ(driver.set_bit_mode(handle, 0xFF, FT_BITMODE_RESET), FT_OK);
    EXPECT_EQ(driver.set_baud_rate(handle, 76800), FT_OK);
    EXPECT_EQ(fake_libftdi.calls, (std::vector<std::string>{"bitmode 0xFF 1", "baudrate 19200", "bitmode 0xFF 0",
                                                            "baudrate 76800"}));
    driver.close(handle);
}

TEST_F(LibFtdi, WritesReportWhatLibftdiWroteAndAnErrorLeavesTheCountAlone)
{
    fake_libftdi.chips = {1};
    FT_HANDLE handle = nullptr;
    ASSERT_EQ(driver.open(0, &handle), FT_OK);
    const UCHAR burst[49] = {};
    DWORD written = 0;
    EXPECT_EQ(driver.write(handle, burst, 49, &written), FT_OK);
    EXPECT_EQ(written, 49u);
    fake_libftdi.write_result = 20;
    EXPECT_EQ(driver.write(handle, burst, 49, &written), FT_OK);
    EXPECT_EQ(written, 20u) << "a short write is the caller's to see";
    fake_libftdi.write_result = -666;
    written = 7;
    EXPECT_EQ(driver.write(handle, burst, 49, &written), FT_IO_ERROR);
    EXPECT_EQ(written, 7u);
    driver.close(handle);
}

TEST_F(LibFtdi, EachOpenFailureHasItsD2xxStatusAndLeavesTheHandleAlone)
{
    fake_libftdi.chips = {2};
    FT_HANDLE handle = nullptr;
    // Every failure of ftdi_usb_open_dev: configuration, open (no permission),
    // claim (busy), reset, baud rate, context, descriptors, kernel driver.
    for (int code : {-3, -4, -5, -6, -7, -8, -9, -10, -11, -12}) {
        fake_libftdi.open_result = code;
        EXPECT_EQ(driver.open(0, &handle), FT_DEVICE_NOT_OPENED) << "ftdi_usb_open_dev " << code;
    }
    fake_libftdi.open_result = 0;
    EXPECT_EQ(driver.open(2, &handle), FT_DEVICE_NOT_FOUND) << "beyond the last port";
    fake_libftdi.chips = {6};
    EXPECT_EQ(driver.open(4, &handle), FT_DEVICE_NOT_OPENED) << "libftdi names ports A to D only";
    fake_libftdi.chips = {2};
    fake_libftdi.find_all_result = -5;
    EXPECT_EQ(driver.open(0, &handle), FT_OTHER_ERROR) << "the bus cannot be listed";
    DWORD count = 99;
    EXPECT_EQ(driver.create_device_info_list(&count), FT_OTHER_ERROR);
    EXPECT_EQ(count, 99u);
    fake_libftdi.find_all_result = 0;
    fake_libftdi.context_fails = true;
    EXPECT_EQ(driver.open(0, &handle), FT_INSUFFICIENT_RESOURCES);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(fake_libftdi.contexts_alive, 0) << "no context is left behind by a failed open";
}

TEST_F(LibFtdi, DevicesAreDescribedAsD2xxDescribesThem)
{
    fake_libftdi.chips = {1, 2};
    fake_libftdi.descriptions = {"FT232R USB UART", "Dual RS232-HS"};
    fake_libftdi.serials = {"A9K2L7QX", "FT5XZ3P1"};
    DeviceDetail d;
    ASSERT_EQ(driver.get_device_info_detail(0, &d), FT_OK);
    EXPECT_EQ(d.serial_number, "A9K2L7QX") << "a one-port chip: no port letter";
    EXPECT_EQ(d.description, "FT232R USB UART");
    EXPECT_EQ(d.port, 'A');
    ASSERT_EQ(driver.get_device_info_detail(2, &d), FT_OK);
    EXPECT_EQ(d.serial_number, "FT5XZ3P1B");
    EXPECT_EQ(d.description, "Dual RS232-HS B");
    EXPECT_EQ(d.port, 'B');
    EXPECT_EQ(driver.get_device_info_detail(3, &d), FT_DEVICE_NOT_FOUND);

    fake_libftdi.serials = {"", ""};
    ASSERT_EQ(driver.get_device_info_detail(0, &d), FT_OK) << "a chip without a serial number is still listed";
    EXPECT_EQ(d.serial_number, "");
    EXPECT_EQ(d.description, "FT232R USB UART");

    fake_libftdi.strings_result = -4;
    EXPECT_EQ(driver.get_device_info_detail(0, &d), FT_DEVICE_NOT_OPENED) << "no permission to read its strings";
    fake_libftdi.strings_result = -8;
    EXPECT_EQ(driver.get_device_info_detail(0, &d), FT_OTHER_ERROR) << "a chip without strings";
    EXPECT_EQ(fake_libftdi.contexts_alive, 0);
}

TEST_F(LibFtdi, ASerialNumberOpensItsChipAndPort)
{
    fake_libftdi.chips = {1, 2};
    fake_libftdi.serials = {"A9K2L7QX", "FT5XZ3P1"};
    FT_HANDLE handle = nullptr;
    ASSERT_EQ(driver.open_by_serial_number("FT5XZ3P1B", &handle), FT_OK);
    EXPECT_EQ(fake_libftdi.calls,
              (std::vector<std::string>{"strings chip 0", "strings chip 1", "interface B", "open chip 1"}));
    driver.close(handle);

    FT_HANDLE untouched = nullptr;
    EXPECT_EQ(driver.open_by_serial_number("FT5XZ3P1", &untouched), FT_DEVICE_NOT_FOUND)
        << "the chip's own number names no port of a two-port chip";
    fake_libftdi.open_result = -8;
    EXPECT_EQ(driver.open_by_serial_number("A9K2L7QX", &untouched), FT_DEVICE_NOT_OPENED);
    fake_libftdi.open_result = 0;
    fake_libftdi.strings_result = -4;
    EXPECT_EQ(driver.open_by_serial_number("A9K2L7QX", &untouched), FT_DEVICE_NOT_OPENED)
        << "no chip could be read: not opened rather than not found";
    EXPECT_EQ(untouched, nullptr);
    EXPECT_EQ(fake_libftdi.contexts_alive, 0);
}

// libftdi documents what each failure of ftdi_usb_open_dev means; the remedy the
// operator is shown follows from it: -4, the device node cannot be opened (no
// permission: the udev rule); -5, the interface cannot be claimed, and -11, the
// kernel's driver cannot be let go of (another program or driver holds it: busy);
// anything else, unplug and replug.
TEST_F(LibFtdi, EachOpenFailureSaysWhyAndWhichRemedyFits)
{
    fake_libftdi.chips = {1};
    const std::pair<int, OpenFailure::Kind> failures[] = {
        {-3, OpenFailure::Other},      {-4, OpenFailure::Permission}, {-5, OpenFailure::Busy},
        {-6, OpenFailure::Other},      {-7, OpenFailure::Other},      {-8, OpenFailure::Other},
        {-9, OpenFailure::Other},      {-10, OpenFailure::Other},     {-11, OpenFailure::Busy},
        {-12, OpenFailure::Other},
    };
    for (const auto& [code, kind] : failures) {
        fake_libftdi.open_result = code;
        FT_HANDLE handle = nullptr;
        EXPECT_EQ(driver.open(0, &handle), FT_DEVICE_NOT_OPENED) << "ftdi_usb_open_dev " << code;
        EXPECT_EQ(driver.last_open_failure().kind, kind) << "ftdi_usb_open_dev " << code;
        EXPECT_EQ(driver.last_open_failure().text, "the fake refused") << "libftdi's own words";
        EXPECT_EQ(handle, nullptr);

        fake_libftdi.serials = {"A9K2L7QX"};
        EXPECT_EQ(driver.open_by_serial_number("A9K2L7QX", &handle), FT_DEVICE_NOT_OPENED) << code;
        EXPECT_EQ(driver.last_open_failure().kind, kind) << "by serial number: ftdi_usb_open_dev " << code;
    }
    fake_libftdi.open_result = 0;
    FT_HANDLE handle = nullptr;
    ASSERT_EQ(driver.open(0, &handle), FT_OK);
    EXPECT_EQ(driver.last_open_failure().kind, OpenFailure::None) << "an open that worked leaves no reason behind";
    driver.close(handle);
    EXPECT_EQ(fake_libftdi.contexts_alive, 0);
}

// ftdi_set_bitmode: -1 bit-bang mode cannot be enabled, -2 the device is gone.
// ftdi_set_baudrate: -1 a rate the chip cannot make, -2 the setting failed, -3
// the device is gone. Every one is a failure the caller sees.
TEST_F(LibFtdi, ARefusedBitModeOrBaudRateIsAFailure)
{
    fake_libftdi.chips = {1};
    FT_HANDLE handle = nullptr;
    ASSERT_EQ(driver.open(0, &handle), FT_OK);
    for (int code : {-1, -2}) {
        fake_libftdi.bitmode_result = code;
        EXPECT_EQ(driver.set_bit_mode(handle, 0xFF, FT_BITMODE_ASYNC_BITBANG), FT_IO_ERROR) << "ftdi_set_bitmode "
                                                                                             << code;
    }
    fake_libftdi.bitmode_result = 0;
    for (const auto& [code, status] : {std::pair<int, FT_STATUS>{-1, FT_INVALID_BAUD_RATE}, {-2, FT_IO_ERROR},
                                       {-3, FT_IO_ERROR}}) {
        fake_libftdi.baudrate_result = code;
        EXPECT_EQ(driver.set_baud_rate(handle, 76800), status) << "ftdi_set_baudrate " << code;
    }
    fake_libftdi.baudrate_result = 0;
    EXPECT_EQ(driver.set_baud_rate(handle, 76800), FT_OK);
    driver.close(handle);
}

// An unplugged board is found by the modem status, which reaches the chip.
TEST_F(LibFtdi, AModemStatusThatFailsIsAnIoError)
{
    fake_libftdi.chips = {1};
    FT_HANDLE handle = nullptr;
    ASSERT_EQ(driver.open(0, &handle), FT_OK);
    DWORD lines = 0;
    EXPECT_EQ(driver.modem_status(handle, &lines), FT_OK);
    fake_libftdi.modem_status_result = -2;  // libusb: no device
    EXPECT_EQ(driver.modem_status(handle, &lines), FT_IO_ERROR);
    EXPECT_EQ(driver.modem_status(nullptr, &lines), FT_INVALID_HANDLE);
    driver.close(handle);
}

// Whether a port could be opened is found without detaching the serial driver
// and without keeping the interface: claimed and released at once, and the USB
// handle closed on every road.
TEST_F(LibFtdi, ADevicesUseIsProbedWithoutTakingIt)
{
    fake_libftdi.chips = {1, 2};
    EXPECT_EQ(driver.device_use(2).kind, DeviceUse::Free);
    EXPECT_EQ(fake_libftdi.calls, (std::vector<std::string>{"usb open chip 1", "claim 1", "release 1"}))
        << "port B of the second chip";

    fake_libftdi.claim_result = -6;  // LIBUSB_ERROR_BUSY
    EXPECT_EQ(driver.device_use(0).kind, DeviceUse::Busy);
    fake_libftdi.claim_result = 0;
    fake_libftdi.kernel_driver_active = 1;
    fake_libftdi.calls.clear();
    EXPECT_EQ(driver.device_use(0).kind, DeviceUse::SerialDriver);
    EXPECT_EQ(fake_libftdi.calls, std::vector<std::string>{"usb open chip 0"}) << "the serial driver is left alone";
    fake_libftdi.kernel_driver_active = 0;
    fake_libftdi.usb_open_result = -3;  // LIBUSB_ERROR_ACCESS
    EXPECT_EQ(driver.device_use(0).kind, DeviceUse::NoPermission);
    fake_libftdi.usb_open_result = 0;
    EXPECT_EQ(driver.device_use(3).kind, DeviceUse::Unknown) << "no such device";
    EXPECT_EQ(fake_libftdi.usb_handles_alive, 0);

    FT_HANDLE handle = nullptr;
    ASSERT_EQ(driver.open(1, &handle), FT_OK);
    fake_libftdi.calls.clear();
    EXPECT_EQ(driver.device_use(1).kind, DeviceUse::OpenHere);
    EXPECT_TRUE(fake_libftdi.calls.empty()) << "the board open here is not probed";
    EXPECT_EQ(driver.device_use(2).kind, DeviceUse::Free) << "the other port of that chip";
    driver.close(handle);
    EXPECT_EQ(fake_libftdi.contexts_alive, 0);
}
