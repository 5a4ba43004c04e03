#pragma once

// The texts the faces build from an entry, in the display locale and the current language.

#include <QString>

#include "core/earnings/snapshot.h"

namespace ambrel {

// The localized form of an English text key.
QString localized(const char* key);

// An amount as money in the snapshot's currency.
QString moneyText(const AmbrelSnapshot& snapshot, double value);

// The unpaid balance written as every other amount is (Google writes it in the format of the
// account's own locale), or "—" when there is none.
QString balanceText(const AmbrelSnapshot& snapshot);

}  // namespace ambrel
