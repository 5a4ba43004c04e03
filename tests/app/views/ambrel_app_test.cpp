// The application's windows and menu: the main window's sizes and title, one About window at
// a time, and quitting when the main window closes.

#include "app/ambrel_app.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "app/about_settings.h"
#include "app/content_view.h"
#include "app/dashboard_view.h"
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
    AmbrelApp app{backend.operations(), DashboardContext{secrets, [] {}}};
};

QAction* actionNamed(QMainWindow& window, const char* name) {
    return window.menuBar()->findChild<QAction*>(QLatin1String(name));
}

TEST_F(AmbrelAppTest, MainWindowSizesTitleAndRoot) {
    QMainWindow& window = app.mainWindow();
    EXPECT_EQ(window.objectName(), QStringLiteral("dashboard"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Ambrel"));
    // The sizes are the content's; the menu bar comes on top.
    window.show();
    EXPECT_EQ(app.content().size(), QSize(600, 800));
    EXPECT_GT(window.height(), 800);
    window.resize(300, 300);
    ASSERT_TRUE(waitFor([&] { return app.content().size() == QSize(520, 600); }))
        << "never smaller than 520 x 600";
    EXPECT_NE(app.content().login(), nullptr);
    saveScreenshot(window, QStringLiteral("main-window-signed-out"));
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
    AmbrelApp app(backend.operations(), DashboardContext{secrets, [] {}});
    app.mainWindow().show();
    EXPECT_EQ(app.content().size(), QSize(600, 800)) << "the toolbar comes on top";
    ASSERT_TRUE(waitFor([&] { return app.state().hasDashboard() && !app.state().isWorking(); }));
    EXPECT_EQ(app.mainWindow().windowTitle(), QStringLiteral("AdSense earnings"));
    saveScreenshot(app.mainWindow(), QStringLiteral("dashboard-en_US"));
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
    AmbrelApp app(backend.operations(), DashboardContext{secrets, [] {}});
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
