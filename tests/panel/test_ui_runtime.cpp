// The panel layer's promises: values in each control's own type, programmatic
// writes that never run a callback, operator actions that always do, and panels
// that fail to load with a negative handle.
#include "panel_fixture.h"

#include "model/register_set.h"
#include "panel/main_panel.h"
#include "panel/ui_runtime.h"
#include "panel/ui_runtime_qt.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>

#include <vector>

namespace {

// Any mode-2 computation rewrites the output field and the worked Fin text:
// as long as both show what the resource stores, no callback has recomputed.
void expect_no_recompute(double out_freq, const char* what)
{
    double f = 0.0;
    GetCtrlVal(MainPanelHandle, PANEL_PLL_FREQ, &f);
    std::string fin;
    GetCtrlVal(MainPanelHandle, PANEL_TEXTMSG_7, &fin);
    EXPECT_EQ(f, out_freq) << what;
    EXPECT_EQ(fin, "Fin") << what;
}

// Writes a copy of the main resource with one text replaced, and returns its path.
std::string resource_variant(QTemporaryDir& dir, const char* from, const char* to)
{
    QFile original(QStringLiteral(":/New_Panel.uir"));
    EXPECT_TRUE(original.open(QIODevice::ReadOnly));
    QByteArray text = original.readAll();
    EXPECT_TRUE(text.contains(from)) << from;
    text.replace(from, to);
    const QString path = dir.filePath(QStringLiteral("variant.uir"));
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(text);
    return path.toStdString();
}

}  // namespace

TEST_F(MainPanelTest, ValuesWrittenFromCodeRunNoCallback)
{
    SetCtrlVal(panel, PANEL_M_REG, 12u);
    SetCtrlVal(panel, PANEL_A_REG, 3);
    SetCtrlVal(panel, PANEL_R_REG, 2u);
    SetCtrlVal(panel, PANEL_REF_FREQ, 50.0);
    SetCtrlVal(panel, PANEL_PLL_FREQ, 1234.5);
    SetCtrlVal(panel, PANEL_E_REG, 200u);
    SetCtrlVal(panel, PANEL_SEC_4, 0);
    SetCtrlVal(panel, PANEL_MOD_SEL, 1);
    SetCtrlVal(panel, PANEL_ENHBAR, 1);
    SetCtrlVal(panel, PANEL_SEC_11, 1);
    SetCtrlVal(panel, PANEL_AUX_3, 1);
    SetCtrlVal(panel, PANEL_ENHBIT_0, 1);
    SetCtrlAttribute(panel, PANEL_SEC_16, ATTR_DIMMED, 1);
    SetCtrlAttribute(panel, PANEL_K_REG, ATTR_VISIBLE, 1);
    ProcessSystemEvents();
    expect_no_recompute(1234.5, "after programmatic writes");
    EXPECT_EQ(int_val(PANEL_ENHBIT_1), 0) << "the E field's callback did not spread 200 onto its toggles";
}

TEST_F(MainPanelTest, OperatorActionsRunTheirCallbacks)
{
    // The toggles start off, so turning on M bit 0 makes M 1: 50 MHz x (1 + 1).
    click(PANEL_SEC_11);
    EXPECT_EQ(uint_val(PANEL_M_REG), 1u);
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 100.0) << "a click on a bit toggle recomputes";

    SetCtrlVal(panel, PANEL_PLL_FREQ, 4000.0);
    click(PANEL_MOD_SEL);
    EXPECT_EQ(int_val(PANEL_MOD_SEL), 1);
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 100.0) << "a click on a switch recomputes";

    type_and_enter(PANEL_E_REG, "200");
    EXPECT_EQ(int_val(PANEL_ENHBIT_0), 1) << "Enter in the E field spreads E onto its toggles";

    const int bar = GetPanelMenuBar(panel);
    ASSERT_GT(bar, 0);
    QAction* zr3500 = PanelMenuBarWidget(panel)->findChild<QAction*>(QStringLiteral("MENU_CHANGE_PART_ZR3500"));
    ASSERT_NE(zr3500, nullptr);
    zr3500->trigger();
    EXPECT_EQ(text(PANEL_TEXTMSG_10), "ZR3500") << "a menu item runs its callback";
    EXPECT_EQ(regs.N_flag, 1);
}

TEST_F(MainPanelTest, QuitEndsTheEventLoop)
{
    QTimer::singleShot(0, [this] { click(PANEL_QUIT); });
    EXPECT_EQ(RunUserInterface(), 0);
}

TEST_F(MainPanelTest, EachControlIsReadInItsOwnType)
{
    EXPECT_EQ(int_val(PANEL_SEC_4), 1);
    EXPECT_EQ(int_val(PANEL_ENHBAR), 0);
    EXPECT_EQ(int_val(PANEL_SEC_0), 0);
    EXPECT_EQ(uint_val(PANEL_M_REG), 7u);
    EXPECT_EQ(double_val(PANEL_REF_FREQ), 100.0);
    EXPECT_EQ(text(PANEL_TEXTMSG_10), "Select Part");
}

TEST_F(MainPanelTest, ReadingAControlInTheWrongTypeIsStoppedLoudly)
{
    double d = 0.0;
    EXPECT_DEATH(GetCtrlVal(panel, PANEL_M_REG, &d), "PANEL_M_REG holds unsigned int, used as double");
    int i = 0;
    EXPECT_DEATH(GetCtrlVal(panel, PANEL_PLL_FREQ, &i), "PANEL_PLL_FREQ holds double, used as int");
    unsigned u = 0;
    EXPECT_DEATH(GetCtrlVal(panel, PANEL_SEC_4, &u), "PANEL_SEC_4 holds int, used as unsigned int");
}

