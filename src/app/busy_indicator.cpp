#include "app/busy_indicator.h"

#include <QPainter>
#include <QTimerEvent>
#include <algorithm>

namespace ambrel {
namespace {
constexpr int kSpokes = 12;
constexpr int kFrameMs = 80;
}  // namespace

BusyIndicator::BusyIndicator(int diameter, QWidget* parent) : QWidget(parent), diameter_(diameter) {
    setFixedSize(diameter, diameter);
    setAttribute(Qt::WA_TranslucentBackground);
}

QSize BusyIndicator::sizeHint() const {
    return {diameter_, diameter_};
}

void BusyIndicator::setColor(const QColor& color) {
    color_ = color;
    update();
}

void BusyIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const double radius = diameter_ / 2.0;
    const double spokeWidth = std::max(1.5, diameter_ / 10.0);
    QColor color = color_.isValid() ? color_ : palette().color(QPalette::WindowText);
    QPen pen(color, spokeWidth, Qt::SolidLine, Qt::RoundCap);
    for (int i = 0; i < kSpokes; ++i) {
        // The spoke at the current step is darkest; the ones behind it fade out.
        const int age = (step_ - i + kSpokes) % kSpokes;
        color.setAlphaF(1.0 - 0.75 * age / (kSpokes - 1));
        pen.setColor(color);
        painter.setPen(pen);
        painter.save();
        painter.rotate(360.0 * i / kSpokes);
        painter.drawLine(QPointF(0, -radius * 0.45), QPointF(0, -radius + spokeWidth / 2));
        painter.restore();
    }
}

void BusyIndicator::showEvent(QShowEvent*) {
    timer_.start(kFrameMs, this);
}

void BusyIndicator::hideEvent(QHideEvent*) {
    timer_.stop();
}

void BusyIndicator::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_.timerId()) return QWidget::timerEvent(event);
    step_ = (step_ + 1) % kSpokes;
    update();
}

}  // namespace ambrel
