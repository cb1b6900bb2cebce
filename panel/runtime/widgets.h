#pragma once
// The controls of the panel layer, as Qt widgets. Each one signals an operator
// action (committed, clicked) only from mouse and keyboard handling, never from a
// value written by code.

#include <QDoubleSpinBox>
#include <QLabel>
#include <QWidget>

#include <cstdint>

// A numeric field holding an unsigned 32-bit integer or a double. The field holds
// the full double that was written or typed; its precision is for display only.
class NumericField : public QDoubleSpinBox {
    Q_OBJECT
public:
    NumericField(bool is_unsigned, double minimum, double maximum, double increment, int precision,
                 QWidget* parent);

    bool isUnsigned() const { return unsigned_; }
    int displayPrecision() const { return precision_; }

    // Written values are coerced into the range; an unsigned value is compared as unsigned.
    void setHeld(double value);
    void setHeldUnsigned(uint32_t value);
    uint32_t heldUnsigned() const;

    QString textFromValue(double value) const override;
    double valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;
    void stepBy(int steps) override;

signals:
    void committed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The number the text spells in C-locale notation, if it spells one.
    static bool parse(const QString& text, double* value);
    bool typedTextIsNumber() const;
    void revertText();

    bool unsigned_;
    int precision_;
    bool edited_ = false;  // the operator changed the text since the last commit
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
    QString onText() const { return on_text_; }
    QString offText() const { return off_text_; }
    int onValue() const { return on_value_; }
    int offValue() const { return off_value_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString on_text_, off_text_;
    int on_value_, off_value_;
};

// One register bit: a small square whose whole area is the toggle. Reads 1 when
// on, 0 when off.
class BitToggle : public TwoPositionControl {
    Q_OBJECT
public:
    explicit BitToggle(QWidget* parent) : TwoPositionControl(parent) {}

    int value() const { return isOn() ? 1 : 0; }
    void setValue(int value) { setOn(value != 0); }

    QSize sizeHint() const override { return {15, 15}; }

protected:
    void paintEvent(QPaintEvent* event) override;
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
