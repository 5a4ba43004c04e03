// The GNOME Shell extension in a real, headless GNOME Shell, as a user sees it: installed by
// `cmake --install`, enabled before the shell starts, showing what the widget's test build
// prints and draws from a cache filled by a real refresh against the fake Google server.
// Runs through tests/gnome-shell/in-shell-session (a user other than root, a session of its
// own); the shell is asked through Eval, which the helper extension of the tests enables.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "core/auth/keychain.h"
#include "core/earnings/daily_report.h"
#include "core/earnings/earnings_store.h"
#include "core/platform/secret_store.h"
#include "fakes/fake_google.h"
#include "headless_gnome_shell.h"
#include "support/temp_dir.h"

namespace ambrel::testing {
namespace {

namespace fs = std::filesystem;
using fakes::FakeDay;

const QString kUuid = QStringLiteral("ambrel@corvane.com");
const QString kHelperUuid = QStringLiteral("ambrel-test-helper@corvane.com");
constexpr const char* kRefreshToken = "1//gnome-shell-refresh";
constexpr QSize kMonitor(1280, 800);
constexpr int kFollowMs = 10000;

// Stands in for the running application: records "Open Ambrel".
class FakeApplication final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
  public:
    int activations = 0;
  public Q_SLOTS:
    Q_SCRIPTABLE void Activate(const QVariantMap&) { ++activations; }
};

QString jsString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

std::vector<FakeDay> daysWithToday(double today) {
    const auto now = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    return {{.date = ambrel::dateKey(now), .earnings = today},
            {.date = ambrel::dateKey(now - std::chrono::days(1)), .earnings = 7.5},
            {.date = ambrel::dateKey(now - std::chrono::days(8)), .earnings = 5.0}};
}

// Opaque pixels of `face` that differ from `shot` by more than the filtering of a texture.
int differingPixels(const QImage& shot, const QImage& face) {
    if (shot.size() != face.size()) return face.width() * face.height();
    int differing = 0;
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            const QRgb want = face.pixel(x, y), got = shot.pixel(x, y);
            if (qAlpha(want) == 255 &&
                (std::abs(qRed(want) - qRed(got)) > 8 || std::abs(qGreen(want) - qGreen(got)) > 8 ||
                 std::abs(qBlue(want) - qBlue(got)) > 8))
                ++differing;
        }
    }
    return differing;
}

void copyFolder(const fs::path& from, const fs::path& to) {
    fs::create_directories(to);
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

class GnomeShellExtensionTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!std::getenv("AMBREL_EXTENSION_PREFIX") || !std::getenv("AMBREL_TEST_SESSION"))
            return;  // each test says why it skips
        if (QStandardPaths::findExecutable(QStringLiteral("gnome-shell")).isEmpty()) return;
        world_ = new World();
    }
    static void TearDownTestSuite() {
        delete world_;
        world_ = nullptr;
    }

    void SetUp() override {
        if (!std::getenv("AMBREL_EXTENSION_PREFIX"))
            GTEST_SKIP() << "needs tests/gnome-shell/in-shell-session";
        if (!world_) GTEST_SKIP() << "gnome-shell is not installed";
        ASSERT_TRUE(world_->shell) << world_->failure.toStdString();
    }

    // The fake Google server, the signed-in widget with its first refresh done, the programs
    // on the PATH, and the shell, shared by the tests in their order.
    struct World {
        World();
        QProcessEnvironment environment;
        TempDir folder;
        QString widgetProgram;  // as the shell finds it on its PATH
        std::optional<fakes::FakeGoogle> google;
        std::unique_ptr<HeadlessGnomeShell> shell;
        QString failure;
        FakeApplication application;

        // `ambrel-widget` (the test build) with the shell's environment; its standard output.
        QString widget(const QStringList& arguments) const {
            QProcess program;
            program.setProcessEnvironment(environment);
            program.start(widgetProgram, arguments);
            if (!program.waitForFinished(60000) || program.exitCode() != 0) {
                ADD_FAILURE() << "ambrel-widget " << arguments.join(' ').toStdString() << ": "
                              << program.readAllStandardError().toStdString();
            }
            return QString::fromUtf8(program.readAllStandardOutput());
        }
    };
    static World* world_;

    static HeadlessGnomeShell& shell() { return *world_->shell; }

    static QString widget(const QStringList& arguments) { return world_->widget(arguments); }

    static QJsonObject state() {
        const auto value = shell().eval(QStringLiteral("ambrelTest.state()"));
        return value ? value->toObject() : QJsonObject();
    }

    static std::string stateText() { return QJsonDocument(state()).toJson().toStdString(); }

    static QString faceCondition(const QString& condition) {
        return QStringLiteral(
                   "(f => f.length === 1 && f[0].visible && (%1))(ambrelTest.state().faces)")
            .arg(condition);
    }
};

