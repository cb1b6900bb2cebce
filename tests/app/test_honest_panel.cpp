// The panel tells the operator what the chip gets: typed text always counts,
// integer fields show what is used, a Fin beyond its field is shown and stepped
// as it is, each solve says what it achieved; and it serves every screen and
// the keyboard.
#include "support/panel_fixture.h"

#include "support/operator_actions.h"

#include "app/calculator.h"
#include "app/lifecycle.h"
#include "app/main_panel.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <vector>

namespace {

class HonestPanel : public MainPanelTest {
protected:
    void SetUp() override
    {
        MainPanelTest::SetUp();
        calculate_freq_from_regs(kModeRecompute);
    }

    // The panel shown and active, as the operator has it.
    void show()
    {
        SetPanelAttribute(panel, ATTR_HEIGHT, 805);
        DisplayPanel(panel);
        QWidget* window = widget(PANEL_PLL_FREQ)->window();
        QApplication::setActiveWindow(window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
};

}  // namespace

TEST_F(HonestPanel, TypingTheShownTextIsAnEditAndAFractionShowsWhatIsUsed)
{
    SetCtrlVal(panel, PANEL_REF_FREQ, 8.122842);
    calculate_freq_from_regs(kModeRecompute);
    ASSERT_EQ(static_cast<QAbstractSpinBox*>(widget(PANEL_REF_FREQ))->text(), QStringLiteral("8.12"));
    type_and_enter(PANEL_REF_FREQ, "8.12");
    EXPECT_EQ(double_val(PANEL_REF_FREQ), 8.12);
    EXPECT_EQ(text(PANEL_TEXTMSG_6), "Fc = 8.120 / (1 + 1) = 4.060 MHz") << "8.12 is in use, not 8.122842";

    type_and_enter(PANEL_R_REG, "0.9");
    EXPECT_EQ(uint_val(PANEL_R_REG), 0u);
    EXPECT_EQ(static_cast<QAbstractSpinBox*>(widget(PANEL_R_REG))->text(), QStringLiteral("0"));
    EXPECT_EQ(int_val(PANEL_SEC_15), 0) << "R bit 0 follows what is used";
    EXPECT_EQ(text(PANEL_TEXTMSG_4), "R=0");
}

TEST_F(HonestPanel, AFinBeyondTheFieldIsShownSteppedByOneChannelSavedAndRestored)
{
    // ZR3500, Fr 100, R 0 (Fc 100), P 10, M 42, A 5, K 186122: 43570.999908 MHz.
    regs.N_flag = ZR3500;
    SetCtrlVal(panel, PANEL_SEC_4, 0);
    SetCtrlVal(panel, PANEL_R_REG, 0u);
    SetCtrlVal(panel, PANEL_M_REG, 42u);
    SetCtrlVal(panel, PANEL_A_REG, 5u);
    SetCtrlVal(panel, PANEL_K_REG, 186122u);
    calculate_freq_from_regs(kModeRecompute);
    EXPECT_NEAR(double_val(PANEL_PLL_FREQ), 43570.999908, 5e-7);
    EXPECT_EQ(static_cast<QAbstractSpinBox*>(widget(PANEL_PLL_FREQ))->text(), QStringLiteral("43570.9999084"));
    EXPECT_TRUE(widget(PANEL_PLL_FREQ)->property("outsideRange").toBool());

    arrow(PANEL_PLL_FREQ, true);
    EXPECT_NEAR(double_val(PANEL_PLL_FREQ), 43670.999908, 5e-7) << "one channel of 100 MHz up";
    EXPECT_EQ(uint_val(PANEL_A_REG), 6u) << "A one up, M and K as they were";
    EXPECT_EQ(uint_val(PANEL_K_REG), 186122u);

    QTemporaryDir dir;
    const std::string file = dir.filePath(QStringLiteral("panel.sts")).toStdString();
    const double shown = double_val(PANEL_PLL_FREQ);
    ASSERT_EQ(SavePanelState(panel, file.c_str(), 0), UI_OK);
    const int fresh = LoadPanel(0, kResourceFile, PANEL);
    ASSERT_EQ(RecallPanelState(fresh, file.c_str(), 0), UI_OK);
    double restored = 0.0;
    GetCtrlVal(fresh, PANEL_PLL_FREQ, &restored);
    EXPECT_EQ(restored, shown);
    EXPECT_TRUE(CtrlWidget(fresh, PANEL_PLL_FREQ)->property("outsideRange").toBool());
    DiscardPanel(fresh);
}

TEST_F(HonestPanel, EachSolveSaysWhatWasAskedWhatIsAchievedAndWhatTheRulesChanged)
{
    regs.N_flag = ZR3500;
    SetCtrlVal(panel, PANEL_SEC_4, 0);
    SetCtrlVal(panel, PANEL_MASH, 0);  // "1-1-1"
    SetCtrlVal(panel, PANEL_LNM, 0);
    calculate_freq_from_regs(kModeRecompute);
    type_and_enter(PANEL_PLL_FREQ, "4321");
    // M 7 allows at most A 4 here; of what the rules keep, 4300 MHz lies nearest.
    EXPECT_EQ(text(PANEL_SOLVE_REPORT), "Asked 4321 MHz, registers give 4220.999908 MHz: -100000091.6 Hz "
                                        "(-23142.812 ppm); nearest channel 4300.000000 MHz, -21 MHz. A lowered "
                                        "from 6 to 4 by the range rules.");
    click(PANEL_MOD_SEL);
    EXPECT_EQ(text(PANEL_SOLVE_REPORT), "") << "a recompute to another Fin takes the line away";
}

TEST_F(HonestPanel, ThePanelScrollsOnASmallScreenAndKeepsItsSize)
{
    show();
    auto* frame = qobject_cast<QScrollArea*>(widget(PANEL_QUIT)->window());
    ASSERT_NE(frame, nullptr);
    const QRect room = frame->screen()->availableGeometry();
    ASSERT_LT(room.height(), 805) << "the test screen is smaller than the panel";
    EXPECT_LE(frame->height(), room.height());
    EXPECT_TRUE(frame->verticalScrollBar()->isVisible());
    EXPECT_EQ(PanelWindow(panel)->size(), QSize(803, 805));
    EXPECT_GE(frame->verticalScrollBar()->maximum(), 805 - frame->viewport()->height()) << "QUIT can be scrolled to";
}

TEST_F(HonestPanel, TabVisitsEachRowOnceAndTheKeysWorkOnWhatHasTheFocus)
{
    show();
    widget(PANEL_PLL_FREQ)->setFocus();
    std::vector<std::string> stops;
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        stops.push_back(QApplication::focusWidget()->objectName().toStdString());
    }
    EXPECT_EQ(stops, (std::vector<std::string>{"PANEL_SEC_0", "PANEL_SEC_2", "PANEL_SEC_16", "PANEL_ENHBIT_0",
                                               "PANEL_R_REG", "PANEL_M_REG", "PANEL_A_REG", "PANEL_E_REG",
                                               "PANEL_SEC_4", "PANEL_MOD_SEL", "PANEL_ENHBAR", "PANEL_SEND_DATA"}))
        << "one stop per bit row, then the fields, switches and buttons";

