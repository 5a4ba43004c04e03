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
constexpr const char* kNotifications = "org.freedesktop.Notifications";

struct Notice {
    QString appName, icon, title, body;
    QVariantMap hints;
};

// What a desktop's notification server receives. It shows every notice, and answers at once,
// with an error, or not at all (as a server that answers after the caller gave up).
class TestNotificationServer final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
  public:
    enum class Answer { id, error, none };
    Answer answer = Answer::id;
    QList<Notice> notices;
  public Q_SLOTS:
    Q_SCRIPTABLE uint Notify(const QString& appName, uint, const QString& icon,
                             const QString& summary, const QString& body, const QStringList&,
                             const QVariantMap& hints, int, const QDBusMessage& message) {
        notices << Notice{appName, icon, summary, body, hints};
        if (answer != Answer::id) message.setDelayedReply(true);
        if (answer == Answer::error)
            QDBusConnection::sessionBus().send(
                message.createErrorReply(QStringLiteral("org.freedesktop.Notifications.Error.Busy"),
                                         QStringLiteral("shown, but too busy to say so")));
        return static_cast<uint>(notices.size());
    }
};

// The test's server on the session bus under the notification service's name, for as long as
// this object lives.
class NotificationService {
  public:
    explicit NotificationService(TestNotificationServer& server) {
        registered_ = bus_.registerObject(QString::fromLatin1(kPath), &server,
                                          QDBusConnection::ExportScriptableSlots) &&
                      bus_.registerService(QString::fromLatin1(kNotifications));
    }
    ~NotificationService() {
        bus_.unregisterService(QString::fromLatin1(kNotifications));
        bus_.unregisterObject(QString::fromLatin1(kPath));
    }
    NotificationService(const NotificationService&) = delete;
    NotificationService& operator=(const NotificationService&) = delete;
    bool registered() const { return registered_; }

  private:
    static constexpr const char* kPath = "/org/freedesktop/Notifications";
    QDBusConnection bus_ = QDBusConnection::sessionBus();
    bool registered_ = false;
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

    void forgetAnnounced() {
        for (const char* key : {"notify.dailyReached", "notify.monthlyReached"})
            std::filesystem::remove(cache.path() / "ambrel" / "com.corvane.ambrel.widget" / key);
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

    // No notification service yet: one line on stderr, and nothing counts as announced.
    setToday(12.5);
    QString service = startHost("€12.50");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (errors += host.readAllStandardError()).contains("notification service"); },
        5000))
        << errors.toStdString();

    // A server appears; the next refresh announces both objectives, once each.
    TestNotificationServer server;
    const NotificationService served(server);
    ASSERT_TRUE(served.registered());
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
    forgetAnnounced();
    setToday(14);
    service = startHost("€14.00");
    QTest::qWait(500);
    EXPECT_EQ(toggleState(service, kNotifyItem), 0);
    quit(service);
    EXPECT_EQ(server.notices.size(), 2);
}

// A server that shows the notices but answers with an error, or not before the host has gone,
// may well have shown them: neither the next refresh nor a restart sends them again.
TEST_F(ObjectiveNotificationTest, NoticeAnsweredLateOrWithAnErrorIsNotSentAgain) {
    int argc = 1;
    char name[] = "objective-notification-test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    TestNotificationServer server;
    const NotificationService served(server);
    ASSERT_TRUE(served.registered());

    server.answer = TestNotificationServer::Answer::error;
    setToday(12.5);
    QString service = startHost("€12.50");
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.notices.size() == 2; }, 10000));
    setToday(13);
    click(service, kRefreshNow);
    ASSERT_TRUE(QTest::qWaitFor([&] { return title(service).contains(u"€13.00"); }, 20000));
    QTest::qWait(500);
    EXPECT_EQ(server.notices.size(), 2);
    quit(service);
    EXPECT_EQ(errors.count("answered a notice with an error"), 1) << errors.toStdString();

    // A new day, and a server that never answers: the host ends with both calls unanswered.
    forgetAnnounced();
    server.answer = TestNotificationServer::Answer::none;
    service = startHost("€13.00");
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.notices.size() == 4; }, 10000));
    quit(service);
    setToday(14);
    service = startHost("€14.00");
    QTest::qWait(500);
    quit(service);
    EXPECT_EQ(server.notices.size(), 4);
}

}  // namespace
}  // namespace ambrel::widget

#include "objective_notification_test.moc"