GnomeShellExtensionTest::World* GnomeShellExtensionTest::world_ = nullptr;

GnomeShellExtensionTest::World::World() {
    const fs::path bin = folder.path() / "bin";
    fs::create_directories(bin);
    fs::create_symlink(AMBREL_WIDGET_TESTBASE, bin / "ambrel-widget");
    widgetProgram = QString::fromStdString((bin / "ambrel-widget").string());
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    copyFolder(AMBREL_SHELL_HELPER_DIR, fs::path(dataHome.toStdString()) / "gnome-shell" /
                                            "extensions" / kHelperUuid.toStdString());

    environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"),
                       QString::fromStdString(bin.string()) + QStringLiteral(":/usr/bin:/bin"));
    environment.insert(QStringLiteral("XDG_DATA_DIRS"),
                       qEnvironmentVariable("AMBREL_EXTENSION_PREFIX") +
                           QStringLiteral("/share:/usr/local/share:/usr/share"));
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en_US"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    environment.remove(QStringLiteral("DISPLAY"));
    // Qt's Wayland platform leaves some of libwayland's memory to the end of a process, which a
    // sanitizer build would report as the failure of every face the shell has drawn.
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       qEnvironmentVariable("ASAN_OPTIONS") + QStringLiteral(":detect_leaks=0"));

    google.emplace(AMBREL_WIDGET_TEST_PORT, fakes::Scheme::https);
    google->setClient("gnome-shell-test.apps", "gnome-shell-test-secret");
    google->setRefreshToken(kRefreshToken);
    google->setAccounts({{"accounts/pub-7", "Test publisher"}});
    google->setCurrency("EUR");
    google->setDays(daysWithToday(4.25));
    google->setPayments({{.name = "accounts/pub-7/payments/unpaid", .amount = "€1,234.56"}});
    const fs::path config = qEnvironmentVariable("XDG_CONFIG_HOME").toStdString();
    fs::create_directories(config / "ambrel");
    std::ofstream(config / "ambrel" / "client_secret.json") << google->clientSecretJson();
    const auto secrets = makeSystemSecretStore();
    if (!keychain::save(*secrets, refreshTokenItem(), kRefreshToken)) {
        failure = QStringLiteral("cannot store the refresh token in the session's keyring");
        return;
    }
    Objectives::save(*secrets, {10, 300});
    widget({QStringLiteral("timeline"), QStringLiteral("--json")});

    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.registerObject(QStringLiteral("/com/corvane/ambrel"), &application,
                       QDBusConnection::ExportScriptableSlots);
    bus.registerService(QStringLiteral("com.corvane.ambrel"));

    const fs::path artifacts = qEnvironmentVariable("AMBREL_TEST_ARTIFACTS").toStdString();
    auto started = HeadlessGnomeShell::start(
        {.environment = environment,
         .monitor = kMonitor,
         // The helper first: disabling the extension then leaves the helper alone.
         .extensions = {kHelperUuid, kUuid},
         .log = (artifacts.empty() ? folder.path() : artifacts) / "gnome-shell.log",
         .scratch = folder.path()});
    if (!started) {
        failure = started.error();
        return;
    }
    shell = std::move(*started);
}

