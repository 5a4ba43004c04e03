// The application's reload signal on a private session bus reaches the host's scheduler as
// exactly one new timeline. Runs only inside scripts/with-test-session.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <atomic>
#include <cstdlib>

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

}  // namespace
}  // namespace ambrel::widget
