#include "classifier/normalize.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Builds a point list from strokes given as coordinate lists.
std::vector<POINT_W> Strokes(const std::vector<std::vector<std::pair<int, int>>>& strokes) {
    std::vector<POINT_W> pts;
    for (const auto& s : strokes) {
        for (size_t i = 0; i < s.size(); ++i) {
            uint8_t attr = 0;
            if (i == 0) attr |= PT_PENDOWN;
            if (i + 1 == s.size()) attr |= PT_PENUP;
            pts.push_back(POINT_W{int16_t(s[i].first), int16_t(s[i].second), attr});
        }
    }
    return pts;
}

UDATA Union(std::vector<POINT_W> pts) {
    PATTERN_W p{pts.data(), int32_t(pts.size())};
    UDATA u{};
    EXPECT_EQ(UnionData(&p, &u), 0);
    return u;
}

// A straight stroke sampled every `step` units from (x0, y0) to (x1, y1).
std::vector<std::pair<int, int>> Line(int x0, int y0, int x1, int y1, int steps) {
    std::vector<std::pair<int, int>> s;
    for (int i = 0; i <= steps; ++i)
        s.emplace_back(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    return s;
}

TEST(Root, SmallValues) {
    EXPECT_EQ(root(0), 0);
    EXPECT_EQ(root(1), 1);
    EXPECT_EQ(root(2), 1);
    EXPECT_EQ(root(3), 2);
    EXPECT_EQ(root(25), 5);
    EXPECT_EQ(root(32768), 181);
}

TEST(Root, RoundsToNearestOverTheNormalizedSquare) {
    // Every squared length that occurs on the 128-unit square comes out as the rounded root.
    for (long n = 0; n <= 2 * 128 * 128; ++n)
        ASSERT_EQ(root(n), std::lround(std::floor(std::sqrt(double(n)) + 0.5))) << n;
}

TEST(Root, ObliqueSide) {
    EXPECT_EQ(GetLengthOfObliqueSide(3, 4), 5);
    EXPECT_EQ(GetLengthOfObliqueSide(-3, -4), 5);
    EXPECT_EQ(GetLengthOfObliqueSide(0, 0), 0);
    EXPECT_EQ(GetLengthOfObliqueSide(1, 1), 1);
}

TEST(SquareTable, BuiltOnceAndFreed) {
    ASSERT_EQ(MakeSquareTable(), 0);
    uint32_t* table = _puSquareByte;
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(_puSquareByte[0], 0u);
    EXPECT_EQ(_puSquareByte[11], 121u);
    EXPECT_EQ(_puSquareByte[255], 65025u);
    EXPECT_EQ(MakeSquareTable(), 0);
    EXPECT_EQ(_puSquareByte, table);
    FreeSquareTable();
    EXPECT_EQ(_puSquareByte, nullptr);
}

TEST(LinearNormalize, KeepsAspectAndAlignsTopLeft) {
    auto pts = Strokes({{{100, 200}, {150, 200}, {150, 225}}});
    int sx = 0, sy = 0;
    LinearNormalize(pts.data(), int(pts.size()), &sx, &sy);
    // d = max(51, 26) = 51.
    EXPECT_EQ(pts[0].x, 0);
    EXPECT_EQ(pts[0].y, 0);
    EXPECT_EQ(pts[1].x, 50 * 128 / 51);
    EXPECT_EQ(pts[2].y, 25 * 128 / 51);
    EXPECT_EQ(sx, 50 * 128 / 51 + 1);
    EXPECT_EQ(sy, 25 * 128 / 51 + 1);
}

TEST(LinearNormalize, DropsInternalFlags) {
    std::vector<POINT_W> pts = {{0, 0, PT_PENDOWN | PT_INTERNAL | 0x80}, {10, 10, PT_PENUP | 1}};
    int sx, sy;
    LinearNormalize(pts.data(), 2, &sx, &sy);
    EXPECT_EQ(pts[0].attr, PT_PENDOWN);
    EXPECT_EQ(pts[1].attr, PT_PENUP);
}

TEST(FeaturePoints, StraightStrokeKeepsItsEnds) {
    auto pts = Strokes({Line(0, 0, 120, 60, 30)});
    EXPECT_EQ(GetFp(pts.data(), int(pts.size())), 2);
    EXPECT_EQ(pts[0].x, 0);
    EXPECT_EQ(pts[1].x, 120);
    EXPECT_EQ(pts[1].y, 60);
    EXPECT_EQ(pts[0].attr, PT_PENDOWN);
    EXPECT_EQ(pts[1].attr, PT_PENUP);
}

TEST(FeaturePoints, CornersAtLeastSevenUnitsFromTheChordSurvive) {
    // An L: down then right; the corner is far from the chord.
    auto l = Line(0, 0, 0, 100, 10);
    auto r = Line(0, 100, 100, 100, 10);
    l.insert(l.end(), r.begin() + 1, r.end());
    auto pts = Strokes({l});
    ASSERT_EQ(GetFp(pts.data(), int(pts.size())), 3);
    EXPECT_EQ(pts[1].x, 0);
    EXPECT_EQ(pts[1].y, 100);
    EXPECT_EQ(pts[1].attr, 0);

    // A bump 6 units high is dropped, one 7 units high is kept.
    auto low = Strokes({{{0, 0}, {50, 6}, {100, 0}}});
    EXPECT_EQ(GetFp(low.data(), 3), 2);
    auto high = Strokes({{{0, 0}, {50, 7}, {100, 0}}});
    EXPECT_EQ(GetFp(high.data(), 3), 3);
}

TEST(FeaturePoints, ClosedStrokeUsesDistanceFromStart) {
    // Start and end coincide: the farthest point from the start is the corner.
    auto pts = Strokes({{{0, 0}, {30, 0}, {60, 0}, {30, 5}, {0, 0}}});
    ASSERT_EQ(GetFp(pts.data(), 5), 3);
    EXPECT_EQ(pts[1].x, 60);
}

TEST(FeaturePoints, EveryCornerOfALongZigzagSurvives) {
    std::vector<std::pair<int, int>> s;
    for (int i = 0; i < 1000; ++i) s.emplace_back((i % 2) * 30, i * 30);
    auto pts = Strokes({s});
    EXPECT_EQ(GetFp(pts.data(), int(pts.size())), 1000);
}

TEST(StrokeStatistics, ZigzagCountsRunsOfSevenOrMore) {
    auto zig = Strokes({{{10, 0}, {0, 10}, {10, 20}, {0, 30}}});
    STDATA st;
    StData(zig.data(), 4, &st);
    EXPECT_EQ(st.stnum, 1);
    EXPECT_EQ(st.xturn, 3);
    EXPECT_EQ(st.yturn, 1);
    EXPECT_EQ(st.xlen, 30 >> 3);
    EXPECT_EQ(st.ylen, 30 >> 3);

    auto small = Strokes({{{6, 0}, {0, 10}, {6, 20}, {0, 30}}});
    StData(small.data(), 4, &st);
    EXPECT_EQ(st.xturn, 0);

    // The short middle run is no turn, the long ones around it are.
    auto mixed = Strokes({{{10, 0}, {0, 10}, {6, 20}, {-4, 30}}});
    StData(mixed.data(), 4, &st);
    EXPECT_EQ(st.xturn, 2);
}

TEST(StrokeStatistics, PenUpMovesTurnButDoNotTravel) {
    auto pts = Strokes({{{0, 0}, {20, 0}}, {{0, 10}, {20, 10}}});
    STDATA st;
    StData(pts.data(), 4, &st);
    EXPECT_EQ(st.stnum, 2);
    EXPECT_EQ(st.xturn, 3);
    EXPECT_EQ(st.yturn, 1);
    EXPECT_EQ(st.xlen, 40 >> 3);
    EXPECT_EQ(st.ylen, 0);
}

TEST(StrokeStatistics, TravelIsCappedAt255) {
    std::vector<std::pair<int, int>> s;
    for (int i = 0; i < 40; ++i) s.emplace_back((i % 2) * 127, 0);
    auto pts = Strokes({s});
    STDATA st;
    StData(pts.data(), int(pts.size()), &st);
    EXPECT_EQ(st.xlen, 255);
    EXPECT_EQ(st.xturn, 39);
}

TEST(NonLinear, SpreadsALineOverTheSquare) {
    // A horizontal line across the square: its ends go to 0 and 63, and it sits at the
    // middle of the vertical axis, where all its samples lie.
    std::vector<POINT_W> pts = {{0, 0, PT_PENDOWN}, {127, 0, PT_PENUP}};
    ASSERT_EQ(NonLinearNormalize(pts.data(), 2), 0);
    EXPECT_EQ(pts[0].x, 0);
    EXPECT_EQ(pts[1].x, 63);
    EXPECT_EQ(pts[0].y, 63 * 64 / 127);
    EXPECT_EQ(pts[1].y, 63 * 64 / 127);
    EXPECT_EQ(pts[0].attr, PT_PENDOWN);
}

TEST(NonLinear, DenseRegionsAreWidened) {
    // Three vertical strokes at x = 0, 10 and 100: the gap without ink shrinks, so the two
    // close strokes move apart and the far one comes closer.
    auto pts = Strokes({{{0, 0}, {0, 100}}, {{10, 0}, {10, 100}}, {{100, 0}, {100, 100}}});
    ASSERT_EQ(NonLinearNormalize(pts.data(), int(pts.size())), 0);
    EXPECT_GT(pts[2].x - pts[0].x, 10 * 63 / 100);
    EXPECT_LT(pts[4].x - pts[2].x, 90 * 63 / 100);
}

TEST(Directions, HorizontalSegmentFillsTheExpectedCells) {
    // From (0, 20) to (16, 20) on the 64 square: 16 samples in block (0, 1), quarter row 1.
    // Upper-right weight = 4 x (1 + 2 + 3 + 3) = 36 into cell (0, 0), lower-right weight
    // 4 x (1 + 2 + 2 + 2) = 28 into cell (0, 1); amounts 256 (horizontal) and 121 (both
    // diagonals), vertical 0.
    std::vector<POINT_W> pts = {{0, 20, PT_PENDOWN}, {16, 20, PT_PENUP}};
    DFV d;
    DfData8Direction(pts.data(), 2, &d);
    for (int k = 0; k < 72; ++k) {
        int expected = 0;
        if (k == 0) expected = 36 * 256 / 256;
        if (k == 5 || k == 7) expected = 36 * 121 / 256;
        if (k == 3 * 8 + 0) expected = 28 * 256 / 256;
        if (k == 3 * 8 + 5 || k == 3 * 8 + 7) expected = 28 * 121 / 256;
        EXPECT_EQ(d.v[k], expected) << "index " << k;
    }
}

TEST(Directions, VerticalAndReversedSegmentsUseTheirBins) {
    std::vector<POINT_W> down = {{20, 0, PT_PENDOWN}, {20, 16, PT_PENUP}};
    DFV d;
    DfData8Direction(down.data(), 2, &d);
    // uy = 16: vertical bin 6; horizontal bin 4 (ux = 0), diagonals 7 (0 > -16) and 1.
    EXPECT_GT(d.v[6], 0);
    EXPECT_EQ(d.v[4], 0);
    EXPECT_EQ(d.v[0], 0);
    EXPECT_EQ(d.v[7], d.v[1]);
    EXPECT_GT(d.v[7], 0);

    std::vector<POINT_W> left = {{16, 20, PT_PENDOWN}, {0, 20, PT_PENUP}};
    DfData8Direction(left.data(), 2, &d);
    EXPECT_GT(d.v[4], 0);
    EXPECT_EQ(d.v[0], 0);
    EXPECT_GT(d.v[3], 0);
    EXPECT_GT(d.v[1], 0);
    EXPECT_EQ(d.v[5] + d.v[7], 0);
}

TEST(Directions, BytesSaturateAt255) {
    std::vector<POINT_W> pts;
    for (int i = 0; i < 200; ++i) pts.push_back(POINT_W{int16_t((i % 2) * 15), 0, 0});
    DFV d;
    DfData8Direction(pts.data(), int(pts.size()), &d);
    EXPECT_EQ(d.v[0], 255);
    EXPECT_EQ(d.v[4], 255);
}

TEST(UnionData, SingleDot) {
    UDATA u = Union({{40, 70, PT_PENDOWN | PT_PENUP}});
    EXPECT_EQ(u.stdata.stnum, 1);
    EXPECT_EQ(u.stdata.xlen, 0);
    EXPECT_EQ(u.stdata.ylen, 0);
    EXPECT_EQ(u.stdata.xturn, 0);
    EXPECT_EQ(u.stdata.yturn, 0);
    for (uint8_t b : u.dfv.v) EXPECT_EQ(b, 0);
}

TEST(UnionData, HorizontalStrokeUsesOnlyItsBins) {
    UDATA u = Union(Strokes({Line(10, 50, 300, 50, 29)}));
    EXPECT_EQ(u.stdata.stnum, 1);
    EXPECT_EQ(u.stdata.ylen, 0);
    EXPECT_GT(u.stdata.xlen, 0);
    int total = 0;
    for (int cell = 0; cell < 9; ++cell) {
        const uint8_t* c = u.dfv.v + cell * 8;
        for (int b : {1, 2, 3, 4, 6}) EXPECT_EQ(c[b], 0) << cell << "/" << b;
        EXPECT_EQ(c[5], c[7]);
        EXPECT_GE(c[0], c[7]);
        total += c[0];
    }
    EXPECT_GT(total, 0);
}

TEST(UnionData, DoesNotChangeTheInput) {
    auto pts = Strokes({Line(0, 0, 50, 80, 5), Line(60, 0, 10, 90, 7)});
    auto copy = pts;
    PATTERN_W p{pts.data(), int32_t(pts.size())};
    UDATA u;
    ASSERT_EQ(UnionData(&p, &u), 0);
    for (size_t i = 0; i < pts.size(); ++i) {
        EXPECT_EQ(pts[i].x, copy[i].x);
        EXPECT_EQ(pts[i].y, copy[i].y);
        EXPECT_EQ(pts[i].attr, copy[i].attr);
    }
}

TEST(UnionData, RefusesAnEmptyPattern) {
    PATTERN_W p{nullptr, 0};
    UDATA u;
    EXPECT_EQ(UnionData(&p, &u), 1);
    POINT_W one{1, 1, 6};
    PATTERN_W neg{&one, -3};
    EXPECT_EQ(UnionData(&neg, &u), 1);
}

// A three-stroke character (roughly "工") at a given scale and offset.
std::vector<POINT_W> Kou(int scale, int ox, int oy) {
    auto at = [&](int x, int y) { return std::pair<int, int>{ox + x * scale, oy + y * scale}; };
    return Strokes({{at(2, 2), at(12, 2)}, {at(7, 2), at(7, 14)}, {at(0, 14), at(14, 14)}});
}

TEST(UnionData, MovingGivesTheSameDescription) {
    UDATA a = Union(Kou(5, 0, 0));
    UDATA b = Union(Kou(5, 1234, -777));
    EXPECT_EQ(0, std::memcmp(&a, &b, sizeof a));
}

TEST(UnionData, ScalingChangesOnlyByTruncation) {
    UDATA a = Union(Kou(4, 0, 0));
    for (int scale : {7, 13, 40}) {
        UDATA b = Union(Kou(scale, 30, 30));
        EXPECT_EQ(a.stdata.stnum, b.stdata.stnum);
        EXPECT_EQ(a.stdata.xturn, b.stdata.xturn);
        EXPECT_EQ(a.stdata.yturn, b.stdata.yturn);
        EXPECT_NEAR(a.stdata.xlen, b.stdata.xlen, 2);
        EXPECT_NEAR(a.stdata.ylen, b.stdata.ylen, 2);
        long dist = 0, norm = 0;
        for (int k = 0; k < 72; ++k) {
            dist += (a.dfv.v[k] - b.dfv.v[k]) * (a.dfv.v[k] - b.dfv.v[k]);
            norm += a.dfv.v[k] * a.dfv.v[k];
        }
        EXPECT_LT(dist * 20, norm) << "scale " << scale;
    }
    // A different character is far away by the same measure.
    UDATA c = Union(Strokes({Line(0, 0, 60, 60, 6), Line(60, 0, 0, 60, 6)}));
    long dist = 0, norm = 0;
    for (int k = 0; k < 72; ++k) {
        dist += (a.dfv.v[k] - c.dfv.v[k]) * (a.dfv.v[k] - c.dfv.v[k]);
        norm += a.dfv.v[k] * a.dfv.v[k];
    }
    EXPECT_GT(dist * 20, norm);
}

} // namespace
