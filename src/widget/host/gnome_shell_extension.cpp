#include "widget/host/gnome_shell_extension.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QVariantMap>

namespace ambrel::widget {
namespace {

const QString kShellService = QStringLiteral("org.gnome.Shell");

// The shell's own number for an enabled extension, the same from GNOME 43 to 48.
constexpr int kEnabledState = 1;
constexpr int kAnswerTimeoutMs = 3000;

}  // namespace

GnomeShellExtension gnomeShellExtension(const QDBusConnection& bus) {
    // Asked first, so that a desktop without GNOME Shell never waits for the time-out.
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kShellService))
        return GnomeShellExtension::noGnomeShell;
    QDBusMessage call = QDBusMessage::createMethodCall(
        kShellService, QStringLiteral("/org/gnome/Shell"),
        QStringLiteral("org.gnome.Shell.Extensions"), QStringLiteral("GetExtensionInfo"));
    call << QString::fromLatin1(kGnomeShellExtensionUuid);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kAnswerTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) return GnomeShellExtension::noGnomeShell;
    // An extension the shell does not know gives an empty dictionary; the state is a double.
    const QVariantMap info = qdbus_cast<QVariantMap>(reply.arguments().value(0));
    const QVariant state = info.value(QStringLiteral("state"));
    return state.isValid() && state.toDouble() == kEnabledState ? GnomeShellExtension::enabled
                                                                : GnomeShellExtension::notEnabled;
}

std::string enableExtensionAdvice() {
    return std::string(
               "GNOME Shell keeps them on its desktop through its extension: run "
               "\"gnome-extensions enable ") +
           kGnomeShellExtensionUuid +
           "\" (on Wayland, after logging out and in if it was installed during this session)";
}

}  // namespace ambrel::widget
