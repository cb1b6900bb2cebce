// The panel-state file: readable text that gives back every control value bit for
// bit, read whole and checked before anything changes, and saved in one step.
#include "support/panel_fixture.h"

#include "app/lifecycle.h"
#include "app/application.h"
#include "ui_files/panel_state.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {

std::string read_file(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll().toStdString();
}

void write_file(const QString& path, const std::string& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.data(), static_cast<qint64>(text.size()));
}

}  // namespace

class PanelState : public MainPanelTest {
protected:
    QTemporaryDir dir;
    QString file() const { return dir.filePath(QStringLiteral("panel.sts")); }
    std::string path() const { return file().toStdString(); }

    int recall(std::string* problem = nullptr) { return RecallPanelState(panel, path().c_str(), 0, problem); }

    // Every value of the panel, as its state file would hold it.
    static std::string values_of(int p) { return format_state(kProgramName, current_state(p)); }
};

TEST_F(PanelState, SaveThenRecallGivesBackEveryControlValue)
{
    SetCtrlVal(panel, PANEL_PLL_FREQ, 4175.0000953674316);
    SetCtrlVal(panel, PANEL_REF_FREQ, 100.0 / 3.0);
    SetCtrlVal(panel, PANEL_M_REG, 341u);
    SetCtrlVal(panel, PANEL_R_REG, 33u);
    SetCtrlVal(panel, PANEL_K_REG, 262143u);
    SetCtrlVal(panel, PANEL_E_REG, 200u);
    SetCtrlVal(panel, PANEL_SEC_4, 0);
    SetCtrlVal(panel, PANEL_ENHBAR, 1);
    SetCtrlVal(panel, PANEL_LNM, 0);
    SetCtrlVal(panel, PANEL_RAND_EN, 1);
    SetCtrlVal(panel, PANEL_AUX_17, 1);
    SetCtrlVal(panel, PANEL_SEC_2, 1);
    SetCtrlVal(panel, PANEL_TEXTMSG_7, "Fin = \"quoted\" \\ and\nanother line\rand a carriage return");
    const std::string before = values_of(panel);
    ASSERT_EQ(SavePanelState(panel, path().c_str(), 0), UI_OK);

    const std::string saved = read_file(file());
    EXPECT_EQ(saved.rfind("# zr-eval panel state 1\nPANEL_REF_FREQ = 33.333333333333336\n", 0), 0u) << saved;
    EXPECT_NE(saved.find("\nPANEL_PLL_FREQ = 4175.0000953674316\n"), std::string::npos);
    EXPECT_NE(saved.find("\nPANEL_M_REG = 341\n"), std::string::npos);
    EXPECT_NE(saved.find("\nPANEL_TEXTMSG_7 = \"Fin = \\\"quoted\\\" \\\\ and\\nanother line\\rand a carriage return\"\n"),
              std::string::npos);
    EXPECT_EQ(saved.find("PANEL_Status"), std::string::npos) << "the status box is not part of the state";

    const int fresh = LoadPanel(0, kResourceFile, PANEL);
    ASSERT_GT(fresh, 0);
    EXPECT_NE(values_of(fresh), before);
    SetCtrlVal(fresh, PANEL_Status, "Checking for FTDI devices...\n");
    EXPECT_EQ(RecallPanelState(fresh, path().c_str(), 0), UI_OK);
    EXPECT_EQ(values_of(fresh), before);
    double freq = 0.0;
    GetCtrlVal(fresh, PANEL_PLL_FREQ, &freq);
    EXPECT_EQ(freq, 4175.0000953674316) << "bit for bit";
    std::string status;
    GetCtrlVal(fresh, PANEL_Status, &status);
    EXPECT_EQ(status, "Checking for FTDI devices...\n") << "this start-up's board messages stay";
    DiscardPanel(fresh);
}

TEST_F(PanelState, AMissingFileChangesNothing)
{
    const std::string before = values_of(panel);
    std::string problem;
    EXPECT_EQ(recall(&problem), UI_ERR_STATE_FILE);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(values_of(panel), before);
}

