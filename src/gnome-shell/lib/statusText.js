// What `ambrel-widget status` prints, read as the panel shows it. The texts are the program's,
// in the user's language; nothing here recomputes or rewords them.

// The trend or the lack of figures, one of which always applies; "stale" comes beside one of
// them when the figures missed two refreshes.
export const TREND_CLASSES = ['up', 'down', 'disconnected'];
export const STYLE_CLASSES = [...TREND_CLASSES, 'stale'];

// The label: the text format's one line, without its newline.
export function labelOf(textOutput) {
    return textOutput.replace(/\r?\n$/, '');
}

// The waybar format's tooltip lines and classes (waybar's "class" is one name or a list of
// them). An answer that cannot be read gives no lines and the class of a disconnected status,
// rather than an old class beside a new label.
export function detailsOf(waybarOutput) {
    try {
        const answer = JSON.parse(waybarOutput);
        const lines = typeof answer.tooltip === 'string' ? answer.tooltip.split('\n') : [];
        const named = Array.isArray(answer.class) ? answer.class : [answer.class];
        const trend = named.find(name => TREND_CLASSES.includes(name)) ?? 'disconnected';
        const styleClasses = [trend, ...(named.includes('stale') ? ['stale'] : [])];
        return {lines: lines.filter(line => line.length > 0), styleClasses};
    } catch {
        return {lines: [], styleClasses: ['disconnected']};
    }
}

// `render --describe`: the face's accessible name, then its description.
export function faceTextsOf(describeOutput) {
    const [name = '', ...rest] = describeOutput.replace(/\n$/, '').split('\n');
    return {name, description: rest.join(' ')};
}
