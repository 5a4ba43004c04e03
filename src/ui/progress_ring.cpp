#include "ui/progress_ring.h"

#include <QFontMetricsF>
#include <QGraphicsEffect>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "core/earnings/formatting.h"
#include "ui/colors.h"
#include "ui/fonts.h"

namespace ambrel {
namespace {

constexpr double kTrackOpacity = 0.18;
constexpr double kMiterLimit = 10;
constexpr double kMinimumTextScale = 0.5;

QPen ringPen(const QColor& color, double lineWidth, Qt::PenCapStyle cap) {
    QPen pen(color, lineWidth, Qt::SolidLine, cap, Qt::MiterJoin);
    pen.setMiterLimit(kMiterLimit);
    return pen;
}

void paintTrack(QPainter& painter, const QRectF& square, const QColor& ringColor,
                double lineWidth) {
    QColor faint = ringColor;
    faint.setAlphaF(static_cast<float>(kTrackOpacity));
    painter.setPen(ringPen(faint, lineWidth, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(square);
}

// From 12 o'clock clockwise: Qt's angles run counter-clockwise from 3 o'clock, hence the start
// at 90° and the negative sweep. A path keeps fractions finer than drawArc's 1/16 degree.
void paintArc(QPainter& painter, const QRectF& square, const QColor& ringColor, double lineWidth,
              double fraction) {
    if (fraction <= 0) return;
    painter.setPen(ringPen(ringColor, lineWidth, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    if (fraction >= 1) {
        painter.drawEllipse(square);
        return;
    }
    QPainterPath arc;
    arc.arcMoveTo(square, 90);
    arc.arcTo(square, 90, -360 * fraction);
    painter.drawPath(arc);
}

// One line, shrunk down to half its size to fit the square's width, then elided.
void paintCenterText(QPainter& painter, const QRectF& square, const QString& text,
                     const QFont& font, const QColor& color) {
    const QFontMetricsF metrics(font);
    const double available = square.width();
    const double natural = metrics.horizontalAdvance(text);
    const double scale = natural > available ? std::max(available / natural, kMinimumTextScale) : 1;
    const double width = available / scale;
    const QString shown = metrics.elidedText(text, Qt::ElideRight, width);

    painter.save();
    painter.translate(square.center());
    painter.scale(scale, scale);
    painter.setFont(font);
    painter.setPen(color);
    const double height = square.height() / scale;
    painter.drawText(QRectF(-width / 2, -height / 2, width, height), Qt::AlignCenter, shown);
    painter.restore();
}

}  // namespace

// A widget paints only inside its own rectangle; a graphics effect may paint a larger one. The
// ring is drawn here rather than in paintEvent, so the outer half of its stroke shows around
// the diameter × diameter widget.
class ProgressRing::OverflowPainter final : public QGraphicsEffect {
  public:
    explicit OverflowPainter(ProgressRing* ring) : QGraphicsEffect(ring), ring_(ring) {}

    QRectF boundingRectFor(const QRectF& rect) const override {
        const double margin = ring_->overflowMargin();
        return rect.adjusted(-margin, -margin, margin, margin);
    }

  protected:
    void draw(QPainter* painter) override {
        painter->save();
        painter->translate(sourceBoundingRect(Qt::LogicalCoordinates).topLeft());
        paint(*painter, ring_->progress_, ring_->diameter_, ring_->lineWidth_,
              ring_->centerFontSize_, ring_->idleTextColor_, ring_->metTextColor_);
        painter->restore();
    }

  private:
    ProgressRing* ring_;
};

ProgressRing::ProgressRing(double progress, double diameter, double lineWidth,
                           double centerFontSize, QColor idleTextColor, QWidget* parent)
    : QWidget(parent),
      progress_(progress),
      diameter_(diameter),
      lineWidth_(lineWidth),
      centerFontSize_(centerFontSize),
      idleTextColor_(std::move(idleTextColor)) {
    const int side = static_cast<int>(std::ceil(diameter_));
    setFixedSize(side, side);
    setGraphicsEffect(new OverflowPainter(this));
    setAccessibleName(QStringLiteral("Progress"));
    updateAccessibleText();
}

void ProgressRing::setMetTextColor(const QColor& color) {
    metTextColor_ = color;
    update();
}

void ProgressRing::setProgress(double progress) {
    if (progress == progress_) return;
    progress_ = progress;
    updateAccessibleText();
    update();
}

QColor ProgressRing::accentColor() {
    return brandYellow();
}

QColor ProgressRing::ringColor(double progress) {
    return progress >= 1 ? systemGreen() : accentColor();
}

double ProgressRing::clampedFraction(double progress) {
    if (std::isnan(progress)) return 0;
    return std::clamp(progress, 0.0, 1.0);
}

QString ProgressRing::percentText(double progress) {
    return QString::fromStdString(formatPercent(0, progress * 100));
}

int ProgressRing::overflowMargin() const {
    return static_cast<int>(std::ceil(lineWidth_ / 2));
}

void ProgressRing::paint(QPainter& painter, double progress, double diameter, double lineWidth,
                         double centerFontSize, const QColor& idleTextColor,
                         const QColor& metTextColor) {
    const QRectF square(0, 0, diameter, diameter);
    const QColor color = ringColor(progress);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    paintTrack(painter, square, color, lineWidth);
    paintArc(painter, square, color, lineWidth, clampedFraction(progress));
    paintCenterText(
        painter, square, percentText(progress), systemFont(centerFontSize, QFont::Bold, true),
        progress >= 1 ? (metTextColor.isValid() ? metTextColor : systemGreen()) : idleTextColor);
    painter.restore();
}

void ProgressRing::updateAccessibleText() {
    setAccessibleDescription(percentText(progress_));
}

}  // namespace ambrel
