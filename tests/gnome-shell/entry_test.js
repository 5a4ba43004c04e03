// The ES-module entry of GNOME Shell 45 to 48, from the staged copy that is installed and
// packed, loaded by `gjs -m` against stand-ins for the shell's modules (stand-ins/), with a
// stand-in `ambrel-widget` on the PATH that logs every run:
//   gjs -m entry_test.js STAGED_EXTENSION_FOLDER
// enable() puts one button with the status line and one face on the desktop; disable() takes
// them away and leaves nothing that runs later; enable() again brings one of each; without the
// program the label says so. The shell's own libraries (St, Clutter) cannot load outside the
// shell, so the entry's imports of them, and of the shell's modules, are pointed at the
// stand-ins in a copy; the rest of the file is loaded as shipped.

import GLib from 'gi://GLib';
import System from 'system';

const here = GLib.path_get_dirname(GLib.filename_from_uri(import.meta.url)[0]);
const staged = System.programArgs[0];
const work = GLib.dir_make_tmp('ambrel-entry-XXXXXX');
const log = `${work}/runs.log`;
const path = GLib.getenv('PATH');
let failures = 0;

function check(condition, what) {
    if (!condition) {
        failures++;
        printerr(`FAIL: ${what}`);
    }
}

function write(path, text) {
    GLib.file_set_contents(path, text);
}

function run(argv) {
    const [, , stderr, status] = GLib.spawn_sync(null, argv, null, GLib.SpawnFlags.SEARCH_PATH,
        null);
    if (status !== 0)
        throw new Error(`${argv.join(' ')}: ${new TextDecoder().decode(stderr)}`);
}

// What the program prints for a signed-in status, and a face it draws.
const standInProgram = `#!/bin/sh
echo "$*" >> '${log}'
case "$*" in
"status --format waybar"*)
  printf '%s\\n' '{"text": "€1.00 · 10%", "tooltip": "AdSense earnings\\nToday: €1.00", "class": "up"}' ;;
status*)
  printf '€1.00 · 10%%\\n' ;;
render*)
  previous=
  for argument; do [ "$previous" = --output ] && printf png > "$argument"; previous=$argument; done
  printf 'AdSense earnings\\nToday, €1.00\\n' ;;
esac
`;

const standIns = {
    'gi://St': 'St.js',
    'gi://Clutter': 'Clutter.js',
    'resource:///org/gnome/shell/extensions/extension.js': 'extension.js',
    'resource:///org/gnome/shell/ui/main.js': 'main.js',
    'resource:///org/gnome/shell/ui/panelMenu.js': 'panelMenu.js',
    'resource:///org/gnome/shell/ui/popupMenu.js': 'popupMenu.js',
};

// A copy of the staged folder whose entry imports the stand-ins; an import of the shell that
// has no stand-in fails the test rather than going unnoticed.
function entryAgainstStandIns() {
    const copy = `${work}/extension`;
    run(['cp', '-r', staged, copy]);
    const [, bytes] = GLib.file_get_contents(`${staged}/extension.js`);
    const source = new TextDecoder().decode(bytes).replace(
        /from '((gi|resource):[^']+)'/g, (whole, specifier) => {
            if (specifier === 'gi://Atk')
                return whole;
            if (!(specifier in standIns))
                throw new Error(`no stand-in for ${specifier}`);
            return `from 'file://${here}/stand-ins/${standIns[specifier]}'`;
        });
    write(`${copy}/extension.js`, source);
    return copy;
}

function runsSoFar() {
    const [ok, bytes] = GLib.file_test(log, GLib.FileTest.EXISTS)
        ? GLib.file_get_contents(log) : [true, new Uint8Array()];
    return ok ? new TextDecoder().decode(bytes).split('\n').filter(Boolean).length : 0;
}

function wait(milliseconds) {
    return new Promise(resolve => GLib.timeout_add(GLib.PRIORITY_DEFAULT, milliseconds, () => {
        resolve();
        return GLib.SOURCE_REMOVE;
    }));
}

async function until(condition, what, milliseconds = 5000) {
    for (let waited = 0; waited < milliseconds; waited += 20) {
        if (condition())
            return true;
        await wait(20);
    }
    check(false, what);
    return false;
}

