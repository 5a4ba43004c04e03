// The widget's faces: which view an entry gets, what each family draws (through the recording
// layer, so texts are checked without reading pixels) and the pixels that carry the design.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <clocale>
#include <cmath>

#include "core/earnings/formatting.h"
#include "core/platform/localization.h"
#include "face_test_support.h"
#include "support/scoped_env.h"
#include "ui/colors.h"
#include "widget/faces/earnings_widget_view.h"
#include "widget/faces/face_fonts.h"
#include "widget/faces/widget_colors.h"
#include "widget/faces/widget_delta.h"
#include "widget/faces/widget_ring.h"

namespace ambrel {
namespace {

using testing::entryWith;
using testing::findText;
using testing::itemsOfKind;
using testing::knownSnapshot;
using testing::recordFace;
using testing::textsOf;

constexpr WidgetFamily kAllFamilies[] = {WidgetFamily::systemSmall, WidgetFamily::systemMedium,
                                         WidgetFamily::systemLarge, WidgetFamily::systemExtraLarge};

QString money(double value) {
    return QString::fromStdString(formatCurrency("USD", value));
}

bool sameColor(const QColor& a, const QColor& b) {
    return a.rgba() == b.rgba();
}

// Within `tolerance` per channel, alpha included.
bool near(QRgb pixel, const QColor& expected, int tolerance = 3) {
    const QColor actual = QColor::fromRgba(pixel);
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance &&
           std::abs(actual.alpha() - expected.alpha()) <= tolerance;
}

// The faces write times in the desktop's zone: one zone for every machine.
const auto* const kGui =
    ::testing::AddGlobalTestEnvironment(new testing::QtApplicationEnvironment([] {
        setenv("TZ", "UTC", 1);
        tzset();
    }));

class WidgetFaces : public ::testing::Test {};

// Disconnected comes first, whatever the family; an override beats the environment; every
// family but medium and large gets the small layout.
TEST_F(WidgetFaces, ViewChoosesDisconnectedFirstThenTheFamily) {
    using Layout = EarningsWidgetView::Layout;
    const EarningsEntry connected = entryWith(knownSnapshot(), true);
    const EarningsEntry disconnected = entryWith(knownSnapshot(), false);
    for (WidgetFamily family : kAllFamilies) {
        EXPECT_EQ((EarningsWidgetView{disconnected, std::nullopt, family}.layout()),
                  Layout::disconnected);
    }
    EXPECT_EQ((EarningsWidgetView{connected, std::nullopt, WidgetFamily::systemSmall}.layout()),
              Layout::small);
    EXPECT_EQ((EarningsWidgetView{connected, std::nullopt, WidgetFamily::systemMedium}.layout()),
              Layout::medium);
    EXPECT_EQ((EarningsWidgetView{connected, std::nullopt, WidgetFamily::systemLarge}.layout()),
              Layout::large);
    EXPECT_EQ(
        (EarningsWidgetView{connected, std::nullopt, WidgetFamily::systemExtraLarge}.layout()),
        Layout::small);
    EXPECT_EQ((EarningsWidgetView{connected, WidgetFamily::systemLarge, WidgetFamily::systemSmall}
                   .layout()),
              Layout::large);
}

// Signed out: only the product mark and the prompt, centred, in every family, even though the
// entry still carries figures.
TEST_F(WidgetFaces, DisconnectedEntryShowsOnlyTheSignInPrompt) {
    for (WidgetFamily family : kAllFamilies) {
        const FaceRecording face = recordFace(entryWith(knownSnapshot(), false), family);
        EXPECT_EQ(textsOf(face), QStringList{QStringLiteral("Open Ambrel to sign in")});
        EXPECT_TRUE(itemsOfKind(face, FaceItem::Kind::ring).empty());
        const auto symbols = itemsOfKind(face, FaceItem::Kind::symbol);
        ASSERT_EQ(symbols.size(), 1u);
        EXPECT_EQ(symbols[0].text, QStringLiteral("circle.hexagongrid.fill"));
        EXPECT_TRUE(sameColor(symbols[0].color, widgetAccentColor()));

        const FaceItem prompt = itemsOfKind(face, FaceItem::Kind::text)[0];
        EXPECT_TRUE(sameColor(prompt.color, whiteAt(0.7)));
        const QSize size = familySize(family);
        EXPECT_NEAR(prompt.rect.center().x(), size.width() / 2.0, 1);
        EXPECT_LT(symbols[0].rect.bottom(), prompt.rect.top());
        // The pair as a whole sits in the middle.
        EXPECT_NEAR((symbols[0].rect.top() + prompt.rect.bottom()) / 2, size.height() / 2.0, 1);
    }
}

TEST_F(WidgetFaces, SmallShowsTwoRingsWithAmountsCentred) {
    const FaceRecording face =
        recordFace(entryWith(knownSnapshot(), true, {10, 300}), WidgetFamily::systemSmall);
    const auto rings = itemsOfKind(face, FaceItem::Kind::ring);
    ASSERT_EQ(rings.size(), 2u);
    EXPECT_DOUBLE_EQ(rings[0].progress, 0.5);  // 5 of 10
    EXPECT_DOUBLE_EQ(rings[1].progress, 0.5);  // 150 of 300
    EXPECT_DOUBLE_EQ(rings[0].rect.width(), 62);
    EXPECT_DOUBLE_EQ(rings[1].rect.left() - rings[0].rect.right(), 14);
    EXPECT_NEAR((rings[0].rect.left() + rings[1].rect.right()) / 2, 85, 0.5);

    EXPECT_EQ(textsOf(face),
              (QStringList{QStringLiteral("Day"), money(5), QStringLiteral("Month"), money(150)}));
    const FaceItem* amount = findText(face, money(5));
    ASSERT_NE(amount, nullptr);
    EXPECT_TRUE(sameColor(amount->color, whiteAt(0.85)));
    EXPECT_EQ(amount->font.pixelSize(), 11);
    EXPECT_TRUE(sameColor(findText(face, QStringLiteral("Day"))->color, whiteAt(0.6)));
    // Ring top to amount bottom is centred vertically.
    EXPECT_NEAR((rings[0].rect.top() + amount->rect.bottom()) / 2, 85, 1);
}

TEST_F(WidgetFaces, MediumShowsTitleRingsTodayAndBalance) {
    const FaceRecording face = recordFace(entryWith(knownSnapshot()), WidgetFamily::systemMedium);
    const QStringList texts = textsOf(face);
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("AdSense earnings"), QStringLiteral("Updated at 00:00"),
                           QStringLiteral("Day"), QStringLiteral("Month"), QStringLiteral("Today"),
                           money(5), QStringLiteral("Balance"), QStringLiteral("$120.00")}));
    const auto rings = itemsOfKind(face, FaceItem::Kind::ring);
    ASSERT_EQ(rings.size(), 2u);
    EXPECT_DOUBLE_EQ(rings[0].rect.width(), 60);
    EXPECT_DOUBLE_EQ(rings[0].rect.left(), 16);

    const FaceItem* today = findText(face, money(5));
    EXPECT_TRUE(sameColor(today->color, widgetAccentColor()));
    EXPECT_EQ(today->font.pixelSize(), 20);
    EXPECT_EQ(today->font.weight(), QFont::Bold);
    const FaceItem* balance = findText(face, QStringLiteral("$120.00"));
    EXPECT_TRUE(sameColor(balance->color, QColor(Qt::white)));
    EXPECT_EQ(balance->font.pixelSize(), 16);
    // The figures start after the rings, the 18-point gaps and a share of the free width.
    EXPECT_GT(today->rect.left(), rings[1].rect.right() + 36);
    EXPECT_DOUBLE_EQ(today->rect.left(), balance->rect.left());
}

