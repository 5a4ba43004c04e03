// The application's text follows the desktop's font size: a user who enlarges the font reads
// larger figures; the design's sizes stay the floor.

#include "ui/fonts.h"

#include <gtest/gtest.h>

#include <QApplication>

namespace ambrel {
namespace {

TEST(TextScale, FollowsTheDesktopsFontAndNeverShrinksBelowTheDesign) {
    QFont desktop = QApplication::font();
    desktop.setPixelSize(20);
    QApplication::setFont(desktop);
    EXPECT_DOUBLE_EQ(desktopTextScale(), 20.0 / 13);
    setTextScale(desktopTextScale());
    EXPECT_EQ(textStyleFont(TextStyle::Body).pixelSize(), 20);
    EXPECT_EQ(textStyleFont(TextStyle::LargeTitle).pixelSize(), 40);

    desktop.setPixelSize(11);
    QApplication::setFont(desktop);
    EXPECT_DOUBLE_EQ(desktopTextScale(), 1);
    setTextScale(1);
    EXPECT_EQ(textStyleFont(TextStyle::Body).pixelSize(), 13);
}

}  // namespace
}  // namespace ambrel

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
