#pragma once

// The desktop's stand-in for a widget framework: one window per family showing the current
// entry, a new timeline at the entry's reload date and on every reload request of the
// application, and the windows' places kept from one run to the next. Other surfaces of the
// same timeline (the panel indicator) follow entryShown; with no families there are no windows
// and the host needs no window system.
//
// A click on a face opens Ambrel; its menu offers "Open Ambrel", "Refresh now", "Hide this
// widget" (remembered, see hidden_faces.h) and "Quit widgets". Opening and quitting are left to
// the owner (openRequested, quitRequested), as is what to do once every face is hidden.

#include <QObject>
#include <QPoint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/widget_center.h"
#include "widget/earnings_provider.h"
#include "widget/faces/face_commands.h"
#include "widget/faces/widget_family.h"
#include "widget/host/hidden_faces.h"
#include "widget/host/timeline_scheduler.h"
#include "widget/host/window_positions.h"

namespace ambrel::wayland {
class LayerShellDesktop;
}

namespace ambrel::widget {

class FaceWindow;

class DesktopHost final : public QObject {
    Q_OBJECT
  public:
    using EntrySource = std::function<std::optional<EarningsEntry>()>;

    // `cachedEntry`: the last known figures, without network, shown at once. `timeline`: a
    // refresh, run on a worker thread. The defaults are borrowed for the host's lifetime. `err`
    // receives the one line saying why the widgets are ordinary windows on a Wayland desktop
    // (whose compositor offers no layer shell), ending with `ordinaryWindowsAdvice` when there
    // is one, and is kept for the host's lifetime.
    //
    // On a Wayland desktop with the layer shell, the faces are layer surfaces instead of
    // windows (wayland/layer_shell_desktop.h); elsewhere they are windows kept below others.
    DesktopHost(EntrySource cachedEntry, TimelineScheduler::Producer timeline,
                std::vector<WidgetFamily> families, Defaults& widgetDefaults, std::ostream& err,
                const std::string& ordinaryWindowsAdvice = {}, QObject* parent = nullptr);
    ~DesktopHost() override;

    // Shows the cached figures at once, then asks for the first timeline.
    void start();

    // A refresh asked for by the user: a reload request (timeline_scheduler.h says when it runs).
    void refreshNow() { scheduler_.requestReload(); }

    // A command of a face's menu, click or accessible action.
    void run(WidgetFamily family, FaceCommand command);

    const std::vector<std::unique_ptr<FaceWindow>>& windows() const { return windows_; }
    // The layer surfaces, when they stand in for the windows.
    const wayland::LayerShellDesktop* layerShell() const { return layerShell_.get(); }
    const TimelineScheduler& scheduler() const { return scheduler_; }

    // Whether the window system can keep windows below the others (not Wayland without a
    // layer-shell, which Qt does not offer to widgets).
    static bool canKeepBelow();

  Q_SIGNALS:
    // Every entry the host shows: the cached one at start, then each new timeline's.
    void entryShown(const ambrel::EarningsEntry& entry);
    // After entryShown, for an entry whose figures a refresh has just fetched: never the cached
    // entry shown at start, nor the cache or sample that a failed refresh falls back to.
    void refreshedEntryShown(const ambrel::EarningsEntry& entry);
    // "Open Ambrel" (or a click on a face), and "Quit widgets".
    void openRequested();
    void quitRequested();
    // The user has hidden the last face shown.
    void everyFaceHidden();

  private:
    void openLayerShell(const std::vector<WidgetFamily>& families, std::ostream& err,
                        const std::string& ordinaryWindowsAdvice);
    void showEntry(const EarningsEntry& entry);
    void place(FaceWindow& window, int index);
    QPoint defaultPosition(const FaceWindow& window, int index) const;
    void savePosition(WidgetFamily family, QPoint position);
    void showMenu(FaceWindow& window, QPoint globalPosition);
    void hide(WidgetFamily family);
    bool hasFaces() const;

    EntrySource cachedEntry_;
    WindowPositions positions_;
    HiddenFaces hidden_;
    std::ostream& err_;
    TimelineScheduler scheduler_;
    ReloadListener reloads_;
    std::vector<std::unique_ptr<FaceWindow>> windows_;
    std::unique_ptr<wayland::LayerShellDesktop> layerShell_;
};

}  // namespace ambrel::widget
