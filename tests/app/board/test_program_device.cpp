// "Program Device" through the real panel and the simulated board: what reaches
// the board lines, and what the chip makes of it.
#include "wire/board_lines.h"
#include "wire/burst_decoder.h"
#include "support/panel_checks.h"
#include "support/board_fixture.h"

#include "app/board/bitbang_transmitter.h"
#include "app/calculator.h"
#include "app/main_panel.h"
#include "ui_runtime/ui_runtime.h"

#include <QTest>
#include <QWidget>

#include <random>

class ProgramDevice : public SimulatedBoardTest {
protected:
    void SetUp() override
    {
        SimulatedBoardTest::SetUp();
        ASSERT_EQ(FT_Open(0, &FTDIHandle), FT_OK);  // as start-up leaves it
        calculate_freq_from_regs(kModeRecompute);
        board.calls.clear();
    }

    int writes() const
    {
        int n = 0;
        for (const auto& c : board.calls)
            n += c.rfind("FT_Write", 0) == 0;
        return n;
    }
    const std::vector<UCHAR>& last_burst() const { return board.bursts.back(); }
};

TEST_F(ProgramDevice, TheResourceSettingsSendOnlyTheEnhancementWord)
{
    click(PANEL_SEND_DATA);
    EXPECT_EQ(board.calls, (std::vector<std::string>{"FT_CreateDeviceInfoList", "FT_Write(20)"}));
    EXPECT_EQ(hex_bytes(last_burst()), "20 22 22 23 22 23 22 23 22 23 22 23 22 23 22 23 22 23 22 20");
    EXPECT_TRUE(visible(PANEL_TEXTMSG_42));
    EXPECT_FALSE(visible(PANEL_TEXTMSG_41));
    EXPECT_EQ(text(PANEL_Status), "Sent enhancement word 0x00 (20 bytes): E 0. Only the enhancement register was "
                                  "programmed, not the counters: set ENH to \"Disable (High)\" to program R, M, A "
                                  "and K.\n")
        << "a press says what went out, and that the counters were not programmed";
}

TEST_F(ProgramDevice, MainWordsOfTheIntegerPart)
{
    SetCtrlVal(panel, PANEL_ENHBAR, 1);
    SetCtrlVal(panel, PANEL_SEC_4, 0);
    SetCtrlVal(panel, PANEL_R_REG, 33u);
    SetCtrlVal(panel, PANEL_M_REG, 341u);
    SetCtrlVal(panel, PANEL_A_REG, 5u);
    click(PANEL_SEND_DATA);
    ASSERT_EQ(last_burst().size(), kMainBurstLength);
    ChipReception r = decode_burst(last_burst());
    EXPECT_EQ(r.fault, "");
    EXPECT_EQ(r.latched_words, std::vector<uint32_t>{0x14AA2A});
    EXPECT_EQ(r.options, 0x28) << "ENHBAR 1, MASH 1";
    for (std::size_t i = 0; i < last_burst().size(); ++i)
        EXPECT_EQ((last_burst()[i] & S_WR) != 0, i == 46 || i == 47) << "byte " << i;

    SetCtrlVal(panel, PANEL_SEC_4, 1);
    SetCtrlVal(panel, PANEL_R_REG, 1u);
    SetCtrlVal(panel, PANEL_M_REG, 100u);
    click(PANEL_SEND_DATA);
    r = decode_burst(last_burst());
    EXPECT_EQ(r.latched_words, std::vector<uint32_t>{0x01C820});
    EXPECT_EQ(writes(), 2);
}

