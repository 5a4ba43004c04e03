#pragma once

// The widget faces on a Wayland desktop whose compositor offers the layer shell: one layer
// surface per family, at the place the user left it (the same stored places as the windows
// on X11, in the desktop's logical coordinates) or stacked down the right edge of the first
// output. A face stays on the output where it was placed; when that output goes away it moves
// to a remaining one at the same distance from the corner, kept on screen. A click on a face asks
// for Ambrel; the other button opens the face's menu (popup_menu.h).

#include <QObject>
#include <QPoint>
#include <expected>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "widget/earnings_provider.h"
#include "widget/faces/face_commands.h"
#include "widget/faces/widget_family.h"
#include "widget/wayland/wayland_seat.h"

struct wl_callback;

namespace ambrel::wayland {

class LayerFace;
class PopupMenu;
class WaylandConnection;
class WaylandOutput;

// Whether this program, with Qt on `qtPlatform`, shows its windows on a Wayland desktop (Qt's
// own Wayland platform, or X11 through a compositor's X server), where the layer shell is
// worth asking for.
bool onWaylandDesktop(const QString& qtPlatform);

class LayerShellDesktop final : public QObject, private PointerHandler {
    Q_OBJECT
  public:
    using StoredPlace = std::function<std::optional<QPoint>(WidgetFamily)>;

    // Connects to `display` (null: $WAYLAND_DISPLAY). The error says why there are no layer
    // surfaces: no compositor answers, or it does not offer the layer shell.
    static std::expected<std::unique_ptr<LayerShellDesktop>, std::string> open(
        const char* display, std::vector<WidgetFamily> families, StoredPlace storedPlace);
    ~LayerShellDesktop() override;

    // Shows the faces with their first entry, then draws them again when it changes.
    void setEntry(const EarningsEntry& entry);

    const std::vector<std::unique_ptr<LayerFace>>& faces() const { return faces_; }
    // The face's surface goes; it is not shown again in this run.
    void removeFace(WidgetFamily family);
    // The open menu, if any.
    const PopupMenu* menu() const { return menu_.get(); }

  Q_SIGNALS:
    // The user has dragged a face to a new place, in the desktop's logical coordinates.
    void movedByUser(ambrel::WidgetFamily family, QPoint place);
    // A click (Open Ambrel), a row of a face's menu, or an accessible action of a face.
    void commandChosen(ambrel::WidgetFamily family, ambrel::FaceCommand command);
    // The compositor went away; the faces are gone with it.
    void connectionLost(const QString& reason);

  private:
    LayerShellDesktop(std::unique_ptr<WaylandConnection> connection,
                      std::vector<WidgetFamily> families, StoredPlace storedPlace);

    void placeUnplaced();
    void place(LayerFace& face, int index);
    void showOn(LayerFace& face, WaylandOutput& output, QPoint margin);
    WaylandOutput* firstReadyOutput() const;
    WaylandOutput* outputAt(QPoint point) const;
    void outputRemoved(WaylandOutput* output);
    void faceClosed(LayerFace& face);
    void replaceClosedFaces();
    LayerFace* faceOf(wl_surface* surface) const;

    void pointerButton(const ButtonEvent& event) override;
    void pointerMotion(wl_surface* surface, QPointF at) override;
    void pointerLeft(wl_surface* surface) override;
    void keyPressed(wl_surface* surface, uint32_t key) override;
    void primaryReleased(LayerFace& face);
    void openMenu(LayerFace& face, const ButtonEvent& press);
    void menuEnded(WidgetFamily family, std::optional<int> row);

    std::unique_ptr<WaylandConnection> connection_;
    StoredPlace storedPlace_;
    std::vector<std::unique_ptr<LayerFace>> faces_;
    std::optional<EarningsEntry> entry_;
    wl_callback* closedSync_ = nullptr;  // waits for the events that came with a close
    std::unique_ptr<PopupMenu> menu_;
};

}  // namespace ambrel::wayland