TEST_F(WidgetFaces, LargeShowsFourFiguresAndSixMetricsInThreeColumns) {
    const AmbrelSnapshot snapshot = knownSnapshot();
    const FaceRecording face = recordFace(entryWith(snapshot), WidgetFamily::systemLarge);
    const QStringList texts = textsOf(face);
    for (const QString& expected : {QStringLiteral("Today"), money(5), QStringLiteral("Yesterday"),
                                    money(8), QStringLiteral("This month"), money(150),
                                    QStringLiteral("Balance"), QStringLiteral("$120.00")}) {
        EXPECT_TRUE(texts.contains(expected)) << expected.toStdString();
    }
    const FaceItem* heading = findText(face, QStringLiteral("Performance \u00B7 Yesterday"));
    ASSERT_NE(heading, nullptr);
    EXPECT_TRUE(sameColor(heading->color, whiteAt(0.8)));

    // Metric titles in the snapshot's order, three to a row.
    std::vector<const FaceItem*> titles;
    for (const PerfMetric& metric : snapshot.perfMetrics()) {
        titles.push_back(findText(face, QString::fromStdString(metric.title)));
        ASSERT_NE(titles.back(), nullptr) << metric.title;
        EXPECT_TRUE(texts.contains(QString::fromStdString(valueText(metric)))) << metric.title;
        EXPECT_GT(titles.back()->rect.top(), heading->rect.bottom());
    }
    ASSERT_EQ(titles.size(), 6u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(titles[i]->rect.left(), titles[i + 3]->rect.left());
        EXPECT_DOUBLE_EQ(titles[i]->rect.top(), titles[0]->rect.top());
        EXPECT_GT(titles[i + 3]->rect.top(), titles[i]->rect.bottom() + 16);
    }
    EXPECT_NEAR(titles[1]->rect.left() - titles[0]->rect.left(), (332 - 28) / 3.0 + 14, 0.01);
}

