// A test's window into the shell: Eval answers only in unsafe mode, which only code inside the
// shell can turn on. globalThis.ambrelTest gives the tests what they ask through Eval, read
// from the shell's own structures rather than from the extension under test.
/* exported init */

const {Clutter, GLib, St} = imports.gi;
const Main = imports.ui.main;
const System = imports.system;

const UUID = 'ambrel@corvane.com';

function actorBox(actor) {
    const [x, y] = actor.get_transformed_position();
    const [width, height] = actor.get_transformed_size();
    return {x: Math.round(x), y: Math.round(y), width: Math.round(width),
        height: Math.round(height)};
}

// Every actor under `actor` with the style class `name`, wherever the extension put it.
function withClass(actor, name) {
    const found = actor.has_style_class_name?.(name) ? [actor] : [];
    for (const child of actor.get_children())
        found.push(...withClass(child, name));
    return found;
}

function texts(actor) {
    const found = [];
    if (actor instanceof St.Label)
        found.push(actor.text);
    for (const child of actor.get_children())
        found.push(...texts(child));
    return found;
}

const testApi = {
    // The panel button of the extension, its menu's texts, and its faces on the desktop.
    state() {
        const button = Main.panel.statusArea[UUID] ?? null;
        const group = Main.layoutManager._backgroundGroup;
        const faces = withClass(global.stage, 'ambrel-face');
        const windowGroup = global.window_group.get_children();
        return {
            buttons: withClass(global.stage, 'ambrel-button').length,
            label: button ? texts(button)[0] ?? null : null,
            accessibleName: button?.accessible_name ?? null,
            accessibleDescription: button?.get_accessible()?.accessible_description ?? null,
            classes: button ? ['up', 'down', 'disconnected'].filter(
                name => button.has_style_class_name(name)) : [],
            menu: button ? texts(button.menu.box) : [],
            faces: faces.map(face => ({
                ...actorBox(face),
                inBackgroundGroup: face.get_parent() === group,
                classes: face.get_style_class_name(),
                visible: face.visible,
                style: face.style,
                accessibleName: face.accessible_name,
                accessibleDescription: face.get_accessible()?.accessible_description ?? null,
            })),
            backgroundGroupIndex: windowGroup.indexOf(group),
            windows: global.get_window_actors().map(actor => ({
                title: actor.meta_window.get_title(),
                ...actorBox(actor),
                frame: (({x, y, width, height}) => ({x, y, width, height}))(
                    actor.meta_window.get_frame_rect()),
                index: windowGroup.indexOf(actor),
            })),
            overview: Main.overview.visible,
        };
    },

    // Activates the menu item of the extension's button that reads `text`.
    activateMenuItem(text) {
        const button = Main.panel.statusArea[UUID];
        const item = button?.menu._getMenuItems().find(
            candidate => candidate.label?.text === text);
        item?.activate(Clutter.get_current_event());
        return item !== undefined;
    },

    // Moves the window titled `title` so its frame's corner is at (x, y); true once it is there
    // (a new window may still be placed by the shell after the first move).
    moveWindow(title, x, y) {
        const window = global.get_window_actors().map(actor => actor.meta_window).find(
            candidate => candidate.get_title() === title);
        if (!window)
            return false;
        const frame = window.get_frame_rect();
        if (frame.x === x && frame.y === y)
            return true;
        window.move_frame(true, x, y);
        return false;
    },

    // Presses the primary button at `from`, moves to `to` in steps and releases it there, one
    // event per frame or so; `dragDone` turns true at the end.
    drag(fromX, fromY, toX, toY) {
        // One device for the shell's whole life: disposing of one while the input thread still
        // handles its events crashes the shell.
        testApi._pointer ??= Clutter.get_default_backend().get_default_seat()
            .create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE);
        const pointer = testApi._pointer;
        const now = () => GLib.get_monotonic_time();
        const steps = [() => pointer.notify_absolute_motion(now(), fromX, fromY),
            () => pointer.notify_button(now(), Clutter.BUTTON_PRIMARY, Clutter.ButtonState.PRESSED)];
        for (let i = 1; i <= 10; i++) {
            const x = fromX + (toX - fromX) * i / 10, y = fromY + (toY - fromY) * i / 10;
            steps.push(() => pointer.notify_absolute_motion(now(), x, y));
        }
        steps.push(() => pointer.notify_button(now(), Clutter.BUTTON_PRIMARY,
            Clutter.ButtonState.RELEASED));
        testApi.dragDone = false;
        GLib.timeout_add(GLib.PRIORITY_DEFAULT, 20, () => {
            steps.shift()();
            if (steps.length > 0)
                return GLib.SOURCE_CONTINUE;
            testApi.dragDone = true;
            return GLib.SOURCE_REMOVE;
        });
        return true;
    },
    dragDone: false,

    // Milliseconds the extension's own disable() takes, measured around that call alone; the
    // extension is enabled again at once, so the shell's bookkeeping never sees it.
    timeDisable() {
        const extension = Main.extensionManager.lookup(UUID).stateObj;
        const start = GLib.get_monotonic_time();
        extension.disable();
        const elapsed = (GLib.get_monotonic_time() - start) / 1000;
        extension.enable();
        return elapsed;
    },

    // Whether the shell has started and shows the desktop: it starts in the overview, which
    // hides the desktop, so that is hidden first.
    ready() {
        if (Main.layoutManager._startingUp || Main.overview.animationInProgress)
            return false;
        if (Main.overview.visible) {
            Main.overview.hide();
            return false;
        }
        return true;
    },

    collectGarbage() {
        System.gc();
        return true;
    },
};

class Helper {
    enable() {
        global.context.unsafe_mode = true;
        globalThis.ambrelTest = testApi;
    }

    // Unsafe mode stays: the tests keep asking while they disable the extension under test.
    disable() {
    }
}

function init() {
    return new Helper();
}
