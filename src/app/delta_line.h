#pragma once

// The comparison line beside a figure: an arrow, the signed difference and, when the previous
// value is not zero, the percentage change; green when the figure rose, red when it fell, in
// shades that keep 4.5:1 against the row. A change below half a percent (or none) is neutral:
// no arrow, no colour, no "0%".

#include <QWidget>
#include <string>

#include "core/earnings/snapshot.h"

class QLabel;

namespace ambrel {

class DeltaLine final : public QWidget {
    Q_OBJECT
  public:
    enum class Trend { up, down, neutral };

    DeltaLine(Comparison comparison, MetricKind kind, std::string currency,
              QWidget* parent = nullptr);

    // Neutral below half a percent of the previous value; with a previous value of 0, only
    // when nothing changed.
    static Trend trendOf(Comparison comparison);
    Trend trend() const { return trendOf(comparison_); }

    // The colour of the texts and the arrow on `background`.
    static QColor colorOf(Trend trend, const QPalette& palette);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    QLabel* addLabel(const QString& text, const QFont& font);
    void applyColors();

    Comparison comparison_;
    QLabel* arrow_ = nullptr;
    bool applying_ = false;
};

}  // namespace ambrel
