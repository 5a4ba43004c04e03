#pragma once

// Makes the item known to the panel: the StatusNotifierWatcher (run by the desktop's panel, or
// by a bar such as waybar) lists the items that hosts show. The watcher may start after the
// item, or restart with the panel; each time it appears the item registers again. When none
// has appeared a few seconds after the start, one line on stderr says why nothing shows, and
// the item keeps waiting.

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <iosfwd>

namespace ambrel::panel {

class WatcherRegistration final : public QObject {
    Q_OBJECT
  public:
    static constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
    static constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
    static constexpr std::chrono::seconds kWatcherWait{3};

    // `itemService`: the bus name the item is exported under. `err` is kept for the object's
    // lifetime.
    WatcherRegistration(QDBusConnection bus, QString itemService, std::ostream& err,
                        QObject* parent = nullptr);

    // Registers now when a watcher runs, else when one appears.
    void start();
    bool isRegistered() const { return registered_; }

  Q_SIGNALS:
    void registered();

  private:
    void registerItem();
    void warnOnce(const std::string& message);

    QDBusConnection bus_;
    QString itemService_;
    std::ostream& err_;
    QDBusServiceWatcher watcher_;
    QTimer noWatcher_;
    bool registered_ = false;
    bool warned_ = false;
};

}  // namespace ambrel::panel
