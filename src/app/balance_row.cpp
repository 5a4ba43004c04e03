#include "app/balance_row.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "app/localized.h"
#include "core/earnings/payment_text.h"
#include "ui/colors.h"
#include "ui/fonts.h"

namespace ambrel {
namespace {
constexpr int kBalancePixelSize = 32;
constexpr int kRowPadding = 4;
constexpr int kLineSpacing = 2;

// Google writes the balance and the last payment in the publisher's own format; they read as
// the amounts beside them do.
QString amountText(const std::string& text, const std::string& currency) {
    return qtext(displayAmountText(text, currency));
}

QLabel* addLabel(const QString& text, const QString& name, const QFont& font, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);  // amounts and dates come from Google's answers
    label->setObjectName(name);
    label->setFont(font);
    label->setAccessibleName(text);
    return label;
}

}  // namespace

BalanceRow::BalanceRow(const AmbrelSnapshot& snapshot, QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, kRowPadding, 0, kRowPadding);

    const QFont balanceFont =
        withMonospacedDigits(systemFont(scaledPixelSize(kBalancePixelSize), QFont::Bold));
    balance_ = addLabel(snapshot.balance ? amountText(*snapshot.balance, snapshot.currency)
                                         : QStringLiteral("\u2014"),
                        QStringLiteral("balance"), balanceFont, this);
    layout->addWidget(balance_, 0, Qt::AlignTop);
    layout->addStretch(1);

    if (snapshot.lastPaymentAmount) {
        QWidget* lastPayment = makeLastPayment(snapshot);
        // Qt's box layouts know no baseline alignment: push the smaller first line down so
        // that its baseline meets the balance's.
        const int captionAscent = QFontMetrics(textStyleFont(TextStyle::Caption)).ascent();
        const int offset = QFontMetrics(balanceFont).ascent() - captionAscent;
        lastPayment->setContentsMargins(0, std::max(0, offset), 0, 0);
        layout->addWidget(lastPayment, 0, Qt::AlignTop);
    }
}

QWidget* BalanceRow::makeLastPayment(const AmbrelSnapshot& snapshot) {
    auto* block = new QWidget(this);
    block->setObjectName(QStringLiteral("lastPayment"));
    auto* lines = new QVBoxLayout(block);
    lines->setSpacing(kLineSpacing);
    lines->setContentsMargins(0, 0, 0, 0);

    QLabel* caption = addLabel(localized("Last payment"), QStringLiteral("lastPaymentCaption"),
                               textStyleFont(TextStyle::Caption), block);
    setLabelLevel(caption, LabelLevel::Secondary);
    lines->addWidget(caption, 0, Qt::AlignRight);

    lastPayment_ = addLabel(amountText(*snapshot.lastPaymentAmount, snapshot.currency),
                            QStringLiteral("lastPaymentAmount"),
                            withMonospacedDigits(textStyleFont(TextStyle::Headline)), block);
    lines->addWidget(lastPayment_, 0, Qt::AlignRight);

    if (snapshot.lastPaymentDateLabel) {
        QLabel* date =
            addLabel(qtext(*snapshot.lastPaymentDateLabel), QStringLiteral("lastPaymentDate"),
                     textStyleFont(TextStyle::Caption2), block);
        setLabelLevel(date, LabelLevel::Secondary);
        lines->addWidget(date, 0, Qt::AlignRight);
    }
    return block;
}

void BalanceRow::setDimmed(bool dimmed) {
    const QColor color =
        readableOn(labelColor(dimmed ? LabelLevel::Secondary : LabelLevel::Primary, palette()),
                   palette().color(QPalette::Base));
    setForegroundColor(balance_, color);
    if (lastPayment_ != nullptr) setForegroundColor(lastPayment_, color);
}

}  // namespace ambrel
