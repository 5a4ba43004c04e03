#pragma once

// A whole-number field with a unit and a stepper, editing a floating-point value within a range.
// Typed values are committed on Return or when the field loses focus: rounded to the nearest
// whole number and clamped into the range; text that does not read as a number is reverted.

#include <QLocale>
#include <QString>
#include <QWidget>
#include <optional>

class QLabel;
class QLineEdit;
class QToolButton;

namespace ambrel {

class NumberStepperField : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)
  public:
    NumberStepperField(double value, double minimum, double maximum, double step,
                       const QString& unit, int fieldWidth, QWidget* parent = nullptr);

    double value() const { return value_; }
    // Stores the value as given (the owner's value) and shows it rounded.
    void setValue(double value);

    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    double step() const { return step_; }

    QLineEdit* lineEdit() const { return field_; }
    QLabel* unitLabel() const { return unitLabel_; }
    QToolButton* stepUpButton() const { return upButton_; }
    QToolButton* stepDownButton() const { return downButton_; }

    // Moves the value by `steps` × step, clamped into the range.
    void stepBy(int steps);
    // Commits the field's text as a typed value would be.
    void commitText();

    // The value a typed text commits to in `locale`: rounded, then clamped; none when the
    // text does not read as a number.
    static std::optional<double> parseCommitted(const QString& text, double minimum, double maximum,
                                                const QLocale& locale);

  Q_SIGNALS:
    void valueChanged(double value);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showValue();
    void store(double value);

    double value_;
    double minimum_;
    double maximum_;
    double step_;
    QLineEdit* field_;
    QLabel* unitLabel_;
    QToolButton* upButton_;
    QToolButton* downButton_;
};

}  // namespace ambrel
