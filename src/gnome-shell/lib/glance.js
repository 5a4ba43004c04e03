// Everything the extension shows and runs while it is enabled: the top bar's button, the faces
// on the desktop, the watch on the widget's cache and the schedule of `status` runs. The entry
// file makes one in enable() and destroys it in disable(); every handle it takes goes through
// one Handles object (handles.js), so destroy() leaves nothing behind.

import GLib from 'gi://GLib';
import Gio from 'gi://Gio';

import {STATUS_TIME_LIMIT_MS, programInstalled, runProgram} from './commands.js';
import {DesktopFaces} from './desktopFaces.js';
import {EarningsButton} from './earningsButton.js';
import {Handles} from './handles.js';
import {openAmbrel} from './openAmbrel.js';
import {ExtensionSettings} from './settings.js';
import {RunKind, StatusRuns} from './statusRuns.js';
import {detailsOf, labelOf} from './statusText.js';

// The longest age `status` accepts: a reread of the cache that never refreshes.
const NEVER_STALE = '315360000';

// The folder of the widget's cached entry, as the program names it.
function widgetCacheFolder() {
    return GLib.build_filenamev([GLib.get_user_cache_dir(), 'ambrel', 'com.corvane.ambrel.widget']);
}

// What changes a file's contents. Not the end of a write alone: `status` opens its lock file
// for writing without writing it, and that close must not read as a change.
const CONTENT_EVENTS = [
    Gio.FileMonitorEvent.CHANGED,
    Gio.FileMonitorEvent.CREATED,
    Gio.FileMonitorEvent.DELETED,
    Gio.FileMonitorEvent.MOVED_IN,
    Gio.FileMonitorEvent.MOVED_OUT,
    Gio.FileMonitorEvent.RENAMED,
];

export class AmbrelGlance {
    // `shell`: what the entry file takes from its shell (see extension.js).
    constructor(shell) {
        const handles = new Handles();
        this._handles = handles;
        this._shell = shell;
        this._logged = new Set();
        this._settings = new ExtensionSettings(shell.settings);

        const open = () => openAmbrel(handles, message => this._logOnce(message));
        this._button = new EarningsButton(shell, {
            refresh: () => this._runs.ask(RunKind.refresh),
            open,
            settings: this._settings,
        });
        this._button.showStatus('Ambrel', [], ['disconnected']);
        shell.Main.panel.addToStatusArea(shell.uuid, this._button.button);
        handles.add(() => this._button.destroy());

        this._faces = new DesktopFaces(shell, handles, this._settings, {
            clicked: open,
            failed: message => this._logOnce(message),
        });
        this._settings.onChanged(handles, () => {
            this._button.showSettings();
            this._faces.sync();
        });

        this._runs = new StatusRuns(handles, kind => this._readStatus(kind));
        this._watchCache();
        this._listenForReloads();
        this._runs.ask(RunKind.periodic);
    }

    get button() {
        return this._button.button;
    }

    get faces() {
        return this._faces.faces;
    }

    destroy() {
        this._handles.destroy();
    }

    _watchCache() {
        const folder = widgetCacheFolder();
        // The program makes it on its first run; made here, it is watched from the start.
        GLib.mkdir_with_parents(folder, 0o700);
        const monitor = Gio.File.new_for_path(folder).monitor_directory(
            Gio.FileMonitorFlags.NONE, this._handles.cancellable);
        this._handles.connect(monitor, 'changed', (_monitor, _file, _other, event) => {
            if (CONTENT_EVENTS.includes(event))
                this._runs.cacheChanged();
        });
        this._handles.add(() => monitor.cancel());
    }

    // The application asks every widget to reload after its own refresh, a sign-out or new
    // objectives, as the desktop host hears it (ui/widget_center.h).
    _listenForReloads() {
        const bus = Gio.DBus.session;
        const id = bus.signal_subscribe(null, 'com.corvane.ambrel.WidgetCenter',
            'ReloadAllTimelines', '/com/corvane/ambrel/WidgetCenter', null,
            Gio.DBusSignalFlags.NONE, () => this._runs.ask(RunKind.refresh));
        this._handles.add(() => bus.signal_unsubscribe(id));
    }

    // The label from `status`, the menu's lines and class from its waybar form of the same
    // cache, then the faces from that cache.
    async _readStatus(kind) {
        if (!programInstalled()) {
            this._button.showStatus(this._shell._('Ambrel: not installed'), [], ['disconnected']);
            this._faces.available = false;
            this._faces.sync();
            return;
        }
        const maxAge = {
            [RunKind.reread]: ['--max-age', NEVER_STALE],
            [RunKind.periodic]: [],
            [RunKind.refresh]: ['--max-age', '0'],
        }[kind];
        try {
            const text = await runProgram(this._handles, ['status', ...maxAge],
                STATUS_TIME_LIMIT_MS);
            if (!text.ok)
                this._logOnce(`status: ${text.stderr.trim()}`);
            const waybar = await runProgram(this._handles,
                ['status', '--format', 'waybar', '--max-age', NEVER_STALE], STATUS_TIME_LIMIT_MS);
            if (text.stdout.length > 0) {
                const {lines, styleClasses} = detailsOf(waybar.stdout);
                this._button.showStatus(labelOf(text.stdout), lines, styleClasses);
            }
            this._faces.available = true;
            this._faces.sync(false);
            await this._faces.drawAll();
        } catch (error) {
            if (!this._handles.destroyed)
                this._logOnce(`cannot run ambrel-widget: ${error.message}`);
        }
    }

    // Each distinct failure once per enable(): a failure that repeats every run must not fill
    // the journal.
    _logOnce(message) {
        if (this._logged.has(message))
            return;
        this._logged.add(message);
        console.warn(`Ambrel: ${message}`);
    }
}
