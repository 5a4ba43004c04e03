#include "widget/faces/earnings_widget.h"

#include <QPainter>
#include <cmath>

#include "core/earnings/account_day_text.h"
#include "widget/faces/earnings_widget_background.h"
#include "widget/faces/earnings_widget_view.h"
#include "widget/faces/face_notice.h"
#include "widget/faces/face_texts.h"
#include "widget/faces/large_widget.h"

namespace ambrel::EarningsWidget {

QString displayName() {
    return localized("AdSense earnings");
}

QString description() {
    return localized("Your estimated AdSense earnings, updated automatically.");
}

void draw(QPainter* painter, FaceRecording* recording, const EarningsEntry& entry,
          WidgetFamily family, const QRectF& rect) {
    if (painter) EarningsWidgetBackground().draw(*painter, rect);
    const FigureStyle figures =
        entry.isConnected ? faceNoticeOf(entry).figures : FigureStyle::plain;
    FaceCanvas canvas(painter, recording, figures);
    const QRectF content =
        rect.adjusted(kContentMargin, kContentMargin, -kContentMargin, -kContentMargin);
    EarningsWidgetView{.entry = entry, .familyOverride = std::nullopt, .envFamily = family}.draw(
        canvas, content);
}

QString accessibleDescription(const EarningsEntry& entry, WidgetFamily family) {
    FaceRecording recording;
    draw(nullptr, &recording, entry, family, QRectF(QPointF(0, 0), familySize(family)));
    QStringList texts = spokenTexts(recording);
    if (entry.isConnected && family == WidgetFamily::systemLarge) {
        texts += LargeWidget{entry}.spokenProjection();
        // Whose midnight ends "today", once: the report days are the account's, not the desktop's.
        if (const auto zone = accountDayText(entry.snapshot.timeZone))
            texts << QString::fromStdString(*zone);
    }
    return texts.join(QStringLiteral(", "));
}

void paint(QImage& target, double scale, const EarningsEntry& entry, WidgetFamily family,
           QSize logicalSize) {
    target.setDevicePixelRatio(scale);
    target.fill(Qt::transparent);
    QPainter painter(&target);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    draw(&painter, nullptr, entry, family, QRectF(QPointF(0, 0), logicalSize));
}

QImage image(const EarningsEntry& entry, WidgetFamily family, double scale) {
    const QSize size = familySize(family);
    QImage image(static_cast<int>(std::lround(size.width() * scale)),
                 static_cast<int>(std::lround(size.height() * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    paint(image, scale, entry, family, size);
    return image;
}

}  // namespace ambrel::EarningsWidget
