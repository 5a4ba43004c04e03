#include "widget/wayland/layer_face.h"

#include <QGuiApplication>
#include <QStyleHints>
#include <algorithm>
#include <cmath>
#include <utility>

#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "widget/faces/earnings_widget.h"
#include "widget/wayland/shm_buffer.h"
#include "widget/wayland/wayland_connection.h"
#include "widget/wayland/wayland_output.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

namespace ambrel::wayland {

void destroyLayerSurface(zwlr_layer_surface_v1* surface) {
    zwlr_layer_surface_v1_destroy(surface);
}

void destroyViewport(wp_viewport* viewport) {
    wp_viewport_destroy(viewport);
}

void destroyFractionalScale(wp_fractional_scale_v1* scale) {
    wp_fractional_scale_v1_destroy(scale);
}

namespace {

constexpr int kWholeScale = 120;

LayerFace& self(void* data) {
    return *static_cast<LayerFace*>(data);
}

}  // namespace

LayerFace::LayerFace(WaylandConnection& connection, WidgetFamily family, OnClosed onClosed)
    : connection_(connection),
      family_(family),
      onClosed_(std::move(onClosed)),
      size_(familySize(family)) {}

LayerFace::~LayerFace() {
    hide();
}

void LayerFace::show(WaylandOutput& output, QPoint margin) {
    hide();
    output_ = &output;
    margin_ = margin;
    surface_.reset(wl_compositor_create_surface(connection_.compositor()));
    wl_surface_set_user_data(surface_.get(), this);
    layerSurface_.reset(zwlr_layer_shell_v1_get_layer_surface(
        connection_.layerShell(), surface_.get(), output.handle(), ZWLR_LAYER_SHELL_V1_LAYER_BOTTOM,
        kLayerNamespace));
    static const zwlr_layer_surface_v1_listener listener = {
        .configure = [](void* data, zwlr_layer_surface_v1*, uint32_t serial, uint32_t width,
                        uint32_t height) { self(data).configure(serial, width, height); },
        .closed = [](void* data, zwlr_layer_surface_v1*) { self(data).closed(); },
    };
    zwlr_layer_surface_v1_add_listener(layerSurface_.get(), &listener, this);

    // The compositor's fractional scale needs a viewport to map the larger buffer back onto
    // the face's logical size.
    if (connection_.fractionalScale() && connection_.viewporter()) {
        viewport_.reset(wp_viewporter_get_viewport(connection_.viewporter(), surface_.get()));
        fractionalScale_.reset(wp_fractional_scale_manager_v1_get_fractional_scale(
            connection_.fractionalScale(), surface_.get()));
        static const wp_fractional_scale_v1_listener scaleListener = {
            .preferred_scale =
                [](void* data, wp_fractional_scale_v1*, uint32_t scale) {
                    LayerFace& face = self(data);
                    face.preferredScale120_ = static_cast<int>(scale);
                    face.outputChanged();
                },
        };
        wp_fractional_scale_v1_add_listener(fractionalScale_.get(), &scaleListener, this);
    }

    zwlr_layer_surface_v1_set_size(layerSurface_.get(), static_cast<uint32_t>(size_.width()),
                                   static_cast<uint32_t>(size_.height()));
    zwlr_layer_surface_v1_set_anchor(
        layerSurface_.get(), ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT);
    zwlr_layer_surface_v1_set_exclusive_zone(layerSurface_.get(), 0);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        layerSurface_.get(), ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    zwlr_layer_surface_v1_set_margin(layerSurface_.get(), margin.y(), 0, 0, margin.x());
    // The first commit carries no buffer: it asks for the first configure.
    wl_surface_commit(surface_.get());
    connection_.flush();
    updateAccessibility();
}

void LayerFace::hide() {
    pressedAt_.reset();
    if (surface_) connection_.forgetSurface(surface_.get());
    fractionalScale_.reset();
    viewport_.reset();
    layerSurface_.reset();
    surface_.reset();
    current_.reset();
    retired_.clear();
    drawn_.reset();
    configured_ = false;
    preferredScale120_ = 0;
    accessible_.setShown(false);
}

void LayerFace::moveTo(QPoint margin) {
    margin_ = margin;
    if (!layerSurface_) return;
    zwlr_layer_surface_v1_set_margin(layerSurface_.get(), margin.y(), 0, 0, margin.x());
    wl_surface_commit(surface_.get());
    connection_.flush();
    updateAccessibility();
}

QRect LayerFace::geometry() const {
    const QPoint origin = output_ ? output_->logicalGeometry().topLeft() : QPoint();
    return {origin + margin_, size_};
}

void LayerFace::setEntry(const EarningsEntry& entry) {
    if (entry_ && *entry_ == entry) return;
    entry_ = entry;
    entryChanged_ = true;
    accessible_.setDescription(EarningsWidget::accessibleDescription(entry, family_));
    if (configured_) commit();
}

void LayerFace::outputChanged() {
    updateAccessibility();
    if (configured_) commit();
}

// Every configure is acknowledged; the size 0 leaves the family's size.
void LayerFace::configure(uint32_t serial, uint32_t width, uint32_t height) {
    zwlr_layer_surface_v1_ack_configure(layerSurface_.get(), serial);
    ++configureCount_;
    const QSize family = familySize(family_);
    size_ = QSize(width ? static_cast<int>(width) : family.width(),
                  height ? static_cast<int>(height) : family.height());
    configured_ = true;
    commit();
}

void LayerFace::closed() {
    const bool hadLived = configured_;
    hide();
    if (onClosed_) onClosed_(*this, hadLived);
}

// A new picture only when something it shows has changed; otherwise the commit keeps the
// attached one and only applies what was acknowledged or set.
void LayerFace::commit() {
    if (!surface_) return;
    const Drawn target = wanted();
    if (entry_ && (entryChanged_ || drawn_ != target)) draw(target);
    wl_surface_commit(surface_.get());
    connection_.flush();
}

int LayerFace::scale120() const {
    if (fractionalScale_ && preferredScale120_ > 0) return preferredScale120_;
    return (output_ ? output_->scale() : 1) * kWholeScale;
}

LayerFace::Drawn LayerFace::wanted() const {
    const int scale = scale120();
    // Rounded half away from zero, as fractional scaling asks of buffer sizes.
    const auto pixels = [scale](int length) {
        return static_cast<int>(std::lround(static_cast<double>(length) * scale / kWholeScale));
    };
    return {.pixels = QSize(pixels(size_.width()), pixels(size_.height())), .scale120 = scale};
}

void LayerFace::draw(const Drawn& target) {
    auto buffer = ShmBuffer::create(connection_.shm(), target.pixels);
    if (!buffer) return;
    const double scale = static_cast<double>(target.scale120) / kWholeScale;
    EarningsWidget::paint(buffer->image(), scale, *entry_, family_, size_);

    // The compositor may still read the previous picture; it goes once released.
    if (current_) {
        ShmBuffer* old = current_.get();
        old->setOnRelease([this, old] {
            std::erase_if(retired_, [old](const auto& b) { return b.get() == old; });
        });
        retired_.push_back(std::move(current_));
    }
    current_ = std::move(buffer);
    ShmBuffer* attached = current_.get();
    attached->setOnRelease({});

    wl_surface_attach(surface_.get(), attached->handle(), 0, 0);
    if (viewport_ && target.scale120 % kWholeScale != 0) {
        wl_surface_set_buffer_scale(surface_.get(), 1);
        wp_viewport_set_destination(viewport_.get(), size_.width(), size_.height());
    } else {
        if (viewport_) wp_viewport_set_destination(viewport_.get(), -1, -1);
        wl_surface_set_buffer_scale(surface_.get(), target.scale120 / kWholeScale);
    }
    if (wl_surface_get_version(surface_.get()) >= WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION) {
        wl_surface_damage_buffer(surface_.get(), 0, 0, target.pixels.width(),
                                 target.pixels.height());
    } else {
        wl_surface_damage(surface_.get(), 0, 0, size_.width(), size_.height());
    }
    drawn_ = target;
    entryChanged_ = false;
    ++drawCount_;
    accessible_.setShown(true);
}

void LayerFace::press(QPointF at) {
    pressedAt_ = at;
    lastAt_ = at;
}

void LayerFace::motion(QPointF at) {
    if (pressedAt_) lastAt_ = at;
}

// Compositors differ in the coordinates they report while a surface moves under a held
// button, so the face stays where it is until the release; until then both ways of reporting
// agree, and the distance from the press is the move. A shorter one than the desktop's drag
// distance was a hand's tremble in a click.
std::optional<QPoint> LayerFace::release() {
    if (!pressedAt_) return std::nullopt;
    const QPoint delta = (lastAt_ - *pressedAt_).toPoint();
    pressedAt_.reset();
    if (delta.manhattanLength() < QGuiApplication::styleHints()->startDragDistance())
        return QPoint();
    return delta;
}

int LayerFace::wholeScale() const {
    return (scale120() + kWholeScale - 1) / kWholeScale;
}

void LayerFace::updateAccessibility() {
    accessible_.setDesktopGeometry(geometry());
}

}  // namespace ambrel::wayland
