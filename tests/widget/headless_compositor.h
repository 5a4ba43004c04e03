#pragma once

// A compositor of its own for a test: sway (which offers the layer shell) or weston (which does
// not), headless and drawn by the CPU, with its socket in a private runtime folder. sway
// refuses to run as root, so a root test runs it as `nobody`; root still connects. grim takes
// its screenshots, swaymsg changes its outputs, and a virtual pointer drags.

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <expected>
#include <filesystem>
#include <memory>
#include <string>

struct wl_display;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;

namespace ambrel::testing {

struct StartFailure {
    std::string message;
    // The compositor cannot run on this machine at all (not installed, or it exits at once):
    // the test is skipped. Otherwise (it runs but opens no socket in time) the test fails.
    bool cannotRun = false;
};

class HeadlessCompositor {
  public:
    using Started = std::expected<std::unique_ptr<HeadlessCompositor>, StartFailure>;

    // One output of `size` at the origin.
    static Started startSway(const std::filesystem::path& folder, QSize size);
    static Started startWeston(const std::filesystem::path& folder, QSize size);
    ~HeadlessCompositor();

    // For WAYLAND_DISPLAY: the socket's absolute path.
    QString socket() const { return socket_; }
    // Everything the compositor logged so far (sway with -d, weston with its protocol log).
    QString log() const;
    // swaymsg with the arguments; the error is its output.
    std::expected<void, QString> swaymsg(const QStringList& args) const;
    // The outputs at their scale (grim); null when grim fails.
    QImage screenshot() const;

  private:
    HeadlessCompositor() = default;
    static Started start(const QString& program, const QStringList& arguments,
                         const std::filesystem::path& folder, bool asNobody);

    QProcess process_;
    std::filesystem::path folder_;
    QString socket_;
    QString swaySocket_;
};

// A pointer the test moves and clicks on the compositor's desktop (wlr virtual pointer).
class VirtualPointer {
  public:
    // `desktop`: the size of the layout, which absolute positions span.
    static std::unique_ptr<VirtualPointer> create(const QString& socket, QSize desktop);
    ~VirtualPointer();

    // Presses the primary button at `from`, moves to `to` in steps and releases it there.
    void drag(QPoint from, QPoint to);
    // Moves to `at`, presses and releases the primary button there (or the secondary one).
    void click(QPoint at, bool secondary = false);
    void moveTo(QPoint at);

  private:
    void button(bool pressed, bool secondary = false);
    void send();

    wl_display* display_ = nullptr;
    zwlr_virtual_pointer_manager_v1* manager_ = nullptr;
    zwlr_virtual_pointer_v1* pointer_ = nullptr;
    QSize desktop_;
    uint32_t time_ = 0;
};

// Pixels of `face` (where it is opaque) that differ from `shot` with the face at `at`.
int differingPixels(const QImage& shot, const QImage& face, QPoint at);

}  // namespace ambrel::testing
