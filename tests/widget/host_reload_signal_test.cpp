// The application's reload signal on a private session bus reaches the host's scheduler as
// exactly one new timeline. Runs only inside scripts/with-test-session.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "ui/widget_center.h"
#include "widget/host/timeline_scheduler.h"

namespace ambrel::widget {
namespace {

TEST(HostReloadSignal, OneSignalBringsExactlyOneTimeline) {
    if (!std::getenv("AMBREL_TEST_SESSION")) GTEST_SKIP() << "needs scripts/with-test-session";
    int argc = 1;
    char name[] = "host-reload-signal-test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    std::atomic<int> calls = 0;
    TimelineScheduler scheduler(
        [&calls] {
            ++calls;
            return Timeline{.entry = {}, .reloadDate = Instant::max()};
        },
        systemClock());
    ReloadListener listener;
    ASSERT_TRUE(listener.isListening());
    QObject::connect(&listener, &ReloadListener::reloadRequested, &scheduler,
                     &TimelineScheduler::requestReload);
    QSignalSpy changed(&scheduler, &TimelineScheduler::timelineChanged);
    scheduler.start();
    ASSERT_TRUE(changed.wait(5000));

    WidgetCenter::reloadAllTimelines();
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_FALSE(changed.wait(500));
    EXPECT_EQ(calls, 2);
}

// A storm of signals costs one timeline per spacing, and the last timeline starts after the last
// signal arrived. The scheduler's clock is the test's, so no real spacing is waited for.
TEST(HostReloadSignal, StormCostsOneTimelinePerSpacingAndHonoursTheLastSignal) {
    if (!std::getenv("AMBREL_TEST_SESSION")) GTEST_SKIP() << "needs scripts/with-test-session";
    int argc = 1;
    char name[] = "host-reload-signal-test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    std::mutex mutex;
    Instant now = instantFromReferenceSeconds(1000);
    std::atomic<int> signalsReceived = 0;
    std::vector<int> signalsSeenByRequest;  // signals received when each request ran
    TimelineScheduler scheduler(
        [&] {
            std::lock_guard lock(mutex);
            signalsSeenByRequest.push_back(signalsReceived);
            return Timeline{.entry = {}, .reloadDate = now + kTimelineReloadInterval};
        },
        [&] {
            std::lock_guard lock(mutex);
            return now;
        });
    ReloadListener listener;
    ASSERT_TRUE(listener.isListening());
    QObject::connect(&listener, &ReloadListener::reloadRequested, [&] { ++signalsReceived; });
    QObject::connect(&listener, &ReloadListener::reloadRequested, &scheduler,
                     &TimelineScheduler::requestReload);
    QSignalSpy changed(&scheduler, &TimelineScheduler::timelineChanged);
    scheduler.start();
    ASSERT_TRUE(changed.wait(5000));

    constexpr int kStorm = 300;
    for (int i = 0; i < kStorm; ++i) WidgetCenter::reloadAllTimelines();
    ASSERT_TRUE(QTest::qWaitFor([&] { return signalsReceived == kStorm; }, 10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(scheduler.requestsStarted(), 2);  // the start and the storm's first signal
    EXPECT_TRUE(scheduler.isReloadPending());

    {
        std::lock_guard lock(mutex);
        now += TimelineScheduler::kReloadSpacing;
    }
    scheduler.checkReloadDate();  // what the timer does once the spacing has passed
    ASSERT_TRUE(QTest::qWaitFor([&] { return !scheduler.isRequestRunning(); }, 5000));
    EXPECT_FALSE(changed.wait(500));
    std::lock_guard lock(mutex);
    ASSERT_EQ(signalsSeenByRequest.size(), 3u);
    EXPECT_EQ(signalsSeenByRequest.back(), kStorm);
}

}  // namespace
}  // namespace ambrel::widget
