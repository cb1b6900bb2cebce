// zrctl against the real panel: for each part, prescaler and modulator setting
// and a spread of targets, the operator sets the panel up, types the target far
// from the last Fin and presses "Program Device"; zrctl solve and zrctl program
// on the same settings must give the same registers, Fin, texts, words and bytes.
#include "support/zrctl_run.h"
#include "support/board_fixture.h"

#include "wire/burst_decoder.h"
#include "wire/bursts.h"
#include "app/board/board_connection.h"
#include "app/calculator.h"
#include "app/main_panel.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QAction>
#include <QMenuBar>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>

namespace {

struct Setting {
    const char* part;       // "zr3100", "zr3500"
    const char* prescaler;  // "10/11", "5/6", "bypass"
    const char* mash;       // "1-1", "1-1-1"
    const char* lnm;        // "in", "out"
    bool dither;
};

void PrintTo(const Setting& s, std::ostream* os)
{
    *os << s.part << ", prescaler " << s.prescaler << ", MASH " << s.mash << ", LNM " << s.lnm
        << (s.dither ? ", dither" : "");
}

std::string name_of(const ::testing::TestParamInfo<Setting>& info)
{
    std::string name = std::string(info.param.part) + "_" + info.param.prescaler + "_MASH" + info.param.mash + "_LNM" +
                       info.param.lnm + (info.param.dither ? "_dither" : "");
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

std::vector<Setting> every_setting()
{
    std::vector<Setting> all;
    for (const char* part : {"zr3100", "zr3500"})
        for (const char* prescaler : {"10/11", "5/6", "bypass"})
            for (const char* mash : {"1-1", "1-1-1"})
                for (const char* lnm : {"in", "out"})
                    for (bool dither : {false, true})
                        if (!dither || part == std::string("zr3500"))
                            all.push_back({part, prescaler, mash, lnm, dither});
    return all;
}

// Targets in MHz as typed: 0 and what lies below a few channels, the bench's
// 4321 and 4000.2 (an arrow step away from 4000), odd values, and beyond the
// field's 5000.
const char* const kTargets[] = {"0", "123.456", "249.9", "1999.9", "3000", "4000.2", "4321", "4999.99", "6000"};

class ZrctlMatchesThePanel : public SimulatedBoardTest, public ::testing::WithParamInterface<Setting> {
protected:
    void SetUp() override
    {
        SimulatedBoardTest::SetUp();
        ASSERT_EQ(FT_Open(0, &FTDIHandle), FT_OK);  // as start-up leaves it
        calculate_freq_from_regs(kModeRecompute);   // start-up's first computation
    }

    std::vector<std::string> settings() const
    {
        const Setting& s = GetParam();
        return {"--part", s.part, "--prescaler", s.prescaler, "--mash", s.mash, "--lnm", s.lnm,
                s.dither ? "--dither" : "--no-dither"};
    }

    ZrctlRun zrctl(std::vector<std::string> arguments) const
    {
        const std::vector<std::string> s = settings();
        arguments.insert(arguments.end(), s.begin(), s.end());
        arguments.push_back("--json");
        return run_zrctl(arguments);
    }

    // A switch the operator can reach is clicked; one that is hidden or dimmed
    // (MASH2SEL and LNM without a fractional term) is set as a saved state would.
    void set_switch(int control, int value)
    {
        if (int_val(control) == value)
            return;
        if (visible(control) && !dimmed(control))
            click(control);
        else
            SetCtrlVal(panel, control, value);
        ASSERT_EQ(int_val(control), value) << CtrlName(control);
    }

    void set_up_like_an_operator()
    {
        const Setting& s = GetParam();
        const char* item = s.part == std::string("zr3500") ? "MENU_CHANGE_PART_ZR3500" : "MENU_CHANGE_PART_ZR3100";
        PanelMenuBarWidget(panel)->findChild<QAction*>(QString::fromLatin1(item))->trigger();
        const bool bypass = s.prescaler == std::string("bypass");
        if (!bypass) {
            set_switch(PANEL_SEC_4, 0);
            set_switch(PANEL_MOD_SEL, s.prescaler == std::string("5/6") ? 1 : 0);
        }
        if (s.dither)
            set_switch(PANEL_RAND_EN, 1);
        set_switch(PANEL_MASH, s.mash == std::string("1-1") ? 1 : 0);
        set_switch(PANEL_LNM, s.lnm == std::string("in") ? 1 : 0);
        type_and_enter(PANEL_R_REG, "1");  // a commit: the panel recomputes with every switch as set
    }

    // Moves the panel's last Fin more than 1 MHz from the target, on the side
    // where zrctl's last Fin (the first-start registers, recomputed) lies, by
    // typing A and M values as an operator would.
    void place_last_fin(double target, double zrctl_last_fin)
    {
        const bool up = target >= zrctl_last_fin;
        auto placed = [&] { return up ? regs.temp_pll_freq < target - 1.0 : regs.temp_pll_freq > target + 1.0; };
        if (placed())
            return;
        // The modulator's rules hold M above A: a small Fin needs a small A first.
        if (!dimmed(PANEL_A_REG))
            type_and_enter(PANEL_A_REG, "0");
        for (const char* M : {"7", "1", "3", "5", "10", "20", "50", "100", "300", "511"}) {
            if (placed())
                return;
            type_and_enter(PANEL_M_REG, M);
        }
        ASSERT_TRUE(placed()) << "no M puts the last Fin " << (up ? "below " : "above ") << target;
    }

    std::vector<UCHAR> program_device()
    {
        set_switch(PANEL_ENHBAR, 1);  // "Disable (High)": the main word, and the auxiliary word for ZR3500
        board.bursts.clear();
        click(PANEL_SEND_DATA);
        EXPECT_EQ(board.bursts.size(), 1u);
        return board.bursts.empty() ? std::vector<UCHAR>{} : board.bursts.back();
    }
};

}  // namespace

TEST_P(ZrctlMatchesThePanel, SameRegistersFinTextsWordsAndBytes)
{
    set_up_like_an_operator();
    const ZrctlRun first_start = zrctl({"calc"});
    ASSERT_EQ(first_start.status, 0) << first_start.err;
    const double zrctl_last_fin = first_start.json()["fin_mhz"].get<double>();

    for (const char* typed : kTargets) {
        SCOPED_TRACE(std::string("target ") + typed);
        double number = 0.0;
        std::from_chars(typed, typed + std::strlen(typed), number);
        const double target = std::clamp(number, 0.0, 5000.0);  // as the field takes it
        place_last_fin(target, zrctl_last_fin);
        type_and_enter(PANEL_PLL_FREQ, typed);
        ASSERT_EQ(regs.T_flag, 0) << "solved as a large change";

        const ZrctlRun solved = zrctl({"solve", typed});
        if (solved.status == 2) {
            // Refused: the panel, which takes the target into its field, says the same in its line.
            const std::string why = solved.err.substr(7, solved.err.size() - 8);
            if (number != target)
                EXPECT_NE(why.find("the range of the field"), std::string::npos) << why;
            else
                EXPECT_NE(text(PANEL_SOLVE_REPORT).find("Cannot reach the target: " + why + "."), std::string::npos)
                    << text(PANEL_SOLVE_REPORT);
            continue;
        }
        ASSERT_EQ(solved.status, 0) << solved.err;
        const nlohmann::json z = solved.json();
        EXPECT_EQ(z["target_mhz"], target);
        EXPECT_EQ(z["registers"]["R"], uint_val(PANEL_R_REG));
        EXPECT_EQ(z["registers"]["M"], uint_val(PANEL_M_REG));
        EXPECT_EQ(z["registers"]["A"], uint_val(PANEL_A_REG));
        EXPECT_EQ(z["registers"]["K"], uint_val(PANEL_K_REG));
        EXPECT_EQ(z["fin_mhz"], regs.temp_pll_freq);
        if (regs.temp_pll_freq <= 5000.0) {
            EXPECT_EQ(z["fin_mhz"], double_val(PANEL_PLL_FREQ));
        }
        EXPECT_EQ(z["texts"]["r"], text(PANEL_TEXTMSG_4));
        EXPECT_EQ(z["texts"]["fc"], text(PANEL_TEXTMSG_6));
        EXPECT_EQ(z["texts"]["n"], text(PANEL_TEXTMSG_5));
        EXPECT_EQ(z["texts"]["fin_symbolic"], text(PANEL_TEXTMSG_7_1));
        EXPECT_EQ(z["texts"]["fin_worked"], text(PANEL_TEXTMSG_7));
        EXPECT_EQ(z["texts"]["fp_symbolic"], text(PANEL_TEXTMSG_8_1));
        EXPECT_EQ(z["texts"]["fp_worked"], text(PANEL_TEXTMSG_8));

        const std::vector<UCHAR> pressed = program_device();
        const ChipReception chip = decode_burst(pressed);
        ASSERT_FALSE(chip.latched_words.empty());
        EXPECT_EQ(z["main_word"], chip.latched_words[0]);
        if (GetParam().part == std::string("zr3500")) {
            ASSERT_EQ(chip.latched_words.size(), 2u);
            EXPECT_EQ(z["auxiliary_word"], chip.latched_words[1]);
        } else {
            EXPECT_EQ(chip.latched_words.size(), 1u);
            EXPECT_EQ(z["auxiliary_word"], nullptr);
        }
        EXPECT_EQ(z["option_byte"], chip.options);

        // zrctl program on a board of its own: the same bytes, byte for byte.
        SimulatedBoard zrctl_board;
        BoardDriver* panels_board = install_board_driver(&zrctl_board);
        const ZrctlRun programmed = zrctl({"program", "--freq", typed});
        install_board_driver(panels_board);
        ASSERT_EQ(programmed.status, 0) << programmed.err;
        ASSERT_EQ(zrctl_board.bursts.size(), 1u);
        EXPECT_EQ(hex_bytes(zrctl_board.bursts[0]), hex_bytes(pressed));
    }
}

INSTANTIATE_TEST_SUITE_P(EverySetting, ZrctlMatchesThePanel, ::testing::ValuesIn(every_setting()), name_of);