TEST_F(WidgetFaces, MissingBalanceShowsADash) {
    AmbrelSnapshot snapshot = knownSnapshot();
    snapshot.balance.reset();
    for (WidgetFamily family : {WidgetFamily::systemMedium, WidgetFamily::systemLarge}) {
        EXPECT_TRUE(
            textsOf(recordFace(entryWith(snapshot), family)).contains(QStringLiteral("\u2014")));
    }
}

// Every face's rings as drawn: 62 points across in the small face, 60 in the others, a 6-point
// stroke, the percentage at 0.22 of the diameter, white while the goal is not met.
TEST_F(WidgetFaces, RingsHaveTheirFamilysSizes) {
    const std::pair<WidgetFamily, double> diameters[] = {{WidgetFamily::systemSmall, 62},
                                                         {WidgetFamily::systemMedium, 60},
                                                         {WidgetFamily::systemLarge, 60}};
    for (const auto& [family, diameter] : diameters) {
        const auto rings =
            itemsOfKind(recordFace(entryWith(knownSnapshot()), family), FaceItem::Kind::ring);
        ASSERT_EQ(rings.size(), 2u);
        for (const FaceItem& ring : rings) {
            EXPECT_DOUBLE_EQ(ring.rect.width(), diameter);
            EXPECT_DOUBLE_EQ(ring.rect.height(), diameter);
            EXPECT_DOUBLE_EQ(ring.lineWidth, 6);
            EXPECT_DOUBLE_EQ(ring.centerFontSize, 0.22 * diameter);
            EXPECT_EQ(ring.color, QColor(Qt::white));
        }
    }
}

// A goal of 0 or less is no progress: an empty ring and "0%", never a division by zero.
TEST_F(WidgetFaces, GoalOfZeroOrLessDrawsAnEmptyRing) {
    EXPECT_EQ((WidgetRing{.title = "Day", .value = 5, .goal = 0}.progress()), 0);
    EXPECT_EQ((WidgetRing{.title = "Day", .value = 5, .goal = -3}.progress()), 0);

    const EarningsEntry empty = entryWith(knownSnapshot(), true, {0, -1});
    const auto rings =
        itemsOfKind(recordFace(empty, WidgetFamily::systemSmall), FaceItem::Kind::ring);
    ASSERT_EQ(rings.size(), 2u);
    EXPECT_EQ(rings[0].progress, 0);
    EXPECT_EQ(rings[1].progress, 0);

    // At 12 o'clock an empty ring shows only its faint track, a met goal the full green stroke.
    const QPointF top(rings[0].rect.center().x(), rings[0].rect.top());
    const QImage emptyImage = EarningsWidget::image(empty, WidgetFamily::systemSmall, 1);
    const QImage metImage = EarningsWidget::image(entryWith(knownSnapshot(), true, {1, 1}),
                                                  WidgetFamily::systemSmall, 1);
    const QPoint pixel = top.toPoint();
    EXPECT_FALSE(near(emptyImage.pixel(pixel), systemGreen(), 40));
    EXPECT_LT(QColor(emptyImage.pixel(pixel)).red(), 90);  // dark: the gradient shows through
    EXPECT_TRUE(near(metImage.pixel(pixel), systemGreen(), 40));
}

