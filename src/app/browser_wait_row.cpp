#include "app/browser_wait_row.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "app/app_state.h"
#include "app/localized.h"
#include "app/text_button.h"
#include "ui/fonts.h"

namespace ambrel {
namespace {
constexpr int kSpacing = 8;
}  // namespace

BrowserWaitRow::BrowserWaitRow(AppState& state, QWidget* parent)
    : QWidget(parent),
      state_(state),
      text_(new QLabel(this)),
      copy_(makeTextButton(N_("Copy link"), QStringLiteral("copyConsentLink"), this)),
      cancel_(makeTextButton(N_("Cancel"), QStringLiteral("cancelSignIn"), this)) {
    setObjectName(QStringLiteral("browserWait"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);
    text_->setObjectName(QStringLiteral("browserWaitText"));
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    text_->setFont(textStyleFont(TextStyle::Callout));
    layout->addWidget(text_, 1);
    layout->addWidget(copy_);
    layout->addWidget(cancel_);

    connect(copy_, &QPushButton::clicked, this, &BrowserWaitRow::copyLink);
    connect(cancel_, &QPushButton::clicked, &state_, &AppState::cancelSignIn);
    connect(&state_, &AppState::waitingForBrowserChanged, this, &BrowserWaitRow::showState);
    showState();
}

void BrowserWaitRow::showState() {
    setText(localized("Waiting for your browser…"));
    // The address is known once the browser was asked to open it.
    copy_->setEnabled(!state_.consentUrl().isEmpty());
    setVisible(state_.isWaitingForBrowser());
}

void BrowserWaitRow::copyLink() {
    QGuiApplication::clipboard()->setText(state_.consentUrl());
    setText(localized("Link copied: paste it into your browser to finish signing in."));
}

void BrowserWaitRow::setText(const QString& text) {
    text_->setText(text);
    text_->setAccessibleName(text);
}

}  // namespace ambrel
