#include "widget/wayland/face_accessibility.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleObject>
#include <QGuiApplication>

#include "widget/faces/earnings_widget.h"

namespace ambrel::wayland {
namespace {

class FaceAccessibleInterface final : public QAccessibleObject, public QAccessibleActionInterface {
  public:
    explicit FaceAccessibleInterface(FaceAccessibility* face) : QAccessibleObject(face) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return QAccessibleObject::interface_cast(type);
    }

    QStringList actionNames() const override { return faceActionNames(); }
    QString localizedActionName(const QString& name) const override {
        return faceActionDescription(name);
    }
    QString localizedActionDescription(const QString& name) const override {
        return faceActionDescription(name);
    }
    void doAction(const QString& name) override {
        if (const auto command = faceCommandOfAction(name)) face()->run(*command);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(QCoreApplication::instance());
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::Window; }
    QRect rect() const override { return face()->desktopGeometry(); }

    QString text(QAccessible::Text kind) const override {
        switch (kind) {
            case QAccessible::Name:
                return face()->title();
            case QAccessible::Description:
                return face()->description();
            default:
                return {};
        }
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !face()->isShown();
        state.offscreen = !face()->isShown();
        return state;
    }

  private:
    FaceAccessibility* face() const { return static_cast<FaceAccessibility*>(object()); }
};

QAccessibleInterface* faceInterfaceFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(FaceAccessibility::staticMetaObject.className())) {
        return new FaceAccessibleInterface(static_cast<FaceAccessibility*>(object));
    }
    return nullptr;
}

}  // namespace

FaceAccessibility::FaceAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&faceInterfaceFactory);
        return true;
    }();
    (void)installed;
    setTitle(EarningsWidget::displayName());
}

QAccessibleInterface* FaceAccessibility::accessibleRoot() const {
    return QAccessible::queryAccessibleInterface(const_cast<FaceAccessibility*>(this));
}

void FaceAccessibility::setDescription(const QString& description) {
    if (description == description_) return;
    description_ = description;
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void FaceAccessibility::setShown(bool shown) {
    if (shown == shown_) return;
    shown_ = shown;
    QAccessibleEvent event(this, shown ? QAccessible::ObjectShow : QAccessible::ObjectHide);
    QAccessible::updateAccessibility(&event);
}

}  // namespace ambrel::wayland
