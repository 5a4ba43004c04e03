#include "ui/number_stepper_field.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "ui/colors.h"
#include "ui/fonts.h"

namespace ambrel {
namespace {

constexpr int kSpacing = 6;
constexpr int kStepperButtonHeight = 11;

QToolButton* makeStepButton(Qt::ArrowType arrow, const QString& name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFixedSize(16, kStepperButtonHeight);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAccessibleName(name);
    return button;
}

// -0 shows as "-0"; a whole value of zero has no sign.
double withoutNegativeZero(double value) {
    return value == 0 ? 0.0 : value;
}

}  // namespace

NumberStepperField::NumberStepperField(double value, double minimum, double maximum, double step,
                                       const QString& unit, int fieldWidth, QWidget* parent)
    : QWidget(parent),
      value_(value),
      minimum_(std::min(minimum, maximum)),
      maximum_(std::max(minimum, maximum)),
      step_(step),
      field_(new QLineEdit(this)),
      unitLabel_(new QLabel(unit, this)),
      upButton_(makeStepButton(Qt::UpArrow, QStringLiteral("Increment"), this)),
      downButton_(makeStepButton(Qt::DownArrow, QStringLiteral("Decrement"), this)) {
    field_->setFixedWidth(fieldWidth);
    field_->setFont(withMonospacedDigits(field_->font()));
    field_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field_->installEventFilter(this);
    unitLabel_->setTextFormat(Qt::PlainText);
    setLabelLevel(unitLabel_, LabelLevel::Secondary);
    setFocusProxy(field_);

    auto* stepper = new QVBoxLayout;
    stepper->setSpacing(0);
    stepper->addWidget(upButton_);
    stepper->addWidget(downButton_);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);
    layout->addWidget(field_);
    layout->addWidget(unitLabel_);
    layout->addLayout(stepper);
    layout->addStretch();

    // editingFinished covers Return and the field losing focus; an unchanged text is a no-op.
    connect(field_, &QLineEdit::editingFinished, this, &NumberStepperField::commitText);
    connect(upButton_, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(downButton_, &QToolButton::clicked, this, [this] { stepBy(-1); });
    showValue();
}

void NumberStepperField::setValue(double value) {
    if (value == value_) {
        showValue();
        return;
    }
    value_ = value;
    showValue();
    Q_EMIT valueChanged(value_);
}

std::optional<double> NumberStepperField::parseCommitted(const QString& text, double minimum,
                                                         double maximum, const QLocale& locale) {
    bool ok = false;
    const double typed = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(typed)) return std::nullopt;
    return withoutNegativeZero(std::clamp(std::round(typed), minimum, maximum));
}

void NumberStepperField::commitText() {
    const std::optional<double> committed =
        parseCommitted(field_->text(), minimum_, maximum_, QLocale());
    if (committed) {
        setValue(*committed);
    } else {
        showValue();  // not a number: back to the last valid value
    }
}

void NumberStepperField::stepBy(int steps) {
    const double start = std::isfinite(value_) ? value_ : minimum_;
    setValue(std::clamp(start + steps * step_, minimum_, maximum_));
}

void NumberStepperField::showValue() {
    const QString text = QLocale().toString(withoutNegativeZero(std::round(value_)), 'f', 0);
    if (field_->text() != text) field_->setText(text);
}

// Up and Down in the field step like the stepper, as in a spin box.
bool NumberStepperField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            commitText();
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace ambrel
