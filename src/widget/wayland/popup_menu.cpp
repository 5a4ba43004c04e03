#include "widget/wayland/popup_menu.h"

#include <linux/input-event-codes.h>

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/fonts.h"
#include "widget/wayland/popup_menu_accessibility.h"
#include "widget/wayland/shm_buffer.h"
#include "widget/wayland/wayland_connection.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace ambrel::wayland {

void destroyXdgSurface(xdg_surface* surface) {
    xdg_surface_destroy(surface);
}

void destroyXdgPopup(xdg_popup* popup) {
    xdg_popup_destroy(popup);
}

namespace {

constexpr double kCornerRadius = 6;

QFont menuFont() {
    return systemFont(PopupMenuLayout::kFontPixels);
}

PopupMenu& self(void* data) {
    return *static_cast<PopupMenu*>(data);
}

}  // namespace

QSize PopupMenuLayout::size(const QStringList& labels) {
    const QFontMetricsF metrics(menuFont());
    double widest = 0;
    for (const QString& label : labels) widest = std::max(widest, metrics.horizontalAdvance(label));
    const int width =
        std::max(kShortestWidth, static_cast<int>(std::ceil(widest)) + 2 * kTextInset);
    return {width, 2 * kPadding + kRowHeight * static_cast<int>(labels.size())};
}

std::optional<int> PopupMenuLayout::rowAt(QPointF at, const QStringList& labels) {
    const QSize whole = size(labels);
    if (at.x() < 0 || at.x() >= whole.width() || at.y() < kPadding) return std::nullopt;
    const int row = static_cast<int>((at.y() - kPadding) / kRowHeight);
    if (row >= labels.size()) return std::nullopt;
    return row;
}

QImage popupMenuImage(const QStringList& labels, std::optional<int> highlighted, int scale,
                      const QPalette& palette) {
    QImage image(PopupMenuLayout::size(labels) * scale, QImage::Format_ARGB32_Premultiplied);
    paintPopupMenu(image, labels, highlighted, scale, palette);
    return image;
}

void paintPopupMenu(QImage& target, const QStringList& labels, std::optional<int> highlighted,
                    int scale, const QPalette& palette) {
    const QSize logical = PopupMenuLayout::size(labels);
    target.setDevicePixelRatio(scale);
    target.fill(Qt::transparent);
    QPainter painter(&target);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette.color(QPalette::Mid), 1));
    painter.setBrush(palette.color(QPalette::Window));
    painter.drawRoundedRect(QRectF(QPointF(0.5, 0.5), QSizeF(logical) - QSizeF(1, 1)),
                            kCornerRadius, kCornerRadius);
    painter.setFont(menuFont());
    for (int row = 0; row < labels.size(); ++row) {
        const QRectF rowBox(2, PopupMenuLayout::rowTop(row), logical.width() - 4,
                            PopupMenuLayout::kRowHeight);
        const bool lit = highlighted == row;
        if (lit) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(palette.color(QPalette::Highlight));
            painter.drawRoundedRect(rowBox, kCornerRadius - 2, kCornerRadius - 2);
        }
        painter.setPen(palette.color(lit ? QPalette::HighlightedText : QPalette::WindowText));
        painter.drawText(rowBox.adjusted(PopupMenuLayout::kTextInset - 2, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, labels[row]);
    }
}

std::unique_ptr<PopupMenu> PopupMenu::open(WaylandConnection& connection,
                                           zwlr_layer_surface_v1* parent, QPoint parentPlace,
                                           QPointF at, int scale, QStringList labels,
                                           const ButtonEvent& press, Ended ended) {
    if (!connection.wmBase() || !parent) return nullptr;
    std::unique_ptr<PopupMenu> menu(new PopupMenu(connection, std::move(labels), parentPlace,
                                                  std::max(scale, 1), std::move(ended)));
    PopupMenu& m = *menu;
    m.surface_.reset(wl_compositor_create_surface(connection.compositor()));
    m.xdgSurface_.reset(xdg_wm_base_get_xdg_surface(connection.wmBase(), m.surface_.get()));
    static const xdg_surface_listener surfaceListener = {
        .configure = [](void* data, xdg_surface*, uint32_t serial) {
            self(data).configure(serial);
        }};
    xdg_surface_add_listener(m.xdgSurface_.get(), &surfaceListener, &m);

    // Below and to the right of the pointer, flipped or slid where the output ends.
    const QSize size = PopupMenuLayout::size(m.labels_);
    xdg_positioner* positioner = xdg_wm_base_create_positioner(connection.wmBase());
    xdg_positioner_set_size(positioner, size.width(), size.height());
    xdg_positioner_set_anchor_rect(positioner, static_cast<int32_t>(std::floor(at.x())),
                                   static_cast<int32_t>(std::floor(at.y())), 1, 1);
    xdg_positioner_set_anchor(positioner, XDG_POSITIONER_ANCHOR_BOTTOM_RIGHT);
    xdg_positioner_set_gravity(positioner, XDG_POSITIONER_GRAVITY_BOTTOM_RIGHT);
    xdg_positioner_set_constraint_adjustment(positioner,
                                             XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_FLIP_X |
                                                 XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_FLIP_Y |
                                                 XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_SLIDE_X |
                                                 XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_SLIDE_Y);
    m.popup_.reset(xdg_surface_get_popup(m.xdgSurface_.get(), nullptr, positioner));
    xdg_positioner_destroy(positioner);
    static const xdg_popup_listener popupListener = {
        .configure = [](void* data, xdg_popup*, int32_t x, int32_t y, int32_t width,
                        int32_t height) { self(data).placed(QRect(x, y, width, height)); },
        .popup_done = [](void* data, xdg_popup*) { self(data).end(std::nullopt); },
        .repositioned = [](void*, xdg_popup*, uint32_t) {},
    };
    xdg_popup_add_listener(m.popup_.get(), &popupListener, &m);
    zwlr_layer_surface_v1_get_popup(parent, m.popup_.get());
    xdg_popup_grab(m.popup_.get(), press.seat, press.serial);
    // The first commit carries no buffer: it asks for the first configure.
    wl_surface_commit(m.surface_.get());
    connection.flush();
    return menu;
}

