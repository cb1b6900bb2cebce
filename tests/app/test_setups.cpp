// Named setups through the real panel: a setup comes back with its part, K and
// dither; one that does not fit is refused with its line and changes nothing;
// panel.sts is never a setup's name, nor a setup ever a panel.sts.
#include "support/panel_fixture.h"
#include "support/operator_actions.h"

#include "app/calculator.h"
#include "app/toggle_rows.h"
#include "resource/built_in_resource.h"
#include "app/lifecycle.h"
#include "app/main_panel.h"
#include "ui_files/panel_state.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"
#include "app/state_keeping.h"

#include <QDir>
#include <QMenuBar>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <sstream>

class Setups : public MainPanelTest {
protected:
    void choose(const char* item) { operator_choose(PanelMenuBarWidget(panel), item); }
    void save_as(const std::string& path)
    {
        answer_next_popup(path);
        choose("MENU_SETUP_SAVE");
    }
    void open(const std::string& path, bool refused = false)
    {
        answer_next_popup(path);
        if (refused)
            answer_next_popup("OK");
        choose("MENU_SETUP_OPEN");
    }
    std::string file(const std::string& path) const
    {
        std::ostringstream s;
        s << std::ifstream(path).rdbuf();
        return s.str();
    }
    std::string state_text() const { return format_state(kProgramName, current_state(panel)); }

    QTemporaryDir dir;
    std::string path = dir.filePath("bench.zrs").toStdString();
};

TEST_F(Setups, ASetupSavedOnZR3500OpensOnZR3500WithKAndDither)
{
    choose("MENU_CHANGE_PART_ZR3500");
    SetCtrlVal(panel, PANEL_K_REG, 1000u);
    SetCtrlVal(panel, PANEL_RAND_EN, 1);
    SetCtrlVal(panel, PANEL_M_REG, 40u);
    SetCtrlVal(panel, PANEL_E_REG, 200u);
    set_toggles(kEToggles, 200);
    calculate_freq_from_regs(kModeRecompute);
    const double fin = double_val(PANEL_PLL_FREQ);
    const std::string at_save = state_text();
    save_as(path);
    const std::string saved = file(path);
    EXPECT_EQ(saved.rfind("# zr-eval setup 1\nPART = \"ZR3500\"\n", 0), 0u) << saved;

    choose("MENU_CHANGE_PART_ZR3100");
    SetCtrlVal(panel, PANEL_M_REG, 9u);
    SetCtrlVal(panel, PANEL_E_REG, 1u);
    calculate_freq_from_regs(kModeRecompute);
    ASSERT_EQ(uint_val(PANEL_K_REG), 0u);

    open(path);
    EXPECT_EQ(regs.N_flag, ZR3500);
    EXPECT_EQ(text(PANEL_TEXTMSG_10), "ZR3500");
    EXPECT_TRUE(visible(PANEL_K_REG)) << "the fractional set is shown";
    EXPECT_EQ(uint_val(PANEL_K_REG), 1000u);
    EXPECT_EQ(sum_of_toggles(kKToggles), 1000u) << "K's bits show K";
    EXPECT_EQ(int_val(PANEL_RAND_EN), 1);
    EXPECT_EQ(uint_val(PANEL_M_REG), 40u);
    EXPECT_EQ(uint_val(PANEL_E_REG), 200u);
    EXPECT_EQ(sum_of_toggles(kEToggles), 200u);
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), fin) << "recomputed on ZR3500, with K and dither";
    EXPECT_EQ(state_text(), at_save) << "every control as it was saved";

    std::vector<StateValue> values;
    std::string problem;
    EXPECT_EQ(read_state_file(path, kProgramName, PanelControlDefs(panel), &values, &problem),
              StateFileVerdict::DoesNotFit)
        << "a setup is never taken for panel.sts";
    EXPECT_EQ(problem, "line 1: not a zr-eval panel state file");
}

