#include "ui/widget_center.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace ambrel {

void WidgetCenter::reloadAllTimelines() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    bus.send(QDBusMessage::createSignal(kPath, kInterface, kMember));
}

ReloadListener::ReloadListener(QObject* parent) : QObject(parent) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    // D-Bus signals can only be connected by slot signature.
    listening_ =
        bus.isConnected() && bus.connect(QString(), WidgetCenter::kPath, WidgetCenter::kInterface,
                                         WidgetCenter::kMember, this, SLOT(onReloadSignal()));
}

void ReloadListener::onReloadSignal() {
    Q_EMIT reloadRequested();
}

}  // namespace ambrel
