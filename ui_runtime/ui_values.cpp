// Control values in each control's own type, and control and panel attributes.
#include "ui_runtime/ui_runtime_state.h"
#include "ui_runtime/widgets.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace ui_layer;

namespace {

const char* type_name(ValueType t)
{
    switch (t) {
    case ValueType::None: return "no value";
    case ValueType::Int: return "int";
    case ValueType::Unsigned: return "unsigned int";
    case ValueType::Double: return "double";
    case ValueType::Text: return "text";
    }
    return "?";
}

// A read or write in a type the control does not hold is a fault in the calling
// code, never an operator error: going on would hand it a wrong value. Say which
// control, and stop, in every build.
[[noreturn]] void wrong_type(const char* operation, const Control& c, ValueType used)
{
    std::fprintf(stderr, "%s: %s holds %s, used as %s\n", operation, c.def.constant.c_str(),
                 type_name(c.def.type), type_name(used));
    std::fflush(stderr);
    std::abort();
}

int to_int(double value)
{
    if (!(value > -2147483648.0))  // also NaN
        return value > 0 ? 2147483647 : (std::isnan(value) ? 0 : -2147483647 - 1);
    if (value >= 2147483647.0)
        return 2147483647;
    return static_cast<int>(value);
}

// The control, if it holds a value of that type; else nullptr with the reason in *status.
Control* control_holding(int panel, int control, ValueType type, const char* operation, int* status)
{
    Control* c = find_control(panel, control, status);
    if (c && c->def.type != type)
        wrong_type(operation, *c, type);
    return c;
}

}  // namespace

int GetCtrlVal(int panel, int control, int* value)
{
    int status = 0;
    Control* c = control_holding(panel, control, ValueType::Int, "GetCtrlVal", &status);
    if (!c)
        return status;
    if (c->def.kind == ControlKind::BinarySwitch)
        *value = static_cast<BinarySwitch*>(c->widget)->value();
    else
        *value = static_cast<BitToggle*>(c->widget)->value();
    return UI_OK;
}

int GetCtrlVal(int panel, int control, unsigned int* value)
{
    int status = 0;
    Control* c = control_holding(panel, control, ValueType::Unsigned, "GetCtrlVal", &status);
    if (!c)
        return status;
    *value = static_cast<NumericField*>(c->widget)->heldUnsigned();
    return UI_OK;
}

int GetCtrlVal(int panel, int control, double* value)
{
    int status = 0;
    Control* c = control_holding(panel, control, ValueType::Double, "GetCtrlVal", &status);
    if (!c)
        return status;
    *value = static_cast<NumericField*>(c->widget)->value();
    return UI_OK;
}

int GetCtrlVal(int panel, int control, std::string* value)
{
    int status = 0;
    Control* c = control_holding(panel, control, ValueType::Text, "GetCtrlVal", &status);
    if (!c)
        return status;
    if (c->def.kind == ControlKind::TextBox)
        *value = static_cast<QPlainTextEdit*>(c->widget)->toPlainText().toStdString();
    else
        *value = static_cast<QLabel*>(c->widget)->text().toStdString();
    return UI_OK;
}

namespace {

// Writes a number into a numeric field, switch or toggle, converted to its type.
int set_number(Control& c, double as_double, uint32_t as_unsigned, int as_int, ValueType given)
{
    switch (c.def.type) {
    case ValueType::Unsigned:
        if (given == ValueType::Double)
            static_cast<NumericField*>(c.widget)->setHeld(as_double);
        else
            static_cast<NumericField*>(c.widget)->setHeldUnsigned(as_unsigned);
        return UI_OK;
    case ValueType::Double:
        static_cast<NumericField*>(c.widget)->setHeld(as_double);
        return UI_OK;
    case ValueType::Int:
        if (c.def.kind == ControlKind::BinarySwitch)
            static_cast<BinarySwitch*>(c.widget)->setValue(as_int);
        else
            static_cast<BitToggle*>(c.widget)->setValue(as_int);
        return UI_OK;
    case ValueType::None:
    case ValueType::Text:
        break;
    }
    wrong_type("SetCtrlVal", c, given);
}

}  // namespace

int SetCtrlVal(int panel, int control, int value)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    // An int written into an unsigned field is taken as its unsigned bit pattern.
    return set_number(*c, value, static_cast<uint32_t>(value), value, ValueType::Int);
}

int SetCtrlVal(int panel, int control, unsigned int value)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    return set_number(*c, value, value, static_cast<int>(value), ValueType::Unsigned);
}

