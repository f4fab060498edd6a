#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tools/bench/device_ink.h"

using namespace bench;

namespace {

// Two strokes: a bar of 11 points 4 units apart and a one-point dot.
std::vector<POINT_W> Bar() {
    std::vector<POINT_W> pts;
    for (int x = 0; x <= 40; x += 4) pts.push_back({int16_t(100 + x), 50, 0});
    pts.front().attr = PT_PENDOWN, pts.back().attr = PT_PENUP;
    pts.push_back({120, 90, PT_PENDOWN | PT_PENUP});
    return pts;
}

TEST(DeviceInk, EachOptionDeliversTheInkAsItSays) {
    const std::vector<POINT_W> bar = Bar(); // 40 units wide and high
    DeviceInk none;
    EXPECT_FALSE(none.Any());
    const auto same = DeviceCharacter(bar, none, 1);
    EXPECT_TRUE(std::equal(same.begin(), same.end(), bar.begin(), bar.end(),
                           [](const POINT_W& a, const POINT_W& b) {
                               return a.x == b.x && a.y == b.y && a.attr == b.attr;
                           }));
    const struct {
        DeviceInk d;
        size_t points;  // of the bar
        int most_off;   // farthest from the clean bar's line, units
        int right_edge; // x of the bar's last point
    } cases[] = {
        {{0, DeviceInk::Sampling::kSparse, 0}, 4, 0, 140}, // points 0, 4, 8 and the end
        {{0, DeviceInk::Sampling::kDense, 0}, 41, 0, 140},
        {{0, DeviceInk::Sampling::kAsWritten, 400}, 11, 0, 500},
        {{0.05, DeviceInk::Sampling::kAsWritten, 0}, 0, 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.d.Describe());
        const auto out = DeviceCharacter(bar, c.d, 7);
        const auto stroke_end = std::find_if(out.begin(), out.end(),
                                             [](const POINT_W& p) { return p.attr & PT_PENUP; });
        ASSERT_NE(stroke_end, out.end());
        EXPECT_EQ(out.front().attr, PT_PENDOWN);
        EXPECT_EQ(out.back().attr, PT_PENDOWN | PT_PENUP) << "the dot stays a dot";
        if (c.points) {
            EXPECT_EQ(size_t(stroke_end - out.begin()) + 1, c.points);
        }
        if (c.right_edge) {
            EXPECT_EQ(stroke_end->x, c.right_edge);
        }
        int off = 0;
        for (auto p = out.begin(); p <= stroke_end; ++p) off = std::max(off, std::abs(p->y - 50));
        if (c.d.jitter > 0) {
            EXPECT_LE(off, c.most_off); // ±5 % of 40
            EXPECT_GT(off, 0);
        }
    }
}

} // namespace
