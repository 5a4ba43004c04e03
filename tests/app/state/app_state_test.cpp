// AppState under a real Qt event loop: every property change happens on the GUI thread, in
// the orders the views rely on, and every failure ends as one message.

#include "app/app_state.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <atomic>
#include <future>
#include <memory>

namespace ambrel {
namespace {

AmbrelSnapshot snapshotWithToday(double today) {
    AmbrelSnapshot snapshot;
    snapshot.today = today;
    snapshot.currency = "EUR";
    return snapshot;
}

// Fake operations with recorded calls; the blocking ones run on the worker thread.
struct FakeOperations {
    Result<std::optional<std::string>> token = std::optional<std::string>{"1//token"};
    std::int32_t deleteStatus = errSecSuccess;
    Result<void> signInResult{};
    std::vector<Result<AmbrelSnapshot>> refreshResults;
    std::atomic<int> refreshCalls = 0;
    std::atomic<int> signInCalls = 0;
    int clearCalls = 0;
    int reloadCalls = 0;
    std::vector<std::string> events;  // GUI-thread calls in order
    Qt::HANDLE guiThread = QThread::currentThreadId();
    std::atomic<bool> blockingCallOnGuiThread = false;
    std::atomic<bool> lookupOnGuiThread = false;

    AppOperations operations() {
        AppOperations ops;
        ops.loadRefreshToken = [this] {
            lookupOnGuiThread = QThread::currentThreadId() == guiThread;
            return token;
        };
        ops.deleteRefreshToken = [this] {
            events.push_back("delete");
            return deleteStatus;
        };
        ops.signIn = [this](const SignInHooks&) -> Result<void> {
            if (QThread::currentThreadId() == guiThread) blockingCallOnGuiThread = true;
            ++signInCalls;
            return signInResult;
        };
        ops.refreshSnapshot = [this]() -> Result<AmbrelSnapshot> {
            if (QThread::currentThreadId() == guiThread) blockingCallOnGuiThread = true;
            int call = refreshCalls++;
            if (refreshResults.empty()) return snapshotWithToday(1);
            return refreshResults[std::min<std::size_t>(call, refreshResults.size() - 1)];
        };
        ops.clearEarningsCache = [this] {
            events.push_back("clear");
            ++clearCalls;
        };
        ops.reloadAllTimelines = [this] {
            events.push_back("reload");
            ++reloadCalls;
        };
        return ops;
    }
};

// Runs the event loop until isWorking has gone back to false after `spy` saw it change.
void waitUntilIdle(AppState& state) {
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!state.isWorking()) {
            // Let queued continuations run once more before judging.
            QCoreApplication::processEvents();
            if (!state.isWorking()) return;
        }
    }
    FAIL() << "AppState stayed busy";
}

void runEventsFor(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

Error transport(std::string text) {
    return TransportError{std::move(text)};
}

TEST(AppStateStart, WithoutTokenIsDisconnectedAndStartsNothing) {
    FakeOperations fake;
    fake.token = std::optional<std::string>{};
    AppState state(fake.operations());
    runEventsFor(50);
    EXPECT_FALSE(state.isConnected());
    EXPECT_FALSE(state.dashboard());
    EXPECT_EQ(fake.refreshCalls, 0);
    EXPECT_FALSE(state.errorMessage());
}

// Looked up beside the first frame: nothing is known until the answer, then isConnected comes
// before the end of isStarting (so a view never shows the sign-in view on its way to the
// dashboard), then the first refresh.
TEST(AppStateStart, BackgroundLookupAnswersBeforeTheFirstRefresh) {
    FakeOperations fake;
    AppState state(fake.operations(), StartLookup::inBackground);
    EXPECT_TRUE(state.isStarting());
    EXPECT_FALSE(state.isConnected());
    std::vector<std::string> order;
    QObject::connect(&state, &AppState::isConnectedChanged, [&] { order.push_back("connected"); });
    QObject::connect(&state, &AppState::isStartingChanged, [&] { order.push_back("started"); });
    QObject::connect(&state, &AppState::isWorkingChanged, [&](bool working) {
        if (working) order.push_back("refreshing");
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.dashboard().has_value(); }, 5000));
    EXPECT_EQ(order, (std::vector<std::string>{"connected", "started", "refreshing"}));
    EXPECT_FALSE(state.isStarting());
    EXPECT_FALSE(fake.lookupOnGuiThread);
}

// Signed out and without a client file: when the background lookup ends, the view that waited
// for it finds the chooser already there. A file not there yet is the first set-up step, not
// a failure to report.
TEST(AppStateStart, BackgroundLookupSignedOutAsksForAClientFileBeforeItEnds) {
    FakeOperations fake;
    fake.token = std::optional<std::string>{};
    AppOperations operations = fake.operations();
    operations.checkClientFile = []() -> Result<void> {
        return std::unexpected(Error{OAuthError::missingConfig()});
    };
    AppState state(operations, StartLookup::inBackground);
    bool chooserAtEnd = false;
    QObject::connect(&state, &AppState::isStartingChanged,
                     [&] { chooserAtEnd = state.needsClientFile(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isStarting(); }, 5000));
    EXPECT_TRUE(chooserAtEnd);
    EXPECT_FALSE(state.errorMessage());
}

