#pragma once

// GNOME Shell offers widgets no layer shell, so there the faces are drawn by the shell's own
// extension (src/gnome-shell/), which runs `ambrel-widget render`; the desktop host then opens
// no windows of its own. The shell says on the session bus whether the extension is enabled.

#include <QDBusConnection>
#include <string>

namespace ambrel::widget {

inline constexpr const char* kGnomeShellExtensionUuid = "ambrel@corvane.com";

enum class GnomeShellExtension {
    noGnomeShell,  // no GNOME Shell answers on the bus
    notEnabled,    // not installed, disabled, or failed to load
    enabled,
};

// Asks the running shell, waiting at most a few seconds: a shell that does not answer in time
// counts as absent, so a stuck compositor cannot keep the widgets from starting.
GnomeShellExtension gnomeShellExtension(const QDBusConnection& bus);

// How to enable the extension, for the message that says the faces are ordinary windows.
std::string enableExtensionAdvice();

}  // namespace ambrel::widget
