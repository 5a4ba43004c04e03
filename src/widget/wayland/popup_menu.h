#pragma once

// A face's menu on a Wayland desktop: an xdg popup of the face's layer surface, opened where the
// secondary button went down, with a grab so that the compositor closes it on a click elsewhere
// and gives it the keyboard. Qt draws on its own connection only, so the menu is drawn here with
// QPainter, in the desktop palette's window colours: one row per item, the row under the
// pointer (or chosen with the arrow keys) highlighted. A release of either button on a row, or
// Return, chooses it; Escape, a click elsewhere or the compositor closes the menu. Assistive
// technologies see it as a popup menu of the application (popup_menu_accessibility.h).

#include <wayland-client.h>

#include <QImage>
#include <QPalette>
#include <QPointF>
#include <QSize>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "widget/wayland/wayland_proxy.h"
#include "widget/wayland/wayland_seat.h"

struct zwlr_layer_surface_v1;
struct xdg_surface;
struct xdg_popup;

namespace ambrel::wayland {

class PopupMenuAccessibility;
class ShmBuffer;
class WaylandConnection;

void destroyXdgSurface(xdg_surface* surface);
void destroyXdgPopup(xdg_popup* popup);

// Where the rows are, in the menu's logical pixels: fixed, like the faces, so the menu looks the
// same whatever Qt's default font on that connection.
struct PopupMenuLayout {
    static constexpr int kPadding = 4;  // above the first row and below the last
    static constexpr int kRowHeight = 26;
    static constexpr int kTextInset = 14;  // on each side of the labels
    static constexpr int kShortestWidth = 140;
    static constexpr int kFontPixels = 13;

    static QSize size(const QStringList& labels);
    static int rowTop(int row) { return kPadding + row * kRowHeight; }
    static std::optional<int> rowAt(QPointF at, const QStringList& labels);
};

// The menu's picture at `scale` device pixels per logical pixel, into the whole of `target`
// (of PopupMenuLayout::size × `scale` pixels).
void paintPopupMenu(QImage& target, const QStringList& labels, std::optional<int> highlighted,
                    int scale, const QPalette& palette);
QImage popupMenuImage(const QStringList& labels, std::optional<int> highlighted, int scale,
                      const QPalette& palette);

class PopupMenu {
  public:
    // Runs once, when the menu ends: with the row chosen, or none. The menu may be destroyed
    // from inside, but no later than that.
    using Ended = std::function<void(std::optional<int> row)>;

    // Null when the compositor offers no xdg shell. `at` is in the parent's surface-local
    // coordinates, and `parentPlace` the parent's top left corner on the desktop; `press` is
    // the button event that asked for the menu.
    static std::unique_ptr<PopupMenu> open(WaylandConnection& connection,
                                           zwlr_layer_surface_v1* parent, QPoint parentPlace,
                                           QPointF at, int scale, QStringList labels,
                                           const ButtonEvent& press, Ended ended);
    ~PopupMenu();
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    wl_surface* surface() const { return surface_.get(); }
    std::optional<int> highlighted() const { return highlighted_; }

    void pointerMotion(QPointF at);
    void pointerLeft();
    void pointerButton(const ButtonEvent& event);
    void keyPressed(uint32_t key);
    // Ends the menu without a choice, as a click elsewhere does.
    void dismiss() { end(std::nullopt); }

  private:
    PopupMenu(WaylandConnection& connection, QStringList labels, QPoint parentPlace, int scale,
              Ended ended);
    void configure(uint32_t serial);
    void placed(QRect inParent);
    void highlight(std::optional<int> row);
    void draw();
    void end(std::optional<int> row);

    WaylandConnection& connection_;
    QStringList labels_;
    QPoint parentPlace_;
    int scale_;
    Ended ended_;
    bool configured_ = false;
    std::optional<int> highlighted_;
    Proxy<wl_surface, destroySurface> surface_;
    Proxy<xdg_surface, destroyXdgSurface> xdgSurface_;
    Proxy<xdg_popup, destroyXdgPopup> popup_;
    std::unique_ptr<ShmBuffer> current_;
    std::vector<std::unique_ptr<ShmBuffer>> retired_;
    std::unique_ptr<PopupMenuAccessibility> accessible_;
};

}  // namespace ambrel::wayland
