// The ring is checked by its pixels: where the arc is, which colour it has, and which colour
// the percentage is drawn in.

#include "ui/progress_ring.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>

#include "support/qt_application.h"
#include "support/test_artifacts.h"
#include "ui/colors.h"

namespace ambrel {
namespace {

// Percent texts in a known locale.
const auto* const kGui = ::testing::AddGlobalTestEnvironment(
    new testing::QtApplicationEnvironment([] { setenv("LANGUAGE", "en_US", 1); }));

constexpr double kDiameter = 78;
constexpr double kLineWidth = 9;
const QColor kIdle(0, 0, 255);  // a colour no ring uses, to tell the text apart

// The ring in a parent that leaves it the room its stroke takes around it.
QImage render(const ProgressRing& constRing) {
    auto& ring = const_cast<ProgressRing&>(constRing);
    const int margin = ring.overflowMargin();
    QWidget holder;
    holder.resize(ring.size() + QSize(2 * margin, 2 * margin));
    ring.setParent(&holder);
    ring.move(margin, margin);
    ring.show();
    QImage image(holder.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    // Without the window background, so the track keeps its own opacity.
    holder.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    ring.setParent(nullptr);
    return image;
}

bool near(const QColor& pixel, const QColor& target, int minimumAlpha = 240) {
    return pixel.alpha() >= minimumAlpha && std::abs(pixel.red() - target.red()) < 30 &&
           std::abs(pixel.green() - target.green()) < 30 &&
           std::abs(pixel.blue() - target.blue()) < 30;
}

int countPixels(const QImage& image, const QColor& target, int minimumAlpha = 240) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (near(image.pixelColor(x, y), target, minimumAlpha)) ++count;
        }
    }
    return count;
}

// The pixel on the ring's centre line at a clock angle in degrees (0 = 12 o'clock, clockwise).
QColor ringPixel(const QImage& image, const ProgressRing& ring, double degrees) {
    const double centreOffset = ring.overflowMargin() + kDiameter / 2;
    const QPointF centre(centreOffset, centreOffset);
    const double radians = degrees * std::numbers::pi / 180;
    const double radius = kDiameter / 2;
    return image.pixelColor(qRound(centre.x() + radius * std::sin(radians)),
                            qRound(centre.y() - radius * std::cos(radians)));
}

// Pixels of a colour in the middle of the ring, where the percentage is.
int centrePixels(const QImage& image, const QColor& target) {
    const QImage centre = image.copy(image.width() / 2 - 25, image.height() / 2 - 12, 50, 24);
    return countPixels(centre, target, 120);
}

ProgressRing makeRing(double progress) {
    return ProgressRing(progress, kDiameter, kLineWidth, 17, kIdle);
}

// Nothing met: only the faint track, the text in the idle colour.
TEST(ProgressRing, ZeroShowsOnlyTheFaintTrack) {
    const ProgressRing ring = makeRing(0);
    const QImage image = render(ring);
    EXPECT_EQ(countPixels(image, ProgressRing::accentColor()), 0);
    const QColor track = ringPixel(image, ring, 270);
    EXPECT_GT(track.alpha(), 20);
    EXPECT_LT(track.alpha(), 80);
    EXPECT_GT(centrePixels(image, kIdle), 0);
    EXPECT_EQ(ring.accessibleDescription(), QStringLiteral("0%"));
}

// A quarter runs from 12 o'clock clockwise to 3 o'clock, never through 9 o'clock.
TEST(ProgressRing, QuarterStartsAtTwelveAndRunsClockwise) {
    const ProgressRing ring = makeRing(0.25);
    const QImage image = render(ring);
    const QColor gold = ProgressRing::accentColor();
    EXPECT_TRUE(near(ringPixel(image, ring, 0), gold));
    EXPECT_TRUE(near(ringPixel(image, ring, 5), gold));
    EXPECT_TRUE(near(ringPixel(image, ring, 45), gold));
    EXPECT_TRUE(near(ringPixel(image, ring, 85), gold));
    EXPECT_FALSE(near(ringPixel(image, ring, 120), gold));
    EXPECT_FALSE(near(ringPixel(image, ring, 180), gold));
    EXPECT_FALSE(near(ringPixel(image, ring, 270), gold));
    EXPECT_FALSE(near(ringPixel(image, ring, 330), gold));
}

