// A row's label names its field for assistive technologies, unless the label is empty.

#include "ui/labeled_field_row.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

#include "support/qt_application.h"
#include "ui/number_stepper_field.h"

namespace ambrel {
namespace {

const auto* const kGui = ::testing::AddGlobalTestEnvironment(new testing::QtApplicationEnvironment);

TEST(LabeledFieldRow, LabelNamesTheField) {
    auto* field = new QLineEdit;
    LabeledFieldRow row(QStringLiteral("Daily goal"), field);
    EXPECT_EQ(field->accessibleName(), QStringLiteral("Daily goal"));
    EXPECT_EQ(row.label()->buddy(), field);
    EXPECT_EQ(row.label()->text(), QStringLiteral("Daily goal"));
}

TEST(LabeledFieldRow, EmptyLabelNamesNothing) {
    auto* field = new QLineEdit;
    LabeledFieldRow row(QString(), field);
    EXPECT_TRUE(field->accessibleName().isEmpty());
    EXPECT_EQ(row.label()->buddy(), nullptr);
}

// A composite field is announced through its text field, which is what takes the focus.
TEST(LabeledFieldRow, CompositeFieldIsNamedThroughItsFocusWidget) {
    auto* stepper = new NumberStepperField(3, 0, 10, 1, QStringLiteral("€"), 100);
    LabeledFieldRow row(QStringLiteral("Monthly goal"), stepper);
    EXPECT_EQ(stepper->accessibleName(), QStringLiteral("Monthly goal"));
    EXPECT_EQ(stepper->lineEdit()->accessibleName(), QStringLiteral("Monthly goal"));
}

}  // namespace
}  // namespace ambrel
