// The faces as X11 windows under a real X server (an Xvfb of the test's own) without a window
// manager, answering real clicks and keys that xdotool sends through the server: a click opens
// Ambrel, the other button opens the menu, whose "Hide this widget" is kept across restarts and
// whose "Quit widgets" ends the host.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>

#include "app/single_instance.h"
#include "core/platform/defaults.h"
#include "support/temp_dir.h"
#include "widget/host/hidden_faces.h"
#include "widget/host/window_positions.h"

namespace ambrel::widget {
namespace {

namespace fs = std::filesystem;

QString qpath(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// Runs xdotool with `arguments`; its output, or none when it fails (a search that finds
// nothing fails too).
std::optional<QString> xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(10000) || tool.exitCode() != 0) return std::nullopt;
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// The faces' windows mapped on the display.
int shownFaces() {
    const auto found = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                QStringLiteral("--name"), QStringLiteral("AdSense earnings")});
    return found ? static_cast<int>(found->trimmed().split(u'\n').size()) : 0;
}

// The host's windows mapped on the display: its faces, and its menu while that is open.
int shownHostWindows() {
    const auto found = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                QStringLiteral("--class"), QStringLiteral("ambrel-widget-host")});
    return found ? static_cast<int>(found->trimmed().split(u'\n').size()) : 0;
}

void clickAt(QPoint at, int button) {
    xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
             QStringLiteral("click"), QString::number(button)});
}

// Opens the menu of the face under `at`; whether it came. Keys reach the menu only once it is
// mapped and has grabbed the keyboard, which a loaded machine may take a while to do.
bool openMenuAt(QPoint at) {
    const int before = shownHostWindows();
    clickAt(at, 3);
    if (!QTest::qWaitFor([before] { return shownHostWindows() == before + 1; }, 10000))
        return false;
    QTest::qWait(300);
    return true;
}

void keys(const QStringList& names) {
    xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("100")} +
            names);
}

class X11FacePointerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::getenv("AMBREL_TEST_SESSION")) GTEST_SKIP() << "needs scripts/with-test-session";
        for (const char* tool : {"Xvfb", "xdotool"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << "needs " << tool;
        }
        app = std::make_unique<QCoreApplication>(argc, argv);
        ASSERT_NO_FATAL_FAILURE(startServer());
        Defaults defaults(defaultsFolder());
        WindowPositions(defaults).save(WidgetFamily::systemSmall, QPoint(40, 30));
        WindowPositions(defaults).save(WidgetFamily::systemMedium, QPoint(300, 30));
    }
    void TearDown() override {
        for (QProcess* process : {&host, &server}) {
            if (process->state() == QProcess::NotRunning) continue;
            process->terminate();
            process->waitForFinished(10000);
        }
    }

    // The server picks a free display number itself and writes it once it takes connections,
    // so tests that start servers at the same time never share one (xvfb-run -a may). Without
    // -noreset it starts over whenever its last client leaves (each xdotool call, the host's
    // restart), and a program connecting just then is refused.
    void startServer() {
        server.start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                      QStringLiteral("-screen"), QStringLiteral("0"),
                      QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                      QStringLiteral("tcp")});
        ASSERT_TRUE(server.waitForStarted());
        QByteArray display;
        while (!display.endsWith('\n') && server.waitForReadyRead(20000))
            display += server.readAllStandardOutput();
        ASSERT_TRUE(display.endsWith('\n')) << server.readAllStandardError().toStdString();
        qputenv("DISPLAY", ":" + display.trimmed());
    }

    fs::path defaultsFolder() const {
        return home.path() / "cache" / "ambrel" / "com.corvane.ambrel.widget";
    }

    // The test build, signed out (its faces ask to sign in), on Qt's X11 platform.
    void start() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en_US"));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), qpath(home.path() / "cache"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), qpath(home.path() / "config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), qpath(home.path() / "data"));
        host.setProcessEnvironment(environment);
        host.start(QStringLiteral(AMBREL_WIDGET_TESTBASE),
                   {QStringLiteral("show"), QStringLiteral("--family"), QStringLiteral("small"),
                    QStringLiteral("medium")});
        ASSERT_TRUE(host.waitForStarted());
    }

    // What the host said and whether it still runs, for a face that never showed.
    std::string failure() {
        return "shown faces: " + std::to_string(shownFaces()) +
               (host.state() == QProcess::NotRunning
                    ? "; the host ended with " + std::to_string(host.exitCode())
                    : std::string("; the host runs")) +
               "; its errors: " + host.readAllStandardError().toStdString();
    }

    int argc = 1;
    char name[22] = "x11-face-pointer-test";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    testing::TempDir home;
    QProcess server;
    QProcess host;
};

TEST_F(X11FacePointerTest, ClickOpensAmbrelAndTheMenuHidesAndQuits) {
    start();
    // The faces show with the first figures, which a signed-out host reads from the keyring:
    // a keyring busy with another test's session may hold them for up to a call's time-out.
    ASSERT_TRUE(QTest::qWaitFor([] { return shownFaces() == 2; }, 30000)) << failure();

    SingleInstance application;
    ASSERT_EQ(application.claim(), SingleInstance::Claim::first);
    QSignalSpy activated(&application, &SingleInstance::activated);
    clickAt(QPoint(40 + 85, 30 + 85), 1);
    EXPECT_TRUE(activated.wait(5000));

    // The menu takes the keyboard: the third item is "Hide this widget".
    ASSERT_TRUE(openMenuAt(QPoint(40 + 60, 30 + 40)));
    keys({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
          QStringLiteral("Return")});
    ASSERT_TRUE(QTest::qWaitFor([] { return shownFaces() == 1; }, 5000));
    EXPECT_TRUE(Defaults(defaultsFolder()).data(hiddenKey(WidgetFamily::systemSmall)));
    EXPECT_EQ(activated.count(), 1);  // the menu's click did not open Ambrel

    // Hidden at the next start too; "Quit widgets", the last item, ends the host.
    host.terminate();
    ASSERT_TRUE(host.waitForFinished(10000));
    start();
    ASSERT_TRUE(QTest::qWaitFor([] { return shownFaces() == 1; }, 30000)) << failure();
    QTest::qWait(1000);
    EXPECT_EQ(shownFaces(), 1);
    ASSERT_TRUE(openMenuAt(QPoint(300 + 40, 30 + 40)));
    keys({QStringLiteral("Up"), QStringLiteral("Return")});
    ASSERT_TRUE(host.waitForFinished(10000)) << "Quit widgets did not end the host";
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();
}

}  // namespace
}  // namespace ambrel::widget
