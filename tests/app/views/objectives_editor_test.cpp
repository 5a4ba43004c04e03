// The objectives sheet over the dashboard: committed edits reach the rings at once, unparseable
// text is put back, "OK" saves and reloads the widget, "Cancel" keeps committed edits unsaved.

#include "app/objectives_editor.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/dashboard_view.h"
#include "app/goal_field.h"
#include "app/objectives_rings.h"
#include "app/ring_gauge.h"
#include "app/snapshot_form.h"
#include "dashboard_test_fixture.h"
#include "ui/progress_ring.h"

namespace ambrel::testing {
namespace {

class ObjectivesEditorTest : public DashboardFixture {
  protected:
    void SetUp() override {
        Objectives::save(secrets, Objectives{10, 300});
        startWithSnapshot(knownSnapshot());
        view = new DashboardView(*state, context(), toolbar);
        host.setCentralWidget(view);
        host.show();
        view->showObjectives();
        ASSERT_TRUE(waitFor([&] {
            return view->objectivesSheet() != nullptr && view->objectivesSheet()->isVisible();
        }));
        editor = view->objectivesSheet()->findChild<ObjectivesEditor*>();
        ASSERT_NE(editor, nullptr);
    }

    // Types `text` into the field and presses Return, which commits it.
    static void commit(GoalField& field, const QString& text) {
        field.lineEdit()->setText(text);
        Q_EMIT field.lineEdit()->editingFinished();
    }

    const RingGauge& daily() const { return *view->form()->rings()->dailyGauge(); }

