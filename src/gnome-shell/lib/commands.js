// The extension draws nothing and computes no figure of its own: it runs `ambrel-widget`, which
// reads the same cache as every other surface. Each run is asynchronous and has a time limit,
// so the compositor never waits on a child, and a stuck one is ended.

import GLib from 'gi://GLib';
import Gio from 'gi://Gio';

export const PROGRAM = 'ambrel-widget';

// A `status` whose cache is stale refreshes first: a token request and a report or three,
// each allowed the program's network time-out. A drawing needs no network.
export const STATUS_TIME_LIMIT_MS = 180_000;
export const RENDER_TIME_LIMIT_MS = 30_000;

// Whether the program can be started at all; the label says so when it cannot.
export function programInstalled() {
    return GLib.find_program_in_path(PROGRAM) !== null;
}

// Runs `ambrel-widget ...args`. Resolves to {ok, stdout, stderr}: ok when it exited with
// status 0 within the time limit. Rejects only when it cannot be started, or when `handles`
// was destroyed meanwhile (the rejection then says nothing worth showing).
export function runProgram(handles, args, timeLimitMs) {
    return new Promise((resolve, reject) => {
        const child = Gio.Subprocess.new([PROGRAM, ...args],
            Gio.SubprocessFlags.STDOUT_PIPE | Gio.SubprocessFlags.STDERR_PIPE);
        handles.track(child);
        let timedOut = false;
        const timer = handles.timeout(timeLimitMs, () => {
            timedOut = true;
            child.force_exit();
        });
        child.communicate_utf8_async(null, handles.cancellable, (_child, result) => {
            handles.untrack(child);
            handles.cancelTimer(timer);
            try {
                const [, stdout, stderr] = child.communicate_utf8_finish(result);
                const ok = !timedOut && child.get_if_exited() && child.get_exit_status() === 0;
                const said = timedOut ? `no answer within ${timeLimitMs / 1000} s` : stderr;
                resolve({ok, stdout: stdout ?? '', stderr: said ?? ''});
            } catch (error) {
                reject(error);
            }
        });
    });
}
