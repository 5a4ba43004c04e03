// `ambrel-widget indicator` as a panel sees it, on the private session bus of
// scripts/with-test-session, against the fake Google server: it says once that no watcher runs,
// registers with the test's watcher when that appears, shows the refreshed figures in its
// title, tooltip and icon, and its menu and click do what they say.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "app/single_instance.h"
#include "core/auth/keychain.h"
#include "core/earnings/daily_report.h"
#include "core/earnings/earnings_store.h"
#include "core/earnings/formatting.h"
#include "core/platform/secret_store.h"
#include "fakes/fake_google.h"
#include "support/temp_dir.h"
#include "widget/panel/dbus_types.h"

namespace ambrel::panel {
namespace {

using fakes::FakeDay;
using testing::TempDir;

constexpr const char* kRefreshToken = "1//panel-indicator-refresh";

// Records the items that register, as a panel's watcher does.
class TestWatcher final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  public:
    QStringList items;
  public Q_SLOTS:
    Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString& service) { items << service; }
};

QDBusMessage callItem(const QString& service, const char* path, const char* interface,
                      const char* method, const QVariantList& arguments) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QString::fromLatin1(path),
                                       QString::fromLatin1(interface), QString::fromLatin1(method));
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call);
}

QVariant itemProperty(const QString& service, const char* name) {
    const QDBusMessage reply =
        callItem(service, "/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get",
                 {QStringLiteral("org.kde.StatusNotifierItem"), QString::fromLatin1(name)});
    return reply.arguments().value(0).value<QDBusVariant>().variant();
}

