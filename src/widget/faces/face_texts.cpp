#include "widget/faces/face_texts.h"

#include "core/earnings/formatting.h"
#include "core/earnings/payment_text.h"
#include "core/platform/localization.h"

namespace ambrel {

QString localized(const char* key) {
    return QString::fromStdString(tr(key));
}

QString moneyText(const AmbrelSnapshot& snapshot, double value) {
    return QString::fromStdString(formatCurrency(snapshot.currency, value));
}

QString balanceText(const AmbrelSnapshot& snapshot) {
    if (!snapshot.balance) return QStringLiteral("\u2014");
    return QString::fromStdString(displayAmountText(*snapshot.balance, snapshot.currency));
}

}  // namespace ambrel
