#include "widget/faces/face_canvas.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/icons.h"
#include "ui/progress_ring.h"
#include "widget/faces/fitted_line.h"
#include "widget/faces/widget_colors.h"

namespace ambrel {
namespace {

// A placeholder bar: about the height of the text's capitals, in the ring track's faint white.
constexpr double kBarHeightRatio = 0.62;
constexpr double kBarOpacity = 0.22;
constexpr double kShortestBar = 16;

double alignedLeft(const QRectF& box, double width, Qt::Alignment alignment) {
    if (alignment.testFlag(Qt::AlignHCenter)) return box.center().x() - width / 2;
    if (alignment.testFlag(Qt::AlignRight)) return box.right() - width;
    return box.left();
}

}  // namespace

QStringList spokenTexts(const FaceRecording& recording) {
    QStringList texts;
    for (const FaceItem& item : recording) {
        if (item.kind == FaceItem::Kind::symbol || item.kind == FaceItem::Kind::bar) continue;
        const QString& said = item.spoken.isEmpty() ? item.text : item.spoken;
        if (!said.isEmpty()) texts << said;
    }
    return texts;
}

FaceCanvas::FaceCanvas(QPainter* painter, FaceRecording* recording, FigureStyle figures)
    : painter_(painter), recording_(recording), figures_(figures) {}

void FaceCanvas::drawLine(const QString& text, const QRectF& box, Qt::Alignment alignment,
                          const QFont& font, const QColor& color, double minimumScale) {
    const FittedLine line = fitLine(text, font, box.width(), minimumScale);
    const double left = alignedLeft(box, line.width, alignment);
    record({.kind = FaceItem::Kind::text,
            .text = line.text,
            .rect = QRectF(left, box.top(), line.width, box.height()),
            .color = color,
            .font = font,
            .scale = line.scale});
    if (!painter_) return;

    // Scale about the line's left end at mid-height, so a shrunk line keeps its place.
    painter_->save();
    painter_->translate(left, box.center().y());
    painter_->scale(line.scale, line.scale);
    painter_->setFont(font);
    painter_->setPen(color);
    const double height = box.height() / line.scale;
    painter_->drawText(QRectF(0, -height / 2, line.width / line.scale + 1, height),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, line.text);
    painter_->restore();
}

void FaceCanvas::drawFigure(const QString& text, const QRectF& box, Qt::Alignment alignment,
                            const QFont& font, const QColor& color, double minimumScale,
                            const QString& spoken) {
    if (figures_ == FigureStyle::placeholder) return drawBar(box, text, alignment, font);
    drawLine(text, box, alignment, font, figureColor(color), minimumScale);
    if (recording_ && !spoken.isEmpty()) recording_->back().spoken = spoken;
}

void FaceCanvas::drawWrapped(const QString& text, const QRectF& box, const QFont& font,
                             const QColor& color) {
    record({.kind = FaceItem::Kind::text, .text = text, .rect = box, .color = color, .font = font});
    if (!painter_) return;
    painter_->save();
    painter_->setFont(font);
    painter_->setPen(color);
    painter_->drawText(box, Qt::AlignCenter | Qt::TextWordWrap, text);
    painter_->restore();
}

void FaceCanvas::drawSymbol(const QString& name, const QRectF& box, const QColor& color) {
    record({.kind = FaceItem::Kind::symbol, .text = name, .rect = box, .color = color});
    if (!painter_) return;
    const int side =
        std::max(1, static_cast<int>(std::lround(std::min(box.width(), box.height()))));
    // Rendered at the device's resolution, so the symbol stays sharp in a scaled render.
    const qreal ratio = painter_->device() ? painter_->device()->devicePixelRatioF() : 1.0;
    const QPixmap symbol = tintedSymbol(name, side, color, ratio);
    const QRectF target(box.center().x() - side / 2.0, box.center().y() - side / 2.0, side, side);
    painter_->save();
    painter_->setRenderHint(QPainter::SmoothPixmapTransform);
    painter_->drawPixmap(target, symbol, QRectF(symbol.rect()));
    painter_->restore();
}

void FaceCanvas::drawFigureSymbol(const QString& name, const QRectF& box, const QColor& color) {
    if (figures_ == FigureStyle::placeholder) return;
    drawSymbol(name, box, figureColor(color));
}

void FaceCanvas::drawRing(double progress, const QPointF& topLeft, double diameter,
                          double lineWidth, double centerFontSize, const QColor& idleTextColor) {
    if (figures_ == FigureStyle::placeholder)
        return drawPlaceholderRing(topLeft, diameter, lineWidth);
    const double opacity = figures_ == FigureStyle::dimmed ? kDimmedOpacity : 1.0;
    record({.kind = FaceItem::Kind::ring,
            .text = ProgressRing::percentText(progress),
            .rect = QRectF(topLeft, QSizeF(diameter, diameter)),
            .color = idleTextColor,
            .progress = progress,
            .lineWidth = lineWidth,
            .centerFontSize = centerFontSize,
            .opacity = opacity});
    if (!painter_) return;
    painter_->save();
    painter_->setOpacity(painter_->opacity() * opacity);
    painter_->translate(topLeft);
    ProgressRing::paint(*painter_, progress, diameter, lineWidth, centerFontSize, idleTextColor);
    painter_->restore();
}

void FaceCanvas::drawPlaceholderRing(const QPointF& topLeft, double diameter, double lineWidth) {
    record({.kind = FaceItem::Kind::ring,
            .rect = QRectF(topLeft, QSizeF(diameter, diameter)),
            .color = whiteAt(kBarOpacity),
            .lineWidth = lineWidth});
    if (!painter_) return;
    painter_->save();
    painter_->setRenderHint(QPainter::Antialiasing);
    painter_->setPen(QPen(whiteAt(kBarOpacity), lineWidth));
    painter_->setBrush(Qt::NoBrush);
    painter_->drawEllipse(QRectF(topLeft, QSizeF(diameter, diameter)));
    painter_->restore();
}

void FaceCanvas::drawBar(const QRectF& box, const QString& text, Qt::Alignment alignment,
                         const QFont& font) {
    const double width =
        std::clamp(textWidth(text, font), std::min(kShortestBar, box.width()), box.width());
    const double height = font.pixelSize() * kBarHeightRatio;
    const QRectF bar(alignedLeft(box, width, alignment), box.center().y() - height / 2, width,
                     height);
    record({.kind = FaceItem::Kind::bar, .rect = bar, .color = whiteAt(kBarOpacity)});
    if (!painter_) return;
    painter_->save();
    painter_->setRenderHint(QPainter::Antialiasing);
    painter_->setPen(Qt::NoPen);
    painter_->setBrush(whiteAt(kBarOpacity));
    painter_->drawRoundedRect(bar, height / 2, height / 2);
    painter_->restore();
}

QColor FaceCanvas::figureColor(QColor color) const {
    if (figures_ == FigureStyle::dimmed) color.setAlphaF(color.alphaF() * kDimmedOpacity);
    return color;
}

void FaceCanvas::record(FaceItem item) {
    if (recording_) recording_->push_back(std::move(item));
}

}  // namespace ambrel
