// The sweep window of the Tools menu, on the real panel with the simulated
// board: its table against zrctl solve, the bursts against its table as the
// chip decodes them, Stop, the panel left on the last point sent, refused
// inputs, and every board fault.
#include "support/operator_actions.h"
#include "support/zrctl_run.h"
#include "support/board_fixture.h"

#include "wire/burst_decoder.h"
#include "wire/serial_words.h"
#include "app/calculator.h"
#include "app/main_panel.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"
#include "app/windows/sweep_table_model.h"
#include "app/windows/sweep_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace {

class SweepWindowTest : public SimulatedBoardTest {
protected:
    void SetUp() override
    {
        SimulatedBoardTest::SetUp();
        ASSERT_EQ(FT_Open(0, &FTDIHandle), FT_OK);  // as start-up leaves it
        // The prescaler in use, 10/11: zrctl's --prescaler 10/11.
        SetCtrlVal(panel, PANEL_SEC_4, 0);
        calculate_freq_from_regs(kModeRecompute);
        board.calls.clear();
        menu("MENU_TOOLS_SWEEP");
        window = sweep_window();
        ASSERT_NE(window, nullptr) << "Tools > Sweep... opens the window";
    }

    void menu(const char* item)
    {
        PanelMenuBarWidget(panel)->findChild<QAction*>(QString::fromLatin1(item))->trigger();
    }

    template <typename W>
    W* part(const char* name) const
    {
        W* w = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    void band(const char* start, const char* stop, const char* step, double dwell_ms)
    {
        part<QRadioButton>("sweep_band")->setChecked(true);
        part<QLineEdit>("sweep_start")->setText(QString::fromLatin1(start));
        part<QLineEdit>("sweep_stop")->setText(QString::fromLatin1(stop));
        part<QLineEdit>("sweep_step")->setText(QString::fromLatin1(step));
        part<QDoubleSpinBox>("sweep_dwell")->setValue(dwell_ms);
    }

    void list(const char* text, double dwell_ms)
    {
        part<QRadioButton>("sweep_list_mode")->setChecked(true);
        part<QPlainTextEdit>("sweep_list")->setPlainText(QString::fromLatin1(text));
        part<QDoubleSpinBox>("sweep_dwell")->setValue(dwell_ms);
    }

    void press(const char* button) { operator_click(part<QPushButton>(button)); }

    // Lets the sweep run to its end, as the event loop runs it.
    void wait_for_the_end()
    {
        for (int i = 0; i < 20000 && window->running(); ++i)
            QTest::qWait(1);
        ASSERT_FALSE(window->running());
    }

    std::size_t writes() const
    {
        std::size_t n = 0;
        for (const std::string& c : board.calls)
            n += c.rfind("FT_Write", 0) == 0;
        return n;
    }

    QString cell(int row, int column) const
    {
        const QAbstractItemModel* m = part<QTableView>("sweep_table")->model();
        return m->data(m->index(row, column)).toString();
    }

    // The main panel's registers and Fin are those of the point.
    void expect_panel_on(const SweepPoint& p, const char* what)
    {
        EXPECT_EQ(uint_val(PANEL_M_REG), p.M) << what;
        EXPECT_EQ(uint_val(PANEL_A_REG), p.A) << what;
        EXPECT_EQ(uint_val(PANEL_K_REG), p.K) << what;
        EXPECT_EQ(double_val(PANEL_PLL_FREQ), p.achieved_mhz) << what;
    }

    SweepWindow* window = nullptr;
};

}  // namespace

