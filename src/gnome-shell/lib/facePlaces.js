// The faces' sizes and places on the desktop, in the shell's stage coordinates. Sizes are the
// widget families' own, in logical pixels; a place is the face's top-left corner.

export const FAMILIES = ['small', 'medium', 'large'];

export const FACE_SIZES = {
    small: {width: 170, height: 170},
    medium: {width: 364, height: 170},
    large: {width: 364, height: 382},
};

// Gap between the faces, and from the work area's edge, where they are first put: the same as
// the desktop host's windows.
const GAP = 16;

// The families among `names`, each once, in the order small, medium, large.
export function chosenFamilies(names) {
    return FAMILIES.filter(family => names.includes(family));
}

// Where faces never placed by the user go: one below the other at the right edge of `area`
// (the primary monitor's work area), in the order of `families`. `scale` turns logical pixels
// into stage pixels.
export function defaultPlaces(families, area, scale = 1) {
    const places = {};
    let top = area.y + GAP * scale;
    for (const family of families) {
        const {width, height} = FACE_SIZES[family];
        places[family] = {x: area.x + area.width - (GAP + width) * scale, y: top};
        top += (height + GAP) * scale;
    }
    return places;
}

// A place that keeps the whole face of `size` on `area`, moved as little as it takes.
export function keptOnArea(place, size, area) {
    const clamp = (value, low, high) => Math.min(Math.max(value, low), Math.max(low, high));
    return {
        x: Math.round(clamp(place.x, area.x, area.x + area.width - size.width)),
        y: Math.round(clamp(place.y, area.y, area.y + area.height - size.height)),
    };
}

// The area among `areas` that holds `point`, else the first (the primary monitor's).
export function areaHolding(point, areas) {
    return areas.find(area => point.x >= area.x && point.x < area.x + area.width &&
        point.y >= area.y && point.y < area.y + area.height) ?? areas[0];
}

// The stored places ({family: [x, y]}, as GSettings unpacks a{s(ii)}) that name a family.
export function placesFromStored(stored) {
    const places = {};
    for (const [family, pair] of Object.entries(stored ?? {})) {
        if (FAMILIES.includes(family) && Array.isArray(pair) && pair.length === 2 &&
            pair.every(Number.isFinite))
            places[family] = {x: pair[0], y: pair[1]};
    }
    return places;
}

export function placesToStored(places) {
    const stored = {};
    for (const [family, {x, y}] of Object.entries(places))
        stored[family] = [Math.round(x), Math.round(y)];
    return stored;
}
