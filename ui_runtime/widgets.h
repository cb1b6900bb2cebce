#pragma once
// The controls of the panel layer, as Qt widgets. Each one signals an operator
// action (committed, clicked) only from mouse and keyboard handling, never from a
// value written by code.

#include <QDoubleSpinBox>
#include <QLabel>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

// A numeric field holding an unsigned 32-bit integer or a double. The field holds
// the full double that was written or typed; its precision is for display only.
//
// The operator's entries are coerced into the field's range, and an unsigned
// field takes a typed fraction as its whole part, and shows that. A double
// written by the program is held and shown as written, even outside the range;
// the field is then marked (red, and its tooltip says so), and an arrow step
// moves from the value held. An unsigned field's range is a hard limit (it holds
// a register): every value written is coerced into it.
class NumericField : public QDoubleSpinBox {
    Q_OBJECT
public:
    NumericField(bool is_unsigned, double minimum, double maximum, double increment, int precision,
                 QWidget* parent);

    // The value held lies outside the range of the operator's entries.
    bool isOutsideRange() const { return value() < range_min_ || value() > range_max_; }

    // Values written by the program.
    void setHeld(double value);
    void setHeldUnsigned(uint32_t value);
    uint32_t heldUnsigned() const;

    // What the field is, shown as its tooltip; a note on an out-of-range value is added to it.
    void setDescription(const QString& text);
    // Why the last text typed was not taken ("not a number", "use a decimal point"), or "".
    QString rejection() const { return rejection_; }

    QString textFromValue(double value) const override;
    double valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;
    void stepBy(int steps) override;

signals:
    void committed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    StepEnabled stepEnabled() const override;

private:
    // The number the text spells in C-locale notation, if it spells one.
    static bool parse(const QString& text, double* value);
    // An operator's number as the field takes it: whole for an unsigned field, in range.
    double asEntered(double typed) const;
    bool typedTextIsNumber() const;
    // Puts the text back to the value held and says why the typed text was not taken.
    void refuseTypedText();
    // Holds a value, widening the spin box's own limits to it when it lies outside the range.
    void hold(double value);
    void updateMark();

    bool unsigned_;
    int precision_;
    double range_min_, range_max_;
    QString description_;
    QString rejection_;
    bool edited_ = false;  // the operator typed in the field since the last commit
};

// A control with two positions that the operator flips with a click anywhere on
// it, or with the space bar.
class TwoPositionControl : public QWidget {
    Q_OBJECT
public:
    explicit TwoPositionControl(QWidget* parent);

    bool isOn() const { return on_; }

signals:
    void committed();

protected:
    void setOn(bool on);
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // The ring drawn around a control that has the keyboard focus.
    void paintFocusRing(QPainter& painter) const;

private:
    void flip();
    bool on_ = false;
};

// A two-position switch: the on text stands at the upper position and the off
// text at the lower one. Each position has its own value.
class BinarySwitch : public TwoPositionControl {
    Q_OBJECT
public:
    BinarySwitch(const QString& on_text, int on_value, const QString& off_text, int off_value,
                 QWidget* parent);

    int value() const { return isOn() ? on_value_ : off_value_; }
    // A value other than the on position's puts the switch in its off position.
    void setValue(int value) { setOn(value == on_value_); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString on_text_, off_text_;
    int on_value_, off_value_;
};

// One register bit: a small square whose whole area is the toggle. Reads 1 when
// on, 0 when off. The bits of one register form a row that is a single Tab stop:
// the arrow keys move along it and Space flips the bit that has the focus.
class BitToggle : public TwoPositionControl {
    Q_OBJECT
public:
    explicit BitToggle(QWidget* parent) : TwoPositionControl(parent) {}

    int value() const { return isOn() ? 1 : 0; }
    void setValue(int value) { setOn(value != 0); }

    // Joins the bits of a row, given from left to right.
    static void formRow(const std::vector<BitToggle*>& row);

    QSize sizeHint() const override { return {15, 15}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // The row's Tab stop is the bit that had the focus last.
    void becomeTabStop();

    std::shared_ptr<std::vector<BitToggle*>> row_;
};

// A fixed picture that reports mouse clicks, left and right.
class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent) : QLabel(parent) {}

signals:
    void clicked(int event);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// A line of text that keeps to its width: what does not fit is cut with an
// ellipsis, and the whole text, which text() still returns, is its tooltip.
class FittedTextLabel : public QLabel {
    Q_OBJECT
public:
    explicit FittedTextLabel(const QString& text, QWidget* parent);
    // The tooltip while the whole text is shown.
    void setDescription(const QString& text);
    // Whether the text is cut to fit.
    bool isCut() const;
    // After a new text: the tooltip follows.
    void updateTip();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString description_;
};