TEST_F(SweepWindowTest, TheTableMatchesZrctlSolvePointByPointOnBothParts)
{
    for (const char* part_item : {"MENU_CHANGE_PART_ZR3100", "MENU_CHANGE_PART_ZR3500"}) {
        menu(part_item);
        const bool fractional = regs.N_flag == ZR3500;
        band("4318", "4322", "0.75", 0.0);
        press("sweep_prepare");
        ASSERT_NE(window->plan(), nullptr) << window->message().toStdString();
        ASSERT_EQ(window->plan()->points.size(), 6u);
        EXPECT_EQ(part<QTableView>("sweep_table")->isColumnHidden(SweepTableModel::K), !fractional);
        for (int row = 0; row < 6; ++row) {
            const SweepPoint& p = window->plan()->points[static_cast<std::size_t>(row)];
            const nlohmann::json solved =
                run_zrctl({"solve", cell(row, SweepTableModel::Requested).toStdString(), "--part",
                           fractional ? "zr3500" : "zr3100", "--prescaler", "10/11", "--json"})
                    .json();
            EXPECT_EQ(p.M, solved["registers"]["M"]) << part_item << " row " << row;
            EXPECT_EQ(p.A, solved["registers"]["A"]) << row;
            EXPECT_EQ(p.K, solved["registers"]["K"]) << row;
            EXPECT_EQ(p.achieved_mhz, solved["fin_mhz"]) << row;
            EXPECT_EQ(p.error_hz, solved["error_hz"]) << row;
            EXPECT_EQ(cell(row, SweepTableModel::M).toUInt(), solved["registers"]["M"].get<unsigned>()) << row;
            EXPECT_EQ(cell(row, SweepTableModel::MainWord).toUInt(nullptr, 16), solved["main_word"].get<unsigned>());
            if (fractional) {
                EXPECT_EQ(cell(row, SweepTableModel::AuxiliaryWord).toUInt(nullptr, 16),
                          solved["auxiliary_word"].get<unsigned>());
            }
        }
    }
    EXPECT_EQ(writes(), 0u) << "a table sends nothing";
}

TEST_F(SweepWindowTest, TheBurstsDecodeToTheTablesWordsAndThePanelShowsTheLastPoint)
{
    menu("MENU_CHANGE_PART_ZR3500");
    ASSERT_EQ(int_val(PANEL_ENHBAR), 0) << "ENH at \"Enable  (Low)\": the sweep programs the counters all the same";
    // 4321 and 4321.4 share M and A: the second point sends its auxiliary word alone.
    list("4000\n4321\n4321.4\n4100\n", 0.0);
    press("sweep_start_button");
    wait_for_the_end();
    const SweepPlan& plan = *window->plan();
    ASSERT_EQ(board.bursts.size(), 4u);
    const std::vector<std::size_t> lengths{98, 98, 49, 98};
    for (std::size_t i = 0; i < 4; ++i) {
        const ChipReception r = decode_burst(board.bursts[i]);
        EXPECT_EQ(r.fault, "") << "point " << i + 1;
        EXPECT_EQ(r.options & 0x08, 0x08) << "ENHBAR high in every burst";
        ASSERT_EQ(board.bursts[i].size(), lengths[i]) << "point " << i + 1;
        const SweepPoint& p = plan.points[i];
        const std::vector<uint32_t> words =
            lengths[i] == 49 ? std::vector<uint32_t>{auxiliary_word_of(p.K)}
                             : std::vector<uint32_t>{main_word_of(p.R, p.M, 0, p.A), auxiliary_word_of(p.K)};
        EXPECT_EQ(r.latched_words, words) << "point " << i + 1;
    }
    expect_panel_on(plan.points[3], "the panel shows again what the chip holds");
    EXPECT_EQ(int_val(PANEL_ENHBAR), 0) << "the operator's ENH switch is left as it was";
    EXPECT_EQ(text(PANEL_Status), "Sweep ended. 4 points sent; the chip was left at 4100.0000000 MHz (point 4: R 1, "
                                  "M 7, A 2, K 0).\n");
    EXPECT_FALSE(cell(3, SweepTableModel::Written).isEmpty()) << "when each point was written";
}

TEST_F(SweepWindowTest, APressBetweenTwoPointsMakesTheNextOneSendItsMainWord)
{
    menu("MENU_CHANGE_PART_ZR3500");
    SetCtrlVal(panel, PANEL_ENHBAR, 1);
    SetCtrlVal(panel, PANEL_M_REG, 20u);
    calculate_freq_from_regs(kModeRecompute);
    // Points of one main word: each after the first would send its auxiliary word alone.
    list("4321\n4321.2\n4321.4\n4321.6\n", 0.0);
    window->on_written = [this](const SweepWrite& w) {
        if (w.number == 1)
            click(PANEL_SEND_DATA);  // the panel's M 20 goes to the chip
    };
    press("sweep_start_button");
    wait_for_the_end();
    std::vector<std::size_t> lengths;
    for (const auto& burst : board.bursts)
        lengths.push_back(burst.size());
    EXPECT_EQ(lengths, (std::vector<std::size_t>{98, 49, 98, 98, 49}))
        << "the sweep's first point, its second, the press, then its third whole again";
    const ChipReception third = decode_burst(board.bursts[3]);
    ASSERT_EQ(third.latched_words.size(), 2u);
    EXPECT_EQ(main_word_fields(third.latched_words[0]).M, window->plan()->points[2].M);
}

