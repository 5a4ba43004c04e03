#pragma once

// "Open Ambrel": asks the running application to bring its window to the front (the
// freedesktop Application interface under its bus name, see ui/application_bus.h), and starts
// the application when that call fails. A start is safe even when the call failed for another
// reason than "not running": the new process hands over to a running one and exits.
//
// A double click, or a burst of activations, opens one application: while the call is on its
// way, and while a start is under way (until the new process owns the bus name, or for
// kStartLimit when it never does), further requests are folded into it.

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <iosfwd>

namespace ambrel::panel {

class ApplicationLauncher final : public QObject {
    Q_OBJECT
  public:
    static constexpr std::chrono::seconds kStartLimit{10};

    // `programFolder`: where the application is looked for first (the widget program's own
    // folder, where an installation puts both, and its build-tree sibling), before the PATH. `err`
    // is kept for the object's lifetime.
    ApplicationLauncher(QDBusConnection bus, QString programFolder, std::ostream& err,
                        QObject* parent = nullptr);

    void open();

  private:
    enum class Stage { idle, asking, starting };

    // The application's executable, or empty when there is none.
    QString findProgram() const;
    void start();
    void endStart();

    QDBusConnection bus_;
    QString programFolder_;
    std::ostream& err_;
    Stage stage_ = Stage::idle;
    QDBusServiceWatcher owner_;
    QTimer startLimit_;
};

}  // namespace ambrel::panel
