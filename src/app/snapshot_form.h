#pragma once

// The dashboard's figures as a grouped form: balance, objectives, revenue, the last 30 days with
// the month-end projection, and yesterday's performance with the time of the last update.

#include <QLocale>
#include <QWidget>

#include "core/earnings/earnings_store.h"
#include "core/earnings/snapshot.h"

namespace ambrel {

class FormSection;
class ObjectivesRings;
class ProjectionRow;

class SnapshotForm final : public QWidget {
    Q_OBJECT
  public:
    SnapshotForm(const AmbrelSnapshot& snapshot, const Objectives& objectives,
                 QWidget* parent = nullptr);

    void setObjectives(const Objectives& objectives);

    // "Updated at" and the short local time of `updatedAt`, hours and minutes only, in the
    // user's locale.
    static QString updatedAtText(Instant updatedAt, const QLocale& locale = QLocale::system());

    ObjectivesRings* rings() const { return rings_; }
    // None when the snapshot has no complete day to project from.
    ProjectionRow* projection() const { return projection_; }

  private:
    FormSection* makeBalanceSection(const AmbrelSnapshot& snapshot);
    FormSection* makeObjectivesSection(const AmbrelSnapshot& snapshot,
                                       const Objectives& objectives);
    FormSection* makeRevenueSection(const AmbrelSnapshot& snapshot);
    FormSection* makeTrendSection(const AmbrelSnapshot& snapshot, const Objectives& objectives);
    FormSection* makePerformanceSection(const AmbrelSnapshot& snapshot);

    ObjectivesRings* rings_ = nullptr;
    ProjectionRow* projection_ = nullptr;
};

}  // namespace ambrel
