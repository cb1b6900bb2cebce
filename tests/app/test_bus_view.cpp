// The bus view through the real panel and the simulated board: the burst of the
// next press before any, the last burst written after, each bit cell with the
// register bit it carries and each latch with its word, on the drawn items; zoom
// and scroll; the picture and the Value Change Dump it exports.
#include "support/board_fixture.h"
#include "support/operator_actions.h"
#include "support/sigrok_words.h"
#include "support/zrctl_run.h"

#include "app/calculator.h"
#include "app/main_panel.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"
#include "app/windows/bus_view.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

std::string file_text(const std::string& path)
{
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

}  // namespace

class BusView : public SimulatedBoardTest {
protected:
    void SetUp() override
    {
        SimulatedBoardTest::SetUp();
        ASSERT_EQ(FT_Open(0, &FTDIHandle), FT_OK);  // as start-up leaves it
        calculate_freq_from_regs(kModeRecompute);
    }

    void choose(const char* item) { operator_choose(PanelMenuBarWidget(panel), item); }
    void open()
    {
        choose("MENU_TOOLS_BUS_VIEW");
        ASSERT_NE(bus_view_window(), nullptr);
    }

    template <typename T>
    T* part(const char* name) const
    {
        T* w = bus_view_window() ? bus_view_window()->findChild<T*>(QString::fromLatin1(name)) : nullptr;
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    std::string header() const { return part<QLabel>("BusViewHeader")->text().toStdString(); }

    // The drawn items of a role, left to right, then top to bottom.
    std::vector<QGraphicsItem*> items(const char* role) const
    {
        std::vector<QGraphicsItem*> found;
        for (QGraphicsItem* i : bus_view_scene()->items())
            if (i->data(kBusItemRole).toString() == QLatin1String(role))
                found.push_back(i);
        std::sort(found.begin(), found.end(), [](QGraphicsItem* a, QGraphicsItem* b) {
            const QRectF ra = a->sceneBoundingRect(), rb = b->sceneBoundingRect();
            return ra.left() != rb.left() ? ra.left() < rb.left() : ra.top() < rb.top();
        });
        return found;
    }
    std::vector<std::string> texts(const char* role) const
    {
        std::vector<std::string> t;
        for (QGraphicsItem* i : items(role))
            t.push_back(i->data(kBusItemText).toString().toStdString());
        return t;
    }

    // The main word's settings of the bench: R 33, M 341, A 5, prescaler in use.
    void set_known_main_word()
    {
        SetCtrlVal(panel, PANEL_ENHBAR, 1);
        SetCtrlVal(panel, PANEL_SEC_4, 0);
        SetCtrlVal(panel, PANEL_R_REG, 33u);
        SetCtrlVal(panel, PANEL_M_REG, 341u);
        SetCtrlVal(panel, PANEL_A_REG, 5u);
        calculate_freq_from_regs(kModeRecompute);  // as the operator's entry does
    }
};

TEST_F(BusView, BeforeAnyPressItShowsTheBurstTheNextPressWouldSend)
{
    open();
    EXPECT_EQ(header(), "Not sent yet: the burst the next press of \"Program Device\" would send, 20 bytes, 16.28 µs.")
        << "the resource's settings: ENH \"Enable  (Low)\", the enhancement word";
    EXPECT_EQ(texts("cell-label"), (std::vector<std::string>{"E7", "E6", "E5", "E4", "E3", "E2", "E1", "E0"}));
    EXPECT_EQ(texts("latch-label"), std::vector<std::string>{"0x00: E 0"});
    EXPECT_EQ(items("latch").front()->data(kBusItemLine).toString(), "E_WR");
    const std::string rate = part<QLabel>("BusViewRate")->text().toStdString();
    EXPECT_NE(rate.find("1 228 800 bytes a second, 16 times the 76 800 baud"), std::string::npos) << rate;
    EXPECT_NE(rate.find("FT232R/FT245R"), std::string::npos) << rate;
    EXPECT_TRUE(board.bursts.empty()) << "looking sends nothing";

    set_known_main_word();
    open();
    EXPECT_EQ(header(), "Not sent yet: the burst the next press of \"Program Device\" would send, 49 bytes, 39.88 µs.");
    EXPECT_EQ(texts("latch-label"), std::vector<std::string>{"0x14AA2A: R 33, M 341, A 5, PS 0 (prescaler in use)"});
}

TEST_F(BusView, EachCellCarriesTheRegisterBitTheChipTakesFromIt)
{
    open();
    set_known_main_word();
    click(PANEL_SEND_DATA);
    ASSERT_EQ(board.bursts.size(), 1u);
    EXPECT_EQ(header(), "The last burst written, 49 bytes, 39.88 µs.") << "the open view follows the press";

    // R5 R4 M8 M7 PS M6 ... A0 and the fixed 0, on the line 1 0 1 0 0 1 0 1 0 1 0 1 0 0 0 1 0 1 0 1 0.
    EXPECT_EQ(texts("cell-label"),
              (std::vector<std::string>{"R5", "R4", "M8", "M7", "PS", "M6", "M5", "M4", "M3", "M2", "M1", "M0", "R3",
                                        "R2", "R1", "R0", "A3", "A2", "A1", "A0", "0"}));
    const std::vector<QGraphicsItem*> cells = items("cell");
    ASSERT_EQ(cells.size(), 21u);
    const int line[] = {1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0, 1, 0, 1, 0, 1, 0};
    for (std::size_t i = 0; i < cells.size(); ++i) {
        EXPECT_EQ(cells[i]->data(kBusItemValue).toInt(), line[i]) << "cell " << i;
        EXPECT_EQ(cells[i]->data(kBusItemByte).toULongLong(), 2 + 2 * i) << "a cell is two bytes from byte 2";
        EXPECT_EQ(cells[i]->data(kBusItemLine).toString(), "SDAT");
    }
    EXPECT_EQ(texts("latch-label"), std::vector<std::string>{"0x14AA2A: R 33, M 341, A 5, PS 0 (prescaler in use)"});
    const QGraphicsItem* latch = items("latch").front();
    EXPECT_EQ(latch->data(kBusItemByte).toULongLong(), 46u) << "S_WR rises at byte 46";
    EXPECT_EQ(latch->data(kBusItemLine).toString(), "S_WR");
    EXPECT_EQ(texts("line-name"),
              (std::vector<std::string>{"SCLK", "E_WR", "S_WR", "ENHBAR", "SDAT", "MASH", "RAND_EN", "MOD_SEL"}))
        << "one row a line";
    EXPECT_EQ(texts("wave").size(), 8u);
}

TEST_F(BusView, ItFollowsEachPressAndShowsBothWordsOfTheFractionalPart)
{
    set_known_main_word();
    click(PANEL_SEND_DATA);
    open();
    EXPECT_EQ(header(), "The last burst written, 49 bytes, 39.88 µs.") << "opened after a press: that press's burst";

    choose("MENU_CHANGE_PART_ZR3500");
    SetCtrlVal(panel, PANEL_K_REG, 1u);
    click(PANEL_SEND_DATA);
    EXPECT_EQ(header(), "The last burst written, 98 bytes, 79.75 µs.");
    const std::vector<std::string> labels = texts("cell-label");
    ASSERT_EQ(labels.size(), 42u);
    EXPECT_EQ(std::vector<std::string>(labels.begin() + 21, labels.begin() + 24),
              (std::vector<std::string>{"K17", "K16", "K15"}));
    EXPECT_EQ(std::vector<std::string>(labels.end() - 4, labels.end()),
              (std::vector<std::string>{"K0", "0", "0", "1"}));
    EXPECT_EQ(texts("latch-label").size(), 2u);
    EXPECT_EQ(texts("latch-label").back(), "0x000009: K 1");

    board.write_limit = 30;
    click(PANEL_SEND_DATA);
    EXPECT_EQ(header(), "The last press's write was short: the 30 of its 98 bytes the board took, 30 bytes, 24.41 µs.");
    EXPECT_TRUE(texts("latch-label").empty()) << "no strobe reached the chip";
    EXPECT_TRUE(part<QLabel>("BusViewFault")->isVisibleTo(bus_view_window()));
}

TEST_F(BusView, ZoomAndScrollAlongTime)
{
    set_known_main_word();
    click(PANEL_SEND_DATA);
    open();
    auto cell_width = [this] { return items("cell").front()->sceneBoundingRect().width(); };
    auto* scroll = part<QGraphicsView>("BusViewDiagram")->horizontalScrollBar();
    const double whole = cell_width();
    EXPECT_EQ(scroll->maximum(), 0) << "the whole burst fits the window at first";
    for (int i = 0; i < 3; ++i)
        part<QPushButton>("BusViewZoomIn")->click();
    EXPECT_GT(cell_width(), 3 * whole);
    EXPECT_GT(scroll->maximum(), 0) << "zoomed in, the diagram scrolls along time";
    EXPECT_EQ(texts("cell-label").size(), 21u) << "zooming draws the same cells";
    part<QPushButton>("BusViewFit")->click();
    EXPECT_DOUBLE_EQ(cell_width(), whole);
}

TEST_F(BusView, ExportsThePictureAndTheDumpThatZrctlWrites)
{
    QTemporaryDir dir;
    choose("MENU_CHANGE_PART_ZR3500");
    SetCtrlVal(panel, PANEL_ENHBAR, 1);
    SetCtrlVal(panel, PANEL_SEC_4, 0);
    SetCtrlVal(panel, PANEL_R_REG, 1u);
    SetCtrlVal(panel, PANEL_M_REG, 7u);
    SetCtrlVal(panel, PANEL_A_REG, 6u);
    SetCtrlVal(panel, PANEL_K_REG, 110100u);
    click(PANEL_SEND_DATA);
    open();

    const std::string vcd = dir.filePath("burst.vcd").toStdString();
    answer_next_popup(vcd);
    part<QPushButton>("BusViewExportVcd")->click();
    const std::string zrctl_vcd = dir.filePath("zrctl.vcd").toStdString();
    const ZrctlRun run = run_zrctl({"burst", "--part", "zr3500", "--prescaler", "10/11", "--r", "1", "--m", "7", "--a",
                                    "6", "--k", "110100", "--vcd", zrctl_vcd});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(file_text(vcd), file_text(zrctl_vcd)) << "the panel and zrctl write the same dump";
    if (have_sigrok_cli()) {
        EXPECT_EQ(sigrok_spi_words(vcd, 21), (std::vector<uint32_t>{0x000E2C, 0x0D70A1}));
    }

    const std::string png = dir.filePath("burst.png").toStdString();
    answer_next_popup(png);
    part<QPushButton>("BusViewExportPicture")->click();
    const QImage picture(QString::fromStdString(png));
    EXPECT_FALSE(picture.isNull()) << "a PNG picture of the diagram";
    EXPECT_GE(picture.width(), static_cast<int>(bus_view_scene()->sceneRect().width()));
}
