// The two layout rules every face relies on: a line shrinks before it is cut, and stacks share
// their free length among spacers without going below a spacer's minimum.

#include <gtest/gtest.h>

#include "face_test_support.h"
#include "ui/fonts.h"
#include "widget/faces/fitted_line.h"
#include "widget/faces/stack_spacers.h"

namespace ambrel {
namespace {

const auto* const kGui = ::testing::AddGlobalTestEnvironment(new testing::QtApplicationEnvironment);

class FaceLayout : public ::testing::Test {};

TEST_F(FaceLayout, LineThatFitsIsLeftAlone) {
    const QFont font = systemFont(16);
    const QString text = QStringLiteral("€217.81");
    const FittedLine line = fitLine(text, font, 500, 0.5);
    EXPECT_EQ(line.text, text);
    EXPECT_EQ(line.scale, 1);
    EXPECT_DOUBLE_EQ(line.width, textWidth(text, font));
}

// Shrunk exactly to the width while the minimum scale allows, whole; beyond it, cut with an
// ellipsis at the minimum scale and never wider than the box.
TEST_F(FaceLayout, LineShrinksDownToItsMinimumThenElides) {
    const QFont font = systemFont(20, QFont::Bold);
    const QString text = QStringLiteral("1,234,567.89 €");
    const double natural = textWidth(text, font);

    const FittedLine shrunk = fitLine(text, font, natural * 0.7, 0.5);
    EXPECT_EQ(shrunk.text, text);
    EXPECT_NEAR(shrunk.scale, 0.7, 1e-9);
    EXPECT_NEAR(shrunk.width, natural * 0.7, 1e-9);

    const FittedLine cut = fitLine(text, font, natural * 0.3, 0.5);
    EXPECT_EQ(cut.scale, 0.5);
    EXPECT_TRUE(cut.text.endsWith(QChar(0x2026))) << cut.text.toStdString();
    EXPECT_LE(cut.width, natural * 0.3);

    // A minimum of 1 means: no shrinking at all.
    EXPECT_EQ(fitLine(text, font, natural * 0.7, 1).scale, 1);
}

TEST(StackSpacers, ShareEquallyAboveTheirMinimums) {
    EXPECT_EQ(distributeSpacers({8, 8}, 40), (std::vector<double>{20, 20}));
    // The large widget's five spacers with room to spare.
    EXPECT_EQ(distributeSpacers({10, 12, 12, 10, 0}, 130),
              (std::vector<double>{26, 26, 26, 26, 26}));
    // A minimum above the share is kept; the others share what is left.
    EXPECT_EQ(distributeSpacers({30, 0, 0}, 40), (std::vector<double>{30, 5, 5}));
    EXPECT_EQ(distributeSpacers({12, 10, 0}, 30), (std::vector<double>{12, 10, 8}));
    // Not enough room: every spacer keeps its minimum.
    EXPECT_EQ(distributeSpacers({10, 12, 0}, 5), (std::vector<double>{10, 12, 0}));
    EXPECT_TRUE(distributeSpacers({}, 50).empty());
}

}  // namespace
}  // namespace ambrel
