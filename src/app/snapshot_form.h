#pragma once

// The dashboard's figures as a grouped form: how fresh they are, then balance, objectives,
// revenue, the last 30 days with the month-end projection, and yesterday's performance; last,
// whose midnight ends the report days when it is not the desktop's.

#include <QWidget>

#include "core/earnings/earnings_store.h"
#include "core/earnings/snapshot.h"

class QLabel;

namespace ambrel {

class BalanceRow;
class FormSection;
class ObjectivesRings;
class ProjectionRow;
class ValueRow;

class SnapshotForm final : public QWidget {
    Q_OBJECT
  public:
    SnapshotForm(const AmbrelSnapshot& snapshot, const Objectives& objectives, Instant now,
                 QWidget* parent = nullptr);

    void setObjectives(const Objectives& objectives);
    // Says again how old the figures are at `now`, and dims them once they are stale.
    void setNow(Instant now);

    QLabel* freshnessLabel() const { return freshness_; }
    bool isDimmed() const { return dimmed_; }
    ObjectivesRings* rings() const { return rings_; }
    // None when the snapshot has no complete day to project from.
    ProjectionRow* projection() const { return projection_; }

  private:
    QLabel* makeFreshnessLine();
    FormSection* makeBalanceSection(const AmbrelSnapshot& snapshot);
    FormSection* makeObjectivesSection(const AmbrelSnapshot& snapshot,
                                       const Objectives& objectives);
    FormSection* makeRevenueSection(const AmbrelSnapshot& snapshot);
    FormSection* makeTrendSection(const AmbrelSnapshot& snapshot, const Objectives& objectives);
    FormSection* makePerformanceSection(const AmbrelSnapshot& snapshot);
    QLabel* makeNote(const QString& text, const QString& name);
    void setDimmed(bool dimmed);

    Instant updatedAt_;
    QLabel* freshness_ = nullptr;
    BalanceRow* balance_ = nullptr;
    std::vector<ValueRow*> rows_;
    bool dimmed_ = false;
    ObjectivesRings* rings_ = nullptr;
    ProjectionRow* projection_ = nullptr;
};

}  // namespace ambrel
