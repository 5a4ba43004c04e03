// The sign-in view: the button while a sign-in runs, and the error message under it.

#include "app/login_view.h"

#include <sys/stat.h>

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <fstream>
#include <sstream>

#include "app/browser_wait_row.h"
#include "app/busy_indicator.h"
#include "app/client_file_help.h"
#include "core/auth/oauth_config.h"
#include "support/palettes.h"
#include "support/temp_dir.h"
#include "view_test_support.h"

namespace ambrel::testing {
namespace {

class LoginViewTest : public ::testing::Test {
  protected:
    ~LoginViewTest() override { backend.release(); }

    FakeBackend backend;
    AppState state{backend.operations()};
};

TEST_F(LoginViewTest, ShowsTheProductAndAnEnabledButton) {
    LoginView view(state);
    view.resize(600, 800);
    view.show();
    EXPECT_EQ(textOf(view, QStringLiteral("productName")), QStringLiteral("Ambrel"));
    EXPECT_EQ(textOf(view, QStringLiteral("tagline")),
              QStringLiteral("Your AdSense earnings, on your desktop."));
    EXPECT_EQ(textOf(view, QStringLiteral("signInText")), QStringLiteral("Sign in with Google"));
    EXPECT_EQ(view.signInButton()->accessibleName(), QStringLiteral("Sign in with Google"));
    EXPECT_TRUE(view.signInButton()->isEnabled());
    EXPECT_FALSE(view.spinner()->isVisible());
    EXPECT_FALSE(view.errorLabel()->isVisible());
    EXPECT_FALSE(labelNamed(view, QStringLiteral("productMark"))->pixmap().isNull());
    saveScreenshot(view, QStringLiteral("sign-in"));
}

TEST_F(LoginViewTest, ButtonIsDisabledWithASpinnerWhileWorking) {
    LoginView view(state);
    view.show();
    backend.hold();
    view.signInButton()->click();
    EXPECT_TRUE(state.isWorking());
    EXPECT_FALSE(view.signInButton()->isEnabled());
    EXPECT_TRUE(view.spinner()->isVisible());
    EXPECT_TRUE(view.spinner()->isSpinning());
    saveScreenshot(view, QStringLiteral("sign-in-working"));

    // A second click while working starts nothing.
    view.signInButton()->click();
    backend.setSignInResult(std::unexpected(Error{OAuthError::missingConfig()}));
    backend.release();
    ASSERT_TRUE(waitFor([&] { return !state.isWorking(); }));
    EXPECT_TRUE(view.signInButton()->isEnabled());
    EXPECT_FALSE(view.spinner()->isVisible());
    EXPECT_TRUE(view.errorLabel()->isVisible());
    EXPECT_EQ(view.errorLabel()->text(),
              QStringLiteral("Choose your Google client file first: Ambrel signs in with it."));
}

// While the browser is out the view says so, offers the consent page's link to copy (for a
// browser that opened elsewhere) and a Cancel that ends the wait at once, reporting nothing.
TEST_F(LoginViewTest, WaitingForTheBrowserOffersTheLinkAndCancel) {
    LoginView view(state);
    view.resize(600, 800);
    view.show();
    backend.setConsentUrl("https://accounts.google.com/o/oauth2/auth?client_id=x");
    backend.hold();
    ASSERT_TRUE(pressAccessible(
        findAccessible(view, QAccessible::Button, QStringLiteral("Sign in with Google"))));
    ASSERT_TRUE(waitFor([&] { return view.browserWait()->copyLinkButton()->isEnabled(); }));
    EXPECT_NE(
        findAccessible(view, QAccessible::StaticText, QStringLiteral("Waiting for your browser…")),
        nullptr);
    saveScreenshot(view, QStringLiteral("sign-in-waiting"));
    view.browserWait()->copyLinkButton()->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("https://accounts.google.com/o/oauth2/auth?client_id=x"));

