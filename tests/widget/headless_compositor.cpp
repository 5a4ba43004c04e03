#include "headless_compositor.h"

#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <chrono>
#include <fstream>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace ambrel::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kSocketWait = 15s;
constexpr uint32_t kLeftButton = 0x110;   // BTN_LEFT
constexpr uint32_t kRightButton = 0x111;  // BTN_RIGHT

QString path(const fs::path& p) {
    return QString::fromStdString(p.string());
}

// The compositor's socket once it is listening: "wayland-N" (sway) or the name given (weston).
QString socketIn(const fs::path& runtime, const QString& pattern) {
    const QStringList found =
        QDir(path(runtime)).entryList({pattern}, QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QString& name : found) {
        if (!name.endsWith(QLatin1String(".lock"))) return path(runtime / name.toStdString());
    }
    return {};
}

QString tail(const QString& text) {
    return text.right(1500);
}

}  // namespace

HeadlessCompositor::Started HeadlessCompositor::startSway(const fs::path& folder, QSize size) {
    if (QStandardPaths::findExecutable(QStringLiteral("grim")).isEmpty())
        return std::unexpected(StartFailure{"grim is not installed", true});
    const fs::path config = folder / "sway.config";
    std::ofstream(config) << "output HEADLESS-1 resolution " << size.width() << 'x' << size.height()
                          << " position 0 0\n"
                          << "xwayland disable\n";
    return start(QStringLiteral("sway"), {QStringLiteral("-d"), QStringLiteral("-c"), path(config)},
                 folder, ::geteuid() == 0);
}

HeadlessCompositor::Started HeadlessCompositor::startWeston(const fs::path& folder, QSize size) {
    return start(
        QStringLiteral("weston"),
        {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--socket=ambrel-test"),
         QStringLiteral("--width=%1").arg(size.width()),
         QStringLiteral("--height=%1").arg(size.height()), QStringLiteral("--idle-time=0"),
         QStringLiteral("--logger-scopes=log,proto")},
        folder, false);
}

HeadlessCompositor::Started HeadlessCompositor::start(const QString& program,
                                                      const QStringList& arguments,
                                                      const fs::path& folder, bool asNobody) {
    const QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        return std::unexpected(StartFailure{program.toStdString() + " is not installed", true});

    std::unique_ptr<HeadlessCompositor> compositor(new HeadlessCompositor);
    compositor->folder_ = folder;
    const fs::path runtime = folder / "runtime";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    QString command = executable;
    QStringList commandArguments = arguments;
    if (asNobody) {
        // Its own runtime folder, owned by the user it runs as; the rest of the test's folder
        // (its configuration) must be readable by that user too.
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody) return std::unexpected(StartFailure{"there is no user nobody", true});
        if (::chown(runtime.c_str(), nobody->pw_uid, nobody->pw_gid) != 0)
            return std::unexpected(StartFailure{"cannot give the runtime folder to nobody", true});
        fs::permissions(folder, fs::perms::others_read | fs::perms::others_exec,
                        fs::perm_options::add);
        command = QStringLiteral("setpriv");
        commandArguments =
            QStringList{QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                        QStringLiteral("--clear-groups"), executable} +
            arguments;
    }

    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    environment.insert(QStringLiteral("HOME"), path(runtime));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(runtime));
    environment.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    environment.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    environment.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    compositor->process_.setProcessEnvironment(environment);
    compositor->process_.setProcessChannelMode(QProcess::MergedChannels);
    compositor->process_.setStandardOutputFile(path(folder / "compositor.log"));
    compositor->process_.start(command, commandArguments);
    if (!compositor->process_.waitForStarted())
        return std::unexpected(StartFailure{program.toStdString() + " cannot be started", true});

    const bool sway = program == QLatin1String("sway");
    const auto deadline = std::chrono::steady_clock::now() + kSocketWait;
    while (std::chrono::steady_clock::now() < deadline) {
        compositor->socket_ =
            socketIn(runtime, sway ? QStringLiteral("wayland-*") : QStringLiteral("ambrel-test"));
        if (sway) compositor->swaySocket_ = socketIn(runtime, QStringLiteral("sway-ipc.*"));
        if (!compositor->socket_.isEmpty() && (!sway || !compositor->swaySocket_.isEmpty()))
            return compositor;
        if (compositor->process_.waitForFinished(100)) {
            return std::unexpected(StartFailure{program.toStdString() + " exited at start:\n" +
                                                    tail(compositor->log()).toStdString(),
                                                true});
        }
    }
    return std::unexpected(StartFailure{program.toStdString() + " opened no socket in time:\n" +
                                            tail(compositor->log()).toStdString(),
                                        false});
}

