#pragma once

// One widget face as a layer surface: on the bottom layer of one output, anchored to its top
// left corner at a margin, never taking the keyboard or space from other surfaces. The face
// is drawn with QPainter into shared-memory buffers at the output's scale (or the fractional
// scale the compositor prefers), and drawn again only when the entry, the scale or the size
// changes: a configure that changes none of them is acknowledged and committed, no more.

#include <wayland-client.h>

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "widget/earnings_provider.h"
#include "widget/faces/widget_family.h"
#include "widget/wayland/face_accessibility.h"
#include "widget/wayland/wayland_proxy.h"

struct zwlr_layer_surface_v1;
struct wp_viewport;
struct wp_fractional_scale_v1;

namespace ambrel::wayland {

class ShmBuffer;
class WaylandConnection;
class WaylandOutput;

void destroyLayerSurface(zwlr_layer_surface_v1* surface);
void destroyViewport(wp_viewport* viewport);
void destroyFractionalScale(wp_fractional_scale_v1* scale);

inline constexpr const char* kLayerNamespace = "ambrel-widget";

class LayerFace {
  public:
    // `onClosed` runs when the compositor stops showing the face (its output went away, for
    // one); the face is hidden by then. `hadLived`: it had been configured since it was shown.
    using OnClosed = std::function<void(LayerFace& face, bool hadLived)>;
    LayerFace(WaylandConnection& connection, WidgetFamily family, OnClosed onClosed);
    ~LayerFace();
    LayerFace(const LayerFace&) = delete;
    LayerFace& operator=(const LayerFace&) = delete;

    WidgetFamily family() const { return family_; }
    QSize size() const { return size_; }

    // Puts the face on `output` at `margin` from the output's top left corner. The first
    // picture follows the compositor's first configure.
    void show(WaylandOutput& output, QPoint margin);
    void hide();
    void moveTo(QPoint margin);
    bool isShown() const { return layerSurface_ != nullptr; }

    // The output it was last put on, until that output is forgotten.
    WaylandOutput* output() const { return output_; }
    void forgetOutput() { output_ = nullptr; }
    QPoint margin() const { return margin_; }
    // In the desktop's logical coordinates.
    QRect geometry() const;
    wl_surface* surface() const { return surface_.get(); }
    zwlr_layer_surface_v1* layerSurface() const { return layerSurface_.get(); }
    // Whole device pixels per logical pixel of the last picture: a fractional scale rounded up.
    int wholeScale() const;

    void setEntry(const EarningsEntry& entry);
    // The output's description changed: its scale may have.
    void outputChanged();

    // A press and drag of the primary button, in surface-local coordinates. The face does not
    // move while the button is held; `release` gives the distance to move it by, null for a
    // click (less than the drag distance), none without a press.
    void press(QPointF at);
    void motion(QPointF at);
    std::optional<QPoint> release();
    void cancelDrag() { pressedAt_.reset(); }

    // What assistive technologies' actions on the face run.
    void setCommandHandler(std::function<void(FaceCommand)> handler) {
        accessible_.setCommandHandler(std::move(handler));
    }

    // How many pictures were drawn, and at which size in pixels the last one was.
    int drawCount() const { return drawCount_; }
    int configureCount() const { return configureCount_; }
    QSize bufferSize() const { return drawn_ ? drawn_->pixels : QSize(); }

  private:
    struct Drawn {
        QSize pixels;
        int scale120;  // scale × 120, as fractional scales are given
        bool operator==(const Drawn&) const = default;
    };

    void configure(uint32_t serial, uint32_t width, uint32_t height);
    void closed();
    void commit();
    int scale120() const;
    Drawn wanted() const;
    void draw(const Drawn& target);
    void updateAccessibility();

    WaylandConnection& connection_;
    WidgetFamily family_;
    OnClosed onClosed_;
    FaceAccessibility accessible_;
    WaylandOutput* output_ = nullptr;
    QPoint margin_;
    QSize size_;
    std::optional<EarningsEntry> entry_;
    bool entryChanged_ = false;
    bool configured_ = false;
    int preferredScale120_ = 0;
    std::optional<Drawn> drawn_;
    int drawCount_ = 0;
    int configureCount_ = 0;
    std::optional<QPointF> pressedAt_;
    QPointF lastAt_;

    Proxy<wl_surface, destroySurface> surface_;
    Proxy<zwlr_layer_surface_v1, destroyLayerSurface> layerSurface_;
    Proxy<wp_viewport, destroyViewport> viewport_;
    Proxy<wp_fractional_scale_v1, destroyFractionalScale> fractionalScale_;
    std::unique_ptr<ShmBuffer> current_;               // attached in the last commit
    std::vector<std::unique_ptr<ShmBuffer>> retired_;  // still read by the compositor
};

}  // namespace ambrel::wayland
