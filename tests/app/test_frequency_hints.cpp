// The lines under "Out Freq (MHz)": the nearest channel when truncation passed
// it, a target out of reach said in words, and where the spurs of the registers
// in force fall, also in the field's tooltip. Fr 100 MHz, R 1 (Fc 50 MHz), the
// 10/11 prescaler.
#include "support/panel_fixture.h"

#include "app/calculator.h"
#include "app/main_panel.h"
#include "ui_runtime/ui_runtime.h"

#include <QWidget>

#include <string>

namespace {

class FrequencyHints : public MainPanelTest {
protected:
    void use_part(int part)
    {
        regs.N_flag = part;
        SetCtrlVal(panel, PANEL_SEC_4, 0);  // the prescaler in use
        SetCtrlVal(panel, PANEL_MOD_SEL, 0);  // "10/11"
        calculate_freq_from_regs(kModeRecompute);
    }

    std::string tooltip(int control) const { return widget(control)->toolTip().toStdString(); }
};

}  // namespace

TEST_F(FrequencyHints, TheNearestChannelWhenTruncationLeftFinMoreThanHalfAChannelBelow)
{
    use_part(ZR3100);
    type_and_enter(PANEL_PLL_FREQ, "4049");
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 4000.0) << "the panel's solve still truncates";
    EXPECT_EQ(text(PANEL_SOLVE_REPORT), "Asked 4049 MHz, registers give 4000 MHz: -49000000.0 Hz (-12101.754 ppm); "
                                        "nearest channel 4050.000000 MHz, +1 MHz: arrow up.");
    arrow(PANEL_PLL_FREQ, true);
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 4050.0) << "the arrow named reaches it";

    // 4020 lies 20 MHz above 4000 and 30 below 4050: truncation is nearest.
    type_and_enter(PANEL_PLL_FREQ, "4020");
    EXPECT_EQ(text(PANEL_SOLVE_REPORT).find("nearest"), std::string::npos) << text(PANEL_SOLVE_REPORT);
}

TEST_F(FrequencyHints, ATargetOutOfReachIsSaidInWordsWithoutAWrappedRegister)
{
    use_part(ZR3100);
    type_and_enter(PANEL_PLL_FREQ, "0");
    const std::string report = text(PANEL_SOLVE_REPORT);
    EXPECT_EQ(report.rfind("Cannot reach the target: 0 MHz is outside 1000 to 5000 MHz, what R 1, prescaler 10/11 "
                           "reach in \"Out Freq (MHz)\".",
                           0),
              0u)
        << report;
    EXPECT_EQ(report.find("4294967295"), std::string::npos) << report;
    EXPECT_EQ(report.find("-1"), std::string::npos) << report;
}

TEST_F(FrequencyHints, TheSpursOfTheRegistersInForceUnderTheSolveAndInTheTooltip)
{
    use_part(ZR3500);
    type_and_enter(PANEL_PLL_FREQ, "4321");
    // K 110100: the fraction 27525 / 65536 of Fc 50 MHz; Fc / 65536; Fc / (2 x 65536).
    const std::string spurs = "Spurs, as offsets from the carrier: integer boundary 20.999908 MHz, primary "
                              "fractional 762.939 Hz, sub-fractional 381.470 Hz.";
    EXPECT_EQ(text(PANEL_SPUR_REPORT), spurs);
    EXPECT_NE(tooltip(PANEL_PLL_FREQ).find(spurs), std::string::npos) << tooltip(PANEL_PLL_FREQ);
    EXPECT_EQ(tooltip(PANEL_PLL_FREQ).rfind("Output frequency Fin in MHz.", 0), 0u) << "what the field is comes first";

    SetCtrlVal(panel, PANEL_RAND_EN, 1);
    calculate_freq_from_regs(kModeRecompute);
    EXPECT_NE(text(PANEL_SPUR_REPORT).find("the fractional spurs are spread by dither"), std::string::npos)
        << text(PANEL_SPUR_REPORT);

    use_part(ZR3100);
    type_and_enter(PANEL_PLL_FREQ, "4050");
    EXPECT_EQ(text(PANEL_SPUR_REPORT), "Spurs, as offsets from the carrier: none, N is a whole number.");
}

TEST_F(FrequencyHints, TheSolveLineKeepsToItsSpaceWithTheWholeTextInItsTooltip)
{
    const int width = widget(PANEL_SOLVE_REPORT)->width();
    std::string line = "Asked 4321 MHz, registers give 4220.999908 MHz: -100000091.6 Hz (-23142.812 ppm).";
    while (line.size() < 400)
        line += " A lowered from 6 to 4 by the range rules.";
    SetCtrlVal(panel, PANEL_SOLVE_REPORT, line.c_str());
    EXPECT_EQ(text(PANEL_SOLVE_REPORT), line) << "the text is kept whole";
    EXPECT_EQ(widget(PANEL_SOLVE_REPORT)->width(), width);
    EXPECT_EQ(tooltip(PANEL_SOLVE_REPORT).rfind(line, 0), 0u) << tooltip(PANEL_SOLVE_REPORT);

    SetCtrlVal(panel, PANEL_SOLVE_REPORT, "Asked 4000 MHz, registers give 4000 MHz: +0.0 Hz (+0.000 ppm).");
    EXPECT_EQ(tooltip(PANEL_SOLVE_REPORT).find("Asked"), std::string::npos)
        << "a line that fits keeps the description as its tooltip";
}
