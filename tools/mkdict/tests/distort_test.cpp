#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "tools/mkdict/distort.h"

using namespace mkdict;

namespace {

Ink TwoStrokes() {
    return {{{20, 30}, {90, 30}}, {{55, 10}, {55, 60}, {40, 100}}};
}

int Strokes(const std::vector<POINT_W>& p) {
    int n = 0;
    for (auto q : p) n += (q.attr & PT_PENDOWN) != 0;
    return n;
}

} // namespace

TEST(Ink, ResampleKeepsEndsAndSpacing) {
    Polyline line{{0, 0}, {10, 0}, {10, 10}};
    Polyline r = Resample(line, 1.0);
    EXPECT_EQ(r.size(), 21u);
    EXPECT_DOUBLE_EQ(r.back().x, 10);
    EXPECT_DOUBLE_EQ(r.back().y, 10);
    for (size_t i = 1; i < r.size(); ++i)
        EXPECT_NEAR(std::hypot(r[i].x - r[i - 1].x, r[i].y - r[i - 1].y), 1.0, 1e-9);
    EXPECT_EQ(Resample({{3, 3}}, 1.0).size(), 1u);
}

TEST(Ink, ToPointsFlagsStrokeEndsAndDropsRepeats) {
    Ink ink{{{1, 1}, {1.2, 1.1}, {5, 1}}, {{7, 7}}};
    auto p = ToPoints(ink, 1.0);
    ASSERT_EQ(p.size(), 3u); // (1,1) repeated after rounding is dropped
    EXPECT_EQ(p[0].attr, PT_PENDOWN);
    EXPECT_EQ(p[1].attr, PT_PENUP);
    EXPECT_EQ(p[2].attr, PT_PENDOWN | PT_PENUP); // one-point stroke
    EXPECT_EQ(p[1].x, 5);
    auto big = ToPoints({{{1e9, -1e9}}}, 1.0);
    EXPECT_EQ(big[0].x, 32767);
    EXPECT_EQ(big[0].y, -32768);
}

TEST(Distortion, SameSeedSameWritingOtherSeedOtherWriting) {
    Ink model = TwoStrokes();
    auto a = DistortedWriting(model, 42), b = DistortedWriting(model, 42),
         c = DistortedWriting(model, 43);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].x, b[i].x);
        EXPECT_EQ(a[i].y, b[i].y);
        EXPECT_EQ(a[i].attr, b[i].attr);
    }
    bool differs = a.size() != c.size();
    for (size_t i = 0; !differs && i < a.size(); ++i)
        differs = a[i].x != c[i].x || a[i].y != c[i].y;
    EXPECT_TRUE(differs);
}

TEST(Distortion, KeepsStrokesAndStaysNearTheModel) {
    Ink model = TwoStrokes();
    for (uint64_t seed = 1; seed <= 50; ++seed) {
        auto w = DistortedWriting(model, seed);
        ASSERT_EQ(Strokes(w), 2) << seed;
        EXPECT_EQ(w.front().attr & PT_PENDOWN, PT_PENDOWN);
        EXPECT_EQ(w.back().attr & PT_PENUP, PT_PENUP);
        // a box of 60..240 pixels, roughly: nothing flies far off
        for (auto p : w) {
            EXPECT_GT(p.x, -60);
            EXPECT_LT(p.x, 320);
        }
        // the first stroke is still a left-to-right line above the second stroke's end
        int first_end = 0;
        while (!(w[first_end].attr & PT_PENUP)) ++first_end;
        EXPECT_GT(w[first_end].x - w[0].x, 20) << seed;
        EXPECT_LT(w[0].y, w.back().y) << seed;
    }
}