TEST(AppStateStart, KeychainFailureCountsAsSignedOutWithoutMessage) {
    FakeOperations fake;
    fake.token = std::unexpected(Error{KeychainError{-25293}});
    AppState state(fake.operations());
    runEventsFor(50);
    EXPECT_FALSE(state.isConnected());
    EXPECT_FALSE(state.errorMessage());
    EXPECT_EQ(fake.refreshCalls, 0);
}

TEST(AppStateStart, EmptyTokenConnectsAndItsFailingRefreshKeepsTheConnection) {
    FakeOperations fake;
    fake.token = std::optional<std::string>{""};
    fake.refreshResults = {std::unexpected(Error{OAuthError::token("invalid_grant")})};
    AppState state(fake.operations());
    EXPECT_TRUE(state.isConnected());
    EXPECT_FALSE(state.isWorking()) << "the first refresh starts after construction";
    QSignalSpy working(&state, &AppState::isWorkingChanged);
    runEventsFor(1);
    waitUntilIdle(state);
    EXPECT_EQ(fake.refreshCalls, 1);
    EXPECT_TRUE(state.isConnected());
    EXPECT_EQ(state.errorMessage(), QString("Authentication error: invalid_grant"));
    ASSERT_EQ(working.count(), 2);
    EXPECT_TRUE(working.at(0).at(0).toBool());
    EXPECT_FALSE(working.at(1).at(0).toBool());
    EXPECT_FALSE(fake.blockingCallOnGuiThread);
}

TEST(AppStateRefresh, SuccessPublishesThenReloadsWidgetsThenStopsWorking) {
    FakeOperations fake;
    fake.token = std::optional<std::string>{};
    fake.refreshResults = {snapshotWithToday(4.5)};
    AppState state(fake.operations());
    std::vector<std::string> order;
    QObject::connect(&state, &AppState::dashboardChanged, [&] { order.push_back("dashboard"); });
    QObject::connect(&state, &AppState::isWorkingChanged,
                     [&](bool working) { order.push_back(working ? "working" : "idle"); });
    state.refresh();
    EXPECT_TRUE(state.isWorking());
    waitUntilIdle(state);
    ASSERT_TRUE(state.dashboard());
    EXPECT_EQ(state.dashboard()->today, 4.5);
    EXPECT_EQ(fake.reloadCalls, 1);
    EXPECT_EQ(order, (std::vector<std::string>{"working", "dashboard", "idle"}));
}

// A failure's words stay while the user tries again, so the banner does not blink away; they
// carry the page that mends the failure, or that only a new sign-in helps; a success clears
// them all.
TEST(AppStateRefresh, FailureStaysUntilASuccessWithItsLinkAndItsWayBack) {
    FakeOperations fake;
    fake.token = std::optional<std::string>{};
    AdSenseError disabled = AdSenseError::http(403, "{}");
    disabled.serviceDisabled = true;
    disabled.activationUrl = "https://console.developers.google.com/apis/api/adsense";
    fake.refreshResults = {
        snapshotWithToday(2), std::unexpected(transport("Could not resolve host")),
        std::unexpected(Error{disabled}),
        std::unexpected(Error{OAuthError::grantEnded("invalid_grant")}), snapshotWithToday(3)};
    AppState state(fake.operations());
    state.refresh();
    waitUntilIdle(state);
    state.refresh();
    waitUntilIdle(state);
    EXPECT_EQ(state.dashboard()->today, 2) << "the figures stay";
    EXPECT_EQ(state.errorMessage(),
              QString("Ambrel could not reach Google (Could not resolve host). It tries again "
                      "when the network is back."));
    EXPECT_EQ(fake.reloadCalls, 1) << "only a successful refresh reloads the widget";

    state.refresh();
    EXPECT_TRUE(state.errorMessage()) << "kept while the next refresh runs";
    waitUntilIdle(state);
    EXPECT_EQ(state.errorLink(), QString("https://console.developers.google.com/apis/api/adsense"));
    EXPECT_FALSE(state.needsSignInAgain());

    state.refresh();
    waitUntilIdle(state);
    EXPECT_TRUE(state.needsSignInAgain());
    EXPECT_TRUE(state.errorLink().isEmpty());

    state.refresh();
    waitUntilIdle(state);
    EXPECT_EQ(state.dashboard()->today, 3);
    EXPECT_FALSE(state.errorMessage());
    EXPECT_FALSE(state.needsSignInAgain());
}

TEST(AppStateRefresh, NotConnectedErrorKeepsTheConnectedState) {
    FakeOperations fake;
    fake.refreshResults = {std::unexpected(Error{OAuthError::noRefreshToken()})};
    AppState state(fake.operations());
    runEventsFor(1);
    waitUntilIdle(state);
    EXPECT_TRUE(state.isConnected());
    EXPECT_EQ(state.errorMessage(), QString("Not connected to Google."));
}

