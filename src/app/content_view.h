#pragma once

// The main window's root: nothing until the stored sign-in has been looked up, then the sign-in
// view while no account is connected, the dashboard while one is. The dashboard is built anew on
// every connection, so it reads the objectives again. While the secrets are kept in plain files (no
// keyring answered), a notice above either view says so.

#include <QMainWindow>
#include <QWidget>

#include "app/dashboard_context.h"

class QToolBar;

namespace ambrel {

class AppState;
class DashboardView;
class LoginView;

class ContentView final : public QWidget {
    Q_OBJECT
  public:
    // `host` is the window whose title and toolbar follow the view shown.
    ContentView(AppState& state, DashboardContext context, QMainWindow& host, QToolBar& toolbar,
                QWidget* parent = nullptr);

    DashboardView* dashboard() const;
    LoginView* login() const;

    // Shows no view before the window's first frame is out, even when the stored sign-in has
    // been looked up by then: building the dashboard of cached figures would delay that frame.
    void showAfterFirstFrame();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showCurrent();

    AppState& state_;
    DashboardContext context_;
    QMainWindow& host_;
    QToolBar& toolbar_;
    QWidget* current_ = nullptr;
    bool waitingForFirstFrame_ = false;
};

}  // namespace ambrel
