#include "widget/faces/stack_spacers.h"

#include <cstddef>

namespace ambrel {

std::vector<double> distributeSpacers(const std::vector<double>& minimums, double freeLength) {
    std::vector<double> lengths(minimums.size(), 0);
    std::vector<bool> fixed(minimums.size(), false);
    double remaining = freeLength;
    std::size_t open = minimums.size();

    // Each pass fixes the spacers whose minimum exceeds the equal share; at most one pass per
    // spacer, and the last pass fixes nothing.
    bool changed = true;
    while (changed && open > 0) {
        changed = false;
        const double share = remaining / static_cast<double>(open);
        for (std::size_t i = 0; i < minimums.size(); ++i) {
            if (fixed[i] || minimums[i] <= share) continue;
            fixed[i] = true;
            lengths[i] = minimums[i];
            remaining -= minimums[i];
            --open;
            changed = true;
        }
    }
    const double share = open > 0 ? remaining / static_cast<double>(open) : 0;
    for (std::size_t i = 0; i < minimums.size(); ++i) {
        if (!fixed[i]) lengths[i] = share;
    }
    return lengths;
}

}  // namespace ambrel
