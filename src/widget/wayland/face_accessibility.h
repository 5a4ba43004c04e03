#pragma once

// What assistive technologies learn of a face drawn on a layer surface, which Qt knows nothing
// of: a top-level window object that is never shown on Qt's own connection, so that the
// application's accessible tree (and through it AT-SPI) lists it, with an accessible interface
// of its own giving the face's name, description and place on the desktop.

#include <QRect>
#include <QString>
#include <QWindow>

namespace ambrel::wayland {

class FaceAccessibility final : public QWindow {
    Q_OBJECT
  public:
    FaceAccessibility();

    // A plain QWindow represents nothing to assistive technologies; this one, the face.
    QAccessibleInterface* accessibleRoot() const override;

    QString description() const { return description_; }
    void setDescription(const QString& description);
    QRect desktopGeometry() const { return desktopGeometry_; }
    void setDesktopGeometry(const QRect& geometry) { desktopGeometry_ = geometry; }
    // Whether the face is on the desktop now (it has a picture on a layer surface).
    bool isShown() const { return shown_; }
    void setShown(bool shown);

  private:
    QString description_;
    QRect desktopGeometry_;
    bool shown_ = false;
};

}  // namespace ambrel::wayland
