// "Open Ambrel" on the private session bus of scripts/with-test-session, with a stand-in
// `ambrel` that only records its start: a burst of activations while the application does not
// run starts it once; once it owns its name they reach it instead; a start whose process never
// takes the name holds later ones off for ten seconds, no longer.

#include "widget/panel/application_launcher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/single_instance.h"
#include "support/temp_dir.h"
#include "ui/application_bus.h"

namespace ambrel::panel {
namespace {

TEST(ApplicationLauncher, ABurstOfActivationsStartsOneApplication) {
    if (!std::getenv("AMBREL_TEST_SESSION")) GTEST_SKIP() << "needs scripts/with-test-session";
    int argc = 1;
    char name[] = "application-launcher-test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();

    testing::TempDir folder;
    const auto starts = folder.path() / "starts";
    const auto program = folder.path() / "ambrel";
    std::ofstream(program) << "#!/bin/sh\necho started >>'" << starts.string() << "'\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    const auto startCount = [&] {
        std::ifstream in(starts);
        return static_cast<int>(
            std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n'));
    };
    std::ostringstream err;
    ApplicationLauncher launcher(bus, QString::fromStdString(folder.path().string()), err);
    const auto burst = [&] {
        for (int i = 0; i < 20; ++i) {
            launcher.open();
            QCoreApplication::processEvents();
        }
    };

    burst();
    ASSERT_TRUE(QTest::qWaitFor([&] { return startCount() == 1; }, 5000));
    QTest::qWait(500);
    burst();
    QTest::qWait(500);
    EXPECT_EQ(startCount(), 1);

    // The application owns its name: activations reach it, and start nothing.
    {
        SingleInstance application;
        ASSERT_EQ(application.claim(), SingleInstance::Claim::first);
        QSignalSpy activated(&application, &SingleInstance::activated);
        ASSERT_TRUE(QTest::qWaitFor([&] { return (burst(), activated.size() > 0); }, 5000));
        QTest::qWait(500);
        EXPECT_EQ(startCount(), 1);
        bus.unregisterService(QString::fromLatin1(ApplicationBus::kService));
    }

    // It has gone: the next activation starts it again; that start never takes the name, so
    // activations start nothing until ten seconds have passed.
    burst();
    ASSERT_TRUE(QTest::qWaitFor([&] { return startCount() == 2; }, 5000));
    const auto started = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - started <
           ApplicationLauncher::kStartLimit - std::chrono::milliseconds(500)) {
        burst();
        QTest::qWait(200);
    }
    EXPECT_EQ(startCount(), 2);
    QTest::qWait(1000);
    burst();
    ASSERT_TRUE(QTest::qWaitFor([&] { return startCount() == 3; }, 5000));
    EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace ambrel::panel
