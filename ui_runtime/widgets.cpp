#include "ui_runtime/widgets.h"

#include "ui_runtime/ui_runtime.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

// ---------------------------------------------------------------- NumericField

NumericField::NumericField(bool is_unsigned, double minimum, double maximum, double increment,
                           int precision, QWidget* parent)
    : QDoubleSpinBox(parent), unsigned_(is_unsigned), precision_(precision), range_min_(minimum),
      range_max_(maximum)
{
    // QDoubleSpinBox rounds what it holds to its decimals. With the most decimals
    // it allows, a double field rounds nothing and holds every double exactly; an
    // unsigned field holds whole numbers only.
    setDecimals(is_unsigned ? 0 : std::numeric_limits<double>::max_exponent10 + std::numeric_limits<double>::digits10);
    setRange(minimum, maximum);
    setSingleStep(increment);
    // The value changes when the operator commits, not at every keystroke.
    setKeyboardTracking(false);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The wheel turns a field only once it has the focus: scrolling past it turns nothing.
    setFocusPolicy(Qt::StrongFocus);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        edited_ = true;
        rejection_.clear();
    });
    connect(this, &QDoubleSpinBox::valueChanged, this, [this] { updateMark(); });
}

void NumericField::hold(double value)
{
    // An unsigned field holds a register: no value beyond its range can stand in
    // it, so such a write is coerced. A double field holds any finite value.
    if (unsigned_ || !std::isfinite(value))
        value = std::clamp(value, range_min_, range_max_);
    if (value < range_min_ || value > range_max_)
        setRange(std::min(range_min_, value), std::max(range_max_, value));
    setValue(value);
    if (value >= range_min_ && value <= range_max_)
        setRange(range_min_, range_max_);
    updateMark();
}

void NumericField::setHeld(double value)
{
    if (std::isnan(value))
        value = range_min_;
    hold(unsigned_ ? std::trunc(value) : value);
}

void NumericField::setHeldUnsigned(uint32_t value)
{
    // Every 32-bit value is exact as a double.
    hold(static_cast<double>(value));
}

uint32_t NumericField::heldUnsigned() const
{
    const double v = value();
    return v <= 0.0 ? 0u : v >= 4294967295.0 ? 4294967295u : static_cast<uint32_t>(v);
}

void NumericField::setDescription(const QString& text)
{
    description_ = text;
    updateMark();
}

void NumericField::updateMark()
{
    const bool outside = isOutsideRange();
    QString tip = description_;
    if (outside) {
        const QString note = QStringLiteral("Outside this field's range of %1 to %2: the value is shown as the "
                                            "program computed it.")
                                 .arg(textFromValue(range_min_), textFromValue(range_max_));
        tip = tip.isEmpty() ? note : tip + QStringLiteral("\n") + note;
    }
    setToolTip(tip);
    QPalette pal = lineEdit()->palette();
    pal.setColor(QPalette::Text, outside ? QColor(0xb0, 0x10, 0x10) : palette().color(QPalette::Text));
    lineEdit()->setPalette(pal);
    setProperty("outsideRange", outside);
}

QString NumericField::textFromValue(double value) const
{
    return QString::number(value, 'f', precision_);
}

bool NumericField::parse(const QString& text, double* value)
{
    // Numbers are always written with a point: a German desktop must not read
    // 12.5 as 125, and 12,5 is not a number here.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double d = c.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(d))
        return false;
    *value = d;
    return true;
}

double NumericField::asEntered(double typed) const
{
    const double whole = unsigned_ ? std::trunc(typed) : typed;
    return std::clamp(whole, range_min_, range_max_);
}

double NumericField::valueFromText(const QString& text) const
{
    // Enter re-reads the text even when nothing was typed; the shown text has
    // fewer decimals than the held value, so keep the held value then. Anything
    // typed is an entry, even the very text that was shown.
    if (!edited_ && text == textFromValue(value()))
        return value();
    double d = 0.0;
    return parse(text, &d) ? asEntered(d) : value();
}

