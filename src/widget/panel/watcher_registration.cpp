#include "widget/panel/watcher_registration.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <ostream>
#include <utility>

namespace ambrel::panel {

WatcherRegistration::WatcherRegistration(QDBusConnection bus, QString itemService,
                                         std::ostream& err, QObject* parent)
    : QObject(parent),
      bus_(std::move(bus)),
      itemService_(std::move(itemService)),
      err_(err),
      watcher_(
          QString::fromLatin1(kWatcherService), bus_,
          QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration) {
    noWatcher_.setSingleShot(true);
    noWatcher_.setInterval(kWatcherWait);
    connect(&noWatcher_, &QTimer::timeout, this, [this] {
        if (!registered_) {
            warnOnce(
                "no StatusNotifierWatcher on the session bus, so no panel shows the "
                "indicator; it will appear when one starts");
        }
    });
    connect(&watcher_, &QDBusServiceWatcher::serviceRegistered, this,
            &WatcherRegistration::registerItem);
    connect(&watcher_, &QDBusServiceWatcher::serviceUnregistered, this,
            [this] { registered_ = false; });
}

void WatcherRegistration::start() {
    noWatcher_.start();
    if (bus_.interface()->isServiceRegistered(QString::fromLatin1(kWatcherService))) registerItem();
}

void WatcherRegistration::registerItem() {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kWatcherService), QString::fromLatin1(kWatcherPath),
        QString::fromLatin1(kWatcherService), QStringLiteral("RegisterStatusNotifierItem"));
    call << itemService_;
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<> reply = *finished;
                if (reply.isError()) {
                    warnOnce("the StatusNotifierWatcher refused the indicator: " +
                             reply.error().message().toStdString());
                    return;
                }
                registered_ = true;
                noWatcher_.stop();
                Q_EMIT registered();
            });
}

void WatcherRegistration::warnOnce(const std::string& message) {
    if (warned_) return;
    warned_ = true;
    err_ << "ambrel-widget: " << message << '\n' << std::flush;
}

}  // namespace ambrel::panel
