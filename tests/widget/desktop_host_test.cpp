// The desktop host's windows on the offscreen platform: how they are made, where they go, how
// they are moved and what they tell assistive technologies.

#include "widget/host/desktop_host.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <sstream>

#include "core/earnings/formatting.h"
#include "face_test_support.h"
#include "support/fake_http_client.h"
#include "support/memory_secret_store.h"
#include "support/temp_dir.h"
#include "widget/host/face_window.h"
#include "widget/host/window_positions.h"

namespace ambrel::widget {
namespace {

const auto* const kGui = ::testing::AddGlobalTestEnvironment(new testing::QtApplicationEnvironment);

class DesktopHostTest : public ::testing::Test {
  protected:
    testing::TempDir folder;
    testing::FakeHttpClient http;
    testing::MemorySecretStore secrets;
    Defaults defaults{folder.path()};
    Services services{.http = http,
                      .secrets = secrets,
                      .defaults = defaults,
                      .now = systemClock(),
                      .adsenseBase = "https://adsense.test/v2",
                      .clientSecretLocations = {folder.path() / "missing.json"}};
};

TEST_F(DesktopHostTest, PositionsRoundTripPerFamilyAndIgnoreMalformedValues) {
    WindowPositions positions(defaults);
    EXPECT_EQ(positionKey(WidgetFamily::systemMedium), "host.position.medium");
    EXPECT_FALSE(positions.load(WidgetFamily::systemSmall).has_value());
    positions.save(WidgetFamily::systemSmall, QPoint(-40, 1200));
    positions.save(WidgetFamily::systemLarge, QPoint(7, 9));
    EXPECT_EQ(positions.load(WidgetFamily::systemSmall), QPoint(-40, 1200));
    EXPECT_EQ(positions.load(WidgetFamily::systemLarge), QPoint(7, 9));
    EXPECT_EQ(defaults.data("host.position.small"), "-40,1200");
    for (const char* broken : {"12", "a,b", "1,2,3", "", "1.5,2"}) {
        defaults.set("host.position.medium", broken);
        EXPECT_FALSE(positions.load(WidgetFamily::systemMedium).has_value()) << broken;
    }
}

// Below the others, out of the task bar, frameless and see-through outside the corners; where
// it cannot be kept below it is an ordinary frameless window.
TEST_F(DesktopHostTest, WindowIsAFramelessDesktopWindowOfTheFamilySize) {
    FaceWindow window(WidgetFamily::systemLarge, true);
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnBottomHint));
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(window.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(window.size(), QSize(364, 382));

    const Qt::WindowFlags ordinary = FaceWindow::windowFlagsFor(false);
    EXPECT_EQ(ordinary & Qt::WindowType_Mask, Qt::Window);
    EXPECT_FALSE(ordinary.testFlag(Qt::WindowStaysOnBottomHint));
    EXPECT_TRUE(ordinary.testFlag(Qt::FramelessWindowHint));
}

TEST_F(DesktopHostTest, WindowTellsAssistiveTechnologiesWhatItShows) {
    FaceWindow window(WidgetFamily::systemMedium, true);
    EXPECT_EQ(window.accessibleName(), QStringLiteral("AdSense earnings"));
    window.setEntry(testing::entryWith(testing::knownSnapshot()));
    const QString description = window.accessibleDescription();
    EXPECT_TRUE(description.contains(QString::fromStdString(formatCurrency("USD", 5))));
    EXPECT_TRUE(description.contains(QStringLiteral("$120.00")));
    window.setEntry(testing::entryWith(testing::knownSnapshot(), false));
    EXPECT_EQ(window.accessibleDescription(), QStringLiteral("Open Ambrel to sign in"));
}

// Without a window manager's move (the offscreen platform has none) the window follows the
// cursor itself and reports where it ended.
TEST_F(DesktopHostTest, DraggingMovesTheWindowAndReportsTheNewPlace) {
    FaceWindow window(WidgetFamily::systemSmall, true);
    window.setEntry(testing::entryWith(testing::knownSnapshot()));
    window.move(100, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy moved(&window, &FaceWindow::movedByUser);

    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(&window, QPoint(40, 30));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved[0][1].toPoint(), QPoint(130, 120));
    EXPECT_EQ(window.pos(), QPoint(130, 120));
}

// Stored places are used while they are on a screen; the others are stacked down the right
// edge. The cached entry is shown at once, then the first timeline arrives; a move is kept.
TEST_F(DesktopHostTest, HostPlacesShowsAndRemembersItsWindows) {
    WindowPositions(defaults).save(WidgetFamily::systemSmall, QPoint(100, 120));
    WindowPositions(defaults).save(WidgetFamily::systemMedium, QPoint(-5000, -5000));
    std::ostringstream err;
    const EarningsProvider provider(services);
    DesktopHost host([&provider] { return std::optional(provider.snapshot()); },
                     [&provider] { return std::optional(provider.timeline()); },
                     {WidgetFamily::systemSmall, WidgetFamily::systemMedium}, defaults, err);
    QSignalSpy changed(&host.scheduler(), &TimelineScheduler::timelineChanged);
    QSignalSpy refreshed(&host, &DesktopHost::refreshedEntryShown);
    host.start();

    ASSERT_EQ(host.windows().size(), 2u);
    FaceWindow& small = *host.windows()[0];
    FaceWindow& medium = *host.windows()[1];
    EXPECT_TRUE(small.isVisible());
    EXPECT_TRUE(medium.isVisible());
    EXPECT_EQ(small.pos(), QPoint(100, 120));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(medium.pos(), QPoint(screen.right() - 16 - 364, screen.top() + 16 + 170 + 16));
    // No refresh token is stored: signed out, before and after the timeline.
    ASSERT_TRUE(small.entry().has_value());
    EXPECT_FALSE(small.entry()->isConnected);

    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(host.scheduler().requestsStarted(), 1);
    EXPECT_EQ(medium.accessibleDescription(), QStringLiteral("Open Ambrel to sign in"));
    EXPECT_TRUE(http.requests().empty());
    EXPECT_TRUE(err.str().empty());
    EXPECT_EQ(refreshed.count(), 0);  // neither the cached entry nor one made without a refresh

    Q_EMIT medium.movedByUser(WidgetFamily::systemMedium, QPoint(30, 40));
    EXPECT_EQ(defaults.data("host.position.medium"), "30,40");
}

// Only the figures a refresh has just fetched are news (what reached objectives are announced
// from), not the cache or sample a failed refresh falls back to.
TEST_F(DesktopHostTest, TellsWhichEntriesARefreshFetched) {
    std::ostringstream err;
    bool refreshSucceeds = false;
    const auto timeline = [&] {
        return std::optional(Timeline{.entry = testing::entryWith(testing::knownSnapshot()),
                                      .reloadDate = systemClock()() + std::chrono::hours(1),
                                      .refreshed = refreshSucceeds});
    };
    DesktopHost host([] { return std::nullopt; }, timeline, {}, defaults, err);
    QSignalSpy shown(&host, &DesktopHost::entryShown);
    QSignalSpy refreshed(&host, &DesktopHost::refreshedEntryShown);
    host.start();
    ASSERT_TRUE(shown.wait(5000));
    EXPECT_EQ(refreshed.count(), 0);
    refreshSucceeds = true;
    host.refreshNow();
    ASSERT_TRUE(refreshed.wait(5000));
    EXPECT_EQ(shown.count(), 2);
}

}  // namespace
}  // namespace ambrel::widget