TEST_F(SweepWindowTest, StopMidSweepLeavesThePanelOnTheLastPointSent)
{
    band("4000", "4450", "50", 15.0);
    press("sweep_start_button");
    ASSERT_TRUE(window->running());
    for (int i = 0; i < 20000 && board.bursts.size() < 3; ++i)
        QTest::qWait(1);
    // The panel answers the operator while the sweep runs.
    type_and_enter(PANEL_R_REG, "3");
    EXPECT_EQ(double_val(PANEL_PLL_FREQ), 2000.0) << "Fc 25 MHz: the panel recomputed";
    const std::size_t sent = board.bursts.size();
    press("sweep_stop_button");
    EXPECT_FALSE(window->running());
    QTest::qWait(40);
    EXPECT_EQ(board.bursts.size(), sent) << "Stop takes effect before the next point";
    const SweepPoint& last = window->plan()->points[sent - 1];
    expect_panel_on(last, "the last point sent");
    EXPECT_EQ(uint_val(PANEL_R_REG), 1u) << "R as the sweep sent it";
    char expected[160];
    std::snprintf(expected, sizeof expected,
                  "Sweep stopped. %zu points sent; the chip was left at %.7f MHz (point %zu: R 1, M %u, A %u).\n", sent,
                  last.achieved_mhz, sent, last.M, last.A);
    EXPECT_EQ(text(PANEL_Status), expected);
    EXPECT_EQ(window->message().toStdString() + "\n", expected);

    // Closing the window stops a sweep too.
    press("sweep_start_button");
    ASSERT_TRUE(window->running());
    window->close();
    EXPECT_FALSE(window->running());
}

TEST_F(SweepWindowTest, WithoutAnOpenBoardTheWindowSaysSoAndSendsNothing)
{
    band("4000", "4010", "1", 0.0);
    board.device_count = 0;
    EXPECT_FALSE(window->start());
    EXPECT_EQ(window->message().toStdString(),
              "No FTDI device is plugged in: nothing was sent. Plug in the board, then choose Board > Rescan.");
    EXPECT_TRUE(visible(PANEL_TEXTMSG_41));

    board.device_count = 1;
    board.count_status = FT_IO_ERROR;
    EXPECT_FALSE(window->start());
    EXPECT_EQ(window->message().toStdString(),
              "The FTDI devices cannot be counted, FT_IO_ERROR (4): nothing was sent.");

    board.count_status = FT_OK;
    FT_Close(FTDIHandle);
    FTDIHandle = nullptr;  // a board plugged in after start-up, or one whose open failed
    press("sweep_start_button");
    EXPECT_FALSE(window->running());
    EXPECT_EQ(window->message().toStdString(),
              "No board was opened: nothing was sent. Choose Board > Rescan to open it, or Board > Choose board...");
    EXPECT_EQ(writes(), 0u);
    EXPECT_EQ(text(PANEL_Status), "") << "nothing was sent, nothing to report";
    EXPECT_EQ(window->plan()->points.size(), 11u) << "the table stands";
}

TEST_F(SweepWindowTest, AnUnplugStopsTheSweepAtItsPointAndTheReplugLetsItRunAgain)
{
    // As start-up leaves the board, learnt by the search.
    FT_Close(FTDIHandle);
    FTDIHandle = nullptr;
    FTDI_Search();
    after_board_search();
    band("4000", "4450", "50", 15.0);
    press("sweep_start_button");
    ASSERT_TRUE(window->running());
    for (int i = 0; i < 20000 && board.bursts.size() < 3; ++i)
        QTest::qWait(1);
    const std::size_t sent = board.bursts.size();
    board.unplug("SIM0");
    EXPECT_TRUE(FirePollTimer());
    wait_for_the_end();
    EXPECT_EQ(board.bursts.size(), sent);
    const std::string stopped = "Sweep stopped before point " + std::to_string(sent + 1) +
                                ": the board SIM0 (port A) was unplugged. " + std::to_string(sent) + " points sent;";
    EXPECT_EQ(window->message().toStdString().substr(0, stopped.size()), stopped) << window->message().toStdString();

    press("sweep_start_button");
    EXPECT_FALSE(window->running());
    EXPECT_EQ(window->message().toStdString(),
              "The board SIM0 (port A) was unplugged: nothing was sent. Plug it back in; it is opened again by itself.");

    board.plug_in({"SIM0", "Simulated board", 'A'});
    EXPECT_TRUE(FirePollTimer());
    part<QDoubleSpinBox>("sweep_dwell")->setValue(0.0);
    press("sweep_start_button");
    wait_for_the_end();
    EXPECT_EQ(window->message().toStdString().rfind("Sweep ended. 10 points sent;", 0), 0u)
        << window->message().toStdString();
}

