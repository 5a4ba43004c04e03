#include "headless_gnome_shell.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <QVariantMap>
#include <chrono>

namespace ambrel::testing {
namespace {

constexpr int kStartMs = 30000;
constexpr int kCallMs = 5000;

QDBusMessage callShell(const char* path, const char* interface, const char* method,
                       const QVariantList& arguments) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.gnome.Shell"), QString::fromLatin1(path),
                                       QString::fromLatin1(interface), QString::fromLatin1(method));
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, kCallMs);
}

// gsettings in the test's session, which the shell reads at its start.
bool setShellKey(const QProcessEnvironment& environment, const QString& key, const QString& value) {
    QProcess gsettings;
    gsettings.setProcessEnvironment(environment);
    gsettings.start(QStringLiteral("gsettings"),
                    {QStringLiteral("set"), QStringLiteral("org.gnome.shell"), key, value});
    return gsettings.waitForFinished(kCallMs) && gsettings.exitCode() == 0;
}

}  // namespace

std::expected<std::unique_ptr<HeadlessGnomeShell>, QString> HeadlessGnomeShell::start(Setup setup) {
    QStringList quoted;
    for (const QString& uuid : setup.extensions)
        quoted << QLatin1Char('\'') + uuid + QLatin1Char('\'');
    // A first start would greet the user with a tour offer over the desktop.
    if (!setShellKey(setup.environment, QStringLiteral("enabled-extensions"),
                     QLatin1Char('[') + quoted.join(QLatin1Char(',')) + QLatin1Char(']')) ||
        !setShellKey(setup.environment, QStringLiteral("welcome-dialog-last-shown-version"),
                     QStringLiteral("'999'"))) {
        return std::unexpected(QStringLiteral("gsettings cannot set org.gnome.shell"));
    }
    // Only callers that own one of a few names may take screenshots.
    QDBusConnection::sessionBus().registerService(QStringLiteral("org.gnome.Screenshot"));
    std::filesystem::remove(setup.log);
    std::unique_ptr<HeadlessGnomeShell> shell(new HeadlessGnomeShell(std::move(setup)));
    if (auto running = shell->run(); !running) return std::unexpected(running.error());
    return shell;
}

HeadlessGnomeShell::~HeadlessGnomeShell() {
    stop();
}

std::expected<void, QString> HeadlessGnomeShell::run() {
    process_.setProcessEnvironment(setup_.environment);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardOutputFile(QString::fromStdString(setup_.log.string()), QIODevice::Append);
    process_.start(
        QStringLiteral("gnome-shell"),
        {QStringLiteral("--headless"), QStringLiteral("--wayland"), QStringLiteral("--no-x11"),
         QStringLiteral("--virtual-monitor"),
         QStringLiteral("%1x%2").arg(setup_.monitor.width()).arg(setup_.monitor.height())});
    if (!process_.waitForStarted(kCallMs))
        return std::unexpected(QStringLiteral("gnome-shell does not start: ") +
                               process_.errorString());
    // Up once the helper has turned unsafe mode on and the overview is gone.
    const bool up = QTest::qWaitFor(
        [&] {
            if (process_.state() == QProcess::NotRunning) return true;
            const auto ready =
                eval(QStringLiteral("typeof ambrelTest === 'object' && ambrelTest.ready()"));
            return ready && ready->toBool();
        },
        kStartMs);
    if (!up || process_.state() == QProcess::NotRunning)
        return std::unexpected(QStringLiteral("gnome-shell did not come up:\n") + log());
    return {};
}

void HeadlessGnomeShell::stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(10000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

std::expected<void, QString> HeadlessGnomeShell::restart() {
    stop();
    return run();
}

std::expected<QJsonValue, QString> HeadlessGnomeShell::eval(const QString& code) const {
    const QDBusMessage reply = callShell("/org/gnome/Shell", "org.gnome.Shell", "Eval", {code});
    if (reply.type() != QDBusMessage::ReplyMessage) return std::unexpected(reply.errorMessage());
    const QString answer = reply.arguments().value(1).toString();
    if (!reply.arguments().value(0).toBool()) return std::unexpected(answer);
    // The answer is JSON, which may be a lone value: read inside an array.
    const QJsonDocument document =
        QJsonDocument::fromJson((QLatin1Char('[') + answer + QLatin1Char(']')).toUtf8());
    if (!document.isArray() || document.array().size() != 1) return QJsonValue();
    return document.array().at(0);
}

bool HeadlessGnomeShell::waitFor(const QString& code, int ms) const {
    return QTest::qWaitFor(
        [&] {
            const auto value = eval(code);
            return value && value->toBool();
        },
        ms);
}

double HeadlessGnomeShell::extensionState(const QString& uuid) const {
    const QDBusMessage reply =
        callShell("/org/gnome/Shell", "org.gnome.Shell.Extensions", "GetExtensionInfo", {uuid});
    const QVariantMap info = qdbus_cast<QVariantMap>(reply.arguments().value(0));
    return info.value(QStringLiteral("state"), -1).toDouble();
}

QStringList HeadlessGnomeShell::extensionErrors(const QString& uuid) const {
    const QDBusMessage reply =
        callShell("/org/gnome/Shell", "org.gnome.Shell.Extensions", "GetExtensionErrors", {uuid});
    return reply.arguments().value(0).toStringList();
}

QImage HeadlessGnomeShell::screenshot(const QRect& area) const {
    const QString file = QString::fromStdString((setup_.scratch / "screenshot.png").string());
    const QDBusMessage reply =
        callShell("/org/gnome/Shell/Screenshot", "org.gnome.Shell.Screenshot", "ScreenshotArea",
                  {area.x(), area.y(), area.width(), area.height(), false, file});
    if (reply.type() != QDBusMessage::ReplyMessage || !reply.arguments().value(0).toBool())
        return {};
    QImage shot = QImage(file).convertToFormat(QImage::Format_ARGB32);
    QFile::remove(file);
    return shot;
}

QString HeadlessGnomeShell::log() const {
    QFile file(QString::fromStdString(setup_.log.string()));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

}  // namespace ambrel::testing
