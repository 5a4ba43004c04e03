// The application's windows and menu: the main window's sizes and title, one About window at
// a time, and quitting when the main window closes.

#include "app/ambrel_app.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app/about_settings.h"
#include "app/content_view.h"
#include "app/dashboard_view.h"
#include "app/first_window_size.h"
#include "app/login_view.h"
#include "support/memory_secret_store.h"
#include "ui/about_view.h"
#include "view_test_support.h"

namespace ambrel::testing {
namespace {

class AmbrelAppTest : public ::testing::Test {
  protected:
    ~AmbrelAppTest() override { backend.release(); }

    FakeBackend backend;
    MemorySecretStore secrets;
    AmbrelApp app{backend.operations(), freshContext(secrets)};
};

QAction* actionNamed(QMainWindow& window, const char* name) {
    return window.menuBar()->findChild<QAction*>(QLatin1String(name));
}

TEST_F(AmbrelAppTest, MainWindowSizesTitleAndRoot) {
    QMainWindow& window = app.mainWindow();
    EXPECT_EQ(window.objectName(), QStringLiteral("dashboard"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Ambrel"));
    // The sizes are the content's; the menu bar comes on top (a large screen: see CMake).
    ASSERT_GE(window.screen()->availableGeometry().height(), 1000);
    window.show();
    EXPECT_EQ(app.content().size(), QSize(600, 800));
    EXPECT_GT(window.height(), 800);
    window.resize(300, 300);
    ASSERT_TRUE(waitFor([&] { return app.content().size() == QSize(520, 600); }))
        << "never smaller than 520 x 600";
    EXPECT_NE(app.content().login(), nullptr);
    saveScreenshot(window, QStringLiteral("main-window-signed-out"));
}

// A 1366 x 768 laptop with a 32-pixel panel: the first size shrinks to what is left under the
// bars and the title bar, never below the minimum; a large screen keeps 600 x 800.
TEST(FirstWindowSize, ShrinksToTheScreensAvailableArea) {
    const QSize wanted(600, 800);
    const QSize minimum(520, 600);
    const QSize bars(0, 62);
    EXPECT_EQ(firstContentSize(wanted, minimum, bars, QRect(0, 32, 1366, 736)),
              QSize(600, 736 - 62 - kWindowFrameAllowance));
    EXPECT_EQ(firstContentSize(wanted, minimum, bars, QRect(0, 0, 1920, 1200)), wanted);
    EXPECT_EQ(firstContentSize(wanted, minimum, bars, QRect(0, 0, 480, 500)), minimum);
}

TEST_F(AmbrelAppTest, AmbrelMenuHoldsAboutAndQuit) {
    QMenu* menu = app.mainWindow().menuBar()->findChild<QMenu*>(QStringLiteral("appMenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), QStringLiteral("Ambrel"));
    EXPECT_EQ(app.mainWindow().menuBar()->actions().front(), menu->menuAction());
    QAction* about = actionNamed(app.mainWindow(), "aboutAction");
    QAction* quit = actionNamed(app.mainWindow(), "quitAction");
    ASSERT_NE(about, nullptr);
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(about->text(), QStringLiteral("About Ambrel"));
    EXPECT_FALSE(about->icon().isNull());
    EXPECT_EQ(quit->text(), QStringLiteral("Quit"));
    EXPECT_EQ(quit->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
}

TEST_F(AmbrelAppTest, AboutOpensOnceAndIsRaisedOnRepeat) {
    QAction* about = actionNamed(app.mainWindow(), "aboutAction");
    about->trigger();
    QWidget* first = app.aboutWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->objectName(), QStringLiteral("about"));
    EXPECT_EQ(first->windowTitle(), QStringLiteral("About Ambrel"));
    EXPECT_TRUE(first->isVisible());
    // Fixed to its content: the About view's 500 x 460.
    EXPECT_EQ(first->minimumSize(), first->maximumSize());
    EXPECT_EQ(first->size(), QSize(500, 460));
    saveScreenshot(*first, QStringLiteral("about"));

    about->trigger();
    EXPECT_EQ(app.aboutWindow(), first);
    int aboutWindows = 0;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QStringLiteral("about") && window->isVisible()) ++aboutWindows;
    }
    EXPECT_EQ(aboutWindows, 1);

    // Closing it leaves the application as it was; the next one is new.
    first->close();
    ASSERT_TRUE(waitFor([&] { return app.aboutWindow() == nullptr; }));
    about->trigger();
    EXPECT_NE(app.aboutWindow(), nullptr);
}

TEST(AboutSettings, ProductTextsAndLinks) {
    const AboutViewSettings settings = ambrelAboutSettings();
    EXPECT_EQ(settings.appName, QCoreApplication::applicationName());
    EXPECT_EQ(settings.description,
              QStringLiteral("Your AdSense earnings, right on your desktop."));
    ASSERT_TRUE(settings.website && settings.support && settings.copyright);
    EXPECT_EQ(settings.website->label, QStringLiteral("ambrel.app"));
    EXPECT_EQ(settings.website->url, QUrl(QStringLiteral("https://ambrel.app")));
    EXPECT_EQ(settings.support->label, QStringLiteral("Support development"));
    EXPECT_EQ(settings.copyright->text, QStringLiteral("© 2026 Corvane"));
    EXPECT_TRUE(settings.licenses.isEmpty());
    EXPECT_TRUE(settings.extraTabs.isEmpty());
    EXPECT_EQ(settings.aboutTabLabel, QStringLiteral("About"));
    EXPECT_EQ(settings.licensesTabLabel, QStringLiteral("Licenses"));
    EXPECT_EQ(settings.height, 460);
}

TEST(AmbrelAppDashboard, ConnectedAtStartShowsTheFiguresUnderTheDashboardTitle) {
    FakeBackend backend;
    backend.setToken("refresh-token");
    backend.setRefreshResult(knownSnapshot());
    MemorySecretStore secrets;
    AmbrelApp app(backend.operations(), freshContext(secrets));
    app.mainWindow().show();
    EXPECT_EQ(app.content().size(), QSize(600, 800)) << "the toolbar comes on top";
    ASSERT_TRUE(waitFor([&] { return app.state().hasDashboard() && !app.state().isWorking(); }));
    EXPECT_EQ(app.mainWindow().windowTitle(), QStringLiteral("AdSense earnings"));
    saveScreenshot(app.mainWindow(), QStringLiteral("dashboard-en_US"));
}

// Signed in with figures from an earlier run: they show, with their time, as soon as the stored
// sign-in has been looked up, while the first refresh has not answered yet.
TEST(AmbrelAppStart, CachedFiguresShowAtOnceWhileTheFirstRefreshRuns) {
    FakeBackend backend;
    backend.setToken("refresh-token");
    AmbrelSnapshot cached = knownSnapshot();
    cached.today = 4.2;
    backend.setCachedSnapshot(cached);
    backend.holdRefresh();
    MemorySecretStore secrets;
    AmbrelApp app(backend.operations(), freshContext(secrets), StartLookup::inBackground);
    app.mainWindow().show();
    ASSERT_TRUE(waitFor([&] { return !app.state().isStarting(); }));
    ASSERT_TRUE(waitFor([&] { return app.state().isWorking(); }));
    DashboardView* dashboard = app.content().dashboard();
    ASSERT_NE(dashboard, nullptr);
    EXPECT_EQ(dashboard->page(), DashboardView::Page::Form);
    EXPECT_NE(findAccessible(app.mainWindow(), QAccessible::StaticText, QStringLiteral("€4.20")),
              nullptr);
    EXPECT_NE(findAccessible(app.mainWindow(), QAccessible::StaticText,
                             QStringLiteral("Updated at 2:05 PM")),
              nullptr)
        << textOf(app.mainWindow(), QStringLiteral("freshness")).toStdString();
    saveScreenshot(app.mainWindow(), QStringLiteral("dashboard-cached-at-start"));

    backend.setRefreshResult(knownSnapshot());
    backend.release();
    ASSERT_TRUE(waitFor([&] { return !app.state().isWorking(); }));
    EXPECT_NE(findAccessible(app.mainWindow(), QAccessible::StaticText, QStringLiteral("€6.50")),
              nullptr);
}

// F5 and Ctrl+R refresh, Ctrl+, opens the objectives; the "Dashboard" menu holds every toolbar
// action with its shortcut.
TEST(AmbrelAppKeyboard, RefreshAndObjectivesFromTheKeyboardAndTheMenu) {
    FakeBackend backend;
    backend.setToken("refresh-token");
    backend.setRefreshResult(knownSnapshot());
    MemorySecretStore secrets;
    AmbrelApp app(backend.operations(), freshContext(secrets));
    QMainWindow& window = app.mainWindow();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(waitFor([&] { return window.isActiveWindow() && !app.state().isWorking(); }));

    QSignalSpy refreshes(&app.state(), &AppState::isWorkingChanged);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)}) {
        QTest::keySequence(&window, keys);
        ASSERT_TRUE(waitFor([&] { return !app.state().isWorking(); }));
    }
    EXPECT_EQ(refreshes.count(), 4) << "two refreshes, each on and off";

