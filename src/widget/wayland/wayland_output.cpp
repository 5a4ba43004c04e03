#include "widget/wayland/wayland_output.h"

#include <utility>

#include "xdg-output-unstable-v1-client-protocol.h"

namespace ambrel::wayland {

void destroyXdgOutput(zxdg_output_v1* output) {
    zxdg_output_v1_destroy(output);
}

// wl_output.release came with version 3; before it the proxy is only forgotten.
void releaseOutput(wl_output* output) {
    if (wl_output_get_version(output) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
        wl_output_release(output);
    } else {
        wl_output_destroy(output);
    }
}

namespace {

// Before version 3 of xdg-output its own `done` closes a description; from 3 on, wl_output's.
constexpr uint32_t kXdgOutputVersion = 3;

WaylandOutput& self(void* data) {
    return *static_cast<WaylandOutput*>(data);
}

}  // namespace

const wl_output_listener WaylandOutput::kListener = {
    .geometry = [](void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                   const char*, int32_t) {},
    .mode =
        [](void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
            if (flags & WL_OUTPUT_MODE_CURRENT) self(data).modeSize_ = QSize(width, height);
        },
    .done = [](void* data, wl_output*) { self(data).done(); },
    .scale = [](void* data, wl_output*,
                int32_t factor) { self(data).scale_ = factor > 0 ? factor : 1; },
    .name = [](void*, wl_output*, const char*) {},
    .description = [](void*, wl_output*, const char*) {},
};

WaylandOutput::WaylandOutput(wl_output* output, uint32_t globalName,
                             std::function<void(WaylandOutput&)> onDone)
    : output_(output), globalName_(globalName), onDone_(std::move(onDone)) {
    wl_output_add_listener(output_.get(), &kListener, this);
}

void WaylandOutput::describeWith(zxdg_output_manager_v1* manager) {
    if (!manager || xdgOutput_) return;
    static const zxdg_output_v1_listener listener = {
        .logical_position = [](void* data, zxdg_output_v1*, int32_t x,
                               int32_t y) { self(data).logical_.moveTo(x, y); },
        .logical_size =
            [](void* data, zxdg_output_v1*, int32_t width, int32_t height) {
                self(data).logical_.setSize(QSize(width, height));
                self(data).hasLogical_ = true;
            },
        .done =
            [](void* data, zxdg_output_v1* output) {
                if (zxdg_output_v1_get_version(output) < kXdgOutputVersion) self(data).done();
            },
        .name = [](void*, zxdg_output_v1*, const char*) {},
        .description = [](void*, zxdg_output_v1*, const char*) {},
    };
    xdgOutput_.reset(zxdg_output_manager_v1_get_xdg_output(manager, output_.get()));
    zxdg_output_v1_add_listener(xdgOutput_.get(), &listener, this);
    waitingForLogical_ = true;
}

void WaylandOutput::done() {
    if (waitingForLogical_ && !hasLogical_) return;
    ready_ = true;
    if (onDone_) onDone_(*this);
}

QRect WaylandOutput::logicalGeometry() const {
    if (hasLogical_) return logical_;
    return QRect(QPoint(0, 0), modeSize_ / scale_);
}

}  // namespace ambrel::wayland