// Enabled without errors; the label is the status line, its accessible name holds it, its menu
// holds the tooltip's lines and the actions; and a refresh that changes the cache changes it.
TEST_F(GnomeShellExtensionTest, TopBarShowsTheStatusLineAndFollowsTheCache) {
    EXPECT_EQ(shell().extensionState(kUuid), 1);
    EXPECT_TRUE(shell().extensionErrors(kUuid).isEmpty())
        << shell().extensionErrors(kUuid).join('\n').toStdString();

    const QString status = widget({QStringLiteral("status")}).chopped(1);
    ASSERT_TRUE(shell().waitFor(
        QStringLiteral("ambrelTest.state().label === %1").arg(jsString(status)), kFollowMs))
        << status.toStdString() << " is not in\n"
        << stateText();
    const QJsonObject shown = state();
    EXPECT_EQ(shown[QStringLiteral("buttons")].toInt(), 1);
    EXPECT_TRUE(shown[QStringLiteral("accessibleName")].toString().contains(status));
    EXPECT_EQ(shown[QStringLiteral("classes")].toArray(), QJsonArray{QStringLiteral("up")})
        << "yesterday 7.50 against 5.00 a week before";
    const QJsonObject waybar =
        QJsonDocument::fromJson(
            widget({QStringLiteral("status"), QStringLiteral("--format"), QStringLiteral("waybar")})
                .toUtf8())
            .object();
    QStringList menu;
    for (const auto& text : shown[QStringLiteral("menu")].toArray()) menu << text.toString();
    for (const QString& line : waybar[QStringLiteral("tooltip")].toString().split('\n'))
        EXPECT_TRUE(menu.contains(line)) << line.toStdString() << " not in the menu";
    EXPECT_TRUE(menu.contains(QStringLiteral("Refresh now")));
    EXPECT_TRUE(menu.contains(QStringLiteral("Open Ambrel")));
    EXPECT_TRUE(menu.contains(QStringLiteral("Show widgets on the desktop")));

    // "Open Ambrel" asks the running application through its bus name.
    const int before = world_->application.activations;
    ASSERT_TRUE(shell().eval(QStringLiteral("ambrelTest.activateMenuItem('Open Ambrel')")));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return world_->application.activations == before + 1; }, 5000));

    world_->google->setDays(daysWithToday(6.75));
    widget({QStringLiteral("timeline"), QStringLiteral("--json")});
    QElapsedTimer sinceChange;
    sinceChange.start();
    const QString changed = widget({QStringLiteral("status")}).chopped(1);
    ASSERT_NE(changed, status);
    EXPECT_TRUE(shell().waitFor(
        QStringLiteral("ambrelTest.state().label === %1").arg(jsString(changed)), kFollowMs))
        << changed.toStdString() << " is not in\n"
        << stateText();
    RecordProperty("label_follows_ms", static_cast<int>(sinceChange.elapsed()));
}

