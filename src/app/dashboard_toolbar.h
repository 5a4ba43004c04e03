#pragma once

// The dashboard's items in the main window's toolbar, at its trailing end: a small spinner while
// an operation runs, "Objectives", "Refresh" (disabled while working) and the "Account" menu,
// whose button shows its arrow beside the icon.
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

  Q_SIGNALS:
    void objectivesRequested();

  private:
    QAction* makeAction(const QString& symbol, const char* title, const char* tooltip);
    QAction* addButton(const QString& symbol, const char* title, const char* tooltip);
    void updateWorking();

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
};

}  // namespace ambrel
