#include "app/single_instance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QWidget>
#include <ostream>

#include "ui/application_bus.h"

namespace ambrel {
namespace {

// The launcher's tokens that let the window system give focus to the running window, passed on
// by the second start: Wayland's activation token and X11's startup notification id.
constexpr const char* kTokenKeys[][2] = {{"activation-token", "XDG_ACTIVATION_TOKEN"},
                                         {"desktop-startup-id", "DESKTOP_STARTUP_ID"}};

// Each try of the hand-over waits this long for the running application's answer.
constexpr int kHandOverTimeoutMs = 2500;
constexpr int kHandOverTries = 2;

QVariantMap launcherTokens() {
    QVariantMap data;
    for (const auto& [key, variable] : kTokenKeys) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty()) data.insert(QString::fromLatin1(key), value);
    }
    return data;
}

}  // namespace

SingleInstance::Claim SingleInstance::claim() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return Claim::first;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(ApplicationBus::kService), QString::fromLatin1(ApplicationBus::kPath),
        QString::fromLatin1(ApplicationBus::kInterface),
        QString::fromLatin1(ApplicationBus::kActivate));
    call << launcherTokens();
    // A holder of the name that is itself still starting answers only once its event loop
    // runs: the hand-over waits briefly, twice, rather than D-Bus's 25 s. Between the tries the
    // holder may have ended, leaving the name to this start.
    for (int attempt = 0; attempt < kHandOverTries; ++attempt) {
        // The object first: a second start may call it as soon as the name is ours.
        bus.registerObject(QString::fromLatin1(ApplicationBus::kPath), this,
                           QDBusConnection::ExportScriptableSlots);
        if (bus.registerService(QString::fromLatin1(ApplicationBus::kService))) return Claim::first;
        bus.unregisterObject(QString::fromLatin1(ApplicationBus::kPath));
        const QDBusMessage reply = bus.call(call, QDBus::Block, kHandOverTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage) return Claim::handedOver;
    }
    return Claim::unanswered;
}

void SingleInstance::Activate(const QVariantMap& platformData) {
    // Qt reads these when it asks the window system to activate a window.
    for (const auto& [key, variable] : kTokenKeys) {
        const QString token = platformData.value(QString::fromLatin1(key)).toString();
        if (!token.isEmpty()) qputenv(variable, token.toUtf8());
    }
    Q_EMIT activated();
}

std::optional<int> exitStatusFor(SingleInstance::Claim claim, std::ostream& err) {
    switch (claim) {
        case SingleInstance::Claim::first:
            break;
        case SingleInstance::Claim::handedOver:
            return 0;
        case SingleInstance::Claim::unanswered:
            err << "ambrel: another Ambrel runs in this session but does not answer\n";
            return 1;
    }
    return std::nullopt;
}

void raiseWindow(QWidget& window) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace ambrel
