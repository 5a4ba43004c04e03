#include "widget/host/window_positions.h"

#include <QStringList>

namespace ambrel::widget {

std::string positionKey(WidgetFamily family) {
    return "host.position." + familyName(family).toStdString();
}

std::optional<QPoint> WindowPositions::load(WidgetFamily family) const {
    const auto stored = defaults_.data(positionKey(family));
    if (!stored) return std::nullopt;
    const QStringList parts = QString::fromStdString(*stored).split(QLatin1Char(','));
    if (parts.size() != 2) return std::nullopt;
    bool xOk = false;
    bool yOk = false;
    const int x = parts[0].trimmed().toInt(&xOk);
    const int y = parts[1].trimmed().toInt(&yOk);
    if (!xOk || !yOk) return std::nullopt;
    return QPoint(x, y);
}

void WindowPositions::save(WidgetFamily family, const QPoint& position) {
    const QString text = QStringLiteral("%1,%2").arg(position.x()).arg(position.y());
    defaults_.set(positionKey(family), text.toStdString());
}

}  // namespace ambrel::widget