TEST_F(Setups, ABrokenSetupChangesNothingAndSaysWhichLine)
{
    save_as(path);
    std::string text = file(path);
    const std::string line = "PANEL_M_REG = 7\n";
    ASSERT_NE(text.find(line), std::string::npos) << text;
    const int number = 1 + static_cast<int>(std::count(text.begin(), text.begin() + text.find(line), '\n'));
    text.replace(text.find(line), line.size(), "PANEL_M_REG = 600\n");
    std::ofstream(path, std::ios::trunc) << text;

    SetCtrlVal(panel, PANEL_R_REG, 5u);
    calculate_freq_from_regs(kModeRecompute);
    const std::string before = state_text();
    open(path, true);
    EXPECT_EQ(last_popup_text(), path + " was not opened: line " + std::to_string(number) +
                                     ": PANEL_M_REG = 600: outside 0 to 511. Nothing on the panel was changed.");
    EXPECT_EQ(state_text(), before);

    std::ofstream(path, std::ios::trunc) << "# zr-eval setup 1\nPART = \"ZR3600\"\nPANEL_R_REG = 9\n";
    open(path, true);
    EXPECT_NE(last_popup_text().find("line 2: PART = \"ZR3600\": neither \"ZR3100\" nor \"ZR3500\""),
              std::string::npos)
        << last_popup_text();
    EXPECT_EQ(state_text(), before);
}

TEST_F(Setups, APanelStateOpensWithThePartItsTextNames)
{
    choose("MENU_CHANGE_PART_ZR3500");
    const std::string state = dir.filePath("other.sts").toStdString();
    SetCtrlVal(panel, PANEL_M_REG, 33u);
    calculate_freq_from_regs(kModeRecompute);
    ASSERT_EQ(SavePanelState(panel, state.c_str(), 0), UI_OK);
    SetCtrlVal(panel, PANEL_M_REG, 44u);
    calculate_freq_from_regs(kModeRecompute);
    open(state);
    EXPECT_EQ(uint_val(PANEL_M_REG), 33u);
    EXPECT_EQ(regs.N_flag, ZR3500) << "its part text named ZR3500";
}

TEST_F(Setups, NoneOfTheProgramsOwnFilesIsASetupsNameByAnyPathOrLink)
{
    namespace fs = std::filesystem;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    // As a running program leaves the folder: its state and its lock, with its process number.
    std::ofstream("panel.sts") << "# kept\n";
    std::ofstream("panel.sts.lock") << "4242\n";
    fs::create_directory("sub");
    fs::create_symlink("panel.sts.lock", "link-to-lock");
    fs::create_hard_link("panel.sts.lock", "hard-lock");
    fs::create_hard_link("panel.sts", "hard-state");
    const fs::path here = fs::current_path();
    const std::string refused[] = {
        (here / "panel.sts").string(),
        (here / "panel.sts.lock").string(),
        (here / "link-to-lock").string(),
        (here / "hard-lock").string(),
        (here / "hard-state").string(),
        (here / ".panel.sts.unfinished-save.Ab3xY9").string(),
    };
    for (const std::string& name : refused) {
        answer_next_popup(name);
        if (fs::exists(fs::symlink_status(name)))
            answer_next_popup("Yes");  // the file box's own question: replace it?
        answer_next_popup("OK");
        choose("MENU_SETUP_SAVE");
        EXPECT_NE(last_popup_text().find("save the setup under another name"), std::string::npos)
            << name << ": " << last_popup_text();
    }
    EXPECT_EQ(file("panel.sts"), "# kept\n") << "panel.sts is QUIT's to write";
    EXPECT_EQ(file("panel.sts.lock"), "4242\n") << "the lock still names its holder";
    EXPECT_FALSE(fs::exists(".panel.sts.unfinished-save.Ab3xY9"));
    EXPECT_TRUE(fs::is_symlink("link-to-lock"));
    for (const char* other_path : {"sub/../panel.sts.lock", "./sub/../link-to-lock", "sub/../.panel.sts.unfinished-save.x1Y2z3"})
        EXPECT_FALSE(own_file_refusal(other_path).empty()) << other_path;
    EXPECT_EQ(own_file_refusal("sub/panel.sts.lock"), "") << "another folder's lock is no file of this program's";

    // The lock is no export's either.
    answer_next_popup("Hex text");
    answer_next_popup((here / "hard-lock").string());
    answer_next_popup("Yes");
    answer_next_popup("OK");
    choose("MENU_TOOLS_EXPORT");
    EXPECT_NE(last_popup_text().find("panel.sts.lock is the lock"), std::string::npos) << last_popup_text();
    EXPECT_EQ(file("panel.sts.lock"), "4242\n");

    // A file beside them with a name of the user's is saved as ever.
    save_as((here / "panel.sts.backup").string());
    EXPECT_EQ(file("panel.sts.backup").rfind("# zr-eval setup 1\n", 0), 0u);
    QDir::setCurrent(previous);
}
