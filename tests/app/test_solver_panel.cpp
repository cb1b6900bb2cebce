// Solving registers from "Out Freq (MHz)" through the real field: typed targets
// with Enter, arrow keys and the arrow buttons.
#include "support/panel_fixture.h"

#include "app/calculator.h"
#include "app/main_panel.h"
#include "ui_runtime/ui_runtime.h"

#include <QTest>
#include <QWidget>

#include <cstdio>

class SolverOnPanel : public MainPanelTest {
protected:
    // Fr 100, R 1 (Fc 50), P 10, the prescaler in use, M 7, A 0, K 0: 4000 MHz shown.
    void SetUp() override
    {
        MainPanelTest::SetUp();
        SetCtrlVal(panel, PANEL_SEC_4, 0);
        calculate_freq_from_regs(kModeRecompute);
        ASSERT_EQ(double_val(PANEL_PLL_FREQ), 4000.0);
    }

    void fractional(int MASH, int LNM)
    {
        regs.N_flag = 1;
        SetCtrlVal(panel, PANEL_MASH, MASH);
        SetCtrlVal(panel, PANEL_LNM, LNM);
        SetCtrlVal(panel, PANEL_RAND_EN, 0);
        calculate_freq_from_regs(kModeRecompute);
    }

    void arrow_button(bool up)
    {
        QWidget* w = widget(PANEL_PLL_FREQ);
        const QPoint p(w->width() - 4, up ? 4 : w->height() - 4);
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, p);
    }

    void expect_registers(unsigned M, unsigned A, unsigned K, double out, const char* what)
    {
        EXPECT_EQ(uint_val(PANEL_M_REG), M) << what;
        EXPECT_EQ(uint_val(PANEL_A_REG), A) << what;
        EXPECT_EQ(uint_val(PANEL_K_REG), K) << what;
        EXPECT_EQ(double_val(PANEL_PLL_FREQ), out) << what;
    }
};

TEST_F(SolverOnPanel, ArrowUpMovesOneChannel)
{
    arrow(PANEL_PLL_FREQ, true);
    expect_registers(7, 1, 0, 4050.0, "arrow key up");
    EXPECT_EQ(regs.T_flag, 1);
    arrow_button(true);
    expect_registers(7, 2, 0, 4100.0, "arrow button up");
}

TEST_F(SolverOnPanel, ArrowDownFrom4000LandsThreeChannelsDown)
{
    arrow(PANEL_PLL_FREQ, false);
    expect_registers(6, 7, 0, 3850.0, "M 6, A 7: N 77");
    arrow_button(false);
    expect_registers(6, 6, 0, 3800.0, "then one channel down");
}

TEST_F(SolverOnPanel, TypedStepsCountOnlyWhenTheyEqualTheArrowStepInDoubles)
{
    type_and_enter(PANEL_PLL_FREQ, "4000.2");
    expect_registers(7, 1, 0, 4050.0, "typed 4000.2 from 4000 is the arrow step");

    // In the fractional part Fin is rarely a short decimal: 4321 typed gives 4320.999908447266.
    fractional(1, 0);
    type_and_enter(PANEL_PLL_FREQ, "4321");
    ASSERT_EQ(regs.T_flag, 0);
    type_and_enter(PANEL_PLL_FREQ, "4321.2");
    EXPECT_EQ(regs.T_flag, 0) << "4321.2 is not Fin + 0.2: a small change";
    EXPECT_EQ(uint_val(PANEL_A_REG), 6u);
    char step[40];
    std::snprintf(step, sizeof step, "%.17g", double_val(PANEL_PLL_FREQ) + 0.2);
    type_and_enter(PANEL_PLL_FREQ, step);
    EXPECT_EQ(regs.T_flag, 1) << "Fin + 0.2 typed in full is the arrow step";
}

TEST_F(SolverOnPanel, IntegerPartTyped4321)
{
    regs.T_flag = 1;
    type_and_enter(PANEL_PLL_FREQ, "4321");
    expect_registers(7, 6, 0, 4300.0, "Fin replaces the typed value");
    EXPECT_EQ(regs.T_flag, 0);
}

TEST_F(SolverOnPanel, FractionalPartTyped4321)
{
    fractional(1, 0);
    type_and_enter(PANEL_PLL_FREQ, "4321");
    EXPECT_EQ(uint_val(PANEL_K_REG), 110100u);
    expect_registers(7, 6, 110100, 50.0 * (86.0 + 220200.0 / 524288.0), "MASH 1-1 keeps them");
    EXPECT_TRUE(text(PANEL_TEXTMSG_7).ends_with("= 4320.999908 MHz")) << text(PANEL_TEXTMSG_7);

    SetCtrlVal(panel, PANEL_M_REG, 7u);
    SetCtrlVal(panel, PANEL_A_REG, 0u);
    SetCtrlVal(panel, PANEL_K_REG, 0u);
    fractional(0, 0);
    type_and_enter(PANEL_PLL_FREQ, "4321");
    expect_registers(7, 4, 110100, 50.0 * (84.0 + 220200.0 / 524288.0), "MASH 1-1-1 allows at most A 4 at M 7");
    EXPECT_TRUE(text(PANEL_TEXTMSG_7).ends_with("= 4220.999908 MHz")) << text(PANEL_TEXTMSG_7);
}

