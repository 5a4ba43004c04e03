#pragma once

// An objective amount: a 100 px field editing a floating-point number in the user's locale, and
// the unit "€". A committed edit (Return or leaving the field) that parses is handed on at once;
// one that does not parse puts the last valid number back.

#include <QWidget>
#include <functional>

class QLineEdit;

namespace ambrel {

class GoalField final : public QWidget {
    Q_OBJECT
  public:
    GoalField(double value, std::function<void(double)> onCommit, QWidget* parent = nullptr);

    double value() const { return value_; }
    QLineEdit* lineEdit() const { return edit_; }

    // Takes the typed text as the new value, or puts the last valid one back. Runs on Return and
    // on leaving the field; the sheet also calls it before saving, since its Return shortcut
    // can take the key before the field sees it.
    void commit();

    // Puts the last committed value back, dropping what was typed since: the sheet is being
    // cancelled, and the focus leaving the field as it closes must not commit the typing.
    void discardTyping();

    // The locale's default floating-point text: grouping, decimal separator, no fixed digits.
    static QString text(double value);

  private:
    double value_;
    std::function<void(double)> onCommit_;
    QLineEdit* edit_;
};

}  // namespace ambrel
