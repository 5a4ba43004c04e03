#pragma once

// The balance row: the unpaid balance in large digits ("—" when unknown) and, on the trailing
// side, the last payment with its date when known.

#include <QWidget>

#include "core/earnings/snapshot.h"

class QLabel;

namespace ambrel {

class BalanceRow final : public QWidget {
    Q_OBJECT
  public:
    explicit BalanceRow(const AmbrelSnapshot& snapshot, QWidget* parent = nullptr);

    QLabel* balanceLabel() const { return balance_; }

    // Drawn in the secondary colour while the figures are old.
    void setDimmed(bool dimmed);

  private:
    QWidget* makeLastPayment(const AmbrelSnapshot& snapshot);

    QLabel* balance_ = nullptr;
    QLabel* lastPayment_ = nullptr;
};

}  // namespace ambrel
