// What an actor tells assistive technologies beyond its accessible name.

// Set as the property: the accessible object of a reactive actor also implements Atk.Action,
// whose set_description(index, text) would shadow Atk.Object's.
export function setAccessibleDescription(actor, description) {
    const accessible = actor.get_accessible();
    if (accessible)
        accessible.accessible_description = description;
}
