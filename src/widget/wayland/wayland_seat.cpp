#include "widget/wayland/wayland_seat.h"

#include <linux/input-event-codes.h>
#include <unistd.h>

namespace ambrel::wayland {

void releaseSeat(wl_seat* seat) {
    if (wl_seat_get_version(seat) >= WL_SEAT_RELEASE_SINCE_VERSION) {
        wl_seat_release(seat);
    } else {
        wl_seat_destroy(seat);
    }
}

void releasePointer(wl_pointer* pointer) {
    if (wl_pointer_get_version(pointer) >= WL_POINTER_RELEASE_SINCE_VERSION) {
        wl_pointer_release(pointer);
    } else {
        wl_pointer_destroy(pointer);
    }
}

void releaseKeyboard(wl_keyboard* keyboard) {
    if (wl_keyboard_get_version(keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
        wl_keyboard_release(keyboard);
    } else {
        wl_keyboard_destroy(keyboard);
    }
}

namespace {

WaylandSeat& self(void* data) {
    return *static_cast<WaylandSeat*>(data);
}

QPointF point(wl_fixed_t x, wl_fixed_t y) {
    return {wl_fixed_to_double(x), wl_fixed_to_double(y)};
}

}  // namespace

const wl_seat_listener WaylandSeat::kSeatListener = {
    .capabilities = [](void* data, wl_seat*, uint32_t caps) { self(data).capabilities(caps); },
    .name = [](void*, wl_seat*, const char*) {},
};

const wl_pointer_listener WaylandSeat::kPointerListener = {
    .enter =
        [](void* data, wl_pointer*, uint32_t, wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
            WaylandSeat& seat = self(data);
            seat.focus_ = surface;
            seat.at_ = point(x, y);
            if (seat.handler_) seat.handler_->pointerMotion(surface, seat.at_);
        },
    .leave =
        [](void* data, wl_pointer*, uint32_t, wl_surface*) {
            WaylandSeat& seat = self(data);
            if (seat.focus_ && seat.handler_) seat.handler_->pointerLeft(seat.focus_);
            seat.focus_ = nullptr;
        },
    .motion =
        [](void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
            WaylandSeat& seat = self(data);
            seat.at_ = point(x, y);
            if (seat.focus_ && seat.handler_) seat.handler_->pointerMotion(seat.focus_, seat.at_);
        },
    .button = [](void* data, wl_pointer*, uint32_t serial, uint32_t, uint32_t button,
                 uint32_t state) { self(data).button(serial, button, state); },
    .axis = [](void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {},
    .frame = [](void*, wl_pointer*) {},
    .axis_source = [](void*, wl_pointer*, uint32_t) {},
    .axis_stop = [](void*, wl_pointer*, uint32_t, uint32_t) {},
    .axis_discrete = [](void*, wl_pointer*, uint32_t, int32_t) {},
    .axis_value120 = [](void*, wl_pointer*, uint32_t, int32_t) {},
};

// Keys are read by their evdev codes (arrows, Return, Escape), which need no keymap.
const wl_keyboard_listener WaylandSeat::kKeyboardListener = {
    .keymap = [](void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { ::close(fd); },
    .enter = [](void* data, wl_keyboard*, uint32_t, wl_surface* surface,
                wl_array*) { self(data).keyboardFocus_ = surface; },
    .leave = [](void* data, wl_keyboard*, uint32_t,
                wl_surface*) { self(data).keyboardFocus_ = nullptr; },
    .key =
        [](void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
            WaylandSeat& seat = self(data);
            if (state != WL_KEYBOARD_KEY_STATE_PRESSED || !seat.keyboardFocus_ || !seat.handler_)
                return;
            seat.handler_->keyPressed(seat.keyboardFocus_, key);
        },
    .modifiers = [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {},
    .repeat_info = [](void*, wl_keyboard*, int32_t, int32_t) {},
};

WaylandSeat::WaylandSeat(wl_seat* seat, uint32_t globalName, PointerHandler* const& handler)
    : seat_(seat), globalName_(globalName), handler_(handler) {
    wl_seat_add_listener(seat_.get(), &kSeatListener, this);
}

void WaylandSeat::forget(wl_surface* surface) {
    if (focus_ == surface) focus_ = nullptr;
    if (keyboardFocus_ == surface) keyboardFocus_ = nullptr;
}

void WaylandSeat::button(uint32_t serial, uint32_t button, uint32_t state) {
    if ((button != BTN_LEFT && button != BTN_RIGHT) || !focus_ || !handler_) return;
    handler_->pointerButton(
        {.surface = focus_,
         .at = at_,
         .button = button == BTN_LEFT ? PointerButton::primary : PointerButton::secondary,
         .pressed = state == WL_POINTER_BUTTON_STATE_PRESSED,
         .seat = seat_.get(),
         .serial = serial});
}

// A seat may gain or lose its pointer or keyboard at any time (a mouse plugged in, a virtual
// pointer made).
void WaylandSeat::capabilities(uint32_t capabilities) {
    const bool hasPointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    if (hasPointer && !pointer_) {
        pointer_.reset(wl_seat_get_pointer(seat_.get()));
        wl_pointer_add_listener(pointer_.get(), &kPointerListener, this);
    } else if (!hasPointer && pointer_) {
        pointer_.reset();
        focus_ = nullptr;
    }
    const bool hasKeyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    if (hasKeyboard && !keyboard_) {
        keyboard_.reset(wl_seat_get_keyboard(seat_.get()));
        wl_keyboard_add_listener(keyboard_.get(), &kKeyboardListener, this);
    } else if (!hasKeyboard && keyboard_) {
        keyboard_.reset();
        keyboardFocus_ = nullptr;
    }
}

}  // namespace ambrel::wayland
