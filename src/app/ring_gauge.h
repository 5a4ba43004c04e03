#pragma once

// One titled objective gauge: the progress ring, the title under it, then "reached / goal".

#include <QWidget>
#include <string>

class QLabel;

namespace ambrel {

class ProgressRing;

class RingGauge final : public QWidget {
    Q_OBJECT
  public:
    RingGauge(const QString& title, double value, double goal, std::string currency,
              QWidget* parent = nullptr);

    // A goal of 0 or below gives 0: the ring never divides by it.
    static double progressOf(double value, double goal);

    void setGoal(double goal);

    ProgressRing* ring() const { return ring_; }
    QLabel* titleLabel() const { return title_; }
    QLabel* amountsLabel() const { return amounts_; }

  private:
    void updateFigures();

    double value_;
    double goal_;
    std::string currency_;
    ProgressRing* ring_;
    QLabel* title_;
    QLabel* amounts_;
};

}  // namespace ambrel
