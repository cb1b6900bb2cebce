// The calculator through the real panel: what it reads, the range rules it
// applies, the frequencies and formula texts it shows, and the toggles it sets.
#include "support/panel_fixture.h"

#include "app/calculator.h"
#include "app/main_panel.h"
#include "ui_runtime/ui_runtime.h"

#include <cstdio>

namespace {

std::string formatted(const char* format, auto... args)
{
    char text[400];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

}  // namespace

class Calculator : public MainPanelTest {
protected:
    // Fr 100, R 1 (Fc 50), M 7, A 0, K 0 with the prescaler in use and the 10/11 modulus.
    void use_prescaler()
    {
        SetCtrlVal(panel, PANEL_SEC_4, 0);
        SetCtrlVal(panel, PANEL_MOD_SEL, 0);
    }
    void set_fractional_part() { regs.N_flag = 1; }
    void recompute() { calculate_freq_from_regs(kModeRecompute); }
};

TEST_F(Calculator, FirstComputationOnTheResourceDefaultsShows400MHz)
{
    recompute();
    EXPECT_EQ(regs.modulus, 1);
    EXPECT_EQ(regs.N_val, 8.0);
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 400.0) << "replaces the stored 4000";
    EXPECT_EQ(regs.temp_pll_freq, 400.0);
    EXPECT_EQ(regs.fc, 50.0);
    EXPECT_EQ(text(PANEL_TEXTMSG_7_1), "Fin = (M + 1) x [Fr / (R + 1)]");
    EXPECT_EQ(text(PANEL_TEXTMSG_8_1), "Fp = Fin / (M + 1)");
    EXPECT_EQ(text(PANEL_TEXTMSG_7), "Fin = [(7 + 1)] x [(100.000 / 1 + 1)] = 400.000000 MHz");
    EXPECT_EQ(text(PANEL_TEXTMSG_8), "Fp = 400.000000 / (7 + 1) = 50.000 MHz");
    EXPECT_EQ(text(PANEL_TEXTMSG_6), "Fc = 100.000 / (1 + 1) = 50.000 MHz");
    EXPECT_EQ(text(PANEL_TEXTMSG_4), "R=1");
    EXPECT_EQ(text(PANEL_TEXTMSG_5), "N=8.000000");
    EXPECT_EQ(text(PANEL_TEXTMSG_6_1), "Fc = Fr / (R + 1) ") << "never rewritten";
}

TEST_F(Calculator, PrescalerInUseGives4000MHz)
{
    use_prescaler();
    recompute();
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 4000.0);
    EXPECT_EQ(regs.N_val, 80.0);
    EXPECT_EQ(text(PANEL_TEXTMSG_4), "R=1");
    EXPECT_EQ(text(PANEL_TEXTMSG_6), "Fc = 100.000 / (1 + 1) = 50.000 MHz");
    EXPECT_EQ(text(PANEL_TEXTMSG_5), "N=80.000000");
    EXPECT_EQ(text(PANEL_TEXTMSG_7), "Fin = [10 x (7 + 1)] x (100.000 / 1 + 1)] = 4000.000000 MHz");
    EXPECT_EQ(text(PANEL_TEXTMSG_8), "Fp = 4000.000000 / [10 x (7 + 1) + 0] = 50.000 MHz");
    EXPECT_EQ(text(PANEL_TEXTMSG_7_1), "Fin = [10 x (M + 1)] x [Fr / (R + 1)]");
    EXPECT_EQ(text(PANEL_TEXTMSG_8_1), "Fp = Fin / [10 x (M + 1) + A]");
}

TEST_F(Calculator, TheWorkedFinTextNamesNoATermButItsValueCountsA)
{
    use_prescaler();
    SetCtrlVal(panel, PANEL_A_REG, 3u);
    recompute();
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 4150.0);
    EXPECT_EQ(text(PANEL_TEXTMSG_7), "Fin = [10 x (7 + 1)] x (100.000 / 1 + 1)] = 4150.000000 MHz");
    EXPECT_EQ(text(PANEL_TEXTMSG_8), "Fp = 4150.000000 / [10 x (7 + 1) + 3] = 50.000 MHz");
}