    QTest::keySequence(&window, QKeySequence(Qt::CTRL | Qt::Key_Comma));
    ASSERT_TRUE(waitFor([&] { return app.content().dashboard()->objectivesSheet() != nullptr; }));
    app.content().dashboard()->objectivesSheet()->close();

    auto* menu = window.menuBar()->findChild<QMenu*>(QStringLiteral("dashboardMenu"));
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        items << action->text() + QLatin1Char('\t') + action->shortcut().toString();
    }
    EXPECT_EQ(items, (QStringList{"Refresh\tF5", "Objectives…\tCtrl+,", "Sign out\t"}));
}

void expectPlainLabels(const QWidget& root) {
    for (const QLabel* label : root.findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue;
        EXPECT_EQ(label->textFormat(), Qt::PlainText)
            << label->objectName().toStdString() << ": " << label->text().toStdString();
    }
}

// Google's answers and whatever reaches the loopback listener end up in labels: no label of
// any window reads its text as markup.
TEST(AmbrelAppLabels, EveryLabelOfEveryWindowIsPlainText) {
    FakeBackend backend;
    backend.setSignInResult(std::unexpected(Error{OAuthError::token("<i>denied</i>")}));
    AmbrelSnapshot snapshot = knownSnapshot();
    snapshot.balance = "<b>€1</b>";
    backend.setRefreshResult(snapshot);
    MemorySecretStore secrets;
    AmbrelApp app(backend.operations(), freshContext(secrets));
    app.mainWindow().show();
    app.state().connect();
    ASSERT_TRUE(waitFor([&] { return app.state().errorMessage().has_value(); }));
    expectPlainLabels(app.mainWindow());

    backend.setSignInResult({});
    app.state().connect();
    ASSERT_TRUE(waitFor([&] { return app.state().hasDashboard() && !app.state().isWorking(); }));
    expectPlainLabels(app.mainWindow());
    app.content().dashboard()->showObjectives();
    ASSERT_NE(app.content().dashboard()->objectivesSheet(), nullptr);
    expectPlainLabels(*app.content().dashboard()->objectivesSheet());
    app.showAbout();
    expectPlainLabels(*app.aboutWindow());
}

// Last: it runs the event loop to its end.
TEST_F(AmbrelAppTest, ClosingTheMainWindowQuitsEvenWithAboutOpen) {
    app.mainWindow().show();
    app.showAbout();
    QTimer::singleShot(0, &app.mainWindow(), [&] { app.mainWindow().close(); });
    QTimer::singleShot(3000, qApp, [] { QCoreApplication::exit(2); });  // not quitting fails
    EXPECT_EQ(QApplication::exec(), 0);
}

TEST_F(AmbrelAppTest, ClosingTheAboutWindowAloneDoesNotQuit) {
    app.mainWindow().show();
    app.showAbout();
    QTimer::singleShot(0, app.aboutWindow(), [&] { app.aboutWindow()->close(); });
    QTimer::singleShot(300, qApp, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(QApplication::exec(), 7);
}

}  // namespace
}  // namespace ambrel::testing

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("Ambrel"));
    return ambrel::testing::runGuiTests(argc, argv, "en_US");
}
