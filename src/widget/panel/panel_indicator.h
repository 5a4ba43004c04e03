#pragma once

// The panel indicator: one more surface of the widget's timeline, beside the faces. A
// StatusNotifierItem with a dbusmenu menu on the session bus, showing the current entry in its
// icon (the mark in a ring of today's progress), title and tooltip. The title and tooltip say
// the figures in words, so a screen reader reading the panel says what the ring shows.
//
// Menu: "Open Ambrel", "Refresh now", a separator, "Start at login" and "Notify when objectives
// are reached" (check items), "Quit".
// A left click on the item does what "Open Ambrel" does.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>

#include "widget/earnings_provider.h"
#include "widget/panel/application_launcher.h"
#include "widget/panel/autostart_entry.h"
#include "widget/panel/dbus_menu.h"
#include "widget/panel/panel_menu.h"
#include "widget/panel/status_notifier_item.h"
#include "widget/panel/watcher_registration.h"

namespace ambrel::panel {

// A setting shown as a check item: read each time the menu shows it, written when it is flipped.
struct MenuSwitch {
    std::function<bool()> isOn;
    std::function<void(bool)> set;
};

struct IndicatorSetup {
    // What "Start at login" starts: the widget program's absolute path and its arguments.
    QStringList autostartCommand;
    std::filesystem::path autostartFile = AutostartEntry::defaultFile();
    // Where "Open Ambrel" looks for the application first.
    QString applicationFolder;
    // "Notify when objectives are reached"; no item without it.
    MenuSwitch objectiveNotices{};
};

class PanelIndicator final : public QObject {
    Q_OBJECT
  public:
    // `err` receives the lines saying why nothing shows, and is kept for the object's lifetime.
    PanelIndicator(QDBusConnection bus, IndicatorSetup setup, std::ostream& err,
                   QObject* parent = nullptr);

    // Exports the item and its menu and registers with the panel's watcher (now or when one
    // appears). False, with the reason on `err`, when the bus refuses the item.
    bool start();

    void setEntry(const EarningsEntry& entry);

  Q_SIGNALS:
    void refreshRequested();
    void quitRequested();

  private:
    void buildMenu(const MenuSwitch& objectiveNotices);

    QDBusConnection bus_;
    std::ostream& err_;
    QString serviceName_;
    AutostartEntry autostart_;
    ApplicationLauncher launcher_;
    PanelMenu menu_;
    StatusNotifierItem item_;
    DBusMenu dbusMenu_;
    WatcherRegistration registration_;
};

}  // namespace ambrel::panel
