// The dashboard in French: translated titles and headers, figures in the fr_FR display locale,
// the update time in the user's (French) locale.

#include <QLabel>
#include <QMainWindow>

#include "app/ambrel_app.h"
#include "app/client_file_help.h"
#include "app/dashboard_view.h"
#include "app/form_section.h"
#include "app/login_view.h"
#include "app/objectives_rings.h"
#include "app/projection_row.h"
#include "app/refresh_banner.h"
#include "app/ring_gauge.h"
#include "app/snapshot_form.h"
#include "app/trend_chart.h"
#include "dashboard_test_fixture.h"

namespace ambrel::testing {
namespace {

bool catalogBuilt() {
    const QByteArray build = qgetenv("AMBREL_BUILD_DIR");
    return QFile::exists(QString::fromLocal8Bit(build) +
                         QStringLiteral("/locale/fr/LC_MESSAGES/ambrel.mo"));
}

class FrenchDashboardTest : public DashboardFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(catalogBuilt()) << "build the ambrel_catalogs target first";
    }
};

TEST_F(FrenchDashboardTest, EveryRowOfTheForm) {
    startWithSnapshot(knownSnapshot());
    DashboardView view(*state, context(), toolbar);
    const RowTexts rows[] = {
        {"today", "Aujourd’hui", "6,50\u00a0€", "", ""},
        {"yesterday", "Hier", "12,34\u00a0€", "+1,20\u00a0€", "(+11\u00a0%)"},
        {"last7", "7 derniers jours", "80,00\u00a0€", "-20,00\u00a0€", "(-20\u00a0%)"},
        {"month", "Ce mois-ci", "150,00\u00a0€", "+150,00\u00a0€", ""},
        {"pv", "Pages vues", "15,3 k", "+0", ""},
        {"rpm", "RPM de page", "0,81\u00a0€", "-0,09\u00a0€", "(-10\u00a0%)"},
        {"imp", "Impressions", "40,2 k", "+2\u202f200", "(+6\u00a0%)"},
        {"clicks", "Clics", "52", "-8", "(-13\u00a0%)"},
        {"cpc", "CPC", "0,24\u00a0€", "+0,04\u00a0€", "(+20\u00a0%)"},
        {"ctr", "CTR de page", "1,23\u00a0%", "-0,02 pp", "(-1\u00a0%)"},
    };
    for (const RowTexts& expected : rows) expectRow(view, expected);

    QStringList headers;
    for (const FormSection* section : view.findChildren<FormSection*>()) {
        headers << section->headerLabel()->text();
    }
    EXPECT_EQ(headers, (QStringList{"Solde", "Objectifs", "Revenus", "Performances · Hier"}));
    EXPECT_EQ(view.form()->freshnessLabel()->text(), QStringLiteral("Mis à jour à 14:05"));
    EXPECT_EQ(textOf(view, QStringLiteral("lastPaymentCaption")),
              QStringLiteral("Dernier paiement"));
    // Google's "€245.10" is written as the French figures beside it are.
    EXPECT_EQ(textOf(view, QStringLiteral("balance")), QStringLiteral("245,10\u00a0€"));
    EXPECT_EQ(textOf(view, QStringLiteral("lastPaymentAmount")), QStringLiteral("310,42\u00a0€"));

    const RingGauge& daily = *view.form()->rings()->dailyGauge();
    EXPECT_EQ(daily.titleLabel()->text(), QStringLiteral("Aujourd’hui"));
    EXPECT_EQ(daily.amountsLabel()->text(), QStringLiteral("6,50\u00a0€ / 10,00\u00a0€"));
}