TEST(Distortion, MouseWritingSpacesPointsUnevenly) {
    Ink model{{{10, 50}, {100, 50}}};
    DistortionParams pen, mouse;
    pen.mouse_share = 0;
    mouse.mouse_share = 1;
    auto spread = [&](const DistortionParams& p) {
        double sum = 0;
        for (uint64_t s = 1; s <= 20; ++s) {
            auto w = DistortedWriting(model, s, p);
            std::vector<double> gaps;
            for (size_t i = 1; i < w.size(); ++i)
                gaps.push_back(std::hypot(w[i].x - w[i - 1].x, w[i].y - w[i - 1].y));
            double mean = 0, var = 0;
            for (double g : gaps) mean += g;
            mean /= gaps.size();
            for (double g : gaps) var += (g - mean) * (g - mean);
            sum += std::sqrt(var / gaps.size()) / mean; // coefficient of variation
        }
        return sum / 20;
    };
    EXPECT_GT(spread(mouse), spread(pen) * 1.3);
}

TEST(Distortion, CleanWritingIsTheModelScaled) {
    auto w = CleanWriting({{{0, 0}, {109, 109}}}, 218);
    EXPECT_EQ(w.front().x, 0);
    EXPECT_EQ(w.back().x, 218);
    EXPECT_EQ(w.back().y, 218);
    EXPECT_EQ(Strokes(w), 1);
}

TEST(Random, UniformAndNormalBehave) {
    Random r(7);
    double s = 0, s2 = 0;
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        double u = r.Uniform();
        ASSERT_GE(u, 0);
        ASSERT_LT(u, 1);
        double g = r.Normal();
        s += g, s2 += g * g;
    }
    EXPECT_NEAR(s / n, 0, 0.05);
    EXPECT_NEAR(s2 / n, 1, 0.05);
}

TEST(StrokeCountErrors, SplitAtTheSharpestCorner) {
    // an L: down then right, split at its corner; a straight stroke is left alone
    Ink model{{{10, 10}, {90, 10}}, {{20, 20}, {20, 80}, {80, 80}}};
    Ink split = SplitAtSharpestCorner(model);
    ASSERT_EQ(split.size(), 3u);
    EXPECT_NEAR(split[1].back().x, 20, 1.0);
    EXPECT_NEAR(split[1].back().y, 80, 1.0);
    EXPECT_NEAR(split[2].front().x, split[1].back().x, 1e-9);
    EXPECT_NEAR(split[2].back().x, 80, 1e-9);
    Ink straight{{{10, 10}, {90, 10}}, {{10, 50}, {50, 52}, {90, 50}}};
    EXPECT_EQ(SplitAtSharpestCorner(straight).size(), 2u);
    // a tiny hook at a stroke end is no place to split
    Ink hook{{{10, 10}, {10, 90}, {13, 87}}};
    EXPECT_EQ(SplitAtSharpestCorner(hook).size(), 1u);
}

TEST(StrokeCountErrors, JoinTheClosestStrokes) {
    Ink model{{{10, 10}, {50, 10}}, {{52, 12}, {52, 60}}, {{90, 90}, {100, 100}}};
    Ink joined = JoinClosestStrokes(model);
    ASSERT_EQ(joined.size(), 2u);
    EXPECT_EQ(joined[0].size(), 4u);
    EXPECT_DOUBLE_EQ(joined[0].back().y, 60);
    EXPECT_DOUBLE_EQ(joined[1].front().x, 90);
    Ink apart{{{10, 10}, {20, 10}}, {{90, 90}, {100, 100}}};
    EXPECT_EQ(JoinClosestStrokes(apart).size(), 2u);
    EXPECT_EQ(JoinClosestStrokes({{{1, 1}}}).size(), 1u);
}

TEST(StrokeCountErrors, WritingsWithStrokeErrorsChangeTheStrokeCount) {
    Ink model{{{10, 10}, {90, 10}}, {{20, 20}, {20, 80}, {80, 80}}, {{82, 82}, {95, 95}}};
    DistortionParams p;
    p.split_rate = p.merge_rate = 0.5;
    std::set<int> counts;
    for (uint64_t s = 0; s < 40; ++s) counts.insert(Strokes(DistortedWriting(model, s, p)));
    EXPECT_TRUE(counts.count(2) && counts.count(3) && counts.count(4));
}

