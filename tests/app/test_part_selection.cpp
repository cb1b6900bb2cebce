// The "Select Part" menu: the part flag, the part text, the fractional set shown
// or hidden, K and dither cleared for the integer part, and the recompute.
#include "support/panel_fixture.h"

#include "app/calculator.h"
#include "app/lifecycle.h"
#include "app/main_panel.h"
#include "app/toggle_rows.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QTemporaryDir>

#include <map>
#include <set>

class PartSelection : public MainPanelTest {
protected:
    void choose(const char* item)
    {
        QAction* a = PanelMenuBarWidget(panel)->findChild<QAction*>(QString::fromLatin1(item));
        ASSERT_NE(a, nullptr) << item;
        a->trigger();
    }

    std::map<int, bool> visibility() const
    {
        std::map<int, bool> v;
        for (const ControlDef* c : PanelControlDefs(panel))
            v[c->id] = visible(c->id);
        return v;
    }

    // The controls that only the fractional part shows.
    static std::set<int> fractional_set()
    {
        std::set<int> set{PANEL_RAND_EN, PANEL_MASH, PANEL_TEXTMSG_76, PANEL_K_REG, PANEL_LNM};
        set.insert(std::begin(kKToggles), std::end(kKToggles));
        return set;
    }
};

TEST_F(PartSelection, EachPartShowsOrHidesExactlyTheFractionalSet)
{
    const std::map<int, bool> at_start = visibility();
    for (int c : fractional_set())
        EXPECT_FALSE(at_start.at(c)) << CtrlName(c) << " is hidden at start";

    choose("MENU_CHANGE_PART_ZR3500");
    EXPECT_EQ(regs.N_flag, 1);
    EXPECT_EQ(text(PANEL_TEXTMSG_10), "ZR3500");
    for (const auto& [c, was_visible] : visibility())
        EXPECT_EQ(was_visible, fractional_set().count(c) ? true : at_start.at(c)) << CtrlName(c);
    EXPECT_TRUE(CtrlLabelWidget(panel, PANEL_K_REG)->isVisibleTo(PanelWindow(panel))) << "with its label";

    choose("MENU_CHANGE_PART_ZR3100");
    EXPECT_EQ(regs.N_flag, 0);
    EXPECT_EQ(text(PANEL_TEXTMSG_10), "ZR3100");
    EXPECT_EQ(visibility(), at_start);
}

TEST_F(PartSelection, TheIntegerPartClearsKAndDitherOnly)
{
    choose("MENU_CHANGE_PART_ZR3500");
    click(PANEL_SEC_4);  // the prescaler in use: the LNM jumper counts
    type_and_enter(PANEL_K_REG, "131073");
    click(PANEL_RAND_EN);
    click(PANEL_MASH);  // to 1-1-1
    click(PANEL_LNM);   // to jumper out
    ASSERT_EQ(int_val(PANEL_LNM), 0);
    ASSERT_EQ(int_val(PANEL_AUX_0), 1);

    choose("MENU_CHANGE_PART_ZR3100");
    EXPECT_EQ(uint_val(PANEL_K_REG), 0u);
    EXPECT_EQ(regs.K_reg, 0u);
    EXPECT_EQ(int_val(PANEL_RAND_EN), 0);
    EXPECT_EQ(regs.RAND_EN, 0);
    for (int c : kKToggles)
        EXPECT_EQ(int_val(c), 0) << CtrlName(c);

    choose("MENU_CHANGE_PART_ZR3500");
    EXPECT_EQ(uint_val(PANEL_K_REG), 0u) << "not brought back";
    EXPECT_EQ(int_val(PANEL_RAND_EN), 0) << "\"Disable\"";
    EXPECT_EQ(int_val(PANEL_MASH), 0) << "MASH keeps its value";
    EXPECT_EQ(int_val(PANEL_LNM), 0) << "LNM keeps its value";
}

TEST_F(PartSelection, ChoosingAPartRecomputesForIt)
{
    // Straight after a start that restored K 1000 and dither on.
    QTemporaryDir dir;
    const std::string state = dir.filePath(QStringLiteral("panel.sts")).toStdString();
    SetCtrlVal(panel, PANEL_SEC_4, 0);
    SetCtrlVal(panel, PANEL_K_REG, 1000u);
    SetCtrlVal(panel, PANEL_RAND_EN, 1);
    ASSERT_EQ(SavePanelState(panel, state.c_str(), 0), UI_OK);
    DiscardPanel(panel);
    panel = MainPanelHandle = LoadPanel(0, kResourceFile, PANEL);
    ASSERT_EQ(RecallPanelState(panel, state.c_str(), 0), UI_OK);
    choose("MENU_CHANGE_PART_ZR3500");
    EXPECT_EQ(uint_val(PANEL_K_REG), 1000u);
    EXPECT_EQ(int_val(PANEL_RAND_EN), 1);
    // MASH 1-1 with the jumper in wants A of 1 or more: N 81 and the fraction.
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 50.0 * (81.0 + 2001.0 / 524288.0)) << "the computation uses them";
    EXPECT_EQ(text(PANEL_TEXTMSG_7_1), "Fin = [10 x (M + 1) + A + [(2 x K + RAND_EN) / 524288)] x Fr / (R + 1)]");

    choose("MENU_CHANGE_PART_ZR3500");  // the same part again repeats every step
    EXPECT_EQ(text(PANEL_TEXTMSG_10), "ZR3500");
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 50.0 * (81.0 + 2001.0 / 524288.0));

    choose("MENU_CHANGE_PART_ZR3100");
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 4050.0);
    EXPECT_EQ(text(PANEL_TEXTMSG_7_1), "Fin = [10 x (M + 1)] x [Fr / (R + 1)]");
    EXPECT_TRUE(dimmed(PANEL_MASH)) << "no fractional term left";
}