// A previous value of 0 gives the arrow alone; a fall is red; a change that whole percent would
// write as "+0%" or "-0%" (an unchanged figure too) is neutral: no arrow, no colour, "(0%)".
TEST_F(WidgetFaces, DeltaDirectionColourAndChangeText) {
    const WidgetDelta fromZero{Comparison{5, 0}};
    EXPECT_TRUE(fromZero.isUp());
    EXPECT_FALSE(fromZero.changeText().has_value());
    EXPECT_FALSE((WidgetDelta{Comparison{-1, 0}}.isUp()));

    const QString zeroPercent =
        QStringLiteral("(%1)").arg(QString::fromStdString(formatPercent(0, 0)));
    for (const Comparison tiny :
         {Comparison{4, 4}, Comparison{1004.9, 1000}, Comparison{995.1, 1000}, Comparison{0, 0}}) {
        const WidgetDelta neutral{tiny};
        EXPECT_TRUE(neutral.isNeutral()) << tiny.current;
        EXPECT_FALSE(neutral.symbolName().has_value());
        EXPECT_TRUE(sameColor(neutral.color(), whiteAt(0.6)));
        if (tiny.previous != 0) {
            EXPECT_EQ(neutral.changeText(), zeroPercent);
        }
    }
    EXPECT_FALSE((WidgetDelta{Comparison{1005, 1000}}.isNeutral()));

    const WidgetDelta fall{Comparison{2, 4}};
    EXPECT_FALSE(fall.isUp());
    EXPECT_TRUE(sameColor(fall.color(), systemRed()));
    EXPECT_EQ(fall.symbolName(), QStringLiteral("arrowtriangle.down.fill"));
    EXPECT_TRUE(fall.changeText()->startsWith(QStringLiteral("(-")));

    // Drawn: the arrow alone for a previous value of 0, arrow and text for a fall, the text
    // alone at the leading edge when neutral.
    const auto drawn = [](const WidgetDelta& delta) {
        FaceRecording recording;
        FaceCanvas canvas(nullptr, &recording);
        delta.draw(canvas, QRectF(0, 0, 100, WidgetDelta::height()));
        return recording;
    };
    const FaceRecording alone = drawn(fromZero);
    ASSERT_EQ(alone.size(), 1u);
    EXPECT_EQ(alone[0].kind, FaceItem::Kind::symbol);
    EXPECT_TRUE(sameColor(alone[0].color, systemGreen()));
    EXPECT_DOUBLE_EQ(alone[0].rect.width(), kFaceDeltaArrowSize);

    const FaceRecording both = drawn(fall);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_TRUE(sameColor(both[1].color, systemRed()));
    EXPECT_DOUBLE_EQ(both[1].rect.left(), kFaceDeltaArrowSize + WidgetDelta::kSpacing);

    const FaceRecording neutral = drawn(WidgetDelta{Comparison{4, 4}});
    ASSERT_EQ(neutral.size(), 1u);
    EXPECT_EQ(neutral[0].text, zeroPercent);
    EXPECT_DOUBLE_EQ(neutral[0].rect.left(), 0);
}

// Too narrow a cell shrinks arrow and text together, never below 0.6.
TEST_F(WidgetFaces, DeltaShrinksAsOneLine) {
    const WidgetDelta rise{Comparison{1234567, 1}};
    FaceRecording narrow;
    FaceCanvas canvas(nullptr, &narrow);
    rise.draw(canvas, QRectF(0, 0, 30, WidgetDelta::height()));
    ASSERT_EQ(narrow.size(), 2u);
    EXPECT_GE(narrow[1].scale, WidgetDelta::kMinimumScale);
    EXPECT_LT(narrow[1].scale, 1);
    EXPECT_LE(narrow[1].rect.right(), 30.01);
    EXPECT_LT(narrow[0].rect.width(), kFaceDeltaArrowSize);
}

