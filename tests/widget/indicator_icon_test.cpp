// The indicator's picture, looked at pixel by pixel: the ring shows today's progress from 12
// o'clock, gold until the goal and green from it; signed out, a grey mark without ring. The
// pictures leave the process with each pixel's bytes in network order. A sheet of every size on
// a light and a dark panel goes to the test artefacts.

#include "widget/panel/indicator_icon.h"

#include <gtest/gtest.h>

#include <QPainter>

#include "support/test_artifacts.h"

namespace ambrel::panel {
namespace {

bool isGrey(QColor color) {
    return std::abs(color.red() - color.green()) < 8 && std::abs(color.green() - color.blue()) < 8;
}

TEST(IndicatorIcon, RingShowsProgressAndSignedOutIsGrey) {
    constexpr int size = 48;
    // The ring's stroke runs along the edge: sample just right of 12 o'clock, and at 9.
    const QPoint top(size / 2 + 2, 3), left(3, size / 2);

    const QImage half = indicatorIcon(size, 0.5);
    const QColor arc = half.pixelColor(top), track = half.pixelColor(left);
    EXPECT_GT(arc.red(), 200);
    EXPECT_LT(arc.blue(), 120);  // the brand yellow
    EXPECT_TRUE(isGrey(track)) << track.name(QColor::HexArgb).toStdString();

    // Old figures: the same picture, faded.
    EXPECT_NEAR(indicatorIcon(size, 0.5, true).pixelColor(top).alphaF(),
                arc.alphaF() * kStaleIconOpacity, 0.02);

    const QColor reached = indicatorIcon(size, 1.2).pixelColor(top);
    EXPECT_GT(reached.green(), 150);
    EXPECT_LT(reached.red(), 100);  // green

    const QImage signedOut = indicatorIcon(size, std::nullopt);
    int opaque = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QColor pixel = signedOut.pixelColor(x, y);
            if (pixel.alpha() < 128) continue;
            ++opaque;
            EXPECT_TRUE(isGrey(pixel)) << x << "," << y;
        }
    }
    EXPECT_GT(opaque, size * size / 2);

    QImage red(1, 1, QImage::Format_ARGB32);
    red.setPixel(0, 0, qRgba(0xFF, 0x30, 0x20, 0x80));
    EXPECT_EQ(dbusImage(red).pixels, QByteArray::fromHex("80ff3020"));

    // Every size and state on a light and on a dark panel, three times enlarged; the last row
    // is 75% with old figures.
    const double states[] = {-1, 0, 0.3, 0.75, 1.2, 0.75};
    constexpr int rows = 6, scale = 3, rowHeight = 54, columnWidth = 160;
    QImage sheet(2 * columnWidth * scale, rows * rowHeight * scale, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.fillRect(columnWidth * scale, 0, columnWidth * scale, sheet.height(),
                     QColor(0x20, 0x20, 0x24));
    for (int column = 0; column < 2; ++column) {
        for (int row = 0; row < rows; ++row) {
            int x = column * columnWidth + 4;
            const auto progress = states[row] < 0 ? std::nullopt : std::optional(states[row]);
            for (int iconSize : kIndicatorIconSizes) {
                painter.drawImage(QRect(x * scale, (row * rowHeight + 3) * scale, iconSize * scale,
                                        iconSize * scale),
                                  indicatorIcon(iconSize, progress, row == rows - 1));
                x += iconSize + 4;
            }
        }
    }
    painter.end();
    EXPECT_TRUE(sheet.save(QString::fromStdString(
        (testing::testArtifactsFolder() / "indicator-icons-light-dark.png").string())));
}

}  // namespace
}  // namespace ambrel::panel
