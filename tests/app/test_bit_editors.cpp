// The bit toggles and the numeric fields kept equal, through clicks and typing.
#include "support/panel_fixture.h"

#include "app/calculator.h"
#include "app/main_panel.h"
#include "app/toggle_rows.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <map>
#include <vector>

class BitEditors : public MainPanelTest {
protected:
    void SetUp() override
    {
        MainPanelTest::SetUp();
        calculate_freq_from_regs(kModeRecompute);  // as at start-up: 400 MHz, toggles set
    }

    // The on toggles of a row, as its bit numbers from the highest down.
    std::vector<int> bits_on(ToggleRow row) const
    {
        std::vector<int> on;
        for (std::size_t i = 0; i < row.size(); ++i)
            if (int_val(row[i]))
                on.push_back(static_cast<int>(row.size() - 1 - i));
        return on;
    }
};

TEST_F(BitEditors, TypedESpreadsOntoItsTogglesWithoutARecompute)
{
    SetCtrlVal(panel, PANEL_PLL_FREQ, 1234.5);
    type_and_enter(PANEL_E_REG, "200");
    EXPECT_EQ(bits_on(kEToggles), (std::vector<int>{7, 6, 3})) << "128 + 64 + 8";
    EXPECT_EQ(int_val(PANEL_ENHBIT_0), 1);
    EXPECT_EQ(int_val(PANEL_ENHBIT_4), 1);
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 1234.5) << "no recompute";
}

TEST_F(BitEditors, EToggleClicksChangeEAtOnceWithoutARecompute)
{
    SetCtrlVal(panel, PANEL_PLL_FREQ, 1234.5);
    click(PANEL_ENHBIT_0);
    EXPECT_EQ(uint_val(PANEL_E_REG), 128u);
    click(PANEL_ENHBIT_7);
    EXPECT_EQ(uint_val(PANEL_E_REG), 129u);
    EXPECT_EQ(regs.E_reg, 129u);
    click(PANEL_ENHBIT_0);
    EXPECT_EQ(uint_val(PANEL_E_REG), 1u);
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 1234.5);
}

TEST_F(BitEditors, RegisterFieldsSetTheirToggles)
{
    type_and_enter(PANEL_R_REG, "33");
    EXPECT_EQ(bits_on(kRToggles), (std::vector<int>{5, 0}));
    EXPECT_EQ(int_val(PANEL_SEC_0), 1);
    EXPECT_EQ(int_val(PANEL_SEC_15), 1);

    regs.N_flag = 1;
    type_and_enter(PANEL_K_REG, "131073");
    EXPECT_EQ(bits_on(kKToggles), (std::vector<int>{17, 0}));
    EXPECT_EQ(int_val(PANEL_AUX_0), 1);
    EXPECT_EQ(int_val(PANEL_AUX_17), 1);
}

TEST_F(BitEditors, ToggleClicksRebuildTheRegisterAndRecompute)
{
    click(PANEL_SEC_1);  // R bit 4: R 1 + 16
    EXPECT_EQ(uint_val(PANEL_R_REG), 17u);
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 100.0 / 18.0 * 8.0);

    regs.N_flag = 1;
    click(PANEL_AUX_16);  // K bit 1
    EXPECT_EQ(uint_val(PANEL_K_REG), 2u);
    EXPECT_EQ(regs.K_reg, 2u);
}

TEST_F(BitEditors, EveryToggleOfTheRegisterIsRead)
{
    SetCtrlVal(panel, PANEL_SEC_2, 1);  // M bit 8 set by code: no callback, M still 7
    EXPECT_EQ(uint_val(PANEL_M_REG), 7u);
    click(PANEL_SEC_8);  // M bit 3
    EXPECT_EQ(uint_val(PANEL_M_REG), 256u + 8u + 7u);
}

TEST_F(BitEditors, AllMTogglesOffGiveMOne)
{
    click(PANEL_SEC_9);
    click(PANEL_SEC_10);
    ASSERT_EQ(uint_val(PANEL_M_REG), 1u);
    click(PANEL_SEC_11);  // the last one on
    EXPECT_EQ(uint_val(PANEL_M_REG), 1u);
    EXPECT_EQ(regs.M_reg, 1u);
    EXPECT_EQ(int_val(PANEL_SEC_11), 1) << "the recompute keeps M 1 and turns the weight-1 toggle on again";
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 100.0);
}