TEST(AppStateConnect, MissingConfigurationLeavesStateAndShowsMessage) {
    FakeOperations fake;
    fake.token = std::optional<std::string>{};
    fake.signInResult = std::unexpected(Error{OAuthError::missingConfig()});
    AppState state(fake.operations());
    state.connect();
    EXPECT_TRUE(state.isWorking());
    waitUntilIdle(state);
    EXPECT_FALSE(state.isConnected());
    EXPECT_EQ(state.errorMessage(),
              QString("Choose your Google client file first: Ambrel signs in with it."));
    EXPECT_EQ(fake.refreshCalls, 0);
}

TEST(AppStateConnect, SuccessConnectsBeforeTheFirstRefreshFinishes) {
    FakeOperations fake;
    fake.token = std::optional<std::string>{};
    fake.refreshResults = {snapshotWithToday(3)};
    AppState state(fake.operations());
    bool dashboardWhenConnected = true;
    QObject::connect(&state, &AppState::isConnectedChanged,
                     [&] { dashboardWhenConnected = state.dashboard().has_value(); });
    state.connect();
    waitUntilIdle(state);
    EXPECT_TRUE(state.isConnected());
    EXPECT_FALSE(dashboardWhenConnected) << "the views switch before the figures arrive";
    ASSERT_TRUE(state.dashboard());
    EXPECT_EQ(fake.signInCalls, 1);
    EXPECT_EQ(fake.refreshCalls, 1);
    EXPECT_FALSE(fake.blockingCallOnGuiThread);
}

TEST(AppStateConnect, FirstRefreshFailingLeavesConnectedWithoutFigures) {
    FakeOperations fake;
    fake.token = std::optional<std::string>{};
    fake.refreshResults = {std::unexpected(Error{AdSenseError::noAccount()})};
    AppState state(fake.operations());
    state.connect();
    waitUntilIdle(state);
    EXPECT_TRUE(state.isConnected());
    EXPECT_FALSE(state.dashboard());
    EXPECT_EQ(state.errorMessage(), QString("No AdSense account found for this Google account."));
    EXPECT_FALSE(state.isWorking());
}

TEST(AppStateSignOut, ClearsCacheOnlyAfterTheTokenIsGone) {
    struct Case {
        std::int32_t status;
        bool clears;
    };
    for (Case c :
         {Case{errSecSuccess, true}, Case{errSecItemNotFound, true}, Case{-25293, false}}) {
        FakeOperations fake;
        fake.refreshResults = {snapshotWithToday(1)};
        fake.deleteStatus = c.status;
        AppState state(fake.operations());
        runEventsFor(1);
        waitUntilIdle(state);
        fake.events.clear();
        state.signOut();
        EXPECT_FALSE(state.isConnected()) << c.status;
        EXPECT_FALSE(state.dashboard()) << c.status;
        EXPECT_FALSE(state.errorMessage()) << "a failed deletion is not reported";
        auto expected = c.clears ? std::vector<std::string>{"delete", "clear", "reload"}
                                 : std::vector<std::string>{"delete", "reload"};
        EXPECT_EQ(fake.events, expected) << c.status;
    }
}

// Cancel ends the wait at once: nothing runs any more, nothing is reported, and the sign-in's
// own late end is dropped. The sign-in was handed the switch that stops its listener.
TEST(AppStateConnect, CancelEndsTheWaitAtOnce) {
    FakeOperations fake;
    fake.token = std::optional<std::string>{};
    AppOperations operations = fake.operations();
    operations.signIn = [](const SignInHooks& hooks) -> Result<void> {
        hooks.consentOpened("https://accounts.test/auth?state=x");
        while (!hooks.cancel->isCancelled()) QThread::msleep(5);
        return std::unexpected(Error{OAuthError::token("sign-in cancelled")});
    };
    AppState state(std::move(operations));
    state.connect();
    EXPECT_TRUE(state.isWaitingForBrowser());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state.consentUrl().isEmpty(); }, 5000));
    EXPECT_EQ(state.consentUrl(), QString("https://accounts.test/auth?state=x"));

    state.cancelSignIn();
    EXPECT_FALSE(state.isWaitingForBrowser());
    EXPECT_FALSE(state.isWorking());
    QThreadPool::globalInstance()->waitForDone();
    runEventsFor(50);
    EXPECT_FALSE(state.errorMessage());
    EXPECT_FALSE(state.isConnected());
    EXPECT_EQ(fake.refreshCalls, 0);
}

// Closing the window may take AppState away while a sign-in still waits for the browser: the
// result that arrives afterwards is dropped, and nothing runs on the departed state.
TEST(AppStateLifetime, OperationOutlivingTheStateIsDropped) {
    FakeOperations fake;
    fake.token = std::optional<std::string>{};
    std::promise<void> browserBack;
    AppOperations operations = fake.operations();
    operations.signIn = [back =
                             browserBack.get_future().share()](const SignInHooks&) -> Result<void> {
        back.wait();
        return {};
    };
    auto state = std::make_unique<AppState>(std::move(operations));
    state->connect();
    state.reset();
    browserBack.set_value();
    QThreadPool::globalInstance()->waitForDone();
    runEventsFor(50);
    EXPECT_EQ(fake.refreshCalls, 0);
}

}  // namespace
}  // namespace ambrel

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
