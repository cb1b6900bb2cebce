// The windows on the screen the tests run on, and the keys. The tests of the
// ScreenRoom group run again on a 1366x768 laptop screen, and on that screen at
// a scale of 1.5 (see CMakeLists.txt): every window opens within the screen with
// its buttons inside it, and the main panel shows its Status box where the
// screen has the room for it.
#include "support/board_fixture.h"
#include "support/operator_actions.h"

#include "app/calculator.h"
#include "app/main_panel.h"
#include "app/windows/bus_view.h"
#include "app/windows/sweep_window.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <sstream>

namespace {

std::string size_text(const QRect& r)
{
    std::ostringstream s;
    s << r.width() << "x" << r.height() << "+" << r.x() << "+" << r.y();
    return s.str();
}

class ScreenRoom : public SimulatedBoardTest {
protected:
    void SetUp() override
    {
        SimulatedBoardTest::SetUp();
        calculate_freq_from_regs(kModeRecompute);
    }
    void choose(const char* item) { operator_choose(PanelMenuBarWidget(panel), item); }
    // The main panel at its running height, shown and active.
    QWidget* show_panel()
    {
        SetPanelAttribute(panel, ATTR_HEIGHT, 805);
        DisplayPanel(panel);
        QWidget* window = PanelWindow(panel)->window();
        QApplication::setActiveWindow(window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        return window;
    }

    // The window lies within its screen's room, and so does each button it shows.
    static void expect_within_screen(QWidget* window, const char* what)
    {
        const QRect room = window->screen()->availableGeometry();
        EXPECT_TRUE(room.contains(window->frameGeometry()))
            << what << " at " << size_text(window->frameGeometry()) << " on a screen of " << size_text(room);
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
            if (!b->isVisibleTo(window) || qobject_cast<QScrollArea*>(b->parentWidget()))
                continue;
            const QRect at(b->mapTo(window, QPoint(0, 0)), b->size());
            EXPECT_TRUE(window->rect().contains(at))
                << what << ": \"" << b->text().toStdString() << "\" at " << size_text(at) << " outside "
                << size_text(window->rect());
        }
    }
};

}  // namespace

TEST_F(ScreenRoom, TheToolWindowsOpenWithinTheScreenWithTheirButtonsInThem)
{
    show_panel();
    choose("MENU_TOOLS_SWEEP");
    ASSERT_NE(sweep_window(), nullptr);
    expect_within_screen(sweep_window(), "the sweep window");
    choose("MENU_TOOLS_BUS_VIEW");
    ASSERT_NE(bus_view_window(), nullptr);
    expect_within_screen(bus_view_window(), "the bus view");
}

TEST_F(ScreenRoom, TheMainPanelShowsItsStatusBoxWhereTheScreenHasTheRoom)
{
    auto* frame = qobject_cast<QScrollArea*>(show_panel());
    ASSERT_NE(frame, nullptr);
    const QRect room = frame->screen()->availableGeometry();
    EXPECT_TRUE(room.contains(frame->frameGeometry()))
        << size_text(frame->frameGeometry()) << " on a screen of " << size_text(room);
    if (room.width() > frame->frameGeometry().width() + frame->verticalScrollBar()->width()) {
        EXPECT_FALSE(frame->horizontalScrollBar()->isVisible()) << "the panel's whole width fits";
    }

    QWidget* status = widget(PANEL_Status);
    const QRect box(status->mapTo(frame->viewport(), QPoint(0, 0)), status->size());
    const int needed = status->mapTo(PanelWindow(panel), QPoint(0, status->height())).y();
    const int frame_height = frame->frameGeometry().height() - frame->height();
    if (room.height() - frame_height >= needed)
        EXPECT_TRUE(frame->viewport()->rect().contains(box))
            << "Status at " << size_text(box) << " in a view of " << size_text(frame->viewport()->rect());
    else
        EXPECT_GE(frame->verticalScrollBar()->maximum(), needed - frame->viewport()->height())
            << "Status can be scrolled to";
}

// The keys, sent to the widgets that have the focus.
class Keys : public ScreenRoom {};

