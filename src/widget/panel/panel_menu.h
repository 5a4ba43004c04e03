#pragma once

// The indicator's menu as a list of items, apart from the protocol that shows it (dbus_menu.h).
// Item ids are given in order from 1 (0 is the protocol's root) and never change. A check item
// reads its state from its owner each time it is shown, so adding one more switch later is one
// addCheck call with a getter and a setter.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

namespace ambrel::panel {

class PanelMenu final : public QObject {
    Q_OBJECT
  public:
    enum class Kind { action, check, separator };

    struct Item {
        int id = 0;
        Kind kind = Kind::action;
        QString label{};                         // in the current language
        std::function<void()> trigger{};         // action items
        std::function<bool()> isChecked{};       // check items
        std::function<void(bool)> setChecked{};  // check items
    };

    using QObject::QObject;

    int addAction(const QString& label, std::function<void()> trigger);
    int addCheck(const QString& label, std::function<bool()> isChecked,
                 std::function<void(bool)> setChecked);
    int addSeparator();

    const std::vector<Item>& items() const { return items_; }
    const Item* item(int id) const;

    // Runs an action, or flips a check item and then says so with checkChanged. False for an
    // unknown id and for a separator.
    bool activate(int id);

  Q_SIGNALS:
    void checkChanged(int id);

  private:
    int add(Item item);

    std::vector<Item> items_;
};

}  // namespace ambrel::panel