QValidator::State NumericField::validate(QString& text, int&) const
{
    // Let the operator type freely; text that is no number is dropped at commit.
    double d = 0.0;
    return parse(text, &d) ? QValidator::Acceptable : QValidator::Intermediate;
}

bool NumericField::typedTextIsNumber() const
{
    double d = 0.0;
    return parse(lineEdit()->text(), &d);
}

void NumericField::refuseTypedText()
{
    const QString typed = lineEdit()->text().trimmed();
    rejection_ = typed.contains(QLatin1Char(',')) ? QStringLiteral("use a decimal point")
                                                  : QStringLiteral("not a number");
    lineEdit()->setText(textFromValue(value()));
    edited_ = false;
    if (isVisible())
        QToolTip::showText(mapToGlobal(QPoint(0, height())), rejection_, this);
}

void NumericField::stepBy(int steps)
{
    if (edited_ && !typedTextIsNumber())
        refuseTypedText();
    if (isOutsideRange()) {
        // A value the program wrote outside the range: step from it, as from any other.
        hold(value() + steps * singleStep());
    } else {
        // Adds exactly steps x increment to the held value, then keeps it in range.
        QDoubleSpinBox::stepBy(steps);
    }
    edited_ = false;
    emit committed();
}

void NumericField::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDoubleSpinBox::keyPressEvent(event);
        return;
    }
    if (edited_ && !typedTextIsNumber()) {
        refuseTypedText();
        event->accept();
        return;
    }
    QDoubleSpinBox::keyPressEvent(event);
    // The value taken is shown as it is held: a typed fraction in an unsigned field
    // shows its whole part.
    lineEdit()->setText(textFromValue(value()));
    edited_ = false;
    emit committed();
}

void NumericField::focusOutEvent(QFocusEvent* event)
{
    const bool commit = edited_ && typedTextIsNumber();
    if (edited_ && !commit)
        refuseTypedText();
    QDoubleSpinBox::focusOutEvent(event);
    edited_ = false;
    if (commit) {
        lineEdit()->setText(textFromValue(value()));
        emit committed();
    }
}

QAbstractSpinBox::StepEnabled NumericField::stepEnabled() const
{
    // From a value held outside the range, both ways are a step.
    if (isOutsideRange())
        return StepUpEnabled | StepDownEnabled;
    return QDoubleSpinBox::stepEnabled();
}

void NumericField::wheelEvent(QWheelEvent* event)
{
    if (!hasFocus()) {
        event->ignore();  // to the panel, which may scroll
        return;
    }
    QDoubleSpinBox::wheelEvent(event);
}

// ---------------------------------------------------------------- two-position controls

namespace {

constexpr int kSlotWidth = 12;
const QColor kInk(0x20, 0x20, 0x20);
const QColor kFaintInk(0x90, 0x90, 0x90);
const QColor kLit(0x1a, 0x7f, 0x37);
const QColor kFocus(0x1f, 0x6f, 0xeb);

}  // namespace

TwoPositionControl::TwoPositionControl(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void TwoPositionControl::setOn(bool on)
{
    on_ = on;
    update();
}

void TwoPositionControl::flip()
{
    setOn(!on_);
    emit committed();
}

void TwoPositionControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        flip();
}

void TwoPositionControl::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space)
        flip();
    else
        QWidget::keyPressEvent(event);
}