TEST_F(SweepWindowTest, AFailedOrShortWriteStopsAtThatPointAndKeepsTheTable)
{
    band("4000", "4500", "100", 0.0);
    window->on_written = [this](const SweepWrite& w) {
        if (w.number == 1)
            board.write_status = FT_IO_ERROR;
    };
    press("sweep_start_button");
    wait_for_the_end();
    EXPECT_EQ(writes(), 3u) << "nothing after the failed write";
    EXPECT_EQ(text(PANEL_Status), "Sweep stopped at point 3 (4200 MHz): the write failed with FT_IO_ERROR (4), 0 of 49 "
                                  "bytes written; what the chip latched cannot be known. 2 points sent; the chip "
                                  "holds 4100.0000000 MHz (point 2: R 1, M 7, A 2) or some of point 3, which cannot "
                                  "be known; the main panel shows point 2.\n");
    expect_panel_on(window->plan()->points[1], "the last point written whole");
    EXPECT_EQ(window->plan()->points.size(), 6u) << "the table is kept";
    EXPECT_TRUE(cell(2, SweepTableModel::Written).isEmpty());

    window->on_written = nullptr;
    board.write_status = FT_OK;
    board.write_limit = 10;
    SetCtrlVal(panel, PANEL_M_REG, 9u);
    calculate_freq_from_regs(kModeRecompute);
    press("sweep_start_button");
    wait_for_the_end();
    EXPECT_EQ(window->message().toStdString(), "Sweep stopped at point 1 (4000 MHz): the write was short: 10 of 49 "
                                               "bytes written; the chip latched none of it. No point was sent; the "
                                               "main panel is unchanged.");
    EXPECT_EQ(uint_val(PANEL_M_REG), 9u);

    // Cut after the strobe: the chip latched the point, and the panel says so.
    const std::vector<UCHAR> whole = board.bursts.back();
    board.write_limit = static_cast<DWORD>(decode_burst(whole).latches.at(0).byte + 1);
    ASSERT_LT(board.write_limit, whole.size());
    press("sweep_start_button");
    wait_for_the_end();
    EXPECT_EQ(window->message().toStdString(),
              "Sweep stopped at point 1 (4000 MHz): the write was short: " + std::to_string(board.write_limit) +
                  " of 49 bytes written; the chip latched all of it. No point was sent whole; the chip was left at "
                  "4000.0000000 MHz (point 1: R 1, M 7, A 0).");
    expect_panel_on(window->plan()->points[0], "the point the chip latched");
}

TEST_F(SweepWindowTest, RefusedInputsAreNamedInTheWindowAndNothingIsSent)
{
    band("4000", "4100", "0", 0.0);
    press("sweep_start_button");
    EXPECT_EQ(window->message().toStdString(),
              "Refused, nothing sent: Step (MHz) \"0\": a step of 0 never reaches the stop frequency.");
    EXPECT_FALSE(part<QLineEdit>("sweep_step")->styleSheet().isEmpty()) << "the refused field is marked";
    EXPECT_EQ(window->plan(), nullptr);

    band("4000", "6000", "10", 0.0);
    EXPECT_FALSE(window->prepare());
    EXPECT_EQ(window->message().toStdString(), "Refused, nothing sent: Stop (MHz) \"6000\": outside 0 to 5000, the "
                                               "range of the field \"Out Freq (MHz)\".");
    EXPECT_TRUE(part<QLineEdit>("sweep_step")->styleSheet().isEmpty()) << "only the refused field is marked";

    list("4000\n4010\nx4\n", 0.0);
    press("sweep_start_button");
    EXPECT_EQ(window->message().toStdString(), "Refused, nothing sent: List, line 3 \"x4\": not a number.");
    EXPECT_EQ(part<QPlainTextEdit>("sweep_list")->textCursor().selectedText(), QStringLiteral("x4"))
        << "the refused line is selected";
    EXPECT_EQ(writes(), 0u);
    EXPECT_FALSE(window->running());

    // The table follows the inputs once typing pauses.
    list("4000\n4010\n4020\n", 0.0);
    QTest::qWait(400);
    ASSERT_NE(window->plan(), nullptr);
    EXPECT_EQ(window->plan()->points.size(), 3u);
}

