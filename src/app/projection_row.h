#pragma once

// The row under the trend chart: "Projected this month: …", and beside it the share of the
// monthly objective that the projection reaches, while one is set.

#include <QWidget>
#include <string>

class QLabel;

namespace ambrel {

class ProjectionRow final : public QWidget {
    Q_OBJECT
  public:
    ProjectionRow(double projection, std::string currency, double monthlyGoal,
                  QWidget* parent = nullptr);

    void setMonthlyGoal(double goal);

    QLabel* textLabel() const { return text_; }
    QLabel* shareLabel() const { return share_; }

  private:
    double projection_;
    QLabel* text_;
    QLabel* share_;
};

}  // namespace ambrel
