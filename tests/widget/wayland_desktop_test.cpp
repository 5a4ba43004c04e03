// The widget faces on real, headless Wayland compositors: as layer surfaces under sway, and as
// ordinary windows under weston, which has no layer shell. The host runs as the program does,
// and grim's screenshots are compared pixel for pixel with what `render` draws.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <fstream>
#include <thread>

#include "app/single_instance.h"
#include "core/platform/defaults.h"
#include "face_test_support.h"
#include "headless_compositor.h"
#include "support/qt_application.h"
#include "support/temp_dir.h"
#include "widget/faces/earnings_widget.h"
#include "widget/faces/face_commands.h"
#include "widget/host/hidden_faces.h"
#include "widget/host/window_positions.h"
#include "widget/wayland/layer_face.h"
#include "widget/wayland/layer_shell_desktop.h"
#include "widget/wayland/popup_menu.h"

namespace ambrel::widget {
namespace {

const auto* const kGui = ::testing::AddGlobalTestEnvironment(new testing::QtApplicationEnvironment);

namespace fs = std::filesystem;
using testing::HeadlessCompositor;

constexpr QSize kDesktop(1920, 1080);
constexpr int kWaitMs = 15000;

// Runs the event loop until `done` holds or the time is up.
template <typename Condition>
bool eventually(Condition done, int ms = kWaitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QTest::qWait(50);
    }
    return true;
}

QString qpath(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// `ambrel-widget` (the test build, signed out: it shows the sign-in face) with private
// folders, on the compositor's socket through Qt's own Wayland platform.
class WidgetProgram {
  public:
    WidgetProgram(const fs::path& home, const QString& socket) : home_(home) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        for (const char* name : {"XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
            environment.insert(QLatin1String(name), qpath(home / name));
        }
        // Qt's Wayland platform leaves some of libwayland's memory to the end of the process,
        // which a sanitizer build would report as a failed exit of the program.
        environment.insert(QStringLiteral("ASAN_OPTIONS"), qEnvironmentVariable("ASAN_OPTIONS") +
                                                               QStringLiteral(":detect_leaks=0"));
        environment_ = environment;
    }
    ~WidgetProgram() { stop(); }

    fs::path defaultsFolder() const {
        return home_ / "XDG_CACHE_HOME" / "ambrel" / "com.corvane.ambrel.widget";
    }

    void show(const QStringList& families) {
        QStringList arguments{QStringLiteral("show")};
        for (const QString& family : families) arguments << QStringLiteral("--family") << family;
        host_.setProcessEnvironment(environment_);
        started_ = true;
        host_.start(QStringLiteral(AMBREL_WIDGET_TESTBASE), arguments);
        ASSERT_TRUE(host_.waitForStarted());
    }

    // Whether the host ends by itself with status 0 within `ms`; what it said otherwise.
    std::optional<QString> exitsCleanly(int ms) {
        if (!host_.waitForFinished(ms)) return QStringLiteral("still running");
        if (host_.exitStatus() == QProcess::NormalExit && host_.exitCode() == 0)
            return std::nullopt;
        return QStringLiteral("status %1: ").arg(host_.exitCode()) +
               QString::fromUtf8(host_.readAllStandardError());
    }

    // Everything the host wrote on stderr, once it has ended.
    QString stop() {
        if (host_.state() != QProcess::NotRunning) {
            host_.terminate();
            host_.waitForFinished(10000);
        }
        if (started_) stderr_ += QString::fromUtf8(host_.readAllStandardError());
        started_ = false;
        return stderr_;
    }

    // The face as `render` draws it for the same entry, through the same platform.
    QImage render(const QString& family, int scale) const {
        const QString file = qpath(home_ / (family.toStdString() + ".png"));
        QProcess render;
        render.setProcessEnvironment(environment_);
        render.start(
            QStringLiteral(AMBREL_WIDGET_TESTBASE),
            {QStringLiteral("render"), QStringLiteral("--family"), family,
             QStringLiteral("--scale"), QString::number(scale), QStringLiteral("--output"), file});
        if (!render.waitForFinished(30000) || render.exitCode() != 0) return {};
        return QImage(file).convertToFormat(QImage::Format_ARGB32);
    }

  private:
    fs::path home_;
    QProcessEnvironment environment_;
    QProcess host_;
    bool started_ = false;
    QString stderr_;
};

class SwayDesktopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto started = HeadlessCompositor::startSway(folder.path(), kDesktop);
        if (!started) {
            if (started.error().cannotRun)
                GTEST_SKIP() << "sway cannot run on this machine: " << started.error().message;
            FAIL() << started.error().message;
        }
        sway = std::move(*started);
        program.emplace(folder.path() / "home", sway->socket());
    }

