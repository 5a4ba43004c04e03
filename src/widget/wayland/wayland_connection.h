#pragma once

// The program's own connection to the Wayland compositor, beside Qt's: its events are read and
// dispatched in Qt's event loop (a socket notifier on the connection's descriptor), and what
// was asked is flushed before the loop sleeps. It binds the globals the widget faces need and
// keeps the outputs and seats as the compositor adds and removes them.

#include <wayland-client.h>

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "widget/wayland/wayland_proxy.h"

struct zwlr_layer_shell_v1;
struct zxdg_output_manager_v1;
struct wp_viewporter;
struct wp_fractional_scale_manager_v1;
struct xdg_wm_base;

namespace ambrel::wayland {

class WaylandOutput;
class WaylandSeat;
class PointerHandler;

void destroyLayerShell(zwlr_layer_shell_v1* shell);
void destroyXdgOutputManager(zxdg_output_manager_v1* manager);
void destroyViewporter(wp_viewporter* viewporter);
void destroyFractionalScaleManager(wp_fractional_scale_manager_v1* manager);
void destroyWmBase(xdg_wm_base* wmBase);

class WaylandConnection final : public QObject {
    Q_OBJECT
  public:
    // Connects to `display` (a socket name or path; null for $WAYLAND_DISPLAY) and learns the
    // globals and the outputs with two round trips. Null when no compositor answers.
    static std::unique_ptr<WaylandConnection> open(const char* display);
    ~WaylandConnection() override;

    wl_display* display() const { return display_.get(); }
    wl_compositor* compositor() const { return compositor_.get(); }
    wl_shm* shm() const { return shm_.get(); }
    zwlr_layer_shell_v1* layerShell() const { return layerShell_.get(); }
    wp_viewporter* viewporter() const { return viewporter_.get(); }
    wp_fractional_scale_manager_v1* fractionalScale() const { return fractionalScale_.get(); }
    // For the faces' menus (xdg popups of their layer surfaces); null when not offered.
    xdg_wm_base* wmBase() const { return wmBase_.get(); }
    const std::vector<std::unique_ptr<WaylandOutput>>& outputs() const { return outputs_; }

    // Where the pointer events of every seat go. Borrowed; set before the first dispatch.
    void setPointerHandler(PointerHandler* handler);

    // A surface is about to be destroyed: no seat may hand it out any more.
    void forgetSurface(wl_surface* surface);

    // Sends what is queued. Requests made outside an event handler call it, or wait for the
    // event loop to do so before it sleeps.
    void flush();
    // Sends everything and waits until the compositor has handled it. False once the
    // connection has failed.
    bool roundtrip();

  Q_SIGNALS:
    // An output has its first complete description, or a later change of it is complete.
    void outputChanged(ambrel::wayland::WaylandOutput* output);
    // The output is about to be destroyed: nothing may be placed on it any more.
    void outputRemoved(ambrel::wayland::WaylandOutput* output);
    // The compositor went away or ended the connection for a protocol error.
    void lost(const QString& reason);

  private:
    explicit WaylandConnection(wl_display* display);
    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version);
    static void globalRemove(void* data, wl_registry* registry, uint32_t name);
    void addOutput(uint32_t name, uint32_t version);
    void dispatch();
    void fail();

    // First, so it is disconnected after every proxy below has been destroyed.
    Proxy<wl_display, wl_display_disconnect> display_;
    QSocketNotifier readable_;
    QSocketNotifier writable_;  // only while the socket's buffer is full
    bool failed_ = false;
    PointerHandler* pointerHandler_ = nullptr;
    Proxy<wl_registry, destroyRegistry> registry_;
    Proxy<wl_compositor, destroyCompositor> compositor_;
    Proxy<wl_shm, destroyShm> shm_;
    Proxy<zwlr_layer_shell_v1, destroyLayerShell> layerShell_;
    Proxy<zxdg_output_manager_v1, destroyXdgOutputManager> xdgOutputManager_;
    Proxy<wp_viewporter, destroyViewporter> viewporter_;
    Proxy<wp_fractional_scale_manager_v1, destroyFractionalScaleManager> fractionalScale_;
    Proxy<xdg_wm_base, destroyWmBase> wmBase_;
    std::vector<std::unique_ptr<WaylandOutput>> outputs_;
    std::vector<std::unique_ptr<WaylandSeat>> seats_;
};

}  // namespace ambrel::wayland