QDBusMessage menuEvent(const QString& service, int id) {
    return callItem(service, "/MenuBar", "com.canonical.dbusmenu", "Event",
                    {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
}

int toggleState(const QString& service, int id) {
    const QDBusMessage reply = callItem(service, "/MenuBar", "com.canonical.dbusmenu",
                                        "GetProperty", {id, QStringLiteral("toggle-state")});
    return reply.arguments().value(0).value<QDBusVariant>().variant().toInt();
}

int tokenRequests(const fakes::FakeGoogle& fake) {
    int count = 0;
    for (const auto& request : fake.requests()) count += request.path == "/token" ? 1 : 0;
    return count;
}

TEST(PanelIndicator, RegistersLateShowsTheFiguresAndAnswersItsMenu) {
    if (!std::getenv("AMBREL_TEST_SESSION")) GTEST_SKIP() << "needs scripts/with-test-session";
    int argc = 1;
    char name[] = "panel-indicator-test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    registerPanelDBusTypes();
    QDBusConnection bus = QDBusConnection::sessionBus();

    // Google with known figures: today 4.25, yesterday 7.50; goals 25 a day and 600 a month.
    fakes::FakeGoogle fake(AMBREL_WIDGET_TEST_PORT, fakes::Scheme::https);
    fake.setAccounts({{"accounts/pub-7", "Test publisher"}});
    const auto today = fake.accountToday();
    std::vector<FakeDay> days = {
        {.date = ambrel::dateKey(today), .earnings = 4.25},
        {.date = ambrel::dateKey(today - std::chrono::days(1)), .earnings = 7.5}};
    double monthToDate = 0;
    for (const FakeDay& day : days)
        if (day.date.substr(0, 7) == ambrel::dateKey(today).substr(0, 7))
            monthToDate += day.earnings;
    fake.setClient("panel-test.apps", "panel-test-secret");
    fake.setRefreshToken(kRefreshToken);
    fake.setCurrency("EUR");
    fake.setDays(days);
    fake.setPayments({{.name = "accounts/pub-7/payments/unpaid", .amount = "€1,234.56"}});
    TempDir config, cache, data;
    std::filesystem::create_directories(config.path() / "ambrel");
    std::ofstream(config.path() / "ambrel" / "client_secret.json") << fake.clientSecretJson();
    const auto secrets = makeSystemSecretStore();
    ASSERT_TRUE(keychain::save(*secrets, refreshTokenItem(), kRefreshToken).has_value());
    Objectives::save(*secrets, {25, 600});

    QProcess indicator;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(config.path()));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), QString::fromStdString(cache.path()));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString(data.path()));
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en_US"));
    indicator.setProcessEnvironment(environment);
    indicator.start(QStringLiteral(AMBREL_WIDGET_TESTBASE), {QStringLiteral("indicator")});
    ASSERT_TRUE(indicator.waitForStarted());
    const QString service =
        QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(indicator.processId());

    // No watcher yet: one line says so. Then a watcher appears, and the item registers with it.
    QByteArray errors;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return (errors += indicator.readAllStandardError()).contains("StatusNotifierWatcher");
        },
        10000));
    TestWatcher watcher;
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                   QDBusConnection::ExportScriptableSlots));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.items.isEmpty(); }, 5000));
    EXPECT_EQ(watcher.items, QStringList{service});

    // The refreshed figures, in words, in the title and the tooltip.
    const QString todayLine = QStringLiteral("Today: €4.25 (17% of the daily objective)");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return itemProperty(service, "Title").toString().contains(todayLine); }, 20000))
        << itemProperty(service, "Title").toString().toStdString();
    EXPECT_EQ(itemProperty(service, "Title").toString(),
              QStringLiteral("AdSense earnings · ") + todayLine);
    const auto toolTip =
        qdbus_cast<DBusToolTip>(itemProperty(service, "ToolTip").value<QDBusArgument>());
    EXPECT_EQ(toolTip.title, QStringLiteral("AdSense earnings"));
    const QStringList lines = toolTip.description.split(u'\n');
    ASSERT_EQ(lines.size(), 5) << toolTip.description.toStdString();
    EXPECT_EQ(lines[0], todayLine);
    EXPECT_EQ(lines[1], QStringLiteral("Yesterday: €7.50"));
    EXPECT_EQ(lines[2], QStringLiteral("This month: %1 (%2 of the monthly objective)")
                            .arg(QString::fromStdString(formatCurrency("EUR", monthToDate)),
                                 QString::fromStdString(formatPercent(0, monthToDate / 6))));
    EXPECT_EQ(lines[3], QStringLiteral("Balance: €1,234.56"));
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("Updated at "))) << lines[4].toStdString();
    EXPECT_EQ(itemProperty(service, "Status").toString(), QStringLiteral("Active"));
    const auto pixmaps =
        qdbus_cast<DBusImageList>(itemProperty(service, "IconPixmap").value<QDBusArgument>());
    QList<int> sizes;
    for (const DBusImage& image : pixmaps) {
        sizes << image.width;
        EXPECT_EQ(image.height, image.width);
        EXPECT_EQ(image.pixels.size(), image.width * image.height * 4);
    }
    EXPECT_EQ(sizes, (QList<int>{16, 22, 24, 32, 48}));

    // The menu: six entries, "Start at login" unchecked, the notices on.
    const QDBusMessage layoutReply = callItem(service, "/MenuBar", "com.canonical.dbusmenu",
                                              "GetLayout", {0, -1, QStringList()});
    const auto layout =
        qdbus_cast<DBusMenuLayoutItem>(layoutReply.arguments().value(1).value<QDBusArgument>());
    QStringList entries;
    for (const DBusMenuLayoutItem& item : layout.children) {
        const QVariantMap& p = item.properties;
        entries << (p.value(QStringLiteral("type")) == QStringLiteral("separator")
                        ? QStringLiteral("-")
                        : p.value(QStringLiteral("label")).toString() +
                              (p.contains(QStringLiteral("toggle-type"))
                                   ? QStringLiteral(" [%1]").arg(
                                         p.value(QStringLiteral("toggle-state")).toInt())
                                   : QString()));
    }
    EXPECT_EQ(entries, (QStringList{QStringLiteral("Open Ambrel"), QStringLiteral("Refresh now"),
                                    QStringLiteral("-"), QStringLiteral("Start at login [0]"),
                                    QStringLiteral("Notify when objectives are reached [1]"),
                                    QStringLiteral("Quit")}));

    // "Refresh now" starts exactly one refresh.
    fake.clearRequests();
    EXPECT_EQ(menuEvent(service, 2).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tokenRequests(fake) > 0; }, 10000));
    QTest::qWait(1000);
    EXPECT_EQ(tokenRequests(fake), 1);

    // "Start at login" writes the autostart entry for what runs now, then removes it.
    const QString autostart = QString::fromStdString(
        (config.path() / "autostart" / "com.corvane.ambrel.widget.desktop").string());
    menuEvent(service, 4);
    QFile entry(autostart);
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entry.readAll().contains("\nExec=" AMBREL_WIDGET_TESTBASE " indicator\n"));
    EXPECT_EQ(toggleState(service, 4), 1);
    menuEvent(service, 4);
    EXPECT_FALSE(QFile::exists(autostart));
    EXPECT_EQ(toggleState(service, 4), 0);

    // A click on the item reaches the running application over the bus.
    SingleInstance application;
    ASSERT_EQ(application.claim(), SingleInstance::Claim::first);
    QSignalSpy activated(&application, &SingleInstance::activated);
    callItem(service, "/StatusNotifierItem", "org.kde.StatusNotifierItem", "Activate", {0, 0});
    EXPECT_TRUE(activated.wait(5000));

    // "Quit" ends the host.
    menuEvent(service, 6);
    EXPECT_TRUE(indicator.waitForFinished(5000));
    EXPECT_EQ(indicator.exitCode(), 0);
    errors += indicator.readAllStandardError();
    EXPECT_EQ(errors.count('\n'), 1) << errors.toStdString();

    keychain::deleteItem(*secrets, refreshTokenItem());
    keychain::deleteItem(*secrets, objectivesItem());
}

}  // namespace
}  // namespace ambrel::panel

#include "panel_indicator_test.moc"
