#pragma once

// The application's single piece of mutable state: whether a Google account is connected, the
// snapshot on screen, whether an operation runs, and the last error's text. Confined to the
// GUI thread; blocking work runs on a worker and its result is applied back here.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/earnings/snapshot.h"
#include "core/error.h"

namespace ambrel {

// What AppState calls. Each program wires the real ones; tests pass their own.
struct AppOperations {
    std::function<Result<std::optional<std::string>>()> loadRefreshToken;
    std::function<std::int32_t()> deleteRefreshToken;         // the store's status
    std::function<Result<void>()> signIn;                     // blocking, run on a worker
    std::function<Result<AmbrelSnapshot>()> refreshSnapshot;  // blocking, run on a worker
    std::function<void()> clearEarningsCache;
    std::function<void()> reloadAllTimelines;
};

// When the stored refresh token is looked up: during construction, or on a worker so that the
// window can show first (a keyring may take a while to answer, or wait for its unlock prompt).
enum class StartLookup { now, inBackground };

class AppState final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isStarting READ isStarting NOTIFY isStartingChanged)
    Q_PROPERTY(bool isConnected READ isConnected NOTIFY isConnectedChanged)
    Q_PROPERTY(bool isWorking READ isWorking NOTIFY isWorkingChanged)
    Q_PROPERTY(QString errorMessage READ errorMessageText NOTIFY errorMessageChanged)
    Q_PROPERTY(bool hasDashboard READ hasDashboard NOTIFY dashboardChanged)

  public:
    explicit AppState(AppOperations operations, StartLookup lookup = StartLookup::now,
                      QObject* parent = nullptr);

    // True until the start-up lookup has answered; isConnected means nothing before.
    bool isStarting() const { return isStarting_; }
    bool isConnected() const { return isConnected_; }
    const std::optional<AmbrelSnapshot>& dashboard() const { return dashboard_; }
    bool hasDashboard() const { return dashboard_.has_value(); }
    bool isWorking() const { return isWorking_; }
    const std::optional<QString>& errorMessage() const { return errorMessage_; }
    QString errorMessageText() const { return errorMessage_.value_or(QString()); }

    // The longest errorMessage, in UTF-16 code units; a longer text is cut at a character
    // boundary and ends in "…".
    static constexpr qsizetype kMessageLimit = 300;

    // Sign in, then a first refresh. Never fails: a failure ends as errorMessage.
    void connect();
    // Fetches a new snapshot. Never fails: a failure ends as errorMessage, figures stay.
    void refresh();
    // Forgets the credentials and the cached data; the objectives stay.
    void signOut();

  Q_SIGNALS:
    void isStartingChanged(bool isStarting);
    void isConnectedChanged(bool isConnected);
    void dashboardChanged();
    void isWorkingChanged(bool isWorking);
    void errorMessageChanged();

  private:
    // isConnected from the lookup's answer, then the first refresh when connected.
    void start(const Result<std::optional<std::string>>& token);
    // The refresh steps; `done` runs on the GUI thread after the last of them.
    void runRefresh(std::function<void()> done);
    void setConnected(bool value);
    void setDashboard(std::optional<AmbrelSnapshot> value);
    void setWorking(bool value);
    void setErrorMessage(std::optional<QString> value);

    AppOperations operations_;
    bool isStarting_ = false;
    bool isConnected_ = false;
    std::optional<AmbrelSnapshot> dashboard_;
    bool isWorking_ = false;
    std::optional<QString> errorMessage_;
};

}  // namespace ambrel
