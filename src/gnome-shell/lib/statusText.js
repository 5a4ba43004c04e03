// What `ambrel-widget status` prints, read as the panel shows it. The texts are the program's,
// in the user's language; nothing here recomputes or rewords them.

export const STYLE_CLASSES = ['up', 'down', 'disconnected'];

// The label: the text format's one line, without its newline.
export function labelOf(textOutput) {
    return textOutput.replace(/\r?\n$/, '');
}

// The waybar format's tooltip lines and class. An answer that cannot be read gives no lines and
// the class of a disconnected status, rather than a stale class beside a new label.
export function detailsOf(waybarOutput) {
    try {
        const answer = JSON.parse(waybarOutput);
        const lines = typeof answer.tooltip === 'string' ? answer.tooltip.split('\n') : [];
        const styleClass = STYLE_CLASSES.includes(answer.class) ? answer.class : 'disconnected';
        return {lines: lines.filter(line => line.length > 0), styleClass};
    } catch {
        return {lines: [], styleClass: 'disconnected'};
    }
}

// `render --describe`: the face's accessible name, then its description.
export function faceTextsOf(describeOutput) {
    const [name = '', ...rest] = describeOutput.replace(/\n$/, '').split('\n');
    return {name, description: rest.join(' ')};
}