// The medium face alone at first: in the shell's background group at its size, with the
// faces' accessible texts and the very drawing of `render`, and covered by a window over it.
TEST_F(GnomeShellExtensionTest, MediumFaceLiesBelowWindowsAsRenderDrawsIt) {
    const QString file = QString::fromStdString((world_->folder.path() / "medium.png").string());
    const QStringList texts =
        widget({QStringLiteral("render"), QStringLiteral("--family"), QStringLiteral("medium"),
                QStringLiteral("--cached"), QStringLiteral("--describe"),
                QStringLiteral("--output"), file})
            .split('\n');
    ASSERT_FALSE(texts.value(1).isEmpty());
    // Drawn anew since the cache changed, with the faces' own texts.
    ASSERT_TRUE(shell().waitFor(
        faceCondition(
            QStringLiteral("f[0].accessibleDescription === %1").arg(jsString(texts.value(1)))),
        kFollowMs))
        << texts.value(1).toStdString() << " is not in\n"
        << stateText();
    const QJsonObject face = state()[QStringLiteral("faces")].toArray().at(0).toObject();
    EXPECT_EQ(face[QStringLiteral("accessibleName")].toString(), texts.value(0));
    EXPECT_EQ(texts.value(0), QStringLiteral("AdSense earnings"));
    EXPECT_TRUE(face[QStringLiteral("classes")].toString().contains(QStringLiteral("medium")));
    EXPECT_TRUE(face[QStringLiteral("inBackgroundGroup")].toBool());
    const QRect place(face[QStringLiteral("x")].toInt(), face[QStringLiteral("y")].toInt(),
                      face[QStringLiteral("width")].toInt(),
                      face[QStringLiteral("height")].toInt());
    EXPECT_EQ(place.size(), QSize(364, 170));

    // At its place, pixel for pixel as `render` draws it, give or take the shell's filtering.
    const QImage drawn = QImage(file).convertToFormat(QImage::Format_ARGB32);
    QImage shot;
    const bool same = QTest::qWaitFor(
        [&] {
            shot = shell().screenshot(place);
            return !shot.isNull() &&
                   differingPixels(shot, drawn) < drawn.width() * drawn.height() / 100;
        },
        kFollowMs);
    shot.save(qEnvironmentVariable("AMBREL_TEST_ARTIFACTS") + QStringLiteral("/medium-face.png"));
    EXPECT_TRUE(same) << differingPixels(shot, drawn) << " pixels differ from what render draws";

    // A normal window over part of it hides that part.
    QProcess window;
    QProcessEnvironment environment = world_->environment;
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    window.setProcessEnvironment(environment);
    window.start(QStringLiteral(AMBREL_SOLID_WINDOW), {QStringLiteral("#ff00ff")});
    ASSERT_TRUE(
        shell().waitFor(QStringLiteral("ambrelTest.state().windows.length === 1"), kFollowMs))
        << stateText();
    const QString title =
        state()[QStringLiteral("windows")].toArray().at(0)[QStringLiteral("title")].toString();
    const QString move = QStringLiteral("ambrelTest.moveWindow(%1, %2, %3)")
                             .arg(jsString(title))
                             .arg(place.x() + 120)
                             .arg(place.y() + 40);
    // Moved again until it shows there: the shell places a new window itself once its first
    // frame is in, which may undo a move made before.
    const QPoint covered = place.topLeft() + QPoint(300, 150);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            if (shell().eval(move).value_or(false) != QJsonValue(true)) return false;
            const QImage pixel = shell().screenshot(QRect(covered, QSize(1, 1)));
            return !pixel.isNull() && pixel.pixel(0, 0) == qRgb(255, 0, 255);
        },
        kFollowMs))
        << stateText();
    const QJsonObject stacked = state();
    EXPECT_GT(stacked[QStringLiteral("windows")].toArray().at(0)[QStringLiteral("index")].toInt(),
              stacked[QStringLiteral("backgroundGroupIndex")].toInt());
    shell()
        .screenshot(QRect(QPoint(0, 0), kMonitor))
        .save(qEnvironmentVariable("AMBREL_TEST_ARTIFACTS") + QStringLiteral("/covered-face.png"));
    window.kill();
    window.waitForFinished(5000);
    shell().waitFor(QStringLiteral("ambrelTest.state().windows.length === 0"), kFollowMs);
}

// A drag moves the face; the shell, restarted, puts it back there; a click opens Ambrel.
TEST_F(GnomeShellExtensionTest, DraggedFaceKeepsItsPlaceAcrossARestart) {
    ASSERT_TRUE(shell().waitFor(faceCondition(QStringLiteral("true")), kFollowMs)) << stateText();
    const QJsonObject face = state()[QStringLiteral("faces")].toArray().at(0).toObject();
    const QPoint from(face[QStringLiteral("x")].toInt() + 180,
                      face[QStringLiteral("y")].toInt() + 80);
    const QPoint by(-400, 250);
    const int activations = world_->application.activations;
    ASSERT_TRUE(shell().eval(QStringLiteral("ambrelTest.drag(%1, %2, %3, %4)")
                                 .arg(from.x())
                                 .arg(from.y())
                                 .arg(from.x() + by.x())
                                 .arg(from.y() + by.y())));
    ASSERT_TRUE(shell().waitFor(QStringLiteral("ambrelTest.dragDone"), kFollowMs));
    const QString moved = QStringLiteral("f[0].x === %1 && f[0].y === %2")
                              .arg(face[QStringLiteral("x")].toInt() + by.x())
                              .arg(face[QStringLiteral("y")].toInt() + by.y());
    ASSERT_TRUE(shell().waitFor(faceCondition(moved), kFollowMs)) << stateText();
    EXPECT_EQ(world_->application.activations, activations) << "a drag is no click";

    ASSERT_TRUE(shell().restart()) << shell().log().toStdString();
    EXPECT_TRUE(shell().waitFor(faceCondition(moved), kFollowMs)) << stateText();

    const QPoint click = from + by;
    ASSERT_TRUE(shell().eval(
        QStringLiteral("ambrelTest.drag(%1, %2, %1, %2)").arg(click.x()).arg(click.y())));
    ASSERT_TRUE(shell().waitFor(QStringLiteral("ambrelTest.dragDone"), kFollowMs));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return world_->application.activations == activations + 1; }, 5000));
}

