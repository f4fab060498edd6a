#include "tools/bench/device_ink.h"

#include <algorithm>
#include <cmath>

#include "tools/mkdict/distort.h"
#include "tools/mkdict/ink.h"

namespace bench {

namespace {

using mkdict::PointD;
using mkdict::Polyline;
using Strokes = std::vector<Polyline>;

// Mixed into the seed, so that the device's draws share nothing with the imitation's.
constexpr uint64_t kDeviceSeedMix = 0x64657669636521ULL;
constexpr int kSamplingFactor = 4;

struct Box {
    double minx = 1e300, miny = 1e300, maxx = -1e300, maxy = -1e300;
    void Add(const Strokes& s, size_t from, size_t to) {
        for (size_t k = from; k < to; ++k)
            for (const PointD& p : s[k]) {
                minx = std::min(minx, p.x), maxx = std::max(maxx, p.x);
                miny = std::min(miny, p.y), maxy = std::max(maxy, p.y);
            }
    }
    // the larger side, as the classifier measures a character
    double Size() const { return maxx < minx ? 0 : std::max(maxx - minx, maxy - miny); }
};

Polyline Resampled(const Polyline& s, DeviceInk::Sampling how) {
    if (how == DeviceInk::Sampling::kAsWritten || s.size() < 2) return s;
    Polyline out;
    if (how == DeviceInk::Sampling::kSparse) {
        for (size_t i = 0; i < s.size(); i += kSamplingFactor) out.push_back(s[i]);
        if ((s.size() - 1) % kSamplingFactor) out.push_back(s.back());
        return out;
    }
    for (size_t i = 0; i + 1 < s.size(); ++i)
        for (int k = 0; k < kSamplingFactor; ++k) {
            const double t = double(k) / kSamplingFactor;
            out.push_back({s[i].x + (s[i + 1].x - s[i].x) * t, s[i].y + (s[i + 1].y - s[i].y) * t});
        }
    out.push_back(s.back());
    return out;
}

// Applies the device to strokes whose characters end at char_end: the size over the
// whole (by the median character), then each stroke's sampling, then each character's
// noise by its own size.
void Deliver(Strokes& s, const std::vector<int>& char_end, const DeviceInk& d, uint64_t seed) {
    std::vector<double> sizes;
    size_t from = 0;
    for (int end : char_end) {
        Box b;
        b.Add(s, from, size_t(end));
        sizes.push_back(b.Size());
        from = size_t(end);
    }
    if (d.size > 0 && !sizes.empty()) {
        std::vector<double> sorted = sizes;
        std::nth_element(sorted.begin(), sorted.begin() + long(sorted.size() / 2), sorted.end());
        const double median = sorted[sorted.size() / 2];
        if (median > 0) {
            const double f = d.size / median;
            Box all;
            all.Add(s, 0, s.size());
            for (auto& stroke : s)
                for (PointD& p : stroke)
                    p = {all.minx + (p.x - all.minx) * f, all.miny + (p.y - all.miny) * f};
            for (double& z : sizes) z *= f;
        }
    }
    for (auto& stroke : s) stroke = Resampled(stroke, d.sampling);
    if (d.jitter <= 0) return;
    mkdict::Random rnd(seed ^ kDeviceSeedMix);
    from = 0;
    for (size_t c = 0; c < char_end.size(); ++c) {
        const double amount = d.jitter * sizes[c];
        for (size_t k = from; k < size_t(char_end[c]); ++k)
            for (PointD& p : s[k]) {
                p.x += rnd.Uniform(-amount, amount);
                p.y += rnd.Uniform(-amount, amount);
            }
        from = size_t(char_end[c]);
    }
}

int16_t Pixel(double v) {
    return static_cast<int16_t>(std::clamp(std::round(v), -32768.0, 32767.0));
}

} // namespace

const char kDeviceInkUsage[] =
    "  --jitter F        the device moves each point by up to F of the character size on\n"
    "                    each axis, independently (0)\n"
    "  --sampling sparse|dense  the device keeps every 4th point (and each stroke's ends),\n"
    "                    or delivers 4 times the points, interpolated\n"
    "  --size PX         written size: the larger side of a character scaled to PX pixels\n"
    "                    (of a line, of its median character)\n"
    "                    (each of the three is reported apart, beside the same writing without\n"
    "                    it)\n";

std::string DeviceInk::Describe() const {
    std::string out;
    auto add = [&out](const std::string& s) { out += (out.empty() ? "" : ", ") + s; };
    if (size > 0) add("size " + std::to_string(size) + " px");
    if (sampling == Sampling::kSparse) add("sparse");
    if (sampling == Sampling::kDense) add("dense");
    if (jitter > 0) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "jitter %g", jitter);
        add(buf);
    }
    return out;
}

bool ReadDeviceInkOption(cli::Args& args, DeviceInk& d, bool& ok) {
    const std::string& a = args.Option();
    if (a == "--jitter") {
        ok = args.Real(d.jitter, 0, 0.5);
    } else if (a == "--size") {
        ok = args.Int(d.size, 8, 4000);
    } else if (a == "--sampling") {
        std::string v;
        ok = args.Text(v) && (v == "sparse" || v == "dense");
        if (ok)
            d.sampling = v == "sparse" ? DeviceInk::Sampling::kSparse : DeviceInk::Sampling::kDense;
    } else {
        return false;
    }
    return true;
}

std::vector<POINT_W> DeviceCharacter(const std::vector<POINT_W>& pts, const DeviceInk& d,
                                     uint64_t seed) {
    if (!d.Any()) return pts;
    Strokes s;
    for (const POINT_W& p : pts) {
        if (s.empty() || (p.attr & PT_PENDOWN)) s.emplace_back();
        s.back().push_back({double(p.x), double(p.y)});
    }
    Deliver(s, {int(s.size())}, d, seed);
    return mkdict::ToPoints(s, 1.0);
}

void DeviceLine(std::vector<std::vector<tagPOINT>>& strokes, const std::vector<int>& char_end,
                const DeviceInk& d, uint64_t seed) {
    if (!d.Any()) return;
    Strokes s;
    for (const auto& stroke : strokes) {
        s.emplace_back();
        for (const tagPOINT& p : stroke) s.back().push_back({double(p.x), double(p.y)});
    }
    Deliver(s, char_end, d, seed);
    for (size_t k = 0; k < s.size(); ++k) {
        strokes[k].clear();
        for (const PointD& q : s[k]) {
            const tagPOINT t{Pixel(q.x), Pixel(q.y)};
            if (!strokes[k].empty() && strokes[k].back().x == t.x && strokes[k].back().y == t.y)
                continue;
            strokes[k].push_back(t);
        }
    }
}

} // namespace bench
