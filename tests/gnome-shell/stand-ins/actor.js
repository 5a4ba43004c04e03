// What the stand-ins' widgets share with the shell's actors, as far as the extension uses them:
// a tree of children, style classes, signals, a place and a size, an accessible name and
// description, and destroy(), which takes the actor out of the tree.

export class Actor {
    constructor(params = {}) {
        this.children = [];
        this.parent = null;
        this.destroyed = false;
        this.visible = true;
        this.x = 0;
        this.y = 0;
        this.style = null;
        this.accessible_name = '';
        this._classes = new Set();
        this._handlers = new Map();
        this._nextHandler = 1;
        this._accessible = {accessible_description: ''};
        const {style_class: styleClass, ...rest} = params;
        for (const name of (styleClass ?? '').split(' ').filter(Boolean))
            this._classes.add(name);
        Object.assign(this, rest);
    }

    add_child(child) {
        child.parent = this;
        this.children.push(child);
    }

    remove_child(child) {
        this.children = this.children.filter(candidate => candidate !== child);
        child.parent = null;
    }

    add_style_class_name(name) {
        this._classes.add(name);
    }

    remove_style_class_name(name) {
        this._classes.delete(name);
    }

    has_style_class_name(name) {
        return this._classes.has(name);
    }

    connect(signal, callback) {
        const id = this._nextHandler++;
        this._handlers.set(id, {signal, callback});
        return id;
    }

    disconnect(id) {
        if (!this._handlers.delete(id))
            throw new Error(`no handler ${id} to disconnect`);
    }

    emit(signal, ...args) {
        for (const {signal: name, callback} of [...this._handlers.values()]) {
            if (name === signal)
                callback(this, ...args);
        }
    }

    get handlerCount() {
        return this._handlers.size;
    }

    get_accessible() {
        return this._accessible;
    }

    get_resource_scale() {
        return 1;
    }

    set_position(x, y) {
        this.x = x;
        this.y = y;
    }

    show() {
        this.visible = true;
    }

    destroy() {
        if (this.destroyed)
            return;
        this.emit('destroy');
        for (const child of [...this.children])
            child.destroy();
        this.parent?.remove_child(this);
        this.destroyed = true;
        this._handlers.clear();
    }
}