namespace {

// 日 as KanjiVG draws it: left side, top-and-right side, middle bar, closing bottom bar
Ink Sun() {
    return {{{31.5, 24.5}, {33.2, 29.2}, {33.2, 82.8}, {33.2, 89.5}},
            {{33.5, 26}, {74.3, 22.8}, {79.3, 27}, {79.1, 83}, {79.1, 89}},
            {{34.2, 55.3}, {78.3, 52.5}},
            {{34.2, 86.5}, {78, 84.3}}};
}

// 十: a horizontal, then a vertical crossing it
Ink Ten() {
    return {{{11.9, 51}, {95.9, 45.5}}, {{52.2, 11.6}, {54.4, 17.9}, {54.2, 99.4}}};
}

bool IsPermutation(std::vector<size_t> order, size_t n) {
    std::sort(order.begin(), order.end());
    for (size_t i = 0; i < order.size(); ++i)
        if (order[i] != i) return false;
    return order.size() == n;
}

bool IsIdentity(const std::vector<size_t>& order) {
    for (size_t i = 0; i < order.size(); ++i)
        if (order[i] != i) return false;
    return true;
}

} // namespace

TEST(OrderErrors, FoundFromTheStrokesGeometry) {
    using V = std::vector<std::vector<size_t>>;
    // a cross written the other way round: the vertical first
    EXPECT_EQ(OrderErrorChoices(Ten(), OrderError::kCrossSwapped), (V{{1, 0}}));
    EXPECT_EQ(OrderErrorChoices(Ten(), OrderError::kVerticalFirst), (V{{1, 0}}));
    EXPECT_TRUE(OrderErrorChoices(Ten(), OrderError::kBoxClosedEarly).empty());
    // 日: the box closed before its middle bar; nothing crosses, no vertical meets an
    // earlier horizontal
    EXPECT_EQ(OrderErrorChoices(Sun(), OrderError::kBoxClosedEarly), (V{{0, 1, 3, 2}}));
    EXPECT_TRUE(OrderErrorChoices(Sun(), OrderError::kCrossSwapped).empty());
    EXPECT_TRUE(OrderErrorChoices(Sun(), OrderError::kVerticalFirst).empty());
    // 口 has nothing inside: its bottom is written before the right side
    Ink mouth = Sun();
    mouth.erase(mouth.begin() + 2);
    EXPECT_EQ(OrderErrorChoices(mouth, OrderError::kBoxClosedEarly), (V{{0, 2, 1}}));
    // 王's vertical meets the top bar (a T joint) and crosses the middle one
    Ink king{{{29.5, 21.2}, {80.3, 17.5}},
             {{52.4, 22}, {54.3, 27.8}, {54.3, 87.5}},
             {{29.3, 55}, {80.4, 51.5}},
             {{13.8, 91}, {95.5, 86.7}}};
    EXPECT_EQ(OrderErrorChoices(king, OrderError::kVerticalFirst), (V{{1, 0, 2, 3}}));
    EXPECT_EQ(OrderErrorChoices(king, OrderError::kCrossSwapped), (V{{0, 2, 1, 3}}));
    // a stroke that only touches another is no cross; short or slanted strokes no bar
    Ink touching{{{10, 50}, {90, 50}}, {{50, 50}, {50, 90}}};
    EXPECT_TRUE(OrderErrorChoices(touching, OrderError::kCrossSwapped).empty());
    Ink slanted{{{10, 10}, {90, 90}}, {{90, 10}, {10, 90}}};
    EXPECT_EQ(OrderErrorChoices(slanted, OrderError::kCrossSwapped).size(), 1u);
    EXPECT_TRUE(OrderErrorChoices(slanted, OrderError::kVerticalFirst).empty());
    EXPECT_TRUE(OrderErrorChoices({}, OrderError::kCrossSwapped).empty());
}

