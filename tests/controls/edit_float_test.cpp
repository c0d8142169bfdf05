#include "edit_float.h"
#include "float_text.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using morvane::TEditFloat;

namespace {

// The field as the user leaves it after a series of keys.
struct Typing {
    const char* name;
    const char* start; // assigned by code before the keys
    int caret;         // caret before the keys; -1 for the end
    const char* keys;  // typed one by one
    const char* text;  // expected text
    double value;      // expected Value
};

void PrintTo(const Typing& c, std::ostream* os)
{
    *os << c.name;
}

class EditFloatTyping : public testing::TestWithParam<Typing> {};

TEST_P(EditFloatTyping, LeavesTextAndValue)
{
    const Typing& c = GetParam();
    TEditFloat edit;
    edit.setDecimalSeparator(u'.');
    edit.setText(QString::fromLatin1(c.start));
    edit.setCursorPosition(c.caret < 0 ? edit.text().size() : c.caret);
    QTest::keyClicks(&edit, QString::fromLatin1(c.keys));
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.text));
    EXPECT_DOUBLE_EQ(edit.Value(), c.value);
}

INSTANTIATE_TEST_SUITE_P(Filter, EditFloatTyping,
                         testing::Values(Typing{"DigitsAndSeparator", "", 0, "12.5", "12.5", 12.5},
                                         Typing{"ExponentGetsZeroAppended", "", 0, "1e", "1e0", 1},
                                         Typing{"MinusAfterExponent", "1e0", 2, "-", "1e-0", 1},
                                         Typing{"ExponentDigitReplacesNothing", "", 0, "1e3", "1e03", 1000},
                                         Typing{"LoneMinusStays", "", 0, "-", "-", 0},
                                         Typing{"LoneMinusThenDigits", "", 0, "-7", "-7", -7},
                                         Typing{"MinusAfterDigitDiscarded", "5", -1, "-", "5", 5},
                                         Typing{"DoubleMinusTakenBack", "-5", 0, "-", "-5", -5},
                                         Typing{"SecondSeparatorDiscarded", "1.5", -1, ".", "1.5", 1.5},
                                         Typing{"ExponentAtStartDiscarded", "5", 0, "e", "5", 5},
                                         Typing{"ExponentIntoEmptyDiscarded", "", 0, "E", "", 0},
                                         Typing{"SecondExponentTakenBack", "1e5", -1, "e", "1e5", 100000},
                                         Typing{"PlusAndLettersDiscarded", "2", -1, "+a x", "2", 2},
                                         Typing{"CommaTypedIsTheSeparator", "2", -1, ",5", "2.5", 2.5},
                                         Typing{"CommaAfterPointDiscarded", "2.5", -1, ",", "2.5", 2.5}),
                         [](const testing::TestParamInfo<Typing>& info) { return std::string(info.param.name); });

TEST(EditFloat, ExponentLetterMovesCaretPastTheAppendedZero)
{
    TEditFloat edit;
    edit.setDecimalSeparator(u'.');
    QTest::keyClicks(&edit, QStringLiteral("1e"));
    EXPECT_EQ(edit.text(), QStringLiteral("1e0"));
    EXPECT_EQ(edit.cursorPosition(), 3);
}

TEST(EditFloat, SeparatorDiscardedEvenWhenTheFirstIsSelected)
{
    TEditFloat edit;
    edit.setDecimalSeparator(u'.');
    edit.setText(QStringLiteral("1.5"));
    edit.setSelection(1, 1);
    QTest::keyClick(&edit, '.');
    EXPECT_EQ(edit.text(), QStringLiteral("1.5"));
}

TEST(EditFloat, DeletingEverythingLeavesZero)
{
    TEditFloat edit;
    edit.setDecimalSeparator(u'.');
    QTest::keyClicks(&edit, QStringLiteral("42"));
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("0"));
    EXPECT_EQ(edit.Value(), 0.0);
}

TEST(EditFloat, CodeAssigningNonsenseGetsTheTextBeforeTheLastKey)
{
    TEditFloat edit;
    edit.setDecimalSeparator(u'.');
    QTest::keyClicks(&edit, QStringLiteral("12"));
    edit.setText(QStringLiteral("abc"));
    EXPECT_EQ(edit.text(), QStringLiteral("1")); // LastText: before "2" was typed
    EXPECT_EQ(edit.Value(), 1.0);

    TEditFloat fresh;
    fresh.setText(QStringLiteral("abc"));
    EXPECT_EQ(fresh.text(), QStringLiteral("0"));
    EXPECT_EQ(fresh.Value(), 0.0);
}

TEST(EditFloat, CommaLocaleTakesEitherMarkOnceAndShowsItAsAComma)
{
    TEditFloat edit;
    edit.setDecimalSeparator(u',');
    QTest::keyClicks(&edit, QStringLiteral("2.5"));
    EXPECT_EQ(edit.text(), QStringLiteral("2,5"));
    EXPECT_DOUBLE_EQ(edit.Value(), 2.5);
    TEditFloat second;
    second.setDecimalSeparator(u',');
    QTest::keyClicks(&second, QStringLiteral("1.,5,."));
    EXPECT_EQ(second.text(), QStringLiteral("1,5"));
    EXPECT_DOUBLE_EQ(second.Value(), 1.5);
}

TEST(EditFloat, AnAppendRaisesTheChangeNotificationTwice)
{
    TEditFloat edit;
    edit.setDecimalSeparator(u'.');
    edit.setText(QStringLiteral("1"));
    QSignalSpy spy(&edit, &TEditFloat::OnChange);
    QTest::keyClick(&edit, 'e');
    EXPECT_EQ(spy.count(), 2);
}

TEST(EditFloat, ValuePropertyDoesNotTouchTheText)
{
    TEditFloat edit;
    edit.setText(QStringLiteral("3"));
    edit.setProperty("Value", 9.0);
    EXPECT_EQ(edit.text(), QStringLiteral("3"));
    EXPECT_EQ(edit.Value(), 9.0);
}

TEST(EditFloat, SetValueFormatsWithThePattern)
{
    TEditFloat edit;
    edit.setDecimalSeparator(u',');
    edit.setFormatString(QStringLiteral("0.00"));
    EXPECT_EQ(edit.text(), QString()); // the pattern alone reformats nothing
    edit.SetValue(1.5L);
    EXPECT_EQ(edit.text(), QStringLiteral("1,50"));
    EXPECT_DOUBLE_EQ(edit.Value(), 1.5);
}

// Restores that cannot settle must end: a last text that no longer parses
// (the separator changed under it), and a pattern whose zero does not parse.
TEST(EditFloat, RestoresThatCannotSettleEnd)
{
    TEditFloat edit;
    edit.setDecimalSeparator(u'.');
    edit.setText(QStringLiteral("1.5"));
    edit.setDecimalSeparator(u',');
    QTest::keyClick(&edit, '3');
    EXPECT_EQ(edit.text(), QStringLiteral("1.5"));
    EXPECT_EQ(edit.Value(), 0.0);

    TEditFloat units;
    units.setFormatString(QStringLiteral("0 'kN'"));
    units.setText(QStringLiteral("x"));
    EXPECT_EQ(units.Value(), 0.0);
    EXPECT_FALSE(morvane::parseFloat(units.text(), units.decimalSeparator()).has_value());
}

} // namespace
