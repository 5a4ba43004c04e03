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
    // The object first: a second start may call it as soon as the name is ours.
    bus.registerObject(QString::fromLatin1(ApplicationBus::kPath), this,
                       QDBusConnection::ExportScriptableSlots);
    if (bus.registerService(QString::fromLatin1(ApplicationBus::kService))) return Claim::first;
    bus.unregisterObject(QString::fromLatin1(ApplicationBus::kPath));

    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(ApplicationBus::kService), QString::fromLatin1(ApplicationBus::kPath),
        QString::fromLatin1(ApplicationBus::kInterface),
        QString::fromLatin1(ApplicationBus::kActivate));
    call << launcherTokens();
    const QDBusMessage reply = bus.call(call);
    return reply.type() == QDBusMessage::ReplyMessage ? Claim::handedOver : Claim::unanswered;
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