// The widget is the ring's square; the stroke's outer half is still drawn around it.
TEST(ProgressRing, IsTheDiameterSquareAndItsStrokeOverflowsIt) {
    QWidget parent;
    auto* layout = new QHBoxLayout(&parent);
    auto* ring = new ProgressRing(1, kDiameter, kLineWidth, 17, kIdle);
    layout->addWidget(ring);
    parent.show();
    EXPECT_EQ(ring->size(), QSize(78, 78));
    EXPECT_EQ(ring->overflowMargin(), 5);
    const QImage image = parent.grab().toImage();
    const QPoint top = ring->mapTo(&parent, QPoint(39, 0));
    EXPECT_TRUE(near(image.pixelColor(top.x(), top.y() - 3), systemGreen()));
}

// Green once met, including beyond; 0.999 rounds to 100% but stays gold.
TEST(ProgressRing, TurnsGreenExactlyWhenTheObjectiveIsMet) {
    for (double progress : {1.0, 2.5}) {
        const ProgressRing ring = makeRing(progress);
        const QImage image = render(ring);
        for (double angle : {0.0, 90.0, 180.0, 270.0, 359.0}) {
            EXPECT_TRUE(near(ringPixel(image, ring, angle), systemGreen())) << progress << angle;
        }
        EXPECT_EQ(countPixels(image, ProgressRing::accentColor()), 0) << progress;
        EXPECT_GT(centrePixels(image, systemGreen()), 0) << progress;
        EXPECT_EQ(centrePixels(image, kIdle), 0) << progress;
    }
    EXPECT_EQ(makeRing(2.5).accessibleDescription(), QStringLiteral("250%"));

    const ProgressRing almost = makeRing(0.999);
    const QImage image = render(almost);
    EXPECT_EQ(countPixels(image, systemGreen(), 120), 0);
    EXPECT_TRUE(near(ringPixel(image, almost, 270), ProgressRing::accentColor()));
    EXPECT_GT(centrePixels(image, kIdle), 0);
    EXPECT_EQ(almost.accessibleDescription(), QStringLiteral("100%"));
}

// Below zero (an adjustment) or not a number: no arc; the text keeps the real figure.
TEST(ProgressRing, NegativeOrNaNProgressDrawsNoArc) {
    const ProgressRing negative = makeRing(-0.2);
    EXPECT_EQ(countPixels(render(negative), ProgressRing::accentColor()), 0);
    EXPECT_EQ(negative.accessibleName(), QStringLiteral("Progress"));
    EXPECT_EQ(negative.accessibleDescription(), QStringLiteral("-20%"));

    const ProgressRing nan = makeRing(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(countPixels(render(nan), ProgressRing::accentColor()), 0);
    EXPECT_EQ(ProgressRing::clampedFraction(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(ProgressRing, SetProgressRedrawsAndUpdatesTheAccessibleText) {
    ProgressRing ring = makeRing(0);
    ring.setProgress(0.65);
    EXPECT_EQ(ring.accessibleDescription(), QStringLiteral("65%"));
    EXPECT_TRUE(near(ringPixel(render(ring), ring, 200), ProgressRing::accentColor()));
}

// The static painter draws the same ring at the painter's origin (the desktop widget's use).
TEST(ProgressRing, StaticPaintDrawsAtThePainterOrigin) {
    QImage image(100, 100, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(10, 10);
    ProgressRing::paint(painter, 0.5, 60, 6, 13, Qt::white);
    painter.end();
    const QColor gold = ProgressRing::accentColor();
    EXPECT_TRUE(near(image.pixelColor(45, 10), gold));   // 12 o'clock, centre (40, 40)
    EXPECT_TRUE(near(image.pixelColor(70, 40), gold));   // 3 o'clock
    EXPECT_FALSE(near(image.pixelColor(10, 40), gold));  // 9 o'clock
}

TEST(ProgressRing, Screenshot) {
    QWidget row;
    auto* layout = new QHBoxLayout(&row);
    for (double progress : {0.0, 0.25, 0.65, 0.999, 1.0, 2.5, -0.2}) {
        layout->addWidget(new ProgressRing(progress, kDiameter, kLineWidth, 17,
                                           labelColor(LabelLevel::Primary, row.palette())));
    }
    row.show();
    const QByteArray buildDir = qgetenv("AMBREL_BUILD_DIR");
    if (buildDir.isEmpty()) GTEST_SKIP() << "AMBREL_BUILD_DIR not set";
    const QString folder = QString::fromStdString(testing::testArtifactsFolder().string());
    QDir().mkpath(folder);
    EXPECT_TRUE(row.grab().save(folder + QStringLiteral("/progress_rings.png")));
}

}  // namespace
}  // namespace ambrel
