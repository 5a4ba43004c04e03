#pragma once

// The application's single piece of mutable state: whether a Google account is connected, the
// snapshot on screen, whether an operation runs, and the last failure in words. Confined to the
// GUI thread; blocking work runs on a worker and its result is applied back here.

#include <QObject>
#include <QString>
#include <cstdint>
#include <expected>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/auth/client_file.h"
#include "core/auth/sign_in_cancel.h"
#include "core/earnings/snapshot.h"
#include "core/error.h"

namespace ambrel {

// What a sign-in is given: where to say that the consent page was opened (called on the
// worker, with its address), and the switch that ends the wait for the browser.
struct SignInHooks {
    std::function<void(const std::string& consentUrl)> consentOpened;
    std::shared_ptr<const SignInCancel> cancel;
};

// What AppState calls. Each program wires the real ones; tests pass their own.
struct AppOperations {
    std::function<Result<std::optional<std::string>>()> loadRefreshToken;
    std::function<std::int32_t()> deleteRefreshToken;         // the store's status
    std::function<Result<void>(const SignInHooks&)> signIn;   // blocking, run on a worker
    std::function<Result<AmbrelSnapshot>()> refreshSnapshot;  // blocking, run on a worker
    std::function<void()> clearEarningsCache;
    std::function<void()> reloadAllTimelines;
    // The snapshot the last refresh of an earlier run stored; read with the stored sign-in.
    std::function<std::optional<AmbrelSnapshot>()> loadCachedSnapshot = [] {
        return std::optional<AmbrelSnapshot>{};
    };
    // Whether a usable OAuth client file is in place, or why not. Callers that never deal in
    // client files keep the default: one is in place.
    std::function<Result<void>()> checkClientFile = [] { return Result<void>{}; };
    // Saves a chosen file as the user's own client file (core/auth/client_file.h).
    std::function<std::expected<ClientFileInstall, std::string>(const std::filesystem::path& chosen,
                                                                bool replaceExisting)>
        installClientFile;
};

// When the stored refresh token (and the cached snapshot) are looked up: during construction,
// or on a worker so that the window can show first (a keyring may take a while to answer, or
// wait for its unlock prompt).
enum class StartLookup { now, inBackground };

class AppState final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isStarting READ isStarting NOTIFY isStartingChanged)
    Q_PROPERTY(bool isConnected READ isConnected NOTIFY isConnectedChanged)
    Q_PROPERTY(bool isWorking READ isWorking NOTIFY isWorkingChanged)
    Q_PROPERTY(QString errorMessage READ errorMessageText NOTIFY errorMessageChanged)
    Q_PROPERTY(bool hasDashboard READ hasDashboard NOTIFY dashboardChanged)
    Q_PROPERTY(bool needsClientFile READ needsClientFile NOTIFY needsClientFileChanged)
    Q_PROPERTY(bool isWaitingForBrowser READ isWaitingForBrowser NOTIFY waitingForBrowserChanged)
    Q_PROPERTY(bool needsSignInAgain READ needsSignInAgain NOTIFY errorMessageChanged)

  public:
    explicit AppState(AppOperations operations, StartLookup lookup = StartLookup::now,
                      QObject* parent = nullptr);

    // True until the start-up lookup has answered; isConnected means nothing before.
    bool isStarting() const { return isStarting_; }
    bool isConnected() const { return isConnected_; }
    // The figures on screen: the cached ones from the start until a refresh brings new ones.
    const std::optional<AmbrelSnapshot>& dashboard() const { return dashboard_; }
    bool hasDashboard() const { return dashboard_.has_value(); }
    bool isWorking() const { return isWorking_; }
    // The last failure in words. A refresh's failure stays until a refresh succeeds, so the
    // banner that shows it does not blink away while the user tries again.
    const std::optional<QString>& errorMessage() const { return errorMessage_; }
    QString errorMessageText() const { return errorMessage_.value_or(QString()); }
    // A page that mends the last failure (where the AdSense API is enabled); empty when none.
    const QString& errorLink() const { return errorLink_; }
    // Google ended the stored sign-in (it expired or was revoked): only a new sign-in brings
    // figures again. The figures on screen stay until it does.
    bool needsSignInAgain() const { return needsSignInAgain_; }
    // No usable OAuth client file is in place, so a sign-in cannot start: told at start and
    // after a failed sign-in, until a chosen file is saved.
    bool needsClientFile() const { return needsClientFile_; }
    // A sign-in waits for the user to finish in the browser; consentUrl is the page it opened
    // (empty until the browser was asked to open it).
    bool isWaitingForBrowser() const { return isWaitingForBrowser_; }
    const QString& consentUrl() const { return consentUrl_; }

    // The longest errorMessage, in UTF-16 code units; a longer text is cut at a character
    // boundary and ends in "…".
    static constexpr qsizetype kMessageLimit = 300;

    // Sign in, then a first refresh. Never fails: a failure ends as errorMessage. Also the way
    // back after Google ended a sign-in; the figures stay meanwhile.
    void connect();
    // Ends a sign-in that waits for the browser at once; nothing is reported.
    void cancelSignIn();
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
    // Also when errorLink or needsSignInAgain change: they belong to the message.
    void errorMessageChanged();
    void needsClientFileChanged(bool needsClientFile);
    // Also when consentUrl changes.
    void waitingForBrowserChanged(bool waiting);

  private:
    struct StartAnswer {
        Result<std::optional<std::string>> token;
        std::optional<AmbrelSnapshot> cached;
    };
    static StartAnswer lookUp(const AppOperations& operations);
    // isConnected and the cached figures from the lookup, then the first refresh.
    void start(StartAnswer answer);
    // The refresh steps; `done` runs on the GUI thread after the last of them.
    void runRefresh(std::function<void()> done);
    void finishSignIn(int run, const Result<void>& result);
    void consentOpened(int run, const QString& url);
    void setConnected(bool value);
    void setDashboard(std::optional<AmbrelSnapshot> value);
    void setWorking(bool value);
    void setErrorMessage(std::optional<QString> value);
    // The message, link and sign-in state of a failed refresh; none after a successful one.
    void setRefreshFailure(const std::optional<Error>& failure);
    void setFailure(std::optional<QString> message, const QString& link, bool needsSignInAgain);
    void setNeedsClientFile(bool value);
    void setWaitingForBrowser(bool waiting, const QString& url = {});
    // Asks again whether a usable client file is in place; the reason it is not, if any.
    std::optional<Error> checkClientFile();

    AppOperations operations_;
    bool isStarting_ = false;
    bool isConnected_ = false;
    std::optional<AmbrelSnapshot> dashboard_;
    bool isWorking_ = false;
    std::optional<QString> errorMessage_;
    QString errorLink_;
    bool needsSignInAgain_ = false;
    bool needsClientFile_ = false;
    bool isWaitingForBrowser_ = false;
    QString consentUrl_;
    // Each sign-in is numbered, so a cancelled one's late answer is known for what it is.
    int signInRun_ = 0;
    int cancelledRun_ = 0;
    std::shared_ptr<SignInCancel> cancel_;
};

}  // namespace ambrel
