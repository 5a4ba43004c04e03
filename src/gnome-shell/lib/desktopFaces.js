// The chosen faces on the desktop, each drawn by `ambrel-widget render` from the widget's cached
// entry into a PNG of its own at the monitor's scale, and kept where the user put it.

import GLib from 'gi://GLib';
import Gio from 'gi://Gio';

import {RENDER_TIME_LIMIT_MS, runProgram} from './commands.js';
import {DesktopFace} from './desktopFace.js';
import {FACE_SIZES, areaHolding, chosenFamilies, defaultPlaces, keptOnArea} from './facePlaces.js';
import {faceTextsOf} from './statusText.js';

// A private folder of the session's runtime directory, which goes away with the session.
function picturesFolder() {
    return GLib.build_filenamev([GLib.get_user_runtime_dir(), 'ambrel-gnome-shell']);
}

// A face moved to a monitor of another scale is drawn again. GNOME 43 tells that change with a
// signal of its own; a shell that only notifies the property is heard through that instead.
function onScaleChange(actor, callback) {
    try {
        actor.connect('resource-scale-changed', callback);
    } catch {
        actor.connect('notify::resource-scale', callback);
    }
}

export class DesktopFaces {
    // `settings`: settings.js; `events`: clicked() for a face clicked without a drag, and
    // failed(message) for a drawing that failed (logged by the owner, once per message).
    constructor(shell, handles, settings, events) {
        this._shell = shell;
        this._handles = handles;
        this._settings = settings;
        this._events = events;
        this._faces = new Map();
        this._drawings = new Map();
        // Whether the program can draw them: no faces at all while it is not installed.
        this.available = false;
        this._folder = picturesFolder();
        GLib.mkdir_with_parents(this._folder, 0o700);
        handles.add(() => this._destroy());
        // The top bar's strut and the monitors come and go, also while the shell starts up.
        handles.connect(shell.Main.layoutManager, 'monitors-changed', () => this._placeAll());
        handles.connect(shell.global.display, 'workareas-changed', () => this._placeAll());
    }

    // The faces the settings ask for, created or removed; new ones are drawn at once unless
    // the caller draws them all next.
    sync(drawNew = true) {
        const shown = this.available && this._settings.showOnDesktop();
        const wanted = shown ? this._settings.faces() : [];
        for (const [family, face] of this._faces) {
            if (!wanted.includes(family)) {
                face.destroy();
                this._faces.delete(family);
            }
        }
        const missing = wanted.filter(family => !this._faces.has(family));
        if (missing.length === 0)
            return;
        for (const family of missing) {
            const face = new DesktopFace(this._shell, family, {x: 0, y: 0}, {
                // A face dropped partly off the screen comes back onto it.
                moved: (name, place) => {
                    const kept = this._kept(name, place);
                    this._faces.get(name)?.moveTo(kept);
                    this._settings.savePlace(name, kept);
                },
                clicked: () => this._events.clicked(),
            });
            // Goes with the actor when the face is removed.
            onScaleChange(face.actor, () => this._draw(face));
            this._faces.set(family, face);
            if (drawNew)
                this._draw(face);
        }
        // The faces not put anywhere by the user make room for the new ones.
        this._placeAll();
    }

    // Draws every face again from the cache, after the figures changed.
    drawAll() {
        return Promise.all([...this._faces.values()].map(face => this._draw(face)));
    }

    get faces() {
        return [...this._faces.values()];
    }

    // Stored places where there are some, kept on the screen; the default ones elsewhere.
    _places(families) {
        const {Main} = this._shell;
        const area = Main.layoutManager.getWorkAreaForMonitor(Main.layoutManager.primaryIndex);
        const defaults = defaultPlaces(families, area, this._themeScale());
        const stored = this._settings.places();
        const places = {};
        for (const family of families)
            places[family] = this._kept(family, stored[family] ?? defaults[family]);
        return places;
    }

    _kept(family, place) {
        const {Main} = this._shell;
        const areas = Main.layoutManager.monitors.map(
            monitor => Main.layoutManager.getWorkAreaForMonitor(monitor.index));
        const {width, height} = FACE_SIZES[family];
        const scale = this._themeScale();
        const size = {width: width * scale, height: height * scale};
        return keptOnArea(place, size, areaHolding(place, areas));
    }

    _placeAll() {
        const places = this._places(chosenFamilies([...this._faces.keys()]));
        for (const face of this._faces.values())
            face.moveTo(places[face.family]);
    }

    _themeScale() {
        const {St, global} = this._shell;
        return St.ThemeContext.get_for_stage(global.stage).scale_factor;
    }

    // One drawing of a family at a time, since each writes the same file (also for a face
    // removed and chosen again meanwhile); a change that comes meanwhile is drawn once that
    // one has ended.
    _draw(face) {
        const family = face.family;
        const running = this._drawings.get(family);
        if (running) {
            running.again = true;
            return running.done;
        }
        const drawing = {again: false};
        drawing.done = this._drawOnce(family).finally(() => {
            this._drawings.delete(family);
            const current = this._faces.get(family);
            if (drawing.again && current && !this._handles.destroyed)
                this._draw(current);
        });
        this._drawings.set(family, drawing);
        return drawing.done;
    }

    // Renders into a file beside the shown one and renames it over it, so the shell never
    // reads a half-written picture; a failed drawing leaves the last one on the desktop.
    async _drawOnce(family) {
        const shown = GLib.build_filenamev([this._folder, `${family}.png`]);
        const drawing = `${shown}.new`;
        const scale = Math.min(8, Math.max(1, this._faces.get(family)?.renderScale() ?? 1));
        const args = ['render', '--family', family, '--cached', '--describe',
            '--scale', String(scale), '--output', drawing];
        try {
            const answer = await runProgram(this._handles, args, RENDER_TIME_LIMIT_MS);
            if (!answer.ok)
                throw new Error(answer.stderr.trim());
            Gio.File.new_for_path(drawing).move(Gio.File.new_for_path(shown),
                Gio.FileCopyFlags.OVERWRITE, null, null);
            this._faces.get(family)?.show(Gio.File.new_for_path(shown).get_uri(),
                faceTextsOf(answer.stdout));
        } catch (error) {
            if (!this._handles.destroyed)
                this._events.failed(`render --family ${family}: ${error.message}`);
        }
    }

    _destroy() {
        for (const face of this._faces.values())
            face.destroy();
        this._faces.clear();
        for (const family of Object.keys(FACE_SIZES)) {
            for (const name of [`${family}.png`, `${family}.png.new`])
                GLib.unlink(GLib.build_filenamev([this._folder, name]));
        }
    }
}
