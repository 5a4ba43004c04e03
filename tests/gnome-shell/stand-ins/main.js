// Stand-in for resource:///org/gnome/shell/ui/main.js: the top bar's status area and the
// layout manager with its background group and one monitor.
import {Actor} from './actor.js';

export const panel = {
    statusArea: {},
    rightBox: new Actor(),
    addToStatusArea(role, button) {
        if (this.statusArea[role])
            throw new Error(`Extension point conflict: there is already a status indicator for role ${role}`);
        this.statusArea[role] = button;
        this.rightBox.add_child(button);
        button.connect('destroy', () => delete this.statusArea[role]);
        return button;
    },
};

const monitor = {index: 0, x: 0, y: 0, width: 1280, height: 800};

export const layoutManager = Object.assign(new Actor(), {
    _backgroundGroup: new Actor(),
    monitors: [monitor],
    primaryIndex: 0,
    getWorkAreaForMonitor: () => ({x: 0, y: 32, width: 1280, height: 768}),
});
