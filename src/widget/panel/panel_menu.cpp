#include "widget/panel/panel_menu.h"

#include <utility>

namespace ambrel::panel {

int PanelMenu::add(Item item) {
    item.id = static_cast<int>(items_.size()) + 1;
    items_.push_back(std::move(item));
    return items_.back().id;
}

int PanelMenu::addAction(const QString& label, std::function<void()> trigger) {
    return add({.kind = Kind::action, .label = label, .trigger = std::move(trigger)});
}

int PanelMenu::addCheck(const QString& label, std::function<bool()> isChecked,
                        std::function<void(bool)> setChecked) {
    return add({.kind = Kind::check,
                .label = label,
                .isChecked = std::move(isChecked),
                .setChecked = std::move(setChecked)});
}

int PanelMenu::addSeparator() {
    return add({.kind = Kind::separator});
}

const PanelMenu::Item* PanelMenu::item(int id) const {
    if (id < 1 || id > static_cast<int>(items_.size())) return nullptr;
    return &items_[static_cast<std::size_t>(id - 1)];
}

bool PanelMenu::activate(int id) {
    const Item* found = item(id);
    if (found == nullptr) return false;
    switch (found->kind) {
        case Kind::action:
            found->trigger();
            return true;
        case Kind::check:
            found->setChecked(!found->isChecked());
            Q_EMIT checkChanged(id);
            return true;
        case Kind::separator:
            break;
    }
    return false;
}

}  // namespace ambrel::panel