TEST_F(MainPanelTest, WritesAreConvertedAndCoercedIntoTheRange)
{
    SetCtrlVal(panel, PANEL_M_REG, 4294967295u);
    EXPECT_EQ(uint_val(PANEL_M_REG), 511u) << "compared as unsigned, never 0 or -1";
    SetCtrlVal(panel, PANEL_A_REG, -1);
    EXPECT_EQ(uint_val(PANEL_A_REG), 15u) << "an int is taken as its unsigned bit pattern";
    SetCtrlVal(panel, PANEL_PLL_FREQ, 6000.0);
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 5000.0);
    SetCtrlVal(panel, PANEL_REF_FREQ, 7);
    EXPECT_EQ(double_val(PANEL_REF_FREQ), 7.0);
}

TEST_F(MainPanelTest, TextMessagesAreReplacedAndTextBoxesCollect)
{
    SetCtrlVal(panel, PANEL_TEXTMSG_4, "R=5");
    SetCtrlVal(panel, PANEL_TEXTMSG_4, "R=6");
    EXPECT_EQ(text(PANEL_TEXTMSG_4), "R=6");
    SetCtrlVal(panel, PANEL_Status, "Checking for FTDI devices...\n");
    SetCtrlVal(panel, PANEL_Status, "There are no FTDI devices installed.\n");
    EXPECT_EQ(text(PANEL_Status), "Checking for FTDI devices...\nThere are no FTDI devices installed.\n");
}

TEST_F(MainPanelTest, AttributesAreHeldAsWritten)
{
    SetCtrlAttribute(panel, PANEL_MASH, ATTR_DIMMED, 1);
    EXPECT_TRUE(dimmed(PANEL_MASH));
    SetCtrlAttribute(panel, PANEL_MASH, ATTR_DIMMED, 0);
    EXPECT_FALSE(dimmed(PANEL_MASH));
    SetCtrlAttribute(panel, PANEL_K_REG, ATTR_VISIBLE, 1);
    EXPECT_TRUE(visible(PANEL_K_REG)) << "shown, even before the panel is";
    int color = 0;
    SetCtrlAttribute(panel, PANEL_TEXTMSG_10, ATTR_TEXT_COLOR, 0x660000);
    GetCtrlAttribute(panel, PANEL_TEXTMSG_10, ATTR_TEXT_COLOR, &color);
    EXPECT_EQ(color, 0x660000);
    int height = 0;
    SetPanelAttribute(panel, ATTR_HEIGHT, 805);
    GetPanelAttribute(panel, ATTR_HEIGHT, &height);
    EXPECT_EQ(height, 805);
}

TEST_F(MainPanelTest, UnknownHandlesAndControlsAreRefused)
{
    int v = 0;
    EXPECT_EQ(GetCtrlVal(panel + 1000, PANEL_SEC_4, &v), UI_ERR_BAD_HANDLE);
    EXPECT_EQ(GetCtrlVal(panel, 9999, &v), UI_ERR_NO_SUCH_CONTROL);
    EXPECT_EQ(SetCtrlAttribute(panel, PANEL_SEC_4, 12345, 1), UI_ERR_BAD_ATTRIBUTE);
}

TEST(LoadPanel, FailuresGiveANegativeHandle)
{
    EXPECT_EQ(LoadPanel(0, "New_Panel.uir", 99), UI_ERR_NO_SUCH_PANEL);
    EXPECT_EQ(LoadPanel(0, "/nonexistent/New_Panel.uir", PANEL), UI_ERR_RESOURCE);

    QTemporaryDir dir;
    const std::string no_function = resource_variant(dir, "\"callback\": \"SEND_DATA\"", "\"callback\": \"SEND_DATUM\"");
    EXPECT_EQ(LoadPanel(0, no_function.c_str(), PANEL), UI_ERR_NO_SUCH_CALLBACK);
    const std::string no_menu_function = resource_variant(dir, "\"callback\": \"About\"", "\"callback\": \"Abut\"");
    EXPECT_EQ(LoadPanel(0, no_menu_function.c_str(), PANEL), UI_ERR_NO_SUCH_CALLBACK);
    const std::string unknown = resource_variant(dir, "\"PANEL_SEND_DATA\"", "\"PANEL_SEND_DATE\"");
    EXPECT_EQ(LoadPanel(0, unknown.c_str(), PANEL), UI_ERR_RESOURCE);
    const std::string out_of_range = resource_variant(dir, "\"initial\": 7,", "\"initial\": 700,");
    EXPECT_EQ(LoadPanel(0, out_of_range.c_str(), PANEL), UI_ERR_RESOURCE);
    const std::string truncated = resource_variant(dir, "\"PANEL_QUIT\"", "\"PANEL_QUIT");
    EXPECT_EQ(LoadPanel(0, truncated.c_str(), PANEL), UI_ERR_RESOURCE);
}

namespace {
std::vector<double> delays;
void record_delay(double seconds) { delays.push_back(seconds); }
}  // namespace

TEST(Delay, TestsCanReplaceTheWait)
{
    delays.clear();
    SetDelayFunction(record_delay);
    Delay(5.0);
    Delay(0.4);
    SetDelayFunction(nullptr);
    EXPECT_EQ(delays, (std::vector<double>{5.0, 0.4}));
}

TEST(Delay, TheRealWaitKeepsTimersRunning)
{
    bool fired = false;
    QTimer::singleShot(5, [&fired] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    Delay(0.05);
    EXPECT_GE(clock.elapsed(), 50);
    EXPECT_TRUE(fired);
}
