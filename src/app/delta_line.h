#pragma once

// The comparison line under a figure: an arrow, the signed difference and, when the previous
// value is not zero, the percentage change; green when the figure rose or held, red when it fell.

#include <QWidget>
#include <string>

#include "core/earnings/snapshot.h"

class QLabel;

namespace ambrel {

class DeltaLine final : public QWidget {
    Q_OBJECT
  public:
    DeltaLine(Comparison comparison, MetricKind kind, std::string currency,
              QWidget* parent = nullptr);

    // An unchanged figure counts as rising.
    bool isUp() const { return comparison_.current - comparison_.previous >= 0; }

  private:
    QLabel* addLabel(const QString& text, const QFont& font);

    Comparison comparison_;
};

}  // namespace ambrel
