#include "app/client_file_help.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/localized.h"
#include "ui/colors.h"
#include "ui/fonts.h"
#include "ui/link_button.h"

namespace ambrel {
namespace {

constexpr int kWidth = 440;
constexpr int kSpacing = 10;

// Where Google's console creates OAuth clients.
const QUrl kCredentialsPage(QStringLiteral("https://console.cloud.google.com/apis/credentials"));

QLabel* makeParagraph(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFont(textStyleFont(TextStyle::Body));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setAccessibleName(text);
    return label;
}

}  // namespace

ClientFileHelp::ClientFileHelp(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("clientFileHelp"));
    const QString title = localized("How to create a client file");
    setWindowTitle(title);
    setAccessibleName(title);
    setFixedWidth(kWidth);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(kSpacing);
    layout->addWidget(makeParagraph(
        localized("Ambrel reads your earnings as an OAuth client of your own. To create one:"),
        this));
    const char* steps[] = {
        N_("In the Google Cloud console, create a project (or pick one) and enable the AdSense "
           "Management API for it."),
        N_("Configure the OAuth consent screen (type \"External\" is fine for your own account; add "
           "yourself as a test user)."),
        N_("Create an OAuth client ID of type \"Desktop app\" and download its JSON file."),
        N_("Back on the consent screen, set the publishing status to \"In production\": Google "
           "ends the sign-ins of an app left in \"Testing\" after 7 days, and you would have to "
           "sign in again every week."),
        N_("Choose that file with \"Choose client file…\"."),
    };
    int number = 0;
    for (const char* step : steps)
        layout->addWidget(
            makeParagraph(QStringLiteral("%1. %2").arg(++number).arg(localized(step)), this));

    // The first sign-in meets Google's warning about an unverified app: expected here.
    layout->addWidget(makeParagraph(
        localized("Your app does not need Google's verification to read your own account. When "
                  "Google warns that it has not verified the app, choose \"Advanced\", then go "
                  "on to the app."),
        this));

    auto* console =
        new LinkButton(localized("Open the Google Cloud console"), kCredentialsPage, this);
    console->setObjectName(QStringLiteral("openCloudConsole"));
    setForegroundColor(console, palette().color(QPalette::Link));  // as the view's own link
    layout->addWidget(console, 0, Qt::AlignLeft);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(localized("Close"), QDialogButtonBox::RejectRole);
    close->setAccessibleName(localized("Close"));
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // The height the wrapped paragraphs take at this width: a plain size hint would measure
    // them unwrapped and leave gaps between the steps.
    setFixedHeight(layout->heightForWidth(kWidth));
}

}  // namespace ambrel
