#include "app/objectives_editor.h"

#include <QLineEdit>
#include <QPushButton>

#include "app/goal_field.h"
#include "app/localized.h"
#include "ui/labeled_field_row.h"

namespace ambrel {
namespace {
constexpr int kWidth = 380;
}

SheetSettings ObjectivesEditor::settings(ObjectivesEditor* editor) {
    SheetSettings s;
    s.title = localized("Objectives");
    s.cancelLabel = localized("Cancel");
    s.actionLabel = localized("OK");
    s.returnAnswers = true;
    s.showsCancel = true;
    s.scrollable = false;
    s.fitsContent = false;
    s.width = kWidth;
    s.onCancel = [editor] { editor->cancel(); };
    s.onAction = [editor] { editor->save(); };
    return s;
}

ObjectivesEditor::ObjectivesEditor(Objectives objectives,
                                   std::function<void(const Objectives&)> onChange,
                                   std::function<void()> onSave, QWidget* parent)
    : SheetContainer(settings(this), parent),
      objectives_(objectives),
      onChange_(std::move(onChange)),
      onSave_(std::move(onSave)) {
    setObjectName(QStringLiteral("objectivesEditor"));
    daily_ = addGoalRow("Daily objective", &Objectives::daily);
    monthly_ = addGoalRow("Monthly objective", &Objectives::monthly);
    // A click would move the focus to the button, and the field losing it would commit what
    // was typed: exactly what "Cancel" is pressed to avoid. Tab still reaches the button.
    cancelButton()->setFocusPolicy(Qt::TabFocus);
}

GoalField* ObjectivesEditor::addGoalRow(const char* label, double Objectives::*goal) {
    auto* field = new GoalField(objectives_.*goal, [this, goal](double value) {
        objectives_.*goal = value;
        if (onChange_) onChange_(objectives_);
    });
    const QString text = localized(label);
    field->lineEdit()->setAccessibleName(text);
    auto* row = new LabeledFieldRow(text, field);
    row->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    addContent(row);
    return field;
}

void ObjectivesEditor::save() {
    daily_->commit();
    monthly_->commit();
    if (onSave_) onSave_();
    dismiss();
}

void ObjectivesEditor::cancel() {
    daily_->discardTyping();
    monthly_->discardTyping();
    dismiss();
}

void ObjectivesEditor::dismiss() {
    if (QWidget* host = window(); host != this) host->close();
}

}  // namespace ambrel