TEST_F(Calculator, The56ModulusShowsFiveInTheFormulas)
{
    use_prescaler();
    SetCtrlVal(panel, PANEL_MOD_SEL, 1);
    recompute();
    EXPECT_EQ(regs.modulus, 5);
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 2000.0);
    EXPECT_EQ(text(PANEL_TEXTMSG_7_1), "Fin = [5 x (M + 1)] x [Fr / (R + 1)]");
    EXPECT_EQ(text(PANEL_TEXTMSG_8_1), "Fp = Fin / [5 x (M + 1) + A]");
    set_fractional_part();
    SetCtrlVal(panel, PANEL_K_REG, 1u);
    recompute();
    EXPECT_EQ(text(PANEL_TEXTMSG_7_1), "Fin = [5 x (M + 1) + A + [(2 x K + RAND_EN) / 524288)] x Fr / (R + 1)]");
    EXPECT_EQ(text(PANEL_TEXTMSG_8_1), "Fp = Fin / (5 x (M + 1) + A + [(2 x K + RAND_EN) / 524288)]");
}

TEST_F(Calculator, FractionalPartAddsKAndTheDitherBit)
{
    for (int MASH : {0, 1}) {
        for (int LNM : {0, 1}) {
            use_prescaler();
            set_fractional_part();
            SetCtrlVal(panel, PANEL_M_REG, 7u);
            SetCtrlVal(panel, PANEL_A_REG, 3u);
            SetCtrlVal(panel, PANEL_K_REG, 131072u);
            SetCtrlVal(panel, PANEL_RAND_EN, 1);
            SetCtrlVal(panel, PANEL_MASH, MASH);
            SetCtrlVal(panel, PANEL_LNM, LNM);
            recompute();
            const std::string setting = formatted("MASH %d, LNM %d", MASH, LNM);
            EXPECT_EQ(uint_val(PANEL_M_REG), 7u) << setting;
            EXPECT_EQ(uint_val(PANEL_A_REG), 3u) << setting;
            EXPECT_EQ(regs.N_val, 83.50000190734863) << setting;
            EXPECT_EQ(text(PANEL_TEXTMSG_5), "N=83.500002") << setting;
            EXPECT_EQ(text(PANEL_TEXTMSG_7),
                      "Fin = [10 x (7 + 1) + 3 + [(2 x 131072 + 1) / 524288)] x (100.000 / 1 + 1)] = 4175.000095 MHz")
                << setting;
            EXPECT_EQ(text(PANEL_TEXTMSG_8),
                      "Fp = 4175.000095 / [10 x (7 + 1) + 3 + [(2 x 131072 + 1) / 524288)] = 50.000 MHz")
                << setting;
            EXPECT_EQ(double_val(PANEL_PLL_FREQ), 50.0 * (83.0 + 262145.0 / 524288.0)) << setting;
        }
    }
    EXPECT_EQ(text(PANEL_TEXTMSG_7_1), "Fin = [10 x (M + 1) + A + [(2 x K + RAND_EN) / 524288)] x Fr / (R + 1)]");
    EXPECT_EQ(text(PANEL_TEXTMSG_8_1), "Fp = Fin / (10 x (M + 1) + A + [(2 x K + RAND_EN) / 524288)]");
}

TEST_F(Calculator, IntegerRuleFollowsTheKindOfTheLastSolve)
{
    use_prescaler();
    SetCtrlVal(panel, PANEL_M_REG, 1u);
    SetCtrlVal(panel, PANEL_A_REG, 5u);
    regs.T_flag = 0;
    recompute();
    EXPECT_EQ(uint_val(PANEL_M_REG), 1u);
    EXPECT_EQ(uint_val(PANEL_A_REG), 2u);
    EXPECT_EQ(regs.N_val, 22.0);

    SetCtrlVal(panel, PANEL_A_REG, 5u);
    regs.T_flag = 1;
    recompute();
    EXPECT_EQ(uint_val(PANEL_M_REG), 2u);
    EXPECT_EQ(uint_val(PANEL_A_REG), 0u);
    EXPECT_EQ(regs.N_val, 30.0);
}

