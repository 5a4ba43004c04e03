// The top bar's button: the status line as its label, and a menu with the tooltip's lines, the
// two actions and the desktop's widgets. The shell's classes come in `shell` (see glance.js), so
// this module imports none of them.

import {setAccessibleDescription} from './accessibility.js';
import {FAMILIES, chosenFamilies} from './facePlaces.js';
import {STYLE_CLASSES} from './statusText.js';

export class EarningsButton {
    // `actions`: refresh(), open(), and the settings the menu shows and changes (settings.js).
    constructor(shell, actions) {
        const {St, Clutter, PanelMenu, PopupMenu, _} = shell;
        this._shell = shell;
        this._actions = actions;
        this.button = new PanelMenu.Button(0.5, _('AdSense earnings'), false);
        this.button.add_style_class_name('ambrel-button');
        this._label = new St.Label({
            style_class: 'ambrel-label',
            y_align: Clutter.ActorAlign.CENTER,
        });
        this.button.add_child(this._label);

        const menu = this.button.menu;
        this._lines = new PopupMenu.PopupMenuSection();
        menu.addMenuItem(this._lines);
        menu.addMenuItem(new PopupMenu.PopupSeparatorMenuItem());
        this._addAction(_('Refresh now'), () => actions.refresh());
        this._addAction(_('Open Ambrel'), () => actions.open());
        menu.addMenuItem(new PopupMenu.PopupSeparatorMenuItem());

        this._desktopSwitch = new PopupMenu.PopupSwitchMenuItem(
            _('Show widgets on the desktop'), actions.settings.showOnDesktop());
        this._desktopSwitch.connect('toggled', (_item, on) => actions.settings.setShowOnDesktop(on));
        menu.addMenuItem(this._desktopSwitch);
        const names = {small: _('Small widget'), medium: _('Medium widget'), large: _('Large widget')};
        this._faceSwitches = {};
        for (const family of FAMILIES) {
            const item = new PopupMenu.PopupSwitchMenuItem(names[family], false);
            item.connect('toggled', (_item, on) => actions.settings.setFaceChosen(family, on));
            menu.addMenuItem(item);
            this._faceSwitches[family] = item;
        }
        this.showSettings();
    }

    _addAction(text, activate) {
        const item = new this._shell.PopupMenu.PopupMenuItem(text);
        item.connect('activate', activate);
        this.button.menu.addMenuItem(item);
    }

    // The label exactly as `status` printed it; the accessible name holds it too, and the
    // description the tooltip's lines, so a screen reader reads what the menu shows.
    showStatus(label, lines, styleClasses) {
        this._label.text = label;
        this.button.accessible_name = label;
        setAccessibleDescription(this.button, lines.join('\n'));
        for (const name of STYLE_CLASSES) {
            if (styleClasses.includes(name))
                this.button.add_style_class_name(name);
            else
                this.button.remove_style_class_name(name);
        }
        // Text to read, not to press: in the theme's colour for such lines, and reachable with
        // the keyboard, so that a screen reader reads each in turn.
        this._lines.removeAll();
        for (const line of lines) {
            this._lines.addMenuItem(
                new this._shell.PopupMenu.PopupMenuItem(line, {activate: false, hover: false}));
        }
    }

    // The switches as the settings have them now, also after a change made elsewhere.
    showSettings() {
        const settings = this._actions.settings;
        const shown = settings.showOnDesktop();
        this._desktopSwitch.setToggleState(shown);
        const chosen = chosenFamilies(settings.faces());
        for (const [family, item] of Object.entries(this._faceSwitches)) {
            item.setToggleState(chosen.includes(family));
            item.setSensitive(shown);
        }
    }

    destroy() {
        this.button.destroy();
    }
}
