// The whole application over its real operations, against the fake Google server: a signed-in
// start shows the cached figures while the first refresh still waits for Google, then Google's
// own; a refused report shows the banner over them, and "Try again" brings them back.

#include <QMainWindow>
#include <QTest>
#include <fstream>

#include "app/ambrel_app.h"
#include "app/content_view.h"
#include "app/dashboard_view.h"
#include "app/refresh_banner.h"
#include "app/views/view_test_support.h"
#include "core/auth/keychain.h"
#include "core/earnings/daily_report.h"
#include "core/earnings/earnings_store.h"
#include "core/platform/curl_http_client.h"
#include "fakes/fake_google.h"
#include "support/memory_secret_store.h"
#include "support/temp_dir.h"

namespace ambrel::testing {
namespace {

using namespace std::chrono_literals;

TEST(AppAgainstFakeGoogle, CachedFiguresThenGooglesThenTheBannerOfARefusalThenBack) {
    fakes::FakeGoogle google{0, fakes::Scheme::https};
    google.setCurrency("USD");
    // The 35 days up to today, as the refresh asks for them: a snapshot needs rows.
    std::vector<fakes::FakeDay> days;
    const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    for (int back = 34; back >= 0; --back)
        days.push_back({dateKey(today - std::chrono::days{back}), 2, 1000, 2, 2000, 20, 0.1, 0.01});
    google.setDays(days);
    google.setPayments({{"unpaid", {}, {}, {}, "$42.10"}});
    google.setLatency(600ms);  // every answer: the cached figures must show before any
    TempDir dir;
    std::ofstream(dir.path() / "client_secret.json") << google.clientSecretJson();
    MemorySecretStore secrets;
    secrets.put(refreshTokenItem(), "1//fake-refresh-token");
    Defaults defaults(dir.path() / "defaults");
    AmbrelSnapshot cached = knownSnapshot();
    cached.currency = "USD";
    cached.balance = "$1.00";
    AmbrelSnapshot::save(defaults, cached);
    CurlHttpClient http(fakes::testCaFile());
    const Services services{http,
                            secrets,
                            defaults,
                            systemClock(),
                            google.adsenseBase(),
                            {dir.path() / "client_secret.json"}};

    AmbrelApp app(services);
    app.mainWindow().show();
    const auto balance = [&] { return textOf(app.mainWindow(), QStringLiteral("balance")); };
    ASSERT_TRUE(waitFor([&] { return app.content().dashboard() != nullptr; }));
    EXPECT_EQ(balance(), QStringLiteral("$1.00"));
    EXPECT_TRUE(app.state().isWorking()) << "Google has not answered yet";

    const auto idle = [&] {
        return QTest::qWaitFor([&] { return !app.state().isWorking(); }, 20000);
    };
    ASSERT_TRUE(idle());
    EXPECT_EQ(balance(), QStringLiteral("$42.10"));
    RefreshBanner* banner = app.content().dashboard()->banner();
    EXPECT_TRUE(banner->isHidden()) << app.state().errorMessageText().toStdString();

    google.setLatency(0ms);
    google.injectFault(
        fakes::Endpoint::report,
        {403, R"({"error":{"code":403,"message":"Forbidden","status":"PERMISSION_DENIED"}})"});
    app.state().refresh();
    ASSERT_TRUE(idle());
    EXPECT_FALSE(banner->isHidden());
    EXPECT_TRUE(banner->messageLabel()->text().contains(QStringLiteral("403")))
        << banner->messageLabel()->text().toStdString();
    EXPECT_EQ(balance(), QStringLiteral("$42.10")) << "the figures stay";

    google.clearFaults();
    ASSERT_TRUE(pressAccessible(
        findAccessible(app.mainWindow(), QAccessible::Button, QStringLiteral("Try again"))));
    ASSERT_TRUE(idle());
    EXPECT_TRUE(banner->isHidden());
}

}  // namespace
}  // namespace ambrel::testing

int main(int argc, char** argv) {
    return ambrel::testing::runGuiTests(argc, argv, "en_US");
}