    void storePlace(WidgetFamily family, QPoint place) {
        Defaults defaults(program->defaultsFolder());
        widget::WindowPositions(defaults).save(family, place);
    }

    std::optional<std::string> storedPlace(WidgetFamily family) {
        return Defaults(program->defaultsFolder()).data(positionKey(family));
    }

    // Layer surfaces of the widget as sway logs them: "size WxH margin top,right,bottom,left".
    QStringList layerSurfaces() const {
        static const QRegularExpression line(QStringLiteral(
            "new layer surface: namespace ambrel-widget layer 1 anchor 5 size (\\d+x\\d+) "
            "margin (-?\\d+),0,0,(-?\\d+)"));
        QStringList found;
        for (auto match = line.globalMatch(sway->log()); match.hasNext();) {
            const auto m = match.next();
            found << m.captured(1) + QLatin1Char('@') + m.captured(3) + QLatin1Char(',') +
                         m.captured(2);
        }
        return found;
    }

    // Whether the screenshot shows each face, drawn at `scale`, at its place.
    bool facesShown(const std::vector<std::pair<QImage, QPoint>>& faces, int scale = 1) {
        return eventually([&] {
            const QImage shot = sway->screenshot();
            for (const auto& [face, place] : faces) {
                if (testing::differingPixels(shot, face, place * scale) != 0) return false;
            }
            return true;
        });
    }

    testing::TempDir folder;
    std::unique_ptr<HeadlessCompositor> sway;
    std::optional<WidgetProgram> program;
};

// The three faces are layer surfaces of the bottom layer at their stored places, drawn
// exactly as `render` draws them, and a window opened over one hides it.
TEST_F(SwayDesktopTest, FacesLieOnTheDesktopAtTheirPlacesBelowWindows) {
    storePlace(WidgetFamily::systemSmall, QPoint(40, 30));
    storePlace(WidgetFamily::systemMedium, QPoint(300, 30));
    storePlace(WidgetFamily::systemLarge, QPoint(700, 400));
    program->show({QStringLiteral("small"), QStringLiteral("medium"), QStringLiteral("large")});

    ASSERT_TRUE(eventually([&] { return layerSurfaces().size() == 3; }))
        << sway->log().toStdString();
    EXPECT_EQ(layerSurfaces(),
              (QStringList{QStringLiteral("170x170@40,30"), QStringLiteral("364x170@300,30"),
                           QStringLiteral("364x382@700,400")}));
    const QImage small = program->render(QStringLiteral("small"), 1);
    ASSERT_FALSE(small.isNull());
    EXPECT_TRUE(facesShown({{small, QPoint(40, 30)},
                            {program->render(QStringLiteral("medium"), 1), QPoint(300, 30)},
                            {program->render(QStringLiteral("large"), 1), QPoint(700, 400)}}));

    // sway tiles the window over the whole output.
    QProcess window;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), sway->socket());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    window.setProcessEnvironment(environment);
    window.start(QStringLiteral(AMBREL_SOLID_WINDOW), {QStringLiteral("#ff00ff")});
    ASSERT_TRUE(window.waitForStarted());
    EXPECT_TRUE(eventually([&] {
        const QImage shot = sway->screenshot();
        return !shot.isNull() && shot.pixel(40 + 85, 30 + 85) == qRgb(255, 0, 255);
    }));
    window.kill();
    window.waitForFinished();
    EXPECT_EQ(program->stop(), QString());
}

