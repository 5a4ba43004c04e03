#include "widget/host/face_window.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "widget/faces/earnings_widget.h"

namespace ambrel::widget {
namespace {

constexpr int kMoveSettleMs = 400;

// The window as assistive technologies see it: its name and description, and the menu's
// commands as actions, since a screen reader's user clicks no face.
class FaceWindowAccessible final : public QAccessibleWidget {
  public:
    explicit FaceWindowAccessible(FaceWindow* window)
        : QAccessibleWidget(window, QAccessible::Window) {}

    QStringList actionNames() const override { return faceActionNames(); }
    QString localizedActionName(const QString& name) const override {
        return faceActionDescription(name);
    }
    QString localizedActionDescription(const QString& name) const override {
        return faceActionDescription(name);
    }
    void doAction(const QString& name) override {
        if (const auto command = faceCommandOfAction(name))
            static_cast<FaceWindow*>(widget())->run(*command);
    }
};

QAccessibleInterface* faceWindowInterface(const QString& className, QObject* object) {
    if (className == QLatin1String(FaceWindow::staticMetaObject.className()))
        return new FaceWindowAccessible(static_cast<FaceWindow*>(object));
    return nullptr;
}

}  // namespace

FaceWindow::FaceWindow(WidgetFamily family, bool keepBelow, QWidget* parent)
    : QWidget(parent, windowFlagsFor(keepBelow)), family_(family) {
    static const bool installed = [] {
        QAccessible::installFactory(&faceWindowInterface);
        return true;
    }();
    (void)installed;
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
    if (event->button() == Qt::RightButton) {
        Q_EMIT menuRequested(family_, event->globalPosition().toPoint());
        return event->accept();
    }
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    pressedAt_ = event->globalPosition().toPoint();
    event->accept();
}

// Only a pointer that has gone the drag distance moves the window: a press and release in
// place is a click.
void FaceWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->globalPosition().toPoint();
    if (pressedAt_ && (at - *pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
        startMove(*pressedAt_);
        pressedAt_.reset();
    }
    if (!manualGrab_) return QWidget::mouseMoveEvent(event);
    move(at - *manualGrab_);
    event->accept();
}

void FaceWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    if (pressedAt_) {
        pressedAt_.reset();
        run(FaceCommand::openAmbrel);
    } else if (manualGrab_) {
        manualGrab_.reset();
        reportMove();
    }
    event->accept();
}

// The window manager's own move follows the cursor best and knows the screen edges; not every
// window system offers it (X11 without a window manager does not).
void FaceWindow::startMove(QPoint globalPosition) {
    if (windowHandle() && windowHandle()->startSystemMove()) {
        systemMoving_ = true;
    } else {
        manualGrab_ = globalPosition - frameGeometry().topLeft();
    }
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
