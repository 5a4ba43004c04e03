#pragma once

// One seat's pointer, for dragging the faces: which of the connection's surfaces it is over,
// where, and when its primary button goes down and up. Surfaces of this connection are the
// faces alone, so every event concerns one of them.

#include <wayland-client.h>

#include <QPointF>

#include "widget/wayland/wayland_proxy.h"

namespace ambrel::wayland {

class PointerHandler {
  public:
    // Surface-local coordinates, in logical pixels.
    virtual void pointerButton(wl_surface* surface, QPointF at, bool pressed) = 0;
    virtual void pointerMotion(wl_surface* surface, QPointF at) = 0;
    virtual void pointerLeft(wl_surface* surface) = 0;

  protected:
    ~PointerHandler() = default;
};

void releaseSeat(wl_seat* seat);
void releasePointer(wl_pointer* pointer);

class WaylandSeat {
  public:
    WaylandSeat(wl_seat* seat, uint32_t globalName, PointerHandler* const& handler);
    WaylandSeat(const WaylandSeat&) = delete;
    WaylandSeat& operator=(const WaylandSeat&) = delete;

    uint32_t globalName() const { return globalName_; }
    // A face is going away: its surface must not be handed out any more.
    void forget(wl_surface* surface);

  private:
    static const wl_seat_listener kSeatListener;
    static const wl_pointer_listener kPointerListener;
    void capabilities(uint32_t capabilities);

    Proxy<wl_seat, releaseSeat> seat_;
    Proxy<wl_pointer, releasePointer> pointer_;
    uint32_t globalName_;
    PointerHandler* const& handler_;  // the connection's, which may be set after this exists
    wl_surface* focus_ = nullptr;
    QPointF at_;
};

}  // namespace ambrel::wayland
