#include "app/projection_row.h"

#include <QHBoxLayout>
#include <QLabel>

#include "app/localized.h"
#include "core/earnings/trend_texts.h"
#include "ui/colors.h"
#include "ui/fonts.h"

namespace ambrel {
namespace {
constexpr int kRowPadding = 6;
}

ProjectionRow::ProjectionRow(double projection, std::string currency, double monthlyGoal,
                             QWidget* parent)
    : QWidget(parent),
      projection_(projection),
      text_(new QLabel(qtext(projectionText(currency, projection)), this)),
      share_(new QLabel(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, kRowPadding, 0, kRowPadding);

    text_->setObjectName(QStringLiteral("projectionText"));
    text_->setTextFormat(Qt::PlainText);
    text_->setFont(withMonospacedDigits(textStyleFont(TextStyle::Body)));
    text_->setAccessibleName(text_->text());
    // Both wrap rather than widen the form when the desktop's text is large.
    text_->setWordWrap(true);
    layout->addWidget(text_, 1, Qt::AlignVCenter);

    share_->setObjectName(QStringLiteral("projectionShare"));
    share_->setTextFormat(Qt::PlainText);
    share_->setWordWrap(true);
    share_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    share_->setFont(withMonospacedDigits(textStyleFont(TextStyle::Callout)));
    setLabelLevel(share_, LabelLevel::Secondary);
    layout->addWidget(share_, 0, Qt::AlignVCenter);
    setMonthlyGoal(monthlyGoal);
}

void ProjectionRow::setMonthlyGoal(double goal) {
    const auto share = monthlyObjectiveShareText(projection_, goal);
    share_->setText(share ? qtext(*share) : QString());
    share_->setAccessibleName(share_->text());
    share_->setVisible(share.has_value());
}

}  // namespace ambrel
