#pragma once

// What assistive technologies learn of a face drawn on a layer surface, which Qt knows nothing
// of: a top-level window object that is never shown on Qt's own connection, so that the
// application's accessible tree (and through it AT-SPI) lists it, with an accessible interface
// of its own giving the face's name, description and place on the desktop, and the commands of
// its menu as actions.

#include <QRect>
#include <QString>
#include <QWindow>
#include <functional>

#include "widget/faces/face_commands.h"

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

    // What the face's accessible actions run.
    void setCommandHandler(std::function<void(FaceCommand)> handler) {
        commandHandler_ = std::move(handler);
    }
    void run(FaceCommand command) const {
        if (commandHandler_) commandHandler_(command);
    }

  private:
    std::function<void(FaceCommand)> commandHandler_;
    QString description_;
    QRect desktopGeometry_;
    bool shown_ = false;
};

}  // namespace ambrel::wayland
