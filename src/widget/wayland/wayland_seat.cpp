#include "widget/wayland/wayland_seat.h"

#include <linux/input-event-codes.h>

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
            self(data).focus_ = surface;
            self(data).at_ = point(x, y);
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
    .button =
        [](void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
            WaylandSeat& seat = self(data);
            if (button != BTN_LEFT || !seat.focus_ || !seat.handler_) return;
            seat.handler_->pointerButton(seat.focus_, seat.at_,
                                         state == WL_POINTER_BUTTON_STATE_PRESSED);
        },
    .axis = [](void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {},
    .frame = [](void*, wl_pointer*) {},
    .axis_source = [](void*, wl_pointer*, uint32_t) {},
    .axis_stop = [](void*, wl_pointer*, uint32_t, uint32_t) {},
    .axis_discrete = [](void*, wl_pointer*, uint32_t, int32_t) {},
    .axis_value120 = [](void*, wl_pointer*, uint32_t, int32_t) {},
};

WaylandSeat::WaylandSeat(wl_seat* seat, uint32_t globalName, PointerHandler* const& handler)
    : seat_(seat), globalName_(globalName), handler_(handler) {
    wl_seat_add_listener(seat_.get(), &kSeatListener, this);
}

void WaylandSeat::forget(wl_surface* surface) {
    if (focus_ == surface) focus_ = nullptr;
}

// A seat may gain or lose its pointer at any time (a mouse plugged in, a virtual pointer made).
void WaylandSeat::capabilities(uint32_t capabilities) {
    const bool hasPointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    if (hasPointer && !pointer_) {
        pointer_.reset(wl_seat_get_pointer(seat_.get()));
        wl_pointer_add_listener(pointer_.get(), &kPointerListener, this);
    } else if (!hasPointer && pointer_) {
        pointer_.reset();
        focus_ = nullptr;
    }
}

}  // namespace ambrel::wayland