async function main() {
    for (const name of ['bin', 'cache', 'runtime', 'empty'])
        GLib.mkdir_with_parents(`${work}/${name}`, 0o700);
    write(`${work}/bin/ambrel-widget`, standInProgram);
    run(['chmod', '755', `${work}/bin/ambrel-widget`]);
    GLib.setenv('PATH', `${work}/bin:/usr/bin:/bin`, true);
    GLib.setenv('XDG_CACHE_HOME', `${work}/cache`, true);
    GLib.setenv('XDG_RUNTIME_DIR', `${work}/runtime`, true);
    GLib.setenv('GSETTINGS_BACKEND', 'memory', true);

    const {Actor} = await import(`file://${here}/stand-ins/actor.js`);
    globalThis.global = {
        stage: Object.assign(new Actor(), {grab: () => ({dismiss() {}})}),
        display: new Actor(),
    };
    const Main = await import(`file://${here}/stand-ins/main.js`);
    const copy = entryAgainstStandIns();
    const [, metadataBytes] = GLib.file_get_contents(`${copy}/metadata.json`);
    const metadata = JSON.parse(new TextDecoder().decode(metadataBytes));
    check(metadata['shell-version'].every(version => Number(version) >= 45),
        `the ES-module copy is for GNOME 45 and later: ${metadata['shell-version']}`);
    const {default: AmbrelExtension} = await import(`file://${copy}/extension.js`);
    const extension = new AmbrelExtension({...metadata, path: copy});
    const background = Main.layoutManager._backgroundGroup;
    const button = () => Main.panel.statusArea[metadata.uuid];

    const showsOneOfEach = async round => {
        extension.enable();
        await until(() => button()?.children[0]?.text === '€1.00 · 10%',
            `${round}: the label is the status line`);
        check(Main.panel.rightBox.children.length === 1, `${round}: one button`);
        check(button()?.has_style_class_name('up'), `${round}: the class of the status line`);
        check(button()?.accessible_name.includes('€1.00 · 10%'), `${round}: the accessible name`);
        const menu = button()?.menu.texts ?? [];
        for (const text of ['AdSense earnings', 'Today: €1.00', 'Refresh now', 'Open Ambrel'])
            check(menu.includes(text), `${round}: "${text}" in the menu ${menu}`);
        await until(() => background.children.length === 1 && background.children[0].visible,
            `${round}: one face on the desktop`);
        const face = background.children[0];
        check(face?.has_style_class_name('ambrel-face-medium'), `${round}: the medium face`);
        check(face?.style?.includes('medium.png'), `${round}: drawn from its PNG`);
        check(face?.get_accessible().accessible_description === 'Today, €1.00',
            `${round}: the face's description`);
    };

    // waybar's class may be a list: figures that missed two refreshes keep their trend and add
    // "stale".
    const {detailsOf} = await import(`file://${copy}/lib/statusText.js`);
    const stale = detailsOf(JSON.stringify({text: 'x', tooltip: 'a\nb', class: ['down', 'stale']}));
    check(stale.styleClasses.join() === 'down,stale' && stale.lines.length === 2,
        `the classes of old figures: ${stale.styleClasses}`);
    check(detailsOf('not json').styleClasses.join() === 'disconnected', 'an unreadable status');

    await showsOneOfEach('first enable');
    extension.disable();
    check(button() === undefined && Main.panel.rightBox.children.length === 0,
        'disable() removes the button');
    check(background.children.length === 0, 'disable() removes the faces');
    check(Main.layoutManager.handlerCount === 0 && global.display.handlerCount === 0,
        'disable() disconnects from the layout and the display');
    // Neither the watch on the cache nor a timer outlives disable().
    const runs = runsSoFar();
    write(`${work}/cache/ambrel/com.corvane.ambrel.widget/earnings.snapshot`, '{}');
    await wait(1500);
    check(runsSoFar() === runs, `nothing runs after disable(): ${runsSoFar() - runs} runs`);

    await showsOneOfEach('enable again');
    extension.disable();

    GLib.setenv('PATH', `${work}/empty`, true);
    extension.enable();
    await until(() => button()?.children[0]?.text === 'Ambrel: not installed',
        'without the program the label says so');
    check(background.children.length === 0, 'without the program there is no face');
    extension.disable();
    GLib.setenv('PATH', path, true);
}

const loop = new GLib.MainLoop(null, false);
main().catch(error => {
    failures++;
    printerr(`FAIL: ${error}\n${error.stack}`);
}).finally(() => loop.quit());
loop.run();
run(['rm', '-rf', work]);
if (failures > 0)
    System.exit(1);
print('the ES-module entry enables, disables and enables again cleanly');
