#pragma once

// One seat's pointer and keyboard, for the faces and their menus: which of the connection's
// surfaces the pointer is over, where, and when its primary or secondary button goes down and
// up; and which keys go down while a menu has the keyboard. Surfaces of this connection are
// the faces and their menus alone, so every event concerns one of them.

#include <wayland-client.h>

#include <QPointF>

#include "widget/wayland/wayland_proxy.h"

namespace ambrel::wayland {

enum class PointerButton { primary, secondary };

struct ButtonEvent {
    wl_surface* surface = nullptr;
    QPointF at;  // surface-local, in logical pixels
    PointerButton button = PointerButton::primary;
    bool pressed = false;
    // What a popup's grab must name: the seat and the serial of the press.
    wl_seat* seat = nullptr;
    uint32_t serial = 0;
};

class PointerHandler {
  public:
    virtual void pointerButton(const ButtonEvent& event) = 0;
    // Also when the pointer enters the surface. Surface-local, in logical pixels.
    virtual void pointerMotion(wl_surface* surface, QPointF at) = 0;
    virtual void pointerLeft(wl_surface* surface) = 0;
    // A key went down on the surface that has the keyboard; `key` is its evdev code.
    virtual void keyPressed(wl_surface* surface, uint32_t key) = 0;

  protected:
    ~PointerHandler() = default;
};

void releaseSeat(wl_seat* seat);
void releasePointer(wl_pointer* pointer);
void releaseKeyboard(wl_keyboard* keyboard);

class WaylandSeat {
  public:
    WaylandSeat(wl_seat* seat, uint32_t globalName, PointerHandler* const& handler);
    WaylandSeat(const WaylandSeat&) = delete;
    WaylandSeat& operator=(const WaylandSeat&) = delete;

    uint32_t globalName() const { return globalName_; }
    // A face or a menu is going away: its surface must not be handed out any more.
    void forget(wl_surface* surface);

  private:
    static const wl_seat_listener kSeatListener;
    static const wl_pointer_listener kPointerListener;
    static const wl_keyboard_listener kKeyboardListener;
    void capabilities(uint32_t capabilities);
    void button(uint32_t serial, uint32_t button, uint32_t state);

    Proxy<wl_seat, releaseSeat> seat_;
    Proxy<wl_pointer, releasePointer> pointer_;
    Proxy<wl_keyboard, releaseKeyboard> keyboard_;
    uint32_t globalName_;
    PointerHandler* const& handler_;  // the connection's, which may be set after this exists
    wl_surface* focus_ = nullptr;
    wl_surface* keyboardFocus_ = nullptr;
    QPointF at_;
};

}  // namespace ambrel::wayland
