#include "widget/faces/face_canvas.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <cmath>
#include <utility>

#include "ui/icons.h"
#include "ui/progress_ring.h"
#include "widget/faces/fitted_line.h"

namespace ambrel {

QStringList spokenTexts(const FaceRecording& recording) {
    QStringList texts;
    for (const FaceItem& item : recording) {
        if (item.kind != FaceItem::Kind::symbol && !item.text.isEmpty()) texts << item.text;
    }
    return texts;
}

FaceCanvas::FaceCanvas(QPainter* painter, FaceRecording* recording)
    : painter_(painter), recording_(recording) {}

void FaceCanvas::drawLine(const QString& text, const QRectF& box, Qt::Alignment alignment,
                          const QFont& font, const QColor& color, double minimumScale) {
    const FittedLine line = fitLine(text, font, box.width(), minimumScale);
    const bool centred = alignment.testFlag(Qt::AlignHCenter);
    const double left = centred ? box.center().x() - line.width / 2 : box.left();
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

void FaceCanvas::drawRing(double progress, const QPointF& topLeft, double diameter,
                          double lineWidth, double centerFontSize, const QColor& idleTextColor) {
    record({.kind = FaceItem::Kind::ring,
            .text = ProgressRing::percentText(progress),
            .rect = QRectF(topLeft, QSizeF(diameter, diameter)),
            .color = idleTextColor,
            .progress = progress,
            .lineWidth = lineWidth,
            .centerFontSize = centerFontSize});
    if (!painter_) return;
    painter_->save();
    painter_->translate(topLeft);
    ProgressRing::paint(*painter_, progress, diameter, lineWidth, centerFontSize, idleTextColor);
    painter_->restore();
}

void FaceCanvas::record(FaceItem item) {
    if (recording_) recording_->push_back(std::move(item));
}

}  // namespace ambrel
