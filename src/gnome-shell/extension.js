// The entry of GNOME Shell 45 to 48, which load extensions as ES modules. It only gathers what
// the shared logic (lib/) takes from the shell; the logic imports no shell module itself.

import Atk from 'gi://Atk';
import Clutter from 'gi://Clutter';
import St from 'gi://St';

import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import * as PanelMenu from 'resource:///org/gnome/shell/ui/panelMenu.js';
import * as PopupMenu from 'resource:///org/gnome/shell/ui/popupMenu.js';

import {AmbrelGlance} from './lib/glance.js';

export default class AmbrelExtension extends Extension {
    enable() {
        this._glance = new AmbrelGlance({
            Atk, Clutter, St, Main, PanelMenu, PopupMenu, global,
            _: text => this.gettext(text),
            uuid: this.uuid,
            settings: this.getSettings(),
        });
    }

    disable() {
        this._glance?.destroy();
        this._glance = null;
    }
}