TEST_F(WidgetFaces, BackgroundGradientInsideRoundedTransparentCorners) {
    for (WidgetFamily family : kSupportedFamilies) {
        const QImage image = EarningsWidget::image(entryWith(knownSnapshot(), false), family, 1);
        const int w = image.width();
        const int h = image.height();
        EXPECT_TRUE(near(image.pixel(w / 2, 0), widgetGradientTop(), 2));
        EXPECT_TRUE(near(image.pixel(w / 2, h - 1), widgetGradientBottom(), 2));
        for (QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1),
                              QPoint(w - 1, h - 1), QPoint(4, 4)}) {
            EXPECT_EQ(qAlpha(image.pixel(corner)), 0) << corner.x() << "," << corner.y();
        }
    }
}

// At a scale of 2 the image has twice the pixels and the same picture.
TEST_F(WidgetFaces, ImageFollowsTheScale) {
    const QImage image =
        EarningsWidget::image(entryWith(knownSnapshot(), false), WidgetFamily::systemMedium, 2);
    EXPECT_EQ(image.size(), QSize(728, 340));
    EXPECT_EQ(image.devicePixelRatio(), 2);
    EXPECT_TRUE(near(image.pixel(364, 0), widgetGradientTop(), 2));
}

TEST_F(WidgetFaces, TitleIsDrawnInTheAccentColour) {
    const EarningsEntry entry = entryWith(knownSnapshot());
    const FaceRecording face = recordFace(entry, WidgetFamily::systemMedium);
    const FaceItem* title = findText(face, QStringLiteral("AdSense earnings"));
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(sameColor(title->color, widgetAccentColor()));
    EXPECT_EQ(title->font.pixelSize(), 11);

    const QImage image = EarningsWidget::image(entry, WidgetFamily::systemMedium, 1);
    int accentPixels = 0;
    const QRect area = title->rect.toAlignedRect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (near(image.pixel(x, y), widgetAccentColor(), 12)) ++accentPixels;
        }
    }
    EXPECT_GT(accentPixels, 20);
}

// Nothing of any family leaves the content margins (ring strokes may reach 3 points beyond),
// whatever it has to say besides its figures.
TEST_F(WidgetFaces, EveryFamilyStaysInsideItsMargins) {
    using testing::FaceCase;
    for (const EarningsEntry& entry :
         {entryWith(sampleSnapshot()), entryWith(knownSnapshot()), entryFor(FaceCase::stale),
          entryFor(FaceCase::signInAgain), entryFor(FaceCase::sample)}) {
        for (WidgetFamily family : kSupportedFamilies) {
            const QRectF content =
                QRectF(QPointF(0, 0), familySize(family)).adjusted(13, 13, -13, -13);
            for (const FaceItem& item : recordFace(entry, family)) {
                EXPECT_TRUE(content.contains(item.rect))
                    << familyName(family).toStdString() << ": " << item.text.toStdString();
            }
        }
    }
}

TEST_F(WidgetFaces, AccessibleDescriptionListsWhatIsShown) {
    const QString medium = EarningsWidget::accessibleDescription(entryWith(sampleSnapshot()),
                                                                 WidgetFamily::systemMedium);
    EXPECT_TRUE(medium.startsWith(QStringLiteral("AdSense earnings, Updated at 00:00, Day, ")));
    EXPECT_TRUE(medium.contains(QString::fromStdString(formatCurrency("EUR", 9.21))));
    // The balance as every amount is written, not as Google wrote it ("389,85 €").
    EXPECT_TRUE(medium.endsWith(QStringLiteral("Balance, ") +
                                QString::fromStdString(formatCurrency("EUR", 389.85))))
        << medium.toStdString();
    EXPECT_EQ(EarningsWidget::accessibleDescription(entryWith(sampleSnapshot(), false),
                                                    WidgetFamily::systemLarge),
              QStringLiteral("Open Ambrel to sign in"));

    // The large face also says where the month will end, though it does not draw it: 24 to
    // 30 May at 2, and their average for 31 May, the month's last day: 14 + 2 × 1.
    AmbrelSnapshot trend = knownSnapshot();
    for (int day = 24; day <= 31; ++day)
        trend.dailyEarnings.push_back({"2026-05-" + std::to_string(day), 2});
    const QString large = EarningsWidget::accessibleDescription(entryWith(trend, true, {10, 400}),
                                                                WidgetFamily::systemLarge);
    EXPECT_TRUE(large.endsWith(
        QStringLiteral(", Projected this month: $16.00, 4% of the monthly objective")))
        << large.toStdString();
    // Each change says what it compares against: page views rose from 800 to 1,000, the
    // impressions held.
    EXPECT_TRUE(large.contains(QStringLiteral(", (+25%) vs same weekday last week, Page RPM")))
        << large.toStdString();
    EXPECT_TRUE(large.contains(QStringLiteral(", (0%) vs same weekday last week, Clicks")));

    // An account in another zone than the desktop's is named once, last.
    trend.timeZone = "Asia/Tokyo";
    const QString tokyo =
        EarningsWidget::accessibleDescription(entryWith(trend), WidgetFamily::systemLarge);
    EXPECT_TRUE(tokyo.endsWith(QStringLiteral(", Days end at midnight, Asia/Tokyo")))
        << tokyo.toStdString();
    EXPECT_EQ(tokyo.count(QStringLiteral("Asia/Tokyo")), 1);
    EXPECT_FALSE(EarningsWidget::accessibleDescription(entryWith(sampleSnapshot()),
                                                       WidgetFamily::systemLarge)
                     .contains(QStringLiteral("Projected")));
}

