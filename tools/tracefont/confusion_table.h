// Counts of recognition mistakes by (expected, recognized) pair, for finding what a set
// of samples is most often taken for.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace tracefont {

struct Confusion {
    uint16_t expected = 0;
    uint16_t got = 0; // 0: no candidate at all
    int count = 0;
};

class ConfusionTable {
public:
    void Add(uint16_t expected, uint16_t got) { ++counts_[{expected, got}]; }

    // The n most frequent pairs, most frequent first; equal counts in code order.
    std::vector<Confusion> Top(size_t n) const {
        std::vector<Confusion> all;
        for (const auto& [pair, count] : counts_) all.push_back({pair.first, pair.second, count});
        std::stable_sort(all.begin(), all.end(),
                         [](const Confusion& a, const Confusion& b) { return a.count > b.count; });
        if (all.size() > n) all.resize(n);
        return all;
    }

private:
    std::map<std::pair<uint16_t, uint16_t>, int> counts_;
};

} // namespace tracefont
