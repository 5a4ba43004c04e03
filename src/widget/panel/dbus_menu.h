#pragma once

// The indicator's menu on the session bus: the com.canonical.dbusmenu interface that panels
// read (layout and item properties) and drive (events), over a PanelMenu. The menu is flat: the
// root (id 0) holds the items. Export it with the ExportScriptableContents option.

#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QStringList>

#include "widget/panel/dbus_types.h"
#include "widget/panel/panel_menu.h"

namespace ambrel::panel {

class DBusMenu final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

  public:
    static constexpr const char* kPath = "/MenuBar";

    explicit DBusMenu(PanelMenu& menu, QObject* parent = nullptr);

    uint version() const { return 3; }
    QString textDirection() const;
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

  public Q_SLOTS:
    Q_SCRIPTABLE uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                ambrel::panel::DBusMenuLayoutItem& layout);
    Q_SCRIPTABLE QList<ambrel::panel::DBusMenuItem> GetGroupProperties(
        const QList<int>& ids, const QStringList& propertyNames);
    Q_SCRIPTABLE QDBusVariant GetProperty(int id, const QString& name);
    Q_SCRIPTABLE void Event(int id, const QString& eventId, const QDBusVariant& data,
                            uint timestamp);
    Q_SCRIPTABLE QList<int> EventGroup(const QList<ambrel::panel::DBusMenuEvent>& events);
    Q_SCRIPTABLE bool AboutToShow(int id);
    Q_SCRIPTABLE QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

  Q_SIGNALS:
    Q_SCRIPTABLE void ItemsPropertiesUpdated(
        const QList<ambrel::panel::DBusMenuItem>& updatedProps,
        const QList<ambrel::panel::DBusMenuItemKeys>& removedProps);
    Q_SCRIPTABLE void LayoutUpdated(uint revision, int parent);
    Q_SCRIPTABLE void ItemActivationRequested(int id, uint timestamp);

  private:
    bool exists(int id) const { return id == 0 || menu_.item(id) != nullptr; }
    QVariantMap properties(int id, const QStringList& names) const;
    DBusMenuLayoutItem layoutOf(int id, int depth, const QStringList& names) const;
    // True when the event was for an item of the menu.
    bool handleEvent(int id, const QString& eventId);
    void sendUnknownItem(int id);

    PanelMenu& menu_;
};

}  // namespace ambrel::panel
