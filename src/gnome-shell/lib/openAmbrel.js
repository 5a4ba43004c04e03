// "Open Ambrel": the running application brings its window to the front when asked through the
// freedesktop Application interface under its bus name; when none answers, it is started.

import GLib from 'gi://GLib';
import Gio from 'gi://Gio';

const BUS_NAME = 'com.corvane.ambrel';
const OBJECT_PATH = '/com/corvane/ambrel';
const DESKTOP_ENTRY = 'com.corvane.ambrel.desktop';

// `failed(message)` when neither works. Never waits: the call answers asynchronously.
export function openAmbrel(handles, failed) {
    Gio.DBus.session.call(BUS_NAME, OBJECT_PATH, 'org.freedesktop.Application', 'Activate',
        new GLib.Variant('(a{sv})', [{}]), null, Gio.DBusCallFlags.NO_AUTO_START, -1,
        handles.cancellable, (bus, result) => {
            try {
                bus.call_finish(result);
            } catch (error) {
                if (!error.matches(Gio.IOErrorEnum, Gio.IOErrorEnum.CANCELLED))
                    start(failed);
            }
        });
}

// Through its desktop entry where there is one, so the shell tracks the start like any other.
// The application is the user's: it outlives the extension.
function start(failed) {
    try {
        const entry = Gio.DesktopAppInfo.new(DESKTOP_ENTRY);
        if (entry)
            entry.launch([], null);
        else
            Gio.Subprocess.new(['ambrel'], Gio.SubprocessFlags.NONE);
    } catch (error) {
        failed(`cannot start Ambrel: ${error.message}`);
    }
}
