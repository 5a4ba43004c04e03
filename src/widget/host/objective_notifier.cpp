#include "widget/host/objective_notifier.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>
#include <ostream>

namespace ambrel::widget {
namespace {

// Whether the call found no notification service at all, so nothing can have been shown. Any
// other end, a late answer and an error included, may follow a notice on the screen.
bool foundNoService(const QDBusError& error) {
    if (error.type() == QDBusError::ServiceUnknown || error.type() == QDBusError::Disconnected)
        return true;
    const QString name = error.name();
    // No owner, or the bus could not start the service it knows of.
    return name == QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner") ||
           name.startsWith(QStringLiteral("org.freedesktop.DBus.Error.Spawn."));
}

// The call outlived its time-out: the server may well be showing the notice.
bool answeredTooLate(const QDBusError& error) {
    return error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout ||
           error.type() == QDBusError::TimedOut;
}

}  // namespace

ObjectiveNotifier::ObjectiveNotifier(QDBusConnection bus, Defaults& widgetDefaults,
                                     std::ostream& err, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), notices_(widgetDefaults), err_(err) {}

void ObjectiveNotifier::announce(const EarningsEntry& entry) {
    if (!notices_.isEnabled()) return;
    for (const ReachedObjective& reached : reachedObjectives(entry)) {
        if (notices_.isNew(reached)) send(reached);
    }
}

void ObjectiveNotifier::send(const ReachedObjective& reached) {
    if (!bus_.isConnected()) {
        sayOnceThatNoServiceAnswers(QStringLiteral("there is no session bus"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kService), QStringLiteral("/org/freedesktop/Notifications"),
        QString::fromLatin1(kService), QStringLiteral("Notify"));
    // The application entry the notice belongs to, for servers that group or badge by it.
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), QStringLiteral("com.corvane.ambrel")}};
    call << QString::fromLatin1(kAppName) << 0u << QString::fromLatin1(kIcon)
         << QString::fromStdString(noticeTitle(reached.objective))
         << QString::fromStdString(noticeBody(reached)) << QStringList() << hints << -1;

    // Remembered before it goes: a server may show the notice and answer late, never, or with
    // an error, and it must neither come back at every refresh nor after a restart meanwhile.
    const auto previous = notices_.remember(reached);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, reached, previous](QDBusPendingCallWatcher*) {
                watcher->deleteLater();
                const QDBusPendingReply<uint> reply = *watcher;
                if (!reply.isError()) return;
                const QDBusError error = reply.error();
                if (foundNoService(error)) {
                    notices_.forget(reached, previous);
                    sayOnceThatNoServiceAnswers(error.message());
                } else if (!answeredTooLate(error)) {
                    sayOnceThatTheServiceRefused(error.message());
                }
            });
}

void ObjectiveNotifier::sayOnceThatNoServiceAnswers(const QString& why) {
    if (saidNoService_) return;
    saidNoService_ = true;
    err_ << "ambrel-widget: no desktop notification service answers (" << why.toStdString()
         << "), so reached objectives are not announced\n"
         << std::flush;
}

void ObjectiveNotifier::sayOnceThatTheServiceRefused(const QString& why) {
    if (saidRefused_) return;
    saidRefused_ = true;
    err_ << "ambrel-widget: the desktop notification service answered a notice with an error ("
         << why.toStdString() << "); it is not sent again\n"
         << std::flush;
}

}  // namespace ambrel::widget