HeadlessCompositor::~HeadlessCompositor() {
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QString HeadlessCompositor::log() const {
    QFile file(path(folder_ / "compositor.log"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

std::expected<void, QString> HeadlessCompositor::swaymsg(const QStringList& args) const {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SWAYSOCK"), swaySocket_);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("swaymsg"), args);
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return std::unexpected(QString::fromUtf8(process.readAll()));
    return {};
}

QImage HeadlessCompositor::screenshot() const {
    const QString file = path(folder_ / "screenshot.png");
    QFile::remove(file);
    QProcess grim;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socket_);
    grim.setProcessEnvironment(environment);
    grim.start(QStringLiteral("grim"), {file});
    if (!grim.waitForFinished(10000) || grim.exitCode() != 0) return {};
    return QImage(file).convertToFormat(QImage::Format_RGB32);
}

std::unique_ptr<VirtualPointer> VirtualPointer::create(const QString& socket, QSize desktop) {
    auto pointer = std::unique_ptr<VirtualPointer>(new VirtualPointer);
    pointer->desktop_ = desktop;
    pointer->display_ = wl_display_connect(socket.toUtf8().constData());
    if (!pointer->display_) return nullptr;
    static const wl_registry_listener listener = {
        .global =
            [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
                if (QLatin1String(interface) ==
                    QLatin1String(zwlr_virtual_pointer_manager_v1_interface.name)) {
                    static_cast<VirtualPointer*>(data)->manager_ =
                        static_cast<zwlr_virtual_pointer_manager_v1*>(wl_registry_bind(
                            registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
                }
            },
        .global_remove = [](void*, wl_registry*, uint32_t) {},
    };
    wl_registry* registry = wl_display_get_registry(pointer->display_);
    wl_registry_add_listener(registry, &listener, pointer.get());
    wl_display_roundtrip(pointer->display_);
    wl_registry_destroy(registry);
    if (!pointer->manager_) return nullptr;
    pointer->pointer_ =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointer->manager_, nullptr);
    wl_display_roundtrip(pointer->display_);
    return pointer;
}

VirtualPointer::~VirtualPointer() {
    if (pointer_) zwlr_virtual_pointer_v1_destroy(pointer_);
    if (manager_) zwlr_virtual_pointer_manager_v1_destroy(manager_);
    if (display_) wl_display_disconnect(display_);
}

// The face's program learns of the new pointer and of the surface under it asynchronously:
// pauses between the steps let it follow as a hand would.
void VirtualPointer::drag(QPoint from, QPoint to) {
    constexpr int kSteps = 10;
    moveTo(from + QPoint(1, 1));
    QThread::msleep(300);
    moveTo(from);
    QThread::msleep(100);
    button(true);
    for (int step = 1; step <= kSteps; ++step) {
        moveTo(from + (to - from) * step / kSteps);
        QThread::msleep(20);
    }
    QThread::msleep(100);
    button(false);
}

void VirtualPointer::click(QPoint at, bool secondary) {
    moveTo(at + QPoint(1, 1));
    QThread::msleep(300);
    moveTo(at);
    QThread::msleep(100);
    button(true, secondary);
    QThread::msleep(50);
    button(false, secondary);
}

void VirtualPointer::moveTo(QPoint at) {
    const auto x = static_cast<uint32_t>(std::clamp(at.x(), 0, desktop_.width() - 1));
    const auto y = static_cast<uint32_t>(std::clamp(at.y(), 0, desktop_.height() - 1));
    zwlr_virtual_pointer_v1_motion_absolute(pointer_, time_ += 10, x, y,
                                            static_cast<uint32_t>(desktop_.width()),
                                            static_cast<uint32_t>(desktop_.height()));
    send();
}

void VirtualPointer::button(bool pressed, bool secondary) {
    zwlr_virtual_pointer_v1_button(
        pointer_, time_ += 10, secondary ? kRightButton : kLeftButton,
        pressed ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
    send();
}

void VirtualPointer::send() {
    zwlr_virtual_pointer_v1_frame(pointer_);
    wl_display_roundtrip(display_);
}

int differingPixels(const QImage& shot, const QImage& face, QPoint at) {
    int differing = 0;
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            const QRgb expected = face.pixel(x, y);
            if (qAlpha(expected) != 255) continue;
            const QPoint p = at + QPoint(x, y);
            if (!shot.rect().contains(p) || (shot.pixel(p) & 0xffffff) != (expected & 0xffffff))
                ++differing;
        }
    }
    return differing;
}

}  // namespace ambrel::testing
