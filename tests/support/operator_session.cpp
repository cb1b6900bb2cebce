#include "support/operator_session.h"

#include "support/operator_actions.h"
#include "support/panel_checks.h"

#include "app/toggle_rows.h"
#include "resource/New_Panel.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>
#include <QWidget>

#include <iterator>

namespace {

constexpr int kSwitches[] = {PANEL_SEC_4, PANEL_MOD_SEL, PANEL_RAND_EN, PANEL_MASH, PANEL_ENHBAR, PANEL_LNM};
constexpr int kFields[] = {PANEL_REF_FREQ, PANEL_PLL_FREQ, PANEL_R_REG, PANEL_M_REG,
                           PANEL_A_REG,    PANEL_K_REG,    PANEL_E_REG};


}  // namespace

OperatorSession::OperatorSession(int panel, SimulatedBoard& board, uint64_t seed)
    : panel_(panel), board_(board), random_(seed)
{
}

bool OperatorSession::reachable(int control) const
{
    int shown = 0, dimmed = 0;
    GetCtrlAttribute(panel_, control, ATTR_VISIBLE, &shown);
    GetCtrlAttribute(panel_, control, ATTR_DIMMED, &dimmed);
    return shown && !dimmed;
}

std::string OperatorSession::act()
{
    bursts_before_ = board_.bursts.size();
    reset_callback_stats();
    const unsigned kind = pick(100);
    if (kind < 30)
        return click_toggle();
    if (kind < 42)
        return click_switch();
    if (kind < 70)
        return type_value();
    if (kind < 85)
        return step_field();
    if (kind < 88)
        return choose_part();
    if (kind < 97)
        return press();
    return inject_fault();
}

std::string OperatorSession::click(int control)
{
    if (!reachable(control))
        return "nothing (" + control_name(control) + " out of reach)";
    operator_click(CtrlWidget(panel_, control));
    return "click " + control_name(control);
}

std::string OperatorSession::click_toggle()
{
    static const ToggleRow rows[] = {kRToggles, kMToggles, kAToggles, kKToggles, kEToggles};
    const ToggleRow row = rows[pick(std::size(rows))];
    return click(row[pick(static_cast<unsigned>(row.size()))]);
}

std::string OperatorSession::click_switch()
{
    return click(kSwitches[pick(std::size(kSwitches))]);
}

std::string OperatorSession::type_value()
{
    const int control = kFields[pick(std::size(kFields))];
    if (!reachable(control))
        return "nothing (" + control_name(control) + " out of reach)";
    const ControlDef* def = CtrlDef(panel_, control);
    std::string typed;
    switch (pick(10)) {
    case 0: typed = ""; break;
    case 1: typed = "abc"; break;
    case 2: typed = std::to_string(pick(100)) + "," + std::to_string(pick(10)); break;
    case 3: typed = "-" + std::to_string(pick(1000)); break;
    case 4: typed = std::to_string(static_cast<uint64_t>(def->maximum) + 1 + pick(100000)); break;
    case 5: typed = "4294967296"; break;
    case 6: typed = std::to_string(pick(static_cast<unsigned>(def->maximum) + 1)) + "." + std::to_string(pick(1000000)); break;
    default: typed = std::to_string(pick(static_cast<unsigned>(def->maximum) + 1)); break;
    }
    const bool leave = pick(4) == 0;
    operator_type(CtrlWidget(panel_, control), typed, leave);
    return "type \"" + typed + "\" in " + control_name(control) + (leave ? ", then leave it" : ", then Enter");
}

std::string OperatorSession::step_field()
{
    const int control = pick(2) == 0 ? PANEL_PLL_FREQ : kFields[pick(std::size(kFields))];
    if (!reachable(control))
        return "nothing (" + control_name(control) + " out of reach)";
    QWidget* w = CtrlWidget(panel_, control);
    const bool up = pick(2) == 0;
    if (pick(2) == 0) {
        QTest::keyClick(w, up ? Qt::Key_Up : Qt::Key_Down);
        return std::string(up ? "arrow key up" : "arrow key down") + " in " + control_name(control);
    }
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(w->width() - 4, up ? 4 : w->height() - 4));
    return std::string(up ? "arrow button up" : "arrow button down") + " of " + control_name(control);
}

std::string OperatorSession::choose_part()
{
    const char* item = pick(2) == 0 ? "MENU_CHANGE_PART_ZR3100" : "MENU_CHANGE_PART_ZR3500";
    PanelMenuBarWidget(panel_)->findChild<QAction*>(QString::fromLatin1(item))->trigger();
    return std::string("choose ") + item;
}

std::string OperatorSession::press()
{
    ++presses_;
    operator_click(CtrlWidget(panel_, PANEL_SEND_DATA));
    return "press Program Device";
}

std::string OperatorSession::inject_fault()
{
    board_.count_status = pick(8) == 0 ? FT_IO_ERROR : FT_OK;
    board_.device_count = pick(8) == 0 ? 0 : 1 + pick(2);
    board_.write_status = pick(6) == 0 ? FT_IO_ERROR : FT_OK;
    board_.write_limit = pick(6) == 0 ? pick(98) : 0xFFFFFFFF;
    return "board faults: count status " + std::to_string(board_.count_status) + ", " +
           std::to_string(board_.device_count) + " devices, write status " + std::to_string(board_.write_status) +
           ", write limit " + std::to_string(board_.write_limit);
}

std::string OperatorSession::check() const
{
    const CallbackStats stats = callback_stats();
    if (stats.dispatched > 1 || stats.deepest > 1)
        return std::to_string(stats.dispatched) + " callbacks ran, nested " + std::to_string(stats.deepest) +
               " deep: a value written by code ran a callback";
    if (std::string broken = broken_panel_invariant(); !broken.empty())
        return broken;
    if (board_.bursts.size() > bursts_before_ + 1)
        return "more than one write for one press";
    if (board_.bursts.size() == bursts_before_ + 1)
        if (std::string differs = burst_differs_from_panel(board_.bursts.back()); !differs.empty())
            return "the burst differs from the panel: " + differs;
    return "";
}