TEST_F(SolverOnPanel, IntegerSmallChangePutsTheFrequencyBack)
{
    type_and_enter(PANEL_PLL_FREQ, "4000.5");
    expect_registers(7, 0, 0, 4000.0, "small change");
}

TEST_F(SolverOnPanel, FractionalSmallChangeAtR3SolvesOnlyK)
{
    SetCtrlVal(panel, PANEL_R_REG, 3u);
    SetCtrlVal(panel, PANEL_M_REG, 15u);
    fractional(1, 0);
    ASSERT_EQ(double_val(PANEL_PLL_FREQ), 4000.0);
    type_and_enter(PANEL_PLL_FREQ, "4000.5");
    expect_registers(15, 0, 5242, 25.0 * (160.0 + 10484.0 / 524288.0), "4000.499916 MHz");
    EXPECT_TRUE(text(PANEL_TEXTMSG_7).ends_with("= 4000.499916 MHz")) << text(PANEL_TEXTMSG_7);

    type_and_enter(PANEL_PLL_FREQ, "4321");
    expect_registers(16, 2, 220200, 25.0 * (172.0 + 440400.0 / 524288.0), "4320.999908 MHz");

    SetCtrlVal(panel, PANEL_M_REG, 15u);
    SetCtrlVal(panel, PANEL_A_REG, 0u);
    SetCtrlVal(panel, PANEL_K_REG, 0u);
    calculate_freq_from_regs(kModeRecompute);
    arrow(PANEL_PLL_FREQ, true);
    expect_registers(15, 1, 0, 4025.0, "one channel of 25 MHz up");
}

TEST_F(SolverOnPanel, Typed3000IsALargeChangeDownForBothParts)
{
    type_and_enter(PANEL_PLL_FREQ, "3000");
    expect_registers(5, 0, 0, 3000.0, "integer part");
    SetCtrlVal(panel, PANEL_M_REG, 7u);
    fractional(1, 0);
    type_and_enter(PANEL_PLL_FREQ, "3000");
    expect_registers(5, 0, 0, 3000.0, "fractional part");
}

TEST_F(SolverOnPanel, TypedZero)
{
    // The integer part solves M 4294967295; the 9-bit register holds 511.
    type_and_enter(PANEL_PLL_FREQ, "0");
    EXPECT_EQ(uint_val(PANEL_M_REG), 511u);
    EXPECT_EQ(uint_val(PANEL_A_REG), 0u);
    EXPECT_EQ(regs.temp_pll_freq, 50.0 * 5120.0) << "the computed Fin is kept";
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 256000.0) << "the field shows the Fin the registers give";
    EXPECT_TRUE(widget(PANEL_PLL_FREQ)->property("outsideRange").toBool()) << "and marks it as outside its range";
    EXPECT_EQ(text(PANEL_SOLVE_REPORT).rfind("Cannot reach the target: 0 MHz is outside ", 0), 0u)
        << text(PANEL_SOLVE_REPORT);
    EXPECT_NE(text(PANEL_SOLVE_REPORT).find("The registers give 256000 MHz."), std::string::npos)
        << text(PANEL_SOLVE_REPORT);

    SetCtrlVal(panel, PANEL_M_REG, 7u);
    fractional(1, 0);
    type_and_enter(PANEL_PLL_FREQ, "0");
    EXPECT_EQ(uint_val(PANEL_M_REG), 511u) << "the fractional solve limits M itself";
    EXPECT_EQ(uint_val(PANEL_A_REG), 0u);
    EXPECT_EQ(uint_val(PANEL_K_REG), 0u);
}

TEST_F(SolverOnPanel, AfterAStepALargeAEnteredLaterCarriesIntoM)
{
    arrow(PANEL_PLL_FREQ, true);
    ASSERT_EQ(regs.T_flag, 1);
    type_and_enter(PANEL_A_REG, "15");
    EXPECT_EQ(uint_val(PANEL_M_REG), 8u);
    EXPECT_EQ(uint_val(PANEL_A_REG), 0u);

    type_and_enter(PANEL_PLL_FREQ, "3000");  // a large change clears the flag
    type_and_enter(PANEL_A_REG, "15");
    EXPECT_EQ(uint_val(PANEL_M_REG), 5u);
    EXPECT_EQ(uint_val(PANEL_A_REG), 6u) << "limited to M + 1";
}

TEST_F(SolverOnPanel, CommitsOfTheOtherFieldsNeverSolve)
{
    SetCtrlVal(panel, PANEL_PLL_FREQ, 1234.5);  // a target that a solve would act on
    for (int field : {PANEL_REF_FREQ, PANEL_R_REG, PANEL_M_REG, PANEL_A_REG, PANEL_K_REG}) {
        regs.T_flag = 1;
        QTest::keyClick(widget(field), Qt::Key_Return);
        EXPECT_EQ(uint_val(PANEL_M_REG), 7u) << CtrlName(field);
        EXPECT_EQ(regs.T_flag, 1) << CtrlName(field);
        EXPECT_EQ(double_val(PANEL_PLL_FREQ), 4000.0) << CtrlName(field) << ": recomputed from the registers";
        SetCtrlVal(panel, PANEL_PLL_FREQ, 1234.5);
    }
}
