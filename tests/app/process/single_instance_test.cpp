// One application per session: a second `ambrel` hands over to the first (whose window comes
// back from the minimised state) and exits 0, or soon gives up on a first that does not answer;
// its arguments are checked before it needs a display. The first instance is this test, holding the
// name on the private session bus of scripts/with-test-session.

#include "app/single_instance.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QWidget>
#include <chrono>
#include <cstdlib>

namespace ambrel {
namespace {

struct ProcessRun {
    int exitCode = -1;
    QByteArray out, err;
};

ProcessRun runAmbrel(const QStringList& arguments, const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(AMBREL_APP_EXE), arguments);
    if (!process.waitForFinished(30000)) process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

// Without a display, and so without touching anything a window would need.
TEST(AmbrelCommandLine, HelpAndVersionNeedNoDisplayAndBadArgumentsAreUsageErrors) {
    QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        headless.remove(QString::fromLatin1(name));

    const ProcessRun help = runAmbrel({QStringLiteral("--help")}, headless);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("usage: ambrel")) << help.out.toStdString();
    const ProcessRun version = runAmbrel(
        {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--version")},
        headless);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("ambrel 0.1 (")) << version.out.toStdString();
    const ProcessRun bad = runAmbrel({QStringLiteral("--frobnicate")}, headless);
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.out.isEmpty());
    EXPECT_TRUE(bad.err.contains("usage: ambrel")) << bad.err.toStdString();
}

TEST(SingleInstance, SecondStartHandsOverOrSoonSaysThatTheFirstDoesNotAnswer) {
    if (!std::getenv("AMBREL_TEST_SESSION")) GTEST_SKIP() << "needs scripts/with-test-session";
    int argc = 1;
    char name[] = "single-instance-test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QWidget window;
    window.showMinimized();
    SingleInstance first;
    ASSERT_EQ(first.claim(), SingleInstance::Claim::first);
    QObject::connect(&first, &SingleInstance::activated, [&window] { raiseWindow(window); });
    QSignalSpy activated(&first, &SingleInstance::activated);

    QProcess second;
    second.start(QStringLiteral(AMBREL_APP_EXE), {});
    ASSERT_TRUE(activated.wait(15000)) << second.readAllStandardError().toStdString();
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.windowState().testFlag(Qt::WindowMinimized));

    // A first instance still starting (here: one whose event loop does not run meanwhile)
    // cannot answer: the next start gives up after two short tries, not D-Bus's 25 s, and says
    // so. Its calls still reach the first once that runs.
    activated.clear();
    QProcess third;
    third.start(QStringLiteral(AMBREL_APP_EXE), {});
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(third.waitForFinished(20000));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(12));
    EXPECT_EQ(third.exitCode(), 1);
    EXPECT_TRUE(third.readAllStandardError().contains("does not answer"));
    EXPECT_TRUE(activated.wait(5000));
}

}  // namespace
}  // namespace ambrel
