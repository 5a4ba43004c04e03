// Stand-in for resource:///org/gnome/shell/ui/panelMenu.js.
import {Actor} from './actor.js';
import {PopupMenu} from './popupMenu.js';

export class Button extends Actor {
    constructor(_alignment, nameText, _dontCreateMenu) {
        super({accessible_name: nameText});
        this.menu = new PopupMenu();
    }

    destroy() {
        this.menu.destroy();
        super.destroy();
    }
}
