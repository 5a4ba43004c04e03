#include "ui/icons.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPalette>
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

// The symbol's colour for a mode of an icon, from the application palette as it is now.
QColor paletteColor(QIcon::Mode mode) {
    const QPalette palette = QGuiApplication::palette();
    switch (mode) {
        case QIcon::Disabled:
            return palette.color(QPalette::Disabled, QPalette::WindowText);
        case QIcon::Selected:
            return palette.color(QPalette::Active, QPalette::HighlightedText);
        case QIcon::Normal:
        case QIcon::Active:
            break;
    }
    return palette.color(QPalette::Active, QPalette::WindowText);
}

QImage tinted(QImage image, const QColor& color) {
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Keep the symbol's coverage, replace its colour.
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    return image;
}

// A monochrome symbol drawn in the palette's text colour at the moment it is painted: black
// shapes would vanish on a dark palette, and a palette change repaints the widgets, which then
// ask for the new colour.
class PaletteTintedEngine final : public QIconEngine {
  public:
    explicit PaletteTintedEngine(QIcon shape) : shape_(std::move(shape)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio =
            painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, ratio));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        const QPixmap shape = shape_.pixmap(size, scale, QIcon::Normal, state);
        if (shape.isNull()) return {};
        QPixmap pixmap = QPixmap::fromImage(tinted(shape.toImage(), paletteColor(mode)));
        pixmap.setDevicePixelRatio(shape.devicePixelRatio());
        return pixmap;
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return shape_.actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return shape_.availableSizes(mode, state);
    }
    bool isNull() override { return shape_.isNull(); }
    QString key() const override { return QStringLiteral("ambrel-palette-tinted"); }
    QIconEngine* clone() const override { return new PaletteTintedEngine(shape_); }

  private:
    QIcon shape_;
};

QIcon paletteTinted(QIcon shape) {
    return QIcon(new PaletteTintedEngine(std::move(shape)));
}

// The symbolic (monochrome) variant first: it is the closer match for a symbol, and being a
// silhouette it takes the palette's colour. A full-colour theme icon is kept as drawn.
QIcon themeIcon(const QString& symbolName) {
    const QString name = themeIconName(symbolName);
    if (name.isEmpty()) return {};
    QIcon symbolic = QIcon::fromTheme(name + QStringLiteral("-symbolic"));
    if (!symbolic.isNull()) return paletteTinted(symbolic);
    return QIcon::fromTheme(name);
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
    return path.isEmpty() ? QIcon() : paletteTinted(QIcon(path));
}

QIcon productMark() {
    return QIcon(fallbackIconPath(kProductMark));
}

QImage productMarkImage(int devicePixels) {
    return renderSvg(fallbackIconPath(kProductMark), devicePixels);
}

QPixmap tintedSymbol(const QString& symbolName, int pixelSize, const QColor& color,
                     qreal devicePixelRatio) {
    const int devicePixels = std::max(1, static_cast<int>(std::ceil(pixelSize * devicePixelRatio)));
    const QString path = fallbackIconPath(symbolName);
    QImage image = path.isEmpty()
                       ? symbolIcon(symbolName).pixmap(devicePixels, devicePixels).toImage()
                       : renderSvg(path, devicePixels);
    if (image.isNull()) return {};
    QPixmap pixmap = QPixmap::fromImage(tinted(std::move(image), color));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

}  // namespace ambrel
