// Conditioning of written input: device copies of a stroke come out on the stroke.
#include "classifier/inkprep.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A quarter circle of radius 100 about the origin, a pen point every 2 units or so.
std::vector<POINT_W> Arc() {
    std::vector<POINT_W> out;
    for (int k = 0; k <= 78; ++k) {
        const double a = k * M_PI / 2 / 78;
        out.push_back(
            {int16_t(std::lround(100 * std::cos(a))), int16_t(std::lround(100 * std::sin(a))), 0});
    }
    out.front().attr = PT_PENDOWN;
    out.back().attr = PT_PENUP;
    return out;
}

enum class Device { kClean, kJitter, kSparse, kDense, kSmall };

std::vector<POINT_W> Delivered(Device d) {
    const std::vector<POINT_W> arc = Arc();
    std::vector<POINT_W> out;
    uint32_t rnd = 2024;
    auto noise = [&rnd] { // -3..3: 3 % of the size
        rnd = rnd * 1103515245u + 12345u;
        return int((rnd >> 16) % 7) - 3;
    };
    for (size_t i = 0; i < arc.size(); ++i) {
        POINT_W p = arc[i];
        if (d == Device::kSparse && i % 4 && !p.attr) continue;
        if (d == Device::kDense && i > 0)
            for (int k = 1; k < 4; ++k)
                out.push_back({int16_t((arc[i - 1].x * (4 - k) + p.x * k + 2) / 4),
                               int16_t((arc[i - 1].y * (4 - k) + p.y * k + 2) / 4), 0});
        if (d == Device::kJitter) p.x = int16_t(p.x + noise()), p.y = int16_t(p.y + noise());
        if (d == Device::kSmall)
            p.x = int16_t(std::lround(p.x * 0.4)), p.y = int16_t(std::lround(p.y * 0.4));
        if (!out.empty() && !p.attr && out.back().x == p.x && out.back().y == p.y) continue;
        out.push_back(p);
    }
    return out;
}

// Root mean square distance of points from the arc (of radius r about the origin, the
// points' own grid moved by origin), as a share of the character size.
double Off(const std::vector<POINT_W>& pts, double r, double ox, double oy, double size) {
    double sum = 0;
    for (const POINT_W& q : pts) {
        const double d = std::hypot(q.x + ox, q.y + oy) - r;
        sum += d * d;
    }
    return std::sqrt(sum / double(pts.size())) / size;
}

TEST(InkPrep, DeviceCopiesOfAStrokeComeOutOnIt) {
    const struct {
        Device device;
        double most; // root mean square distance from the arc, share of the size
    } cases[] = {{Device::kClean, 0.003},
                 {Device::kJitter, 0.012},
                 {Device::kSparse, 0.003},
                 {Device::kDense, 0.003},
                 {Device::kSmall, 0.005}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.device));
        std::vector<POINT_W> in = Delivered(c.device), out;
        PATTERN_W pat{in.data(), int32_t(in.size())};
        ASSERT_TRUE(ConditionInk(&pat, _inkprep, out));
        int minx = in[0].x, miny = in[0].y, maxx = in[0].x, maxy = in[0].y;
        for (const POINT_W& p : in) {
            minx = std::min(minx, int(p.x)), maxx = std::max(maxx, int(p.x));
            miny = std::min(miny, int(p.y)), maxy = std::max(maxy, int(p.y));
        }
        const double size = std::max(maxx - minx, maxy - miny), unit = kInkPrepUnits / size;
        const double r = c.device == Device::kSmall ? 40 : 100;
        EXPECT_LT(Off(out, r * unit, minx * unit, miny * unit, kInkPrepUnits), c.most);
        // the noise is smoothed to well under what the device added; the other copies
        // come out evenly spaced at about the step
        const bool noisy = c.device == Device::kJitter;
        if (noisy) {
            EXPECT_LT(Off(out, r * unit, minx * unit, miny * unit, kInkPrepUnits),
                      0.8 * Off(in, r, 0, 0, size));
        }
        // one stroke
        ASSERT_GT(out.size(), 2u);
        EXPECT_EQ(out.front().attr, PT_PENDOWN);
        EXPECT_EQ(out.back().attr, PT_PENUP);
        for (size_t i = 1; i < out.size() && !noisy; ++i) {
            const double d = std::hypot(out[i].x - out[i - 1].x, out[i].y - out[i - 1].y);
            EXPECT_NEAR(d / kInkPrepUnits, _inkprep.step, 0.25 * _inkprep.step) << i;
        }
    }
}

TEST(InkPrep, OnlyNoisyWritingIsConditioned) {
    for (Device d :
         {Device::kClean, Device::kJitter, Device::kSparse, Device::kDense, Device::kSmall}) {
        std::vector<POINT_W> in = Delivered(d);
        PATTERN_W pat{in.data(), int32_t(in.size())};
        EXPECT_EQ(IsNoisyInk(&pat, _inkprep), d == Device::kJitter) << int(d);
    }
    std::vector<POINT_W> bar = {{0, 0, PT_PENDOWN}, {50, 0, PT_PENUP}};
    PATTERN_W pat{bar.data(), 2};
    EXPECT_FALSE(IsNoisyInk(&pat, _inkprep));
    EXPECT_EQ(InkNoise(&pat).offset, 0.0);
}

TEST(InkPrep, AReversedStrokeGivesTheSamePointsReversedAndADotStaysADot) {
    std::vector<POINT_W> in = Delivered(Device::kJitter);
    std::vector<POINT_W> back(in.rbegin(), in.rend());
    std::swap(back.front().attr, back.back().attr);
    back.push_back({50, 50, PT_PENDOWN | PT_PENUP});
    std::vector<POINT_W> a, b;
    PATTERN_W pa{in.data(), int32_t(in.size())}, pb{back.data(), int32_t(back.size())};
    ASSERT_TRUE(ConditionInk(&pa, _inkprep, a));
    ASSERT_TRUE(ConditionInk(&pb, _inkprep, b));
    ASSERT_EQ(b.size(), a.size() + 1);
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_LE(std::abs(a[i].x - b[a.size() - 1 - i].x), 1) << i;
        EXPECT_LE(std::abs(a[i].y - b[a.size() - 1 - i].y), 1) << i;
    }
    EXPECT_EQ(b.back().attr, PT_PENDOWN | PT_PENUP);
    // a pen held still: thousands of points in one place come out as one
    std::vector<POINT_W> still(5000, POINT_W{7, 7, 0});
    still.front().attr = PT_PENDOWN, still.back().attr = PT_PENUP;
    PATTERN_W ps{still.data(), int32_t(still.size())};
    ASSERT_TRUE(ConditionInk(&ps, _inkprep, a));
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].attr, PT_PENDOWN | PT_PENUP);
    PATTERN_W empty{in.data(), 0};
    EXPECT_FALSE(ConditionInk(&empty, _inkprep, a));
    EXPECT_TRUE(a.empty());
}

} // namespace
