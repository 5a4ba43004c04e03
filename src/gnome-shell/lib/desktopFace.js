// One face on the desktop: an actor in the shell's background group (below every window) that
// shows the PNG `ambrel-widget render` drew, carries the texts the faces give assistive
// technologies, and can be dragged with the pointer; a click without a drag opens Ambrel.

import {setAccessibleDescription} from './accessibility.js';
import {FACE_SIZES} from './facePlaces.js';

export class DesktopFace {
    // `place` in stage pixels; `events`: moved(family, place) after a drag, clicked().
    constructor(shell, family, place, events) {
        const {St, Atk, Main} = shell;
        this.family = family;
        this._shell = shell;
        this._events = events;
        this._drag = null;
        // Logical pixels, scaled the way the shell scales its own widgets.
        const scale = this.themeScale();
        const {width, height} = FACE_SIZES[family];
        this.actor = new St.Widget({
            style_class: `ambrel-face ambrel-face-${family}`,
            reactive: true,
            visible: false,
            accessible_role: Atk.Role.IMAGE,
            x: place.x,
            y: place.y,
            width: width * scale,
            height: height * scale,
        });
        this.actor.connect('button-press-event', (_actor, event) => this._pressed(event));
        this.actor.connect('motion-event', (_actor, event) => this._moved(event));
        this.actor.connect('button-release-event', (_actor, event) => this._released(event));
        Main.layoutManager._backgroundGroup.add_child(this.actor);
    }

    themeScale() {
        return this._shell.St.ThemeContext.get_for_stage(this._shell.global.stage).scale_factor;
    }

    // The device pixels per logical pixel where the face is now: what `render --scale` takes.
    renderScale() {
        return this.themeScale() * this.actor.get_resource_scale();
    }

    // Shows the picture at `uri` (a file the caller replaces atomically on each new drawing:
    // the shell's texture cache watches it and draws the new picture) and its accessible texts.
    // A URI, whose escapes keep any character of the path out of the style's syntax.
    show(uri, {name, description}) {
        this.actor.style = `background-image: url("${uri}"); background-size: cover;`;
        this.actor.accessible_name = name;
        setAccessibleDescription(this.actor, description);
        this.actor.show();
    }

    _pressed(event) {
        const {Clutter, global} = this._shell;
        if (event.get_button() !== Clutter.BUTTON_PRIMARY || this._drag)
            return Clutter.EVENT_PROPAGATE;
        const [x, y] = event.get_coords();
        this._drag = {
            startX: x, startY: y, fromX: this.actor.x, fromY: this.actor.y,
            moving: false, grab: global.stage.grab(this.actor),
        };
        return Clutter.EVENT_STOP;
    }

    _moved(event) {
        const {Clutter, St} = this._shell;
        if (!this._drag)
            return Clutter.EVENT_PROPAGATE;
        const [x, y] = event.get_coords();
        const drag = this._drag;
        const threshold = St.Settings.get().drag_threshold * this.themeScale();
        if (Math.abs(x - drag.startX) > threshold || Math.abs(y - drag.startY) > threshold)
            drag.moving = true;
        if (drag.moving)
            this.actor.set_position(drag.fromX + x - drag.startX, drag.fromY + y - drag.startY);
        return Clutter.EVENT_STOP;
    }

    _released(event) {
        const {Clutter} = this._shell;
        if (!this._drag || event.get_button() !== Clutter.BUTTON_PRIMARY)
            return Clutter.EVENT_PROPAGATE;
        const moved = this._drag.moving;
        this._endDrag();
        if (moved)
            this._events.moved(this.family, {x: this.actor.x, y: this.actor.y});
        else
            this._events.clicked();
        return Clutter.EVENT_STOP;
    }

    _endDrag() {
        this._drag?.grab.dismiss();
        this._drag = null;
    }

    moveTo(place) {
        this.actor.set_position(place.x, place.y);
    }

    destroy() {
        this._endDrag();
        this.actor.destroy();
    }
}
