#include "ui/fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <algorithm>

namespace ambrel {
namespace {

// Rounded sans families seen on Linux desktops, best first. None is required.
const QStringList& roundedCandidates() {
    static const QStringList families{QStringLiteral("Nunito"), QStringLiteral("Varela Round"),
                                      QStringLiteral("M PLUS Rounded 1c"),
                                      QStringLiteral("Quicksand"), QStringLiteral("Comfortaa")};
    return families;
}

// Looked up once: the font database does not change while the programs run.
const QString& installedRoundedFamily() {
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const QString& candidate : roundedCandidates()) {
            if (installed.contains(candidate, Qt::CaseInsensitive)) return candidate;
        }
        return QString();
    }();
    return family;
}

int toPixels(double size) {
    return std::max(1, qRound(size));
}

constexpr double kDesignBodyPixels = 13;
double gTextScale = 1;

}  // namespace

void setTextScale(double scale) {
    gTextScale = scale > 0 ? scale : 1;
}

double textScale() {
    return gTextScale;
}

double desktopTextScale() {
    const QFont font = QGuiApplication::font();
    double pixels = font.pixelSize();
    if (pixels <= 0) {
        // Points at the screen's logical resolution, as Qt turns the font into pixels.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96;
        pixels = font.pointSizeF() * dpi / 72;
    }
    if (!(pixels > 0)) return 1;
    // Never below the design: without a platform theme Qt reports its own 9-point fallback,
    // which says nothing of what the user chose.
    return std::clamp(pixels / kDesignBodyPixels, 1.0, 3.0);
}

double scaledPixelSize(double pixelSize) {
    return pixelSize * gTextScale;
}

int textStylePixelSize(TextStyle style) {
    switch (style) {
        case TextStyle::LargeTitle:
            return 26;
        case TextStyle::Title2:
            return 17;
        case TextStyle::Headline:
        case TextStyle::Body:
            return 13;
        case TextStyle::Callout:
            return 12;
        case TextStyle::Subheadline:
            return 11;
        case TextStyle::Caption:
        case TextStyle::Caption2:
            return 10;
    }
    return 13;
}

QFont textStyleFont(TextStyle style) {
    const QFont::Weight weight = style == TextStyle::Headline ? QFont::Bold : QFont::Normal;
    return systemFont(scaledPixelSize(textStylePixelSize(style)), weight);
}

QFont systemFont(double pixelSize, QFont::Weight weight, bool rounded) {
    QFont font;
    if (rounded && !installedRoundedFamily().isEmpty()) font.setFamily(installedRoundedFamily());
    font.setPixelSize(toPixels(pixelSize));
    font.setWeight(weight);
    return font;
}

QFont monospacedFont(double pixelSize) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(toPixels(pixelSize));
    return font;
}

bool hasEqualWidthDigits(const QFont& font) {
    const QFontMetricsF metrics(font);
    const qreal zero = metrics.horizontalAdvance(QLatin1Char('0'));
    for (char digit = '1'; digit <= '9'; ++digit) {
        if (!qFuzzyCompare(metrics.horizontalAdvance(QLatin1Char(digit)), zero)) return false;
    }
    return true;
}

QFont withMonospacedDigits(const QFont& base) {
    if (hasEqualWidthDigits(base)) return base;
    QFont font = base;
    font.setFamily(QStringLiteral("DejaVu Sans"));
    // Keep the base when DejaVu Sans is not installed either: a substitute could be worse.
    return QFontInfo(font).family() == font.family() ? font : base;
}

}  // namespace ambrel
