#include "widget/wayland/popup_menu_accessibility.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleObject>
#include <QGuiApplication>
#include <QPointer>
#include <vector>

#include "widget/wayland/popup_menu.h"

namespace ambrel::wayland {
namespace {

// A row of the menu: no object of its own, so it lives in the accessible cache under an id
// that its menu's interface gives back when it goes.
class MenuItemInterface final : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    MenuItemInterface(PopupMenuAccessibility* menu, int row) : menu_(menu), row_(row) {}

    bool isValid() const override { return !menu_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return menu_; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(menu_.data());
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QRect rect() const override { return menu_ ? menu_->rowGeometry(row_) : QRect(); }
    void setText(QAccessible::Text, const QString&) override {}
    QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name || !menu_) return {};
        return menu_->labels().value(row_);
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.focusable = true;
        state.focused = menu_ && menu_->highlighted() == row_;
        state.invisible = !menu_ || !menu_->isShown();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && menu_) menu_->choose(row_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    int row() const { return row_; }
    const PopupMenuAccessibility* menu() const { return menu_; }

  private:
    QPointer<PopupMenuAccessibility> menu_;
    int row_;
};

class MenuInterface final : public QAccessibleObject {
  public:
    explicit MenuInterface(PopupMenuAccessibility* menu) : QAccessibleObject(menu) {}
    ~MenuInterface() override {
        for (const QAccessible::Id id : items_)
            if (id != 0) QAccessible::deleteAccessibleInterface(id);
    }

    QWindow* window() const override { return menu(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(QCoreApplication::instance());
    }
    int childCount() const override { return static_cast<int>(menu()->labels().size()); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        items_.resize(childCount(), 0);
        if (items_[index] == 0)
            items_[index] =
                QAccessible::registerAccessibleInterface(new MenuItemInterface(menu(), index));
        return QAccessible::accessibleInterface(items_[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* item = dynamic_cast<const MenuItemInterface*>(child);
        return item != nullptr && item->menu() == menu() ? item->row() : -1;
    }
    QAccessibleInterface* focusChild() const override {
        const auto row = menu()->highlighted();
        return row ? child(*row) : nullptr;
    }
    QAccessible::Role role() const override { return QAccessible::PopupMenu; }
    QRect rect() const override { return menu()->desktopGeometry(); }
    QString text(QAccessible::Text) const override { return {}; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !menu()->isShown();
        state.offscreen = !menu()->isShown();
        return state;
    }

  private:
    PopupMenuAccessibility* menu() const { return static_cast<PopupMenuAccessibility*>(object()); }

    mutable std::vector<QAccessible::Id> items_;  // by row; 0 until asked for
};

QAccessibleInterface* menuInterfaceFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(PopupMenuAccessibility::staticMetaObject.className()))
        return new MenuInterface(static_cast<PopupMenuAccessibility*>(object));
    return nullptr;
}

void notify(QAccessibleInterface* interface, QAccessible::Event type) {
    if (interface == nullptr) return;
    QAccessibleEvent event(interface, type);
    QAccessible::updateAccessibility(&event);
}

}  // namespace

PopupMenuAccessibility::PopupMenuAccessibility(QStringList labels,
                                               std::function<void(int row)> choose)
    : labels_(std::move(labels)), choose_(std::move(choose)) {
    static const bool installed = [] {
        QAccessible::installFactory(&menuInterfaceFactory);
        return true;
    }();
    (void)installed;
}

PopupMenuAccessibility::~PopupMenuAccessibility() {
    if (isShown() && QAccessible::isActive()) notify(accessibleRoot(), QAccessible::ObjectHide);
}

QAccessibleInterface* PopupMenuAccessibility::accessibleRoot() const {
    return QAccessible::queryAccessibleInterface(const_cast<PopupMenuAccessibility*>(this));
}

void PopupMenuAccessibility::setDesktopGeometry(const QRect& geometry) {
    const bool appears = !isShown() && geometry.isValid();
    desktopGeometry_ = geometry;
    if (appears && QAccessible::isActive()) notify(accessibleRoot(), QAccessible::ObjectShow);
}

void PopupMenuAccessibility::setHighlighted(std::optional<int> row) {
    if (row == highlighted_) return;
    highlighted_ = row;
    if (row && QAccessible::isActive()) notify(accessibleRoot()->child(*row), QAccessible::Focus);
}

QRect PopupMenuAccessibility::rowGeometry(int row) const {
    return {desktopGeometry_.left(), desktopGeometry_.top() + PopupMenuLayout::rowTop(row),
            desktopGeometry_.width(), PopupMenuLayout::kRowHeight};
}

}  // namespace ambrel::wayland
