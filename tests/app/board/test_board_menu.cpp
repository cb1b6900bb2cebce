// The board as the operator finds it, through the real panel and the simulated
// board: chosen from the Board menu, rescanned, disconnected, unplugged and
// plugged back in, remembered across a restart, and always shown as it is.
#include "support/board_fixture.h"
#include "support/operator_actions.h"
#include "support/startup_fixture.h"

#include "app/main_panel.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const DeviceDetail kFirst{"FTAAA1", "Board one", 'A'};
const DeviceDetail kSecond{"FTBBB2", "Board two", 'A'};

bool ends_with(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class BoardMenu : public SimulatedBoardTest {
protected:
    void SetUp() override
    {
        SimulatedBoardTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        previous_dir = QDir::currentPath();
        QDir::setCurrent(dir.path());
        board.device_count = 2;
        board.details = {kFirst, kSecond};
    }
    void TearDown() override
    {
        SimulatedBoardTest::TearDown();
        QDir::setCurrent(previous_dir);
    }

    // As start-up leaves the board: device 0 opened by the search.
    void start_up()
    {
        FTDI_Search();
        after_board_search();
        board.calls.clear();
    }
    void menu(const char* item) { operator_choose(PanelMenuBarWidget(panel), item); }
    int writes() const
    {
        return static_cast<int>(std::count_if(board.calls.begin(), board.calls.end(),
                                              [](const std::string& c) { return c.rfind("FT_Write", 0) == 0; }));
    }
    std::string status() const { return text(PANEL_Status); }
    std::string remembered() const { return Startup::file_text(kBoardChoiceFile); }

    QTemporaryDir dir;
    QString previous_dir;
};

}  // namespace

TEST_F(BoardMenu, TheSecondOfTwoBoardsIsOpenedWrittenToOnItsOwnAndRemembered)
{
    start_up();
    EXPECT_EQ(text(PANEL_BOARD), "open: FTAAA1 (port A)");
    answer_next_popup("1: FTBBB2, port A, Board two - free");
    menu("MENU_BOARD_CHOOSE");
    EXPECT_EQ(last_popup_text(), "0: FTAAA1, port A, Board one - open in this program")
        << "the box lists the board open now first chosen";
    EXPECT_EQ(text(PANEL_BOARD), "open: FTBBB2 (port A)");
    EXPECT_EQ(board.open_serial_number(), "FTBBB2");
    EXPECT_EQ(board.bit_mask(), 0xFF);
    EXPECT_EQ(board.bit_mode(), FT_BITMODE_ASYNC_BITBANG);
    EXPECT_EQ(board.baud_rate(), 76800u);
    EXPECT_EQ(board.calls, (std::vector<std::string>{"FT_CreateDeviceInfoList", "FT_GetDeviceInfoDetail(0)",
                                                     "FT_GetDeviceInfoDetail(1)", "FT_Close", "FT_OpenEx(FTBBB2)",
                                                     "FT_SetBitMode(0xFF, 1)", "FT_SetBaudRate(76800)"}))
        << "the board open before is closed first";
    EXPECT_EQ(remembered(), "FTBBB2\n");
    EXPECT_TRUE(visible(PANEL_TEXTMSG_42));

    click(PANEL_SEND_DATA);
    EXPECT_EQ(board.bursts_by_serial["FTBBB2"].size(), 1u);
    EXPECT_EQ(board.bursts_by_serial.count("FTAAA1"), 0u) << "nothing goes to the board left";
    EXPECT_NE(status().find("Opened the board FTBBB2 (port A), device 1, in asynchronous bit-bang mode at 76800 "
                            "baud.\nSent enhancement word"),
              std::string::npos)
        << status();
}

TEST_F(BoardMenu, ABusyBoardIsListedAsBusyAndAPressSaysWhyNothingWasSent)
{
    board.busy = {"FTBBB2"};
    start_up();
    answer_next_popup("1: FTBBB2, port A, Board two - busy: another program holds it");
    menu("MENU_BOARD_CHOOSE");
    EXPECT_EQ(popups_answered() > 0, true);
    EXPECT_EQ(text(PANEL_BOARD), "busy: another program holds it");
    EXPECT_TRUE(ends_with(status(), "The board FTBBB2 (port A) would not open: FT_DEVICE_NOT_OPENED (3), the driver "
                                    "says: unable to claim usb device. Close the program that holds it, then choose "
                                    "Board > Rescan.\n"))
        << status();
    EXPECT_TRUE(visible(PANEL_TEXTMSG_41));
    EXPECT_FALSE(visible(PANEL_TEXTMSG_42)) << "the connected notice does not stand beside a failure";
    EXPECT_EQ(remembered(), "") << "a board that would not open is not kept for the next start";

    board.calls.clear();
    click(PANEL_SEND_DATA);
    EXPECT_EQ(writes(), 0);
    EXPECT_TRUE(ends_with(status(), "The board could not be opened (busy: another program holds it): nothing was "
                                    "sent. Close the program that holds it, then choose Board > Rescan.\n"))
        << status();
}

