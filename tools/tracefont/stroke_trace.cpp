#include "tools/tracefont/stroke_trace.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <queue>
#include <utility>

#include "tools/mkdict/ink.h"

namespace tracefont {

namespace {

// Drawings narrower than this along an axis (in drawing units) count as flat there.
constexpr double kFlatExtent = 1.0;

double SegmentDistance(const PointD& p, const PointD& a, const PointD& b) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return mkdict::Distance(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

struct Node {
    double cost;
    int index;
    bool operator>(const Node& o) const { return cost > o.cost; }
};

} // namespace

TraceParams TraceParams::ScaledTo(int size) const {
    TraceParams p = *this;
    double k = size / 128.0;
    p.radius *= k;
    p.sigma *= k;
    p.snap_step *= k;
    return p;
}

std::vector<Polyline> FitGuides(const std::vector<Polyline>& strokes, const PixelBox& box) {
    double x0 = std::numeric_limits<double>::max(), y0 = x0;
    double x1 = std::numeric_limits<double>::lowest(), y1 = x1;
    for (const auto& s : strokes)
        for (const auto& p : s) {
            x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
            y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
        }
    if (x0 > x1 || box.Empty()) return {};
    bool flat_x = x1 - x0 < kFlatExtent, flat_y = y1 - y0 < kFlatExtent;
    double bw = box.x1 - box.x0, bh = box.y1 - box.y0;
    double sx = flat_x ? 0 : bw / (x1 - x0), sy = flat_y ? 0 : bh / (y1 - y0);
    if (flat_x) sx = sy;
    if (flat_y) sy = sx;
    if (flat_x && flat_y) sx = sy = 1; // a single dot: only its position matters
    // flat axes are centred, others aligned to the box's first pixel
    double ox = flat_x ? (box.x0 + box.x1) / 2.0 - sx * (x0 + x1) / 2 : box.x0 - sx * x0;
    double oy = flat_y ? (box.y0 + box.y1) / 2.0 - sy * (y0 + y1) / 2 : box.y0 - sy * y0;
    std::vector<Polyline> out;
    out.reserve(strokes.size());
    for (const auto& s : strokes) {
        Polyline line;
        line.reserve(s.size());
        for (const auto& p : s) line.push_back({ox + sx * p.x, oy + sy * p.y});
        out.push_back(std::move(line));
    }
    return out;
}

double DistanceToPolyline(const PointD& p, const Polyline& line) {
    if (line.empty()) return std::numeric_limits<double>::infinity();
    if (line.size() == 1) return mkdict::Distance(p.x - line[0].x, p.y - line[0].y);
    double best = std::numeric_limits<double>::infinity();
    for (size_t i = 1; i < line.size(); ++i)
        best = std::min(best, SegmentDistance(p, line[i - 1], line[i]));
    return best;
}

Polyline SkeletonPath(const Bitmap& skeleton, const Polyline& guide, const TraceParams& params,
                      const Bitmap* used) {
    if (guide.empty()) return {};
    if (used && (used->width != skeleton.width || used->height != skeleton.height)) used = nullptr;
    const int w = skeleton.width, h = skeleton.height;
    const size_t n = static_cast<size_t>(w) * h;
    const PointD start = guide.front(), end = guide.back();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    // Per pixel: the factor its steps cost (infinite off the skeleton or too far away).
    std::vector<double> factor(n, kInf), cost(n, kInf);
    std::vector<int> from(n, -1);
    std::priority_queue<Node, std::vector<Node>, std::greater<Node>> queue;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!skeleton.At(x, y)) continue;
            PointD p{double(x), double(y)};
            double d = DistanceToPolyline(p, guide);
            if (d > params.radius) continue;
            int i = y * w + x;
            double r = d / params.sigma;
            factor[static_cast<size_t>(i)] =
                (1 + r * r) * (used && used->At(x, y) ? params.reuse_factor : 1);
            double ds = mkdict::Distance(p.x - start.x, p.y - start.y);
            if (ds <= params.radius) {
                cost[static_cast<size_t>(i)] = params.end_weight * ds;
                queue.push({cost[static_cast<size_t>(i)], i});
            }
        }
    while (!queue.empty()) {
        Node top = queue.top();
        queue.pop();
        if (top.cost > cost[static_cast<size_t>(top.index)]) continue;
        int x = top.index % w, y = top.index / w;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                if ((dx == 0 && dy == 0) || !skeleton.Inside(x + dx, y + dy)) continue;
                size_t j = static_cast<size_t>((y + dy) * w + x + dx);
                if (factor[j] == kInf) continue;
                double step = (dx && dy) ? std::sqrt(2.0) : 1.0;
                // the step costs the mean of its two pixels' factors
                double c =
                    top.cost + step * (factor[j] + factor[static_cast<size_t>(top.index)]) / 2;
                if (c < cost[j]) {
                    cost[j] = c;
                    from[j] = top.index;
                    queue.push({c, static_cast<int>(j)});
                }
            }
    }
    int best = -1;
    double best_cost = kInf;
    for (size_t i = 0; i < n; ++i) {
        if (cost[i] == kInf) continue;
        PointD p{double(i % static_cast<size_t>(w)), double(i / static_cast<size_t>(w))};
        double de = mkdict::Distance(p.x - end.x, p.y - end.y);
        if (de > params.radius) continue;
        double total = cost[i] + params.end_weight * de;
        if (total < best_cost) best_cost = total, best = static_cast<int>(i);
    }
    Polyline path;
    for (int i = best; i >= 0; i = from[static_cast<size_t>(i)])
        path.push_back({double(i % w), double(i / w)});
    std::reverse(path.begin(), path.end());
    return path;
}