// Accent-coloured pixels of `image` below its title row: the prominent figures.
int accentPixelsBelowTitle(const QImage& image) {
    int count = 0;
    for (int y = 40; y < image.height() - 16; ++y) {
        for (int x = 16; x < image.width() - 16; ++x) {
            if (near(image.pixel(x, y), widgetAccentColor(), 12)) ++count;
        }
    }
    return count;
}

// The sample stands in for figures the widget does not have yet: in no family is it drawn or
// said as figures. Grey bars stand where the amounts would be, the rings are empty, and the
// face says "No figures yet".
TEST_F(WidgetFaces, SampleIsDrawnAsAPlaceholderNeverAsFigures) {
    using testing::FaceCase;
    const EarningsEntry sample = testing::entryFor(FaceCase::sample);
    const QRegularExpression digit(QStringLiteral("\\d"));
    for (WidgetFamily family : kSupportedFamilies) {
        const FaceRecording face = recordFace(sample, family);
        for (const QString& text : textsOf(face))
            EXPECT_FALSE(text.contains(digit)) << text.toStdString();
        EXPECT_FALSE(itemsOfKind(face, FaceItem::Kind::bar).empty());
        const auto rings = itemsOfKind(face, FaceItem::Kind::ring);
        ASSERT_EQ(rings.size(), 2u);
        for (const FaceItem& ring : rings) EXPECT_TRUE(ring.text.isEmpty());
        EXPECT_NE(findText(face, QStringLiteral("No figures yet")), nullptr);
        const QString description = EarningsWidget::accessibleDescription(sample, family);
        EXPECT_FALSE(description.contains(digit)) << description.toStdString();
    }
    // Today's amount, in the accent colour, is gone from the picture too.
    EXPECT_GT(accentPixelsBelowTitle(EarningsWidget::image(testing::entryFor(FaceCase::fresh),
                                                           WidgetFamily::systemMedium, 1)),
              20);
    EXPECT_EQ(accentPixelsBelowTitle(EarningsWidget::image(sample, WidgetFamily::systemMedium, 1)),
              0);
}

