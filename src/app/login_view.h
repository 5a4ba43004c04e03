#pragma once

// What the main window shows while no Google account is connected: the product, the sign-in
// button and the last error message.

#include <QWidget>

class QLabel;
class QPushButton;

namespace ambrel {

class AppState;
class BusyIndicator;

class LoginView final : public QWidget {
    Q_OBJECT
  public:
    explicit LoginView(AppState& state, QWidget* parent = nullptr);

    QPushButton* signInButton() const { return button_; }
    QLabel* errorLabel() const { return error_; }
    BusyIndicator* spinner() const { return spinner_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    QPushButton* makeSignInButton();
    // Colours of the button, its label and spinner from the current palette.
    void styleSignInButton();
    void updateWorking();
    void updateError();

    AppState& state_;
    QPushButton* button_ = nullptr;
    BusyIndicator* spinner_ = nullptr;
    QLabel* error_ = nullptr;
};

}  // namespace ambrel