TEST_F(BitEditors, ThePrescalerSwitchZeroesAAndDimsItsControls)
{
    const int prescaler_controls[] = {PANEL_MOD_SEL, PANEL_A_REG, PANEL_SEC_16, PANEL_SEC_17, PANEL_SEC_18, PANEL_SEC_19};
    for (int c : prescaler_controls)
        EXPECT_FALSE(dimmed(c)) << CtrlName(c) << ": not dimmed at start, though the prescaler is bypassed";

    click(PANEL_SEC_4);  // to "Enable": the prescaler in use
    ASSERT_EQ(int_val(PANEL_SEC_4), 0);
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 4000.0);
    type_and_enter(PANEL_A_REG, "5");
    EXPECT_EQ(bits_on(kAToggles), (std::vector<int>{2, 0}));

    click(PANEL_SEC_4);  // to "Disable": bypassed
    ASSERT_EQ(int_val(PANEL_SEC_4), 1);
    EXPECT_EQ(uint_val(PANEL_A_REG), 0u);
    EXPECT_TRUE(bits_on(kAToggles).empty());
    for (int c : prescaler_controls)
        EXPECT_TRUE(dimmed(c)) << CtrlName(c);
    EXPECT_EQ(regs.modulus, 1);

    click(PANEL_SEC_4);  // in use again: undimmed, and A is not brought back
    for (int c : prescaler_controls)
        EXPECT_FALSE(dimmed(c)) << CtrlName(c);
    EXPECT_EQ(uint_val(PANEL_A_REG), 0u);
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 4000.0);
}

TEST_F(BitEditors, AnAEditAboveWhatTheModeAllowsEndsAtTheRangeRuledValue)
{
    click(PANEL_SEC_4);  // prescaler in use, integer part
    type_and_enter(PANEL_M_REG, "1");
    regs.T_flag = 0;
    click(PANEL_SEC_16);  // A bit 3: A 8, above M + 1
    EXPECT_EQ(uint_val(PANEL_A_REG), 2u);
    EXPECT_EQ(bits_on(kAToggles), (std::vector<int>{1})) << "the toggles show the ruled value, not the edit";

    regs.N_flag = 1;  // fractional part, MASH 1-1-1, jumper out: M 8 allows at most A 9
    SetCtrlVal(panel, PANEL_MASH, 0);
    SetCtrlVal(panel, PANEL_LNM, 0);
    SetCtrlVal(panel, PANEL_K_REG, 1u);
    type_and_enter(PANEL_M_REG, "8");
    click(PANEL_SEC_16);
    click(PANEL_SEC_17);
    click(PANEL_SEC_18);
    EXPECT_EQ(uint_val(PANEL_A_REG), 9u);
    EXPECT_EQ(bits_on(kAToggles), (std::vector<int>{3, 0}));
}

TEST_F(BitEditors, EveryToggleFlipsTheBitItsLabelNames)
{
    // Read from the resource, not from the program's rows: each toggle's callback
    // names its register and its label the bit.
    const std::map<std::string, int> fields = {{"R_reg_Change", PANEL_R_REG},
                                               {"M_reg_Change", PANEL_M_REG},
                                               {"A_reg_Change", PANEL_A_REG},
                                               {"K_reg_Change", PANEL_K_REG},
                                               {"Enhancement_reg_changed", PANEL_E_REG}};
    click(PANEL_SEC_4);  // the prescaler in use, so that A counts
    type_and_enter(PANEL_M_REG, "300");
    regs.N_flag = 1;     // K counts
    int toggles = 0;
    for (const ControlDef* c : PanelControlDefs(panel)) {
        if (c->kind != ControlKind::BitToggle)
            continue;
        const int field = fields.at(c->callback);
        const unsigned before = uint_val(field);
        click(c->id);
        EXPECT_EQ(uint_val(field), before ^ (1u << std::stoi(c->label)))
            << c->constant << " flips bit " << c->label << " of " << CtrlName(field);
        ++toggles;
    }
    EXPECT_EQ(toggles, 6 + 9 + 4 + 18 + 8);
}
