#pragma once

// The dashboard's items in the main window's toolbar, at its trailing end: a small spinner while
// an operation runs, "Objectives", "Refresh" (disabled while working) and the "Account" menu,
// whose button shows its arrow beside the icon. The same actions, with their shortcuts (F5 and
// Ctrl+R refresh, Ctrl+, opens the objectives), are in the window's "Dashboard" menu.
// The items belong to this object and leave the toolbar and the menu bar with it.

#include <QMenu>
#include <QObject>
#include <QPointer>

class QAction;
class QToolBar;
class QToolButton;
class QWidgetAction;

namespace ambrel {

class AccountMenu;
class AppState;
class BusyIndicator;
class MenuToolButton;

class DashboardToolbar final : public QObject {
    Q_OBJECT
  public:
    DashboardToolbar(AppState& state, QToolBar& toolbar, QObject* parent = nullptr);
    ~DashboardToolbar() override;

    QAction* objectivesAction() const { return objectives_; }
    QAction* refreshAction() const { return refresh_; }
    QAction* accountAction() const { return account_; }
    MenuToolButton* accountButton() const { return accountButton_; }
    QAction* spinnerAction() const;
    AccountMenu* accountMenu() const { return menu_; }
    // The window's menu of the dashboard; none when the toolbar is not in a main window.
    QMenu* windowMenu() const { return windowMenu_; }
    QAction* objectivesMenuAction() const { return objectivesItem_; }

  Q_SIGNALS:
    void objectivesRequested();

  private:
    QAction* makeAction(const QString& symbol, const char* title, const char* tooltip);
    QAction* addButton(const QString& symbol, const char* title, const char* tooltip);
    void updateWorking();
    void makeWindowMenu();

    AppState& state_;
    QToolBar& toolbar_;
    QWidgetAction* spacer_;
    QWidgetAction* spinner_;
    QAction* objectives_;
    QAction* refresh_;
    QAction* account_;
    MenuToolButton* accountButton_;
    QWidgetAction* accountItem_;
    AccountMenu* menu_;
    QPointer<QMenu> windowMenu_;  // the window's menu bar may go first, and take it along
    QAction* objectivesItem_ = nullptr;
};

}  // namespace ambrel