int SetCtrlVal(int panel, int control, double value)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    const double whole = std::isfinite(value) ? std::trunc(value) : 0.0;
    const uint32_t as_unsigned = whole <= 0.0 ? 0u : whole >= 4294967295.0 ? 4294967295u : static_cast<uint32_t>(whole);
    return set_number(*c, value, as_unsigned, to_int(value), ValueType::Double);
}

int SetCtrlVal(int panel, int control, const char* value)
{
    int status = 0;
    Control* c = control_holding(panel, control, ValueType::Text, "SetCtrlVal", &status);
    if (!c)
        return status;
    const QString text = QString::fromUtf8(value ? value : "");
    if (c->def.kind == ControlKind::TextBox) {
        // A text box collects what is written to it.
        auto* box = static_cast<QPlainTextEdit*>(c->widget);
        QTextCursor end = box->textCursor();
        end.movePosition(QTextCursor::End);
        end.insertText(text);
        box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
    } else {
        static_cast<QLabel*>(c->widget)->setText(text);
        if (auto* fitted = qobject_cast<FittedTextLabel*>(c->widget))
            fitted->updateTip();
    }
    return UI_OK;
}

// ---------------------------------------------------------------- attributes

int SetCtrlAttribute(int panel, int control, int attribute, int value)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    QWidget* w = c->widget;
    switch (attribute) {
    case ATTR_VISIBLE:
        w->setHidden(value == 0);
        if (c->label)
            c->label->setHidden(value == 0);
        return UI_OK;
    case ATTR_DIMMED:
        c->dimmed = value != 0;
        w->setEnabled(!c->dimmed);
        if (c->label)
            c->label->setEnabled(!c->dimmed);
        return UI_OK;
    case ATTR_TEXT_COLOR:
        c->text_color = value;
        set_text_color(w, value);
        return UI_OK;
    case ATTR_TOP: w->move(w->x(), value); return UI_OK;
    case ATTR_LEFT: w->move(value, w->y()); return UI_OK;
    case ATTR_WIDTH: w->resize(value, w->height()); return UI_OK;
    case ATTR_HEIGHT: w->resize(w->width(), value); return UI_OK;
    }
    return UI_ERR_BAD_ATTRIBUTE;
}

int GetCtrlAttribute(int panel, int control, int attribute, int* value)
{
    int status = 0;
    Control* c = find_control(panel, control, &status);
    if (!c)
        return status;
    const QWidget* w = c->widget;
    switch (attribute) {
    case ATTR_VISIBLE: *value = w->isHidden() ? 0 : 1; return UI_OK;
    case ATTR_DIMMED: *value = c->dimmed ? 1 : 0; return UI_OK;
    case ATTR_TEXT_COLOR: *value = c->text_color; return UI_OK;
    case ATTR_TOP: *value = w->y(); return UI_OK;
    case ATTR_LEFT: *value = w->x(); return UI_OK;
    case ATTR_WIDTH: *value = w->width(); return UI_OK;
    case ATTR_HEIGHT: *value = w->height(); return UI_OK;
    }
    return UI_ERR_BAD_ATTRIBUTE;
}

int SetPanelAttribute(int panel, int attribute, int value)
{
    Panel* p = find_panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    QWidget* w = p->window;
    QWidget* frame = p->frame.get();
    switch (attribute) {
    case ATTR_HEIGHT:
        w->setFixedHeight(value);
        if (frame->isVisible())
            p->frame->fitToPanel();
        return UI_OK;
    case ATTR_WIDTH:
        w->setFixedWidth(value);
        if (frame->isVisible())
            p->frame->fitToPanel();
        return UI_OK;
    case ATTR_TOP: frame->move(frame->x(), value); return UI_OK;
    case ATTR_LEFT: frame->move(value, frame->y()); return UI_OK;
    }
    return UI_ERR_BAD_ATTRIBUTE;
}

int GetPanelAttribute(int panel, int attribute, int* value)
{
    Panel* p = find_panel(panel);
    if (!p)
        return UI_ERR_BAD_HANDLE;
    const QWidget* w = p->window;
    const QWidget* frame = p->frame.get();
    switch (attribute) {
    case ATTR_HEIGHT: *value = w->height(); return UI_OK;
    case ATTR_WIDTH: *value = w->width(); return UI_OK;
    case ATTR_TOP: *value = frame->y(); return UI_OK;
    case ATTR_LEFT: *value = frame->x(); return UI_OK;
    }
    return UI_ERR_BAD_ATTRIBUTE;
}
