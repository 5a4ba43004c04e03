#pragma once

// The indicator's item on the session bus: the org.kde.StatusNotifierItem interface that
// panels read (title, icon, tooltip, status, menu) and call when the user clicks the item.
// Export it with the ExportScriptableContents option.

#include <QDBusObjectPath>
#include <QList>
#include <QObject>
#include <QString>

#include "widget/panel/dbus_types.h"

namespace ambrel::panel {

class StatusNotifierItem final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconName READ noName)
    Q_PROPERTY(QList<ambrel::panel::DBusImage> IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ noName)
    Q_PROPERTY(QList<ambrel::panel::DBusImage> OverlayIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionIconName READ noName)
    Q_PROPERTY(QList<ambrel::panel::DBusImage> AttentionIconPixmap READ noPixmap)
    Q_PROPERTY(QString AttentionMovieName READ noName)
    Q_PROPERTY(ambrel::panel::DBusToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)

  public:
    static constexpr const char* kPath = "/StatusNotifierItem";

    // `menuPath`: where the item's dbusmenu is exported.
    StatusNotifierItem(QString id, QString menuPath, QObject* parent = nullptr);

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return id_; }
    QString title() const { return title_; }
    // Always shown: the figures are the point of the item, and signed out it says how to sign
    // in.
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QList<DBusImage> iconPixmap() const { return icon_; }
    DBusToolTip toolTip() const { return toolTip_; }
    // A left click activates (opens the application); the menu is for the other button.
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return menuPath_; }

    // Changes what panels show, and tells them what changed.
    void setAppearance(const QString& title, const DBusToolTip& toolTip,
                       const QList<DBusImage>& icon);

  public Q_SLOTS:
    // The menu comes through dbusmenu; a host that asks the item to show it gets nothing.
    Q_SCRIPTABLE void ContextMenu(int x, int y);
    Q_SCRIPTABLE void Activate(int x, int y);
    Q_SCRIPTABLE void SecondaryActivate(int x, int y);
    Q_SCRIPTABLE void Scroll(int delta, const QString& orientation);

  Q_SIGNALS:
    Q_SCRIPTABLE void NewTitle();
    Q_SCRIPTABLE void NewIcon();
    Q_SCRIPTABLE void NewAttentionIcon();
    Q_SCRIPTABLE void NewOverlayIcon();
    Q_SCRIPTABLE void NewToolTip();
    Q_SCRIPTABLE void NewStatus(const QString& status);
    // The user clicked the item (its Activate method).
    void activated();

  private:
    QString noName() const { return {}; }
    QList<DBusImage> noPixmap() const { return {}; }

    QString id_;
    QDBusObjectPath menuPath_;
    QString title_;
    DBusToolTip toolTip_;
    QList<DBusImage> icon_;
};

}  // namespace ambrel::panel
