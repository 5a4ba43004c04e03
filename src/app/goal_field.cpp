#include "app/goal_field.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <cmath>

#include "ui/fonts.h"

namespace ambrel {
namespace {
constexpr int kFieldWidth = 100;
constexpr int kSpacing = 6;
}  // namespace

GoalField::GoalField(double value, std::function<void(double)> onCommit, QWidget* parent)
    : QWidget(parent), value_(value), onCommit_(std::move(onCommit)), edit_(new QLineEdit(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);

    edit_->setFixedWidth(kFieldWidth);
    edit_->setFont(textStyleFont(TextStyle::Body));
    edit_->setText(text(value));
    layout->addWidget(edit_);

    // Always the euro sign, whatever the account's currency.
    auto* unit = new QLabel(QStringLiteral("€"), this);
    unit->setObjectName(QStringLiteral("goalUnit"));
    unit->setTextFormat(Qt::PlainText);
    unit->setFont(textStyleFont(TextStyle::Body));
    unit->setAccessibleName(unit->text());
    layout->addWidget(unit);
    layout->addStretch(1);

    connect(edit_, &QLineEdit::editingFinished, this, &GoalField::commit);
}

void GoalField::discardTyping() {
    edit_->setText(text(value_));
}

QString GoalField::text(double value) {
    return QLocale().toString(value, 'f', QLocale::FloatingPointShortest);
}

void GoalField::commit() {
    bool ok = false;
    const double parsed = QLocale().toDouble(edit_->text().trimmed(), &ok);
    // "inf" and "nan" parse but could not be stored: they count as unparseable.
    if (ok && std::isfinite(parsed) && parsed != value_) {
        value_ = parsed;
        if (onCommit_) onCommit_(parsed);
    }
    // Also normalises an accepted text ("7,50" shows as "7,5").
    edit_->setText(text(value_));
}

}  // namespace ambrel
