#pragma once

// The sheet in which the daily and monthly goals are edited. Every committed field edit goes
// to `onChange` at once (the dashboard's rings follow); "OK" runs `onSave`, then closes the
// sheet; "Cancel" (or Escape) only closes it, leaving committed edits where they went and
// dropping text typed but not committed.

#include <functional>

#include "core/earnings/earnings_store.h"
#include "ui/sheet_container.h"

namespace ambrel {

class GoalField;

class ObjectivesEditor final : public SheetContainer {
    Q_OBJECT
  public:
    ObjectivesEditor(Objectives objectives, std::function<void(const Objectives&)> onChange,
                     std::function<void()> onSave, QWidget* parent = nullptr);

    const Objectives& objectives() const { return objectives_; }
    GoalField* dailyField() const { return daily_; }
    GoalField* monthlyField() const { return monthly_; }

  private:
    static SheetSettings settings(ObjectivesEditor* editor);
    GoalField* addGoalRow(const char* label, double Objectives::*goal);
    void save();
    // Closes the sheet keeping only the edits already committed.
    void cancel();
    void dismiss();

    Objectives objectives_;
    std::function<void(const Objectives&)> onChange_;
    std::function<void()> onSave_;
    GoalField* daily_;
    GoalField* monthly_;
};

}  // namespace ambrel