TEST_F(SweepWindowTest, TheTableIsExportedWithTheTimeEachPointWasWritten)
{
    band("4000", "4200", "100", 1.0);
    press("sweep_start_button");
    wait_for_the_end();
    const std::string path =
        (std::filesystem::temp_directory_path() / ("zr-sweep-" + std::to_string(getpid()) + ".csv")).string();
    answer_next_popup(path);
    press("sweep_export");
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::remove(path.c_str());
    ASSERT_EQ(lines.size(), 4u) << window->message().toStdString();
    EXPECT_EQ(lines[0].substr(0, 27), "requested_mhz,achieved_mhz,");
    EXPECT_EQ(lines[3].substr(0, 31), "4200,4200.0000000,0.000,1,7,4,0");
    EXPECT_EQ(lines[3].back(), 'Z') << "written, with its UTC time: " << lines[3];
}

TEST_F(SweepWindowTest, ASweepStartedWhileTheLastOneReportsLeavesThatReportWhole)
{
    // The report recomputes the panel, which lets events run: a Start queued by
    // then begins a new sweep from inside it.
    band("4000", "4200", "100", 0.0);
    window->on_written = [this](const SweepWrite& w) {
        if (w.number == 2) {
            window->on_written = nullptr;
            QTimer::singleShot(0, window, [this] { window->start(); });
        }
    };
    press("sweep_start_button");
    wait_for_the_end();
    EXPECT_EQ(writes(), 6u) << "both sweeps ran";
    const std::string line = "Sweep ended. 3 points sent; the chip was left at 4200.0000000 MHz (point 3: R 1, M 7, "
                             "A 4).\n";
    EXPECT_EQ(text(PANEL_Status), line + line);
}

TEST_F(SweepWindowTest, AListFileThatCannotBeAListIsRefusedBeforeTheEditorLaysItOut)
{
    QTemporaryDir folder;
    const auto write = [&folder](const char* name, const std::string& text) {
        const std::string path = folder.filePath(QString::fromLatin1(name)).toStdString();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    };
    list("4000\n", 0.0);
    const struct {
        std::string path;
        std::string said;
    } refused[] = {
        {write("one-mb-line.txt", std::string(1 << 20, '4')), "line 1: the line holds 1048576 bytes, more than the "
                                                                 "1024 a list line may have."},
        {write("ten-mb-line.txt", "4000\n" + std::string(10 << 20, '4') + "\n"),
         "line 2: the line holds 10485760 bytes, more than the 1024 a list line may have."},
        {write("too-large.txt", std::string(17 << 20, '\n')), "larger than 16777216 bytes"},
    };
    for (const auto& r : refused) {
        answer_next_popup(r.path);
        press("sweep_open_list");
        EXPECT_NE(window->message().toStdString().find(r.said), std::string::npos) << window->message().toStdString();
        EXPECT_EQ(part<QPlainTextEdit>("sweep_list")->toPlainText(), QStringLiteral("4000\n"))
            << "the list being edited stays";
    }
    // A list of every point a sweep may have opens whole; one more is refused by line.
    std::string points;
    for (std::size_t i = 0; i < kMaxSweepPoints; ++i)
        points += "4000\n";
    answer_next_popup(write("most.txt", points));
    press("sweep_open_list");
    ASSERT_NE(window->plan(), nullptr) << window->message().toStdString();
    EXPECT_EQ(window->plan()->points.size(), kMaxSweepPoints);
    answer_next_popup(write("one-more.txt", points + "4000\n"));
    press("sweep_open_list");
    EXPECT_NE(window->message().toStdString().find("line 100001"), std::string::npos)
        << window->message().toStdString();
}

