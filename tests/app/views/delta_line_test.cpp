// The comparison line: arrow, colour and texts for rising, falling, unchanged and
// previous-zero pairs.

#include "app/delta_line.h"

#include <QImage>
#include <QLabel>

#include "support/palettes.h"
#include "ui/colors.h"
#include "view_test_support.h"

namespace ambrel::testing {
namespace {

struct Arrow {
    bool pointsUp = false;
    QColor color;
};

// Reads the arrow's pixmap: an upward triangle has more ink in its lower half.
Arrow readArrow(const DeltaLine& line) {
    const auto* label = line.findChild<QLabel*>(QStringLiteral("deltaArrow"));
    const QImage image = label->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    int upper = 0;
    int lower = 0;
    Arrow arrow;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() < 128) continue;
            (y < image.height() / 2 ? upper : lower) += 1;
            if (pixel.alpha() == 255) arrow.color = pixel;
        }
    }
    arrow.pointsUp = lower > upper;
    return arrow;
}

QColor foreground(const QWidget& widget, const char* name) {
    return widget.findChild<QLabel*>(QLatin1String(name))->palette().color(QPalette::WindowText);
}

// Rising green with an up arrow, falling red with a down arrow, each in a shade that reads at
// 4.5:1 on the rows' plate in light and dark palettes (the system green on white is 2.2:1).
TEST(DeltaLine, RisingAndFallingReadOnLightAndDarkPlates) {
    for (const bool dark : {false, true}) {
        std::optional<ScopedPalette> palette;
        if (dark) palette.emplace(darkPalette());
        const QColor plate = QGuiApplication::palette().color(QPalette::Base);
        DeltaLine rising({12.34, 11.14}, MetricKind::currency, "EUR");
        EXPECT_EQ(rising.trend(), DeltaLine::Trend::up);
        EXPECT_EQ(textOf(rising, QStringLiteral("deltaText")), QStringLiteral("+€1.20"));
        EXPECT_EQ(textOf(rising, QStringLiteral("percentChangeText")), QStringLiteral("(+11%)"));
        const Arrow up = readArrow(rising);
        EXPECT_TRUE(up.pointsUp);
        EXPECT_GT(up.color.green(), up.color.red());
        EXPECT_GE(contrastRatio(foreground(rising, "deltaText"), plate), 4.5) << dark;

        DeltaLine falling({52, 60}, MetricKind::count, "EUR");
        EXPECT_EQ(falling.trend(), DeltaLine::Trend::down);
        EXPECT_EQ(textOf(falling, QStringLiteral("deltaText")), QStringLiteral("-8"));
        EXPECT_EQ(textOf(falling, QStringLiteral("percentChangeText")), QStringLiteral("(-13%)"));
        const Arrow down = readArrow(falling);
        EXPECT_FALSE(down.pointsUp);
        EXPECT_GT(down.color.red(), down.color.green());
        EXPECT_GE(contrastRatio(foreground(falling, "percentChangeText"), plate), 4.5) << dark;
    }
}

// Below half a percent, and with nothing changed, the line says the difference and no more:
// no arrow, no colour, no "(+0%)" nor "(-0%)".
TEST(DeltaLine, ChangesBelowHalfAPercentAreNeutral) {
    for (const Comparison comparison : {Comparison{10, 10}, Comparison{99.6, 100}}) {
        DeltaLine line(comparison, MetricKind::currency, "EUR");
        EXPECT_EQ(line.trend(), DeltaLine::Trend::neutral);
        EXPECT_EQ(line.findChild<QLabel*>(QStringLiteral("deltaArrow")), nullptr);
        EXPECT_EQ(line.findChild<QLabel*>(QStringLiteral("percentChangeText")), nullptr);
        const QColor color = foreground(line, "deltaText");
        EXPECT_EQ(color.red(), color.green()) << "grey, neither green nor red";
    }
    EXPECT_EQ(DeltaLine::trendOf({100.6, 100}), DeltaLine::Trend::up);
    EXPECT_EQ(DeltaLine::trendOf({0.01, 0}), DeltaLine::Trend::up) << "from nothing";
}

TEST(DeltaLine, PreviousZeroShowsTheDeltaWithoutPercentage) {
    DeltaLine line({1.5, 0}, MetricKind::percent, "EUR");
    EXPECT_EQ(textOf(line, QStringLiteral("deltaText")), QStringLiteral("+1.50 pp"));
    EXPECT_EQ(line.findChild<QLabel*>(QStringLiteral("percentChangeText")), nullptr);
}

TEST(DeltaLine, NeverWrapsNorShrinks) {
    DeltaLine line({123456.78, 1}, MetricKind::currency, "EUR");
    EXPECT_EQ(line.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    for (const QLabel* label : line.findChildren<QLabel*>()) {
        EXPECT_FALSE(label->wordWrap());
        const QString read = label->pixmap().isNull() ? label->text() : QStringLiteral("Up");
        EXPECT_EQ(label->accessibleName(), read) << label->objectName().toStdString();
    }
    EXPECT_GE(line.minimumSizeHint().width(), line.sizeHint().width());
}

}  // namespace
}  // namespace ambrel::testing

int main(int argc, char** argv) {
    return ambrel::testing::runGuiTests(argc, argv, "en_US");
}