TEST_F(BoardMenu, ABoardThatRefusesTheModeOrTheRateWhenChosenIsClosedAndNotWrittenTo)
{
    for (const bool mode : {true, false}) {
        board = SimulatedBoard{};
        board.device_count = 2;
        board.details = {kFirst, kSecond};
        forget_board();
        start_up();
        (mode ? board.bit_mode_status : board.baud_rate_status) = FT_IO_ERROR;
        const std::string what = mode ? "asynchronous bit-bang mode" : "76800 baud";
        answer_next_popup("1: FTBBB2, port A, Board two - free");
        menu("MENU_BOARD_CHOOSE");
        EXPECT_TRUE(ends_with(status(), "The board FTBBB2 (port A) would not take " + what +
                                            " (FT_IO_ERROR (4)): it was closed and will not be written to. Unplug "
                                            "and replug it, then choose Board > Rescan.\n"))
            << status();
        EXPECT_FALSE(board.is_open()) << what;
        EXPECT_EQ(text(PANEL_BOARD), "open failed: FTBBB2 (port A) would not take " + what);

        board.calls.clear();
        click(PANEL_SEND_DATA);
        EXPECT_EQ(writes(), 0) << what;
        EXPECT_TRUE(ends_with(status(), "The board FTBBB2 (port A) would not take " + what +
                                            ", so it was closed: nothing was sent. Unplug and replug it, then "
                                            "choose Board > Rescan.\n"))
            << status();
    }
}

TEST_F(BoardMenu, AnUnplugIsSaidOnceAndTheSameBoardIsOpenedAgainWhenItComesBack)
{
    start_up();
    board.unplug("FTAAA1");
    EXPECT_TRUE(FirePollTimer());
    EXPECT_EQ(text(PANEL_BOARD), "unplugged: FTAAA1 (port A)");
    EXPECT_EQ(FTDIHandle, nullptr);
    EXPECT_TRUE(visible(PANEL_TEXTMSG_41));
    EXPECT_TRUE(ends_with(status(), "The board FTAAA1 (port A) was unplugged: nothing can be sent until it is back; "
                                    "it is opened again as soon as it is plugged in.\n"))
        << status();
    const std::string said = status();
    FirePollTimer();
    EXPECT_EQ(status(), said) << "said once";

    board.calls.clear();
    click(PANEL_SEND_DATA);
    EXPECT_EQ(writes(), 0);
    EXPECT_TRUE(ends_with(status(), "The board FTAAA1 (port A) was unplugged: nothing was sent. Plug it back in; it "
                                    "is opened again by itself.\n"))
        << "no press is lost silently: " << status();

    board.plug_in({"FTCCC3", "Board three", 'A'});
    FirePollTimer();
    EXPECT_FALSE(board.is_open()) << "another board is not taken in its place";
    EXPECT_EQ(text(PANEL_BOARD), "unplugged: FTAAA1 (port A)");

    board.plug_in(kFirst);
    FirePollTimer();
    EXPECT_EQ(board.open_serial_number(), "FTAAA1");
    EXPECT_EQ(board.bit_mode(), FT_BITMODE_ASYNC_BITBANG) << "in the same mode";
    EXPECT_EQ(board.baud_rate(), 76800u);
    EXPECT_EQ(text(PANEL_BOARD), "open: FTAAA1 (port A)");
    EXPECT_TRUE(visible(PANEL_TEXTMSG_42));
    EXPECT_TRUE(ends_with(status(), "The board FTAAA1 (port A) is back: opened again in asynchronous bit-bang mode "
                                    "at 76800 baud.\n"))
        << status();
    click(PANEL_SEND_DATA);
    EXPECT_EQ(board.bursts_by_serial["FTAAA1"].size(), 1u) << "a press after the replug reaches it";
}

TEST_F(BoardMenu, ABoardWithoutASerialNumberIsNotMistakenForTheOneThatComesBack)
{
    // Nothing tells a board with no serial number from another: when it goes, no
    // board plugged in later is taken for it.
    board.details = {{"", "Board one", 'A'}, kSecond};
    start_up();
    board.unplug("");
    FirePollTimer();
    EXPECT_EQ(text(PANEL_BOARD), "unplugged: (no serial number) (port A)");
    board.plug_in({"", "Board three", 'A'});
    FirePollTimer();
    EXPECT_FALSE(board.is_open());
    EXPECT_EQ(text(PANEL_BOARD), "unplugged: (no serial number) (port A)");
}

