#include "panel_fixture.h"

#include "model/register_set.h"
#include "panel/main_panel.h"
#include "panel/ui_runtime.h"
#include "panel/ui_runtime_qt.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

std::string CtrlName(int control)
{
    for (const NamedConstant* c = constants_begin(ConstantGroup::MainControls); c != constants_end(ConstantGroup::MainControls); ++c)
        if (c->value == control)
            return std::string(c->name);
    return "control " + std::to_string(control);
}

void MainPanelTest::SetUp()
{
    regs = RegisterSet{};
    panel = LoadPanel(0, "New_Panel.uir", PANEL);
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
    QWidget* w = widget(control);
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
}

void MainPanelTest::type_and_enter(int control, const std::string& typed)
{
    auto* field = qobject_cast<QAbstractSpinBox*>(widget(control));
    ASSERT_NE(field, nullptr);
    QLineEdit* edit = field->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, QString::fromStdString(typed));
    QTest::keyClick(field, Qt::Key_Return);
}

void MainPanelTest::arrow(int control, bool up)
{
    QTest::keyClick(widget(control), up ? Qt::Key_Up : Qt::Key_Down);
}