Polyline SnapToSkeleton(const Bitmap& skeleton, const Polyline& guide, const TraceParams& params) {
    std::vector<PointD> pixels;
    for (int y = 0; y < skeleton.height; ++y)
        for (int x = 0; x < skeleton.width; ++x)
            if (skeleton.At(x, y)) pixels.push_back({double(x), double(y)});
    Polyline path;
    for (const auto& g : mkdict::Resample(guide, params.snap_step)) {
        const PointD* nearest = nullptr;
        double best = params.radius;
        for (const auto& p : pixels) {
            double d = mkdict::Distance(p.x - g.x, p.y - g.y);
            if (d <= best) best = d, nearest = &p;
        }
        if (!nearest) return {};
        if (path.empty() || path.back().x != nearest->x || path.back().y != nearest->y)
            path.push_back(*nearest);
    }
    return path;
}

std::pair<Polyline, Polyline> SplitAtHalfLength(const Polyline& line) {
    if (line.size() < 2) return {line, line};
    double half = mkdict::PolylineLength(line) / 2, walked = 0;
    for (size_t i = 1; i < line.size(); ++i) {
        const PointD a = line[i - 1], b = line[i];
        double seg = mkdict::Distance(b.x - a.x, b.y - a.y);
        if (walked + seg >= half && seg > 0) {
            double t = (half - walked) / seg;
            PointD mid{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
            Polyline first(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(i));
            first.push_back(mid);
            Polyline second{mid};
            second.insert(second.end(), line.begin() + static_cast<std::ptrdiff_t>(i), line.end());
            return {first, second};
        }
        walked += seg;
    }
    return {line, Polyline{line.back()}};
}

namespace {

// How far the splitting of strokes that come back on themselves goes (halves, quarters,
// eighths: a small closing loop at the end of a long stroke, as in ね, needs the third).
constexpr int kMaxSplitDepth = 3;

void Mark(Bitmap& used, const Polyline& path) {
    for (const auto& p : path) used.Set(static_cast<int>(p.x), static_cast<int>(p.y), true);
}

// A stroke that comes back near its start (a loop, a circle, a tight hook) has a short
// cut between its ends that the cheapest path would take. Such a stroke is traced in two
// halves, the first marked as taken before the second is traced, so that the second goes
// on round the way the stroke does.
Polyline StrokePath(const Bitmap& skeleton, const Polyline& guide, const TraceParams& params,
                    Bitmap& used, int depth) {
    double length = mkdict::PolylineLength(guide);
    double chord = guide.empty() ? 0
                                 : mkdict::Distance(guide.back().x - guide.front().x,
                                                    guide.back().y - guide.front().y);
    if (depth >= kMaxSplitDepth || length <= params.radius || chord >= length / 2)
        return SkeletonPath(skeleton, guide, params, &used);
    auto [a, b] = SplitAtHalfLength(guide);
    Bitmap before = used;
    Polyline first = StrokePath(skeleton, a, params, used, depth + 1);
    if (first.empty()) return {};
    Mark(used, first);
    Polyline second = StrokePath(skeleton, b, params, used, depth + 1);
    used = std::move(before);
    if (second.empty()) return {};
    size_t skip = second.front().x == first.back().x && second.front().y == first.back().y;
    first.insert(first.end(), second.begin() + static_cast<std::ptrdiff_t>(skip), second.end());
    return first;
}

} // namespace

TraceResult TraceStrokes(const Bitmap& skeleton, const std::vector<Polyline>& guides,
                         const TraceParams& params) {
    TraceResult r;
    if (guides.empty()) return r;
    Bitmap used(skeleton.width, skeleton.height);
    for (const auto& g : guides) {
        Polyline path = StrokePath(skeleton, g, params, used, 0);
        if (path.empty()) {
            path = SnapToSkeleton(skeleton, g, params);
            if (path.empty()) return TraceResult{};
            ++r.snapped_strokes;
        }
        Mark(used, path);
        r.strokes.push_back(std::move(path));
    }
    r.status = r.snapped_strokes ? TraceStatus::Snapped : TraceStatus::Traced;
    r.radius = params.radius;
    return r;
}

} // namespace tracefont
