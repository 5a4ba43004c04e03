#pragma once

// "Open Ambrel": asks the running application to bring its window to the front (the
// freedesktop Application interface under its bus name, see ui/application_bus.h), and starts
// the application when that call fails. A start is safe even when the call failed for another
// reason than "not running": the new process hands over to a running one and exits.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <iosfwd>

namespace ambrel::panel {

class ApplicationLauncher final : public QObject {
    Q_OBJECT
  public:
    // `programFolder`: where the application is looked for first (the widget program's own
    // folder, where an installation puts both, and its build-tree sibling), before the PATH. `err`
    // is kept for the object's lifetime.
    ApplicationLauncher(QDBusConnection bus, QString programFolder, std::ostream& err,
                        QObject* parent = nullptr);

    void open();

  private:
    // The application's executable, or empty when there is none.
    QString findProgram() const;
    void start();

    QDBusConnection bus_;
    QString programFolder_;
    std::ostream& err_;
};

}  // namespace ambrel::panel
