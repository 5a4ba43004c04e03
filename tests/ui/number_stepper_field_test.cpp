// Typed numbers are rounded then clamped; anything else is reverted. The stepper stays in range.

#include "ui/number_stepper_field.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "support/qt_application.h"

namespace ambrel {
namespace {

const auto* const kGui = ::testing::AddGlobalTestEnvironment(new testing::QtApplicationEnvironment(
    [] { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }));

void type(NumberStepperField& field, const QString& text) {
    field.lineEdit()->setText(text);
    Q_EMIT field.lineEdit()->editingFinished();
}

TEST(NumberStepperField, CommitRoundsThenClampsIntoTheRange) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(NumberStepperField::parseCommitted("12.6", 0, 10, english), 10.0);
    EXPECT_EQ(NumberStepperField::parseCommitted("-3", 0, 10, english), 0.0);
    EXPECT_EQ(NumberStepperField::parseCommitted("7.4", 0, 10, english), 7.0);
    EXPECT_EQ(NumberStepperField::parseCommitted("7.5", 0, 10, english), 8.0);
    EXPECT_EQ(NumberStepperField::parseCommitted(" 3 ", 0, 10, english), 3.0);
    EXPECT_EQ(NumberStepperField::parseCommitted("1,234.6", 0, 5000, english), 1235.0);
    EXPECT_EQ(NumberStepperField::parseCommitted("abc", 0, 10, english), std::nullopt);
    EXPECT_EQ(NumberStepperField::parseCommitted("", 0, 10, english), std::nullopt);
    EXPECT_EQ(NumberStepperField::parseCommitted("inf", 0, 10, english), std::nullopt);
}

// The user's locale decides the separators: in German the comma is the decimal point.
TEST(NumberStepperField, ParsesInTheGivenLocale) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(NumberStepperField::parseCommitted("1.234,6", 0, 5000, german), 1235.0);
    EXPECT_EQ(NumberStepperField::parseCommitted("2,4", 0, 10, german), 2.0);
}

TEST(NumberStepperField, TypedValueIsStoredAndAnnounced) {
    NumberStepperField field(5, 0, 10, 1, QStringLiteral("€"), 100);
    QSignalSpy changed(&field, &NumberStepperField::valueChanged);
    type(field, QStringLiteral("12.6"));
    EXPECT_EQ(field.value(), 10);
    EXPECT_EQ(field.lineEdit()->text(), QStringLiteral("10"));
    type(field, QStringLiteral("-3"));
    EXPECT_EQ(field.value(), 0);
    type(field, QStringLiteral("7.4"));
    EXPECT_EQ(field.value(), 7);
    EXPECT_EQ(field.lineEdit()->text(), QStringLiteral("7"));
    ASSERT_EQ(changed.count(), 3);
    EXPECT_EQ(changed.last().at(0).toDouble(), 7);
}

TEST(NumberStepperField, UnreadableTextRevertsToTheLastValue) {
    NumberStepperField field(4, 0, 10, 1, QString(), 100);
    QSignalSpy changed(&field, &NumberStepperField::valueChanged);
    type(field, QStringLiteral("abc"));
    EXPECT_EQ(field.value(), 4);
    EXPECT_EQ(field.lineEdit()->text(), QStringLiteral("4"));
    EXPECT_EQ(changed.count(), 0);
}

TEST(NumberStepperField, ShowsWholeNumbersWithGrouping) {
    NumberStepperField field(1234.4, 0, 1e6, 1, QString(), 100);
    EXPECT_EQ(field.lineEdit()->text(), QStringLiteral("1,234"));
    field.setValue(-0.3);
    EXPECT_EQ(field.lineEdit()->text(), QStringLiteral("0"));  // never "-0"
}

TEST(NumberStepperField, StepperMovesByStepAndStopsAtTheBounds) {
    NumberStepperField field(7, 0, 10, 5, QString(), 100);
    field.stepUpButton()->click();
    EXPECT_EQ(field.value(), 10);
    field.stepUpButton()->click();
    EXPECT_EQ(field.value(), 10);
    field.stepDownButton()->click();
    field.stepDownButton()->click();
    field.stepDownButton()->click();
    EXPECT_EQ(field.value(), 0);
    QTest::keyClick(field.lineEdit(), Qt::Key_Up);
    EXPECT_EQ(field.value(), 5);
}

}  // namespace
}  // namespace ambrel