TEST_F(SweepWindowTest, TheTableFollowsThePartAndTheSettingsOfTheMainPanel)
{
    band("4000", "4060", "30", 0.0);
    ASSERT_TRUE(window->prepare());
    const std::string solved_at_r1 = cell(1, SweepTableModel::Achieved).toStdString();
    ASSERT_EQ(solved_at_r1, "4000.0000000") << "4030 MHz on channels of 50 MHz";
    // The operator changes R on the main panel: the table is solved again for it.
    SetCtrlVal(panel, PANEL_R_REG, 3u);
    calculate_freq_from_regs(kModeRecompute);
    for (int i = 0; i < 2000 && window->plan()->settings.R_reg != 3u; ++i)
        QTest::qWait(1);
    EXPECT_EQ(window->plan()->settings.R_reg, 3u) << "the table was not rebuilt for R 3";
    EXPECT_EQ(cell(1, SweepTableModel::Achieved).toStdString(), "4025.0000000") << "on channels of 25 MHz";

    operator_choose(PanelMenuBarWidget(panel), "MENU_CHANGE_PART_ZR3500");
    for (int i = 0; i < 2000 && window->plan()->settings.N_flag != ZR3500; ++i)
        QTest::qWait(1);
    EXPECT_EQ(window->plan()->settings.N_flag, ZR3500);
    EXPECT_FALSE(part<QTableView>("sweep_table")->isColumnHidden(SweepTableModel::K)) << "K shows for ZR3500";

    // What a sweep leaves on the panel is no change of the inputs: its record stays.
    press("sweep_start_button");
    wait_for_the_end();
    QTest::qWait(400);
    EXPECT_FALSE(cell(2, SweepTableModel::Written).isEmpty()) << "the run's record was kept";
}

TEST_F(SweepWindowTest, RoundingLoopBandwidthAndTheIntegerBoundaryColumn)
{
    // ZR3100: 4049 truncates to 4000 MHz; the nearest channel is 4050 MHz.
    list("4049\n4025\n", 0.0);
    press("sweep_prepare");
    EXPECT_EQ(cell(0, SweepTableModel::Achieved).toStdString(), "4000.0000000");
    EXPECT_EQ(cell(0, SweepTableModel::IntegerBoundary).toStdString(), "none") << "a whole N";
    auto* round = part<QComboBox>("sweep_round");
    round->setCurrentIndex(round->findText(QStringLiteral("Nearest channel")));
    press("sweep_prepare");
    EXPECT_EQ(cell(0, SweepTableModel::Achieved).toStdString(), "4050.0000000");
    EXPECT_EQ(cell(1, SweepTableModel::Achieved).toStdString(), "4000.0000000") << "halfway: the lower";

    // ZR3500, 4321: the boundary spur 27525 / 65536 x 50 MHz out; 4050.0002 MHz
    // solves to A 1, K 1: one channel, 190.735 Hz, from 81 x Fc.
    menu("MENU_CHANGE_PART_ZR3500");
    list("4321\n4050.0002\n", 0.0);
    part<QLineEdit>("sweep_loop_bw")->setText(QStringLiteral("1"));
    press("sweep_prepare");
    EXPECT_EQ(cell(0, SweepTableModel::IntegerBoundary).toStdString(), "20.999908 MHz");
    EXPECT_EQ(cell(1, SweepTableModel::IntegerBoundary).toStdString(), "190.735 Hz (in loop)");
    const QAbstractItemModel* m = part<QTableView>("sweep_table")->model();
    EXPECT_TRUE(m->data(m->index(1, SweepTableModel::IntegerBoundary), Qt::ToolTipRole).isValid());
    EXPECT_FALSE(m->data(m->index(0, SweepTableModel::IntegerBoundary), Qt::ToolTipRole).isValid());

    part<QLineEdit>("sweep_loop_bw")->setText(QStringLiteral("wide"));
    EXPECT_FALSE(window->prepare());
    EXPECT_NE(window->message().toStdString().find("Loop bandwidth (kHz)"), std::string::npos)
        << window->message().toStdString();
    EXPECT_EQ(part<QTableView>("sweep_table")->model()->rowCount(), 0) << "no table of other inputs stays";
}
