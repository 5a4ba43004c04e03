// The dashboard in en_US: its three content states, the toolbar, and every text of the form.

#include "app/dashboard_view.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>

#include "app/content_view.h"
#include "app/dashboard_toolbar.h"
#include "app/first_window_size.h"
#include "app/form_section.h"
#include "app/menu_tool_button.h"
#include "app/objectives_rings.h"
#include "app/ring_gauge.h"
#include "app/snapshot_form.h"
#include "app/trend_chart.h"
#include "dashboard_test_fixture.h"
#include "support/palettes.h"
#include "ui/colors.h"
#include "ui/fonts.h"
#include "ui/progress_ring.h"

namespace ambrel::testing {
namespace {

class DashboardViewTest : public DashboardFixture {
  protected:
    DashboardView& makeDashboard() {
        dashboard = std::make_unique<DashboardView>(*state, context(), toolbar);
        return *dashboard;
    }
    std::unique_ptr<DashboardView> dashboard;
};

TEST_F(DashboardViewTest, ContentFollowsSnapshotAndWork) {
    // Spinner while the first refresh runs, "No data yet" once it failed, the form once one
    // succeeded.
    backend.setToken("refresh-token");
    backend.hold();
    startState();
    DashboardView& view = makeDashboard();
    ASSERT_TRUE(waitFor([&] { return state->isWorking(); }));
    EXPECT_EQ(view.page(), DashboardView::Page::Loading);
    EXPECT_TRUE(view.toolbar()->spinnerAction()->isVisible());
    EXPECT_FALSE(view.toolbar()->refreshAction()->isEnabled());

    backend.release();
    ASSERT_TRUE(waitFor([&] { return !state->isWorking(); }));
    EXPECT_EQ(view.page(), DashboardView::Page::NoData);
    EXPECT_EQ(textOf(view, QStringLiteral("noDataTitle")), QStringLiteral("No data yet"));
    EXPECT_FALSE(view.toolbar()->spinnerAction()->isVisible());
    EXPECT_TRUE(view.toolbar()->refreshAction()->isEnabled());

    backend.setRefreshResult(knownSnapshot());
    view.toolbar()->refreshAction()->trigger();
    ASSERT_TRUE(waitFor([&] { return !state->isWorking(); }));
    EXPECT_EQ(view.page(), DashboardView::Page::Form);
    EXPECT_NE(view.form(), nullptr);
}

TEST_F(DashboardViewTest, LaterRefreshKeepsTheFormAndOnlyShowsTheToolbarSpinner) {
    startWithSnapshot(knownSnapshot());
    DashboardView& view = makeDashboard();
    ASSERT_EQ(view.page(), DashboardView::Page::Form);

    backend.hold();
    view.toolbar()->refreshAction()->trigger();
    EXPECT_TRUE(state->isWorking());
    EXPECT_FALSE(view.toolbar()->refreshAction()->isEnabled());
    EXPECT_TRUE(view.toolbar()->spinnerAction()->isVisible());
    EXPECT_EQ(view.page(), DashboardView::Page::Form);

    // A failing refresh leaves the figures on screen.
    backend.setRefreshResult(std::unexpected(Error{TransportError{"offline"}}));
    backend.release();
    ASSERT_TRUE(waitFor([&] { return !state->isWorking(); }));
    EXPECT_EQ(view.page(), DashboardView::Page::Form);
    expectRow(view, {"yesterday", "Yesterday", "€12.34", "+€1.20", "(+11%)"});
}

TEST_F(DashboardViewTest, ToolbarItemsCarryTitlesTooltipsAndLeaveWithTheDashboard) {
    startWithSnapshot(knownSnapshot());
    DashboardView& view = makeDashboard();
    const DashboardToolbar& items = *view.toolbar();
    EXPECT_EQ(items.objectivesAction()->text(), QStringLiteral("Objectives"));
    EXPECT_EQ(items.objectivesAction()->toolTip(), QStringLiteral("Edit objectives"));
    EXPECT_EQ(items.refreshAction()->text(), QStringLiteral("Refresh"));
    EXPECT_EQ(items.refreshAction()->toolTip(), QStringLiteral("Refresh data"));
    EXPECT_EQ(items.accountAction()->text(), QStringLiteral("Account"));
    EXPECT_EQ(items.accountAction()->toolTip(), QStringLiteral("Account"));
    for (auto [action, button] :
         {std::pair{items.objectivesAction(), toolbar.widgetForAction(items.objectivesAction())},
          std::pair{items.refreshAction(), toolbar.widgetForAction(items.refreshAction())},
          std::pair<QAction*, QWidget*>{items.accountAction(), items.accountButton()}}) {
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->accessibleName(), action->text());
        EXPECT_FALSE(action->icon().isNull()) << action->text().toStdString();
    }
    const QList<QAction*> menu = items.accountAction()->menu()->actions();
    ASSERT_EQ(menu.size(), 1);
    EXPECT_EQ(menu.front()->text(), QStringLiteral("Sign out"));

