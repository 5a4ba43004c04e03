#pragma once

// A toolbar button that opens a menu, with the small down arrow that says so drawn beside its
// icon. The styles draw that arrow in the button's corner, over an icon-only button's icon.

#include <QToolButton>

namespace ambrel {

class MenuToolButton final : public QToolButton {
    Q_OBJECT
  public:
    // Shows `action` (icon, tooltip, menu) and opens its menu on a press.
    explicit MenuToolButton(QAction* action, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Where the icon and the arrow are drawn, side by side.
    QRect iconArea() const;
    QRect arrowArea() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace ambrel
