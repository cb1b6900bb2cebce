// The numeric field holds the full double it was given, steps by exactly its
// increment, coerces out-of-range values, and commits only on operator actions.
#include "ui_runtime/widgets.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

struct FieldTest : ::testing::Test {
    FieldTest(bool is_unsigned, double maximum, double increment, int precision)
        : field(is_unsigned, 0.0, maximum, increment, precision, nullptr)
    {
    }
    NumericField field;
    QSignalSpy commits{&field, &NumericField::committed};

    QLineEdit* edit() { return field.findChild<QLineEdit*>(); }
    void type(const QString& text)
    {
        edit()->selectAll();
        QTest::keyClick(edit(), Qt::Key_Backspace);
        QTest::keyClicks(edit(), text);
    }
    void enter() { QTest::keyClick(&field, Qt::Key_Return); }
    void leave()
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(&field, &out);
    }
};

// Like "Out Freq (MHz)": 0 to 5000 MHz in steps of 0.2, 7 decimals shown.
struct OutFreqField : FieldTest {
    OutFreqField() : FieldTest(false, 5000.0, 0.2, 7) {}
};

// Like "M =": an unsigned field of 0 to 511.
struct RegisterField : FieldTest {
    RegisterField() : FieldTest(true, 511.0, 1.0, 0) {}
};

}  // namespace

TEST_F(OutFreqField, HoldsEveryDoubleExactlyWhileShowingSevenDecimals)
{
    field.setHeld(4175.0000953674316);
    EXPECT_EQ(field.value(), 4175.0000953674316);
    EXPECT_EQ(edit()->text(), QStringLiteral("4175.0000954"));

    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> anywhere(0.0, 5000.0);
    for (int i = 0; i < 5000; ++i) {
        const double d = anywhere(random);
        field.setHeld(d);
        ASSERT_EQ(field.value(), d) << "round trip " << i;
    }
    EXPECT_EQ(commits.count(), 0) << "values written by code never commit";
}

TEST_F(OutFreqField, EnterWithoutAnEditKeepsTheHeldValue)
{
    field.setHeld(4320.999908447266);
    enter();
    EXPECT_EQ(field.value(), 4320.999908447266);
    EXPECT_EQ(commits.count(), 1);
}

TEST_F(OutFreqField, TypedTextIsHeldInFull)
{
    type("1234.56789012345678");
    EXPECT_EQ(commits.count(), 0) << "typing alone does not commit";
    enter();
    EXPECT_EQ(field.value(), std::strtod("1234.56789012345678", nullptr));
    EXPECT_EQ(commits.count(), 1);
}

TEST_F(OutFreqField, ArrowStepAddsExactlyTheIncrementToTheHeldValue)
{
    field.setHeld(4320.999908447266);
    QTest::keyClick(&field, Qt::Key_Up);
    EXPECT_EQ(field.value(), 4320.999908447266 + 0.2);
    QTest::keyClick(&field, Qt::Key_Down);
    EXPECT_EQ(field.value(), (4320.999908447266 + 0.2) - 0.2);
    EXPECT_EQ(commits.count(), 2);

    field.setHeld(4000.0);
    field.resize(160, 22);
    // The up arrow button sits at the top right corner of the field.
    QTest::mouseClick(&field, Qt::LeftButton, Qt::NoModifier, QPoint(field.width() - 4, 4));
    EXPECT_EQ(field.value(), 4000.0 + 0.2);
    EXPECT_EQ(commits.count(), 3);
}

TEST_F(OutFreqField, WrittenValuesOutsideTheRangeAreHeldAndMarkedTypedOnesCoerced)
{
    field.setHeld(43570.999908);
    EXPECT_EQ(field.value(), 43570.999908);
    EXPECT_EQ(field.text(), QStringLiteral("43570.9999080"));
    EXPECT_TRUE(field.property("outsideRange").toBool());
    EXPECT_TRUE(field.toolTip().contains(QStringLiteral("Outside this field's range of 0.0000000 to 5000.0000000")))
        << field.toolTip().toStdString();
    field.stepBy(1);
    EXPECT_EQ(field.value(), 43570.999908 + 0.2) << "an arrow steps from the value held";
    EXPECT_EQ(commits.count(), 1);

    field.setHeld(-3.0);
    EXPECT_EQ(field.value(), -3.0);
    type("7000");
    enter();
    EXPECT_EQ(field.value(), 5000.0) << "the operator's entry is coerced";
    EXPECT_FALSE(field.property("outsideRange").toBool());
    EXPECT_FALSE(field.toolTip().contains(QStringLiteral("Outside")));
    field.stepBy(1);
    EXPECT_EQ(field.value(), 5000.0) << "and so is a step from within the range";
}

