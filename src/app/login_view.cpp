#include "app/login_view.h"

#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "app/app_state.h"
#include "app/browser_wait_row.h"
#include "app/busy_indicator.h"
#include "app/client_file_help.h"
#include "app/localized.h"
#include "ui/colors.h"
#include "ui/fonts.h"
#include "ui/icons.h"

namespace ambrel {
namespace {
constexpr int kSpacing = 18;
constexpr int kMarkSize = 56;
constexpr int kButtonLabelWidth = 260;
constexpr int kButtonHeight = 32;
constexpr int kButtonPadding = 10;
constexpr int kButtonRowSpacing = 8;
constexpr int kSmallSpinner = 14;
constexpr int kStandardPadding = 20;
constexpr int kWaitRowWidth = 440;
constexpr int kStepSpacing = 6;

QLabel* makeText(const QString& text, const QFont& font, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    // The error message can hold anything a local process put in the redirect, or Google's
    // own text: never markup.
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setAccessibleName(text);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// `from` moved by `share` (0…1) towards `to`.
QColor mixed(const QColor& from, const QColor& to, double share) {
    const auto channel = [&](double a, double b) { return a + (b - a) * share; };
    return QColor::fromRgbF(static_cast<float>(channel(from.redF(), to.redF())),
                            static_cast<float>(channel(from.greenF(), to.greenF())),
                            static_cast<float>(channel(from.blueF(), to.blueF())));
}

// The prominent style: filled with the accent colour, its text in the colour drawn on it.
// While a sign-in runs the button is disabled; it then takes the plain button text on the
// button colour shaded towards that text, so the button still reads as one on any window
// colour (the palette's disabled colours are meant to fade, and did: a grey spinner on a grey
// button). The keyboard focus is a ring in the window's text colour, which stands out from
// both the fill and the window.
QString prominentStyle(const QPalette& palette) {
    constexpr double kBusyShade = 0.15;
    const auto active = [&](QPalette::ColorRole role) {
        return palette.color(QPalette::Active, role);
    };
    const QColor busyFill =
        mixed(active(QPalette::Button), active(QPalette::ButtonText), kBusyShade);
    const auto color = [&](QPalette::ColorRole role) { return active(role).name(QColor::HexRgb); };
    return QStringLiteral(R"(
QPushButton#signInButton {
    background: %1; border: none; border-radius: 7px;
}
QPushButton#signInButton:focus { border: 2px solid %2; }
QPushButton#signInButton:pressed { background: %3; }
QPushButton#signInButton:disabled { background: %4; }
QPushButton#signInButton QLabel { color: %5; }
QPushButton#signInButton QLabel:disabled { color: %6; }
)")
        .arg(color(QPalette::Highlight), color(QPalette::WindowText), color(QPalette::Dark),
             busyFill.name(QColor::HexRgb), color(QPalette::HighlightedText),
             color(QPalette::ButtonText));
}

}  // namespace

LoginView::LoginView(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kStandardPadding, kStandardPadding, kStandardPadding,
                               kStandardPadding);
    layout->setSpacing(kSpacing);
    layout->addStretch(1);

    auto* mark = new QLabel(this);
    mark->setObjectName(QStringLiteral("productMark"));
    mark->setPixmap(tintedSymbol(QStringLiteral("circle.hexagongrid.fill"), kMarkSize,
                                 brandYellow(), devicePixelRatioF()));
    layout->addWidget(mark, 0, Qt::AlignHCenter);

    QFont titleFont = textStyleFont(TextStyle::LargeTitle);
    titleFont.setBold(true);
    QLabel* name = makeText(localized("Ambrel"), titleFont, this);
    name->setObjectName(QStringLiteral("productName"));
    layout->addWidget(name);

    QLabel* tagline = makeText(localized("Your AdSense earnings, on your desktop."),
                               textStyleFont(TextStyle::Body), this);
    tagline->setObjectName(QStringLiteral("tagline"));
    setLabelLevel(tagline, LabelLevel::Secondary);
    layout->addWidget(tagline);

    layout->addWidget(makeSetupStep());
    layout->addWidget(makeClientFileRow());
    layout->addWidget(makeSignInButton(), 0, Qt::AlignHCenter);
    wait_ = new BrowserWaitRow(state_, this);
    wait_->setFixedWidth(kWaitRowWidth);
    layout->addWidget(wait_, 0, Qt::AlignHCenter);

