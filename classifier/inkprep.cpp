#include "classifier/inkprep.h"

#include <algorithm>
#include <cmath>
#include <new>

// Measured on imitated writing with and without device noise (docs/device-ink.md).
INKPREP_PARAMS _inkprep = {0.03, 0.03, 3, 0.01, 0.25};

namespace {

// Points between two others that the noise is judged from, at least.
constexpr size_t kLeastNoiseSamples = 10;
// Writing whose points lie off their neighbours' middle by less than this many input units
// (the median) carries no more noise than rounding to whole units gives; small writing and
// small parts of a line look noisy against their size for that alone.
constexpr double kLeastNoiseUnits = 1.0;
// Noise turns a stroke now one way, now the other; a small curve (。, ゜), however tight
// against its size, keeps turning the same way. Noisy writing reverses its turn at least
// at this share of its points.
constexpr double kLeastReversals = 0.4;
// A step along the stroke counts at least this share of the distance between its points,
// so that where points lie far apart on a sharp turn the averaging does not draw the two
// sides of the turn together and smooth them into one.
constexpr double kLeastStepShare = 0.5;

struct Pt {
    double x, y;
};

using Line = std::vector<Pt>;

double Dist(const Pt& a, const Pt& b) {
    return std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
}

// The polyline at even arc-length steps of about step, cut so that they divide its length:
// first and last point kept, and a stroke drawn the other way round gives the same points
// in reverse. A polyline of no length gives its first point.
Line Resample(const Line& s, double step) {
    double length = 0;
    for (size_t i = 1; i < s.size(); ++i) length += Dist(s[i - 1], s[i]);
    Line out{s.front()};
    if (!(length > 0)) return out;
    const long n = std::max(1L, std::lround(length / step));
    const double even = length / double(n);
    long k = 1;        // the next point, k steps along
    double walked = 0; // arc length up to the start of segment i
    for (size_t i = 1; i < s.size() && k < n; ++i) {
        const double seg = Dist(s[i - 1], s[i]);
        for (; k < n && k * even <= walked + seg; ++k) {
            const double t = (k * even - walked) / seg;
            out.push_back(
                {s[i - 1].x + (s[i].x - s[i - 1].x) * t, s[i - 1].y + (s[i].y - s[i - 1].y) * t});
        }
        walked += seg;
    }
    out.push_back(s.back());
    return out;
}

// Where each point lies along the stroke: the arc length of the stroke with each point
// first averaged with two neighbours on either side. Noise that makes the stroke zigzag
// would lengthen it, and a window along it would then hold too few points.
std::vector<double> Positions(const Line& s) {
    const long n = long(s.size());
    Line m(s.size());
    for (long i = 0; i < n; ++i) {
        Pt sum{0, 0};
        const long lo = std::max(0L, i - 2), hi = std::min(n - 1, i + 2);
        for (long j = lo; j <= hi; ++j) sum.x += s[size_t(j)].x, sum.y += s[size_t(j)].y;
        m[size_t(i)] = {sum.x / double(hi - lo + 1), sum.y / double(hi - lo + 1)};
    }
    std::vector<double> pos(s.size(), 0.0);
    for (size_t i = 1; i < s.size(); ++i)
        pos[i] =
            pos[i - 1] + std::max(Dist(m[i - 1], m[i]), kLeastStepShare * Dist(s[i - 1], s[i]));
    return pos;
}

// Each point replaced by a line fitted through the points around it along the stroke,
// with Gaussian weights of width sigma, out to three widths. Inside a stroke this is the
// weighted mean; at its ends the fit follows the stroke's direction instead of pulling
// the end inwards.
Line Smooth(const Line& s, double sigma) {
    const long n = long(s.size());
    const std::vector<double> pos = Positions(s);
    const double reach = 3 * sigma;
    Line out(s.size());
    for (long i = 0; i < n; ++i) {
        double sw = 0, st = 0, stt = 0, sx = 0, sy = 0, stx = 0, sty = 0;
        long lo = i, hi = i;
        while (lo > 0 && pos[size_t(i)] - pos[size_t(lo - 1)] < reach) --lo;
        while (hi + 1 < n && pos[size_t(hi + 1)] - pos[size_t(i)] < reach) ++hi;
        for (long j = lo; j <= hi; ++j) {
            const double t = (pos[size_t(j)] - pos[size_t(i)]) / sigma;
            const double c = std::exp(-0.5 * t * t);
            sw += c, st += c * t, stt += c * t * t;
            sx += c * s[size_t(j)].x, sy += c * s[size_t(j)].y;
            stx += c * t * s[size_t(j)].x, sty += c * t * s[size_t(j)].y;
        }
        const double det = sw * stt - st * st;
        if (det > 1e-6 * sw * sw)
            out[size_t(i)] = {(stt * sx - st * stx) / det, (stt * sy - st * sty) / det};
        else
            out[size_t(i)] = {sx / sw, sy / sw};
    }
    return out;
}

int16_t Unit(double v) {
    return static_cast<int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
}

} // namespace

