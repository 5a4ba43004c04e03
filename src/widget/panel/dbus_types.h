#pragma once

// The D-Bus structures of the status-notifier and dbusmenu protocols, with their marshalling.
// Call registerPanelDBusTypes() once before any of them crosses the bus.

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace ambrel::panel {

// One icon picture, (iiay): ARGB32 pixels in network byte order, row by row.
struct DBusImage {
    int width = 0;
    int height = 0;
    QByteArray pixels;
};
using DBusImageList = QList<DBusImage>;

// (sa(iiay)ss): icon name, icon pictures, title, description.
struct DBusToolTip {
    QString iconName;
    DBusImageList icon;
    QString title;
    QString description;
};

// (ia{sv}av): a menu item, its properties and its children, each child wrapped in a variant.
struct DBusMenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayoutItem> children;
};

// (ia{sv}): an item's properties, as GetGroupProperties and ItemsPropertiesUpdated carry them.
struct DBusMenuItem {
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItemList = QList<DBusMenuItem>;

// (ias): the names of properties an item no longer has.
struct DBusMenuItemKeys {
    int id = 0;
    QStringList names;
};
using DBusMenuItemKeysList = QList<DBusMenuItemKeys>;

// (isvu): one event of EventGroup.
struct DBusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DBusMenuEventList = QList<DBusMenuEvent>;

void registerPanelDBusTypes();

QDBusArgument& operator<<(QDBusArgument& argument, const DBusImage& image);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusImage& image);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusToolTip& toolTip);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& keys);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& keys);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event);

}  // namespace ambrel::panel

Q_DECLARE_METATYPE(ambrel::panel::DBusImage)
Q_DECLARE_METATYPE(ambrel::panel::DBusToolTip)
Q_DECLARE_METATYPE(ambrel::panel::DBusMenuLayoutItem)
Q_DECLARE_METATYPE(ambrel::panel::DBusMenuItem)
Q_DECLARE_METATYPE(ambrel::panel::DBusMenuItemKeys)
Q_DECLARE_METATYPE(ambrel::panel::DBusMenuEvent)
