// The entry of GNOME Shell 43 and 44, which load extensions with the `imports` importer. It
// gathers what the shared logic takes from the shell, and loads that logic (ES modules, the
// same files as the entry of 45 and later) with import(), which these shells' GJS supports.
/* exported init */

const {Atk, Clutter, St} = imports.gi;
const ExtensionUtils = imports.misc.extensionUtils;
const Gettext = imports.gettext;
const Main = imports.ui.main;
const PanelMenu = imports.ui.panelMenu;
const PopupMenu = imports.ui.popupMenu;

class AmbrelExtension {
    constructor() {
        this._glance = null;
        this._loading = null;
    }

    enable() {
        const me = ExtensionUtils.getCurrentExtension();
        const shell = {
            Atk, Clutter, St, Main, PanelMenu, PopupMenu, global,
            _: Gettext.domain(me.metadata['gettext-domain']).gettext,
            uuid: me.uuid,
            settings: ExtensionUtils.getSettings(),
        };
        // A disable() that comes before the modules have loaded cancels this enable().
        const loading = {};
        this._loading = loading;
        import(me.dir.get_child('lib').get_child('glance.js').get_uri()).then(({AmbrelGlance}) => {
            if (this._loading !== loading)
                return;
            this._loading = null;
            this._glance = new AmbrelGlance(shell);
        }).catch(error => Main.extensionManager.logExtensionError(me.uuid, error));
    }

    disable() {
        this._loading = null;
        this._glance?.destroy();
        this._glance = null;
    }
}

function init() {
    ExtensionUtils.initTranslations();
    return new AmbrelExtension();
}
