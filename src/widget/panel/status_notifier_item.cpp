#include "widget/panel/status_notifier_item.h"

#include <utility>

namespace ambrel::panel {
namespace {

bool samePixels(const QList<DBusImage>& a, const QList<DBusImage>& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].width != b[i].width || a[i].height != b[i].height || a[i].pixels != b[i].pixels)
            return false;
    }
    return true;
}

bool sameToolTip(const DBusToolTip& a, const DBusToolTip& b) {
    return a.iconName == b.iconName && samePixels(a.icon, b.icon) && a.title == b.title &&
           a.description == b.description;
}

}  // namespace

StatusNotifierItem::StatusNotifierItem(QString id, QString menuPath, QObject* parent)
    : QObject(parent), id_(std::move(id)), menuPath_(menuPath) {
    registerPanelDBusTypes();
}

void StatusNotifierItem::setAppearance(const QString& title, const DBusToolTip& toolTip,
                                       const QList<DBusImage>& icon) {
    if (title != title_) {
        title_ = title;
        Q_EMIT NewTitle();
    }
    if (!sameToolTip(toolTip, toolTip_)) {
        toolTip_ = toolTip;
        Q_EMIT NewToolTip();
    }
    if (!samePixels(icon, icon_)) {
        icon_ = icon;
        Q_EMIT NewIcon();
    }
}

void StatusNotifierItem::ContextMenu(int, int) {}

void StatusNotifierItem::Activate(int, int) {
    Q_EMIT activated();
}

void StatusNotifierItem::SecondaryActivate(int, int) {}

void StatusNotifierItem::Scroll(int, const QString&) {}

}  // namespace ambrel::panel
