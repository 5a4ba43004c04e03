#include "app/app_state.h"

#include <QCoreApplication>
#include <QFuture>
#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>
#include <type_traits>
#include <utility>

#include "app/failure_texts.h"

namespace ambrel {
namespace {

// A message may carry a whole answer body (an HTML error page, say) or whatever a local
// process put in the redirect: its start says what went wrong, the rest would only push the
// view apart.
QString limitedMessage(QString text) {
    if (text.size() <= AppState::kMessageLimit) return text;
    qsizetype kept = AppState::kMessageLimit - 1;
    if (text.at(kept - 1).isHighSurrogate()) --kept;  // never half a character
    return text.left(kept) + QChar(0x2026);
}

QString limitedMessage(const std::string& text) {
    return limitedMessage(QString::fromStdString(text));
}

bool deletionSucceeded(std::int32_t status) {
    return status == errSecSuccess || status == errSecItemNotFound;
}

// Runs blocking `work` on the thread pool and hands its result to `apply` on the context's
// (GUI) thread, always through the event loop, so an operation never ends before its caller
// saw it begin. The watcher belongs to the context: when the context goes first (a sign-in
// waits for the browser for minutes), the work still finishes on its worker and its result is
// dropped, rather than being delivered to an object that is gone.
template <class Work, class Apply>
void runOnWorker(QObject* context, Work work, Apply apply) {
    using Output = std::invoke_result_t<Work>;
    auto* watcher = new QFutureWatcher<Output>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context,
                     [watcher, apply = std::move(apply)]() mutable {
                         watcher->deleteLater();
                         apply(watcher->future().takeResult());
                     });
    watcher->setFuture(QtConcurrent::run(std::move(work)));
}

}  // namespace

AppState::AppState(AppOperations operations, StartLookup lookup, QObject* parent)
    : QObject(parent), operations_(std::move(operations)) {
    if (lookup == StartLookup::now) {
        start(lookUp(operations_));
        return;
    }
    isStarting_ = true;
    runOnWorker(
        this, [operations = operations_] { return lookUp(operations); },
        [this](StartAnswer answer) { start(std::move(answer)); });
}

AppState::StartAnswer AppState::lookUp(const AppOperations& operations) {
    StartAnswer answer{operations.loadRefreshToken(), std::nullopt};
    // Only a signed-in start shows figures; decoding them costs nothing otherwise.
    if (answer.token && answer.token->has_value()) answer.cached = operations.loadCachedSnapshot();
    return answer;
}

void AppState::start(StartAnswer answer) {
    // A failing read counts as signed out; there is nobody to tell at this point.
    setConnected(answer.token.has_value() && answer.token->has_value());
    if (isConnected_) {
        // What the last refresh stored, shown at once with its time while a new one runs.
        if (answer.cached) setDashboard(std::move(answer.cached));
    } else if (auto missing = checkClientFile()) {
        // Say at once what the sign-in would say, so a first run shows what is missing before
        // the user presses a button that can only fail. A file that is simply not there yet is
        // the first step of the set-up, not a failure.
        if (!std::holds_alternative<OAuthError>(*missing) ||
            std::get<OAuthError>(*missing).kind != OAuthError::Kind::missingConfig)
            setErrorMessage(limitedMessage(signInFailureText(*missing)));
    }
    // Only now, after isConnected and the client-file check: a view that waited for the answer
    // shows the right content at once, never the sign-in view on its way to the dashboard.
    if (isStarting_) {
        isStarting_ = false;
        Q_EMIT isStartingChanged(false);
    }
    if (isConnected_) QMetaObject::invokeMethod(this, &AppState::refresh, Qt::QueuedConnection);
}

std::optional<Error> AppState::checkClientFile() {
    auto found = operations_.checkClientFile();
    setNeedsClientFile(!found.has_value());
    if (found) return std::nullopt;
    return found.error();
}

AppState::ClientFileChoice AppState::chooseClientFile(const std::filesystem::path& file,
                                                      bool replaceExisting) {
    if (!operations_.installClientFile) return ClientFileChoice::rejected;
    auto installed = operations_.installClientFile(file, replaceExisting);
    if (!installed) {
        setErrorMessage(limitedMessage(installed.error()));
        return ClientFileChoice::rejected;
    }
    if (*installed == ClientFileInstall::existingKept) return ClientFileChoice::needsConfirmation;
    // Asked again rather than assumed, so the view follows what a sign-in will find.
    if (auto missing = checkClientFile()) {
        setErrorMessage(limitedMessage(signInFailureText(*missing)));
        return ClientFileChoice::rejected;
    }
    setErrorMessage(std::nullopt);
    return ClientFileChoice::saved;
}

