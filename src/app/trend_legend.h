#pragma once

// The key under the trend chart: the dashed line is the "30-day average", the lighter bar is
// "so far today". Its texts are real labels, read by assistive technologies as they are.

#include <QWidget>

namespace ambrel {

class TrendLegend final : public QWidget {
    Q_OBJECT
  public:
    explicit TrendLegend(QWidget* parent = nullptr);
};

}  // namespace ambrel