TEST_F(ProgramDevice, TheFractionalPartSendsTheAuxiliaryWordInTheSameBurst)
{
    regs.N_flag = 1;
    SetCtrlVal(panel, PANEL_ENHBAR, 1);
    click(PANEL_SEND_DATA);
    ASSERT_EQ(last_burst().size(), kMainAuxBurstLength) << "K 0: the auxiliary word is 1, still sent";
    for (std::size_t i = 0; i < last_burst().size(); ++i)
        EXPECT_EQ((last_burst()[i] & S_WR) != 0, i == 46 || i == 47 || i == 95 || i == 96) << "byte " << i;
    EXPECT_EQ(decode_burst(last_burst()).latched_words.back(), 1u);

    SetCtrlVal(panel, PANEL_K_REG, 0x2AAAAu);
    click(PANEL_SEND_DATA);
    EXPECT_EQ(decode_burst(last_burst()).latched_words.back(), 0x155551u);
    SetCtrlVal(panel, PANEL_K_REG, 1u);
    click(PANEL_SEND_DATA);
    EXPECT_EQ(decode_burst(last_burst()).latched_words.back(), 0x000009u);
    EXPECT_EQ(writes(), 3) << "one write per press";
}

TEST_F(ProgramDevice, EachPressThatSendsSaysWhatWentOut)
{
    SetCtrlVal(panel, PANEL_ENHBAR, 1);
    SetCtrlVal(panel, PANEL_SEC_4, 0);
    SetCtrlVal(panel, PANEL_A_REG, 6u);
    click(PANEL_SEND_DATA);
    regs.N_flag = ZR3500;
    SetCtrlVal(panel, PANEL_K_REG, 110100u);
    click(PANEL_SEND_DATA);
    board.write_limit = 20;
    click(PANEL_SEND_DATA);
    EXPECT_EQ(text(PANEL_Status),
              "Sent main word 0x000E2C (49 bytes): R 1, M 7, A 6\n"
              "Sent main word 0x000E2C and auxiliary word 0x0D70A1 (98 bytes): R 1, M 7, A 6, K 110100\n"
              "Programming failed: FT_Write status FT_OK (0), 20 of 98 bytes written; the chip latched none of "
              "it.\n")
        << "a short write is no confirmation";
}

TEST_F(ProgramDevice, EnhancementBurstForEitherPart)
{
    for (int part : {0, 1}) {
        regs.N_flag = part;
        SetCtrlVal(panel, PANEL_MOD_SEL, 1);
        SetCtrlVal(panel, PANEL_RAND_EN, 1);
        type_and_enter(PANEL_E_REG, "165");
        click(PANEL_SEND_DATA);
        ASSERT_EQ(last_burst().size(), kEnhancementBurstLength) << "part " << part;
        for (std::size_t i = 0; i < last_burst().size(); ++i) {
            EXPECT_EQ((last_burst()[i] & E_WR) != 0, i >= 1 && i <= 18) << "byte " << i;
            EXPECT_EQ(last_burst()[i] & S_WR, 0) << "no S_WR pulse, byte " << i;
        }
        const ChipReception r = decode_burst(last_burst());
        EXPECT_EQ(r.enhancement_words, std::vector<uint32_t>{0xA5});
        EXPECT_EQ(r.options, 0xE0) << "ENHBAR 0, MASH 1, RAND_EN 1, MOD_SEL 1";
        EXPECT_EQ(last_burst().front(), 0xE0);
        EXPECT_EQ(last_burst().back(), 0xE0);
    }
}

TEST_F(ProgramDevice, OptionSwitchesNeverWriteToTheBoard)
{
    for (int c : {PANEL_MOD_SEL, PANEL_RAND_EN, PANEL_MASH, PANEL_ENHBAR, PANEL_LNM, PANEL_SEC_4}) {
        SetCtrlAttribute(panel, c, ATTR_VISIBLE, 1);
        click(c);
        click(c);
    }
    EXPECT_TRUE(board.calls.empty());
}

TEST_F(ProgramDevice, NoBoardAtThePressSendsNothing)
{
    board.device_count = 0;
    click(PANEL_SEND_DATA);
    EXPECT_EQ(board.calls, std::vector<std::string>{"FT_CreateDeviceInfoList"});
    EXPECT_TRUE(visible(PANEL_TEXTMSG_41));
    EXPECT_FALSE(visible(PANEL_TEXTMSG_42));
}