TEST(OrderErrors, AnErrorWritesEveryStrokeOnceInAnotherOrder) {
    Ink many;
    for (int i = 0; i < 7; ++i) many.push_back({{10.0 * i, 5}, {10.0 * i + 4, 90}});
    std::set<std::vector<size_t>> seen;
    for (const Ink& model : {Ten(), Sun(), many}) {
        Random rnd(11);
        for (int t = 0; t < 200; ++t) {
            auto order = MisorderedStrokes(model, rnd);
            ASSERT_TRUE(IsPermutation(order, model.size()));
            EXPECT_FALSE(IsIdentity(order));
            if (model.size() == many.size()) seen.insert(order);
            Ink written = InOrder(model, order);
            for (size_t i = 0; i < order.size(); ++i)
                EXPECT_EQ(written[i].front().x, model[order[i]].front().x);
        }
    }
    EXPECT_GT(seen.size(), 10u); // runs of several lengths from several places
    // one stroke or none: nothing to reorder
    Random rnd(3);
    EXPECT_EQ(MisorderedStrokes({{{1, 1}, {5, 5}}}, rnd), (std::vector<size_t>{0}));
    EXPECT_TRUE(MisorderedStrokes({}, rnd).empty());
}

TEST(OrderErrors, ReversalDrawsStrokesFromTheOtherEnd) {
    Ink ink = Sun(), before = ink;
    Random all(5);
    EXPECT_EQ(ReverseStrokes(ink, 1.0, all), 4);
    for (size_t s = 0; s < ink.size(); ++s) {
        ASSERT_EQ(ink[s].size(), before[s].size());
        for (size_t i = 0; i < ink[s].size(); ++i) {
            EXPECT_EQ(ink[s][i].x, before[s][before[s].size() - 1 - i].x);
            EXPECT_EQ(ink[s][i].y, before[s][before[s].size() - 1 - i].y);
        }
    }
    Random none(5);
    ink = before;
    EXPECT_EQ(ReverseStrokes(ink, 0.0, none), 0);
    EXPECT_EQ(ink[1].front().x, before[1].front().x);
    Ink dot{{{4, 4}}};
    EXPECT_EQ(ReverseStrokes(dot, 1.0, all), 0); // a one-point stroke has no direction
}

TEST(OrderErrors, RatesOfZeroLeaveTheWritingAsItWas) {
    for (uint64_t seed = 1; seed <= 30; ++seed) {
        DistortionParams off;
        WritingErrors made{true, 9};
        auto plain = DistortedWriting(Sun(), seed);
        auto zero = DistortedWriting(Sun(), seed, off, &made);
        ASSERT_EQ(plain.size(), zero.size());
        for (size_t i = 0; i < plain.size(); ++i) {
            EXPECT_EQ(plain[i].x, zero[i].x);
            EXPECT_EQ(plain[i].y, zero[i].y);
            EXPECT_EQ(plain[i].attr, zero[i].attr);
        }
        EXPECT_FALSE(made.misordered);
        EXPECT_EQ(made.reversed, 0);
    }
}

TEST(OrderErrors, SeededAndReportedAsMade) {
    DistortionParams p;
    p.order_error_rate = 0.5;
    p.reverse_rate = 0.3;
    int misordered = 0, reversed = 0, strokes = 0;
    const int n = 400;
    for (uint64_t seed = 0; seed < n; ++seed) {
        WritingErrors a, b;
        auto wa = DistortedWriting(Sun(), seed, p, &a), wb = DistortedWriting(Sun(), seed, p, &b);
        ASSERT_EQ(wa.size(), wb.size());
        for (size_t i = 0; i < wa.size(); ++i) ASSERT_EQ(wa[i].x, wb[i].x);
        EXPECT_EQ(a.misordered, b.misordered);
        EXPECT_EQ(a.reversed, b.reversed);
        misordered += a.misordered, reversed += a.reversed;
        strokes += Strokes(wa);
        EXPECT_EQ(Strokes(wa), 4);
        // a sample that drew no error is the standard writing of its seed
        if (!a.misordered && a.reversed == 0) {
            auto plain = DistortedWriting(Sun(), seed);
            ASSERT_EQ(plain.size(), wa.size());
            for (size_t i = 0; i < wa.size(); ++i)
                ASSERT_TRUE(plain[i].x == wa[i].x && plain[i].y == wa[i].y) << seed;
        }
    }
    EXPECT_NEAR(misordered / double(n), 0.5, 0.08);
    EXPECT_NEAR(reversed / double(strokes), 0.3, 0.05);
}
