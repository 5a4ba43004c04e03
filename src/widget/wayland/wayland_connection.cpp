#include "widget/wayland/wayland_connection.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "widget/wayland/wayland_output.h"
#include "widget/wayland/wayland_seat.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace ambrel::wayland {

void destroyLayerShell(zwlr_layer_shell_v1* shell) {
    if (zwlr_layer_shell_v1_get_version(shell) >= ZWLR_LAYER_SHELL_V1_DESTROY_SINCE_VERSION) {
        zwlr_layer_shell_v1_destroy(shell);
    } else {
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(shell));
    }
}

void destroyXdgOutputManager(zxdg_output_manager_v1* manager) {
    zxdg_output_manager_v1_destroy(manager);
}

void destroyViewporter(wp_viewporter* viewporter) {
    wp_viewporter_destroy(viewporter);
}

void destroyFractionalScaleManager(wp_fractional_scale_manager_v1* manager) {
    wp_fractional_scale_manager_v1_destroy(manager);
}

void destroyWmBase(xdg_wm_base* wmBase) {
    xdg_wm_base_destroy(wmBase);
}

namespace {

// The highest version of each interface whose requests and events this client handles.
constexpr uint32_t kCompositorVersion = 4;
constexpr uint32_t kLayerShellVersion = 4;
constexpr uint32_t kOutputVersion = 4;
constexpr uint32_t kSeatVersion = 5;
constexpr uint32_t kXdgOutputManagerVersion = 3;
constexpr uint32_t kWmBaseVersion = 2;

template <typename T>
T* bind(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t offered,
        uint32_t highest) {
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, highest)));
}

}  // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::open(const char* display) {
    wl_display* connected = wl_display_connect(display);
    if (!connected) return nullptr;
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection(connected));
    // The first round trip announces the globals, the second what the bound ones tell.
    if (!connection->roundtrip() || !connection->roundtrip()) return nullptr;
    return connection;
}

WaylandConnection::WaylandConnection(wl_display* display)
    : display_(display),
      readable_(wl_display_get_fd(display), QSocketNotifier::Read),
      writable_(wl_display_get_fd(display), QSocketNotifier::Write),
      registry_(wl_display_get_registry(display)) {
    static const wl_registry_listener listener = {
        .global = &WaylandConnection::global, .global_remove = &WaylandConnection::globalRemove};
    wl_registry_add_listener(registry_.get(), &listener, this);
    writable_.setEnabled(false);
    connect(&readable_, &QSocketNotifier::activated, this, &WaylandConnection::dispatch);
    connect(&writable_, &QSocketNotifier::activated, this, &WaylandConnection::flush);
    // Requests made anywhere in the program go out before the event loop waits for the next
    // event, as Qt's own connection does it.
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &WaylandConnection::flush);
    }
}

WaylandConnection::~WaylandConnection() {
    // Seats and outputs hold proxies of this display; they go before it is disconnected.
    seats_.clear();
    outputs_.clear();
}

void WaylandConnection::setPointerHandler(PointerHandler* handler) {
    pointerHandler_ = handler;
}

void WaylandConnection::forgetSurface(wl_surface* surface) {
    for (const auto& seat : seats_) seat->forget(surface);
}