TEST_F(BoardMenu, AWriteThatFailsBecauseTheBoardWentAwayIsNoticedAtThatPress)
{
    start_up();
    board.unplug("FTAAA1");  // the other board is still counted; the poll has not run
    click(PANEL_SEND_DATA);
    EXPECT_NE(status().find("Programming failed: FT_Write status FT_IO_ERROR (4)"), std::string::npos) << status();
    EXPECT_TRUE(ends_with(status(), "The board FTAAA1 (port A) was unplugged: nothing can be sent until it is back; "
                                    "it is opened again as soon as it is plugged in.\n"))
        << status();
    EXPECT_EQ(text(PANEL_BOARD), "unplugged: FTAAA1 (port A)");
}

TEST_F(BoardMenu, APressWithoutABoardSaysWhyAndRescanOpensOnePluggedInLater)
{
    board.device_count = 0;
    board.details.clear();
    start_up();
    EXPECT_EQ(text(PANEL_BOARD), "no board");
    click(PANEL_SEND_DATA);
    EXPECT_TRUE(ends_with(status(), "There are no FTDI devices installed.\nNo FTDI device is plugged in: nothing "
                                    "was sent. Plug in the board, then choose Board > Rescan.\n"))
        << status();

    board.count_status = FT_IO_ERROR;
    click(PANEL_SEND_DATA);
    EXPECT_TRUE(ends_with(status(), "The FTDI devices cannot be counted (FT_IO_ERROR (4)): nothing was sent. Check "
                                    "the board's USB cable, then choose Board > Rescan.\n"))
        << status();
    board.count_status = FT_OK;

    board.plug_in(kSecond);
    click(PANEL_SEND_DATA);
    EXPECT_TRUE(ends_with(status(), "No board was opened: nothing was sent. Choose Board > Rescan to open it, or "
                                    "Board > Choose board...\n"))
        << status();
    EXPECT_EQ(writes(), 0);

    menu("MENU_BOARD_RESCAN");
    EXPECT_EQ(text(PANEL_BOARD), "open: FTBBB2 (port A)");
    EXPECT_TRUE(ends_with(status(), "Rescan: 1 FTDI devices; opened the board FTBBB2 (port A), device 0.\n"));
    menu("MENU_BOARD_RESCAN");
    EXPECT_TRUE(ends_with(status(), "Rescan: 1 FTDI devices; the board FTBBB2 (port A) stays open.\n"));
    click(PANEL_SEND_DATA);
    EXPECT_EQ(board.bursts_by_serial["FTBBB2"].size(), 1u);

    menu("MENU_BOARD_DISCONNECT");
    EXPECT_FALSE(board.is_open());
    EXPECT_EQ(text(PANEL_BOARD), "no board: disconnected");
    board.calls.clear();
    click(PANEL_SEND_DATA);
    EXPECT_EQ(writes(), 0);
    EXPECT_TRUE(ends_with(status(), "No board is open (Board > Disconnect): nothing was sent. Choose Board > Rescan "
                                    "or Choose board... to open one.\n"))
        << status();
    menu("MENU_BOARD_RESCAN");
    EXPECT_EQ(text(PANEL_BOARD), "open: FTBBB2 (port A)");

    board.count_status = FT_IO_ERROR;
    menu("MENU_BOARD_RESCAN");
    EXPECT_TRUE(ends_with(status(), "Rescan: the FTDI devices cannot be counted (FT_IO_ERROR (4)).\n"));
    EXPECT_TRUE(board.is_open()) << "a count that failed closes nothing";
    board.count_status = FT_OK;
    board.unplug("FTBBB2");
    menu("MENU_BOARD_RESCAN");
    EXPECT_EQ(text(PANEL_BOARD), "unplugged: FTBBB2 (port A)") << "and is waited for";
}

TEST_F(BoardMenu, ThePollWaitsWhileAModalBoxIsUp)
{
    start_up();
    bool ran = true;
    std::string indicator;
    QTimer::singleShot(20, [&] {
        board.unplug("FTAAA1");
        ran = FirePollTimer();
        indicator = text(PANEL_BOARD);
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            box->reject();
    });
    menu("MENU_BOARD_CHOOSE");
    EXPECT_FALSE(ran) << "the box's question is not changed under it";
    EXPECT_EQ(indicator, "open: FTAAA1 (port A)");
    EXPECT_EQ(board.open_serial_number(), "FTAAA1") << "cancelled: nothing changed";
    EXPECT_TRUE(FirePollTimer()) << "once the box is gone";
    EXPECT_EQ(text(PANEL_BOARD), "unplugged: FTAAA1 (port A)");

    // A box shown outside any callback (a tool window's question) holds the poll too.
    board.plug_in(kFirst);
    ran = true;
    QTimer::singleShot(20, [&] {
        ran = FirePollTimer();
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            box->reject();
    });
    MessagePopup("A question", "Answered by the test.");
    EXPECT_FALSE(ran);
    EXPECT_FALSE(board.is_open());
    EXPECT_TRUE(FirePollTimer());
    EXPECT_EQ(text(PANEL_BOARD), "open: FTAAA1 (port A)");
}