void TwoPositionControl::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void TwoPositionControl::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void TwoPositionControl::paintFocusRing(QPainter& p) const
{
    if (!hasFocus())
        return;
    p.setPen(QPen(kFocus, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);
}

BinarySwitch::BinarySwitch(const QString& on_text, int on_value, const QString& off_text,
                           int off_value, QWidget* parent)
    : TwoPositionControl(parent), on_text_(on_text), off_text_(off_text), on_value_(on_value), off_value_(off_value)
{
}

QSize BinarySwitch::sizeHint() const
{
    const QFontMetrics fm(font());
    return {kSlotWidth + 6 + std::max(fm.horizontalAdvance(on_text_), fm.horizontalAdvance(off_text_)), 36};
}

void BinarySwitch::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool active = isEnabled();
    const bool on = isOn();
    const int h = height();

    // The slot, with the lever at the upper (on) or lower (off) position.
    const QRectF slot(1.5, 2.5, kSlotWidth, h - 5);
    p.setPen(QPen(active ? kInk : kFaintInk, 1));
    p.setBrush(QColor(0xd8, 0xdc, 0xe2));
    p.drawRoundedRect(slot, 4, 4);
    const qreal lever_h = slot.height() / 2 - 1;
    const QRectF lever(slot.left() + 1.5, on ? slot.top() + 1.5 : slot.bottom() - 1.5 - lever_h,
                       slot.width() - 3, lever_h);
    p.setBrush(active ? (on ? kLit : QColor(0x55, 0x5d, 0x68)) : kFaintInk);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(lever, 3, 3);

    // The position texts; the one in force is drawn darker.
    const QRect text_area(kSlotWidth + 6, 0, width() - kSlotWidth - 6, h);
    QFont f = font();
    p.setFont(f);
    p.setPen(active && on ? kInk : kFaintInk);
    p.drawText(text_area, Qt::AlignLeft | Qt::AlignTop, on_text_);
    p.setPen(active && !on ? kInk : kFaintInk);
    p.drawText(text_area, Qt::AlignLeft | Qt::AlignBottom, off_text_);

    paintFocusRing(p);
}

// ---------------------------------------------------------------- BitToggle

void BitToggle::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool active = isEnabled();
    const bool on = isOn();
    const qreal side = std::min(width(), height()) - 3.0;
    const QRectF box((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    p.setPen(QPen(active ? kInk : kFaintInk, 1));
    if (on)
        p.setBrush(active ? kLit : kFaintInk);
    else
        p.setBrush(active ? QColor(Qt::white) : QColor(0xe4, 0xe4, 0xe4));
    p.drawRoundedRect(box, 2, 2);
    paintFocusRing(p);
}

void BitToggle::formRow(const std::vector<BitToggle*>& row)
{
    auto shared = std::make_shared<std::vector<BitToggle*>>(row);
    for (BitToggle* t : row)
        t->row_ = shared;
    if (!row.empty())
        row.front()->becomeTabStop();
}

void BitToggle::becomeTabStop()
{
    if (!row_)
        return;
    for (BitToggle* t : *row_)
        t->setFocusPolicy(t == this ? Qt::StrongFocus : Qt::ClickFocus);
}

void BitToggle::focusInEvent(QFocusEvent* event)
{
    becomeTabStop();
    TwoPositionControl::focusInEvent(event);
}

void BitToggle::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (row_ && (key == Qt::Key_Left || key == Qt::Key_Right)) {
        const auto& row = *row_;
        const auto here = std::find(row.begin(), row.end(), this);
        const std::ptrdiff_t at = here - row.begin();
        const std::ptrdiff_t next = at + (key == Qt::Key_Left ? -1 : 1);
        if (next >= 0 && next < static_cast<std::ptrdiff_t>(row.size()))
            row[static_cast<std::size_t>(next)]->setFocus(Qt::OtherFocusReason);
        event->accept();
        return;
    }
    TwoPositionControl::keyPressEvent(event);
}

// ---------------------------------------------------------------- PictureBox

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked(EVENT_LEFT_CLICK);
    else if (event->button() == Qt::RightButton)
        emit clicked(EVENT_RIGHT_CLICK);
}

FittedTextLabel::FittedTextLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    updateTip();
}

void FittedTextLabel::setDescription(const QString& text)
{
    description_ = text;
    updateTip();
}

bool FittedTextLabel::isCut() const
{
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

void FittedTextLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect room = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
    style()->drawItemText(&painter, room, static_cast<int>(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

void FittedTextLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    updateTip();
}

void FittedTextLabel::updateTip()
{
    if (isCut())
        setToolTip(description_.isEmpty() ? text() : text() + QStringLiteral("\n\n") + description_);
    else
        setToolTip(description_);
}

