#pragma once

// Symbols by their design names ("globe", "info.circle", …): the freedesktop icon theme's icon
// when the theme has one, else our own SVG from the resources (":/ambrel/icons/<name>.svg").
// The product mark "circle.hexagongrid.fill" is always our own.

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

namespace ambrel {

// The freedesktop theme name standing in for a symbol; empty when none fits.
QString themeIconName(const QString& symbolName);

// Resource path of our SVG for a symbol; empty when we ship none.
QString fallbackIconPath(const QString& symbolName);

// The symbol as an icon (theme first, our SVG as fallback). Monochrome symbols — our SVGs and
// the theme's symbolic icons — are drawn in the application palette's text colour of the
// moment, so they stay visible on dark palettes and follow a change of palette.
QIcon symbolIcon(const QString& symbolName);

// The product mark, always our own SVG.
QIcon productMark();
// The product mark drawn into a square image of `devicePixels`; needs no QGuiApplication.
QImage productMarkImage(int devicePixels);

// The symbol drawn in one colour at `pixelSize` device-independent pixels, for monochrome uses
// (a pink heart, a tertiary chevron). Uses our own SVG when there is one, since a coloured
// theme icon would turn into a silhouette.
QPixmap tintedSymbol(const QString& symbolName, int pixelSize, const QColor& color,
                     qreal devicePixelRatio = 1.0);

}  // namespace ambrel
