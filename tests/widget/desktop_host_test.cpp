// The desktop host's windows on the offscreen platform: how they are made, where they go, how
// they are moved and what they tell assistive technologies.

#include "widget/host/desktop_host.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <sstream>

#include "core/earnings/formatting.h"
#include "face_test_support.h"
#include "support/fake_http_client.h"
#include "support/memory_secret_store.h"
#include "support/palettes.h"
#include "support/temp_dir.h"
#include "support/test_artifacts.h"
#include "widget/host/face_window.h"
#include "widget/host/hidden_faces.h"
#include "widget/host/window_positions.h"
#include "widget/wayland/popup_menu.h"

namespace ambrel::widget {
namespace {

const auto* const kGui = ::testing::AddGlobalTestEnvironment(new testing::QtApplicationEnvironment);

QString qpath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

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

    QSignalSpy chosen(&window, &FaceWindow::commandChosen);

    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(&window, QPoint(40, 30));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved[0][1].toPoint(), QPoint(130, 120));
    EXPECT_EQ(window.pos(), QPoint(130, 120));
    EXPECT_EQ(chosen.count(), 0);  // a drag is no click

    // A press and release in place (a tremble shorter than the drag distance) opens Ambrel.
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(&window, QPoint(12, 11));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(12, 11));
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][1].value<FaceCommand>(), FaceCommand::openAmbrel);
    EXPECT_EQ(moved.count(), 1);
}

// The other button opens the face's menu; its commands go to the owner ("Open Ambrel", "Quit
// widgets") or take the face away ("Hide this widget") for this run and the next. A start whose
// faces are all hidden shows them again. The menu is left in the test artefacts in light and
// dark palettes, as X11 draws it and as the layer surfaces do.
TEST_F(DesktopHostTest, MenuOpensQuitsAndHidesFacesForGood) {
    using enum WidgetFamily;
    std::ostringstream err;
    const auto noEntry = [] { return std::optional<EarningsEntry>(); };
    const auto noTimeline = [] { return std::optional<Timeline>(); };
    {
        DesktopHost host(noEntry, noTimeline, {systemSmall, systemMedium}, defaults, err);
        QSignalSpy open(&host, &DesktopHost::openRequested);
        QSignalSpy quit(&host, &DesktopHost::quitRequested);
        QSignalSpy allHidden(&host, &DesktopHost::everyFaceHidden);
        FaceWindow& small = *host.windows()[0];
        small.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&small));
        QTest::mouseClick(&small, Qt::RightButton, {}, QPoint(20, 20));
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QStringList labels;
        for (QAction* action : menu->actions()) labels << action->text();
        EXPECT_EQ(labels, (QStringList{QStringLiteral("Open Ambrel"), QStringLiteral("Refresh now"),
                                       QStringLiteral("Hide this widget"),
                                       QStringLiteral("Quit widgets")}));
        const auto folder = testing::testArtifactsFolder();
        for (const bool dark : {false, true}) {
            const testing::ScopedPalette palette(dark ? testing::darkPalette()
                                                      : QGuiApplication::palette());
            const QString look = dark ? QStringLiteral("dark") : QStringLiteral("light");
            menu->setPalette(QGuiApplication::palette());
            menu->grab().save(qpath(folder / ("widget-menu-x11-" + look.toStdString() + ".png")));
            wayland::popupMenuImage(labels, 1, 2, QGuiApplication::palette())
                .save(qpath(folder / ("widget-menu-layer-" + look.toStdString() + ".png")));
        }
        menu->actions()[0]->trigger();
        menu->actions()[3]->trigger();
        EXPECT_EQ(open.count(), 1);
        EXPECT_EQ(quit.count(), 1);
        menu->close();

        host.run(systemSmall, FaceCommand::hideWidget);
        ASSERT_EQ(host.windows().size(), 1u);
        EXPECT_EQ(host.windows()[0]->family(), systemMedium);
        EXPECT_EQ(allHidden.count(), 0);
        host.run(systemMedium, FaceCommand::hideWidget);
        EXPECT_EQ(allHidden.count(), 1);
    }
    const auto familiesOf = [&](std::vector<WidgetFamily> wanted) {
        DesktopHost host(noEntry, noTimeline, std::move(wanted), defaults, err);
        std::vector<WidgetFamily> shown;
        for (const auto& window : host.windows()) shown.push_back(window->family());
        return shown;
    };
    EXPECT_EQ(familiesOf({systemSmall, systemLarge}), std::vector{systemLarge});
    EXPECT_EQ(familiesOf({systemSmall, systemMedium}), (std::vector{systemSmall, systemMedium}));
    EXPECT_FALSE(defaults.data(hiddenKey(systemSmall)).has_value());
    EXPECT_TRUE(err.str().empty()) << err.str();
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
