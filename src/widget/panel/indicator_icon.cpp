#include "widget/panel/indicator_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <algorithm>
#include <cmath>

#include "ui/icons.h"
#include "ui/progress_ring.h"

namespace ambrel::panel {
namespace {

// Grey of the signed-out mark and of the track: readable on white and on black alike.
const QColor kNeutralGrey(0x8E, 0x8E, 0x93);
constexpr double kTrackOpacity = 0.5;
// The dark edge around the arc and the mark, for light panels.
constexpr double kEdgeOpacity = 0.45;

struct RingGeometry {
    double lineWidth;
    QRectF circle;  // the stroke's centre line
    QRectF mark;    // the product mark inside the ring
};

// About an eighth of the size for the ring, and a gap of one sixteenth between it and the mark.
RingGeometry ringGeometry(int size) {
    const double lineWidth = std::max(2.0, std::round(size / 8.0));
    const double gap = std::max(1.0, size / 16.0);
    const double half = lineWidth / 2;
    const QRectF circle(half, half, size - lineWidth, size - lineWidth);
    const double inset = lineWidth + gap;
    return {lineWidth, circle, QRectF(inset, inset, size - 2 * inset, size - 2 * inset)};
}

QColor withOpacity(QColor color, double opacity) {
    color.setAlphaF(static_cast<float>(opacity));
    return color;
}

QImage tinted(QImage image, const QColor& color) {
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    return image;
}

// The mark inside a thin dark outline, so its edge holds on a white panel; its holes still show
// the panel.
void paintMark(QPainter& painter, const QRectF& area, const std::optional<QColor>& tint) {
    const int pixels = static_cast<int>(std::lround(area.width()));
    QImage mark = productMarkImage(pixels);
    if (tint) mark = tinted(std::move(mark), *tint);
    const double edge = std::max(0.75, area.width() / 24);
    const double radius = area.width() * 30 / 64;  // the mark's disc spans 60 of its 64 units
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(withOpacity(Qt::black, kEdgeOpacity), edge));
    painter.drawEllipse(area.center(), radius + edge / 2, radius + edge / 2);
    painter.drawImage(area.topLeft(), mark);
}

// From 12 o'clock clockwise, under it the same arc a little wider in the dark edge colour.
void paintRing(QPainter& painter, const RingGeometry& ring, double progress) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(withOpacity(kNeutralGrey, kTrackOpacity), ring.lineWidth));
    painter.drawEllipse(ring.circle);

    const double fraction = ProgressRing::clampedFraction(progress);
    if (fraction <= 0) return;
    QPainterPath arc;
    arc.arcMoveTo(ring.circle, 90);
    arc.arcTo(ring.circle, 90, -360 * fraction);
    const double edge = std::max(1.0, ring.lineWidth / 4);
    painter.setPen(QPen(withOpacity(Qt::black, kEdgeOpacity), ring.lineWidth + edge, Qt::SolidLine,
                        Qt::RoundCap));
    painter.drawPath(arc);
    painter.setPen(QPen(ProgressRing::ringColor(progress), ring.lineWidth - edge / 2, Qt::SolidLine,
                        Qt::RoundCap));
    painter.drawPath(arc);
}

// The whole picture at `opacity`, as one layer: its strokes' overlaps do not show through.
QImage faded(QImage image, double opacity) {
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    painter.fillRect(image.rect(), withOpacity(Qt::black, opacity));
    return image;
}

QImage drawnIcon(int size, std::optional<double> progress) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!progress) {
        paintMark(painter, QRectF(0, 0, size, size).adjusted(1, 1, -1, -1), kNeutralGrey);
        return image;
    }
    const RingGeometry ring = ringGeometry(size);
    paintRing(painter, ring, *progress);
    paintMark(painter, ring.mark, std::nullopt);
    return image;
}

}  // namespace

QImage indicatorIcon(int size, std::optional<double> progress, bool stale) {
    QImage image = drawnIcon(size, progress);
    return stale ? faded(std::move(image), kStaleIconOpacity) : image;
}

DBusImageList indicatorIconPixmaps(std::optional<double> progress, bool stale) {
    DBusImageList pixmaps;
    for (int size : kIndicatorIconSizes)
        pixmaps.append(dbusImage(indicatorIcon(size, progress, stale)));
    return pixmaps;
}

DBusImage dbusImage(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    DBusImage result{argb.width(), argb.height(), {}};
    result.pixels.resize(static_cast<qsizetype>(argb.width()) * argb.height() * 4);
    auto* out = reinterpret_cast<uchar*>(result.pixels.data());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x, out += 4) qToBigEndian(row[x], out);
    }
    return result;
}

}  // namespace ambrel::panel
