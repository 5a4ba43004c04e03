#pragma once

// The two objective gauges of the dashboard: today against the daily goal, the month to date
// against the monthly goal.

#include <QWidget>

#include "core/earnings/earnings_store.h"
#include "core/earnings/snapshot.h"

namespace ambrel {

class RingGauge;

class ObjectivesRings final : public QWidget {
    Q_OBJECT
  public:
    ObjectivesRings(const AmbrelSnapshot& snapshot, const Objectives& objectives,
                    QWidget* parent = nullptr);

    // The rings follow edited goals at once, without rebuilding.
    void setObjectives(const Objectives& objectives);

    RingGauge* dailyGauge() const { return daily_; }
    RingGauge* monthlyGauge() const { return monthly_; }

  private:
    RingGauge* daily_;
    RingGauge* monthly_;
};

}  // namespace ambrel