// Figures older than two refreshes are drawn dimmed beside their age, in every family; fresh
// ones say when they were fetched on the medium and large faces, and the small face says
// nothing of them.
TEST_F(WidgetFaces, OldFiguresAreDimmedBesideTheirAge) {
    using testing::FaceCase;
    const QString age = QStringLiteral("Updated 3 hours ago");
    for (WidgetFamily family : kSupportedFamilies) {
        const std::string name = familyName(family).toStdString();
        const FaceRecording fresh = recordFace(testing::entryFor(FaceCase::fresh), family);
        const FaceRecording stale = recordFace(testing::entryFor(FaceCase::stale), family);
        const FaceItem* freshToday = findText(fresh, money(5));
        const FaceItem* staleToday = findText(stale, money(5));
        ASSERT_TRUE(freshToday && staleToday) << name;
        EXPECT_NEAR(staleToday->color.alphaF(),
                    freshToday->color.alphaF() * FaceCanvas::kDimmedOpacity, 0.01)
            << name;
        for (const FaceItem& ring : itemsOfKind(stale, FaceItem::Kind::ring))
            EXPECT_DOUBLE_EQ(ring.opacity, FaceCanvas::kDimmedOpacity) << name;

        const FaceItem* note = findText(stale, age);
        ASSERT_NE(note, nullptr) << name;
        EXPECT_TRUE(sameColor(note->color, whiteAt(0.9))) << name;
        EXPECT_EQ(findText(fresh, age), nullptr);
        EXPECT_EQ(findText(fresh, QStringLiteral("Updated at 06:08")) != nullptr,
                  family != WidgetFamily::systemSmall)
            << name;
    }
    // In the picture: the dimmed amount is darker.
    const auto brightest = [](const QImage& image, const QRectF& area) {
        int most = 0;
        const QRect pixels = area.toAlignedRect();
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            for (int x = pixels.left(); x <= pixels.right(); ++x)
                most = std::max(most, qGray(image.pixel(x, y)));
        return most;
    };
    const FaceRecording layout =
        recordFace(testing::entryFor(FaceCase::fresh), WidgetFamily::systemMedium);
    const QRectF today = findText(layout, money(5))->rect;
    EXPECT_LT(brightest(EarningsWidget::image(testing::entryFor(FaceCase::stale),
                                              WidgetFamily::systemMedium, 1),
                        today),
              brightest(EarningsWidget::image(testing::entryFor(FaceCase::fresh),
                                              WidgetFamily::systemMedium, 1),
                        today) -
                  60);
}

// When Google has ended the sign-in, every family keeps the last figures and asks, in the accent
// colour, to sign in again.
TEST_F(WidgetFaces, EndedSignInKeepsTheFiguresAndAsksToSignInAgain) {
    const EarningsEntry entry = testing::entryFor(testing::FaceCase::signInAgain);
    for (WidgetFamily family : kSupportedFamilies) {
        const FaceRecording face = recordFace(entry, family);
        EXPECT_NE(findText(face, money(5)), nullptr) << familyName(family).toStdString();
        const FaceItem* ask = findText(face, QStringLiteral("Open Ambrel to sign in again"));
        ASSERT_NE(ask, nullptr) << familyName(family).toStdString();
        EXPECT_TRUE(sameColor(ask->color, widgetAccentColor()));
    }
}

// PNGs of every family for a person to look at, in English and French at scales 1 and 2:
// fresh figures, old ones, an ended sign-in, the sample, and signed out.
TEST_F(WidgetFaces, WritesScreenshots) {
    using testing::FaceCase;
    const std::filesystem::path folder = testing::screenshotFolder();
    if (folder.empty()) GTEST_SKIP() << "AMBREL_BUILD_DIR is not set";
    const std::pair<const char*, EarningsEntry> cases[] = {
        {"fresh", testing::entryFor(FaceCase::fresh)},
        {"stale", testing::entryFor(FaceCase::stale)},
        {"sign-in-again", testing::entryFor(FaceCase::signInAgain)},
        {"sample", testing::entryFor(FaceCase::sample)},
        {"disconnected", entryWith(sampleSnapshot(), false)}};
    testing::ScopedEnv env;
    initLocalization((std::string(std::getenv("AMBREL_BUILD_DIR")) + "/locale").c_str());
    for (const char* language : {"en_US", "fr_FR"}) {
        // gettext translates outside the "C" locale only, and keeps what it found until the
        // locale changes, whatever LANGUAGE says meanwhile.
        env.set("LANGUAGE", language);
        std::setlocale(LC_MESSAGES, "C");
        std::setlocale(LC_MESSAGES, "C.UTF-8");
        for (WidgetFamily family : kSupportedFamilies) {
            for (const auto& [name, entry] : cases) {
                for (int scale : {1, 2}) {
                    const auto path =
                        folder / ("widget-" + familyName(family).toStdString() + "-" + name + "-" +
                                  language + "@" + std::to_string(scale) + "x.png");
                    EXPECT_TRUE(EarningsWidget::image(entry, family, scale)
                                    .save(QString::fromStdString(path.string())))
                        << path;
                }
            }
        }
    }
    std::setlocale(LC_MESSAGES, "C");
}

}  // namespace
}  // namespace ambrel
