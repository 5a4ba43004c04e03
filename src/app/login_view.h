#pragma once

// What the main window shows while no Google account is connected: the product, the sign-in
// button and the last error message. A first run starts with the set-up step instead ("Step 1
// of 2: choose your Google client file", with the way to get one), so it needs no terminal and
// never offers a button that can only fail. While a sign-in waits for the browser, it says so,
// with the consent page's link to copy and a way to cancel.

#include <QWidget>

class QLabel;
class QPushButton;

namespace ambrel {

class AppState;
class BrowserWaitRow;
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
    QLabel* stepLabel() const { return step_; }
    BrowserWaitRow* browserWait() const { return wait_; }

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
    QWidget* makeSetupStep();
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
    QLabel* step_ = nullptr;
    QLabel* stepText_ = nullptr;
    BrowserWaitRow* wait_ = nullptr;
    bool choseClientFile_ = false;  // this run saved a client file: the sign-in is step 2
    QPushButton* help_ = nullptr;
    QPushButton* choose_ = nullptr;
};

}  // namespace ambrel
