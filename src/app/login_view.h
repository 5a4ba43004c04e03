#pragma once

// What the main window shows while no Google account is connected: the product, the sign-in
// button and the last error message; while no usable OAuth client file is in place, also the
// way to get one and to choose it, so a first run needs no terminal.

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
    QPushButton* clientFileHelpButton() const { return help_; }
    QPushButton* chooseClientFileButton() const { return choose_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    QPushButton* makeSignInButton();
    // Colours of the sign-in button, its label and spinner, and of the help link, from the
    // current palette.
    void applyPaletteColours();
    void updateWorking();
    void updateError();
    QWidget* makeClientFileRow();
    void updateClientFileRow();
    void showClientFileHelp();
    void chooseClientFile();
    // Hands the chosen file to the state; asks before a saved client file is replaced.
    void saveClientFile(const QString& file, bool replaceExisting);

    AppState& state_;
    QPushButton* button_ = nullptr;
    BusyIndicator* spinner_ = nullptr;
    QLabel* error_ = nullptr;
    QWidget* clientFileRow_ = nullptr;
    QPushButton* help_ = nullptr;
    QPushButton* choose_ = nullptr;
};

}  // namespace ambrel
