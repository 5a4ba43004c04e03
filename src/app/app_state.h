#pragma once

// The application's single piece of mutable state: whether a Google account is connected, the
// snapshot on screen, whether an operation runs, and the last error's text. Confined to the
// GUI thread; blocking work runs on a worker and its result is applied back here.

#include <QObject>
#include <QString>
#include <cstdint>
#include <expected>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/auth/client_file.h"
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
    // Whether a usable OAuth client file is in place, or why not. Callers that never deal in
    // client files keep the default: one is in place.
    std::function<Result<void>()> checkClientFile = [] { return Result<void>{}; };
    // Saves a chosen file as the user's own client file (core/auth/client_file.h).
    std::function<std::expected<ClientFileInstall, std::string>(const std::filesystem::path& chosen,
                                                                bool replaceExisting)>
        installClientFile;
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
    Q_PROPERTY(bool needsClientFile READ needsClientFile NOTIFY needsClientFileChanged)

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
    // No usable OAuth client file is in place, so a sign-in cannot start: told at start (with
    // its reason in errorMessage) and after a failed sign-in, until a chosen file is saved.
    bool needsClientFile() const { return needsClientFile_; }

    // The longest errorMessage, in UTF-16 code units; a longer text is cut at a character
    // boundary and ends in "…".
    static constexpr qsizetype kMessageLimit = 300;

    // Sign in, then a first refresh. Never fails: a failure ends as errorMessage.
    void connect();
    // Fetches a new snapshot. Never fails: a failure ends as errorMessage, figures stay.
    void refresh();
    // Forgets the credentials and the cached data; the objectives stay.
    void signOut();

    enum class ClientFileChoice {
        saved,              // the file is now the user's client file; errorMessage is cleared
        needsConfirmation,  // a client file exists already: ask, then call again to replace it
        rejected,           // nothing written; errorMessage says why
    };
    // Saves `file` as the user's own client file, replacing one already there only with
    // `replaceExisting`.
    ClientFileChoice chooseClientFile(const std::filesystem::path& file, bool replaceExisting);

  Q_SIGNALS:
    void isStartingChanged(bool isStarting);
    void isConnectedChanged(bool isConnected);
    void dashboardChanged();
    void isWorkingChanged(bool isWorking);
    void errorMessageChanged();
    void needsClientFileChanged(bool needsClientFile);

  private:
    // isConnected from the lookup's answer, then the first refresh when connected.
    void start(const Result<std::optional<std::string>>& token);
    // The refresh steps; `done` runs on the GUI thread after the last of them.
    void runRefresh(std::function<void()> done);
    void setConnected(bool value);
    void setDashboard(std::optional<AmbrelSnapshot> value);
    void setWorking(bool value);
    void setErrorMessage(std::optional<QString> value);
    void setNeedsClientFile(bool value);
    // Asks again whether a usable client file is in place; the reason it is not, if any.
    std::optional<Error> checkClientFile();

    AppOperations operations_;
    bool isStarting_ = false;
    bool isConnected_ = false;
    std::optional<AmbrelSnapshot> dashboard_;
    bool isWorking_ = false;
    std::optional<QString> errorMessage_;
    bool needsClientFile_ = false;
};

}  // namespace ambrel