    widget(PANEL_SEC_2)->setFocus();  // M bit 8
    QTest::keyClick(widget(PANEL_SEC_2), Qt::Key_Right);
    QTest::keyClick(widget(PANEL_SEC_3), Qt::Key_Right);
    ASSERT_EQ(QApplication::focusWidget(), widget(PANEL_SEC_5)) << "the arrows move along the row";
    QTest::keyClick(widget(PANEL_SEC_5), Qt::Key_Space);
    EXPECT_EQ(uint_val(PANEL_M_REG), 7u + 64u) << "Space flips M bit 6";

    widget(PANEL_SEND_DATA)->setFocus();
    ASSERT_FALSE(visible(PANEL_TEXTMSG_41));
    QTest::keyClick(widget(PANEL_SEND_DATA), Qt::Key_Return);
    EXPECT_TRUE(visible(PANEL_TEXTMSG_41)) << "Enter pressed Program Device, which found no board";

    QMenuBar* bar = PanelMenuBarWidget(panel);
    for (QAction* menu : bar->actions())
        EXPECT_TRUE(menu->text().contains(QLatin1Char('&'))) << menu->text().toStdString() << " has a mnemonic";
}

TEST_F(HonestPanel, TheWheelTurnsNoFieldWithoutTheFocusAndABackgroundClickCommits)
{
    show();
    widget(PANEL_M_REG)->setFocus();
    QWheelEvent up(QPointF(5, 5), widget(PANEL_PLL_FREQ)->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget(PANEL_PLL_FREQ), &up);
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 400.0) << "resting the pointer over Out Freq and scrolling commits nothing";

    operator_type(widget(PANEL_M_REG), "9", /*leave=*/false);
    QLineEdit* edit = widget(PANEL_M_REG)->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("11"));
    QTest::mouseClick(PanelWindow(panel), Qt::LeftButton, Qt::NoModifier, QPoint(400, 590));
    EXPECT_EQ(uint_val(PANEL_M_REG), 11u) << "a click on the background commits the pending edit";
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 600.0);
}

TEST_F(HonestPanel, EveryControlSaysWhatItIs)
{
    for (const ControlDef* c : PanelControlDefs(panel)) {
        if (c->kind == ControlKind::Decoration || c->id == PANEL_picSPI_SEN)
            continue;
        EXPECT_FALSE(widget(c->id)->toolTip().isEmpty()) << c->constant;
    }
    EXPECT_EQ(widget(PANEL_SEC_5)->toolTip().left(31), QStringLiteral("M bit 6, main word bit 15. Clic"));
    EXPECT_EQ(widget(PANEL_AUX_0)->toolTip().left(30), QStringLiteral("K bit 17, auxiliary word bit 2"));
    EXPECT_TRUE(widget(PANEL_PLL_FREQ)->toolTip().contains(QStringLiteral("one channel of Fc")));
    EXPECT_TRUE(widget(PANEL_M_REG)->toolTip().contains(QStringLiteral("Range 0 to 511.")));
    EXPECT_TRUE(static_cast<QLabel*>(widget(PANEL_TEXTMSG_7))->textInteractionFlags() & Qt::TextSelectableByMouse)
        << "the worked formulas can be selected and copied";
}