TEST_F(ProgramDevice, AFailingCountSendsNothingAndChangesNoNotice)
{
    board.count_status = FT_IO_ERROR;
    click(PANEL_SEND_DATA);
    EXPECT_EQ(board.calls, std::vector<std::string>{"FT_CreateDeviceInfoList"});
    EXPECT_FALSE(visible(PANEL_TEXTMSG_41));
    EXPECT_FALSE(visible(PANEL_TEXTMSG_42));
    EXPECT_EQ(text(PANEL_Status), "The FTDI devices cannot be counted (FT_IO_ERROR (4)): nothing was sent. Check the "
                                  "board's USB cable, then choose Board > Rescan.\n")
        << "a press that sends nothing says so";
}

TEST_F(ProgramDevice, ABoardNotOpenedAtStartUpIsNotWrittenTo)
{
    FT_Close(FTDIHandle);
    FTDIHandle = nullptr;  // plugged in later, or its open failed
    board.calls.clear();
    SetCtrlAttribute(panel, PANEL_TEXTMSG_42, ATTR_VISIBLE, 1);
    click(PANEL_SEND_DATA);
    EXPECT_EQ(board.calls, std::vector<std::string>{"FT_CreateDeviceInfoList"}) << "no write with an unopened handle";
    EXPECT_TRUE(visible(PANEL_TEXTMSG_41));
    EXPECT_FALSE(visible(PANEL_TEXTMSG_42));
    EXPECT_EQ(text(PANEL_Status), "No board was opened: nothing was sent. Choose Board > Rescan to open it, or Board > "
                                  "Choose board...\n");
}

TEST_F(ProgramDevice, AFailedOrShortWriteIsReported)
{
    board.write_status = FT_IO_ERROR;
    click(PANEL_SEND_DATA);
    EXPECT_EQ(text(PANEL_Status), "Programming failed: FT_Write status FT_IO_ERROR (4), 0 of 20 bytes written; "
                                  "what the chip latched cannot be known.\n");
    board.write_status = FT_OK;
    board.write_limit = 12;
    SetCtrlVal(panel, PANEL_ENHBAR, 1);
    click(PANEL_SEND_DATA);
    EXPECT_EQ(text(PANEL_Status), "Programming failed: FT_Write status FT_IO_ERROR (4), 0 of 20 bytes written; "
                                  "what the chip latched cannot be known.\n"
                                  "Programming failed: FT_Write status FT_OK (0), 12 of 49 bytes written; the chip "
                                  "latched none of it.\n");
    EXPECT_EQ(writes(), 2) << "no retry";
    EXPECT_TRUE(visible(PANEL_TEXTMSG_42)) << "the board is there";
}

// For random register and switch settings entered on the panel, a press sends
// exactly what the panel then shows.
TEST_F(ProgramDevice, TheChipReceivesWhatThePanelShows)
{
    std::mt19937 random(20261208);
    auto pick = [&](unsigned n) { return static_cast<unsigned>(random() % n); };
    for (int press = 0; press < 3000; ++press) {
        regs.N_flag = static_cast<int>(pick(2));
        SetCtrlVal(panel, PANEL_R_REG, pick(64));
        SetCtrlVal(panel, PANEL_M_REG, pick(512));
        SetCtrlVal(panel, PANEL_A_REG, pick(16));
        SetCtrlVal(panel, PANEL_K_REG, regs.N_flag ? pick(262144) : 0u);
        SetCtrlVal(panel, PANEL_SEC_4, static_cast<int>(pick(2)));
        for (int c : {PANEL_MOD_SEL, PANEL_RAND_EN, PANEL_MASH, PANEL_ENHBAR, PANEL_LNM})
            SetCtrlVal(panel, c, static_cast<int>(pick(2)));
        SetCtrlVal(panel, PANEL_E_REG, pick(256));
        QTest::keyClick(widget(PANEL_E_REG), Qt::Key_Return);  // the operator commits E
        click(PANEL_SEND_DATA);

        ASSERT_EQ(burst_differs_from_panel(last_burst()), "") << "press " << press;
    }
}
