// Stand-in for the shell's St library (gi://St).
import {Actor} from './actor.js';

class Widget extends Actor {}

class Label extends Actor {
    constructor(params = {}) {
        super({text: '', ...params});
    }
}

const themeContext = {scale_factor: 1};

export default {
    Widget,
    Label,
    ThemeContext: {get_for_stage: () => themeContext},
    Settings: {get: () => ({drag_threshold: 8})},
};
