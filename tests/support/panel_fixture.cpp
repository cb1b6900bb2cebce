#include "support/panel_fixture.h"

#include "support/operator_actions.h"

#include "app/lifecycle.h"
#include "app/main_panel.h"
#include "ui_runtime/ui_runtime.h"
#include "ui_runtime/ui_runtime_qt.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

std::string CtrlName(int control)
{
    return control_name(control);
}

void MainPanelTest::SetUp()
{
    regs = RegisterSet{};
    panel = LoadPanel(0, kResourceFile, PANEL);
    ASSERT_GT(panel, 0);
    MainPanelHandle = panel;
}

void MainPanelTest::TearDown()
{
    DiscardPanel(panel);
    MainPanelHandle = 0;
}

QWidget* MainPanelTest::widget(int control) const
{
    QWidget* w = CtrlWidget(panel, control);
    EXPECT_NE(w, nullptr) << "no widget for control " << control;
    return w;
}

int MainPanelTest::int_val(int control) const
{
    int v = -12345;
    EXPECT_EQ(GetCtrlVal(panel, control, &v), 0);
    return v;
}

unsigned MainPanelTest::uint_val(int control) const
{
    unsigned v = 12345;
    EXPECT_EQ(GetCtrlVal(panel, control, &v), 0);
    return v;
}

double MainPanelTest::double_val(int control) const
{
    double v = -1.0;
    EXPECT_EQ(GetCtrlVal(panel, control, &v), 0);
    return v;
}

std::string MainPanelTest::text(int control) const
{
    std::string v;
    EXPECT_EQ(GetCtrlVal(panel, control, &v), 0);
    return v;
}

bool MainPanelTest::visible(int control) const
{
    int v = -1;
    EXPECT_EQ(GetCtrlAttribute(panel, control, ATTR_VISIBLE, &v), 0);
    return v != 0;
}

bool MainPanelTest::dimmed(int control) const
{
    int v = -1;
    EXPECT_EQ(GetCtrlAttribute(panel, control, ATTR_DIMMED, &v), 0);
    return v != 0;
}

void MainPanelTest::click(int control)
{
    operator_click(widget(control));
}

void MainPanelTest::type_and_enter(int control, const std::string& typed)
{
    ASSERT_NE(qobject_cast<QAbstractSpinBox*>(widget(control)), nullptr) << CtrlName(control) << " is no field";
    operator_type(widget(control), typed);
}

void MainPanelTest::arrow(int control, bool up)
{
    QTest::keyClick(widget(control), up ? Qt::Key_Up : Qt::Key_Down);
}
