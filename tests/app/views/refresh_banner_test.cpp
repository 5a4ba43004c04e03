// The banner above the dashboard, driven as a screen reader drives it: a failed refresh in
// plain words with "Try again", gone at the next success; Google's page that enables the
// AdSense API; an ended sign-in with "Sign in again", the figures on screen until it succeeds.

#include "app/refresh_banner.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

#include "app/browser_wait_row.h"
#include "app/dashboard_view.h"
#include "dashboard_test_fixture.h"
#include "support/palettes.h"

namespace ambrel::testing {
namespace {

class RefreshBannerTest : public DashboardFixture {
  protected:
    DashboardView& showDashboard() {
        auto* view = new DashboardView(*state, context(), toolbar);
        host.setCentralWidget(view);
        host.show();
        return *view;
    }

    void refreshFailingWith(const Error& error) {
        backend.setRefreshResult(std::unexpected(error));
        state->refresh();
        ASSERT_TRUE(waitFor([&] { return !state->isWorking(); }));
    }

    QAccessibleInterface* button(const char* name) {
        return findAccessible(host, QAccessible::Button, QString::fromUtf8(name));
    }

    QString balanceShown(const DashboardView& view) {
        return textOf(view, QStringLiteral("balance"));
    }
};

TEST_F(RefreshBannerTest, AFailedRefreshSaysSoUntilTheNextSuccess) {
    startWithSnapshot(knownSnapshot());
    DashboardView& view = showDashboard();
    EXPECT_TRUE(view.banner()->isHidden());

    refreshFailingWith(TransportError{"Could not resolve host: adsense.googleapis.com"});
    const QString message = QStringLiteral(
        "Ambrel could not reach Google (Could not resolve host: adsense.googleapis.com). It tries "
        "again when the network is back.");
    ASSERT_NE(findAccessible(host, QAccessible::StaticText, message), nullptr);
    EXPECT_EQ(balanceShown(view), QStringLiteral("€245.10")) << "the figures stay";
    ASSERT_NE(button("Try again"), nullptr);
    EXPECT_EQ(button("Sign in again"), nullptr);
    saveScreenshot(host, QStringLiteral("dashboard-banner-light"));

    // Its words read at 4.5:1 on the strip, in light and dark palettes alike.
    for (const bool dark : {false, true}) {
        std::optional<ScopedPalette> palette;
        if (dark) palette.emplace(darkPalette());
        const QImage strip = view.banner()->grab().toImage();
        const QRect words = view.banner()->messageLabel()->geometry();
        const QColor background = strip.pixelColor(words.topLeft() - QPoint(2, 0));
        EXPECT_GE(strongestContrast(strip, words, background), 4.5) << dark;
        if (dark) saveScreenshot(host, QStringLiteral("dashboard-banner-dark"));
    }

    AmbrelSnapshot newer = knownSnapshot();
    newer.balance = "€250.00";
    backend.setRefreshResult(newer);
    ASSERT_TRUE(pressAccessible(button("Try again")));
    ASSERT_TRUE(waitFor([&] { return !state->isWorking(); }));
    EXPECT_TRUE(view.banner()->isHidden());
    EXPECT_EQ(findAccessible(host, QAccessible::StaticText, message), nullptr);
    EXPECT_EQ(balanceShown(view), QStringLiteral("€250.00"));
}

// The likeliest first failure of a new user: the AdSense API not enabled in their project.
// The banner offers the page Google names, opened the way the sign-in opens Google's pages.
TEST_F(RefreshBannerTest, AnApiNotEnabledOffersThePageThatEnablesIt) {
    startWithSnapshot(knownSnapshot());
    showDashboard();
    AdSenseError disabled = AdSenseError::http(403, R"({"error":{"code":403}})");
    disabled.serviceDisabled = true;
    disabled.activationUrl =
        "https://console.developers.google.com/apis/api/adsense.googleapis.com/overview?project=7";
    refreshFailingWith(disabled);

    const QString words = QString::fromStdString(errorMessage(disabled));
    EXPECT_NE(findAccessible(host, QAccessible::StaticText, words), nullptr);
    QAccessibleInterface* enable = button("Enable the AdSense API");
    ASSERT_NE(enable, nullptr);
    ASSERT_TRUE(pressAccessible(enable));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened.front().toString(), QString::fromStdString(*disabled.activationUrl));
    EXPECT_NE(button("Try again"), nullptr) << "once enabled, trying again is the next step";
    saveScreenshot(host, QStringLiteral("dashboard-banner-api-disabled"));
}

// Google ended the sign-in: the figures stay, "Sign in again" is offered and works; while the
// browser is out, the banner waits with the consent link to copy; the new sign-in's figures
// replace the old ones and the banner goes.
TEST_F(RefreshBannerTest, AnEndedSignInOffersSignInAgainAndKeepsTheFigures) {
    startWithSnapshot(knownSnapshot());
    DashboardView& view = showDashboard();
    const Error ended = OAuthError::grantEnded("invalid_grant");
    refreshFailingWith(ended);

    EXPECT_NE(
        findAccessible(host, QAccessible::StaticText, QString::fromStdString(errorMessage(ended))),
        nullptr);
    EXPECT_EQ(button("Try again"), nullptr) << "the same refresh can only fail again";
    QAccessibleInterface* again = button("Sign in again");
    ASSERT_NE(again, nullptr);
    EXPECT_FALSE(again->state().disabled);
    EXPECT_EQ(balanceShown(view), QStringLiteral("€245.10"));
    saveScreenshot(host, QStringLiteral("dashboard-banner-sign-in-ended"));

    backend.setConsentUrl("https://accounts.google.com/o/oauth2/auth?client_id=x");
    backend.hold();
    ASSERT_TRUE(pressAccessible(again));
    ASSERT_TRUE(
        waitFor([&] { return view.banner()->browserWait()->copyLinkButton()->isEnabled(); }));
    EXPECT_NE(
        findAccessible(host, QAccessible::StaticText, QStringLiteral("Waiting for your browser…")),
        nullptr);
    ASSERT_TRUE(pressAccessible(button("Copy link")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("https://accounts.google.com/o/oauth2/auth?client_id=x"));
    EXPECT_EQ(balanceShown(view), QStringLiteral("€245.10")) << "still, while the browser is out";
    saveScreenshot(host, QStringLiteral("dashboard-banner-waiting"));

    AmbrelSnapshot renewed = knownSnapshot();
    renewed.balance = "€251.00";
    backend.setRefreshResult(renewed);
    backend.release();
    ASSERT_TRUE(waitFor([&] { return !state->isWorking() && !state->needsSignInAgain(); }));
    EXPECT_TRUE(view.banner()->isHidden());
    EXPECT_EQ(balanceShown(view), QStringLiteral("€251.00"));
    EXPECT_EQ(backend.signIns(), 1);
}

// Cancel ends the wait at once and puts the banner back as it was.
TEST_F(RefreshBannerTest, CancellingTheNewSignInComesBackToSignInAgain) {
    startWithSnapshot(knownSnapshot());
    showDashboard();
    refreshFailingWith(OAuthError::grantEnded("invalid_grant"));
    backend.hold();
    ASSERT_TRUE(pressAccessible(button("Sign in again")));
    ASSERT_TRUE(pressAccessible(button("Cancel")));
    EXPECT_FALSE(state->isWaitingForBrowser());
    EXPECT_FALSE(state->isWorking());
    EXPECT_NE(button("Sign in again"), nullptr);
}

}  // namespace
}  // namespace ambrel::testing

int main(int argc, char** argv) {
    return ambrel::testing::runGuiTests(argc, argv, "en_US");
}
