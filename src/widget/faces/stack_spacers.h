#pragma once

// How a stack shares its free length among its spacers: equally, except that a spacer never
// gets less than its minimum length (the others then share what is left).

#include <vector>

namespace ambrel {

// One length per minimum, in the same order. When the free length does not cover the
// minimums, every spacer gets its minimum and the content overflows.
std::vector<double> distributeSpacers(const std::vector<double>& minimums, double freeLength);

}  // namespace ambrel
