// Choice of the correction pass's weight on candidate lists of recognized lines.
#pragma once

#include "tessera/seqread.h"

#include <cstdint>
#include <vector>

namespace mkdict {

// One recognized line as the correction pass receives it: the candidate lists of the
// characters the search found, the true string, and the kind of line (0..2).
struct CorrectionCase {
    std::vector<std::vector<CODE_SCORE>> lists;
    std::vector<uint16_t> truth;
    int kind = 0;
};

// The weight of the grid whose corrected strings are right most often, each kind of line
// weighing the same (a kind with more lines does not outvote the others); the smaller
// weight on a tie. correct(lists, count, weight) reorders the lists in place. A line
// whose character count differs from the truth's is never right. 0 for an empty grid.
template <class Correct>
double ChooseCorrectionWeight(const std::vector<CorrectionCase>& cases,
                              const std::vector<double>& grid, Correct correct) {
    double best = -1, chosen = 0;
    for (double w : grid) {
        int hit[3] = {}, n[3] = {};
        for (const auto& c : cases) {
            if (c.kind < 0 || c.kind > 2) continue;
            auto lists = c.lists;
            std::vector<CODE_SCORE*> ptrs;
            for (auto& l : lists) ptrs.push_back(l.data());
            const int width = lists.empty() ? 0 : static_cast<int>(lists[0].size());
            if (!ptrs.empty()) correct(ptrs.data(), static_cast<int>(ptrs.size()), width, w);
            bool ok = lists.size() == c.truth.size();
            for (size_t k = 0; ok && k < lists.size(); ++k)
                ok = !lists[k].empty() && (lists[k][0].code & 0xFFFF) == c.truth[k];
            hit[c.kind] += ok;
            ++n[c.kind];
        }
        double rate = 0;
        for (int k = 0; k < 3; ++k)
            if (n[k]) rate += static_cast<double>(hit[k]) / n[k];
        if (rate > best + 1e-9) best = rate, chosen = w;
    }
    return chosen;
}

} // namespace mkdict
