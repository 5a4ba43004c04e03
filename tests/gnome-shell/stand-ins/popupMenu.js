// Stand-in for resource:///org/gnome/shell/ui/popupMenu.js: menus as lists of items.
import {Actor} from './actor.js';

export class PopupMenuSection {
    constructor() {
        this.items = [];
    }

    addMenuItem(item) {
        this.items.push(item);
    }

    removeAll() {
        for (const item of this.items)
            item.destroy?.();
        this.items = [];
    }

    // Every item's text, sections' included, in the order shown.
    get texts() {
        return this.items.flatMap(item => item.texts ?? (item.label ? [item.label.text] : []));
    }

    destroy() {
        this.removeAll();
    }
}

export class PopupMenu extends PopupMenuSection {}

export class PopupSeparatorMenuItem extends Actor {}

export class PopupMenuItem extends Actor {
    constructor(text, params = {}) {
        super(params);
        this.label = {text};
    }
}

export class PopupSwitchMenuItem extends PopupMenuItem {
    constructor(text, active) {
        super(text);
        this.state = active;
        this.sensitive = true;
    }

    setToggleState(state) {
        this.state = state;
    }

    setSensitive(sensitive) {
        this.sensitive = sensitive;
    }

    // As a click on the item does.
    toggle() {
        this.state = !this.state;
        this.emit('toggled', this.state);
    }
}
