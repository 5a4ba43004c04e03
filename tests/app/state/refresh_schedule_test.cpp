// The application's own refreshes while its window is open: 30 minutes after the last one,
// when the machine wakes (logind's PrepareForSleep, here on the test's session bus) and when
// the network comes back; never beside a running refresh, nor after Google ended the sign-in.

#include "app/refresh_schedule.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

#include "app/app_state.h"

namespace ambrel {
namespace {

struct Counted {
    std::atomic<int> refreshes = 0;
    std::atomic<bool> ended = false;

    AppOperations operations() {
        AppOperations ops;
        ops.loadRefreshToken = [] { return std::optional<std::string>{"1//token"}; };
        ops.deleteRefreshToken = [] { return errSecSuccess; };
        ops.signIn = [](const SignInHooks&) { return Result<void>{}; };
        ops.refreshSnapshot = [this]() -> Result<AmbrelSnapshot> {
            ++refreshes;
            if (ended) return std::unexpected(Error{OAuthError::grantEnded("invalid_grant")});
            return AmbrelSnapshot{};
        };
        ops.clearEarningsCache = [] {};
        ops.reloadAllTimelines = [] {};
        return ops;
    }
};

void idle(AppState& state) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isWorking(); }, 5000));
}

void sendPrepareForSleep(bool sleeping) {
    // From a connection of its own, as logind's signal comes from another process.
    QDBusConnection logind = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "logind");
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
        QStringLiteral("PrepareForSleep"));
    signal << sleeping;
    logind.send(signal);
}

TEST(RefreshSchedule, RefreshesEveryHalfHourOnWakingAndWhenTheNetworkComesBack) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected())
        << "run inside scripts/with-test-session";
    Counted counted;
    AppState state(counted.operations());
    RefreshSchedule schedule(state);
    schedule.watchSystem(QDBusConnection::sessionBus(), QString());
    QTest::qWait(1);
    idle(state);
    ASSERT_EQ(counted.refreshes, 1) << "the start's own refresh";
    EXPECT_TRUE(schedule.timer().isActive());
    EXPECT_EQ(schedule.timer().interval(), 30 * 60 * 1000);

    sendPrepareForSleep(true);
    QTest::qWait(200);
    EXPECT_EQ(counted.refreshes, 1) << "going to sleep is no reason";
    sendPrepareForSleep(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return counted.refreshes == 2; }, 5000));
    idle(state);

    schedule.networkReachable(false);
    schedule.networkReachable(true);
    idle(state);
    schedule.networkReachable(true);  // online still: nothing came back
    idle(state);
    EXPECT_EQ(counted.refreshes, 3);

    // After Google ended the sign-in, only a new sign-in helps.
    counted.ended = true;
    state.refresh();
    idle(state);
    ASSERT_TRUE(state.needsSignInAgain());
    const int before = counted.refreshes;
    sendPrepareForSleep(false);
    QTest::qWait(200);
    EXPECT_EQ(counted.refreshes, before);
}

}  // namespace
}  // namespace ambrel

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
