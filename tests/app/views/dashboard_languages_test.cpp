// The sign-in view and the dashboard in every language of po/LINGUAS: no label is cut short or
// wraps past its place. Each window is saved to the test artefacts, with the scale in its name
// (run with QT_SCALE_FACTOR=2 for the doubled one).

#include <QAbstractButton>
#include <QMainWindow>
#include <fstream>

#include "app/ambrel_app.h"
#include "support/memory_secret_store.h"
#include "view_test_support.h"

namespace ambrel::testing {
namespace {

std::vector<std::string> languages() {
    std::ifstream in(std::filesystem::path(std::getenv("AMBREL_SOURCE_DIR")) / "po" / "LINGUAS");
    std::vector<std::string> found;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') found.push_back(line);
    return found;
}

// glibc keeps the translations it found until the locale changes, whatever LANGUAGE says.
void useLanguage(const std::string& language) {
    setenv("LANGUAGE", language.c_str(), 1);
    std::setlocale(LC_MESSAGES, "C");
    std::setlocale(LC_MESSAGES, "C.UTF-8");
}

// A visible label narrower than its one line, or shorter than its wrapped lines; a button
// narrower than its text.
void expectEveryTextFits(const QWidget& window) {
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty() || !label->pixmap().isNull())
            continue;
        if (label->wordWrap()) {
            EXPECT_LE(label->heightForWidth(label->width()), label->height())
                << "wraps past its place: " << label->text().toStdString();
        } else {
            EXPECT_LE(label->minimumSizeHint().width(), label->width())
                << "cut short: " << label->text().toStdString();
        }
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->isVisible() && !button->text().isEmpty()) {
            EXPECT_LE(button->sizeHint().width(), button->width())
                << "cut short: " << button->text().toStdString();
        }
    }
}

// saveScreenshot adds the scale of a scaled run ("@2x").
QString shotName(const char* view, const std::string& language) {
    return QStringLiteral("%1-%2").arg(QLatin1String(view), QString::fromStdString(language));
}

TEST(DashboardLanguages, SignInAndDashboardFitInEveryLanguage) {
    for (const std::string& language : languages()) {
        SCOPED_TRACE(language);
        useLanguage(language);
        MemorySecretStore secrets;
        {
            FakeBackend signedOut;
            AmbrelApp app(signedOut.operations(), DashboardContext{secrets, [] {}});
            app.mainWindow().show();
            saveScreenshot(app.mainWindow(), shotName("login", language));
            expectEveryTextFits(app.mainWindow());
        }
        FakeBackend backend;
        backend.setToken("refresh-token");
        backend.setRefreshResult(snapshotWithTrend());
        AmbrelApp app(backend.operations(), DashboardContext{secrets, [] {}});
        app.mainWindow().show();
        ASSERT_TRUE(waitFor([&] { return app.state().hasDashboard() && !app.state().isWorking(); }));
        saveScreenshot(app.mainWindow(), shotName("dashboard", language));
        expectEveryTextFits(app.mainWindow());
        backend.release();
    }
    useLanguage("en_US");
}

}  // namespace
}  // namespace ambrel::testing

int main(int argc, char** argv) {
    return ambrel::testing::runGuiTests(argc, argv, "en_US");
}
