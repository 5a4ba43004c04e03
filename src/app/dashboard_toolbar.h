#pragma once

// The dashboard's items in the main window's toolbar, at its trailing end: a small spinner while
// an operation runs, "Objectives", "Refresh" (disabled while working) and the "Account" menu.
// The items belong to this object and leave the toolbar with it.

#include <QObject>

class QAction;
class QToolBar;
class QToolButton;
class QWidgetAction;

namespace ambrel {

class AccountMenu;
class AppState;
class BusyIndicator;

class DashboardToolbar final : public QObject {
    Q_OBJECT
  public:
    DashboardToolbar(AppState& state, QToolBar& toolbar, QObject* parent = nullptr);
    ~DashboardToolbar() override;

    QAction* objectivesAction() const { return objectives_; }
    QAction* refreshAction() const { return refresh_; }
    QAction* accountAction() const { return account_; }
    QAction* spinnerAction() const;
    AccountMenu* accountMenu() const { return menu_; }

  Q_SIGNALS:
    void objectivesRequested();

  private:
    QAction* addButton(const QString& symbol, const char* title, const char* tooltip);
    void updateWorking();

    AppState& state_;
    QToolBar& toolbar_;
    QWidgetAction* spacer_;
    QWidgetAction* spinner_;
    QAction* objectives_;
    QAction* refresh_;
    QAction* account_;
    AccountMenu* menu_;
};

}  // namespace ambrel
