// Which button answers Return and Escape, how tall the sheet may grow over its window, and a
// screenshot of a sheet for a look by eye.

#include "ui/sheet_container.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "support/qt_application.h"
#include "support/test_artifacts.h"
#include "ui/labeled_field_row.h"
#include "ui/number_stepper_field.h"

namespace ambrel {
namespace {

const auto* const kGui = ::testing::AddGlobalTestEnvironment(new testing::QtApplicationEnvironment(
    [] { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }));

struct Calls {
    int cancel = 0;
    int action = 0;
};

SheetSettings settingsFor(Calls& calls) {
    SheetSettings settings;
    settings.title = QStringLiteral("My objectives");
    settings.cancelLabel = QStringLiteral("Cancel");
    settings.actionLabel = QStringLiteral("OK");
    settings.onCancel = [&calls] { ++calls.cancel; };
    settings.onAction = [&calls] { ++calls.action; };
    return settings;
}

TEST(SheetContainer, MaximumHeightFollowsTheAvailableHeight) {
    EXPECT_EQ(SheetContainer::maximumHeightFor(SheetContainer::availableHeight(300, 1000)), 320);
    EXPECT_EQ(SheetContainer::maximumHeightFor(SheetContainer::availableHeight(900, 1000)), 860);
    EXPECT_EQ(SheetContainer::availableHeight(std::nullopt, 700), 700);
    EXPECT_EQ(SheetContainer::availableHeight(std::nullopt, std::nullopt), 800);
    EXPECT_EQ(SheetContainer::maximumHeightFor(
                  SheetContainer::availableHeight(std::nullopt, std::nullopt)),
              760);
}

TEST(SheetContainer, ActionAnswersReturnAndCancelEscape) {
    Calls calls;
    SheetContainer sheet(settingsFor(calls));
    ASSERT_NE(sheet.actionButton(), nullptr);
    ASSERT_NE(sheet.cancelButton(), nullptr);
    EXPECT_EQ(sheet.returnButton(), sheet.actionButton());
    EXPECT_EQ(sheet.escapeButton(), sheet.cancelButton());
    EXPECT_TRUE(sheet.actionButton()->isDefault());
    EXPECT_FALSE(sheet.cancelButton()->isDefault());
}

TEST(SheetContainer, DestructiveActionNeverAnswersReturn) {
    Calls calls;
    SheetSettings settings = settingsFor(calls);
    settings.isActionDestructive = true;
    SheetContainer sheet(settings);
    ASSERT_NE(sheet.actionButton(), nullptr);
    EXPECT_EQ(sheet.returnButton(), nullptr);
    EXPECT_FALSE(sheet.actionButton()->isDefault());
    EXPECT_FALSE(sheet.actionButton()->autoDefault());
    EXPECT_FALSE(sheet.cancelButton()->autoDefault());
    EXPECT_EQ(sheet.escapeButton(), sheet.cancelButton());
}

// Without an action label or without an action, only Cancel: it answers Return when asked to.
TEST(SheetContainer, OnlyCancelAnswersReturnOrEscape) {
    Calls calls;
    SheetSettings noLabel = settingsFor(calls);
    noLabel.actionLabel.reset();
    SheetContainer withoutLabel(noLabel);
    EXPECT_EQ(withoutLabel.actionButton(), nullptr);
    EXPECT_EQ(withoutLabel.returnButton(), withoutLabel.cancelButton());
    EXPECT_EQ(withoutLabel.escapeButton(), nullptr);

    SheetSettings noAction = settingsFor(calls);
    noAction.onAction = nullptr;
    noAction.returnAnswers = false;
    SheetContainer withoutAction(noAction);
    EXPECT_EQ(withoutAction.actionButton(), nullptr);
    EXPECT_EQ(withoutAction.returnButton(), nullptr);
    EXPECT_EQ(withoutAction.escapeButton(), withoutAction.cancelButton());
}

TEST(SheetContainer, ButtonsRunTheirCallbacks) {
    Calls calls;
    SheetSettings settings = settingsFor(calls);
    settings.isActionDisabled = true;
    SheetContainer sheet(settings);
    EXPECT_FALSE(sheet.actionButton()->isEnabled());
    sheet.setActionDisabled(false);
    sheet.actionButton()->click();
    sheet.cancelButton()->click();
    EXPECT_EQ(calls.action, 1);
    EXPECT_EQ(calls.cancel, 1);
}

// A window with the sheet presented over it, the way the application shows its sheets.
struct Presented {
    std::unique_ptr<QMainWindow> window;
    SheetContainer* sheet = nullptr;
    QDialog* dialog = nullptr;
    NumberStepperField* field = nullptr;
};

Presented present(SheetSettings settings, int windowHeight) {
    Presented presented;
    presented.window = std::make_unique<QMainWindow>();
    presented.window->setCentralWidget(new QWidget);
    presented.window->resize(600, windowHeight);
    presented.window->show();
    presented.sheet = new SheetContainer(std::move(settings));
    presented.field = new NumberStepperField(3, 0, 100, 1, QStringLiteral("€"), 100);
    presented.sheet->addContent(new LabeledFieldRow(QStringLiteral("Daily goal"), presented.field));
    presented.dialog = presentSheet(presented.sheet, presented.window.get());
    presented.dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(presented.dialog));
    return presented;
}

TEST(SheetContainer, KeysPressTheBoundButtons) {
    Calls calls;
    Presented presented = present(settingsFor(calls), 700);
    QTest::keyClick(presented.field->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(calls.action, 1);
    QTest::keyClick(presented.field->lineEdit(), Qt::Key_Escape);
    EXPECT_EQ(calls.cancel, 1);
    EXPECT_TRUE(presented.dialog->isVisible());  // closing is the callbacks' decision
}

// The action closing the dialog from code is not a cancel.
TEST(SheetContainer, ClosingFromACallbackDoesNotCancel) {
    Calls calls;
    SheetSettings settings = settingsFor(calls);
    QDialog* dialog = nullptr;
    settings.onAction = [&calls, &dialog] {
        ++calls.action;
        dialog->close();
    };
    Presented presented = present(settings, 700);
    dialog = presented.dialog;
    QTest::keyClick(presented.field->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(calls.action, 1);
    EXPECT_EQ(calls.cancel, 0);
    EXPECT_FALSE(presented.window->findChild<QDialog*>() != nullptr &&
                 presented.window->findChild<QDialog*>()->isVisible());
}

TEST(SheetContainer, EscapeWithoutACancelButtonKeepsTheSheetOpen) {
    Calls calls;
    SheetSettings settings = settingsFor(calls);
    settings.showsCancel = false;
    Presented presented = present(settings, 700);
    QTest::keyClick(presented.field->lineEdit(), Qt::Key_Escape);
    EXPECT_TRUE(presented.dialog->isVisible());
    EXPECT_EQ(calls.cancel, 0);
}

TEST(SheetContainer, ReturnOnADestructiveSheetDoesNothing) {
    Calls calls;
    SheetSettings settings = settingsFor(calls);
    settings.isActionDestructive = true;
    Presented presented = present(settings, 700);
    QTest::keyClick(presented.field->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(calls.action, 0);
    EXPECT_EQ(calls.cancel, 0);
}

// Return reaches the sheet, not the field: the typed value must still be committed before the
// action reads it.
TEST(SheetContainer, ActionSeesTheValueBeingTyped) {
    double seen = -1;
    Presented presented;
    SheetSettings settings;
    settings.title = QStringLiteral("Goal");
    settings.actionLabel = QStringLiteral("OK");
    settings.onCancel = [] {};
    settings.onAction = [&presented, &seen] { seen = presented.field->value(); };
    presented = present(settings, 700);
    presented.field->lineEdit()->setFocus();
    presented.field->lineEdit()->selectAll();
    QTest::keyClicks(presented.field->lineEdit(), QStringLiteral("42"));
    QTest::keyClick(presented.field->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(seen, 42);
}

TEST(SheetContainer, MaximumHeightFollowsTheHostWindow) {
    Calls calls;
    Presented presented = present(settingsFor(calls), 300);
    EXPECT_EQ(presented.sheet->hostWindow(), presented.window.get());
    EXPECT_EQ(presented.sheet->maximumHeight(), 320);  // never below 320

    presented.window->resize(600, 900);
    EXPECT_TRUE(QTest::qWaitFor([&] { return presented.window->height() == 900; }));
    const int central = presented.window->centralWidget()->height();
    EXPECT_EQ(presented.sheet->maximumHeight(), central - 40);
}

TEST(SheetContainer, FittingScrollAreaIsOnlyAsTallAsItsContent) {
    Calls calls;
    SheetSettings settings = settingsFor(calls);
    settings.scrollable = true;
    settings.fitsContent = true;
    SheetContainer sheet(settings);
    auto* line = new QLineEdit;
    sheet.addContent(line);
    sheet.show();
    auto* scroll = sheet.findChild<QScrollArea*>(QStringLiteral("sheetScrollArea"));
    ASSERT_NE(scroll, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return scroll->maximumHeight() < QWIDGETSIZE_MAX; }));
    EXPECT_EQ(scroll->maximumHeight(), scroll->widget()->layout()->sizeHint().height());
    EXPECT_LT(scroll->maximumHeight(), 120);
}

TEST(SheetContainer, Screenshot) {
    Calls calls;
    SheetSettings settings = settingsFor(calls);
    SheetContainer sheet(settings);
    sheet.addContent(
        new LabeledFieldRow(QStringLiteral("Daily goal"),
                            new NumberStepperField(10, 0, 1000, 1, QStringLiteral("€"), 100)));
    sheet.addContent(
        new LabeledFieldRow(QStringLiteral("Monthly goal"),
                            new NumberStepperField(300, 0, 10000, 10, QStringLiteral("€"), 100)));
    sheet.show();
    sheet.adjustSize();
    EXPECT_EQ(sheet.width(), 380);
    const QByteArray buildDir = qgetenv("AMBREL_BUILD_DIR");
    if (buildDir.isEmpty()) GTEST_SKIP() << "AMBREL_BUILD_DIR not set";
    const QString folder = QString::fromStdString(testing::testArtifactsFolder().string());
    QDir().mkpath(folder);
    EXPECT_TRUE(sheet.grab().save(folder + QStringLiteral("/sheet_container.png")));
}

}  // namespace
}  // namespace ambrel
