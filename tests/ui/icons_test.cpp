// Every symbol the views use draws something, from the theme or from our own SVGs.

#include "ui/icons.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QStyle>
#include <QSvgRenderer>

#include "support/palettes.h"
#include "support/qt_application.h"

namespace ambrel {
namespace {

const auto* const kGui = ::testing::AddGlobalTestEnvironment(new testing::QtApplicationEnvironment);

const QStringList kSymbols{"circle.hexagongrid.fill",
                           "target",
                           "arrow.clockwise",
                           "person.crop.circle",
                           "info.circle",
                           "chart.line.uptrend.xyaxis",
                           "arrowtriangle.up.fill",
                           "arrowtriangle.down.fill",
                           "globe",
                           "heart.fill",
                           "chevron.right",
                           "arrow.up.right.square"};

int opaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) > 128;
    }
    return count;
}

// A malformed SVG loads as an empty icon without any error; this catches it.
TEST(Icons, EveryFallbackIsAValidDrawableSvg) {
    for (const QString& symbol : kSymbols) {
        const QString path = fallbackIconPath(symbol);
        ASSERT_FALSE(path.isEmpty()) << symbol.toStdString();
        EXPECT_TRUE(QSvgRenderer(path).isValid()) << symbol.toStdString();
        EXPECT_GT(opaquePixels(tintedSymbol(symbol, 24, Qt::black).toImage()), 20)
            << symbol.toStdString();
        EXPECT_FALSE(symbolIcon(symbol).isNull()) << symbol.toStdString();
    }
    EXPECT_TRUE(fallbackIconPath("no.such.symbol").isEmpty());
}

TEST(Icons, TintKeepsTheShapeAndReplacesTheColour) {
    const QImage heart = tintedSymbol("heart.fill", 32, QColor(255, 45, 85), 2.0).toImage();
    EXPECT_EQ(heart.size(), QSize(64, 64));
    const QColor middle = heart.pixelColor(32, 32);
    EXPECT_EQ(middle.alpha(), 255);
    EXPECT_EQ(middle.red(), 255);
    EXPECT_EQ(middle.green(), 45);
    EXPECT_EQ(qAlpha(heart.pixel(1, 1)), 0);
}

// The colour of the most opaque pixel: what the symbol is drawn in.
QColor inkOf(const QImage& image) {
    QColor ink(Qt::transparent);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).alpha() > ink.alpha()) ink = image.pixelColor(x, y);
        }
    }
    return ink;
}

// Monochrome symbols are drawn in the palette's text colour of the moment: black shapes would
// vanish on a dark palette, and the same icon follows a switch between palettes.
TEST(Icons, SymbolsTakeThePalettesTextColourWhenDrawn) {
    const QIcon icon = symbolIcon("target");
    for (const QPalette& palette :
         {testing::darkPalette(), QApplication::style()->standardPalette()}) {
        testing::ScopedPalette scoped(palette);
        const QColor ink = inkOf(icon.pixmap(24).toImage());
        const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
        EXPECT_EQ(ink.alpha(), 255);
        EXPECT_EQ(ink.rgb(), text.rgb()) << ink.name().toStdString();
        EXPECT_EQ(inkOf(icon.pixmap(24, QIcon::Disabled).toImage()).rgb(),
                  palette.color(QPalette::Disabled, QPalette::WindowText).rgb());
    }
    EXPECT_NE(inkOf(productMark().pixmap(24).toImage()).rgb(),
              QGuiApplication::palette().color(QPalette::WindowText).rgb())
        << "the product mark keeps its own colours";
}

// The product mark is ours even when a theme is set.
TEST(Icons, ProductMarkIsAlwaysOurOwn) {
    QIcon::setThemeName("Adwaita");
    EXPECT_TRUE(themeIconName("circle.hexagongrid.fill").isEmpty());
    EXPECT_FALSE(productMark().isNull());
    EXPECT_EQ(themeIconName("arrow.clockwise"), QStringLiteral("view-refresh"));
}

}  // namespace
}  // namespace ambrel