void AppState::refresh() {
    runRefresh([] {});
}

void AppState::runRefresh(std::function<void()> done) {
    setWorking(true);
    runOnWorker(this, operations_.refreshSnapshot,
                [this, done = std::move(done)](Result<AmbrelSnapshot> result) {
                    if (result) {
                        setDashboard(std::move(*result));
                        setRefreshFailure(std::nullopt);
                        operations_.reloadAllTimelines();
                    } else {
                        // The figures on screen stay; only the message changes.
                        setRefreshFailure(result.error());
                    }
                    setWorking(false);
                    done();
                });
}

void AppState::connect() {
    if (isWaitingForBrowser_) return;  // one browser sign-in at a time
    const int run = ++signInRun_;
    cancel_ = std::make_shared<SignInCancel>();
    setWorking(true);
    // Signed in already (Google ended the sign-in), the reason stays beside the wait.
    if (!isConnected_) setErrorMessage(std::nullopt);
    setWaitingForBrowser(true);
    // Called on the worker: the address travels to the GUI thread through the application
    // object, which outlives every state; the state itself may be gone by then.
    QPointer<AppState> self(this);
    SignInHooks hooks{[self, run](const std::string& url) {
                          QMetaObject::invokeMethod(
                              QCoreApplication::instance(),
                              [self, run, text = QString::fromStdString(url)] {
                                  if (self) self->consentOpened(run, text);
                              },
                              Qt::QueuedConnection);
                      },
                      cancel_};
    runOnWorker(
        this, [signIn = operations_.signIn, hooks] { return signIn(hooks); },
        [this, run](Result<void> result) { finishSignIn(run, result); });
}

void AppState::consentOpened(int run, const QString& url) {
    if (run == signInRun_ && isWaitingForBrowser_) setWaitingForBrowser(true, url);
}

void AppState::cancelSignIn() {
    if (!isWaitingForBrowser_) return;
    cancelledRun_ = signInRun_;
    cancel_->cancel();
    setWaitingForBrowser(false);
    setWorking(false);
}

void AppState::finishSignIn(int run, const Result<void>& result) {
    const bool cancelled = run == cancelledRun_;
    if (run == signInRun_) setWaitingForBrowser(false);
    // A code that beat the cancel to it signed the user in after all: that counts. Any other
    // end of a cancelled sign-in was asked for, and is not news.
    if (!result && cancelled) return;
    if (!result) {
        // The file may have gone (or come) since the start.
        checkClientFile();
        // After an ended sign-in the way back stays offered until a new one succeeds.
        setFailure(limitedMessage(signInFailureText(result.error())), {},
                   needsSignInAgain_ && isConnected_);
        setWorking(false);
        return;
    }
    setConnected(true);
    setWorking(true);
    runRefresh([this] { setWorking(false); });
}

void AppState::signOut() {
    cancelSignIn();
    // Keep the cache when the token could not be deleted: the user still holds a session
    // the store knows about, and its figures belong to it.
    if (deletionSucceeded(operations_.deleteRefreshToken())) operations_.clearEarningsCache();
    setConnected(false);
    setDashboard(std::nullopt);
    setRefreshFailure(std::nullopt);
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

void AppState::setNeedsClientFile(bool value) {
    if (needsClientFile_ == value) return;
    needsClientFile_ = value;
    Q_EMIT needsClientFileChanged(value);
}

void AppState::setWorking(bool value) {
    if (isWorking_ == value) return;
    isWorking_ = value;
    Q_EMIT isWorkingChanged(value);
}

void AppState::setWaitingForBrowser(bool waiting, const QString& url) {
    if (isWaitingForBrowser_ == waiting && consentUrl_ == url) return;
    isWaitingForBrowser_ = waiting;
    consentUrl_ = url;
    Q_EMIT waitingForBrowserChanged(waiting);
}

void AppState::setErrorMessage(std::optional<QString> value) {
    setFailure(std::move(value), {}, false);
}

void AppState::setRefreshFailure(const std::optional<Error>& failure) {
    if (!failure) {
        setErrorMessage(std::nullopt);
        return;
    }
    const auto link = ambrel::errorLink(*failure);
    setFailure(limitedMessage(refreshFailureText(*failure)),
               link ? QString::fromStdString(*link) : QString(), signInEnded(*failure));
}

void AppState::setFailure(std::optional<QString> message, const QString& link,
                          bool needsSignInAgain) {
    if (errorMessage_ == message && errorLink_ == link && needsSignInAgain_ == needsSignInAgain)
        return;
    errorMessage_ = std::move(message);
    errorLink_ = link;
    needsSignInAgain_ = needsSignInAgain;
    Q_EMIT errorMessageChanged();
}

}  // namespace ambrel
