#include "ui/fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
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

}  // namespace

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
    return systemFont(textStylePixelSize(style), weight);
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
