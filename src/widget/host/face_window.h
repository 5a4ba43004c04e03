#pragma once

// One widget on the desktop: a frameless window of the family's size that paints the face of
// the current entry with rounded, transparent corners. The user moves it by dragging, opens
// Ambrel with a click (a press and release without a drag) and gets its menu with the other
// button; assistive technologies get the menu's commands as the window's actions.

#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "widget/earnings_provider.h"
#include "widget/faces/face_commands.h"
#include "widget/faces/widget_family.h"

namespace ambrel::widget {

class FaceWindow final : public QWidget {
    Q_OBJECT
  public:
    // `keepBelow`: ask the window manager to keep the window below all others and out of the
    // task bar. Without it (a window system that cannot do that) it is an ordinary window.
    FaceWindow(WidgetFamily family, bool keepBelow, QWidget* parent = nullptr);

    WidgetFamily family() const { return family_; }
    const std::optional<EarningsEntry>& entry() const { return entry_; }
    void setEntry(const EarningsEntry& entry);

    static Qt::WindowFlags windowFlagsFor(bool keepBelow);

    // What a click, the menu or an accessible action asks of the face.
    void run(FaceCommand command) { Q_EMIT commandChosen(family_, command); }

  Q_SIGNALS:
    // The user has finished moving the window; `position` is its new top left corner.
    void movedByUser(ambrel::WidgetFamily family, QPoint position);
    // A click opens Ambrel; the menu's and the actions' commands come the same way.
    void commandChosen(ambrel::WidgetFamily family, ambrel::FaceCommand command);
    // The other button was pressed at `globalPosition`.
    void menuRequested(ambrel::WidgetFamily family, QPoint globalPosition);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

  private:
    void startMove(QPoint globalPosition);
    void reportMove();

    WidgetFamily family_;
    std::optional<EarningsEntry> entry_;
    // Where the primary button went down, until it comes up or the pointer has gone far enough
    // to make it a drag.
    std::optional<QPoint> pressedAt_;
    // The window manager moves the window after startSystemMove() and sends no release; the
    // move counts as finished once the window has rested for a moment.
    QTimer moveSettled_;
    bool systemMoving_ = false;
    std::optional<QPoint> manualGrab_;  // cursor offset inside the window during a manual move
};

}  // namespace ambrel::widget
