#include "tools/bench/strokecount.h"

#include <limits>

#include "tools/mkdict/distort.h"

namespace bench {

namespace {

bool SameLine(const mkdict::Polyline& a, const mkdict::Polyline& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
    return true;
}

} // namespace

mkdict::Ink WithStrokeCountErrors(const mkdict::Ink& model, int joins, int splits,
                                  StrokeCountErrors* made) {
    StrokeCountErrors done;
    mkdict::Ink ink = model;
    // lifted[s]: strokes s and s + 1 are the pieces of one stroke
    std::vector<bool> lifted(ink.empty() ? 0 : ink.size() - 1, false);
    for (; done.splits < splits; ++done.splits) {
        mkdict::Ink cut = mkdict::SplitAtSharpestCorner(ink);
        if (cut.size() == ink.size()) break; // no corner left
        size_t s = 0;
        while (s < ink.size() && SameLine(ink[s], cut[s])) ++s;
        lifted.insert(lifted.begin() + static_cast<long>(s), true);
        ink = std::move(cut);
    }
    for (; done.joins < joins; ++done.joins) {
        double best = std::numeric_limits<double>::infinity();
        size_t at = ink.size();
        for (size_t s = 0; s + 1 < ink.size(); ++s) {
            if (lifted[s] || ink[s].empty() || ink[s + 1].empty()) continue;
            const mkdict::PointD e = ink[s].back(), b = ink[s + 1].front();
            const double gap = mkdict::Distance(b.x - e.x, b.y - e.y);
            if (gap < best) best = gap, at = s;
        }
        if (at == ink.size()) break; // one stroke left, or only lifted pairs
        ink[at].insert(ink[at].end(), ink[at + 1].begin(), ink[at + 1].end());
        ink.erase(ink.begin() + static_cast<long>(at) + 1);
        lifted.erase(lifted.begin() + static_cast<long>(at));
    }
    if (made) *made = done;
    return ink;
}

} // namespace bench