// disable() takes the button and the faces away; enable() again brings back one of each.
TEST_F(GnomeShellExtensionTest, EnableDisableEnableLeavesOneButtonAndOneSetOfFaces) {
    const auto disableMs = shell().eval(QStringLiteral("ambrelTest.timeDisable()"));
    ASSERT_TRUE(disableMs) << disableMs.error().toStdString();
    RecordProperty("disable_ms", QString::number(disableMs->toDouble(), 'f', 2).toStdString());

    ASSERT_TRUE(shell().eval(QStringLiteral("imports.ui.main.extensionManager.disableExtension(%1)")
                                 .arg(jsString(kUuid))));
    ASSERT_TRUE(QTest::qWaitFor([] { return shell().extensionState(kUuid) == 2; }, kFollowMs));
    EXPECT_TRUE(shell().waitFor(
        QStringLiteral("(s => s.buttons === 0 && s.faces.length === 0)(ambrelTest.state())"),
        kFollowMs))
        << stateText();

    ASSERT_TRUE(shell().eval(QStringLiteral("imports.ui.main.extensionManager.enableExtension(%1)")
                                 .arg(jsString(kUuid))));
    ASSERT_TRUE(QTest::qWaitFor([] { return shell().extensionState(kUuid) == 1; }, kFollowMs));
    EXPECT_TRUE(shell().waitFor(faceCondition(QStringLiteral("true")), kFollowMs)) << stateText();
    EXPECT_EQ(state()[QStringLiteral("buttons")].toInt(), 1) << stateText();
    EXPECT_TRUE(shell().extensionErrors(kUuid).isEmpty());
}

// `ambrel-widget show` leaves the desktop to the enabled extension, saying so once; with the
// extension disabled, its message about ordinary windows says how to enable it.
TEST_F(GnomeShellExtensionTest, ShowDefersToTheExtension) {
    QProcessEnvironment environment = world_->environment;
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    // Runs `show` until it has said `expected` and its windows, if `windows`, have appeared (or
    // long enough for them to appear, if not); how often it said it.
    const auto showSays = [&](const QString& expected, bool windows) {
        QProcess show;
        show.setProcessEnvironment(environment);
        show.start(world_->widgetProgram, {QStringLiteral("show")});
        QByteArray said;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return (said += show.readAllStandardError()).contains(expected.toUtf8()); },
            kFollowMs))
            << said.toStdString();
        if (windows) {
            EXPECT_TRUE(shell().waitFor(QStringLiteral("ambrelTest.state().windows.length > 0"),
                                        kFollowMs));
        } else {
            QTest::qWait(1500);
            EXPECT_EQ(state()[QStringLiteral("windows")].toArray().size(), 0) << stateText();
        }
        said += show.readAllStandardError();
        show.terminate();
        show.waitForFinished(10000);
        return QString::fromUtf8(said).count(expected);
    };

    EXPECT_EQ(
        showSays(QStringLiteral("through the GNOME Shell extension ambrel@corvane.com"), false), 1);

    ASSERT_TRUE(shell().eval(QStringLiteral("imports.ui.main.extensionManager.disableExtension(%1)")
                                 .arg(jsString(kUuid))));
    ASSERT_TRUE(QTest::qWaitFor([] { return shell().extensionState(kUuid) == 2; }, kFollowMs));
    EXPECT_EQ(showSays(QStringLiteral("gnome-extensions enable ambrel@corvane.com"), true), 1);
    shell().eval(QStringLiteral("imports.ui.main.extensionManager.enableExtension(%1)")
                     .arg(jsString(kUuid)));
}

}  // namespace
}  // namespace ambrel::testing

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "gnome_shell_extension_test.moc"