TEST_F(FrenchDashboardTest, LastThirtyDaysAndProjection) {
    startWithSnapshot(snapshotWithTrend());
    DashboardView view(*state, context(), toolbar);
    const auto* section = view.findChild<FormSection*>(QStringLiteral("trendSection"));
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->headerLabel()->text(), QStringLiteral("30 derniers jours"));
    const auto* chart = view.findChild<TrendChart*>(QStringLiteral("trendChart"));
    EXPECT_EQ(chart->accessibleName(), QStringLiteral("Revenus des 30 derniers jours"));
    EXPECT_EQ(chart->accessibleDescription(),
              QStringLiteral("Moyenne de 2,93\u00a0€ par jour. Meilleur jour\u202f: 14 mai 2026, "
                             "4,00\u00a0€. Jour le plus faible\u202f: 22 avr. 2026, 2,00\u00a0€."));
    EXPECT_EQ(chart->toolTipText(29), QStringLiteral("21 mai 2026\n1,50\u00a0€\nJournée en cours"));
    EXPECT_EQ(view.form()->projection()->textLabel()->text(),
              QStringLiteral("Projection pour ce mois-ci\u202f: 111,00\u00a0€"));
    EXPECT_EQ(view.form()->projection()->shareLabel()->text(),
              QStringLiteral("37\u00a0% de l’objectif mensuel"));
}

TEST_F(FrenchDashboardTest, WindowInFrench) {
    backend.setToken("refresh-token");
    backend.setRefreshResult(snapshotWithTrend());
    AmbrelApp app(backend.operations(), freshContext(secrets));
    app.mainWindow().show();
    ASSERT_TRUE(waitFor([&] { return app.state().hasDashboard() && !app.state().isWorking(); }));
    EXPECT_EQ(app.mainWindow().windowTitle(), QStringLiteral("Revenus AdSense"));
    saveScreenshot(app.mainWindow(), QStringLiteral("dashboard-fr_FR"));
    app.showAbout();
    saveScreenshot(*app.aboutWindow(), QStringLiteral("about-fr_FR"));
}

// The surfaces a daily user meets, in French, for a person to look at: the banner of a failed
// refresh over the figures, the first run's set-up step with its help, the wait for the
// browser, and the objectives sheet.
TEST_F(FrenchDashboardTest, DailySurfacesInFrench) {
    startWithSnapshot(snapshotWithTrend());
    auto* view = new DashboardView(*state, context(), toolbar);
    host.setCentralWidget(view);
    host.show();
    backend.setRefreshResult(std::unexpected(Error{TransportError{"Could not resolve host"}}));
    state->refresh();
    ASSERT_TRUE(waitFor([&] { return !state->isWorking(); }));
    ASSERT_FALSE(view->banner()->isHidden());
    saveScreenshot(host, QStringLiteral("dashboard-banner-fr_FR"));
    view->showObjectives();
    ASSERT_NE(view->objectivesSheet(), nullptr);
    saveScreenshot(*view->objectivesSheet(), QStringLiteral("objectives-sheet-fr_FR"));
    view->objectivesSheet()->close();

    FakeBackend signedOut;
    AppOperations firstRun = signedOut.operations();
    firstRun.checkClientFile = []() -> Result<void> {
        return std::unexpected(Error{OAuthError::missingConfig()});
    };
    AppState setUp(firstRun);
    LoginView login(setUp);
    login.resize(600, 800);
    login.show();
    saveScreenshot(login, QStringLiteral("sign-in-no-client-file-fr_FR"));
    ClientFileHelp help(&login);
    help.show();
    saveScreenshot(help, QStringLiteral("client-file-help-fr_FR"));

    AppState waiting(signedOut.operations());
    LoginView browserOut(waiting);
    browserOut.resize(600, 800);
    browserOut.show();
    signedOut.setConsentUrl("https://accounts.google.com/o/oauth2/auth");
    signedOut.hold();
    waiting.connect();
    ASSERT_TRUE(waitFor([&] { return !waiting.consentUrl().isEmpty(); }));
    saveScreenshot(browserOut, QStringLiteral("sign-in-waiting-fr_FR"));
    waiting.cancelSignIn();
    signedOut.release();
}

}  // namespace
}  // namespace ambrel::testing

int main(int argc, char** argv) {
    return ambrel::testing::runGuiTests(argc, argv, "fr_FR");
}
