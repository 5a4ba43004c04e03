// The root view: the sign-in view while signed out, a new dashboard on every connection.

#include "app/content_view.h"

#include <QCoreApplication>
#include <QFrame>
#include <QPointer>
#include <QPushButton>

#include "app/dashboard_view.h"
#include "app/login_view.h"
#include "core/platform/file_secret_store.h"
#include "dashboard_test_fixture.h"

namespace ambrel::testing {
namespace {

class ContentViewTest : public DashboardFixture {
  protected:
    ContentView& makeContent() {
        auto* content = new ContentView(*state, context(), host, toolbar);
        host.setCentralWidget(content);
        return *content;
    }
};

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(ContentViewTest, SignedOutShowsTheSignInViewWithoutToolbar) {
    startState();
    ContentView& content = makeContent();
    EXPECT_NE(content.login(), nullptr);
    EXPECT_EQ(content.dashboard(), nullptr);
    EXPECT_EQ(host.windowTitle(), QStringLiteral("Ambrel"));
    EXPECT_TRUE(toolbar.isHidden());
}

TEST_F(ContentViewTest, FollowsConnectAndSignOut) {
    startState();
    ContentView& content = makeContent();
    backend.holdRefresh();  // the first refresh after sign-in waits
    content.login()->signInButton()->click();
    ASSERT_TRUE(waitFor([&] { return state->isConnected(); }));

    // Connected while the first refresh still runs: the dashboard shows its spinner.
    ASSERT_NE(content.dashboard(), nullptr);
    EXPECT_EQ(content.dashboard()->page(), DashboardView::Page::Loading);
    EXPECT_EQ(host.windowTitle(), QStringLiteral("AdSense earnings"));
    EXPECT_FALSE(toolbar.isHidden());
    backend.setRefreshResult(knownSnapshot());
    backend.release();
    ASSERT_TRUE(waitFor([&] { return !state->isWorking(); }));
    EXPECT_EQ(content.dashboard()->page(), DashboardView::Page::Form);

    state->signOut();
    EXPECT_NE(content.login(), nullptr);
    EXPECT_EQ(host.windowTitle(), QStringLiteral("Ambrel"));
    flushDeletes();
    EXPECT_TRUE(toolbar.actions().isEmpty()) << "the old dashboard's items left with it";
}

TEST_F(ContentViewTest, EachConnectionBuildsANewDashboardThatReloadsTheObjectives) {
    backend.setToken("refresh-token");
    backend.setRefreshResult(knownSnapshot());
    startState();
    ContentView& content = makeContent();
    QPointer<DashboardView> first = content.dashboard();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->objectives(), Objectives{});

    state->signOut();
    Objectives::save(secrets, Objectives{25, 500});
    state->connect();
    ASSERT_TRUE(waitFor([&] { return state->isConnected() && !state->isWorking(); }));
    flushDeletes();
    EXPECT_TRUE(first.isNull());
    ASSERT_NE(content.dashboard(), nullptr);
    EXPECT_EQ(content.dashboard()->objectives(), (Objectives{25, 500}));
}

// Without a keyring the sign-in is kept in a plain file: the window says so, above either
// view, naming the folder, until the user dismisses it.
TEST_F(ContentViewTest, SaysWhenTheSignInIsKeptInAPlainFile) {
    startState();
    EXPECT_EQ(makeContent().findChild<QFrame*>(QStringLiteral("fileSecretsNotice")), nullptr);

    FileSecretStore files("/home/ann/.local/share/ambrel/keychain");
    auto* content = new ContentView(*state, DashboardContext{files, [] {}}, host, toolbar);
    host.setCentralWidget(content);
    const QString text = textOf(*content, QStringLiteral("fileSecretsText"));
    EXPECT_TRUE(text.contains(QStringLiteral(" /home/ann/.local/share/ambrel/keychain. ")))
        << text.toStdString();
    EXPECT_EQ(labelNamed(*content, QStringLiteral("fileSecretsText"))->accessibleName(), text);
    EXPECT_NE(content->login(), nullptr);
    host.show();
    saveScreenshot(host, QStringLiteral("file-secrets-notice"));

    auto* dismiss = content->findChild<QPushButton*>(QStringLiteral("dismissFileSecretsNotice"));
    ASSERT_NE(dismiss, nullptr);
    EXPECT_EQ(dismiss->accessibleName(), QStringLiteral("Dismiss"));
    dismiss->click();
    flushDeletes();
    EXPECT_EQ(content->findChild<QFrame*>(QStringLiteral("fileSecretsNotice")), nullptr);
}

}  // namespace
}  // namespace ambrel::testing

int main(int argc, char** argv) {
    return ambrel::testing::runGuiTests(argc, argv, "en_US");
}