    dashboard.reset();
    EXPECT_TRUE(toolbar.actions().isEmpty());
}

// On a dark palette every toolbar symbol stands out from the bar, and the account button draws
// its menu arrow beside its icon rather than over it.
TEST_F(DashboardViewTest, ToolbarSymbolsStandOutOnADarkPalette) {
    ScopedPalette dark(darkPalette());
    startWithSnapshot(knownSnapshot());
    DashboardView& view = makeDashboard();
    host.setCentralWidget(dashboard.release());
    host.show();
    saveScreenshot(host, QStringLiteral("dashboard-dark"));
    const QImage bar = toolbar.grab().toImage();
    saveScreenshot(toolbar, QStringLiteral("dashboard-toolbar-dark"));
    const MenuToolButton* account = view.toolbar()->accountButton();
    for (const QWidget* button : std::initializer_list<const QWidget*>{
             toolbar.widgetForAction(view.toolbar()->objectivesAction()),
             toolbar.widgetForAction(view.toolbar()->refreshAction()), account}) {
        const QRect area = button->geometry();
        const QColor background = bar.pixelColor(area.topLeft() + QPoint(1, 1));
        EXPECT_GE(strongestContrast(bar, area, background), 3.0)
            << button->accessibleName().toStdString();
    }
    // Ink in the arrow's columns lies only in the arrow's rows: the icon keeps out of them.
    const QRect arrow = account->arrowArea().translated(account->pos());
    const QColor background = bar.pixelColor(account->pos() + QPoint(1, 1));
    EXPECT_GE(strongestContrast(bar, arrow, background), 3.0) << "the arrow is drawn";
    const QRect column(arrow.left(), account->y(), arrow.width(), account->height());
    for (const QRect& band :
         {QRect(column.topLeft(), QPoint(column.right(), arrow.top() - 2)),
          QRect(QPoint(column.left(), arrow.bottom() + 2), column.bottomRight())}) {
        EXPECT_LT(strongestContrast(bar, band, background), 1.5);
    }
}

TEST_F(DashboardViewTest, SignOutFromTheAccountMenu) {
    startWithSnapshot(knownSnapshot());
    DashboardView& view = makeDashboard();
    view.toolbar()->accountAction()->menu()->actions().front()->trigger();
    EXPECT_FALSE(state->isConnected());
    EXPECT_FALSE(state->hasDashboard());
}

TEST_F(DashboardViewTest, EveryRowOfTheFormInEnglish) {
    startWithSnapshot(knownSnapshot());
    const DashboardView& view = makeDashboard();
    const RowTexts rows[] = {
        {"today", "Today", "€6.50", "", ""},
        {"yesterday", "Yesterday", "€12.34", "+€1.20", "(+11%)"},
        {"last7", "Last 7 days", "€80.00", "-€20.00", "(-20%)"},
        {"month", "This month", "€150.00", "+€150.00", ""},
        {"pv", "Page views", "15.3 k", "+0", ""},  // unchanged: neutral, no "(+0%)"
        {"rpm", "Page RPM", "€0.81", "-€0.09", "(-10%)"},
        {"imp", "Impressions", "40.2 k", "+2,200", "(+6%)"},
        {"clicks", "Clicks", "52", "-8", "(-13%)"},
        {"cpc", "CPC", "€0.24", "+€0.04", "(+20%)"},
        {"ctr", "Page CTR", "1.23%", "-0.02 pp", "(-1%)"},
    };
    for (const RowTexts& expected : rows) expectRow(view, expected);
    EXPECT_EQ(row(view, "today")->deltaLine(), nullptr);

    QStringList headers;
    for (const FormSection* section : view.findChildren<FormSection*>()) {
        headers << section->headerLabel()->text();
    }
    EXPECT_EQ(headers,
              (QStringList{"Balance", "Objectives", "Revenue", "Performance · Yesterday"}));
    // Each change says what it is measured against; the six performance rows say it once.
    EXPECT_EQ(row(view, "yesterday")->againstLabel()->text(),
              QStringLiteral("vs same weekday last week"));
    EXPECT_EQ(row(view, "last7")->againstLabel()->text(), QStringLiteral("vs previous 7 days"));
    EXPECT_EQ(row(view, "month")->againstLabel()->text(), QStringLiteral("vs same days last year"));
    EXPECT_EQ(row(view, "clicks")->againstLabel(), nullptr);
    const auto* performance = view.findChild<FormSection*>(QStringLiteral("performanceSection"));
    ASSERT_NE(performance->footerLabel(), nullptr);
    EXPECT_EQ(performance->footerLabel()->text(),
              QStringLiteral("Changes are against the same weekday a week earlier."));
    EXPECT_TRUE(view.form()->freshnessLabel()->text().startsWith(QStringLiteral("Updated at 2:05")))
        << view.form()->freshnessLabel()->text().toStdString();
}

TEST_F(DashboardViewTest, BalanceAndLastPaymentBlock) {
    startWithSnapshot(knownSnapshot());
    const DashboardView& full = makeDashboard();
    EXPECT_EQ(textOf(full, QStringLiteral("balance")), QStringLiteral("€245.10"));
    EXPECT_EQ(textOf(full, QStringLiteral("lastPaymentCaption")), QStringLiteral("Last payment"));
    EXPECT_EQ(textOf(full, QStringLiteral("lastPaymentAmount")), QStringLiteral("€310.42"));
    EXPECT_EQ(textOf(full, QStringLiteral("lastPaymentDate")), QStringLiteral("Jan 21, 2026"));

    AmbrelSnapshot withoutDate = knownSnapshot();
    withoutDate.lastPaymentDateLabel.reset();
    SnapshotForm twoLines(withoutDate, Objectives{}, now);
    EXPECT_EQ(textOf(twoLines, QStringLiteral("lastPaymentAmount")), QStringLiteral("€310.42"));
    EXPECT_EQ(labelNamed(twoLines, QStringLiteral("lastPaymentDate")), nullptr);

    // Google writes the balance in the publisher's own format: it reads as the figures beside
    // it do; a text that is no amount stays as Google wrote it.
    AmbrelSnapshot foreign = knownSnapshot();
    foreign.balance = "389,85\u00a0€";
    foreign.lastPaymentAmount = "pending";
    SnapshotForm reformatted(foreign, Objectives{}, now);
    EXPECT_EQ(textOf(reformatted, QStringLiteral("balance")), QStringLiteral("€389.85"));
    EXPECT_EQ(textOf(reformatted, QStringLiteral("lastPaymentAmount")), QStringLiteral("pending"));

    AmbrelSnapshot bare = knownSnapshot();
    bare.balance.reset();
    bare.lastPaymentAmount.reset();
    SnapshotForm empty(bare, Objectives{}, now);
    EXPECT_EQ(textOf(empty, QStringLiteral("balance")), QStringLiteral("\u2014"));
    EXPECT_EQ(empty.findChild<QWidget*>(QStringLiteral("lastPayment")), nullptr);
}

TEST_F(DashboardViewTest, RingsUseTheStoredObjectivesAndFollowEdits) {
    Objectives::save(secrets, Objectives{20, 0});
    startWithSnapshot(knownSnapshot());
    DashboardView& view = makeDashboard();
    const ObjectivesRings& rings = *view.form()->rings();
    EXPECT_DOUBLE_EQ(rings.dailyGauge()->ring()->progress(), 6.5 / 20);
    EXPECT_EQ(rings.dailyGauge()->titleLabel()->text(), QStringLiteral("Today"));
    EXPECT_EQ(rings.dailyGauge()->amountsLabel()->text(), QStringLiteral("€6.50 / €20.00"));
    // A goal of zero never divides: the ring shows 0 and the goal reads as zero.
    EXPECT_DOUBLE_EQ(rings.monthlyGauge()->ring()->progress(), 0);
    EXPECT_EQ(rings.monthlyGauge()->titleLabel()->text(), QStringLiteral("This month"));
    EXPECT_EQ(rings.monthlyGauge()->amountsLabel()->text(), QStringLiteral("€150.00 / €0.00"));
}

// Report days end at the account's midnight: said once, under the figures, when that is not
// the desktop's (the tests run in UTC).
TEST_F(DashboardViewTest, TheAccountsMidnightIsNamedWhenItIsNotTheDesktops) {
    AmbrelSnapshot tokyo = knownSnapshot();
    tokyo.timeZone = "Asia/Tokyo";
    EXPECT_EQ(textOf(SnapshotForm(tokyo, Objectives{}, now), QStringLiteral("accountDay")),
              QStringLiteral("Days end at midnight, Asia/Tokyo"));
    tokyo.timeZone = "Etc/UTC";
    EXPECT_EQ(labelNamed(SnapshotForm(tokyo, Objectives{}, now), QStringLiteral("accountDay")),
              nullptr);
}

// Figures that missed two refreshes say how old they are and are drawn dimmed; a refresh
// brings them back.
TEST_F(DashboardViewTest, OldFiguresSayTheirAgeAndAreDimmed) {
    startWithSnapshot(knownSnapshot());
    DashboardView& view = makeDashboard();
    const QColor fresh =
        row(view, "yesterday")->valueLabel()->palette().color(QPalette::WindowText);
    EXPECT_FALSE(view.form()->isDimmed());

    now = knownSnapshot().updatedAt + std::chrono::hours(3);
    view.form()->setNow(now);
    EXPECT_EQ(view.form()->freshnessLabel()->text(),
              QStringLiteral("Updated at 2:05 PM · 3 hours ago"));
    EXPECT_TRUE(view.form()->isDimmed());
    const QColor dimmed =
        row(view, "yesterday")->valueLabel()->palette().color(QPalette::WindowText);
    const QColor plate = view.palette().color(QPalette::Base);
    EXPECT_LT(contrastRatio(dimmed, plate), contrastRatio(fresh, plate));
    EXPECT_GE(contrastRatio(dimmed, plate), 4.5) << "dimmed, still readable";
    host.setCentralWidget(dashboard.release());
    host.show();
    saveScreenshot(host, QStringLiteral("dashboard-stale"));
}

// What the reader measured, on the drawn dashboard: the change texts, the comparisons
// and the rings' "€6.50 / €10.00" reach 4.5:1 on their plate, and today's lighter bar stands
// out at 3:1, in light and dark palettes.
TEST_F(DashboardViewTest, TextsAndTodaysBarReadInLightAndDarkPalettes) {
    startWithSnapshot(snapshotWithTrend());
    for (const bool dark : {false, true}) {
        std::optional<ScopedPalette> palette;
        if (dark) palette.emplace(darkPalette());
        DashboardView view(*state, context(), toolbar);
        view.resize(600, 1300);
        view.show();
        const QImage image = view.grab().toImage();
        const QColor plate = view.palette().color(QPalette::Base);
        const auto contrastOf = [&](const QWidget* widget) {
            const QRect area(widget->mapTo(&view, QPoint(0, 0)), widget->size());
            return strongestContrast(image, area, plate);
        };
        const ValueRow* rising = row(view, "yesterday");
        const ValueRow* falling = row(view, "last7");
        for (const QWidget* text :
             {static_cast<const QWidget*>(labelNamed(*rising->deltaLine(), "deltaText")),
              static_cast<const QWidget*>(labelNamed(*falling->deltaLine(), "percentChangeText")),
              static_cast<const QWidget*>(rising->againstLabel()),
              static_cast<const QWidget*>(view.form()->rings()->dailyGauge()->amountsLabel())}) {
            EXPECT_GE(contrastOf(text), 4.5) << dark << " " << text->objectName().toStdString();
        }
        const auto* chart = view.findChild<TrendChart*>(QStringLiteral("trendChart"));
        const QRectF today = chart->barRect(29);
        const QRect bar(chart->mapTo(&view, today.topLeft().toPoint()), today.size().toSize());
        EXPECT_GE(strongestContrast(image, bar, plate), 3.0) << dark;
        saveScreenshot(view, dark ? QStringLiteral("dashboard-contrast-dark")
                                  : QStringLiteral("dashboard-contrast-light"));
    }
}

// A user who enlarged the desktop's text reads larger figures, the balance among them, and the
// form still fits the window's width.
TEST_F(DashboardViewTest, LargerDesktopTextGivesLargerFigures) {
    startWithSnapshot(snapshotWithTrend());
    setTextScale(1.5);
    DashboardView& view = makeDashboard();
    EXPECT_EQ(labelNamed(view, QStringLiteral("balance"))->font().pixelSize(), 48);
    EXPECT_EQ(row(view, "yesterday")->valueLabel()->font().pixelSize(), 20);
    view.resize(600, 900);
    view.show();
    EXPECT_LE(view.form()->minimumSizeHint().width(), view.scrollArea()->viewport()->width());
    saveScreenshot(view, QStringLiteral("dashboard-large-text"));
    setTextScale(1);
}

// On a 1366 x 768 laptop with a panel the first window is shorter, and the balance, the
// objectives and the revenue still show without scrolling.
TEST_F(DashboardViewTest, MostReadSectionsStayAboveTheFoldOnASmallLaptop) {
    startWithSnapshot(snapshotWithTrend());
    DashboardView& view = makeDashboard();
    const QSize bars(0, 62);  // a menu bar and the toolbar
    view.resize(firstContentSize(QSize(600, 800), QSize(520, 600), bars, QRect(0, 32, 1366, 736)));
    view.show();
    QApplication::processEvents();
    const QWidget* viewport = view.scrollArea()->viewport();
    const auto* revenue = view.findChild<FormSection*>(QStringLiteral("revenueSection"));
    const int bottom = revenue->mapTo(viewport, QPoint(0, revenue->height())).y();
    EXPECT_LE(bottom, viewport->height());
    saveScreenshot(view, QStringLiteral("dashboard-1366x768"));
}

// The gauges' own rings, as the dashboard builds them: their sizes, and their stroke drawn
// whole around the 78-point frame (the arc starts at 12 o'clock, on the frame's top edge).
TEST_F(DashboardViewTest, GaugeRingsHaveTheirSizesAndDrawTheWholeStroke) {
    Objectives::save(secrets, Objectives{5, 300});  // today's 6.50 meets the daily goal
    startWithSnapshot(knownSnapshot());
    DashboardView& view = makeDashboard();
    view.resize(600, 800);
    view.show();
    for (const RingGauge* gauge :
         {view.form()->rings()->dailyGauge(), view.form()->rings()->monthlyGauge()}) {
        const ProgressRing& ring = *gauge->ring();
        EXPECT_EQ(ring.size(), QSize(78, 78));
        EXPECT_DOUBLE_EQ(ring.diameter(), 78);
        EXPECT_DOUBLE_EQ(ring.lineWidth(), 9);
        EXPECT_DOUBLE_EQ(ring.centerFontSize(), 17);
        EXPECT_EQ(ring.idleTextColor(), labelColor(LabelLevel::Primary, gauge->palette()));
    }
    const ProgressRing& daily = *view.form()->rings()->dailyGauge()->ring();
    const QImage image = view.grab().toImage();
    const QPoint top = daily.mapTo(&view, QPoint(39, 0));
    const QColor outside = image.pixelColor(top.x(), top.y() - 3);
    EXPECT_LT(std::abs(outside.green() - systemGreen().green()) +
                  std::abs(outside.red() - systemGreen().red()),
              40)
        << outside.name().toStdString();
}

}  // namespace
}  // namespace ambrel::testing

int main(int argc, char** argv) {
    return ambrel::testing::runGuiTests(argc, argv, "en_US");
}
