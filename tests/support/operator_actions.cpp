#include "support/operator_actions.h"

#include "panel/New_Panel.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

void operator_click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

void operator_type(QWidget* field, const std::string& typed, bool leave)
{
    auto* spin = qobject_cast<QAbstractSpinBox*>(field);
    QLineEdit* edit = spin ? spin->findChild<QLineEdit*>() : nullptr;
    if (!edit)
        return;
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, QString::fromStdString(typed));
    if (leave) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(spin, &out);
    } else {
        QTest::keyClick(spin, Qt::Key_Return);
    }
}

std::string control_name(int control)
{
    const std::string_view name = constant_name(ConstantGroup::MainControls, control);
    return name.empty() ? "control " + std::to_string(control) : std::string(name);
}

int control_named(const std::string& name)
{
    return find_constant(ConstantGroup::MainControls, name);
}
