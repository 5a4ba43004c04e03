#include "widget/wayland/layer_shell_desktop.h"

#include <algorithm>
#include <utility>

#include "widget/wayland/layer_face.h"
#include "widget/wayland/popup_menu.h"
#include "widget/wayland/wayland_connection.h"
#include "widget/wayland/wayland_output.h"

namespace ambrel::wayland {
namespace {

// Gap between the faces and from the output's edge where they are first placed, as on X11.
constexpr int kScreenGap = 16;

// The margin that keeps a face of `size` wholly on an output of `area`.
QPoint keptOnScreen(QPoint margin, QSize size, const QRect& area) {
    return {std::clamp(margin.x(), 0, std::max(0, area.width() - size.width())),
            std::clamp(margin.y(), 0, std::max(0, area.height() - size.height()))};
}

}  // namespace

bool onWaylandDesktop(const QString& qtPlatform) {
    if (qtPlatform.startsWith(QLatin1String("wayland"))) return true;
    return qtPlatform == QLatin1String("xcb") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

std::expected<std::unique_ptr<LayerShellDesktop>, std::string> LayerShellDesktop::open(
    const char* display, std::vector<WidgetFamily> families, StoredPlace storedPlace) {
    auto connection = WaylandConnection::open(display);
    if (!connection) return std::unexpected("no Wayland compositor answers");
    if (!connection->layerShell()) {
        return std::unexpected(
            "this Wayland compositor does not offer the layer shell (zwlr_layer_shell_v1) that "
            "keeps widgets below the windows");
    }
    if (!connection->compositor() || !connection->shm()) {
        return std::unexpected("this Wayland compositor offers no shared-memory surfaces");
    }
    return std::unique_ptr<LayerShellDesktop>(
        new LayerShellDesktop(std::move(connection), std::move(families), std::move(storedPlace)));
}

LayerShellDesktop::LayerShellDesktop(std::unique_ptr<WaylandConnection> connection,
                                     std::vector<WidgetFamily> families, StoredPlace storedPlace)
    : connection_(std::move(connection)), storedPlace_(std::move(storedPlace)) {
    connection_->setPointerHandler(this);
    for (const WidgetFamily family : families) {
        faces_.push_back(std::make_unique<LayerFace>(*connection_, family,
                                                     [this](LayerFace& face, bool hadLived) {
                                                         if (hadLived) faceClosed(face);
                                                     }));
        faces_.back()->setCommandHandler(
            [this, family](FaceCommand command) { Q_EMIT commandChosen(family, command); });
    }
    connect(connection_.get(), &WaylandConnection::outputChanged, this,
            [this](WaylandOutput* output) {
                for (const auto& face : faces_) {
                    if (face->output() == output) face->outputChanged();
                }
                placeUnplaced();
            });
    connect(connection_.get(), &WaylandConnection::outputRemoved, this,
            &LayerShellDesktop::outputRemoved);
    connect(connection_.get(), &WaylandConnection::lost, this, &LayerShellDesktop::connectionLost);
}

LayerShellDesktop::~LayerShellDesktop() {
    if (closedSync_) wl_callback_destroy(closedSync_);
    menu_.reset();   // before the surface it is a popup of
    faces_.clear();  // their proxies go before the connection
}

void LayerShellDesktop::removeFace(WidgetFamily family) {
    menu_.reset();  // a popup goes before its parent
    std::erase_if(faces_, [family](const auto& face) { return face->family() == family; });
    connection_->flush();
}

void LayerShellDesktop::setEntry(const EarningsEntry& entry) {
    entry_ = entry;
    for (const auto& face : faces_) face->setEntry(entry);
    placeUnplaced();
}

// Faces that have no output yet: before the first entry nothing is shown, and without a ready
// output nothing can be.
void LayerShellDesktop::placeUnplaced() {
    if (!entry_) return;
    for (std::size_t i = 0; i < faces_.size(); ++i) {
        LayerFace& face = *faces_[i];
        if (!face.isShown() && !face.output()) place(face, static_cast<int>(i));
    }
}

// Where the user left it, as long as that is on an output; otherwise stacked down the right
// edge of the first output.
void LayerShellDesktop::place(LayerFace& face, int index) {
    if (const auto stored = storedPlace_(face.family())) {
        const QSize size = face.size();
        if (WaylandOutput* output =
                outputAt(*stored + QPoint(size.width() / 2, size.height() / 2))) {
            showOn(face, *output, *stored - output->logicalGeometry().topLeft());
            return;
        }
    }
    WaylandOutput* output = firstReadyOutput();
    if (!output) return;
    int top = kScreenGap;
    for (int i = 0; i < index; ++i)
        top += faces_[static_cast<std::size_t>(i)]->size().height() + kScreenGap;
    const int left = output->logicalGeometry().width() - kScreenGap - face.size().width();
    showOn(face, *output, QPoint(left, top));
}

void LayerShellDesktop::showOn(LayerFace& face, WaylandOutput& output, QPoint margin) {
    face.show(output, keptOnScreen(margin, face.size(), output.logicalGeometry()));
}

WaylandOutput* LayerShellDesktop::firstReadyOutput() const {
    for (const auto& output : connection_->outputs()) {
        if (output->isReady()) return output.get();
    }
    return nullptr;
}

WaylandOutput* LayerShellDesktop::outputAt(QPoint point) const {
    for (const auto& output : connection_->outputs()) {
        if (output->isReady() && output->logicalGeometry().contains(point)) return output.get();
    }
    return nullptr;
}

// Its faces move to the first remaining output at the same margin, kept on screen; with no
// output left they wait for the next one.
void LayerShellDesktop::outputRemoved(WaylandOutput* removed) {
    WaylandOutput* remaining = nullptr;
    for (const auto& output : connection_->outputs()) {
        if (output.get() != removed && output->isReady()) {
            remaining = output.get();
            break;
        }
    }
    for (const auto& face : faces_) {
        if (face->output() != removed) continue;
        face->hide();
        face->forgetOutput();
        if (remaining) showOn(*face, *remaining, face->margin());
    }
}

// A face the compositor closed is shown again, but only once the events sent with the close
// have arrived: when its output is going away, the removal of the output follows it, and the
// face must not be put back on that output.
void LayerShellDesktop::faceClosed(LayerFace&) {
    if (closedSync_) return;
    closedSync_ = wl_display_sync(connection_->display());
    static const wl_callback_listener listener = {
        .done = [](void* data, wl_callback* callback, uint32_t) {
            auto& self = *static_cast<LayerShellDesktop*>(data);
            wl_callback_destroy(callback);
            self.closedSync_ = nullptr;
            self.replaceClosedFaces();
        }};
    wl_callback_add_listener(closedSync_, &listener, this);
    connection_->flush();
}

void LayerShellDesktop::replaceClosedFaces() {
    for (const auto& face : faces_) {
        if (!face->isShown() && face->output()) showOn(*face, *face->output(), face->margin());
    }
    placeUnplaced();
}

LayerFace* LayerShellDesktop::faceOf(wl_surface* surface) const {
    for (const auto& face : faces_) {
        if (surface && face->surface() == surface) return face.get();
    }
    return nullptr;
}

void LayerShellDesktop::pointerButton(const ButtonEvent& event) {
    if (menu_ && event.surface == menu_->surface()) return menu_->pointerButton(event);
    LayerFace* face = faceOf(event.surface);
    if (!face) return;
    // A press on a face while its menu is open closes the menu, as a click elsewhere does.
    if (menu_ && event.pressed) {
        menu_->dismiss();
        return;
    }
    if (event.button == PointerButton::secondary) {
        if (event.pressed) openMenu(*face, event);
        return;
    }
    if (event.pressed) return face->press(event.at);
    primaryReleased(*face);
}

// A release in place is a click, which opens Ambrel; further away it moves the face.
void LayerShellDesktop::primaryReleased(LayerFace& face) {
    const auto delta = face.release();
    if (!delta) return;
    if (delta->isNull()) {
        Q_EMIT commandChosen(face.family(), FaceCommand::openAmbrel);
        return;
    }
    if (!face.output()) return;

    // The output under the face's new centre takes it; off every output it stays on its own.
    const QPoint wanted = face.geometry().topLeft() + *delta;
    const QSize size = face.size();
    WaylandOutput* output = outputAt(wanted + QPoint(size.width() / 2, size.height() / 2));
    if (!output) output = face.output();
    const QRect area = output->logicalGeometry();
    const QPoint margin = keptOnScreen(wanted - area.topLeft(), size, area);
    if (output == face.output()) {
        face.moveTo(margin);
    } else {
        face.show(*output, margin);
    }
    Q_EMIT movedByUser(face.family(), area.topLeft() + margin);
}

void LayerShellDesktop::openMenu(LayerFace& face, const ButtonEvent& press) {
    if (!face.layerSurface()) return;
    face.cancelDrag();
    const WidgetFamily family = face.family();
    menu_ = PopupMenu::open(*connection_, face.layerSurface(), face.geometry().topLeft(), press.at,
                            face.wholeScale(), faceCommandLabels(), press,
                            [this, family](std::optional<int> row) { menuEnded(family, row); });
}

// The menu goes first, and only then its command runs: hiding the face destroys the surface the
// menu is a popup of. Both wait for the event handler that ended the menu to return.
void LayerShellDesktop::menuEnded(WidgetFamily family, std::optional<int> row) {
    QMetaObject::invokeMethod(
        this,
        [this, family, row] {
            menu_.reset();
            if (row && *row >= 0 && *row < static_cast<int>(std::size(kFaceCommands)))
                Q_EMIT commandChosen(family, kFaceCommands[*row]);
        },
        Qt::QueuedConnection);
}

void LayerShellDesktop::pointerMotion(wl_surface* surface, QPointF at) {
    if (menu_ && surface == menu_->surface()) return menu_->pointerMotion(at);
    if (LayerFace* face = faceOf(surface)) face->motion(at);
}

void LayerShellDesktop::pointerLeft(wl_surface* surface) {
    if (menu_ && surface == menu_->surface()) return menu_->pointerLeft();
    if (LayerFace* face = faceOf(surface)) face->cancelDrag();
}

void LayerShellDesktop::keyPressed(wl_surface* surface, uint32_t key) {
    if (menu_ && surface == menu_->surface()) menu_->keyPressed(key);
}

}  // namespace ambrel::wayland
