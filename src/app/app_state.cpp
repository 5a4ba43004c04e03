#include "app/app_state.h"

#include <QFuture>
#include <QtConcurrent/QtConcurrentRun>
#include <utility>

namespace ambrel {
namespace {

QString messageOf(const Error& error) { return QString::fromStdString(errorMessage(error)); }

bool deletionSucceeded(std::int32_t status) {
    return status == errSecSuccess || status == errSecItemNotFound;
}

}  // namespace

AppState::AppState(AppOperations operations, QObject* parent)
    : QObject(parent), operations_(std::move(operations)) {
    // A failing read counts as signed out; there is nobody to tell at this point.
    auto token = operations_.loadRefreshToken();
    isConnected_ = token.has_value() && token->has_value();
    if (isConnected_) {
        QMetaObject::invokeMethod(this, &AppState::refresh, Qt::QueuedConnection);
    }
}

void AppState::refresh() {
    runRefresh([] {});
}

void AppState::runRefresh(std::function<void()> done) {
    setWorking(true);
    setErrorMessage(std::nullopt);
    auto work = operations_.refreshSnapshot;
    QtConcurrent::run([work] { return work(); })
        .then(this, [this, done = std::move(done)](Result<AmbrelSnapshot> result) {
            if (result) {
                setDashboard(std::move(*result));
                operations_.reloadAllTimelines();
            } else {
                // The figures on screen stay; only the message changes.
                setErrorMessage(messageOf(result.error()));
            }
            setWorking(false);
            done();
        });
}

void AppState::connect() {
    setWorking(true);
    setErrorMessage(std::nullopt);
    auto work = operations_.signIn;
    QtConcurrent::run([work] { return work(); }).then(this, [this](Result<void> result) {
        if (!result) {
            setErrorMessage(messageOf(result.error()));
            setWorking(false);
            return;
        }
        setConnected(true);
        runRefresh([this] { setWorking(false); });
    });
}

void AppState::signOut() {
    // Keep the cache when the token could not be deleted: the user still holds a session
    // the store knows about, and its figures belong to it.
    if (deletionSucceeded(operations_.deleteRefreshToken())) operations_.clearEarningsCache();
    setConnected(false);
    setDashboard(std::nullopt);
    operations_.reloadAllTimelines();
}

void AppState::setConnected(bool value) {
    if (isConnected_ == value) return;
    isConnected_ = value;
    Q_EMIT isConnectedChanged(value);
}

void AppState::setDashboard(std::optional<AmbrelSnapshot> value) {
    if (!value && !dashboard_) return;
    dashboard_ = std::move(value);
    Q_EMIT dashboardChanged();
}

void AppState::setWorking(bool value) {
    if (isWorking_ == value) return;
    isWorking_ = value;
    Q_EMIT isWorkingChanged(value);
}

void AppState::setErrorMessage(std::optional<QString> value) {
    if (errorMessage_ == value) return;
    errorMessage_ = std::move(value);
    Q_EMIT errorMessageChanged();
}

}  // namespace ambrel
