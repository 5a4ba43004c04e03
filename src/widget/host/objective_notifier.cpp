#include "widget/host/objective_notifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>
#include <ostream>

namespace ambrel::widget {
namespace {

std::string waitingKey(const ReachedObjective& reached) {
    return (reached.objective == Objective::daily ? "d" : "m") + reached.period;
}

}  // namespace

ObjectiveNotifier::ObjectiveNotifier(QDBusConnection bus, Defaults& widgetDefaults,
                                     std::ostream& err, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), notices_(widgetDefaults), err_(err) {}

void ObjectiveNotifier::announce(const EarningsEntry& entry) {
    if (!notices_.isEnabled()) return;
    for (const ReachedObjective& reached : reachedObjectives(entry)) {
        if (notices_.isNew(reached) && !waiting_.contains(waitingKey(reached))) send(reached);
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

    const std::string key = waitingKey(reached);
    waiting_.insert(key);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, key, reached](QDBusPendingCallWatcher*) {
                watcher->deleteLater();
                waiting_.erase(key);
                const QDBusPendingReply<uint> reply = *watcher;
                if (reply.isError()) {
                    sayOnceThatNoServiceAnswers(reply.error().message());
                    return;
                }
                notices_.remember(reached);
            });
}

void ObjectiveNotifier::sayOnceThatNoServiceAnswers(const QString& why) {
    if (saidNoService_) return;
    saidNoService_ = true;
    err_ << "ambrel-widget: no desktop notification service answers (" << why.toStdString()
         << "), so reached objectives are not announced\n"
         << std::flush;
}

}  // namespace ambrel::widget