// A drag with the pointer moves a face; the place is stored on release, kept on the output
// however far the pointer went, and used at the next start.
TEST_F(SwayDesktopTest, DraggedFacesKeepTheirNewPlacesAcrossRestarts) {
    program->show({QStringLiteral("small"), QStringLiteral("medium")});
    const QImage small = program->render(QStringLiteral("small"), 1);
    const QImage medium = program->render(QStringLiteral("medium"), 1);
    // Down the right edge, as on X11.
    const QPoint smallAt(kDesktop.width() - 16 - 170, 16);
    const QPoint mediumAt(kDesktop.width() - 16 - 364, 16 + 170 + 16);
    ASSERT_TRUE(facesShown({{small, smallAt}, {medium, mediumAt}}));

    auto pointer = testing::VirtualPointer::create(sway->socket(), kDesktop);
    ASSERT_TRUE(pointer);
    pointer->drag(smallAt + QPoint(50, 60), smallAt + QPoint(50 - 600, 60 + 300));
    ASSERT_TRUE(eventually([&] { return storedPlace(WidgetFamily::systemSmall).has_value(); }));
    EXPECT_EQ(storedPlace(WidgetFamily::systemSmall), "1134,316");
    pointer->drag(mediumAt + QPoint(10, 10), mediumAt + QPoint(3000, 3000));
    ASSERT_TRUE(eventually([&] { return storedPlace(WidgetFamily::systemMedium).has_value(); }));
    EXPECT_EQ(storedPlace(WidgetFamily::systemMedium), "1556,910");
    EXPECT_TRUE(facesShown({{small, QPoint(1134, 316)}, {medium, QPoint(1556, 910)}}));

    EXPECT_EQ(program->stop(), QString());
    program->show({QStringLiteral("small"), QStringLiteral("medium")});
    EXPECT_TRUE(facesShown({{small, QPoint(1134, 316)}, {medium, QPoint(1556, 910)}}));
}

// A click on a face reaches the running application, as the indicator's "Open Ambrel" does. The
// other button opens the face's menu beside the pointer: its "Hide this widget" takes the face
// off the desktop, also at the next start, and its "Quit widgets" ends the host.
TEST_F(SwayDesktopTest, FacesAnswerClicksAndTheirMenu) {
    storePlace(WidgetFamily::systemSmall, QPoint(40, 30));
    storePlace(WidgetFamily::systemMedium, QPoint(300, 30));
    program->show({QStringLiteral("small"), QStringLiteral("medium")});
    const QImage small = program->render(QStringLiteral("small"), 1);
    const QImage medium = program->render(QStringLiteral("medium"), 1);
    ASSERT_TRUE(facesShown({{small, QPoint(40, 30)}, {medium, QPoint(300, 30)}}));

    SingleInstance application;
    ASSERT_EQ(application.claim(), SingleInstance::Claim::first);
    QSignalSpy activated(&application, &SingleInstance::activated);
    auto pointer = testing::VirtualPointer::create(sway->socket(), kDesktop);
    ASSERT_TRUE(pointer);
    pointer->click(QPoint(40 + 85, 30 + 85));
    EXPECT_TRUE(activated.wait(5000));

    // The menu's rows, just below and right of where the button went down.
    const QStringList labels = faceCommandLabels();
    const QSize menuSize = wayland::PopupMenuLayout::size(labels);
    const auto row = [&](QPoint opened, int index) {
        return opened +
               QPoint(1 + menuSize.width() / 2, 1 + wayland::PopupMenuLayout::kPadding +
                                                    wayland::PopupMenuLayout::kRowHeight * index +
                                                    wayland::PopupMenuLayout::kRowHeight / 2);
    };
    const QPoint opened(40 + 60, 30 + 40);
    const QImage before = sway->screenshot();
    pointer->click(opened, true);
    ASSERT_TRUE(eventually([&] {
        const QImage shot = sway->screenshot();
        const QPoint beyondFace = row(opened, 1) + QPoint(menuSize.width() / 2 - 10, 0);
        return !shot.isNull() && shot.pixel(beyondFace) != before.pixel(beyondFace);
    })) << "no menu beside the pointer";
    if (const auto folder = testing::screenshotFolder(); !folder.empty())
        sway->screenshot()
            .copy(QRect(opened - QPoint(60, 40), QSize(360, 220)))
            .save(qpath(folder / "widget-menu-sway.png"));

    pointer->click(row(opened, 2));  // "Hide this widget"
    ASSERT_TRUE(eventually([&] {
        return Defaults(program->defaultsFolder())
            .data(hiddenKey(WidgetFamily::systemSmall))
            .has_value();
    }));
    EXPECT_TRUE(eventually([&] {
        return testing::differingPixels(sway->screenshot(), small, QPoint(40, 30)) > 1000;
    })) << "the small face is still shown";
    EXPECT_TRUE(facesShown({{medium, QPoint(300, 30)}}));

    // Still hidden at the next start; "Quit widgets" on the other face ends the host.
    EXPECT_EQ(program->stop(), QString());
    program->show({QStringLiteral("small"), QStringLiteral("medium")});
    ASSERT_TRUE(facesShown({{medium, QPoint(300, 30)}}));
    EXPECT_GT(testing::differingPixels(sway->screenshot(), small, QPoint(40, 30)), 1000);
    const QPoint onMedium(300 + 40, 30 + 40);
    pointer->click(onMedium, true);
    QTest::qWait(500);
    pointer->click(row(onMedium, 3));
    const auto ended = program->exitsCleanly(10000);
    EXPECT_FALSE(ended.has_value()) << ended->toStdString();
}

