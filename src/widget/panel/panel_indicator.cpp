#include "widget/panel/panel_indicator.h"

#include <QCoreApplication>
#include <ostream>
#include <utility>

#include "core/platform/localization.h"
#include "widget/glance.h"
#include "widget/panel/indicator_icon.h"

namespace ambrel::panel {
namespace {

QString localized(const char* key) {
    return QString::fromStdString(tr(key));
}

// The name the protocol asks items to take: one per process and item.
QString itemServiceName() {
    return QStringLiteral("org.kde.StatusNotifierItem-%1-1")
        .arg(QCoreApplication::applicationPid());
}

}  // namespace

PanelIndicator::PanelIndicator(QDBusConnection bus, IndicatorSetup setup, std::ostream& err,
                               QObject* parent)
    : QObject(parent),
      bus_(std::move(bus)),
      err_(err),
      serviceName_(itemServiceName()),
      autostart_(std::move(setup.autostartFile), std::move(setup.autostartCommand)),
      launcher_(bus_, std::move(setup.applicationFolder), err),
      item_(QStringLiteral("com.corvane.ambrel.widget"), QString::fromLatin1(DBusMenu::kPath)),
      dbusMenu_(menu_),
      registration_(bus_, serviceName_, err) {
    buildMenu(setup.objectiveNotices);
    connect(&item_, &StatusNotifierItem::activated, &launcher_, &ApplicationLauncher::open);
    // Until the first entry: the title, and the grey mark.
    const QString title = localized("AdSense earnings");
    item_.setAppearance(title, {{}, {}, title, {}}, indicatorIconPixmaps(std::nullopt));
}

void PanelIndicator::buildMenu(const MenuSwitch& objectiveNotices) {
    menu_.addAction(localized("Open Ambrel"), [this] { launcher_.open(); });
    menu_.addAction(localized("Refresh now"), [this] { Q_EMIT refreshRequested(); });
    menu_.addSeparator();
    menu_.addCheck(
        localized("Start at login"), [this] { return autostart_.isEnabled(); },
        [this](bool enabled) {
            if (!autostart_.setEnabled(enabled)) {
                err_ << "ambrel-widget: cannot " << (enabled ? "write " : "remove ")
                     << autostart_.file().string() << '\n'
                     << std::flush;
            }
        });
    if (objectiveNotices.isOn && objectiveNotices.set) {
        menu_.addCheck(localized("Notify when objectives are reached"), objectiveNotices.isOn,
                       objectiveNotices.set);
    }
    menu_.addAction(localized("Quit"), [this] { Q_EMIT quitRequested(); });
}

bool PanelIndicator::start() {
    if (!bus_.isConnected()) {
        err_ << "ambrel-widget: no session bus, so the panel indicator cannot be shown\n";
        return false;
    }
    const auto options = QDBusConnection::ExportScriptableContents;
    if (!bus_.registerObject(QString::fromLatin1(StatusNotifierItem::kPath), &item_, options) ||
        !bus_.registerObject(QString::fromLatin1(DBusMenu::kPath), &dbusMenu_, options) ||
        !bus_.registerService(serviceName_)) {
        err_ << "ambrel-widget: the session bus refused the panel indicator: "
             << bus_.lastError().message().toStdString() << '\n';
        return false;
    }
    registration_.start();
    return true;
}

void PanelIndicator::setEntry(const EarningsEntry& entry) {
    const widget::Glance glance = widget::glanceOf(entry);
    const QString title = QString::fromStdString(glance.title);
    const QString firstLine = QString::fromStdString(glance.lines.front());
    QStringList lines;
    for (const std::string& line : glance.lines) lines.append(QString::fromStdString(line));
    const DBusToolTip toolTip{{}, {}, title, lines.join(u'\n')};
    // The sample's progress is no one's: the grey mark until there are figures.
    const auto progress = glance.hasFigures() ? std::optional(glance.dailyProgress) : std::nullopt;
    item_.setAppearance(title + QStringLiteral(" \u00B7 ") + firstLine, toolTip,
                        indicatorIconPixmaps(progress, glance.isStale));
}

}  // namespace ambrel::panel
