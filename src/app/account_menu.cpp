#include "app/account_menu.h"

#include <QStyleOptionMenuItem>

#include "app/localized.h"
#include "ui/colors.h"

namespace ambrel {

AccountMenu::AccountMenu(QWidget* parent)
    : QMenu(parent), signOut_(addAction(localized("Sign out"))) {
    signOut_->setObjectName(QStringLiteral("signOutAction"));
}

void AccountMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
    QMenu::initStyleOption(option, action);
    if (action != signOut_) return;
    // QMenu has no per-item colour; the destructive item gets red text through its style option
    // (the highlighted state keeps the theme's colour so it stays readable on the selection).
    const QColor red = readableOn(systemRed(), option->palette.color(QPalette::Window));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        option->palette.setColor(role, red);
    }
}

}  // namespace ambrel
