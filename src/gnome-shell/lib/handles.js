// Everything the extension holds between enable() and disable(): main-loop sources, signal
// connections, running children and whatever else must be let go. Each is registered here as
// it is made, so that disable() is one destroy() and nothing outlives it.

import GLib from 'gi://GLib';
import Gio from 'gi://Gio';

export class Handles {
    constructor() {
        this._releases = [];
        this._timers = new Set();
        this._children = new Set();
        // Every asynchronous call of the extension takes it, so destroy() stops them all.
        this.cancellable = new Gio.Cancellable();
        this.destroyed = false;
    }

    // `release` runs at destroy(), the latest registered first.
    add(release) {
        this._releases.push(release);
    }

    connect(object, signal, callback) {
        const id = object.connect(signal, callback);
        this.add(() => object.disconnect(id));
        return id;
    }

    // A one-shot timer; the id goes to cancelTimer() if it must stop sooner.
    timeout(milliseconds, callback) {
        const id = GLib.timeout_add(GLib.PRIORITY_DEFAULT, milliseconds, () => {
            this._timers.delete(id);
            callback();
            return GLib.SOURCE_REMOVE;
        });
        this._timers.add(id);
        return id;
    }

    // Forgets a timer that has already fired, so a source is never removed twice.
    cancelTimer(id) {
        if (this._timers.delete(id))
            GLib.source_remove(id);
    }

    // A child that destroy() ends if it still runs; untrack() it once it has ended.
    track(child) {
        this._children.add(child);
    }

    untrack(child) {
        this._children.delete(child);
    }

    destroy() {
        this.destroyed = true;
        this.cancellable.cancel();
        for (const child of this._children)
            child.force_exit();
        this._children.clear();
        for (const id of this._timers)
            GLib.source_remove(id);
        this._timers.clear();
        while (this._releases.length > 0)
            this._releases.pop()();
    }
}
