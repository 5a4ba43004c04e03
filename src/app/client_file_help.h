#pragma once

// A small window with the steps that give a user an OAuth client file of their own, opened
// from the sign-in view's "How to create one". The product web site is not sure to carry them,
// and the steps must be at hand before any sign-in works, so they ship with the program.

#include <QDialog>

namespace ambrel {

class ClientFileHelp final : public QDialog {
    Q_OBJECT
  public:
    explicit ClientFileHelp(QWidget* parent = nullptr);
};

}  // namespace ambrel
