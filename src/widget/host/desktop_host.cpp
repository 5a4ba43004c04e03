#include "widget/host/desktop_host.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <ostream>
#include <utility>

#include "widget/faces/earnings_widget.h"
#include "widget/host/face_window.h"
#include "widget/wayland/layer_shell_desktop.h"

namespace ambrel::widget {
namespace {

// Gap between the windows and from the screen's edge where they are first placed.
constexpr int kScreenGap = 16;

}  // namespace

DesktopHost::DesktopHost(EntrySource cachedEntry, TimelineScheduler::Producer timeline,
                         std::vector<WidgetFamily> families, Defaults& widgetDefaults,
                         std::ostream& err, const std::string& ordinaryWindowsAdvice,
                         QObject* parent)
    : QObject(parent),
      cachedEntry_(std::move(cachedEntry)),
      positions_(widgetDefaults),
      hidden_(widgetDefaults),
      err_(err),
      scheduler_(std::move(timeline), systemClock()) {
    families = hidden_.shown(families);
    if (!families.empty()) openLayerShell(families, err, ordinaryWindowsAdvice);
    for (WidgetFamily family : layerShell_ ? std::vector<WidgetFamily>() : families) {
        auto window = std::make_unique<FaceWindow>(family, canKeepBelow());
        connect(window.get(), &FaceWindow::movedByUser, this, &DesktopHost::savePosition);
        connect(window.get(), &FaceWindow::commandChosen, this, &DesktopHost::run);
        connect(window.get(), &FaceWindow::menuRequested, this,
                [this, face = window.get()](WidgetFamily, QPoint at) { showMenu(*face, at); });
        windows_.push_back(std::move(window));
    }
    connect(&scheduler_, &TimelineScheduler::timelineChanged, this, [this] {
        const Timeline& timeline = *scheduler_.current();
        showEntry(timeline.entry);
        // The sample is no one's figures: nothing in it is news (reached objectives least).
        if (timeline.refreshed && !timeline.entry.isSample)
            Q_EMIT refreshedEntryShown(timeline.entry);
    });
    connect(&reloads_, &ReloadListener::reloadRequested, &scheduler_,
            &TimelineScheduler::requestReload);
}

DesktopHost::~DesktopHost() = default;

// Asked for wherever Qt shows its windows on a Wayland desktop. Without it, a window on Qt's
// own Wayland platform cannot be kept below the others, which the user is told once; X11
// windows through the compositor's X server are kept below as on any X11 desktop.
void DesktopHost::openLayerShell(const std::vector<WidgetFamily>& families, std::ostream& err,
                                 const std::string& ordinaryWindowsAdvice) {
    if (!wayland::onWaylandDesktop(QGuiApplication::platformName())) return;
    auto desktop = wayland::LayerShellDesktop::open(
        nullptr, families, [this](WidgetFamily family) { return positions_.load(family); });
    if (!desktop) {
        if (!canKeepBelow()) {
            err << "ambrel-widget: " << desktop.error()
                << "; the widgets are shown as ordinary windows"
                << (ordinaryWindowsAdvice.empty() ? "" : "; ") << ordinaryWindowsAdvice << '\n';
        }
        return;
    }
    layerShell_ = std::move(*desktop);
    connect(layerShell_.get(), &wayland::LayerShellDesktop::movedByUser, this,
            &DesktopHost::savePosition);
    connect(layerShell_.get(), &wayland::LayerShellDesktop::commandChosen, this, &DesktopHost::run);
    connect(layerShell_.get(), &wayland::LayerShellDesktop::connectionLost, this,
            [&err](const QString& reason) {
                err << "ambrel-widget: the Wayland compositor went away (" << reason.toStdString()
                    << ")\n";
                QCoreApplication::exit(1);
            });
}

bool DesktopHost::canKeepBelow() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void DesktopHost::start() {
    // A local read, no network: the desktop shows the last known figures while the first
    // refresh runs, which can take up to the network time-out.
    if (auto cached = cachedEntry_()) showEntry(*cached);
    scheduler_.start();
}

void DesktopHost::showEntry(const EarningsEntry& entry) {
    Q_EMIT entryShown(entry);
    if (layerShell_) return layerShell_->setEntry(entry);
    for (std::size_t i = 0; i < windows_.size(); ++i) {
        FaceWindow& window = *windows_[i];
        window.setEntry(entry);
        if (!window.isVisible()) {
            place(window, static_cast<int>(i));
            window.show();
        }
    }
}

// Where the user left it, as long as that is still on a screen; otherwise stacked down the
// right edge of the primary screen.
void DesktopHost::place(FaceWindow& window, int index) {
    if (const auto stored = positions_.load(window.family())) {
        const QPoint centre = *stored + QPoint(window.width() / 2, window.height() / 2);
        if (QGuiApplication::screenAt(centre)) {
            window.move(*stored);
            return;
        }
    }
    window.move(defaultPosition(window, index));
}

QPoint DesktopHost::defaultPosition(const FaceWindow& window, int index) const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    int top = area.top() + kScreenGap;
    for (int i = 0; i < index; ++i)
        top += windows_[static_cast<std::size_t>(i)]->height() + kScreenGap;
    return {area.right() - kScreenGap - window.width(), top};
}

void DesktopHost::savePosition(WidgetFamily family, QPoint position) {
    positions_.save(family, position);
}

void DesktopHost::run(WidgetFamily family, FaceCommand command) {
    switch (command) {
        case FaceCommand::openAmbrel:
            return Q_EMIT openRequested();
        case FaceCommand::refreshNow:
            return refreshNow();
        case FaceCommand::hideWidget:
            return hide(family);
        case FaceCommand::quitWidgets:
            return Q_EMIT quitRequested();
    }
}

// A child of the face's window, so that a Wayland compositor gets it as that window's popup
// rather than as a window of its own; it goes when closed.
void DesktopHost::showMenu(FaceWindow& window, QPoint globalPosition) {
    auto* menu = new QMenu(&window);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setAccessibleName(EarningsWidget::displayName());
    for (FaceCommand command : kFaceCommands) {
        menu->addAction(faceCommandLabel(command), this,
                        [this, family = window.family(), command] { run(family, command); });
    }
    menu->popup(globalPosition);
}

void DesktopHost::hide(WidgetFamily family) {
    if (!hidden_.hide(family)) {
        err_ << "ambrel-widget: cannot keep the hidden widget in the widget's cache folder\n"
             << std::flush;
    }
    if (layerShell_) layerShell_->removeFace(family);
    // Later: the menu that asked for this is the window's child, and may still be on the stack.
    for (auto it = windows_.begin(); it != windows_.end();) {
        if ((*it)->family() != family) {
            ++it;
            continue;
        }
        (*it)->hide();
        it->release()->deleteLater();
        it = windows_.erase(it);
    }
    if (!hasFaces()) Q_EMIT everyFaceHidden();
}

bool DesktopHost::hasFaces() const {
    return layerShell_ ? !layerShell_->faces().empty() : !windows_.empty();
}

}  // namespace ambrel::widget