TEST_F(OutFreqField, TypingTheTextShownIsAnEdit)
{
    field.setHeld(8.122842);
    ASSERT_EQ(field.text(), QStringLiteral("8.1228420"));
    type("8.1228420");
    enter();
    EXPECT_EQ(field.value(), 8.122842);
    field.setHeld(8.12284209);
    ASSERT_EQ(field.text(), QStringLiteral("8.1228421"));
    type("8.1228421");
    enter();
    EXPECT_EQ(field.value(), 8.1228421) << "the typed value replaces the hidden digits";
    EXPECT_EQ(commits.count(), 2);
}

TEST_F(OutFreqField, RefusedTextSaysWhy)
{
    type("12,5");
    enter();
    EXPECT_EQ(field.rejection(), QStringLiteral("use a decimal point"));
    type("abc");
    leave();
    EXPECT_EQ(field.rejection(), QStringLiteral("not a number"));
    EXPECT_EQ(commits.count(), 0);
}

TEST_F(OutFreqField, TheWheelTurnsTheFieldOnlyWithTheFocus)
{
    QWheelEvent up(QPointF(5, 5), field.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    ASSERT_FALSE(field.hasFocus());
    QApplication::sendEvent(&field, &up);
    EXPECT_EQ(field.value(), 0.0);
    EXPECT_EQ(commits.count(), 0);
}

TEST_F(OutFreqField, TextThatIsNoNumberChangesNothingAndDoesNotCommit)
{
    field.setHeld(400.0);
    for (const char* garbage : {"abc", "12,5", "", "4000.2.1", "1e", "nan", "inf"}) {
        type(QString::fromLatin1(garbage));
        enter();
        EXPECT_EQ(field.value(), 400.0) << "typed \"" << garbage << "\"";
        EXPECT_EQ(edit()->text(), QStringLiteral("400.0000000")) << "typed \"" << garbage << "\"";
    }
    type("zz");
    leave();
    EXPECT_EQ(field.value(), 400.0);
    EXPECT_EQ(commits.count(), 0);
}

TEST_F(OutFreqField, NumbersAreReadWithAPointWhateverTheDesktopLanguage)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    type("12.5");
    enter();
    QLocale::setDefault(before);
    EXPECT_EQ(field.value(), 12.5);
}

TEST_F(OutFreqField, LeavingTheFieldCommitsOnlyAfterAnEdit)
{
    leave();
    EXPECT_EQ(commits.count(), 0);
    type("123.4");
    leave();
    EXPECT_EQ(field.value(), 123.4);
    EXPECT_EQ(commits.count(), 1);
}

TEST_F(RegisterField, UnsignedValuesAreCoercedAsUnsignedAndFractionsTypedShowTheirWholePart)
{
    field.setHeldUnsigned(4294967295u);
    EXPECT_EQ(field.heldUnsigned(), 511u) << "compared as unsigned, never 0 or -1";
    field.setHeldUnsigned(0x80000000u);
    EXPECT_EQ(field.heldUnsigned(), 511u);
    EXPECT_FALSE(field.property("outsideRange").toBool());
    type("0.9");
    enter();
    EXPECT_EQ(field.heldUnsigned(), 0u);
    EXPECT_EQ(field.text(), QStringLiteral("0")) << "the field shows what is used";
    commits.clear();
    field.setHeldUnsigned(7);
    EXPECT_EQ(field.heldUnsigned(), 7u);
    EXPECT_EQ(field.text(), QStringLiteral("7"));
    EXPECT_EQ(commits.count(), 0);
}

TEST_F(RegisterField, TypedNumbersAreCoercedAndCommitted)
{
    QLineEdit* edit = field.findChild<QLineEdit*>();
    for (const auto& [typed, held] : {std::pair{"9999", 511u}, {"-5", 0u}, {"42", 42u}}) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QString::fromLatin1(typed));
        QTest::keyClick(&field, Qt::Key_Return);
        EXPECT_EQ(field.heldUnsigned(), held) << "typed " << typed;
    }
    EXPECT_EQ(commits.count(), 3);
}
