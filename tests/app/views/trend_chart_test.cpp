// The dashboard's "Last 30 days" in en_US: where the section sits, the chart's bars, line,
// tooltips and description, the projection with its share of the monthly objective, and the
// chart drawn in light and dark palettes for a person to look at.

#include "app/trend_chart.h"

#include <QDir>
#include <QLabel>

#include "app/ambrel_app.h"
#include "app/dashboard_view.h"
#include "app/form_section.h"
#include "app/projection_row.h"
#include "app/snapshot_form.h"
#include "dashboard_test_fixture.h"
#include "support/palettes.h"

namespace ambrel::testing {
namespace {

using TrendChartTest = DashboardFixture;

TEST_F(TrendChartTest, SectionShowsTheLast30DaysAndTheMonthsProjection) {
    startWithSnapshot(snapshotWithTrend());
    auto view = std::make_unique<DashboardView>(*state, context(), toolbar);
    QStringList headers;
    for (const FormSection* section : view->findChildren<FormSection*>())
        headers << section->headerLabel()->text();
    EXPECT_EQ(headers, (QStringList{"Balance", "Objectives", "Revenue", "Last 30 days",
                                    "Performance · Yesterday"}));

    const auto* chart = view->findChild<TrendChart*>(QStringLiteral("trendChart"));
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->accessibleName(), QStringLiteral("Earnings of the last 30 days"));
    EXPECT_EQ(chart->accessibleDescription(),
              QStringLiteral("Average €2.93 a day. Best day: May 14, 2026, €4.00. "
                             "Worst day: Apr 22, 2026, €2.00."));
    EXPECT_EQ(chart->toolTipText(0), QStringLiteral("Apr 22, 2026\n€2.00"));
    EXPECT_EQ(chart->toolTipText(29), QStringLiteral("May 21, 2026\n€1.50\nDay in progress"));

    const ProjectionRow* projection = view->form()->projection();
    ASSERT_NE(projection, nullptr);
    EXPECT_EQ(projection->textLabel()->text(), QStringLiteral("Projected this month: €111.00"));
    EXPECT_EQ(projection->shareLabel()->text(), QStringLiteral("37% of the monthly objective"));
    view->form()->setObjectives({10, 0});  // no monthly objective: no share
    EXPECT_TRUE(projection->shareLabel()->isHidden());
    view->form()->setObjectives({10, 100});
    EXPECT_EQ(projection->shareLabel()->text(), QStringLiteral("111% of the monthly objective"));
    EXPECT_FALSE(projection->shareLabel()->isHidden());

    // The whole window, for a person to look at the section among the others.
    for (const bool dark : {false, true}) {
        std::optional<ScopedPalette> palette;
        if (dark) palette.emplace(darkPalette());
        AmbrelApp app(backend.operations(), freshContext(secrets));
        app.mainWindow().resize(520, 1060);
        app.mainWindow().show();
        ASSERT_TRUE(
            waitFor([&] { return app.state().hasDashboard() && !app.state().isWorking(); }));
        saveScreenshot(app.mainWindow(), dark ? QStringLiteral("dashboard-trend-dark")
                                              : QStringLiteral("dashboard-trend-light"));
    }
}

TEST_F(TrendChartTest, OnlyTheDayInProgressHidesTheProjection) {
    AmbrelSnapshot snapshot = knownSnapshot();
    snapshot.dailyEarnings = {{"2026-05-21", 3}};
    startWithSnapshot(snapshot);
    DashboardView view(*state, context(), toolbar);
    const auto* chart = view.findChild<TrendChart*>(QStringLiteral("trendChart"));
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->accessibleDescription(), QStringLiteral("No complete day yet."));
    EXPECT_FALSE(chart->averageY().has_value());
    EXPECT_EQ(view.form()->projection(), nullptr);
}

// On a month's last day a strong day in progress can earn more than an average day: the
// projection then stays at the month's total so far, never below the "This month" row.
TEST_F(TrendChartTest, AProjectionIsNeverBelowTheMonthSoFar) {
    AmbrelSnapshot snapshot = knownSnapshot();
    snapshot.dailyEarnings = {{"2026-05-29", 2}, {"2026-05-30", 2}, {"2026-05-31", 10}};
    snapshot.monthToDate = 14;  // 2 + 2 + 10; an average day would make it 6
    startWithSnapshot(snapshot);
    DashboardView view(*state, context(), toolbar);
    ASSERT_NE(view.form()->projection(), nullptr);
    EXPECT_EQ(view.form()->projection()->textLabel()->text(),
              QStringLiteral("Projected this month: €14.00"));
}

// Bars stand in their day's slot, the partial day lighter than the others, the average line
// across them; hovering answers with the bar under the pointer. Saved as PNGs in both palettes.
TEST_F(TrendChartTest, DrawsBarsAndTheAverageInLightAndDarkPalettes) {
    const AmbrelSnapshot snapshot = snapshotWithTrend();
    const auto days = std::span(snapshot.dailyEarnings).subspan(5);
    for (const bool dark : {false, true}) {
        std::optional<ScopedPalette> palette;
        if (dark) palette.emplace(darkPalette());
        TrendChart chart(days, "EUR");
        chart.resize(420, chart.sizeHint().height());
        QImage image(chart.size(), QImage::Format_ARGB32);
        chart.render(&image);
        const QString name =
            dark ? QStringLiteral("trend-chart-dark") : QStringLiteral("trend-chart-light");
        EXPECT_TRUE(image.save(QDir(QString::fromStdString(testArtifactsFolder().string()))
                                   .filePath(name + QStringLiteral(".png"))));

        const QColor background = chart.palette().color(QPalette::Window);
        const QColor complete = image.pixelColor(chart.barRect(28).center().toPoint());
        const QColor partial = image.pixelColor(chart.barRect(29).center().toPoint());
        EXPECT_GT(contrastRatio(complete, background), contrastRatio(partial, background))
            << name.toStdString();
        EXPECT_GT(contrastRatio(partial, background), 1.2) << name.toStdString();
        // Bars of 4 stand twice as high as bars of 2.
        EXPECT_NEAR(chart.barRect(22).height(), 2 * chart.barRect(0).height(), 1);

        // The dashed average line crosses the gap between two bars at 85 / 29 of the scale.
        ASSERT_TRUE(chart.averageY());
        const QRectF tall = chart.barRect(22);
        EXPECT_NEAR(*chart.averageY(), tall.bottom() - tall.height() * (85.0 / 29) / 4, 1);
        const QRect gap(0, static_cast<int>(*chart.averageY()) - 1, 40, 3);
        EXPECT_GT(strongestContrast(image, gap, background), 1.5) << name.toStdString();

        EXPECT_EQ(chart.barAt(chart.barRect(7).center()), 7u);
        EXPECT_EQ(chart.barAt(QPointF(chart.barRect(7).left() - 0.5, 10)), std::nullopt);
    }
}

}  // namespace
}  // namespace ambrel::testing

int main(int argc, char** argv) {
    return ambrel::testing::runGuiTests(argc, argv, "en_US");
}