    DashboardView* view = nullptr;
    ObjectivesEditor* editor = nullptr;
};

TEST_F(ObjectivesEditorTest, SheetShowsTheGoalsWithLabelsAndEuroUnit) {
    const QDialog* sheet = view->objectivesSheet();
    EXPECT_EQ(sheet->parentWidget(), &host);
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(editor->width(), 380);
    EXPECT_EQ(editor->dailyField()->lineEdit()->text(), QStringLiteral("10"));
    EXPECT_EQ(editor->monthlyField()->lineEdit()->text(), QStringLiteral("300"));
    EXPECT_EQ(editor->dailyField()->lineEdit()->width(), 100);
    EXPECT_EQ(editor->dailyField()->lineEdit()->accessibleName(),
              QStringLiteral("Daily objective"));
    EXPECT_EQ(editor->monthlyField()->lineEdit()->accessibleName(),
              QStringLiteral("Monthly objective"));
    EXPECT_EQ(textOf(*editor->dailyField(), QStringLiteral("goalUnit")), QStringLiteral("€"));
    QStringList texts;
    for (const QLabel* label : editor->findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Objectives")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Daily objective")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Monthly objective")));
    EXPECT_EQ(editor->cancelButton()->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(editor->actionButton()->text(), QStringLiteral("OK"));
    saveScreenshot(*editor, QStringLiteral("objectives-sheet"));
}

TEST_F(ObjectivesEditorTest, CommittedEditMovesTheRingsAtOnce) {
    commit(*editor->dailyField(), QStringLiteral("13"));
    EXPECT_EQ(view->objectives(), (Objectives{13, 300}));
    EXPECT_DOUBLE_EQ(daily().ring()->progress(), 6.5 / 13);
    EXPECT_EQ(daily().amountsLabel()->text(), QStringLiteral("€6.50 / €13.00"));
    // Two decimals and grouping in the user's locale survive a round trip.
    commit(*editor->monthlyField(), QStringLiteral("1,234.56"));
    EXPECT_DOUBLE_EQ(view->objectives().monthly, 1234.56);
    EXPECT_EQ(editor->monthlyField()->lineEdit()->text(), QStringLiteral("1,234.56"));
}

TEST_F(ObjectivesEditorTest, UnparseableTextIsPutBack) {
    commit(*editor->dailyField(), QStringLiteral("abc"));
    EXPECT_EQ(editor->dailyField()->lineEdit()->text(), QStringLiteral("10"));
    EXPECT_EQ(view->objectives(), (Objectives{10, 300}));
    commit(*editor->dailyField(), QStringLiteral("inf"));
    EXPECT_EQ(view->objectives(), (Objectives{10, 300}));
}

TEST_F(ObjectivesEditorTest, NoRangeCheckOnGoals) {
    commit(*editor->dailyField(), QStringLiteral("-5"));
    EXPECT_DOUBLE_EQ(view->objectives().daily, -5);
    EXPECT_DOUBLE_EQ(daily().ring()->progress(), 0);  // a goal below zero never divides
}

TEST_F(ObjectivesEditorTest, OkSavesReloadsTheWidgetAndCloses) {
    commit(*editor->dailyField(), QStringLiteral("12.5"));
    editor->actionButton()->click();
    EXPECT_EQ(Objectives::load(secrets), (Objectives{12.5, 300}));
    EXPECT_EQ(saveReloads, 1);
    ASSERT_TRUE(waitFor([&] { return view->objectivesSheet() == nullptr; }));
}

TEST_F(ObjectivesEditorTest, OkCommitsTextStillBeingTyped) {
    // Return may reach the sheet's default button before the field: the typed text still counts.
    editor->dailyField()->lineEdit()->setText(QStringLiteral("15"));
    editor->actionButton()->click();
    EXPECT_EQ(Objectives::load(secrets), (Objectives{15, 300}));
}

TEST_F(ObjectivesEditorTest, CancelAfterCommitKeepsTheEditUnsaved) {
    commit(*editor->dailyField(), QStringLiteral("20"));
    editor->cancelButton()->click();
    ASSERT_TRUE(waitFor([&] { return view->objectivesSheet() == nullptr; }));
    EXPECT_EQ(view->objectives(), (Objectives{20, 300}));
    EXPECT_DOUBLE_EQ(daily().ring()->progress(), 6.5 / 20);
    EXPECT_EQ(Objectives::load(secrets), (Objectives{10, 300}));
    EXPECT_EQ(saveReloads, 0);
}

// Typing without Return and then cancelling (Escape, or a click on "Cancel") must not commit
// the typing when the field loses the focus as the sheet closes.
TEST_F(ObjectivesEditorTest, CancelDropsTextThatWasNotCommitted) {
    QLineEdit* dailyEdit = editor->dailyField()->lineEdit();
    dailyEdit->setFocus();
    ASSERT_TRUE(waitFor([&] { return dailyEdit->hasFocus(); }));
    dailyEdit->selectAll();
    QTest::keyClicks(dailyEdit, QStringLiteral("20"));
    QTest::keyClick(dailyEdit, Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return view->objectivesSheet() == nullptr; }));
    EXPECT_EQ(view->objectives(), (Objectives{10, 300}));
    EXPECT_DOUBLE_EQ(daily().ring()->progress(), 6.5 / 10);

    view->showObjectives();
    ASSERT_TRUE(waitFor([&] { return view->objectivesSheet() != nullptr; }));
    editor = view->objectivesSheet()->findChild<ObjectivesEditor*>();
    QLineEdit* monthly = editor->monthlyField()->lineEdit();
    monthly->setFocus();
    ASSERT_TRUE(waitFor([&] { return monthly->hasFocus(); }));
    monthly->selectAll();
    QTest::keyClicks(monthly, QStringLiteral("999"));
    QTest::mouseClick(editor->cancelButton(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return view->objectivesSheet() == nullptr; }));
    EXPECT_EQ(view->objectives(), (Objectives{10, 300}));
    EXPECT_EQ(Objectives::load(secrets), (Objectives{10, 300}));
}

}  // namespace
}  // namespace ambrel::testing

int main(int argc, char** argv) {
    return ambrel::testing::runGuiTests(argc, argv, "en_US");
}
