#include "widget/host/face_window.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "widget/faces/earnings_widget.h"

namespace ambrel::widget {
namespace {

constexpr int kMoveSettleMs = 400;

}  // namespace

FaceWindow::FaceWindow(WidgetFamily family, bool keepBelow, QWidget* parent)
    : QWidget(parent, windowFlagsFor(keepBelow)), family_(family) {
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(familySize(family));
    setWindowTitle(EarningsWidget::displayName());
    setAccessibleName(EarningsWidget::displayName());
    moveSettled_.setSingleShot(true);
    moveSettled_.setInterval(kMoveSettleMs);
    connect(&moveSettled_, &QTimer::timeout, this, &FaceWindow::reportMove);
}

// Frameless, never focused. Kept below: a tool window, which window managers leave out of the
// task bar, with the "below" state.
Qt::WindowFlags FaceWindow::windowFlagsFor(bool keepBelow) {
    Qt::WindowFlags flags = Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    if (keepBelow) return flags | Qt::Tool | Qt::WindowStaysOnBottomHint;
    return flags | Qt::Window;
}

void FaceWindow::setEntry(const EarningsEntry& entry) {
    entry_ = entry;
    setAccessibleDescription(EarningsWidget::accessibleDescription(entry, family_));
    update();
}

void FaceWindow::paintEvent(QPaintEvent*) {
    if (!entry_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    EarningsWidget::draw(&painter, nullptr, *entry_, family_, QRectF(rect()));
}

void FaceWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    // The window manager's own move follows the cursor best and knows the screen edges; not
    // every window system offers it (X11 without a window manager does not).
    if (windowHandle() && windowHandle()->startSystemMove()) {
        systemMoving_ = true;
    } else {
        manualGrab_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
    event->accept();
}

void FaceWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!manualGrab_) return QWidget::mouseMoveEvent(event);
    move(event->globalPosition().toPoint() - *manualGrab_);
    event->accept();
}

void FaceWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (!manualGrab_) return QWidget::mouseReleaseEvent(event);
    manualGrab_.reset();
    reportMove();
    event->accept();
}

void FaceWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (systemMoving_) moveSettled_.start();
}

void FaceWindow::reportMove() {
    systemMoving_ = false;
    Q_EMIT movedByUser(family_, pos());
}

}  // namespace ambrel::widget
