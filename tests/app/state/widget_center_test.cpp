// The reload request travels over the session bus to every listener.

#include "ui/widget_center.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <cstdlib>

namespace ambrel {
namespace {

TEST(WidgetCenter, ReloadSignalReachesAListenerOnTheSessionBus) {
    if (std::getenv("AMBREL_TEST_SESSION") == nullptr)
        GTEST_SKIP() << "needs the private session bus of scripts/with-test-session";
    ReloadListener listener;
    ASSERT_TRUE(listener.isListening());
    QSignalSpy spy(&listener, &ReloadListener::reloadRequested);
    WidgetCenter::reloadAllTimelines();
    ASSERT_TRUE(spy.wait(3000));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_FALSE(spy.wait(200)) << "one request, one signal";
}

}  // namespace
}  // namespace ambrel

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
