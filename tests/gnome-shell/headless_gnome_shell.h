#pragma once

// A headless GNOME Shell for a test, on the session bus of tests/gnome-shell/in-shell-session:
// one virtual monitor, drawn by the CPU, the given extensions enabled before it starts, and
// org.gnome.Shell.Eval answering through the helper extension (tests/gnome-shell/helper),
// whose globalThis.ambrelTest the tests call. Stopped with SIGTERM, which it obeys at once.

#include <QImage>
#include <QJsonValue>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <expected>
#include <filesystem>
#include <memory>

namespace ambrel::testing {

class HeadlessGnomeShell {
  public:
    struct Setup {
        QProcessEnvironment environment;  // also that of every program the shell starts
        QSize monitor;
        QStringList extensions;         // the uuids enabled before the start
        std::filesystem::path log;      // what the shell prints, from this start on
        std::filesystem::path scratch;  // a folder for the screenshots on their way
    };

    // The error says why the shell did not come up (with its log).
    static std::expected<std::unique_ptr<HeadlessGnomeShell>, QString> start(Setup setup);
    ~HeadlessGnomeShell();

    // Stops the shell and starts it again with the same settings and files.
    std::expected<void, QString> restart();

    // The value of `code` evaluated in the shell, or why there is none.
    std::expected<QJsonValue, QString> eval(const QString& code) const;
    // Whether `code` evaluates to true within `ms`.
    bool waitFor(const QString& code, int ms) const;

    // GetExtensionInfo's "state" (1: enabled) and GetExtensionErrors.
    double extensionState(const QString& uuid) const;
    QStringList extensionErrors(const QString& uuid) const;

    // The stage's pixels in `area` (org.gnome.Shell.Screenshot); null when refused.
    QImage screenshot(const QRect& area) const;

    qint64 pid() const { return process_.processId(); }
    QString log() const;

  private:
    explicit HeadlessGnomeShell(Setup setup) : setup_(std::move(setup)) {}
    std::expected<void, QString> run();
    void stop();

    Setup setup_;
    QProcess process_;
};

}  // namespace ambrel::testing