TEST_F(Startup, TheBoardChosenIsMovedToAtTheNextStartAfterDeviceZero)
{
    board.device_count = 2;
    board.details = {kFirst, kSecond};
    operator_actions = [] {
        answer_next_popup("1: FTBBB2, port A, Board two - free");
        operator_choose(PanelMenuBarWidget(MainPanelHandle), "MENU_BOARD_CHOOSE");
    };
    ASSERT_EQ(start(), 0);
    EXPECT_EQ(file_text(kBoardChoiceFile), "FTBBB2\n");

    std::string status, indicator;
    operator_actions = [&] {
        status = text_of(PANEL_Status);
        indicator = text_of(PANEL_BOARD);
    };
    ASSERT_EQ(start(), 0);
    ASSERT_GE(board.calls.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(board.calls.begin(), board.calls.begin() + 4),
              (std::vector<std::string>{"FT_CreateDeviceInfoList", "FT_Open(0)", "FT_SetBitMode(0xFF, 1)",
                                        "FT_SetBaudRate(76800)"}))
        << "start-up opens device 0 as always";
    EXPECT_NE(status.find("individual ports on a single chip\nMoved to the board chosen last time: FTBBB2 (port A), "
                          "device 1.\n"),
              std::string::npos)
        << status;
    EXPECT_EQ(indicator, "open: FTBBB2 (port A)");

    board.device_count = 1;
    board.details = {kFirst};
    ASSERT_EQ(start(), 0);
    EXPECT_NE(status.find("The board chosen last time, FTBBB2, is not plugged in: device 0, FTAAA1 (port A), stays "
                          "open.\n"),
              std::string::npos)
        << status;
    EXPECT_EQ(indicator, "open: FTAAA1 (port A)");
    EXPECT_EQ(file_text(kBoardChoiceFile), "FTBBB2\n") << "kept until another is chosen";
}

TEST_F(Startup, TheSimulatedBoardStandsInOnlyWhenAskedFor)
{
    board.device_count = 1;
    std::string status, indicator;
    operator_actions = [&] {
        indicator = text_of(PANEL_BOARD);
        SetCtrlVal(MainPanelHandle, PANEL_ENHBAR, 1);
        click(PANEL_SEND_DATA);
        status = text_of(PANEL_Status);
    };
    ASSERT_EQ(start(kResourceFile, "--simulated-board"), 0);
    EXPECT_EQ(indicator, "open: SIMULATED (port A), a simulated board: nothing reaches a chip");
    EXPECT_NE(status.find("1 FTDI devices found"), std::string::npos) << status;
    EXPECT_NE(status.find("Sent main word 0x010E20 (49 bytes): R 1, M 7, A 0\n"), std::string::npos)
        << "the press decodes as the registers say: " << status;
    EXPECT_TRUE(board.calls.empty()) << "the boards plugged in are left alone";

    ASSERT_EQ(start(), 0);
    EXPECT_EQ(indicator, "open: SIM0 (port A)") << "without the option, the boards plugged in";
    EXPECT_FALSE(board.calls.empty());
}

// What panel.board holds is read with care: a file that is not a serial number,
// or no file at all, leaves device 0 open and says why.
TEST_F(BoardMenu, ARememberedChoiceThatCannotBeUsedLeavesDeviceZeroAndSaysWhy)
{
    {
        QFile f(QString::fromLatin1(kBoardChoiceFile));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("FT 12\n");
    }
    start_up();
    EXPECT_TRUE(ends_with(status(), "panel.board holds no serial number of a board: the board chosen last time is "
                                    "not known.\n"))
        << status();
    EXPECT_EQ(board.open_serial_number(), "FTAAA1");

    QFile::remove(QString::fromLatin1(kBoardChoiceFile));
    ASSERT_TRUE(QDir().mkdir(QString::fromLatin1(kBoardChoiceFile)));
    FT_Close(FTDIHandle);
    FTDIHandle = nullptr;
    start_up();
    EXPECT_NE(status().find("The board chosen last time cannot be read from panel.board: "), std::string::npos)
        << status();
    EXPECT_EQ(board.open_serial_number(), "FTAAA1");
    answer_next_popup("1: FTBBB2, port A, Board two - free");
    menu("MENU_BOARD_CHOOSE");
    EXPECT_EQ(board.open_serial_number(), "FTBBB2") << "the choice is used even when it cannot be kept";
    EXPECT_NE(status().find("The choice of FTBBB2 could not be kept in panel.board ("), std::string::npos)
        << status();
}
