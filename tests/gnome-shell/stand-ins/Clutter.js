// Stand-in for the shell's Clutter library (gi://Clutter).
export default {
    ActorAlign: {FILL: 0, START: 1, CENTER: 2, END: 3},
    BUTTON_PRIMARY: 1,
    EVENT_PROPAGATE: false,
    EVENT_STOP: true,
};
