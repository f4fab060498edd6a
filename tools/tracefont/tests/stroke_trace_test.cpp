#include "tools/tracefont/stroke_trace.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tools/tracefont/tests/shapes.h"

namespace tracefont {
namespace {

using test::Line;

// Every point of the path is a skeleton pixel and each follows the last as a neighbour.
void ExpectOnSkeletonAndConnected(const Bitmap& skeleton, const Polyline& path) {
    ASSERT_FALSE(path.empty());
    for (size_t i = 0; i < path.size(); ++i) {
        EXPECT_TRUE(skeleton.At(int(path[i].x), int(path[i].y))) << "point " << i;
        if (i) {
            EXPECT_LE(std::abs(path[i].x - path[i - 1].x), 1) << "point " << i;
            EXPECT_LE(std::abs(path[i].y - path[i - 1].y), 1) << "point " << i;
        }
    }
}

double Distance(const PointD& a, double x, double y) {
    return std::hypot(a.x - x, a.y - y);
}

TEST(FitGuides, DrawingBoxCoversTheInkBoxPerAxis) {
    std::vector<Polyline> drawing{{{10, 20}, {60, 20}}, {{35, 5}, {35, 105}}};
    PixelBox box{20, 10, 120, 60};
    auto g = FitGuides(drawing, box);
    ASSERT_EQ(g.size(), 2u);
    EXPECT_DOUBLE_EQ(g[0][0].x, 20); // drawing x 10..60 -> 20..120
    EXPECT_DOUBLE_EQ(g[0][1].x, 120);
    EXPECT_DOUBLE_EQ(g[1][0].y, 10); // drawing y 5..105 -> 10..60
    EXPECT_DOUBLE_EQ(g[1][1].y, 60);
    EXPECT_DOUBLE_EQ(g[1][0].x, 70);
}

TEST(FitGuides, FlatDrawingIsCentredWithTheOtherAxisScale) {
    std::vector<Polyline> drawing{{{10, 50}, {100, 50}}}; // a single horizontal line
    PixelBox box{10, 60, 100, 62};
    auto g = FitGuides(drawing, box);
    ASSERT_EQ(g.size(), 1u);
    EXPECT_DOUBLE_EQ(g[0][0].y, 61);
    EXPECT_DOUBLE_EQ(g[0][0].x, 10);
    EXPECT_DOUBLE_EQ(g[0][1].x, 100);
    EXPECT_TRUE(FitGuides({}, box).empty());
    EXPECT_TRUE(FitGuides(drawing, PixelBox{}).empty());
}

TEST(SkeletonPath, FollowsTheSkeletonNotTheGuide) {
    // the font's line bows upwards by 10 pixels; the guide runs straight below it
    Bitmap s(128, 128);
    Line(s, 20, 70, 64, 60);
    Line(s, 64, 60, 108, 70);
    Polyline guide{{20, 72}, {108, 72}};
    auto path = SkeletonPath(s, guide, TraceParams{});
    ExpectOnSkeletonAndConnected(s, path);
    EXPECT_LT(Distance(path.front(), 20, 70), 2);
    EXPECT_LT(Distance(path.back(), 108, 70), 2);
    double top = 128;
    for (const auto& p : path) top = std::min(top, p.y);
    EXPECT_LE(top, 61);
}

TEST(SkeletonPath, TakesTheBranchThatResemblesTheStroke) {
    // two routes from (20, 64) to (108, 64): straight, and a detour 12 pixels up
    Bitmap s(128, 128);
    Line(s, 20, 64, 108, 64);
    Line(s, 20, 64, 30, 52);
    Line(s, 30, 52, 98, 52);
    Line(s, 98, 52, 108, 64);
    auto up = SkeletonPath(s, Polyline{{20, 64}, {30, 52}, {98, 52}, {108, 64}}, TraceParams{});
    ExpectOnSkeletonAndConnected(s, up);
    bool via_top = false;
    for (const auto& p : up) via_top = via_top || (p.x == 64 && p.y == 52);
    EXPECT_TRUE(via_top);
    auto straight = SkeletonPath(s, Polyline{{20, 64}, {108, 64}}, TraceParams{});
    ExpectOnSkeletonAndConnected(s, straight);
    for (const auto& p : straight) EXPECT_GT(p.y, 60);
}

TEST(SkeletonPath, RunsInTheGuidesDirection) {
    Bitmap s(64, 64);
    Line(s, 10, 10, 10, 50);
    auto down = SkeletonPath(s, Polyline{{10, 8}, {10, 52}}, TraceParams{});
    auto up = SkeletonPath(s, Polyline{{10, 52}, {10, 8}}, TraceParams{});
    ASSERT_FALSE(down.empty());
    ASSERT_FALSE(up.empty());
    EXPECT_EQ(down.front().y, 10);
    EXPECT_EQ(down.back().y, 50);
    EXPECT_EQ(up.front().y, 50);
    EXPECT_EQ(up.back().y, 10);
    EXPECT_EQ(down.size(), 41u);
}

TEST(SkeletonPath, DotFindsOnePixel) {
    Bitmap s(64, 64);
    s.Set(30, 30, true);
    auto path = SkeletonPath(s, Polyline{{32, 31}}, TraceParams{});
    ASSERT_EQ(path.size(), 1u);
    EXPECT_EQ(path[0].x, 30);
}

TEST(TraceStrokes, GapFallsBackToSnappingThenTraces) {
    Bitmap s(128, 128);
    Line(s, 20, 64, 60, 64);
    Line(s, 67, 64, 108, 64); // a 6-pixel break in the font's line
    Polyline guide{{20, 64}, {108, 64}};
    TraceParams params;
    EXPECT_TRUE(SkeletonPath(s, guide, params).empty());
    auto snapped = SnapToSkeleton(s, guide, params);
    ASSERT_FALSE(snapped.empty());
    for (const auto& p : snapped) EXPECT_TRUE(s.At(int(p.x), int(p.y)));
    EXPECT_EQ(snapped.front().x, 20);
    EXPECT_EQ(snapped.back().x, 108);

    auto r = TraceStrokes(s, {guide}, params);
    EXPECT_EQ(r.status, TraceStatus::Snapped);
    EXPECT_EQ(r.snapped_strokes, 1);
    ASSERT_EQ(r.strokes.size(), 1u);
}

TEST(TraceStrokes, StrokeFarFromTheSkeletonIsUntraceable) {
    Bitmap s(128, 128);
    Line(s, 20, 30, 108, 30);
    Polyline present{{20, 30}, {108, 30}}, absent{{20, 90}, {108, 90}};
    TraceParams params;
    EXPECT_TRUE(SnapToSkeleton(s, absent, params).empty());
    auto r = TraceStrokes(s, {present, absent}, params);
    EXPECT_EQ(r.status, TraceStatus::Untraceable);
    EXPECT_TRUE(r.strokes.empty());
    auto ok = TraceStrokes(s, {present}, params);
    EXPECT_EQ(ok.status, TraceStatus::Traced);
    EXPECT_EQ(TraceStrokes(s, {}, params).status, TraceStatus::Untraceable);
}

TEST(TraceStrokes, ClosedStrokeGoesRoundTheRing) {
    // a circle of radius 30 written from the top, clockwise, back to the top
    Bitmap s(128, 128);
    Polyline guide;
    for (int i = 0; i <= 72; ++i) {
        double a = i * 2 * M_PI / 72;
        guide.push_back({64 + 30 * std::sin(a), 64 - 30 * std::cos(a)});
    }
    for (size_t i = 1; i < guide.size(); ++i)
        Line(s, int(std::lround(guide[i - 1].x)), int(std::lround(guide[i - 1].y)),
             int(std::lround(guide[i].x)), int(std::lround(guide[i].y)));
    // the cheapest path alone has nowhere to go: its ends are the same pixel
    EXPECT_LE(SkeletonPath(s, guide, TraceParams{}).size(), 2u);
    auto r = TraceStrokes(s, {guide}, TraceParams{});
    ASSERT_EQ(r.status, TraceStatus::Traced);
    const auto& path = r.strokes[0];
    ExpectOnSkeletonAndConnected(s, path);
    EXPECT_GT(path.size(), 150u); // most of the 2 pi 30 = 188 pixel circumference
    // clockwise from the top: a quarter of the way it is on the right side
    EXPECT_GT(path[path.size() / 4].x, 85);
    EXPECT_LT(path[3 * path.size() / 4].x, 43);
}

TEST(SplitAtHalfLength, CutsAtTheMiddleOfTheLength) {
    auto [a, b] = SplitAtHalfLength(Polyline{{0, 0}, {10, 0}, {10, 30}});
    ASSERT_EQ(a.size(), 3u);
    EXPECT_DOUBLE_EQ(a.back().x, 10);
    EXPECT_DOUBLE_EQ(a.back().y, 10);
    ASSERT_EQ(b.size(), 2u);
    EXPECT_DOUBLE_EQ(b.front().y, 10);
    EXPECT_DOUBLE_EQ(b.back().y, 30);
}

TEST(TraceParams, ScaleWithTheGlyphSize) {
    auto p = TraceParams::ForSize(256);
    EXPECT_DOUBLE_EQ(p.radius, 2 * TraceParams{}.radius);
    EXPECT_DOUBLE_EQ(p.sigma, 2 * TraceParams{}.sigma);
    EXPECT_DOUBLE_EQ(p.end_weight, TraceParams{}.end_weight);
}

} // namespace
} // namespace tracefont
