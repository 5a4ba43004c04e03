#include "widget/panel/autostart_entry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <utility>

#include "core/platform/paths.h"

namespace ambrel::panel {
namespace {

// Characters that make an Exec argument need double quotes.
const QString kReserved = QStringLiteral(" \t\n\r\"'\\><~|&;$*?#()`");

QString quotedArgument(const QString& argument) {
    bool needsQuotes = argument.isEmpty();
    for (QChar c : argument) needsQuotes = needsQuotes || kReserved.contains(c);
    QString text;
    for (QChar c : argument) {
        // Inside quotes these four are escaped with a backslash.
        if (needsQuotes && (c == u'"' || c == u'`' || c == u'$' || c == u'\\')) text += u'\\';
        // A literal percent sign is doubled: %f, %u and the like are field codes.
        if (c == u'%') text += u'%';
        text += c;
    }
    return needsQuotes ? u'"' + text + u'"' : text;
}

// A value of the string type: its backslashes escaped once more, and line ends and tabs written
// as escapes, so that no path can split the entry or add keys of its own.
QString stringValue(const QString& text) {
    QString value;
    for (QChar c : text) {
        if (c == u'\\')
            value += QStringLiteral("\\\\");
        else if (c == u'\n')
            value += QStringLiteral("\\n");
        else if (c == u'\r')
            value += QStringLiteral("\\r");
        else if (c == u'\t')
            value += QStringLiteral("\\t");
        else
            value += c;
    }
    return value;
}

QString nativePath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

AutostartEntry::AutostartEntry(std::filesystem::path file, QStringList command)
    : file_(std::move(file)), command_(std::move(command)) {}

std::filesystem::path AutostartEntry::defaultFile() {
    return configHome() / "autostart" / "com.corvane.ambrel.widget.desktop";
}

bool AutostartEntry::isEnabled() const {
    return QFileInfo(nativePath(file_)).isFile();
}

bool AutostartEntry::setEnabled(bool enabled) {
    const QString path = nativePath(file_);
    if (!enabled) return !QFileInfo::exists(path) || QFile::remove(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write(desktopEntry(command_).toUtf8());
    return out.commit();
}

QString AutostartEntry::desktopEntry(const QStringList& command) {
    // The names as data/com.corvane.ambrel.widget.desktop gives them.
    const QString exec = stringValue(execLine(command));
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Ambrel Widgets\n"
               "Name[fr]=Widgets Ambrel\n"
               "Comment=Your estimated AdSense earnings on the desktop, updated automatically.\n"
               "Comment[fr]=Vos revenus AdSense estimés sur le bureau, mis à jour "
               "automatiquement.\n"
               "Exec=%1\n"
               "Icon=com.corvane.ambrel\n"
               "Terminal=false\n"
               "NoDisplay=true\n"
               "X-GNOME-Autostart-enabled=true\n")
        .arg(exec);
}

QString AutostartEntry::execLine(const QStringList& command) {
    QStringList arguments;
    for (const QString& argument : command) arguments.append(quotedArgument(argument));
    return arguments.join(u' ');
}

}  // namespace ambrel::panel
