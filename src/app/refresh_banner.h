#pragma once

// The strip above the dashboard that says why the figures could not be brought up to date, in
// plain words, with the next step: "Try again"; "Sign in again" once Google ended the sign-in
// (with the wait for the browser under it); the page that enables the AdSense API when Google
// names one. The figures below stay. It goes at the next successful refresh.

#include <QFrame>

#include "app/dashboard_context.h"

class QLabel;
class QPushButton;

namespace ambrel {

class AppState;
class BrowserWaitRow;

class RefreshBanner final : public QFrame {
    Q_OBJECT
  public:
    RefreshBanner(AppState& state, UrlOpener openUrl, QWidget* parent = nullptr);

    QLabel* messageLabel() const { return message_; }
    QPushButton* retryButton() const { return retry_; }
    QPushButton* signInButton() const { return signIn_; }
    QPushButton* linkButton() const { return link_; }
    BrowserWaitRow* browserWait() const { return wait_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void showState();
    void openLink();

    AppState& state_;
    UrlOpener openUrl_;
    QLabel* message_;
    QPushButton* link_;
    QPushButton* signIn_;
    QPushButton* retry_;
    BrowserWaitRow* wait_;
    bool announced_ = false;
};

}  // namespace ambrel