TEST_F(PanelState, AFileThatDoesNotFitChangesNothingAndSaysWhichLine)
{
    const std::string head = "# zr-eval panel state 1\nPANEL_M_REG = 300\nPANEL_REF_FREQ = 50\n";
    struct Bad {
        std::string text;
        const char* problem;
    };
    const Bad bad[] = {
        {"", "line 1: not a zr-eval panel state file"},
        {"PANEL_M_REG = 300\n", "line 1: not a zr-eval panel state file"},
        {head + "PANEL_A_REG 3\n", "line 4: no \"=\""},
        {head + "PANEL A REG = 3\n", "line 4: \"PANEL A REG\" is not a control name"},
        {head + "PANEL_A_REG = 16\n", "line 4: PANEL_A_REG = 16: outside 0 to 15"},
        {head + "PANEL_A_REG = -1\n", "line 4: PANEL_A_REG = -1: not a whole number"},
        {head + "PANEL_A_REG = 2.5\n", "line 4: PANEL_A_REG = 2.5: not a whole number"},
        {head + "PANEL_PLL_FREQ = 12,5\n", "line 4: PANEL_PLL_FREQ = 12,5: not a number"},
        {head + "PANEL_PLL_FREQ = nan\n", "line 4: PANEL_PLL_FREQ = nan: not a number"},
        {head + "PANEL_PLL_FREQ = inf\n", "line 4: PANEL_PLL_FREQ = inf: not a number"},
        {head + "PANEL_SEC_4 = 2\n", "line 4: PANEL_SEC_4 = 2: neither 0 nor 1"},
        {head + "PANEL_ENHBIT_3 = \"1\"\n", "line 4: PANEL_ENHBIT_3 = \"1\": not a whole number"},
        {head + "PANEL_TEXTMSG_10 = ZR3500\n", "line 4: PANEL_TEXTMSG_10 = ZR3500: not a quoted text"},
        {head + "PANEL_TEXTMSG_10 = \"ZR\\t3500\"\n", "line 4: PANEL_TEXTMSG_10 = \"ZR\\t3500\": not a quoted text"},
        {head + "PANEL_TEXTMSG_7 = \"Fin = [10 x (7\n", "line 4: PANEL_TEXTMSG_7 = \"Fin = [10 x (7: not a quoted text"},
        {head + "PANEL_M_REG = 301\n", "line 4: PANEL_M_REG is named twice"},
    };
    const std::string before = values_of(panel);
    for (const Bad& b : bad) {
        write_file(file(), b.text);
        std::string problem;
        EXPECT_EQ(recall(&problem), UI_ERR_STATE_CONTENT) << b.problem;
        EXPECT_EQ(problem, b.problem);
        EXPECT_EQ(values_of(panel), before) << b.problem << ": nothing changed, not even the lines before it";
    }
}

TEST_F(PanelState, UnknownConstantsAreSkippedAndUnnamedControlsKeepTheirValues)
{
    write_file(file(), "# zr-eval panel state 1\r\n"
                       "\r\n"
                       "# written by hand\r\n"
                       "PANEL_FUTURE_CONTROL = 12\r\n"
                       "PANEL_M_REG = 300\r\n"
                       "PANEL_QUIT = 1\r\n"
                       "PANEL_Status = \"old messages\"\r\n");
    EXPECT_EQ(recall(), UI_OK);
    EXPECT_EQ(uint_val(PANEL_M_REG), 300u);
    EXPECT_EQ(uint_val(PANEL_R_REG), 1u);
    EXPECT_EQ(text(PANEL_Status), "");
}

TEST_F(PanelState, ASaveThatFailsMidwayLeavesTheOldFileWhole)
{
    ASSERT_EQ(SavePanelState(panel, path().c_str(), 0), UI_OK);
    const std::string old_state = read_file(file());
    SetCtrlVal(panel, PANEL_M_REG, 300u);

    // A disk that fills after a few hundred bytes: the write fails partway.
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 300;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int status = SavePanelState(panel, path().c_str(), 0);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_EQ(status, UI_ERR_STATE_FILE);
    EXPECT_EQ(read_file(file()), old_state);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("panel.sts")})
        << "no half-written file is left behind";
}

TEST_F(PanelState, OnlyStateZeroExists)
{
    EXPECT_EQ(SavePanelState(panel, path().c_str(), 1), UI_ERR_STATE_FILE);
    EXPECT_EQ(RecallPanelState(panel, path().c_str(), 1), UI_ERR_STATE_FILE);
    EXPECT_EQ(SavePanelState(panel + 100, path().c_str(), 0), UI_ERR_BAD_HANDLE);
}
