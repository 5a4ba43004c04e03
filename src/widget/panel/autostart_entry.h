#pragma once

// "Start at login": an XDG autostart entry that starts the widget program as it runs now (the
// indicator, and the faces it shows). Desktops start every entry of
// ${XDG_CONFIG_HOME:-~/.config}/autostart/ when the user logs in.

#include <QString>
#include <QStringList>
#include <filesystem>

namespace ambrel::panel {

class AutostartEntry {
  public:
    // `command`: the absolute path of the program, then its arguments.
    AutostartEntry(std::filesystem::path file, QStringList command);

    // ${XDG_CONFIG_HOME:-~/.config}/autostart/com.corvane.ambrel.widget.desktop
    static std::filesystem::path defaultFile();

    // The entry exists (whatever it starts: the user asked to start the widget at login).
    bool isEnabled() const;
    // Writes the entry (replacing it in one rename) or removes it. False when that failed; the
    // file is then as it was.
    bool setEnabled(bool enabled);

    const std::filesystem::path& file() const { return file_; }

    // The desktop entry's text.
    static QString desktopEntry(const QStringList& command);
    // The Exec value: each argument quoted where the desktop-entry rules ask for it.
    static QString execLine(const QStringList& command);

  private:
    std::filesystem::path file_;
    QStringList command_;
};

}  // namespace ambrel::panel
