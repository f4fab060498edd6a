#include "tools/mkdict/distort.h"

#include <algorithm>
#include <cmath>

namespace mkdict {

namespace {

// Spacing of the points the distortions work on, in drawing units.
constexpr double kWorkStep = 1.5;

uint64_t SplitMix(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint64_t Rotl(uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

PointD Centroid(const Polyline& line) {
    PointD c;
    for (auto p : line) c.x += p.x, c.y += p.y;
    if (!line.empty()) c.x /= line.size(), c.y /= line.size();
    return c;
}

// Moves a stroke end by a relative amount of its length: a positive amount extends the
// stroke along its end direction, a negative one cuts it back.
void ChangeEnds(Polyline& line, double start_rel, double end_rel) {
    double len = PolylineLength(line);
    if (line.size() < 2 || len <= 0) return;
    auto extend = [](Polyline& l, bool at_end, double amount) {
        PointD tip = at_end ? l.back() : l.front();
        // direction from a point a little inside the stroke towards the tip
        PointD in = tip;
        double walked = 0;
        for (size_t k = 1; k < l.size() && walked < 3.0; ++k) {
            size_t i = at_end ? l.size() - 1 - k : k;
            size_t j = at_end ? i + 1 : i - 1;
            walked += Distance(l[i].x - l[j].x, l[i].y - l[j].y);
            in = l[i];
        }
        double dx = tip.x - in.x, dy = tip.y - in.y, n = Distance(dx, dy);
        if (n <= 0) return;
        PointD p{tip.x + dx / n * amount, tip.y + dy / n * amount};
        if (at_end)
            l.push_back(p);
        else
            l.insert(l.begin(), p);
    };
    auto cut = [](Polyline& l, bool at_end, double amount) {
        if (!at_end) std::reverse(l.begin(), l.end());
        while (l.size() > 2 && amount > 0) {
            PointD a = l[l.size() - 2], b = l.back();
            double seg = Distance(b.x - a.x, b.y - a.y);
            if (seg > amount) {
                double t = (seg - amount) / seg;
                l.back() = {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
                amount = 0;
            } else {
                l.pop_back();
                amount -= seg;
            }
        }
        if (!at_end) std::reverse(l.begin(), l.end());
    };
    double s = std::clamp(start_rel, -0.3, 0.3) * len, e = std::clamp(end_rel, -0.3, 0.3) * len;
    if (s > 0)
        extend(line, false, s);
    else
        cut(line, false, -s);
    if (e > 0)
        extend(line, true, e);
    else
        cut(line, true, -e);
}

} // namespace

// Points of a stroke as a device samples them: t runs over equal time steps, the pen
// speeds up in the middle of a stroke and slows down at its ends.
Polyline SampleLikeDevice(const Polyline& dense, double step, bool mouse, Random& rnd) {
    double len = PolylineLength(dense);
    if (dense.size() < 2 || len <= 0) return {dense.front()};
    // cumulative lengths of the dense line
    std::vector<double> cum(dense.size(), 0);
    for (size_t i = 1; i < dense.size(); ++i)
        cum[i] = cum[i - 1] + Distance(dense[i].x - dense[i - 1].x, dense[i].y - dense[i - 1].y);
    auto at = [&](double s) {
        size_t i = std::upper_bound(cum.begin(), cum.end(), s) - cum.begin();
        if (i == 0) return dense.front();
        if (i >= dense.size()) return dense.back();
        double t = (s - cum[i - 1]) / std::max(1e-9, cum[i] - cum[i - 1]);
        return PointD{dense[i - 1].x + (dense[i].x - dense[i - 1].x) * t,
                      dense[i - 1].y + (dense[i].y - dense[i - 1].y) * t};
    };
    Polyline out{dense.front()};
    double s = 0;
    while (true) {
        double u = s / len;
        // bell-shaped speed profile, never quite zero at the ends
        double speed = 0.35 + 1.3 * std::sin(3.14159265358979 * std::clamp(u, 0.0, 1.0));
        double ds = step * speed;
        if (mouse) {
            // mouse reports are irregular: bursts of close points and long jumps
            ds *= std::exp(0.6 * rnd.Normal());
            if (rnd.Uniform() < 0.05) ds *= 3;
        }
        s += std::max(0.05, ds);
        if (s >= len) break;
        out.push_back(at(s));
    }
    out.push_back(dense.back());
    return out;
}

namespace {

// Stroke classes by the chord from first to last point: within about 20 degrees of the
// axis and at least a ninth of the drawing box long.
bool IsHorizontal(const Polyline& l) {
    if (l.size() < 2) return false;
    double dx = std::fabs(l.back().x - l.front().x), dy = std::fabs(l.back().y - l.front().y);
    return dx >= 12 && dy <= 0.36 * dx;
}

bool IsVertical(const Polyline& l) {
    if (l.size() < 2) return false;
    double dx = std::fabs(l.back().x - l.front().x), dy = std::fabs(l.back().y - l.front().y);
    return dy >= 12 && dx <= 0.36 * dy;
}

double Cross(PointD o, PointD a, PointD b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// True when two polylines cross properly (one segment of each on both sides of the other).
bool Crosses(const Polyline& a, const Polyline& b) {
    for (size_t i = 1; i < a.size(); ++i)
        for (size_t j = 1; j < b.size(); ++j) {
            double d1 = Cross(a[i - 1], a[i], b[j - 1]), d2 = Cross(a[i - 1], a[i], b[j]);
            double d3 = Cross(b[j - 1], b[j], a[i - 1]), d4 = Cross(b[j - 1], b[j], a[i]);
            if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) &&
                ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
                return true;
        }
    return false;
}

double DistanceToPolyline(PointD p, const Polyline& l) {
    double best = 1e300;
    for (size_t i = 0; i < l.size(); ++i) {
        PointD a = l[i], b = i + 1 < l.size() ? l[i + 1] : l[i];
        double vx = b.x - a.x, vy = b.y - a.y, len2 = vx * vx + vy * vy;
        double t =
            len2 > 0 ? std::clamp(((p.x - a.x) * vx + (p.y - a.y) * vy) / len2, 0.0, 1.0) : 0;
        best = std::min(best, Distance(p.x - a.x - t * vx, p.y - a.y - t * vy));
    }
    return best;
}

// True when two strokes cross, or an end of one lies on the other (a T or L joint).
bool Meets(const Polyline& a, const Polyline& b) {
    constexpr double kTouch = 4;
    if (a.empty() || b.empty()) return false;
    return Crosses(a, b) || DistanceToPolyline(a.front(), b) <= kTouch ||
           DistanceToPolyline(a.back(), b) <= kTouch ||
           DistanceToPolyline(b.front(), a) <= kTouch || DistanceToPolyline(b.back(), a) <= kTouch;
}

double EndGap(PointD a, PointD b) {
    return Distance(a.x - b.x, a.y - b.y);
}

// The identity order of n strokes with the strokes [first, last) moved to position to.
std::vector<size_t> MovedEarlier(size_t n, size_t to, size_t first, size_t last) {
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = i;
    std::rotate(order.begin() + static_cast<long>(to), order.begin() + static_cast<long>(first),
                order.begin() + static_cast<long>(last));
    return order;
}

} // namespace

std::vector<std::vector<size_t>> OrderErrorChoices(const Ink& m, OrderError kind) {
    std::vector<std::vector<size_t>> out;
    const size_t n = m.size();
    switch (kind) {
    case OrderError::kCrossSwapped:
        for (size_t j = 1; j < n; ++j)
            for (size_t i = 0; i < j; ++i)
                if (Crosses(m[i], m[j])) out.push_back(MovedEarlier(n, i, j, j + 1));
        break;
    case OrderError::kVerticalFirst:
        for (size_t j = 1; j < n; ++j) {
            if (!IsVertical(m[j])) continue;
            for (size_t i = 0; i < j; ++i)
                if (IsHorizontal(m[i]) && Meets(m[i], m[j])) {
                    out.push_back(MovedEarlier(n, i, j, j + 1));
                    break;
                }
        }
        break;
    case OrderError::kBoxClosedEarly: {
        // a box: a left side, then a right side (the top and right in one stroke) starting
        // at the left side's top, closed by a bottom stroke from the one's foot to the
        // other's; the ends of KanjiVG's strokes meet within about a ninth of the box
        constexpr double kNear = 12;
        for (size_t k = 2; k < n; ++k) {
            if (!IsHorizontal(m[k])) continue;
            for (size_t l = 0; l + 1 < k; ++l) {
                if (!IsVertical(m[l]) || EndGap(m[l].back(), m[k].front()) > kNear) continue;
                for (size_t r = l + 1; r < k; ++r) {
                    if (m[r].size() < 2 || EndGap(m[r].front(), m[l].front()) > kNear ||
                        EndGap(m[r].back(), m[k].back()) > kNear ||
                        m[r].back().x < m[l].back().x + kNear)
                        continue;
                    out.push_back(r + 1 < k ? MovedEarlier(n, r + 1, k, k + 1)
                                            : MovedEarlier(n, r, k, k + 1));
                }
            }
        }
        break;
    }
    case OrderError::kRunMovedEarlier:
        break;
    }
    return out;
}

std::vector<size_t> MisorderedStrokes(const Ink& model, Random& rnd) {
    const size_t n = model.size();
    if (n < 2) return MovedEarlier(n, 0, 0, 0);
    std::vector<std::vector<std::vector<size_t>>> kinds;
    for (auto kind :
         {OrderError::kCrossSwapped, OrderError::kVerticalFirst, OrderError::kBoxClosedEarly}) {
        auto choices = OrderErrorChoices(model, kind);
        if (!choices.empty()) kinds.push_back(std::move(choices));
    }
    auto pick = [&rnd](size_t count) {
        return std::min(count - 1, static_cast<size_t>(rnd.Uniform() * static_cast<double>(count)));
    };
    size_t kind = pick(kinds.size() + 1);
    if (kind < kinds.size()) return kinds[kind][pick(kinds[kind].size())];
    // a run of one to three strokes from position first, one to three places earlier
    size_t first = 1 + pick(n - 1);
    size_t last = first + 1 + pick(std::min<size_t>(3, n - first));
    size_t to = first - 1 - pick(std::min<size_t>(3, first));
    return MovedEarlier(n, to, first, last);
}

Ink InOrder(const Ink& model, const std::vector<size_t>& order) {
    Ink out;
    out.reserve(order.size());
    for (size_t i : order) out.push_back(model[i]);
    return out;
}

int ReverseStrokes(Ink& ink, double rate, Random& rnd) {
    int count = 0;
    for (auto& stroke : ink) {
        if (rnd.Uniform() >= rate) continue;
        std::reverse(stroke.begin(), stroke.end());
        count += stroke.size() > 1;
    }
    return count;
}

Random::Random(uint64_t seed) {
    uint64_t x = seed;
    for (auto& v : s_) v = SplitMix(x);
}

uint64_t Random::Next() {
    uint64_t result = Rotl(s_[1] * 5, 7) * 9;
    uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = Rotl(s_[3], 45);
    return result;
}

double Random::Uniform() {
    return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

double Random::Normal() {
    double u1 = std::max(Uniform(), 1e-300), u2 = Uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
}

Ink SplitAtSharpestCorner(const Ink& model, double min_turn) {
    double best = min_turn;
    size_t best_stroke = 0, best_at = 0;
    Polyline best_line;
    for (size_t s = 0; s < model.size(); ++s) {
        // turning angle at each point, measured over chords of 4 units so that the fine
        // flattening does not hide a corner; both parts must keep a real length
        Polyline line = Resample(model[s], 1.0);
        const size_t w = 4;
        for (size_t i = 8; i + 8 < line.size(); ++i) {
            double ax = line[i].x - line[i - w].x, ay = line[i].y - line[i - w].y;
            double bx = line[i + w].x - line[i].x, by = line[i + w].y - line[i].y;
            double turn = std::fabs(std::atan2(ax * by - ay * bx, ax * bx + ay * by));
            if (turn > best) best = turn, best_stroke = s, best_at = i, best_line = line;
        }
    }
    if (best_at == 0) return model;
    Ink out;
    for (size_t s = 0; s < model.size(); ++s) {
        if (s != best_stroke) {
            out.push_back(model[s]);
            continue;
        }
        auto at = best_line.begin() + static_cast<long>(best_at);
        out.emplace_back(best_line.begin(), at + 1);
        out.emplace_back(at, best_line.end());
    }
    return out;
}

Ink JoinClosestStrokes(const Ink& model, double max_gap) {
    double best = max_gap;
    size_t at = model.size();
    for (size_t s = 0; s + 1 < model.size(); ++s) {
        if (model[s].empty() || model[s + 1].empty()) continue;
        PointD e = model[s].back(), b = model[s + 1].front();
        double gap = Distance(b.x - e.x, b.y - e.y);
        if (gap < best) best = gap, at = s;
    }
    if (at == model.size()) return model;
    Ink out;
    for (size_t s = 0; s < model.size(); ++s) {
        if (s == at + 1) continue;
        out.push_back(model[s]);
        if (s == at) out.back().insert(out.back().end(), model[s + 1].begin(), model[s + 1].end());
    }
    return out;
}

Ink DistortedInk(const Ink& original, Random& rnd, const DistortionParams& p) {
    const double k = p.strength;
    Ink model = original;
    // 0. stroke count errors: a cornered stroke written in two, two strokes joined
    if (p.split_rate > 0 && rnd.Uniform() < p.split_rate) model = SplitAtSharpestCorner(model);
    if (p.merge_rate > 0 && rnd.Uniform() < p.merge_rate) model = JoinClosestStrokes(model);
    Ink ink;
    ink.reserve(model.size());
    // 1. stroke errors: each stroke slightly moved, resized, turned, lengthened or cut
    for (const auto& stroke : model) {
        Polyline line = Resample(stroke, kWorkStep);
        ChangeEnds(line, k * p.stroke_trim * rnd.Normal(), k * p.stroke_trim * rnd.Normal());
        PointD c = Centroid(line);
        double sc = std::exp(k * p.stroke_scale * rnd.Normal());
        double a = k * p.stroke_rotate * rnd.Normal(), ca = std::cos(a), sa = std::sin(a);
        double dx = k * p.stroke_shift * rnd.Normal(), dy = k * p.stroke_shift * rnd.Normal();
        for (auto& q : line) {
            double x = (q.x - c.x) * sc, y = (q.y - c.y) * sc;
            q = {c.x + ca * x - sa * y + dx, c.y + sa * x + ca * y + dy};
        }
        ink.push_back(std::move(line));
    }
    // 2. smooth elastic warp: a sum of three long-wave displacements per axis
    struct Wave {
        double fx, fy, ph, amp;
    } waves[6];
    for (auto& w : waves) {
        double wavelength = rnd.Uniform(70, 200), dir = rnd.Uniform(0, 6.283185307179586);
        w = {std::cos(dir) * 6.283185307179586 / wavelength,
             std::sin(dir) * 6.283185307179586 / wavelength, rnd.Uniform(0, 6.283185307179586),
             k * p.warp * rnd.Normal() / std::sqrt(3.0)};
    }
    // 3. affine distortion of the whole character about the box centre
    double a = k * p.rotate * rnd.Normal(), sh = k * p.shear * rnd.Normal();
    double asp = std::exp(k * p.aspect * rnd.Normal());
    double m00 = std::cos(a) * asp, m01 = -std::sin(a) + sh, m10 = std::sin(a),
           m11 = std::cos(a) / asp;
    const double mid = kKvgBoxSize / 2;
    for (auto& line : ink) {
        for (auto& q : line) {
            double wx = 0, wy = 0;
            for (int i = 0; i < 3; ++i)
                wx += waves[i].amp * std::sin(waves[i].fx * q.x + waves[i].fy * q.y + waves[i].ph);
            for (int i = 3; i < 6; ++i)
                wy += waves[i].amp * std::sin(waves[i].fx * q.x + waves[i].fy * q.y + waves[i].ph);
            double x = q.x + wx - mid, y = q.y + wy - mid;
            q = {mid + m00 * x + m01 * y, mid + m10 * x + m11 * y};
        }
    }
    // 4. hand jitter: white noise smoothed along the stroke
    for (auto& line : ink) {
        std::vector<PointD> noise(line.size());
        for (auto& n : noise) n = {rnd.Normal(), rnd.Normal()};
        const int half = 2;
        for (size_t i = 0; i < line.size(); ++i) {
            double sx = 0, sy = 0;
            int cnt = 0;
            for (int j = -half; j <= half; ++j) {
                long idx = static_cast<long>(i) + j;
                if (idx < 0 || idx >= static_cast<long>(line.size())) continue;
                sx += noise[idx].x, sy += noise[idx].y, ++cnt;
            }
            // a mean of cnt normals has sd 1/sqrt(cnt); scale back to the wanted sd
            double f = k * p.jitter * std::sqrt(static_cast<double>(cnt)) / cnt;
            line[i].x += sx * f;
            line[i].y += sy * f;
        }
    }
    return ink;
}

Ink WithWritingErrors(const Ink& original, uint64_t seed, const DistortionParams& p,
                      WritingErrors* errors) {
    // from a source of their own, so that the imitation's draws stay those of the same
    // writing without them
    Ink model = original;
    WritingErrors made;
    if (p.order_error_rate > 0 || p.reverse_rate > 0) {
        Random err(seed ^ 0x6F72646572726F72ull);
        if (p.order_error_rate > 0 && err.Uniform() < p.order_error_rate) {
            model = InOrder(model, MisorderedStrokes(model, err));
            made.misordered = model.size() > 1;
        }
        if (p.reverse_rate > 0) made.reversed = ReverseStrokes(model, p.reverse_rate, err);
    }
    if (errors) *errors = made;
    return model;
}

std::vector<POINT_W> DistortedWriting(const Ink& original, uint64_t seed, const DistortionParams& p,
                                      WritingErrors* errors) {
    Random rnd(seed);
    Ink ink = DistortedInk(WithWritingErrors(original, seed, p, errors), rnd, p);
    // 5. device: box size in pixels, pen or mouse sampling, integer pixels
    bool mouse = rnd.Uniform() < p.mouse_share;
    double box = rnd.Uniform(60, 240);
    double scale = box / kKvgBoxSize;
    double step_px = mouse ? rnd.Uniform(2.0, 7.0) : rnd.Uniform(1.0, 3.0);
    Ink sampled;
    for (auto& line : ink) sampled.push_back(SampleLikeDevice(line, step_px / scale, mouse, rnd));
    return ToPoints(sampled, scale);
}

std::vector<POINT_W> CleanWriting(const Ink& model, double box_pixels) {
    double scale = box_pixels / kKvgBoxSize;
    Ink ink;
    for (const auto& s : model) ink.push_back(Resample(s, 1.0 / scale));
    return ToPoints(ink, scale);
}

} // namespace mkdict
