#pragma once

// The dashboard's account menu: one item, "Sign out", drawn in red as a destructive choice.

#include <QMenu>

namespace ambrel {

class AccountMenu final : public QMenu {
    Q_OBJECT
  public:
    explicit AccountMenu(QWidget* parent = nullptr);

    QAction* signOutAction() const { return signOut_; }

  protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;

  private:
    QAction* signOut_;
};

}  // namespace ambrel
