#include <gtest/gtest.h>

#include <cmath>

#include "tools/mkdict/svg_path.h"

using mkdict::FlattenPathData;
using mkdict::PointD;
using mkdict::Polyline;

namespace {

std::vector<Polyline> Flatten(const std::string& d) {
    std::vector<Polyline> out;
    std::string err;
    EXPECT_TRUE(FlattenPathData(d, out, err)) << d << ": " << err;
    return out;
}

void ExpectNear(PointD p, double x, double y) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
}

// The largest distance of any flattened point from a reference curve sampled densely.
template <class F> double MaxDeviation(const Polyline& line, F curve) {
    double worst = 0;
    for (auto p : line) {
        double best = 1e9;
        for (int i = 0; i <= 20000; ++i) {
            PointD q = curve(i / 20000.0);
            best = std::min(best, std::hypot(p.x - q.x, p.y - q.y));
        }
        worst = std::max(worst, best);
    }
    return worst;
}

} // namespace

TEST(SvgPath, LinesAbsoluteAndRelative) {
    auto out = Flatten("M10,20 L30,20 l0,10 H5 h5 V0 v3");
    ASSERT_EQ(out.size(), 1u);
    const auto& l = out[0];
    ASSERT_EQ(l.size(), 7u);
    ExpectNear(l[0], 10, 20);
    ExpectNear(l[1], 30, 20);
    ExpectNear(l[2], 30, 30);
    ExpectNear(l[3], 5, 30);
    ExpectNear(l[4], 10, 30);
    ExpectNear(l[5], 10, 0);
    ExpectNear(l[6], 10, 3);
}

TEST(SvgPath, ImplicitRepeatsAndCompactNumbers) {
    // after a moveto further pairs are linetos; "1.5.5" is 1.5 then .5; "-1-2" two numbers
    auto out = Flatten("m1,1 2,0 0,2L1.5.5-1-2 1e1,2E0");
    ASSERT_EQ(out.size(), 1u);
    const auto& l = out[0];
    ASSERT_EQ(l.size(), 6u);
    ExpectNear(l[1], 3, 1);
    ExpectNear(l[2], 3, 3);
    ExpectNear(l[3], 1.5, 0.5);
    ExpectNear(l[4], -1, -2);
    ExpectNear(l[5], 10, 2);
}

TEST(SvgPath, CubicFollowsTheCurveAndEndsOnItsEndPoint) {
    auto out = Flatten("M0,0 C0,30 30,30 30,0");
    ASSERT_EQ(out.size(), 1u);
    const auto& l = out[0];
    EXPECT_GT(l.size(), 5u);
    ExpectNear(l.back(), 30, 0);
    auto bez = [](double t) {
        double u = 1 - t;
        return PointD{3 * u * t * t * 30 + t * t * t * 30, 3 * u * u * t * 30 + 3 * u * t * t * 30};
    };
    EXPECT_LT(MaxDeviation(l, bez), 2e-3); // points lie on the curve
    // and the chords stay close to it: the midpoint of every chord is near the curve
    Polyline mids;
    for (size_t i = 1; i < l.size(); ++i)
        mids.push_back({(l[i].x + l[i - 1].x) / 2, (l[i].y + l[i - 1].y) / 2});
    EXPECT_LT(MaxDeviation(mids, bez), mkdict::kFlattenTolerance + 2e-3);
}

TEST(SvgPath, RelativeCubicEqualsAbsolute) {
    auto a = Flatten("M10,10 C10,40 40,40 40,10");
    auto r = Flatten("M10,10 c0,30 30,30 30,0");
    ASSERT_EQ(a[0].size(), r[0].size());
    for (size_t i = 0; i < a[0].size(); ++i) ExpectNear(r[0][i], a[0][i].x, a[0][i].y);
}

TEST(SvgPath, SmoothCubicReflectsThePreviousControlPoint) {
    // S after C mirrors the second control point (20,10) about (30,0) to (40,-10)
    auto s = Flatten("M0,0 C10,10 20,10 30,0 S50,-10 60,0");
    auto c = Flatten("M0,0 C10,10 20,10 30,0 C40,-10 50,-10 60,0");
    ASSERT_EQ(s[0].size(), c[0].size());
    for (size_t i = 0; i < s[0].size(); ++i) ExpectNear(s[0][i], c[0][i].x, c[0][i].y);
    // S without a preceding curve takes the current point as first control point
    auto s0 = Flatten("M0,0 s10,10 20,0");
    auto c0 = Flatten("M0,0 C0,0 10,10 20,0");
    ASSERT_EQ(s0[0].size(), c0[0].size());
    for (size_t i = 0; i < s0[0].size(); ++i) ExpectNear(s0[0][i], c0[0][i].x, c0[0][i].y);
}

TEST(SvgPath, QuadraticAndSmoothQuadratic) {
    auto q = Flatten("M0,0 Q10,20 20,0 T40,0");
    auto ref = Flatten("M0,0 Q10,20 20,0 Q30,-20 40,0");
    ASSERT_EQ(q[0].size(), ref[0].size());
    for (size_t i = 0; i < q[0].size(); ++i) ExpectNear(q[0][i], ref[0][i].x, ref[0][i].y);
    auto rel = Flatten("M0,0 q10,20 20,0 t20,0");
    ASSERT_EQ(rel[0].size(), ref[0].size());
    ExpectNear(rel[0].back(), 40, 0);
    // the apex of the first arc lies at (10, 10)
    double top = 0;
    for (auto p : q[0])
        if (p.x <= 20) top = std::max(top, p.y);
    EXPECT_NEAR(top, 10, mkdict::kFlattenTolerance);
}

TEST(SvgPath, MovesStartNewPolylinesAndClosePathReturns) {
    auto out = Flatten("M0,0 L10,0 L10,10 Z M20,20 l5,0");
    ASSERT_EQ(out.size(), 2u);
    ExpectNear(out[0].back(), 0, 0);
    EXPECT_EQ(out[0].size(), 4u);
    ExpectNear(out[1][0], 20, 20);
    ExpectNear(out[1][1], 25, 20);
    // relative moveto after a closepath is taken from the subpath start
    auto z = Flatten("M5,5 l10,0 z m1,1 l1,0");
    ASSERT_EQ(z.size(), 2u);
    ExpectNear(z[1][0], 6, 6);
}

TEST(SvgPath, MalformedDataIsRefusedWithAMessage) {
    for (const char* bad :
         {"", "   ", "L10,10", "10,10", "M10", "M10,10 L5", "M0,0 C1,2 3,4", "M0,0 X5,5",
          "M0,0 A5,5 0 0 1 10,10", "M0,0 L1,1 Z 5,5", "M0,0 Lx,1", "M0,0 L1e999,0"}) {
        std::vector<Polyline> out;
        std::string err;
        EXPECT_FALSE(FlattenPathData(bad, out, err)) << bad;
        EXPECT_FALSE(err.empty()) << bad;
        EXPECT_TRUE(out.empty()) << bad;
    }
}
