#pragma once

// One output (screen) as the compositor describes it: its integer scale, and its place and
// size in the desktop's logical coordinates (from xdg-output where offered, else its mode
// divided by its scale at the origin).

#include <wayland-client.h>

#include <QRect>
#include <QSize>
#include <cstdint>
#include <functional>

#include "widget/wayland/wayland_proxy.h"

struct zxdg_output_manager_v1;
struct zxdg_output_v1;

namespace ambrel::wayland {

void destroyXdgOutput(zxdg_output_v1* output);
void releaseOutput(wl_output* output);

class WaylandOutput {
  public:
    // `onDone` runs each time a description of the output is complete.
    WaylandOutput(wl_output* output, uint32_t globalName,
                  std::function<void(WaylandOutput&)> onDone);
    WaylandOutput(const WaylandOutput&) = delete;
    WaylandOutput& operator=(const WaylandOutput&) = delete;

    // Asks for the logical place and size; the output is not ready before they have come.
    void describeWith(zxdg_output_manager_v1* manager);

    wl_output* handle() const { return output_.get(); }
    uint32_t globalName() const { return globalName_; }
    bool isReady() const { return ready_; }
    int scale() const { return scale_; }
    QRect logicalGeometry() const;

  private:
    static const wl_output_listener kListener;
    void done();

    Proxy<wl_output, releaseOutput> output_;
    Proxy<zxdg_output_v1, destroyXdgOutput> xdgOutput_;
    uint32_t globalName_;
    std::function<void(WaylandOutput&)> onDone_;
    int scale_ = 1;
    QSize modeSize_;
    QRect logical_;
    bool hasLogical_ = false;
    bool ready_ = false;
    bool waitingForLogical_ = false;
};

}  // namespace ambrel::wayland
