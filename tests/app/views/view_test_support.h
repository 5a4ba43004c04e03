#pragma once

// Shared pieces of the application's view tests: a process set up in one language, fake
// AppState operations whose blocking calls the test releases, a known snapshot, and helpers to
// find widgets, wait and save screenshots.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <clocale>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>

#include "app/app_state.h"
#include "app/dashboard_context.h"
#include "core/earnings/snapshot.h"
#include "core/platform/localization.h"
#include "support/test_artifacts.h"

// Readable QString values in assertion messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace ambrel::testing {

// Sets the process up for `language` ("en_US" or "fr_FR"), then runs the tests with a
// QApplication. gettext only translates outside the "C" locale, and glibc honours LANGUAGE
// under C.UTF-8, which every system has; Qt's own locale (times, the goal fields) follows
// LC_ALL, which it reads from the environment with its own locale tables.
inline int runGuiTests(int argc, char** argv, const char* language) {
    const std::string posix = std::string(language) + ".UTF-8";
    setenv("LANGUAGE", language, 1);
    setenv("LC_ALL", posix.c_str(), 1);
    setenv("TZ", "UTC", 1);
    tzset();
    QApplication app(argc, argv);
    std::setlocale(LC_ALL, "C.UTF-8");  // QApplication asked for the (missing) fr_FR locale
    const char* build = std::getenv("AMBREL_BUILD_DIR");
    const std::string catalogs = std::string(build != nullptr ? build : ".") + "/locale";
    initLocalization(catalogs.c_str());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Processes events until `done` holds or two seconds have passed.
inline bool waitFor(const std::function<bool()>& done) {
    QDeadlineTimer deadline(std::chrono::seconds(2));
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        // processEvents leaves deleteLater() to the event loop; closed windows should go too.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// AppOperations whose outcomes the test sets, shared with the worker threads that run them.
// While held, the blocking calls (sign-in, refresh) wait until the test releases them.
class FakeBackend {
  public:
    void setToken(std::optional<std::string> token) {
        locked([&] { script_->token = std::move(token); });
    }
    void setRefreshResult(Result<AmbrelSnapshot> result) {
        locked([&] { script_->refresh = std::move(result); });
    }
    void setSignInResult(Result<void> result) {
        locked([&] { script_->signIn = std::move(result); });
    }
    // Makes the next sign-ins and refreshes wait until release().
    void hold() {
        locked([&] { script_->signInOpen = script_->refreshOpen = false; });
    }
    void holdRefresh() {
        locked([&] { script_->refreshOpen = false; });
    }
    void release() {
        locked([&] { script_->signInOpen = script_->refreshOpen = true; });
        script_->opened.notify_all();
    }
    int reloads() const { return script_->reloads; }
    // The snapshot an earlier run stored, read at start.
    void setCachedSnapshot(std::optional<AmbrelSnapshot> snapshot) {
        locked([&] { script_->cached = std::move(snapshot); });
    }
    // The consent page each sign-in says it opened in the browser.
    void setConsentUrl(std::string url) {
        locked([&] { script_->consentUrl = std::move(url); });
    }
    int signIns() const { return script_->signIns; }

    AppOperations operations() const {
        AppOperations ops;
        ops.loadRefreshToken = [s = script_]() -> Result<std::optional<std::string>> {
            std::lock_guard lock(s->mutex);
            return s->token;
        };
        ops.deleteRefreshToken = [] { return errSecSuccess; };
        ops.signIn = [s = script_](const SignInHooks& hooks) {
            ++s->signIns;
            std::unique_lock lock(s->mutex);
            if (!s->consentUrl.empty()) hooks.consentOpened(s->consentUrl);
            s->opened.wait(lock, [&] { return s->signInOpen; });
            return s->signIn;
        };
        ops.loadCachedSnapshot = [s = script_] {
            std::lock_guard lock(s->mutex);
            return s->cached;
        };
        ops.refreshSnapshot = [s = script_] {
            std::unique_lock lock(s->mutex);
            s->opened.wait(lock, [&] { return s->refreshOpen; });
            return s->refresh;
        };
        ops.clearEarningsCache = [] {};
        ops.reloadAllTimelines = [s = script_] { ++s->reloads; };
        return ops;
    }

  private:
    struct Script {
        std::mutex mutex;
        std::condition_variable opened;
        bool signInOpen = true;
        bool refreshOpen = true;
        std::optional<std::string> token;
        Result<AmbrelSnapshot> refresh = std::unexpected(Error{OAuthError::noRefreshToken()});
        Result<void> signIn = {};
        std::optional<AmbrelSnapshot> cached;
        std::string consentUrl;
        std::atomic<int> reloads{0};
        std::atomic<int> signIns{0};
    };

    template <class F>
    void locked(F&& change) {
        std::lock_guard lock(script_->mutex);
        change();
    }

    std::shared_ptr<Script> script_ = std::make_shared<Script>();
};

// Figures whose texts the tests know: rising, falling, unchanged and previous-zero pairs.
inline AmbrelSnapshot knownSnapshot() {
    AmbrelSnapshot s;
    s.today = 6.5;
    s.yesterday = 12.34;
    s.yesterdayPrevWeek = 11.14;  // +1.20, +11 %
    s.last7 = 80;
    s.prev7 = 100;  // falling: -20.00, -20 %
    s.monthToDate = 150;
    s.monthLastYear = 0;  // no percentage
    s.perfYesterday = {15300, 0.81, 40200, 52, 0.24, 1.234};
    s.perfPrevWeek = {15300, 0.9, 38000, 60, 0.2, 1.25};
    s.balance = "€245.10";
    s.lastPaymentAmount = "€310.42";
    s.lastPaymentDateLabel = "Jan 21, 2026";
    s.currency = "EUR";
    s.updatedAt = std::chrono::sys_days{std::chrono::year{2026} / 1 / 15} + std::chrono::hours(14) +
                  std::chrono::minutes(5);
    return s;
}

// The known figures with 35 days ending 21 May 2026: 17–30 April earn 2, 1–13 May 3,
// 14–20 May 4, and 21 May, in progress, 1.5, so the month to date is 68.5. Projected:
// 67 + 4 × 11 = 111. The chart's 29 complete days (22 April to 20 May) average 85 / 29; the
// best is 14 May, the worst 22 April.
inline AmbrelSnapshot snapshotWithTrend() {
    AmbrelSnapshot s = knownSnapshot();
    s.monthToDate = 68.5;
    const std::chrono::sys_days first{std::chrono::year{2026} / 4 / 17};
    for (int i = 0; i < 35; ++i) {
        const std::chrono::year_month_day day{first + std::chrono::days{i}};
        char key[16];
        std::snprintf(key, sizeof key, "%04d-%02u-%02u", int(day.year()), unsigned(day.month()),
                      unsigned(day.day()));
        s.dailyEarnings.push_back({key, i < 14 ? 2 : i < 27 ? 3 : i < 34 ? 4 : 1.5});
    }
    return s;
}

// What a window of the application needs beside its state, with the clock ten minutes after the
// known snapshot's refresh, so its figures read as fresh.
inline DashboardContext freshContext(SecretStore& secrets) {
    return DashboardContext{secrets, [] {}, [](const QUrl&) {},
                            [] { return knownSnapshot().updatedAt + std::chrono::minutes(10); }};
}

inline QLabel* labelNamed(const QWidget& root, const QString& name) {
    return root.findChild<QLabel*>(name);
}

inline QString textOf(const QWidget& root, const QString& name) {
    const QLabel* label = labelNamed(root, name);
    return label != nullptr ? label->text() : QStringLiteral("<no label %1>").arg(name);
}

// Saves the widget as it is drawn to the test artefacts, as <name>.png, or <name>@2x.png when
// the run is scaled (QT_SCALE_FACTOR=2).
inline void saveScreenshot(QWidget& widget, const QString& name) {
    const QDir dir(QString::fromStdString(testArtifactsFolder().string()));
    // Let queued layout work land first (scroll areas show or hide their bars that way).
    for (int i = 0; i < 3; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
    const qreal scale = widget.devicePixelRatioF();
    const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
    EXPECT_TRUE(widget.grab().save(dir.filePath(name + suffix + QStringLiteral(".png"))));
}

// The visible object under `root` with `role` and `name`, found as assistive technologies find
// it: through the accessibility tree, not the widgets.
inline QAccessibleInterface* findAccessible(QAccessibleInterface* root, QAccessible::Role role,
                                            const QString& name) {
    for (int i = 0; root != nullptr && i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        if (child == nullptr || child->state().invisible) continue;
        if (child->role() == role && child->text(QAccessible::Name) == name) return child;
        if (QAccessibleInterface* found = findAccessible(child, role, name)) return found;
    }
    return nullptr;
}

inline QAccessibleInterface* findAccessible(QWidget& root, QAccessible::Role role,
                                            const QString& name) {
    return findAccessible(QAccessible::queryAccessibleInterface(&root), role, name);
}

// Presses a button the way a screen reader does, and lets the press land: Qt animates it, so
// the click comes a moment later.
inline bool pressAccessible(QAccessibleInterface* button) {
    if (button == nullptr || button->actionInterface() == nullptr) return false;
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QDeadlineTimer landed(std::chrono::milliseconds(250));
    while (!landed.hasExpired()) QApplication::processEvents(QEventLoop::AllEvents, 10);
    return true;
}

}  // namespace ambrel::testing