// At an output scale of 2 the buffer has twice the pixels at the same logical place.
TEST_F(SwayDesktopTest, FacesAreSharpAtScaleTwo) {
    ASSERT_TRUE(sway->swaymsg({QStringLiteral("output"), QStringLiteral("HEADLESS-1"),
                               QStringLiteral("scale"), QStringLiteral("2")}));
    storePlace(WidgetFamily::systemSmall, QPoint(100, 80));
    program->show({QStringLiteral("small")});
    ASSERT_TRUE(eventually([&] { return layerSurfaces().size() == 1; }));
    EXPECT_EQ(layerSurfaces().first(), QStringLiteral("170x170@100,80"));
    const QImage sharp = program->render(QStringLiteral("small"), 2);
    ASSERT_EQ(sharp.size(), QSize(340, 340));
    EXPECT_TRUE(facesShown({{sharp, QPoint(100, 80)}}, 2));
}

// In the host itself: a configure that changes nothing draws nothing, a new entry draws once,
// and assistive technologies find each face with its texts and place.
TEST_F(SwayDesktopTest, FacesRedrawOnlyForChangesAndSpeakTheirFigures) {
    auto opened =
        wayland::LayerShellDesktop::open(sway->socket().toUtf8().constData(),
                                         {WidgetFamily::systemSmall, WidgetFamily::systemMedium},
                                         [](WidgetFamily family) -> std::optional<QPoint> {
                                             if (family == WidgetFamily::systemSmall)
                                                 return QPoint(10, 20);
                                             return std::nullopt;
                                         });
    ASSERT_TRUE(opened) << opened.error();
    wayland::LayerShellDesktop& desktop = **opened;
    // Made early: the seat gains its pointer once the host has heard of it.
    auto pointer = testing::VirtualPointer::create(sway->socket(), kDesktop);
    ASSERT_TRUE(pointer);
    wayland::LayerFace& small = *desktop.faces()[0];
    wayland::LayerFace& medium = *desktop.faces()[1];
    const EarningsEntry signedOut = testing::entryWith(testing::knownSnapshot(), false);
    desktop.setEntry(signedOut);
    ASSERT_TRUE(eventually([&] { return small.drawCount() == 1 && medium.drawCount() == 1; }));
    EXPECT_EQ(small.bufferSize(), QSize(170, 170));

    // Moving one face makes sway configure every layer surface again.
    const int configures = small.configureCount();
    medium.moveTo(QPoint(500, 600));
    ASSERT_TRUE(eventually([&] { return small.configureCount() > configures; }));
    desktop.setEntry(signedOut);
    QTest::qWait(200);
    EXPECT_EQ(small.drawCount(), 1);
    EXPECT_EQ(medium.drawCount(), 1);

    const EarningsEntry connected = testing::entryWith(testing::knownSnapshot());
    desktop.setEntry(connected);
    ASSERT_TRUE(eventually([&] { return small.drawCount() == 2 && medium.drawCount() == 2; }));

    QAccessibleInterface* application =
        QAccessible::queryAccessibleInterface(QCoreApplication::instance());
    ASSERT_NE(application, nullptr);
    std::vector<std::pair<QString, QRect>> faces;
    for (int i = 0; i < application->childCount(); ++i) {
        QAccessibleInterface* child = application->child(i);
        if (child->text(QAccessible::Name) != QStringLiteral("AdSense earnings")) continue;
        EXPECT_FALSE(child->state().invisible);
        faces.emplace_back(child->text(QAccessible::Description), child->rect());
    }
    EXPECT_EQ(faces.size(), 2u);
    const auto expect = [&](WidgetFamily family, QRect place) {
        const auto description = EarningsWidget::accessibleDescription(connected, family);
        EXPECT_NE(std::find(faces.begin(), faces.end(), std::pair(description, place)), faces.end())
            << description.toStdString();
    };
    expect(WidgetFamily::systemSmall, QRect(10, 20, 170, 170));
    expect(WidgetFamily::systemMedium, QRect(500, 600, 364, 170));

    // Their actions are the menu's commands, opening Ambrel the default one.
    QSignalSpy chosen(&desktop, &wayland::LayerShellDesktop::commandChosen);
    for (int i = 0; i < application->childCount(); ++i) {
        QAccessibleActionInterface* actions = application->child(i)->actionInterface();
        if (!actions) continue;
        EXPECT_EQ(actions->actionNames(), faceActionNames());
        actions->doAction(QAccessibleActionInterface::pressAction());
        actions->doAction(faceCommandLabel(FaceCommand::hideWidget));
    }
    ASSERT_EQ(chosen.count(), 4);
    EXPECT_EQ(chosen[0][1].value<FaceCommand>(), FaceCommand::openAmbrel);
    EXPECT_EQ(chosen[1][1].value<FaceCommand>(), FaceCommand::hideWidget);

    // The menu, drawn on a popup surface, is a popup menu of the application beside the
    // pointer: its rows are items, the row under the pointer has the focus, and an item's press
    // action chooses its command as a click would.
    const auto popupMenu = [&]() -> QAccessibleInterface* {
        for (int i = 0; i < application->childCount(); ++i)
            if (application->child(i)->role() == QAccessible::PopupMenu)
                return application->child(i);
        return nullptr;
    };
    pointer->click(QPoint(500 + 40, 600 + 40), true);
    ASSERT_TRUE(eventually([&] { return popupMenu() && !popupMenu()->state().invisible; }));
    const QStringList labels = faceCommandLabels();
    EXPECT_EQ(popupMenu()->rect(),
              QRect(QPoint(500 + 41, 600 + 41), wayland::PopupMenuLayout::size(labels)));
    ASSERT_EQ(popupMenu()->childCount(), labels.size());
    for (int i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(popupMenu()->child(i)->role(), QAccessible::MenuItem);
        EXPECT_EQ(popupMenu()->child(i)->text(QAccessible::Name), labels[i]);
    }
    pointer->moveTo(popupMenu()->child(1)->rect().center());
    EXPECT_TRUE(eventually([&] { return popupMenu()->child(1)->state().focused; }));
    EXPECT_EQ(popupMenu()->focusChild(), popupMenu()->child(1));
    popupMenu()->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(eventually([&] { return chosen.count() == 5; }));
    EXPECT_EQ(chosen[4][0].value<WidgetFamily>(), WidgetFamily::systemMedium);
    EXPECT_EQ(chosen[4][1].value<FaceCommand>(), FaceCommand::hideWidget);
    EXPECT_EQ(desktop.menu(), nullptr);
    EXPECT_EQ(popupMenu(), nullptr);
}