    ASSERT_TRUE(
        pressAccessible(findAccessible(view, QAccessible::Button, QStringLiteral("Cancel"))));
    EXPECT_FALSE(view.browserWait()->isVisible());
    EXPECT_TRUE(view.signInButton()->isEnabled());
    EXPECT_FALSE(view.errorLabel()->isVisible());
}

// The first run's step and the wait for the browser in a dark palette, for a person to look at.
TEST_F(LoginViewTest, FirstRunAndWaitInADarkPalette) {
    ScopedPalette dark(darkPalette());
    AppOperations firstRun = backend.operations();
    firstRun.checkClientFile = []() -> Result<void> {
        return std::unexpected(Error{OAuthError::missingConfig()});
    };
    AppState setUp(firstRun);
    LoginView step(setUp);
    step.resize(600, 800);
    step.show();
    saveScreenshot(step, QStringLiteral("sign-in-no-client-file-dark"));

    LoginView view(state);
    view.resize(600, 800);
    view.show();
    backend.setConsentUrl("https://accounts.google.com/o/oauth2/auth");
    backend.hold();
    state.connect();
    ASSERT_TRUE(waitFor([&] { return view.browserWait()->copyLinkButton()->isEnabled(); }));
    saveScreenshot(view, QStringLiteral("sign-in-waiting-dark"));
    state.cancelSignIn();
}

// While a sign-in runs the button is disabled, yet it must stay readable in light and dark
// palettes: its text at 4.5:1 against the fill at least, the spinner at 3:1.
TEST_F(LoginViewTest, WorkingButtonIsReadableInLightAndDarkPalettes) {
    backend.setSignInResult(std::unexpected(Error{OAuthError::missingConfig()}));
    const std::pair<QString, QPalette> palettes[] = {
        {QStringLiteral("light"), QApplication::style()->standardPalette()},
        {QStringLiteral("dark"), darkPalette()}};
    for (const auto& [name, palette] : palettes) {
        ScopedPalette scoped(palette);
        LoginView view(state);
        view.resize(600, 800);
        view.show();
        backend.hold();
        view.signInButton()->click();
        ASSERT_TRUE(view.spinner()->isVisible());
        saveScreenshot(view, QStringLiteral("sign-in-working-") + name);
        const QImage button = view.signInButton()->grab().toImage();
        const QColor fill = button.pixelColor(6, button.height() / 2);
        const QRect text = labelNamed(view, QStringLiteral("signInText"))->geometry();
        EXPECT_GE(strongestContrast(button, text, fill), 4.5) << name.toStdString();
        EXPECT_GE(strongestContrast(button, view.spinner()->geometry(), fill), 3.0)
            << name.toStdString();
        backend.release();
        ASSERT_TRUE(waitFor([&] { return !state.isWorking(); }));
    }
}

// Keyboard users see where the focus is: a ring around the button.
TEST_F(LoginViewTest, FocusedButtonDrawsARing) {
    LoginView view(state);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(waitFor([&] { return view.isActiveWindow(); }));
    QPushButton* button = view.signInButton();
    button->clearFocus();
    const QImage unfocused = button->grab().toImage();
    button->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(waitFor([&] { return button->hasFocus(); }));
    const QImage focused = button->grab().toImage();
    const QPoint edge(1, focused.height() / 2);
    EXPECT_GE(contrastRatio(focused.pixelColor(edge), unfocused.pixelColor(edge)), 3.0);
}

TEST_F(LoginViewTest, LongErrorWrapsCentredWithinThePadding) {
    const std::string detail(40, 'x');
    backend.setSignInResult(std::unexpected(Error{OAuthError::token(
        "the consent page answered with an error the application did not expect, twice over, "
        "and then the connection to the loopback listener was closed before any code arrived " +
        detail)}));
    LoginView view(state);
    view.resize(520, 600);
    view.show();
    state.connect();
    ASSERT_TRUE(waitFor([&] { return !state.isWorking(); }));
    QLabel* error = view.errorLabel();
    ASSERT_TRUE(error->isVisible());
    EXPECT_TRUE(error->text().startsWith(
        QStringLiteral("Google did not complete the sign-in (the consent")));
    EXPECT_TRUE(error->wordWrap());
    EXPECT_TRUE(error->alignment() & Qt::AlignHCenter);
    const QColor red = error->palette().color(QPalette::WindowText);
    EXPECT_GT(red.red(), 2 * red.green());
    EXPECT_GE(contrastRatio(red, view.palette().color(QPalette::Window)), 4.5);
    // Wrapped: taller than one line, and no wider than the view.
    EXPECT_GT(error->height(), 2 * error->fontMetrics().height());
    EXPECT_LE(error->geometry().right(), view.width());
    saveScreenshot(view, QStringLiteral("sign-in-error"));

    // Trying again clears the message at once.
    backend.hold();
    view.signInButton()->click();
    EXPECT_FALSE(error->isVisible());
}

// Anything on this machine can put text into the redirect's error: it is shown as the
// characters it is, and a flood of it is cut (never inside a character).
TEST_F(LoginViewTest, ErrorTextIsPlainAndCut) {
    std::string flood;
    for (int i = 0; i < 400; ++i) flood += "\xF0\x9F\x98\x80";  // U+1F600, two UTF-16 units
    backend.setSignInResult(
        std::unexpected(Error{OAuthError::token("<b><font size=7>big</font></b>" + flood)}));
    LoginView view(state);
    view.show();
    state.connect();
    ASSERT_TRUE(waitFor([&] { return !state.isWorking(); }));
    const QLabel* error = view.errorLabel();
    EXPECT_EQ(error->textFormat(), Qt::PlainText);
    EXPECT_TRUE(error->text().startsWith(
        QStringLiteral("Google did not complete the sign-in (<b><font size=7>big</font></b>"
                       "\U0001F600")));
    EXPECT_LE(error->text().size(), AppState::kMessageLimit);
    EXPECT_TRUE(error->text().endsWith(QStringLiteral("\U0001F600\u2026")));
    EXPECT_TRUE(error->text().isValidUtf16());
}

template <class Window>
Window* visibleWindow(const QWidget& view) {
    for (Window* window : view.findChildren<Window*>())
        if (window->isVisible()) return window;
    return nullptr;
}

template <class Window>
Window* openWindow(const QWidget& view) {
    waitFor([&] { return visibleWindow<Window>(view) != nullptr; });
    return visibleWindow<Window>(view);
}

std::string contentOf(const std::filesystem::path& file) {
    std::ostringstream bytes;
    bytes << std::ifstream(file).rdbuf();
    return bytes.str();
}

mode_t modeOf(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// A first run without a client file, through the keyboard as a person (or an assistive
// technology) drives it: the view says what is missing and offers the steps and a chooser; a
// file that is no client is refused and nothing is written; a client file is saved privately
// and the sign-in offered at once; replacing a saved file asks first.
TEST_F(LoginViewTest, ChosenClientFileIsCheckedThenSavedPrivately) {
    const TempDir dir;
    const auto saved = dir.path() / "config/ambrel/client_secret.json";
    std::filesystem::create_directories(saved.parent_path());
    ::chmod(saved.parent_path().c_str(), 0755);
    const auto write = [&](const char* name, const std::string& bytes) {
        std::ofstream(dir.path() / name) << bytes;
        return dir.path() / name;
    };
    const auto client = [](const char* id) {
        return std::string(R"({"installed":{"client_id":")") + id +
               R"(","client_secret":"s","auth_uri":"https://accounts.example/auth",)"
               R"("token_uri":"https://oauth2.example/token"}})";
    };
    const auto first = write("first.json", client("first"));
    const auto second = write("second.json", client("second"));
    const auto notClient = write("notes.json", R"({"client_id":"loose"})");

    AppOperations operations = backend.operations();
    operations.checkClientFile = [saved]() -> Result<void> {
        if (auto config = OAuthConfig::loadChecked({saved}); !config)
            return std::unexpected(config.error());
        return {};
    };
    operations.installClientFile = [saved](const std::filesystem::path& chosen, bool replace) {
        return installClientFile(chosen, saved, replace);
    };
    AppState firstRun(operations);
    LoginView view(firstRun);
    view.resize(600, 800);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(waitFor([&] { return view.isActiveWindow(); }));

    // The set-up step comes first, not a failure beside a button that could only fail.
    EXPECT_FALSE(view.errorLabel()->isVisible());
    EXPECT_EQ(view.stepLabel()->text(),
              QStringLiteral("Step 1 of 2: choose your Google client file"));
    EXPECT_FALSE(view.signInButton()->isVisible());
    ASSERT_TRUE(view.chooseClientFileButton()->isVisible());
    EXPECT_TRUE(view.chooseClientFileButton()->isDefault());
    EXPECT_EQ(view.chooseClientFileButton()->accessibleName(),
              QStringLiteral("Choose client file\u2026"));
    EXPECT_EQ(view.clientFileHelpButton()->accessibleName(), QStringLiteral("How to create one"));
    saveScreenshot(view, QStringLiteral("sign-in-no-client-file"));

    view.clientFileHelpButton()->click();
    auto* help = openWindow<ClientFileHelp>(view);
    ASSERT_NE(help, nullptr);
    saveScreenshot(*help, QStringLiteral("client-file-help"));
    help->reject();

    const auto choose = [&](const std::filesystem::path& file) {
        view.chooseClientFileButton()->click();
        auto* dialog = openWindow<QFileDialog>(view);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("JSON files (*.json)")});
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        // Set at once, as an assistive technology does: typed key by key, each "/" would
        // move the dialog into that folder.
        name->setText(QString::fromStdString(file.string()));
        auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        ASSERT_NE(buttons, nullptr);
        buttons->button(QDialogButtonBox::Open)->click();
        ASSERT_TRUE(waitFor([&] { return visibleWindow<QFileDialog>(view) == nullptr; }));
    };

    choose(notClient);
    EXPECT_TRUE(view.errorLabel()->text().startsWith(
        QStringLiteral("This file is not an OAuth client file")));
    EXPECT_FALSE(std::filesystem::exists(saved));
    EXPECT_TRUE(view.chooseClientFileButton()->isVisible());

    choose(first);
    EXPECT_EQ(contentOf(saved), client("first"));
    EXPECT_EQ(modeOf(saved), 0600u);
    EXPECT_EQ(modeOf(saved.parent_path()), 0700u);
    EXPECT_FALSE(view.errorLabel()->isVisible());
    EXPECT_FALSE(view.chooseClientFileButton()->isVisible());
    EXPECT_EQ(view.stepLabel()->text(), QStringLiteral("Step 2 of 2: sign in with Google"));
    EXPECT_TRUE(waitFor([&] { return view.signInButton()->hasFocus(); }));
    saveScreenshot(view, QStringLiteral("sign-in-step-2"));

    // The saved file broke meanwhile: the failed sign-in offers the chooser again, and
    // replacing the file asks first.
    std::ofstream(saved) << "{";
    backend.setSignInResult(std::unexpected(Error{OAuthError::missingConfig()}));
    view.signInButton()->click();
    ASSERT_TRUE(waitFor([&] { return view.chooseClientFileButton()->isVisible(); }));
    for (const char* answer : {"Cancel", "Replace"}) {
        choose(second);
        auto* question = openWindow<QMessageBox>(view);
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(contentOf(saved), "{");
        for (QAbstractButton* button : question->buttons())
            if (button->text() == QLatin1String(answer)) button->click();
    }
    ASSERT_TRUE(waitFor([&] { return !view.chooseClientFileButton()->isVisible(); }));
    EXPECT_EQ(contentOf(saved), client("second"));
}

}  // namespace
}  // namespace ambrel::testing

int main(int argc, char** argv) {
    return ambrel::testing::runGuiTests(argc, argv, "en_US");
}
