#include "app/objectives_rings.h"

#include <QHBoxLayout>

#include "app/localized.h"
#include "app/ring_gauge.h"

namespace ambrel {
namespace {
constexpr int kSpacing = 32;
}

ObjectivesRings::ObjectivesRings(const AmbrelSnapshot& snapshot, const Objectives& objectives,
                                 QWidget* parent)
    : QWidget(parent),
      daily_(new RingGauge(localized("Today"), snapshot.today, objectives.daily, snapshot.currency,
                           this)),
      monthly_(new RingGauge(localized("This month"), snapshot.monthToDate, objectives.monthly,
                             snapshot.currency, this)) {
    daily_->setObjectName(QStringLiteral("dailyGauge"));
    monthly_->setObjectName(QStringLiteral("monthlyGauge"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kSpacing);
    layout->addStretch(1);
    layout->addWidget(daily_);
    layout->addWidget(monthly_);
    layout->addStretch(1);
}

void ObjectivesRings::setObjectives(const Objectives& objectives) {
    daily_->setGoal(objectives.daily);
    monthly_->setGoal(objectives.monthly);
}

}  // namespace ambrel
