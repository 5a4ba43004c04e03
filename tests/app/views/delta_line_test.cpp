// The comparison line: arrow, colour and texts for rising, falling, unchanged and
// previous-zero pairs.

#include "app/delta_line.h"

#include <QImage>
#include <QLabel>

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

TEST(DeltaLine, RisingIsGreenWithAnUpArrowAndPercentage) {
    DeltaLine line({12.34, 11.14}, MetricKind::currency, "EUR");
    EXPECT_TRUE(line.isUp());
    EXPECT_EQ(textOf(line, QStringLiteral("deltaText")), QStringLiteral("+€1.20"));
    EXPECT_EQ(textOf(line, QStringLiteral("percentChangeText")), QStringLiteral("(+11%)"));
    EXPECT_EQ(foreground(line, "deltaText"), systemGreen());
    EXPECT_EQ(foreground(line, "percentChangeText"), systemGreen());
    const Arrow arrow = readArrow(line);
    EXPECT_TRUE(arrow.pointsUp);
    EXPECT_EQ(arrow.color.rgb(), systemGreen().rgb());
}

TEST(DeltaLine, FallingIsRedWithADownArrowAndHyphenMinus) {
    DeltaLine line({52, 60}, MetricKind::count, "EUR");
    EXPECT_FALSE(line.isUp());
    EXPECT_EQ(textOf(line, QStringLiteral("deltaText")), QStringLiteral("-8"));
    EXPECT_EQ(textOf(line, QStringLiteral("percentChangeText")), QStringLiteral("(-13%)"));
    EXPECT_EQ(foreground(line, "deltaText"), systemRed());
    const Arrow arrow = readArrow(line);
    EXPECT_FALSE(arrow.pointsUp);
    EXPECT_EQ(arrow.color.rgb(), systemRed().rgb());
}

TEST(DeltaLine, UnchangedCountsAsRising) {
    DeltaLine line({10, 10}, MetricKind::currency, "EUR");
    EXPECT_TRUE(line.isUp());
    EXPECT_EQ(textOf(line, QStringLiteral("deltaText")), QStringLiteral("+€0.00"));
    EXPECT_EQ(textOf(line, QStringLiteral("percentChangeText")), QStringLiteral("(+0%)"));
    EXPECT_EQ(foreground(line, "deltaText"), systemGreen());
    EXPECT_TRUE(readArrow(line).pointsUp);
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
        EXPECT_EQ(label->accessibleName(), label->text()) << label->objectName().toStdString();
    }
    EXPECT_GE(line.minimumSizeHint().width(), line.sizeHint().width());
}

}  // namespace
}  // namespace ambrel::testing

int main(int argc, char** argv) {
    return ambrel::testing::runGuiTests(argc, argv, "en_US");
}
