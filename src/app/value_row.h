#pragma once

// A form row with a title on the leading side and a value on the trailing side: a figure in the
// body style at semibold weight and, when given, its comparison line 10 px after it, with what
// the change is measured against under it.

#include <QWidget>
#include <optional>

#include "core/earnings/snapshot.h"

class QLabel;

namespace ambrel {

class DeltaLine;

struct RowDelta {
    Comparison comparison;
    MetricKind kind = MetricKind::currency;
    std::string currency;
    QString against;  // "vs previous 7 days"; empty when the section says it once for all rows
};

class ValueRow final : public QWidget {
    Q_OBJECT
  public:
    ValueRow(const QString& title, const QString& value, const std::optional<RowDelta>& delta,
             QWidget* parent = nullptr);

    QLabel* titleLabel() const { return title_; }
    QLabel* valueLabel() const { return value_; }
    DeltaLine* deltaLine() const { return delta_; }
    QLabel* againstLabel() const { return against_; }

    // Drawn in the secondary colour while the figures are old.
    void setDimmed(bool dimmed);

  private:
    QLabel* title_;
    QLabel* value_;
    DeltaLine* delta_ = nullptr;
    QLabel* against_ = nullptr;
};

}  // namespace ambrel