TEST_F(Calculator, AnMOfZeroBecomesOne)
{
    SetCtrlVal(panel, PANEL_M_REG, 0u);
    recompute();
    EXPECT_EQ(uint_val(PANEL_M_REG), 1u);
    use_prescaler();
    SetCtrlVal(panel, PANEL_M_REG, 0u);
    recompute();
    EXPECT_EQ(uint_val(PANEL_M_REG), 1u);
}

TEST_F(Calculator, ModulatorRulesCorrectTheFields)
{
    use_prescaler();
    set_fractional_part();
    SetCtrlVal(panel, PANEL_K_REG, 5u);
    SetCtrlVal(panel, PANEL_MASH, 0);
    SetCtrlVal(panel, PANEL_LNM, 0);
    SetCtrlVal(panel, PANEL_M_REG, 5u);
    SetCtrlVal(panel, PANEL_A_REG, 0u);
    recompute();
    EXPECT_EQ(uint_val(PANEL_M_REG), 6u);
    EXPECT_EQ(uint_val(PANEL_A_REG), 3u);
    EXPECT_EQ(uint_val(PANEL_K_REG), 5u) << "K is never changed by the rules";

    SetCtrlVal(panel, PANEL_MASH, 1);
    SetCtrlVal(panel, PANEL_LNM, 1);
    SetCtrlVal(panel, PANEL_M_REG, 1u);
    SetCtrlVal(panel, PANEL_A_REG, 0u);
    recompute();
    EXPECT_EQ(uint_val(PANEL_M_REG), 2u);
    EXPECT_EQ(uint_val(PANEL_A_REG), 1u);
}

TEST_F(Calculator, BypassWithAFractionalTermNarrowsM)
{
    set_fractional_part();
    SetCtrlVal(panel, PANEL_K_REG, 5u);
    SetCtrlVal(panel, PANEL_MASH, 0);
    SetCtrlVal(panel, PANEL_M_REG, 2u);
    SetCtrlVal(panel, PANEL_A_REG, 9u);
    recompute();
    EXPECT_EQ(uint_val(PANEL_M_REG), 4u);
    EXPECT_EQ(uint_val(PANEL_A_REG), 0u);
    EXPECT_EQ(regs.modulus, 1);
    EXPECT_EQ(regs.N_val, 5.0 + 10.0 / 524288.0);
    EXPECT_EQ(text(PANEL_TEXTMSG_7_1), "Fin = [(M + 1) + (2 x K + RAND_EN) / 524288)] x [Fr / (R + 1)]");
    EXPECT_EQ(text(PANEL_TEXTMSG_8_1), "Fp = Fin / [(M + 1) + (2 x K + RAND_EN) / 524288)]");
    EXPECT_EQ(text(PANEL_TEXTMSG_7), "Fin=[(4 + 1) + (2 x 5 + 0) / 524288)] x [(100.000 / 1 + 1)] = 250.000954 MHz");
    EXPECT_EQ(text(PANEL_TEXTMSG_8), "Fp = 250.000954 / [(4 + 1) + (2 x 5 + 0) / 524288)] = 50.000 MHz");

    SetCtrlVal(panel, PANEL_K_REG, 0u);
    SetCtrlVal(panel, PANEL_M_REG, 2u);
    recompute();
    EXPECT_EQ(uint_val(PANEL_M_REG), 2u) << "no fractional term: M may be anything from 1 to 511";
}

TEST_F(Calculator, MashAndLnmAreDimmedWithoutAFractionalTerm)
{
    use_prescaler();
    set_fractional_part();
    recompute();
    EXPECT_TRUE(dimmed(PANEL_MASH));
    EXPECT_TRUE(dimmed(PANEL_LNM));

    SetCtrlVal(panel, PANEL_K_REG, 1u);
    recompute();
    EXPECT_FALSE(dimmed(PANEL_MASH));
    EXPECT_FALSE(dimmed(PANEL_LNM));

    SetCtrlVal(panel, PANEL_K_REG, 0u);
    SetCtrlVal(panel, PANEL_RAND_EN, 1);
    recompute();
    EXPECT_FALSE(dimmed(PANEL_MASH)) << "dither alone is a fractional term";
    EXPECT_FALSE(dimmed(PANEL_LNM));

    SetCtrlVal(panel, PANEL_SEC_4, 1);
    recompute();
    EXPECT_FALSE(dimmed(PANEL_MASH));
    EXPECT_TRUE(dimmed(PANEL_LNM)) << "the jumper means nothing while the prescaler is bypassed";
}

