#include "widget/panel/dbus_menu.h"

#include <QGuiApplication>

namespace ambrel::panel {
namespace {

// The protocol's labels mark an access key with "_"; ours have none, so a real one is doubled.
QString menuLabel(const QString& text) {
    QString label = text;
    return label.replace(u'_', QStringLiteral("__"));
}

QVariantMap filtered(const QVariantMap& all, const QStringList& names) {
    if (names.isEmpty()) return all;
    QVariantMap kept;
    for (const QString& name : names)
        if (all.contains(name)) kept.insert(name, all.value(name));
    return kept;
}

}  // namespace

DBusMenu::DBusMenu(PanelMenu& menu, QObject* parent) : QObject(parent), menu_(menu) {
    registerPanelDBusTypes();
    connect(&menu_, &PanelMenu::checkChanged, this, [this](int id) {
        Q_EMIT ItemsPropertiesUpdated({{id, properties(id, {QStringLiteral("toggle-state")})}}, {});
    });
}

QString DBusMenu::textDirection() const {
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl")
                                                                 : QStringLiteral("ltr");
}

// Properties at their default value (enabled, visible, type "standard") are left out, as the
// protocol allows.
QVariantMap DBusMenu::properties(int id, const QStringList& names) const {
    QVariantMap all;
    if (id == 0) {
        all.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
        return filtered(all, names);
    }
    const PanelMenu::Item* item = menu_.item(id);
    if (item == nullptr) return {};
    switch (item->kind) {
        case PanelMenu::Kind::separator:
            all.insert(QStringLiteral("type"), QStringLiteral("separator"));
            break;
        case PanelMenu::Kind::check:
            all.insert(QStringLiteral("toggle-type"), QStringLiteral("checkmark"));
            all.insert(QStringLiteral("toggle-state"), item->isChecked() ? 1 : 0);
            [[fallthrough]];
        case PanelMenu::Kind::action:
            all.insert(QStringLiteral("label"), menuLabel(item->label));
            break;
    }
    return filtered(all, names);
}

// A depth of -1 means all levels; the items themselves have no children.
DBusMenuLayoutItem DBusMenu::layoutOf(int id, int depth, const QStringList& names) const {
    DBusMenuLayoutItem layout{id, properties(id, names), {}};
    if (id == 0 && depth != 0) {
        for (const PanelMenu::Item& item : menu_.items())
            layout.children.append({item.id, properties(item.id, names), {}});
    }
    return layout;
}

void DBusMenu::sendUnknownItem(int id) {
    if (calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("no menu item %1").arg(id));
}

uint DBusMenu::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                         DBusMenuLayoutItem& layout) {
    if (!exists(parentId)) {
        sendUnknownItem(parentId);
        return 0;
    }
    layout = layoutOf(parentId, recursionDepth, propertyNames);
    return 1;  // the layout's revision: the items never change
}

// No ids means every item.
QList<DBusMenuItem> DBusMenu::GetGroupProperties(const QList<int>& ids,
                                                 const QStringList& propertyNames) {
    QList<int> wanted = ids;
    if (wanted.isEmpty()) {
        wanted.append(0);
        for (const PanelMenu::Item& item : menu_.items()) wanted.append(item.id);
    }
    QList<DBusMenuItem> result;
    for (int id : wanted)
        if (exists(id)) result.append({id, properties(id, propertyNames)});
    return result;
}

QDBusVariant DBusMenu::GetProperty(int id, const QString& name) {
    const QVariantMap found = properties(id, {name});
    if (!found.contains(name)) {
        if (calledFromDBus())
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("menu item %1 has no property %2").arg(id).arg(name));
        return {};
    }
    return QDBusVariant(found.value(name));
}

bool DBusMenu::handleEvent(int id, const QString& eventId) {
    if (!exists(id)) return false;
    // Hovering, opening and closing need nothing from us.
    if (eventId == QLatin1String("clicked")) menu_.activate(id);
    return true;
}

void DBusMenu::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
    if (!handleEvent(id, eventId)) sendUnknownItem(id);
}

QList<int> DBusMenu::EventGroup(const QList<DBusMenuEvent>& events) {
    QList<int> idErrors;
    for (const DBusMenuEvent& event : events)
        if (!handleEvent(event.id, event.eventId)) idErrors.append(event.id);
    return idErrors;
}

bool DBusMenu::AboutToShow(int id) {
    if (!exists(id)) sendUnknownItem(id);
    return false;  // nothing changes when the menu opens
}

QList<int> DBusMenu::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    for (int id : ids)
        if (!exists(id)) idErrors.append(id);
    return {};
}

}  // namespace ambrel::panel
