#include "app/refresh_schedule.h"

#include <QNetworkInformation>

#include "app/app_state.h"
#include "core/earnings/updated_at_text.h"

namespace ambrel {

RefreshSchedule::RefreshSchedule(AppState& state, QObject* parent)
    : QObject(parent), state_(state) {
    timer_.setSingleShot(true);
    timer_.setInterval(std::chrono::duration_cast<std::chrono::milliseconds>(kRefreshInterval));
    connect(&timer_, &QTimer::timeout, this, &RefreshSchedule::refreshNow);
    // Counted from the end of every refresh, whoever started it, so a refresh by hand also
    // puts the next one off.
    connect(&state_, &AppState::isWorkingChanged, this, &RefreshSchedule::restartTimer);
    connect(&state_, &AppState::isConnectedChanged, this, &RefreshSchedule::restartTimer);
    restartTimer();
}

void RefreshSchedule::watchSystem(const QDBusConnection& bus, const QString& service) {
    QDBusConnection(bus).connect(service, QStringLiteral("/org/freedesktop/login1"),
                                 QStringLiteral("org.freedesktop.login1.Manager"),
                                 QStringLiteral("PrepareForSleep"), this,
                                 SLOT(preparingForSleep(bool)));
    if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return;
    QNetworkInformation* network = QNetworkInformation::instance();
    if (network == nullptr) return;
    online_ = network->reachability() == QNetworkInformation::Reachability::Online;
    connect(network, &QNetworkInformation::reachabilityChanged, this,
            [this](QNetworkInformation::Reachability reachability) {
                networkReachable(reachability == QNetworkInformation::Reachability::Online);
            });
}

void RefreshSchedule::preparingForSleep(bool sleeping) {
    if (!sleeping) refreshNow();
}

void RefreshSchedule::networkReachable(bool online) {
    const bool cameBack = online && !online_;
    online_ = online;
    if (cameBack) refreshNow();
}

void RefreshSchedule::refreshNow() {
    if (!state_.isConnected() || state_.isStarting() || state_.isWorking() ||
        state_.needsSignInAgain())
        return;
    state_.refresh();
}

void RefreshSchedule::restartTimer() {
    if (state_.isConnected() && !state_.isWorking()) {
        timer_.start();
    } else {
        timer_.stop();
    }
}

}  // namespace ambrel
