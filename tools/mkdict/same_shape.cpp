#include "tools/mkdict/same_shape.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace mkdict {

namespace {

constexpr int kPointsPerStroke = 8;
constexpr double kApart = 1e9;

// The drawing's strokes at kPointsPerStroke points each, scaled to its bounding box.
std::vector<PointD> Signature(const Ink& ink) {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    for (const auto& s : ink)
        for (auto p : s)
            x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x),
            y1 = std::max(y1, p.y);
    std::vector<PointD> out;
    if (x0 > x1) return out;
    const double w = x1 - x0, h = y1 - y0, longer = std::max({w, h, 1e-9});
    const double sx = std::max(w, longer / 3), sy = std::max(h, longer / 3);
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    for (const auto& s : ink) {
        if (s.empty()) continue;
        const double len = PolylineLength(s);
        size_t seg = 1;
        double walked = 0;
        for (int k = 0; k < kPointsPerStroke; ++k) {
            const double at = len * k / (kPointsPerStroke - 1);
            PointD p = s.front();
            while (seg < s.size()) {
                const double d = Distance(s[seg].x - s[seg - 1].x, s[seg].y - s[seg - 1].y);
                if (walked + d >= at && d > 0) {
                    const double t = (at - walked) / d;
                    p = {s[seg - 1].x + (s[seg].x - s[seg - 1].x) * t,
                         s[seg - 1].y + (s[seg].y - s[seg - 1].y) * t};
                    break;
                }
                walked += d;
                ++seg;
            }
            if (seg >= s.size()) p = s.back();
            out.push_back({(p.x - cx) / sx, (p.y - cy) / sy});
        }
    }
    return out;
}

double SignatureDistance(const std::vector<PointD>& a, const std::vector<PointD>& b) {
    if (a.empty() || a.size() != b.size()) return kApart;
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += Distance(a[i].x - b[i].x, a[i].y - b[i].y);
    return sum / static_cast<double>(a.size());
}

} // namespace

double ShapeDistance(const Ink& a, const Ink& b) {
    if (a.size() != b.size()) return kApart;
    return SignatureDistance(Signature(a), Signature(b));
}

std::vector<int> SameShapeGroups(const std::vector<Ink>& drawings, double max_distance,
                                 size_t max_strokes) {
    const size_t n = drawings.size();
    std::vector<std::vector<PointD>> sig(n);
    for (size_t i = 0; i < n; ++i) sig[i] = Signature(drawings[i]);
    std::vector<size_t> root(n);
    std::iota(root.begin(), root.end(), size_t{0});
    auto find = [&](size_t i) {
        while (root[i] != i) i = root[i] = root[root[i]];
        return i;
    };
    // only drawings of equal stroke count can match: compare within those sets
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return drawings[a].size() < drawings[b].size(); });
    std::vector<bool> paired(n, false);
    for (size_t i = 0; i < n; ++i) {
        if (drawings[order[i]].size() > max_strokes) break;
        for (size_t j = i + 1; j < n && drawings[order[j]].size() == drawings[order[i]].size();
             ++j) {
            const size_t a = order[i], b = order[j];
            if (SignatureDistance(sig[a], sig[b]) > max_distance) continue;
            root[find(a)] = find(b);
            paired[a] = paired[b] = true;
        }
    }
    std::vector<int> group(n, 0), number(n, 0);
    int next = 0;
    for (size_t i = 0; i < n; ++i) {
        if (!paired[i]) continue;
        size_t r = find(i);
        if (number[r] == 0) number[r] = ++next;
        group[i] = number[r];
    }
    return group;
}

} // namespace mkdict
