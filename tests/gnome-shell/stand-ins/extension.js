// Stand-in for resource:///org/gnome/shell/extensions/extension.js: the base class of the
// extension, with the settings of the schema compiled beside the extension, in memory.
import Gio from 'gi://Gio';

export class Extension {
    constructor(metadata) {
        this.metadata = metadata;
        this.uuid = metadata.uuid;
        this.path = metadata.path;
    }

    getSettings() {
        const source = Gio.SettingsSchemaSource.new_from_directory(`${this.path}/schemas`,
            Gio.SettingsSchemaSource.get_default(), false);
        const schema = source.lookup(this.metadata['settings-schema'], false);
        return new Gio.Settings({settings_schema: schema});
    }

    gettext(text) {
        return text;
    }
}
