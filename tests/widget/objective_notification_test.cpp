// Reached objectives announced by `ambrel-widget indicator` to a notification server of the
// test's own on the private session bus of scripts/with-test-session, against the fake Google
// server: without a server one line says so and nothing is lost; once a server answers, each
// objective is announced once; a restart does not repeat it; switched off in the menu, a new
// day's objective is not announced.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/auth/keychain.h"
#include "core/earnings/daily_report.h"
#include "core/earnings/earnings_store.h"
#include "core/platform/secret_store.h"
#include "fakes/fake_google.h"
#include "support/temp_dir.h"

namespace ambrel::widget {
namespace {

using fakes::FakeDay;
using testing::TempDir;

constexpr const char* kRefreshToken = "1//objective-notification-refresh";
// Ids of the indicator's menu items.
constexpr int kRefreshNow = 2;
constexpr int kNotifyItem = 5;
constexpr int kQuit = 6;

struct Notice {
    QString appName, icon, title, body;
    QVariantMap hints;
};

// What a desktop's notification server receives.
class TestNotificationServer final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    QList<Notice> notices;
  public Q_SLOTS:
    Q_SCRIPTABLE uint Notify(const QString& appName, uint, const QString& icon,
                             const QString& summary, const QString& body, const QStringList&,
                             const QVariantMap& hints, int) {
        notices << Notice{appName, icon, summary, body, hints};
        return static_cast<uint>(notices.size());
    }
};

QDBusMessage menuCall(const QString& service, const char* method, const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/MenuBar"),
                                                       QStringLiteral("com.canonical.dbusmenu"),
                                                       QString::fromLatin1(method));
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call);
}

void click(const QString& service, int id) {
    menuCall(service, "Event",
             {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
}

int toggleState(const QString& service, int id) {
    const QDBusMessage reply =
        menuCall(service, "GetProperty", {id, QStringLiteral("toggle-state")});
    return reply.arguments().value(0).value<QDBusVariant>().variant().toInt();
}

QString title(const QString& service) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/StatusNotifierItem"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call.setArguments({QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Title")});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    return reply.arguments().value(0).value<QDBusVariant>().variant().toString();
}

class ObjectiveNotificationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::getenv("AMBREL_TEST_SESSION")) GTEST_SKIP() << "needs scripts/with-test-session";
        fake.setClient("notify-test.apps", "notify-test-secret");
        fake.setRefreshToken(kRefreshToken);
        fake.setAccounts({{"accounts/pub-9", "Test publisher"}});
        fake.setCurrency("EUR");
        std::filesystem::create_directories(config.path() / "ambrel");
        std::ofstream(config.path() / "ambrel" / "client_secret.json") << fake.clientSecretJson();
        ASSERT_TRUE(keychain::save(*secrets, refreshTokenItem(), kRefreshToken).has_value());
        // Reached by today alone, whatever day of the month this runs on.
        Objectives::save(*secrets, {10, 12});
    }

    void TearDown() override {
        if (host.state() != QProcess::NotRunning) {
            host.kill();
            host.waitForFinished();
        }
        keychain::deleteItem(*secrets, refreshTokenItem());
        keychain::deleteItem(*secrets, objectivesItem());
    }

    // Today earns `today` in the fake's report.
    void setToday(double today) {
        fake.setDays({{.date = ambrel::dateKey(fake.accountToday()), .earnings = today}});
    }

    // Starts the host and waits until it shows today's `amount`, the figures of its first
    // refresh; returns its item's bus name.
    QString startHost(const char* amount) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           QString::fromStdString(config.path()));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), QString::fromStdString(cache.path()));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString(data.path()));
        environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en_US"));
        host.setProcessEnvironment(environment);
        host.start(QStringLiteral(AMBREL_WIDGET_TESTBASE), {QStringLiteral("indicator")});
        EXPECT_TRUE(host.waitForStarted());
        const QString service =
            QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(host.processId());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return title(service).contains(QString::fromUtf8(amount)); }, 20000))
            << title(service).toStdString();
        return service;
    }

    void quit(const QString& service) {
        click(service, kQuit);
        EXPECT_TRUE(host.waitForFinished(5000));
        errors += host.readAllStandardError();
    }

    fakes::FakeGoogle fake{AMBREL_WIDGET_TEST_PORT, fakes::Scheme::https};
    std::unique_ptr<SecretStore> secrets = makeSystemSecretStore();
    TempDir config, cache, data;
    QProcess host;
    QByteArray errors;
};

TEST_F(ObjectiveNotificationTest, AnnouncedOnceAcrossRestartsAndNotWhenSwitchedOff) {
    int argc = 1;
    char name[] = "objective-notification-test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString notifications = QStringLiteral("org.freedesktop.Notifications");

    // No notification service yet: one line on stderr, and nothing counts as announced.
    setToday(12.5);
    QString service = startHost("€12.50");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (errors += host.readAllStandardError()).contains("notification service"); },
        5000))
        << errors.toStdString();

    // A server appears; the next refresh announces both objectives, once each.
    TestNotificationServer server;
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
                                   QDBusConnection::ExportScriptableSlots));
    ASSERT_TRUE(bus.registerService(notifications));
    click(service, kRefreshNow);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.notices.size() == 2; }, 10000));
    EXPECT_EQ(toggleState(service, kNotifyItem), 1);  // on by default
    quit(service);
    ASSERT_EQ(server.notices.size(), 2);
    const Notice& daily = server.notices[0];
    EXPECT_EQ(daily.appName, QStringLiteral("Ambrel"));
    EXPECT_EQ(daily.icon, QStringLiteral("com.corvane.ambrel"));
    EXPECT_EQ(daily.title, QStringLiteral("Daily objective reached"));
    EXPECT_EQ(daily.body, QStringLiteral("€12.50 / €10.00"));
    EXPECT_EQ(server.notices[1].title, QStringLiteral("Monthly objective reached"));
    EXPECT_EQ(server.notices[1].body, QStringLiteral("€12.50 / €12.00"));
    EXPECT_EQ(errors.count("notification service"), 1) << errors.toStdString();

    // A restart the same day refreshes with new figures and announces nothing again. Then the
    // menu switches the notices off.
    setToday(13);
    service = startHost("€13.00");
    QTest::qWait(500);
    EXPECT_EQ(server.notices.size(), 2);
    click(service, kNotifyItem);
    EXPECT_EQ(toggleState(service, kNotifyItem), 0);
    quit(service);

    // Forgetting what was announced (as a new day would) still announces nothing while off.
    std::filesystem::remove(cache.path() / "ambrel" / "com.corvane.ambrel.widget" /
                            "notify.dailyReached");
    std::filesystem::remove(cache.path() / "ambrel" / "com.corvane.ambrel.widget" /
                            "notify.monthlyReached");
    setToday(14);
    service = startHost("€14.00");
    QTest::qWait(500);
    EXPECT_EQ(toggleState(service, kNotifyItem), 0);
    quit(service);
    EXPECT_EQ(server.notices.size(), 2);
    bus.unregisterService(notifications);
}

}  // namespace
}  // namespace ambrel::widget

#include "objective_notification_test.moc"
