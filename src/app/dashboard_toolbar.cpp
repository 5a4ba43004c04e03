#include "app/dashboard_toolbar.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

#include "app/account_menu.h"
#include "app/app_state.h"
#include "app/busy_indicator.h"
#include "app/localized.h"
#include "app/menu_tool_button.h"
#include "ui/icons.h"

namespace ambrel {
namespace {
constexpr int kSmallSpinner = 16;

QWidgetAction* widgetAction(QWidget* widget, QObject* parent) {
    auto* action = new QWidgetAction(parent);
    action->setDefaultWidget(widget);
    return action;
}

QWidget* expandingSpacer() {
    auto* spacer = new QWidget;
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return spacer;
}
}  // namespace

DashboardToolbar::DashboardToolbar(AppState& state, QToolBar& toolbar, QObject* parent)
    : QObject(parent),
      state_(state),
      toolbar_(toolbar),
      spacer_(widgetAction(expandingSpacer(), this)),
      spinner_(widgetAction(new BusyIndicator(kSmallSpinner), this)),
      menu_(new AccountMenu) {
    spinner_->setObjectName(QStringLiteral("toolbarSpinner"));
    toolbar_.addAction(spacer_);
    toolbar_.addAction(spinner_);

    objectives_ = addButton(QStringLiteral("target"), "Objectives", "Edit objectives");
    objectives_->setObjectName(QStringLiteral("objectivesAction"));
    connect(objectives_, &QAction::triggered, this, &DashboardToolbar::objectivesRequested);

    refresh_ = addButton(QStringLiteral("arrow.clockwise"), "Refresh", "Refresh data");
    refresh_->setObjectName(QStringLiteral("refreshAction"));
    refresh_->setShortcuts({QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)});
    connect(refresh_, &QAction::triggered, &state_, &AppState::refresh);

    account_ = makeAction(QStringLiteral("person.crop.circle"), "Account", "Account");
    account_->setObjectName(QStringLiteral("accountAction"));
    account_->setMenu(menu_);
    accountButton_ = new MenuToolButton(account_);
    accountButton_->setAccessibleName(account_->text());
    accountButton_->setIconSize(toolbar_.iconSize());
    connect(&toolbar_, &QToolBar::iconSizeChanged, accountButton_, &QToolButton::setIconSize);
    accountItem_ = widgetAction(accountButton_, this);
    toolbar_.addAction(accountItem_);
    connect(menu_->signOutAction(), &QAction::triggered, &state_, &AppState::signOut);

    makeWindowMenu();
    connect(&state_, &AppState::isWorkingChanged, this, &DashboardToolbar::updateWorking);
    updateWorking();
}

void DashboardToolbar::makeWindowMenu() {
    auto* window = qobject_cast<QMainWindow*>(toolbar_.parentWidget());
    if (window == nullptr) return;
    windowMenu_ = window->menuBar()->addMenu(localized("Dashboard"));
    windowMenu_->setObjectName(QStringLiteral("dashboardMenu"));
    windowMenu_->addAction(refresh_);
    objectivesItem_ =
        windowMenu_->addAction(symbolIcon(QStringLiteral("target")), localized("Objectives…"));
    objectivesItem_->setObjectName(QStringLiteral("objectivesMenuAction"));
    objectivesItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    connect(objectivesItem_, &QAction::triggered, this, &DashboardToolbar::objectivesRequested);
    windowMenu_->addSeparator();
    windowMenu_->addAction(menu_->signOutAction());
}

DashboardToolbar::~DashboardToolbar() {
    // The menus cannot be our children (a QMenu's parent must be a widget): free them
    // ourselves, after the button and the action that show them.
    delete windowMenu_.data();
    delete accountItem_;
    delete account_;
    delete menu_;
}

QAction* DashboardToolbar::spinnerAction() const {
    return spinner_;
}

QAction* DashboardToolbar::makeAction(const QString& symbol, const char* title,
                                      const char* tooltip) {
    auto* action = new QAction(symbolIcon(symbol), localized(title), this);
    action->setToolTip(localized(tooltip));
    return action;
}

QAction* DashboardToolbar::addButton(const QString& symbol, const char* title,
                                     const char* tooltip) {
    QAction* action = makeAction(symbol, title, tooltip);
    toolbar_.addAction(action);
    if (QWidget* button = toolbar_.widgetForAction(action)) {
        button->setAccessibleName(action->text());
    }
    return action;
}

void DashboardToolbar::updateWorking() {
    const bool working = state_.isWorking();
    spinner_->setVisible(working);
    refresh_->setEnabled(!working);
}

}  // namespace ambrel