    error_ = makeText(QString(), textStyleFont(TextStyle::Caption), this);
    error_->setObjectName(QStringLiteral("errorMessage"));
    error_->setWordWrap(true);
    error_->setContentsMargins(kStandardPadding, 0, kStandardPadding, 0);
    layout->addWidget(error_);
    applyPaletteColours();

    layout->addStretch(1);

    connect(&state_, &AppState::isWorkingChanged, this, &LoginView::updateWorking);
    connect(&state_, &AppState::errorMessageChanged, this, &LoginView::updateError);
    connect(&state_, &AppState::needsClientFileChanged, this, &LoginView::updateClientFileRow);
    updateWorking();
    updateError();
    updateClientFileRow();
}

QWidget* LoginView::makeClientFileRow() {
    clientFileRow_ = new QWidget(this);
    clientFileRow_->setObjectName(QStringLiteral("clientFileRow"));
    auto* row = new QHBoxLayout(clientFileRow_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(kSpacing);
    row->addStretch(1);

    help_ = new QPushButton(localized("How to create one"), clientFileRow_);
    help_->setObjectName(QStringLiteral("clientFileHelpLink"));
    help_->setAccessibleName(help_->text());
    help_->setFlat(true);
    help_->setAutoDefault(false);
    help_->setCursor(Qt::PointingHandCursor);
    help_->setFont(textStyleFont(TextStyle::Callout));
    connect(help_, &QPushButton::clicked, this, &LoginView::showClientFileHelp);
    row->addWidget(help_);

    choose_ = new QPushButton(localized("Choose client file…"), clientFileRow_);
    choose_->setObjectName(QStringLiteral("chooseClientFile"));
    choose_->setAccessibleName(choose_->text());
    choose_->setAutoDefault(false);
    connect(choose_, &QPushButton::clicked, this, &LoginView::chooseClientFile);
    row->addWidget(choose_);

    row->addStretch(1);
    return clientFileRow_;
}

QWidget* LoginView::makeSetupStep() {
    auto* block = new QWidget(this);
    block->setObjectName(QStringLiteral("setupStep"));
    auto* lines = new QVBoxLayout(block);
    lines->setContentsMargins(kStandardPadding, 0, kStandardPadding, 0);
    lines->setSpacing(kStepSpacing);
    step_ = makeText(QString(), textStyleFont(TextStyle::Headline), block);
    step_->setObjectName(QStringLiteral("stepTitle"));
    step_->setWordWrap(true);
    lines->addWidget(step_);
    stepText_ = makeText(localized("Ambrel signs in with an OAuth client of your own, which "
                                   "you create in Google's Cloud console in a few minutes."),
                         textStyleFont(TextStyle::Body), block);
    stepText_->setObjectName(QStringLiteral("stepText"));
    stepText_->setWordWrap(true);
    setLabelLevel(stepText_, LabelLevel::Secondary);
    lines->addWidget(stepText_);
    return block;
}

void LoginView::updateClientFileRow() {
    const bool needsFile = state_.needsClientFile();
    clientFileRow_->setVisible(needsFile);
    // The sign-in button can only fail without a client file: the step comes first.
    button_->setVisible(!needsFile);
    choose_->setDefault(needsFile);
    button_->setDefault(!needsFile);
    stepText_->setVisible(needsFile);
    const QString step = needsFile ? localized("Step 1 of 2: choose your Google client file")
                         : choseClientFile_ ? localized("Step 2 of 2: sign in with Google")
                                            : QString();
    step_->setText(step);
    step_->setAccessibleName(step);
    step_->parentWidget()->setVisible(!step.isEmpty());
}

void LoginView::showClientFileHelp() {
    auto* help = new ClientFileHelp(this);
    help->setAttribute(Qt::WA_DeleteOnClose);
    help->open();
}

void LoginView::chooseClientFile() {
    // Qt's own dialog rather than the desktop's: it runs inside the application, so the keyboard,
    // assistive technologies and tests reach it the same way on every desktop, also where no
    // file-chooser portal runs.
    auto* dialog =
        new QFileDialog(this, localized("Choose client file"),
                        QStandardPaths::writableLocation(QStandardPaths::DownloadLocation),
                        localized("JSON files (*.json)"));
    dialog->setObjectName(QStringLiteral("clientFileDialog"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Once the dialog is gone, so that the window it leaves behind can take the focus.
    connect(dialog, &QFileDialog::accepted, this, [this, dialog] {
        if (const QStringList files = dialog->selectedFiles(); !files.isEmpty())
            saveClientFile(files.first(), false);
    });
    dialog->open();
}

void LoginView::saveClientFile(const QString& file, bool replaceExisting) {
    const auto choice =
        state_.chooseClientFile(QFile::encodeName(file).toStdString(), replaceExisting);
    if (choice == AppState::ClientFileChoice::saved) {
        choseClientFile_ = true;
        updateClientFileRow();
        // The sign-in is the next step; a desktop without a window manager (or a test's) would
        // otherwise leave no window active once the dialog has gone.
        window()->activateWindow();
        button_->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (choice != AppState::ClientFileChoice::needsConfirmation) return;
    auto* question = new QMessageBox(QMessageBox::Question, localized("Replace the client file?"),
                                     localized("Ambrel already has a client file. Replace it "
                                               "with the chosen one?"),
                                     QMessageBox::NoButton, this);
    question->setObjectName(QStringLiteral("replaceClientFile"));
    QPushButton* replace = question->addButton(localized("Replace"), QMessageBox::AcceptRole);
    replace->setObjectName(QStringLiteral("replaceClientFileButton"));
    QPushButton* cancel = question->addButton(localized("Cancel"), QMessageBox::RejectRole);
    question->setDefaultButton(cancel);
    question->setAttribute(Qt::WA_DeleteOnClose);
    connect(question, &QMessageBox::finished, this, [this, file, question, replace] {
        if (question->clickedButton() == replace) saveClientFile(file, true);
    });
    question->open();
}

QPushButton* LoginView::makeSignInButton() {
    button_ = new QPushButton(this);
    button_->setObjectName(QStringLiteral("signInButton"));
    button_->setAccessibleName(localized("Sign in with Google"));
    button_->setDefault(true);
    button_->setCursor(Qt::PointingHandCursor);

    // The label row is laid out inside the button so the spinner can sit before the text.
    auto* row = new QHBoxLayout(button_);
    row->setContentsMargins(kButtonPadding, 0, kButtonPadding, 0);
    row->setSpacing(kButtonRowSpacing);
    row->addStretch(1);
    spinner_ = new BusyIndicator(kSmallSpinner, button_);
    row->addWidget(spinner_);
    QFont font = textStyleFont(TextStyle::Body);
    font.setWeight(QFont::Medium);
    QLabel* text = makeText(localized("Sign in with Google"), font, button_);
    text->setObjectName(QStringLiteral("signInText"));
    row->addWidget(text);
    row->addStretch(1);

    // The design's size, grown with a desktop font large enough to need more.
    const QFontMetrics metrics(font);
    const int labelWidth = std::max(kButtonLabelWidth, metrics.horizontalAdvance(text->text()) +
                                                           kButtonRowSpacing + kSmallSpinner);
    button_->setFixedSize(labelWidth + 2 * kButtonPadding,
                          std::max(kButtonHeight, metrics.height() + kButtonPadding));
    connect(button_, &QPushButton::clicked, &state_, &AppState::connect);
    return button_;
}

void LoginView::applyPaletteColours() {
    button_->setStyleSheet(prominentStyle(palette()));
    // The spinner shows only while the button is disabled, on the plain button colour.
    spinner_->setColor(palette().color(QPalette::Active, QPalette::ButtonText));
    setForegroundColor(help_, palette().color(QPalette::Link));
    setForegroundColor(error_, readableOn(systemRed(), palette().color(QPalette::Window)));
}

void LoginView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange && error_ != nullptr) applyPaletteColours();
    QWidget::changeEvent(event);
}

void LoginView::updateWorking() {
    const bool working = state_.isWorking();
    button_->setEnabled(!working);
    spinner_->setVisible(working);
    choose_->setEnabled(!working);
}

void LoginView::updateError() {
    const QString message = state_.errorMessageText();
    error_->setText(message);
    error_->setAccessibleName(message);
    error_->setVisible(state_.errorMessage().has_value());
}

}  // namespace ambrel
