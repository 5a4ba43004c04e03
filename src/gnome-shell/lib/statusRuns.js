// When the extension runs `ambrel-widget status`. Three kinds of run, from the cheapest:
//   reread   after the widget's cache changed: reads it, never refreshes;
//   periodic at enable() and at least every 30 minutes: refreshes a stale cache itself;
//   refresh  "Refresh now": refreshes unless `status` refreshed less than a minute ago.
// One run at a time; what is asked for meanwhile is merged into one run of the strongest kind.
// The runs that may reach the network start at most once a minute, however often they are
// asked for (the program itself also spaces its attempts).

import GLib from 'gi://GLib';

export const RunKind = {reread: 0, periodic: 1, refresh: 2};

export const PERIOD_MS = 30 * 60 * 1000;
export const NETWORK_SPACING_MS = 60 * 1000;
// A refresh writes several files in a row: one reread once they have settled.
export const SETTLE_MS = 1000;

export class StatusRuns {
    // `run(kind)` returns a promise that ends with the run; `handles` holds the timers.
    constructor(handles, run, now = () => GLib.get_monotonic_time() / 1000) {
        this._handles = handles;
        this._run = run;
        this._now = now;
        this._rereadWanted = false;
        this._networkWanted = null;
        this._running = false;
        this._lastNetworkRun = null;
        this._startTimer = 0;
        this._periodTimer = 0;
        this._settleTimer = 0;
    }

    ask(kind) {
        if (kind === RunKind.reread)
            this._rereadWanted = true;
        else
            this._networkWanted = Math.max(this._networkWanted ?? kind, kind);
        this._next();
    }

    cacheChanged() {
        this._handles.cancelTimer(this._settleTimer);
        this._settleTimer = this._handles.timeout(SETTLE_MS, () => this.ask(RunKind.reread));
    }

    // Starts what is wanted and allowed now. A network run that must wait does not hold back
    // a reread: the label follows the cache meanwhile.
    _next() {
        if (this._running)
            return;
        this._handles.cancelTimer(this._startTimer);
        const wait = this._networkWanted === null ? Infinity : this._networkWait();
        if (wait === 0)
            this._start(this._networkWanted);
        else if (this._rereadWanted)
            this._start(RunKind.reread);
        else if (wait !== Infinity)
            this._startTimer = this._handles.timeout(wait, () => this._next());
    }

    _networkWait() {
        if (this._lastNetworkRun === null)
            return 0;
        return Math.max(0, Math.ceil(this._lastNetworkRun + NETWORK_SPACING_MS - this._now()));
    }

    async _start(kind) {
        this._running = true;
        // Every run reads the cache; a network run may refresh it first.
        this._rereadWanted = false;
        if (kind !== RunKind.reread) {
            this._networkWanted = null;
            this._lastNetworkRun = this._now();
            this._handles.cancelTimer(this._periodTimer);
        }
        try {
            await this._run(kind);
        } catch {
            // The owner has said why; the schedule goes on.
        }
        this._running = false;
        if (this._handles.destroyed)
            return;
        if (kind !== RunKind.reread)
            this._periodTimer = this._handles.timeout(PERIOD_MS, () => this.ask(RunKind.periodic));
        this._next();
    }
}
