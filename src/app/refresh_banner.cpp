#include "app/refresh_banner.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/browser_wait_row.h"
#include "app/localized.h"
#include "app/text_button.h"
#include "ui/colors.h"
#include "ui/fonts.h"
#include "ui/icons.h"

namespace ambrel {
namespace {
constexpr int kMargin = 10;
constexpr int kSpacing = 8;
constexpr int kIconSize = 16;
constexpr int kRadius = 8;
constexpr double kTint = 0.22;  // share of the brand yellow in the strip's colour

QColor tinted(const QColor& base) {
    const QColor yellow = brandYellow();
    const auto mix = [](double a, double b) { return static_cast<float>(a + (b - a) * kTint); };
    return QColor::fromRgbF(mix(base.redF(), yellow.redF()), mix(base.greenF(), yellow.greenF()),
                            mix(base.blueF(), yellow.blueF()));
}
}  // namespace

RefreshBanner::RefreshBanner(AppState& state, UrlOpener openUrl, QWidget* parent)
    : QFrame(parent),
      state_(state),
      openUrl_(std::move(openUrl)),
      message_(new QLabel(this)),
      link_(makeTextButton(N_("Enable the AdSense API"), QStringLiteral("openErrorLink"), this)),
      signIn_(makeTextButton(N_("Sign in again"), QStringLiteral("signInAgain"), this)),
      retry_(makeTextButton(N_("Try again"), QStringLiteral("tryAgain"), this)),
      wait_(new BrowserWaitRow(state, this)) {
    setObjectName(QStringLiteral("refreshBanner"));
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->setSpacing(kSpacing);
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("bannerIcon"));
    icon->setAccessibleName(localized("Warning"));
    icon->setPixmap(tintedSymbol(QStringLiteral("exclamationmark.triangle.fill"),
                                 qRound(scaledPixelSize(kIconSize)),
                                 palette().color(QPalette::WindowText), devicePixelRatioF()));
    outer->addWidget(icon, 0, Qt::AlignTop);

    auto* lines = new QVBoxLayout;
    lines->setSpacing(kSpacing);
    message_->setObjectName(QStringLiteral("bannerMessage"));
    message_->setTextFormat(Qt::PlainText);  // Google's words and curl's, never markup
    message_->setWordWrap(true);
    message_->setFont(textStyleFont(TextStyle::Callout));
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lines->addWidget(message_);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(kSpacing);
    buttons->addStretch(1);
    buttons->addWidget(link_);
    buttons->addWidget(signIn_);
    buttons->addWidget(retry_);
    lines->addLayout(buttons);
    lines->addWidget(wait_);
    outer->addLayout(lines, 1);

    connect(retry_, &QPushButton::clicked, &state_, &AppState::refresh);
    connect(signIn_, &QPushButton::clicked, &state_, &AppState::connect);
    connect(link_, &QPushButton::clicked, this, &RefreshBanner::openLink);
    connect(&state_, &AppState::errorMessageChanged, this, &RefreshBanner::showState);
    connect(&state_, &AppState::isConnectedChanged, this, &RefreshBanner::showState);
    connect(&state_, &AppState::isWorkingChanged, this, &RefreshBanner::showState);
    connect(&state_, &AppState::waitingForBrowserChanged, this, &RefreshBanner::showState);
    showState();
}

void RefreshBanner::showState() {
    const bool hasMessage = state_.errorMessage().has_value();
    const QString text = state_.errorMessageText();
    message_->setText(text);
    message_->setAccessibleName(text);
    message_->setVisible(hasMessage);
    setAccessibleName(text.isEmpty() ? localized("Waiting for your browser…") : text);

    const bool waiting = state_.isWaitingForBrowser();
    const bool ended = state_.needsSignInAgain();
    link_->setVisible(hasMessage && !state_.errorLink().isEmpty());
    link_->setToolTip(state_.errorLink());
    link_->setAccessibleDescription(state_.errorLink());
    signIn_->setVisible(hasMessage && ended && !waiting);
    signIn_->setEnabled(!state_.isWorking());
    // Trying again with a sign-in Google has ended can only fail the same way.
    retry_->setVisible(hasMessage && !ended && !waiting);
    retry_->setEnabled(!state_.isWorking());

    const bool shown = state_.isConnected() && (hasMessage || waiting);
    setVisible(shown);
    // Screen readers say an alert when it appears, not each time its buttons change.
    if (shown && hasMessage && !announced_) {
        QAccessibleEvent alert(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
    announced_ = shown && hasMessage;
}

void RefreshBanner::openLink() {
    if (openUrl_ && !state_.errorLink().isEmpty()) openUrl_(QUrl(state_.errorLink()));
}

void RefreshBanner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor window = palette().color(QPalette::Window);
    painter.setPen(QPen(readableOn(brandYellow(), window, 1.5), 1));
    painter.setBrush(tinted(window));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kRadius, kRadius);
}

}  // namespace ambrel