TEST_F(Keys, CtrlReturnProgramsWhatWasTypedAndTheTooltipSaysSo)
{
    ASSERT_EQ(FT_Open(0, &FTDIHandle), FT_OK);
    show_panel();
    EXPECT_NE(widget(PANEL_SEND_DATA)->toolTip().toStdString().find("Ctrl+Return"), std::string::npos)
        << widget(PANEL_SEND_DATA)->toolTip().toStdString();
    SetCtrlVal(panel, PANEL_ENHBAR, 1);
    auto* edit = widget(PANEL_PLL_FREQ)->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    widget(PANEL_PLL_FREQ)->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("4321"));
    QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(board.bursts.size(), 1u) << "one press of Program Device";
    EXPECT_NE(double_val(PANEL_PLL_FREQ), 4000.0) << "the typed target was solved before the press";
    EXPECT_GT(uint_val(PANEL_M_REG), 7u);
}

TEST_F(Keys, CtrlSAndCtrlOSaveAndOpenASetup)
{
    QWidget* window = show_panel();
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("bench.zrs")).toStdString();
    SetCtrlVal(panel, PANEL_R_REG, 9u);
    answer_next_popup(path);
    QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(std::ifstream(path).good()) << "Ctrl+S saved the setup";
    EXPECT_EQ(last_file_kinds(), (std::vector<std::string>{"Setups (*.zrs)", "All files (*)"}));

    SetCtrlVal(panel, PANEL_R_REG, 2u);
    QApplication::setActiveWindow(window);  // as the desktop gives it back once the box closes
    answer_next_popup(path);
    QTest::keyClick(widget(PANEL_REF_FREQ), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(uint_val(PANEL_R_REG), 9u) << "Ctrl+O opened it";
    EXPECT_EQ(last_file_kinds().front(), "Setups and panel states (*.zrs *.sts)");
    EXPECT_EQ(last_file_kinds().back(), "All files (*)");

    const QMenuBar* bar = PanelMenuBarWidget(panel);
    EXPECT_EQ(bar->findChild<QAction*>(QStringLiteral("MENU_SETUP_SAVE"))->text().remove(QLatin1Char('&')),
              QStringLiteral("Save setup as...")) << "the menu keeps its text; the key stands beside it";
}

TEST_F(Keys, EscClosesTheToolWindows)
{
    show_panel();
    choose("MENU_TOOLS_SWEEP");
    ASSERT_TRUE(sweep_window()->isVisible());
    QTest::keyClick(sweep_window()->findChild<QLineEdit*>(QStringLiteral("sweep_start")), Qt::Key_Escape);
    EXPECT_FALSE(sweep_window()->isVisible());

    choose("MENU_TOOLS_BUS_VIEW");
    ASSERT_TRUE(bus_view_window()->isVisible());
    QTest::keyClick(bus_view_window()->findChild<QGraphicsView*>(QStringLiteral("BusViewDiagram")), Qt::Key_Escape);
    EXPECT_FALSE(bus_view_window()->isVisible());
}

TEST_F(ScreenRoom, TheBusViewKeepsTheLineNamesInViewAlongTime)
{
    show_panel();
    choose("MENU_TOOLS_BUS_VIEW");
    auto* view = bus_view_window()->findChild<QGraphicsView*>(QStringLiteral("BusViewDiagram"));
    ASSERT_NE(view, nullptr);
    for (int i = 0; i < 4; ++i)
        bus_view_window()->findChild<QPushButton*>(QStringLiteral("BusViewZoomIn"))->click();
    QScrollBar* time = view->horizontalScrollBar();
    ASSERT_GT(time->maximum(), 0);
    for (int at : {time->maximum() / 2, time->maximum()}) {
        time->setValue(at);
        const QRectF shown = view->mapToScene(view->viewport()->rect()).boundingRect();
        int names = 0;
        for (QGraphicsItem* item : view->scene()->items()) {
            if (item->data(kBusItemRole).toString() != QLatin1String("line-name"))
                continue;
            ++names;
            const QRectF name = item->sceneBoundingRect();
            const std::string text = item->data(kBusItemText).toString().toStdString();
            EXPECT_TRUE(name.left() >= shown.left() && name.left() < shown.left() + 20)
                << text << " at " << name.left() << ", the view's left edge at " << shown.left();
            if (!shown.contains(name.center()))
                continue;  // a row below the view's height
            const QList<QGraphicsItem*> under = view->items(view->mapFromScene(name.center()));
            ASSERT_FALSE(under.isEmpty());
            EXPECT_TRUE(under.front() == item || under.front() == item->parentItem())
                << text << " is drawn over the waves";
        }
        EXPECT_EQ(names, 8);
    }
}