INK_NOISE InkNoise(const PATTERN_W* pat) {
    if (!pat || !pat->data || pat->num < 3) return {0, 0, 0, 0};
    const POINT_W* p = pat->data;
    int minx = p[0].x, maxx = p[0].x, miny = p[0].y, maxy = p[0].y;
    for (int i = 1; i < pat->num; ++i) {
        minx = std::min(minx, int(p[i].x)), maxx = std::max(maxx, int(p[i].x));
        miny = std::min(miny, int(p[i].y)), maxy = std::max(maxy, int(p[i].y));
    }
    try {
        std::vector<double> off, bend;
        int last = 0, turns = 0, reversals = 0; // the sense of the previous turn, and counts
        for (int i = 1; i + 1 < pat->num; ++i) {
            if (p[i - 1].attr & PT_PENDOWN) last = 0;
            if ((p[i].attr & (PT_PENDOWN | PT_PENUP)) || (p[i + 1].attr & PT_PENDOWN) ||
                (p[i - 1].attr & PT_PENUP))
                continue;
            const long cross = long(p[i].x - p[i - 1].x) * (p[i + 1].y - p[i].y) -
                               long(p[i].y - p[i - 1].y) * (p[i + 1].x - p[i].x);
            const int sense = cross > 0 ? 1 : cross < 0 ? -1 : 0;
            if (sense && last) ++turns, reversals += sense != last;
            if (sense) last = sense;
            const Pt a{double(p[i - 1].x), double(p[i - 1].y)},
                c{double(p[i + 1].x), double(p[i + 1].y)};
            const double d =
                Dist({double(p[i].x), double(p[i].y)}, {(a.x + c.x) / 2, (a.y + c.y) / 2});
            const double span = Dist(a, c);
            if (!(span > 0)) continue; // a point repeated, or a stroke come back on itself
            off.push_back(d);
            bend.push_back(d / span);
        }
        // a few points between corners say nothing of noise
        if (off.size() < kLeastNoiseSamples) return {0, 0, 0, 0};
        auto median = [](std::vector<double>& v) {
            std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
            return v[v.size() / 2];
        };
        const double units = median(off);
        return {units / std::max({maxx - minx, maxy - miny, 1}), median(bend), units,
                turns ? double(reversals) / turns : 0.0};
    } catch (const std::bad_alloc&) {
        return {0, 0, 0, 0};
    }
}

bool IsNoisyInk(const PATTERN_W* pat, const INKPREP_PARAMS& params) {
    const INK_NOISE n = InkNoise(pat);
    return n.offset >= params.gate && n.bend >= params.gate_bend && n.units >= kLeastNoiseUnits &&
           n.reversals >= kLeastReversals;
}

bool ConditionInk(const PATTERN_W* pat, const INKPREP_PARAMS& params, std::vector<POINT_W>& out) {
    out.clear();
    if (!pat || !pat->data || pat->num < 1) return false;
    try {
        const POINT_W* p = pat->data;
        int minx = p[0].x, maxx = p[0].x, miny = p[0].y, maxy = p[0].y;
        for (int i = 1; i < pat->num; ++i) {
            minx = std::min(minx, int(p[i].x)), maxx = std::max(maxx, int(p[i].x));
            miny = std::min(miny, int(p[i].y)), maxy = std::max(maxy, int(p[i].y));
        }
        const double size = std::max({maxx - minx, maxy - miny, 1});
        const double unit = kInkPrepUnits / size;
        const double sigma = params.smooth * kInkPrepUnits, step = params.step * kInkPrepUnits;
        for (int b = 0; b < pat->num;) {
            int e = b + 1;
            while (e < pat->num && !(p[e].attr & PT_PENDOWN)) ++e;
            // Points closer than an eighth of the smoothing width to the last one kept say
            // nothing the window does not hear from the others; leaving them out bounds
            // the window (writing of many repeated or very fine points stays cheap).
            Line s;
            for (int i = b; i < e; ++i) {
                const Pt q{(p[i].x - minx) * unit, (p[i].y - miny) * unit};
                if (s.empty() || Dist(s.back(), q) >= sigma / 8 || i + 1 == e) s.push_back(q);
            }
            b = e;
            // the points as the device gave them are smoothed, so that the window holds
            // independent samples of the noise, not points interpolated between them
            for (int k = 0; k < params.passes && s.size() > 2 && sigma > 0; ++k)
                s = Smooth(s, sigma);
            if (step > 0) s = Resample(s, step);
            const size_t first = out.size();
            for (const Pt& q : s) {
                const POINT_W u{Unit(q.x), Unit(q.y), 0};
                if (out.size() > first && out.back().x == u.x && out.back().y == u.y) continue;
                out.push_back(u);
            }
            out[first].attr |= PT_PENDOWN;
            out.back().attr |= PT_PENUP;
        }
    } catch (const std::bad_alloc&) {
        out.clear();
        return false;
    }
    return true;
}
