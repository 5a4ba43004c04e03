#include "app/file_secrets_notice.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "app/localized.h"
#include "ui/fonts.h"

namespace ambrel {
namespace {
constexpr int kPadding = 10;
constexpr int kSpacing = 12;
}  // namespace

FileSecretsNotice::FileSecretsNotice(const std::filesystem::path& folder, QWidget* parent)
    : QFrame(parent) {
    setObjectName(QStringLiteral("fileSecretsNotice"));
    setFrameShape(QFrame::StyledPanel);
    setBackgroundRole(QPalette::AlternateBase);
    setAutoFillBackground(true);

    const QString text = qtext(fillPlaceholders(
        ambrel::tr(
            "No keyring is available, so your Google sign-in is saved unencrypted in the folder "
            "%@. Only your user account can read it."),
        {folder.string()}));
    setAccessibleName(text);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    layout->setSpacing(kSpacing);

    auto* label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("fileSecretsText"));
    label->setAccessibleName(text);
    label->setFont(textStyleFont(TextStyle::Callout));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);  // the folder can be copied
    layout->addWidget(label, 1);

    auto* dismiss = new QPushButton(localized("Dismiss"), this);
    dismiss->setObjectName(QStringLiteral("dismissFileSecretsNotice"));
    dismiss->setAccessibleName(dismiss->text());
    layout->addWidget(dismiss, 0, Qt::AlignTop);
    connect(dismiss, &QPushButton::clicked, this, &QObject::deleteLater);
}

}  // namespace ambrel
