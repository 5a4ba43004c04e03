#include "app/value_row.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/delta_line.h"
#include "ui/colors.h"
#include "ui/fonts.h"

namespace ambrel {
namespace {
constexpr int kValueSpacing = 10;
constexpr int kRowPadding = 6;
constexpr int kLineSpacing = 1;
}  // namespace

ValueRow::ValueRow(const QString& title, const QString& value, const std::optional<RowDelta>& delta,
                   QWidget* parent)
    : QWidget(parent), title_(new QLabel(title, this)), value_(new QLabel(value, this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, kRowPadding, 0, kRowPadding);
    layout->setSpacing(kValueSpacing);

    title_->setTextFormat(Qt::PlainText);
    value_->setTextFormat(Qt::PlainText);
    title_->setObjectName(QStringLiteral("rowTitle"));
    title_->setFont(textStyleFont(TextStyle::Body));
    title_->setAccessibleName(title);
    // The title gives way first when the window is narrow; the figures never do.
    title_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    title_->setMinimumWidth(title_->fontMetrics().horizontalAdvance(title.left(6)));
    layout->addWidget(title_, 1, Qt::AlignTop);

    auto* trailing = new QVBoxLayout;
    trailing->setSpacing(kLineSpacing);
    auto* figures = new QHBoxLayout;
    figures->setSpacing(kValueSpacing);
    QFont valueFont = textStyleFont(TextStyle::Body);
    valueFont.setWeight(QFont::DemiBold);
    value_->setObjectName(QStringLiteral("rowValue"));
    value_->setFont(withMonospacedDigits(valueFont));
    value_->setAccessibleName(value);
    value_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    figures->addStretch(1);
    figures->addWidget(value_, 0, Qt::AlignVCenter);
    if (delta) {
        delta_ = new DeltaLine(delta->comparison, delta->kind, delta->currency, this);
        figures->addWidget(delta_, 0, Qt::AlignVCenter);
    }
    trailing->addLayout(figures);
    if (delta && !delta->against.isEmpty()) {
        against_ = new QLabel(delta->against, this);
        against_->setObjectName(QStringLiteral("comparisonLabel"));
        against_->setTextFormat(Qt::PlainText);
        against_->setFont(textStyleFont(TextStyle::Caption2));
        against_->setAccessibleName(delta->against);
        setForegroundColor(against_, readableOn(labelColor(LabelLevel::Secondary, palette()),
                                                palette().color(QPalette::Base)));
        trailing->addWidget(against_, 0, Qt::AlignRight);
    }
    layout->addLayout(trailing);
}

void ValueRow::setDimmed(bool dimmed) {
    const LabelLevel level = dimmed ? LabelLevel::Secondary : LabelLevel::Primary;
    setForegroundColor(value_,
                       readableOn(labelColor(level, palette()), palette().color(QPalette::Base)));
}

}  // namespace ambrel