// weston has no layer shell: the host says so once and shows its face as a window.
TEST(WaylandFallbackTest, CompositorWithoutLayerShellGetsOrdinaryWindows) {
    testing::TempDir folder;
    auto weston = HeadlessCompositor::startWeston(folder.path(), QSize(1024, 768));
    if (!weston) {
        if (weston.error().cannotRun)
            GTEST_SKIP() << "weston cannot run on this machine: " << weston.error().message;
        FAIL() << weston.error().message;
    }
    WidgetProgram program(folder.path() / "home", (*weston)->socket());
    program.show({QStringLiteral("small")});
    // Its protocol log shows the host's window: titled, of the face's size, with a picture.
    const auto shownAsWindow = [&] {
        const QString log = (*weston)->log();
        const auto titled =
            QRegularExpression(
                QStringLiteral(
                    R"(client (\w+) rq xdg_toplevel@\d+\.set_title\("AdSense earnings"\))"))
                .match(log);
        if (!titled.hasMatch()) return false;
        const QString client =
            QStringLiteral("client ") + titled.captured(1) + QStringLiteral(" rq ");
        return log.contains(client + QStringLiteral("xdg_surface")) &&
               log.contains(QStringLiteral("set_window_geometry(0, 0, 170, 170)")) &&
               QRegularExpression(QRegularExpression::escape(client) +
                                  QStringLiteral(R"(wl_surface@\d+\.attach\(wl_buffer@)"))
                   .match(log)
                   .hasMatch();
    };
    EXPECT_TRUE(eventually(shownAsWindow)) << (*weston)->log().right(3000).toStdString();
    EXPECT_EQ(program.stop(),
              QStringLiteral("ambrel-widget: this Wayland compositor does not offer the layer "
                             "shell (zwlr_layer_shell_v1) that keeps widgets below the windows; "
                             "the widgets are shown as ordinary windows\n"));
}

}  // namespace
}  // namespace ambrel::widget