TEST_F(Calculator, OtherModesRunOnlyTheCommonStepsAndTheToggleRefresh)
{
    SetCtrlVal(panel, PANEL_M_REG, 0u);
    SetCtrlVal(panel, PANEL_R_REG, 33u);
    calculate_freq_from_regs(3);
    EXPECT_EQ(uint_val(PANEL_M_REG), 1u) << "range rules applied";
    EXPECT_EQ(text(PANEL_TEXTMSG_7_1), "Fin = (M + 1) x [Fr / (R + 1)]") << "symbolic formulas shown";
    EXPECT_EQ(text(PANEL_TEXTMSG_7), "Fin") << "nothing computed";
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 4000.0);
    EXPECT_EQ(int_val(PANEL_SEC_0), 1) << "toggles refreshed";
    EXPECT_EQ(int_val(PANEL_SEC_15), 1);
    EXPECT_EQ(int_val(PANEL_SEC_11), 1);
}

TEST_F(Calculator, EveryRunEndsWithTheTogglesShowingTheFields)
{
    SetCtrlVal(panel, PANEL_R_REG, 33u);
    SetCtrlVal(panel, PANEL_M_REG, 341u);
    SetCtrlVal(panel, PANEL_K_REG, 131073u);
    SetCtrlVal(panel, PANEL_SEC_1, 1);  // a stale toggle is turned off again
    recompute();
    const int r_on[] = {PANEL_SEC_0, PANEL_SEC_15};
    const int r_off[] = {PANEL_SEC_1, PANEL_SEC_12, PANEL_SEC_13, PANEL_SEC_14};
    for (int c : r_on)
        EXPECT_EQ(int_val(c), 1) << "R 33";
    for (int c : r_off)
        EXPECT_EQ(int_val(c), 0) << "R 33";
    // M 341 = 101010101 in binary, highest bit first.
    const int m_row[] = {PANEL_SEC_2, PANEL_SEC_3, PANEL_SEC_5, PANEL_SEC_6, PANEL_SEC_7,
                         PANEL_SEC_8, PANEL_SEC_9, PANEL_SEC_10, PANEL_SEC_11};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(int_val(m_row[i]), i % 2 == 0 ? 1 : 0) << "M bit " << 8 - i;
    EXPECT_EQ(int_val(PANEL_AUX_0), 1) << "K 131073";
    EXPECT_EQ(int_val(PANEL_AUX_17), 1) << "K 131073";
    EXPECT_EQ(int_val(PANEL_AUX_1), 0) << "K 131073";
    EXPECT_EQ(regs.K_reg, 131073u);
}

TEST_F(Calculator, AZeroReferenceFrequencyGivesZeroMHz)
{
    SetCtrlVal(panel, PANEL_REF_FREQ, 0.0);
    recompute();
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 0.0);
    EXPECT_EQ(text(PANEL_TEXTMSG_6), "Fc = 0.000 / (1 + 1) = 0.000 MHz");
}

TEST_F(Calculator, ACommittedFieldRecomputesAndAWrittenOneDoesNot)
{
    use_prescaler();
    SetCtrlVal(panel, PANEL_A_REG, 3u);
    ProcessSystemEvents();
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 4000.0) << "the stored value: nothing recomputed";

    type_and_enter(PANEL_A_REG, "3");
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 4150.0);
    EXPECT_EQ(text(PANEL_TEXTMSG_7), "Fin = [10 x (7 + 1)] x (100.000 / 1 + 1)] = 4150.000000 MHz");

    type_and_enter(PANEL_REF_FREQ, "50");
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 2075.0);
    arrow(PANEL_R_REG, true);
    EXPECT_EQ(uint_val(PANEL_R_REG), 2u);
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 50.0 / 3.0 * 83.0);
}
