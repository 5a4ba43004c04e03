#include "app/app_state.h"

#include <QFuture>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <type_traits>
#include <utility>

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

QString messageOf(const Error& error) {
    return limitedMessage(QString::fromStdString(errorMessage(error)));
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
        start(operations_.loadRefreshToken());
        return;
    }
    isStarting_ = true;
    runOnWorker(this, operations_.loadRefreshToken,
                [this](Result<std::optional<std::string>> token) { start(token); });
}

void AppState::start(const Result<std::optional<std::string>>& token) {
    // A failing read counts as signed out; there is nobody to tell at this point.
    setConnected(token.has_value() && token->has_value());
    if (!isConnected_) {
        // Say at once what the sign-in would say, so a first run shows what is missing before
        // the user presses a button that can only fail.
        if (auto missing = checkClientFile()) setErrorMessage(messageOf(*missing));
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
        setErrorMessage(limitedMessage(QString::fromStdString(installed.error())));
        return ClientFileChoice::rejected;
    }
    if (*installed == ClientFileInstall::existingKept) return ClientFileChoice::needsConfirmation;
    // Asked again rather than assumed, so the view follows what a sign-in will find.
    if (auto missing = checkClientFile()) {
        setErrorMessage(messageOf(*missing));
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
    setErrorMessage(std::nullopt);
    runOnWorker(this, operations_.refreshSnapshot,
                [this, done = std::move(done)](Result<AmbrelSnapshot> result) {
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
    runOnWorker(this, operations_.signIn, [this](Result<void> result) {
        if (!result) {
            // The file may have gone (or come) since the start.
            checkClientFile();
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

void AppState::setErrorMessage(std::optional<QString> value) {
    if (errorMessage_ == value) return;
    errorMessage_ = std::move(value);
    Q_EMIT errorMessageChanged();
}

}  // namespace ambrel
