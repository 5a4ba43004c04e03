// The extension's few choices, kept in its GSettings schema (schemas/) so that they outlive a
// restart of the shell: whether the faces are on the desktop, which ones, and where.

import GLib from 'gi://GLib';

import {chosenFamilies, placesFromStored, placesToStored} from './facePlaces.js';

export class ExtensionSettings {
    constructor(gioSettings) {
        this._settings = gioSettings;
    }

    showOnDesktop() {
        return this._settings.get_boolean('show-on-desktop');
    }

    setShowOnDesktop(on) {
        this._settings.set_boolean('show-on-desktop', on);
    }

    // The chosen families, in the order small, medium, large.
    faces() {
        return chosenFamilies(this._settings.get_strv('faces'));
    }

    setFaceChosen(family, on) {
        const others = this.faces().filter(name => name !== family);
        this._settings.set_strv('faces', on ? [...others, family] : others);
    }

    places() {
        return placesFromStored(this._settings.get_value('face-places').deep_unpack());
    }

    savePlace(family, place) {
        const places = {...this.places(), [family]: place};
        this._settings.set_value('face-places',
            new GLib.Variant('a{s(ii)}', placesToStored(places)));
    }

    // `callback` after any change, until `handles` is destroyed.
    onChanged(handles, callback) {
        handles.connect(this._settings, 'changed', () => callback());
    }
}
