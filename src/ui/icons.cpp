#include "ui/icons.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

// The resource initialiser lives outside our namespace: Q_INIT_RESOURCE declares a global
// function. Calling it makes the static library keep the embedded SVGs.
static void initIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace ambrel {
namespace {

const QString kProductMark = QStringLiteral("circle.hexagongrid.fill");

void ensureResources() {
    static const bool initialised = [] {
        initIconResources();
        return true;
    }();
    Q_UNUSED(initialised);
}

// Themes draw these symbols too; the others (trend chart, delta triangles, heart, external
// link) have no freedesktop name with the same meaning.
const QHash<QString, QString>& themeNames() {
    static const QHash<QString, QString> names{
        {QStringLiteral("target"), QStringLiteral("find-location")},
        {QStringLiteral("arrow.clockwise"), QStringLiteral("view-refresh")},
        {QStringLiteral("person.crop.circle"), QStringLiteral("avatar-default")},
        {QStringLiteral("info.circle"), QStringLiteral("help-about")},
        {QStringLiteral("globe"), QStringLiteral("applications-internet")},
        {QStringLiteral("chevron.right"), QStringLiteral("go-next")},
    };
    return names;
}

// The symbolic (monochrome) variant first: it is the closer match for a symbol.
QIcon themeIcon(const QString& symbolName) {
    const QString name = themeIconName(symbolName);
    if (name.isEmpty()) return {};
    QIcon icon = QIcon::fromTheme(name + QStringLiteral("-symbolic"));
    if (icon.isNull()) icon = QIcon::fromTheme(name);
    return icon;
}

QImage renderSvg(const QString& path, int devicePixels) {
    QImage image(devicePixels, devicePixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, devicePixels, devicePixels));
    return image;
}

}  // namespace

QString themeIconName(const QString& symbolName) {
    return themeNames().value(symbolName);
}

QString fallbackIconPath(const QString& symbolName) {
    ensureResources();
    const QString path = QStringLiteral(":/ambrel/icons/%1.svg").arg(symbolName);
    return QFile::exists(path) ? path : QString();
}

QIcon symbolIcon(const QString& symbolName) {
    if (symbolName == kProductMark) return productMark();
    const QIcon fromTheme = themeIcon(symbolName);
    if (!fromTheme.isNull()) return fromTheme;
    const QString path = fallbackIconPath(symbolName);
    return path.isEmpty() ? QIcon() : QIcon(path);
}

QIcon productMark() {
    return QIcon(fallbackIconPath(kProductMark));
}

QPixmap tintedSymbol(const QString& symbolName, int pixelSize, const QColor& color,
                     qreal devicePixelRatio) {
    const int devicePixels = std::max(1, static_cast<int>(std::ceil(pixelSize * devicePixelRatio)));
    const QString path = fallbackIconPath(symbolName);
    QImage image = path.isEmpty()
                       ? symbolIcon(symbolName).pixmap(devicePixels, devicePixels).toImage()
                       : renderSvg(path, devicePixels);
    if (image.isNull()) return {};
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Keep the symbol's coverage, replace its colour.
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    painter.end();
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

}  // namespace ambrel