void WaylandConnection::global(void* data, wl_registry* registry, uint32_t name,
                               const char* interface, uint32_t version) {
    auto& self = *static_cast<WaylandConnection*>(data);
    const auto is = [interface](const wl_interface& known) {
        return std::strcmp(interface, known.name) == 0;
    };
    if (is(wl_compositor_interface)) {
        self.compositor_.reset(bind<wl_compositor>(registry, name, &wl_compositor_interface,
                                                   version, kCompositorVersion));
    } else if (is(wl_shm_interface)) {
        self.shm_.reset(bind<wl_shm>(registry, name, &wl_shm_interface, version, 1));
    } else if (is(zwlr_layer_shell_v1_interface)) {
        self.layerShell_.reset(bind<zwlr_layer_shell_v1>(
            registry, name, &zwlr_layer_shell_v1_interface, version, kLayerShellVersion));
    } else if (is(zxdg_output_manager_v1_interface)) {
        self.xdgOutputManager_.reset(bind<zxdg_output_manager_v1>(
            registry, name, &zxdg_output_manager_v1_interface, version, kXdgOutputManagerVersion));
        for (const auto& output : self.outputs_) output->describeWith(self.xdgOutputManager_.get());
    } else if (is(wp_viewporter_interface)) {
        self.viewporter_.reset(
            bind<wp_viewporter>(registry, name, &wp_viewporter_interface, version, 1));
    } else if (is(wp_fractional_scale_manager_v1_interface)) {
        self.fractionalScale_.reset(bind<wp_fractional_scale_manager_v1>(
            registry, name, &wp_fractional_scale_manager_v1_interface, version, 1));
    } else if (is(xdg_wm_base_interface)) {
        self.wmBase_.reset(
            bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, kWmBaseVersion));
        // A client that does not answer the compositor's pings is taken for hung.
        static const xdg_wm_base_listener listener = {
            .ping = [](void*, xdg_wm_base* base, uint32_t serial) {
                xdg_wm_base_pong(base, serial);
            }};
        xdg_wm_base_add_listener(self.wmBase_.get(), &listener, nullptr);
    } else if (is(wl_output_interface)) {
        self.addOutput(name, version);
    } else if (is(wl_seat_interface)) {
        self.seats_.push_back(std::make_unique<WaylandSeat>(
            bind<wl_seat>(registry, name, &wl_seat_interface, version, kSeatVersion), name,
            self.pointerHandler_));
    }
}

void WaylandConnection::addOutput(uint32_t name, uint32_t version) {
    auto* handle =
        bind<wl_output>(registry_.get(), name, &wl_output_interface, version, kOutputVersion);
    outputs_.push_back(std::make_unique<WaylandOutput>(
        handle, name, [this](WaylandOutput& output) { Q_EMIT outputChanged(&output); }));
    outputs_.back()->describeWith(xdgOutputManager_.get());
}

void WaylandConnection::globalRemove(void* data, wl_registry*, uint32_t name) {
    auto& self = *static_cast<WaylandConnection*>(data);
    const auto output = std::find_if(self.outputs_.begin(), self.outputs_.end(),
                                     [name](const auto& o) { return o->globalName() == name; });
    if (output != self.outputs_.end()) {
        Q_EMIT self.outputRemoved(output->get());
        self.outputs_.erase(output);
        return;
    }
    std::erase_if(self.seats_, [name](const auto& seat) { return seat->globalName() == name; });
}

// Reads what the socket holds, then runs the handlers of every complete event.
void WaylandConnection::dispatch() {
    if (failed_) return;
    wl_display* display = display_.get();
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0) return fail();
    }
    if (wl_display_read_events(display) < 0) return fail();
    if (wl_display_dispatch_pending(display) < 0) return fail();
    flush();
}

void WaylandConnection::flush() {
    if (failed_) return;
    if (wl_display_flush(display_.get()) >= 0) {
        writable_.setEnabled(false);
    } else if (errno == EAGAIN) {
        writable_.setEnabled(true);  // the rest goes out once the socket can take it
    } else {
        fail();
    }
}

bool WaylandConnection::roundtrip() {
    if (failed_) return false;
    if (wl_display_roundtrip(display_.get()) < 0) {
        fail();
        return false;
    }
    return true;
}

void WaylandConnection::fail() {
    if (failed_) return;
    failed_ = true;
    readable_.setEnabled(false);
    writable_.setEnabled(false);
    const int error = wl_display_get_error(display_.get());
    QString reason = QString::fromLocal8Bit(std::strerror(error ? error : EPIPE));
    if (error == EPROTO) {
        const wl_interface* interface = nullptr;
        uint32_t id = 0;
        const uint32_t code = wl_display_get_protocol_error(display_.get(), &interface, &id);
        reason = QStringLiteral("protocol error %1 on %2")
                     .arg(code)
                     .arg(QLatin1String(interface ? interface->name : "the display"));
    }
    Q_EMIT lost(reason);
}

}  // namespace ambrel::wayland