PopupMenu::PopupMenu(WaylandConnection& connection, QStringList labels, QPoint parentPlace,
                     int scale, Ended ended)
    : connection_(connection),
      labels_(std::move(labels)),
      parentPlace_(parentPlace),
      scale_(scale),
      ended_(std::move(ended)),
      accessible_(
          std::make_unique<PopupMenuAccessibility>(labels_, [this](int row) { end(row); })) {}

PopupMenu::~PopupMenu() {
    if (surface_) connection_.forgetSurface(surface_.get());
    // The role objects go before their surface, and the surface before its pictures.
    popup_.reset();
    xdgSurface_.reset();
    surface_.reset();
    connection_.flush();
}

void PopupMenu::configure(uint32_t serial) {
    xdg_surface_ack_configure(xdgSurface_.get(), serial);
    configured_ = true;
    draw();
}

void PopupMenu::placed(QRect inParent) {
    accessible_->setDesktopGeometry(inParent.translated(parentPlace_));
}

void PopupMenu::pointerMotion(QPointF at) {
    highlight(PopupMenuLayout::rowAt(at, labels_));
}

void PopupMenu::pointerLeft() {
    highlight(std::nullopt);
}

void PopupMenu::pointerButton(const ButtonEvent& event) {
    if (event.pressed) return;
    if (const auto row = PopupMenuLayout::rowAt(event.at, labels_)) end(row);
}

void PopupMenu::keyPressed(uint32_t key) {
    const int count = static_cast<int>(labels_.size());
    switch (key) {
        case KEY_DOWN:
            return highlight(highlighted_ ? (*highlighted_ + 1) % count : 0);
        case KEY_UP:
            return highlight(highlighted_ ? (*highlighted_ + count - 1) % count : count - 1);
        case KEY_ENTER:
        case KEY_KPENTER:
        case KEY_SPACE:
            if (highlighted_) end(highlighted_);
            return;
        case KEY_ESC:
            return end(std::nullopt);
        default:
            return;
    }
}

void PopupMenu::highlight(std::optional<int> row) {
    if (row == highlighted_) return;
    highlighted_ = row;
    accessible_->setHighlighted(row);
    if (configured_) draw();
}

void PopupMenu::draw() {
    const QSize pixels = PopupMenuLayout::size(labels_) * scale_;
    auto buffer = ShmBuffer::create(connection_.shm(), pixels);
    if (!buffer) return;
    paintPopupMenu(buffer->image(), labels_, highlighted_, scale_, QPalette());
    if (current_) {
        ShmBuffer* old = current_.get();
        old->setOnRelease([this, old] {
            std::erase_if(retired_, [old](const auto& b) { return b.get() == old; });
        });
        retired_.push_back(std::move(current_));
    }
    current_ = std::move(buffer);
    wl_surface_attach(surface_.get(), current_->handle(), 0, 0);
    wl_surface_set_buffer_scale(surface_.get(), scale_);
    wl_surface_damage(surface_.get(), 0, 0, pixels.width(), pixels.height());
    wl_surface_commit(surface_.get());
    connection_.flush();
}

void PopupMenu::end(std::optional<int> row) {
    if (!ended_) return;
    // Moved out first: the owner may destroy the menu from inside.
    const Ended ended = std::move(ended_);
    ended_ = nullptr;
    ended(row);
}

}  // namespace ambrel::wayland
