#include "app/ring_gauge.h"

#include <QVBoxLayout>

#include "app/fitting_label.h"
#include "app/localized.h"
#include "core/earnings/formatting.h"
#include "ui/colors.h"
#include "ui/fonts.h"
#include "ui/progress_ring.h"

namespace ambrel {
namespace {
constexpr double kDiameter = 78;
constexpr double kLineWidth = 9;
constexpr double kCenterFontSize = 17;
constexpr int kSpacing = 8;
constexpr int kLineSpacing = 1;
constexpr double kAmountsMinimumScale = 0.6;
}  // namespace

double RingGauge::progressOf(double value, double goal) {
    return goal > 0 ? value / goal : 0;
}

RingGauge::RingGauge(const QString& title, double value, double goal, std::string currency,
                     QWidget* parent)
    : QWidget(parent), value_(value), goal_(goal), currency_(std::move(currency)) {
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(kSpacing);

    ring_ = new ProgressRing(progressOf(value, goal), kDiameter, kLineWidth, kCenterFontSize,
                             labelColor(LabelLevel::Primary, palette()), this);
    // The rings lie on the form's plates (Base); a met objective's percentage is text too.
    const QColor plate = palette().color(QPalette::Base);
    ring_->setMetTextColor(readableOn(systemGreen(), plate));
    // Read out as "Today" rather than the ring's generic name; its description is the figure.
    ring_->setAccessibleName(title);
    // Room for the outer half of the stroke above and beside the ring; below, it reaches into
    // the spacing before the title.
    const int overflow = ring_->overflowMargin();
    layout->setContentsMargins(overflow, overflow, overflow, 0);
    layout->addWidget(ring_, 0, Qt::AlignHCenter);

    auto* lines = new QVBoxLayout;
    lines->setSpacing(kLineSpacing);
    title_ = new QLabel(title, this);
    title_->setTextFormat(Qt::PlainText);
    title_->setObjectName(QStringLiteral("gaugeTitle"));
    title_->setAccessibleName(title);
    title_->setFont(textStyleFont(TextStyle::Callout));
    setForegroundColor(title_, readableOn(labelColor(LabelLevel::Secondary, palette()), plate));
    lines->addWidget(title_, 0, Qt::AlignHCenter);

    amounts_ = new FittingLabel(kAmountsMinimumScale, this);
    amounts_->setObjectName(QStringLiteral("gaugeAmounts"));
    amounts_->setFont(textStyleFont(TextStyle::Caption2));
    setForegroundColor(amounts_, readableOn(labelColor(LabelLevel::Secondary, palette()), plate));
    lines->addWidget(amounts_, 0, Qt::AlignHCenter);
    layout->addLayout(lines);

    updateFigures();
}

void RingGauge::setGoal(double goal) {
    goal_ = goal;
    updateFigures();
}

void RingGauge::updateFigures() {
    ring_->setProgress(progressOf(value_, goal_));
    const std::string value = formatCurrency(currency_, value_);
    const std::string goal = formatCurrency(currency_, goal_);
    amounts_->setText(qtext(fillPlaceholders(ambrel::tr("%@ / %@"), {value, goal})));
    // Read out in the dashboard's words rather than as a slash.
    amounts_->setAccessibleName(
        qtext(fillPlaceholders(ambrel::tr("%@ of the %@ objective"), {value, goal})));
}

}  // namespace ambrel
