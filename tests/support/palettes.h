#pragma once

// Light and dark palettes for the views' drawing tests, and the contrast of what they drew
// (WCAG 2 relative luminance and contrast ratio).

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QRect>
#include <algorithm>
#include <cmath>

namespace ambrel::testing {

// A dark desktop palette: light text on #2b2b2b.
inline QPalette darkPalette() {
    QPalette palette(QColor(0x3a, 0x3a, 0x3a), QColor(0x2b, 0x2b, 0x2b));
    const QColor text(0xf0, 0xf0, 0xf0);
    for (QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::BrightText}) {
        palette.setColor(QPalette::Active, role, text);
        palette.setColor(QPalette::Inactive, role, text);
        palette.setColor(QPalette::Disabled, role, QColor(0x7f, 0x7f, 0x7f));
    }
    palette.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    palette.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
    return palette;
}

// The application palette for the lifetime of a scope.
class ScopedPalette {
  public:
    explicit ScopedPalette(const QPalette& palette) : saved_(QGuiApplication::palette()) {
        QGuiApplication::setPalette(palette);
    }
    ~ScopedPalette() { QGuiApplication::setPalette(saved_); }
    ScopedPalette(const ScopedPalette&) = delete;
    ScopedPalette& operator=(const ScopedPalette&) = delete;

  private:
    QPalette saved_;
};

inline double relativeLuminance(const QColor& color) {
    const auto channel = [](double value) {
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

inline double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The strongest contrast any pixel of `area` has against `background`: what stands out most
// of a text or a symbol drawn there.
inline double strongestContrast(const QImage& image, const QRect& area, const QColor& background) {
    double strongest = 1;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            strongest = std::max(strongest, contrastRatio(image.pixelColor(x, y), background));
        }
    }
    return strongest;
}

}  // namespace ambrel::testing
