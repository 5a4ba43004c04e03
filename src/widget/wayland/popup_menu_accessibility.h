#pragma once

// What assistive technologies learn of a face's menu, which is drawn on a popup surface Qt
// knows nothing of. As for the face itself (face_accessibility.h), a top-level window object
// that is never shown on Qt's own connection puts it in the application's accessible tree: a
// popup menu with one item per row. The highlighted row has the focus, so that a screen reader
// follows the arrow keys, and an item's press action chooses it as Return would.

#include <QRect>
#include <QStringList>
#include <QWindow>
#include <functional>
#include <optional>

namespace ambrel::wayland {

class PopupMenuAccessibility final : public QWindow {
    Q_OBJECT
  public:
    PopupMenuAccessibility(QStringList labels, std::function<void(int row)> choose);
    ~PopupMenuAccessibility() override;

    QAccessibleInterface* accessibleRoot() const override;

    const QStringList& labels() const { return labels_; }
    std::optional<int> highlighted() const { return highlighted_; }
    void setHighlighted(std::optional<int> row);
    void choose(int row) const {
        if (choose_) choose_(row);
    }

    // Where the compositor put the menu, in the desktop's logical coordinates; also when it
    // first appears there.
    QRect desktopGeometry() const { return desktopGeometry_; }
    void setDesktopGeometry(const QRect& geometry);
    bool isShown() const { return desktopGeometry_.isValid(); }
    // The row's place, in the desktop's logical coordinates.
    QRect rowGeometry(int row) const;

  private:
    QStringList labels_;
    std::function<void(int)> choose_;
    std::optional<int> highlighted_;
    QRect desktopGeometry_;
};

}  // namespace ambrel::wayland
