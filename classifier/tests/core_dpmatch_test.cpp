// DP matching: the grid fill, its limits, row resumption and the trace-back.
#include "classifier/tests/core_testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace core_test;

namespace {

class DpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(initcrlib(), 0);
        getdpmparam(&saved);
    }
    void TearDown() override {
        setdpmparam(&saved);
        closecrlib();
    }
    DPM_PARAM saved;
};

struct Grid {
    std::vector<MDTBL> cells;
    int in;
    Grid(int d, int i) : cells(size_t(d) * i), in(i) {}
    MDTBL& at(int d, int i) { return cells[size_t(d) * in + i]; }
};

// Points along a horizontal line, step apart, starting at (x0, y0).
PATTERN_B Line(int n, int x0, int y0, int step) {
    PATTERN_B p{};
    NewPatternPoints(&p, n);
    for (int k = 0; k < n; ++k) {
        p.data[k].x = uint8_t(x0 + k * step);
        p.data[k].y = uint8_t(y0);
        p.data[k].attr = k == 0 ? 2 : (k == n - 1 ? 4 : 0);
    }
    SetPatternLength(&p);
    return p;
}

} // namespace

TEST_F(DpTest, Defaults) {
    EXPECT_EQ(saved.min_score, 350);
    EXPECT_EQ(saved.rej_start, 7);
    EXPECT_EQ(saved.maxoverlen, 179);
}

TEST_F(DpTest, IdenticalPatternsTakeTheDiagonal) {
    PATTERN_B p = Prepared(Kou());
    Grid g(p.num, p.num);
    EXPECT_EQ(mkmdtbl(g.cells.data(), &p, 0, &p), 1024);
    std::vector<NODE_PAIR> pairs(2 * p.num);
    NP_TABLE npt{0, pairs.data()};
    mdttonpt(&npt, g.cells.data(), p.num, p.num);
    ASSERT_EQ(npt.num, p.num);
    for (int k = 0; k < p.num; ++k) {
        EXPECT_EQ(pairs[k].dic, k);
        EXPECT_EQ(pairs[k].in, k);
        EXPECT_EQ(pairs[k].attr, 0);
    }
    // The pair table scores like one from the walk.
    EXPECT_GE(hyouka(&npt, &p, &p), 1000);
    releasepat(&p);
}

TEST_F(DpTest, ThresholdCutsFromRejStartOn) {
    // Every pairing scores 1024 * (256 - 181) / 256 = 300, below the minimum of 350: all
    // dictionary points sit at one place, all input points 181 units away.
    PATTERN_B dic = Line(10, 0, 0, 0);
    PATTERN_B in = Line(10, 90, 91, 0);
    ASSERT_EQ(mdcal(dic.data, in.data, 3, 3), 300);
    Grid g(10, 10);
    EXPECT_EQ(mkmdtbl(g.cells.data(), &dic, 0, &in), 0);
    EXPECT_NE(g.at(6, 6).dir, MDT_NONE); // below index 7 the path survives
    EXPECT_EQ(g.at(6, 6).score, 6 * 300);
    EXPECT_EQ(g.at(6, 6).np_num, 6);
    EXPECT_EQ(g.at(7, 7).dir, MDT_NONE); // from index 7 on it is cut
    EXPECT_EQ(g.at(9, 9).dir, MDT_NONE);
    std::vector<NODE_PAIR> pairs(20);
    NP_TABLE npt{5, pairs.data()};
    mdttonpt(&npt, g.cells.data(), 10, 10);
    EXPECT_EQ(npt.num, 0);

    DPM_PARAM p = saved;
    p.rej_start = 8;
    setdpmparam(&p);
    Grid g2(10, 10);
    mkmdtbl(g2.cells.data(), &dic, 0, &in);
    EXPECT_NE(g2.at(7, 7).dir, MDT_NONE);
    EXPECT_EQ(g2.at(8, 8).dir, MDT_NONE);

    // With a lower minimum the whole path stands and its mean is the result.
    p = saved;
    p.min_score = 300;
    setdpmparam(&p);
    Grid g3(10, 10);
    EXPECT_EQ(mkmdtbl(g3.cells.data(), &dic, 0, &in), 300);
    std::free(dic.data);
    std::free(in.data);
}

TEST_F(DpTest, StrokeLimitAndLengthImbalance) {
    // One dictionary stroke against an input whose third stroke begins at point 4.
    PATTERN_B dic = Line(2, 0, 0, 20);
    PATTERN_B in{};
    FillPattern(&in, {{{0, 0}, {10, 0}}, {{20, 0}, {30, 0}}, {{40, 0}, {50, 0}}});
    Grid g(2, 6);
    mkmdtbl(g.cells.data(), &dic, 0, &in);
    EXPECT_NE(g.at(0, 3).dir, MDT_NONE);
    EXPECT_EQ(g.at(0, 4).dir, MDT_NONE);
    EXPECT_EQ(g.at(0, 5).dir, MDT_NONE);
    EXPECT_EQ(g.at(0, 3).overlen, 30);
    EXPECT_EQ(g.at(0, 2).dic_stroke, 1);

    // Row 0 stops once the input run reaches maxoverlen.
    PATTERN_B longin = Line(6, 0, 0, 50);
    Grid g2(2, 6);
    mkmdtbl(g2.cells.data(), &dic, 0, &longin);
    EXPECT_NE(g2.at(0, 3).dir, MDT_NONE); // 150
    EXPECT_EQ(g2.at(0, 4).dir, MDT_NONE); // 200 >= 179
    std::free(dic.data);
    std::free(in.data);
    std::free(longin.data);
}

TEST_F(DpTest, OnePointDictionaryFillsRowZeroByPosition) {
    PATTERN_B dic = Line(1, 10, 10, 0);
    PATTERN_B in = Line(3, 10, 10, 20);
    Grid g(1, 3);
    const int r = mkmdtbl(g.cells.data(), &dic, 0, &in);
    const int m1 = mdcalus(dic.data, in.data, 0, 1);
    const int m2 = mdcalus(dic.data, in.data, 0, 2);
    EXPECT_EQ(g.at(0, 1).score, m1);
    EXPECT_EQ(g.at(0, 2).score, m1 + m2);
    EXPECT_EQ(g.at(0, 2).dir, MDT_IN);
    EXPECT_EQ(r, (m1 + m2) / 2);
    PATTERN_B empty{};
    EXPECT_EQ(mkmdtbl(g.cells.data(), &empty, 0, &in), 0);
    EXPECT_EQ(g.at(0, 2).score, m1 + m2); // untouched
    std::free(dic.data);
    std::free(in.data);
}

TEST_F(DpTest, ResumedRowsEqualAFullFill) {
    PATTERN_B a = Prepared(Kou());
    PATTERN_B b = Prepared({{{22, 25}, {104, 18}}, {{60, 22}, {66, 104}}, {{12, 100}, {116, 110}}});
    PATTERN_B other = Prepared({{{0, 0}, {128, 128}}, {{128, 0}, {0, 128}}, {{0, 64}, {128, 64}}});
    ASSERT_EQ(other.num, a.num);
    Grid full(a.num, b.num);
    const int r = mkmdtbl(full.cells.data(), &a, 0, &b);
    EXPECT_GT(r, 0);
    // Fill with a different dictionary pattern, then put a's first 3 rows in place and
    // resume from row 3: the result must be the same as the full fill.
    PATTERN_B head = a;
    head.num = 3;
    Grid prefix(a.num, b.num);
    mkmdtbl(prefix.cells.data(), &other, 0, &b);
    mkmdtbl(prefix.cells.data(), &head, 0, &b);
    EXPECT_EQ(mkmdtbl(prefix.cells.data(), &a, 3, &b), r);
    for (int d = 0; d < a.num; ++d) {
        for (int i = 0; i < b.num; ++i) {
            const MDTBL& x = full.at(d, i);
            const MDTBL& y = prefix.at(d, i);
            ASSERT_EQ(x.dir, y.dir) << d << "," << i;
            if (x.dir != MDT_NONE) {
                EXPECT_EQ(x.score, y.score);
                EXPECT_EQ(x.np_num, y.np_num);
                EXPECT_EQ(x.overlen, y.overlen);
            }
        }
    }
    releasepat(&a);
    releasepat(&b);
    releasepat(&other);
}

namespace {

// The grid fill written out cell by cell over the whole grid, as plainly as the rules
// read, to hold the optimized fill to.
struct RefCell {
    int score = 0, dir = MDT_NONE, np = 0, over = 0, strokes = 0;
};

std::vector<RefCell> ReferenceFill(const PATTERN_B& dic, const PATTERN_B& in, int* result) {
    DPM_PARAM prm;
    getdpmparam(&prm);
    const int D = dic.num, I = in.num;
    std::vector<RefCell> g(size_t(D) * I);
    auto at = [&](int d, int i) -> RefCell& { return g[size_t(d) * I + i]; };
    auto md = [&](int d, int i, bool single) {
        return single ? mdcalus(dic.data, in.data, d, i) : mdcal(dic.data, in.data, d, i);
    };
    at(0, 0) = {0, MDT_IN, 0, 0, 1};
    int L = 0, count = 1;
    for (int i = 1; i < I; ++i) {
        L += in.data[i].l;
        if (L >= prm.maxoverlen) break;
        if ((in.data[i].attr & 2) && ++count > 2) break;
        at(0, i) = {at(0, i - 1).score + md(0, i, D < 2), MDT_IN, i, L, 1};
    }
    int strokes = 1;
    for (int d = 1; d < D; ++d) {
        bool any = false;
        for (int i = 0; i < I; ++i) any = any || at(d - 1, i).dir != MDT_NONE;
        if (!any) break;
        if (dic.data[d].attr & 2) ++strokes;
        const int ld = dic.data[d].l;
        const RefCell& up0 = at(d - 1, 0);
        if (up0.dir != MDT_NONE && up0.over + ld < prm.maxoverlen) {
            RefCell c{up0.score + md(d, 0, I < 2), MDT_DIC, up0.np + 1, up0.over + ld, strokes};
            if (!(d >= prm.rej_start && c.score / c.np < prm.min_score)) at(d, 0) = c;
        }
        int instrokes = 1;
        for (int i = 1; i < I; ++i) {
            if (in.data[i].attr & 2) ++instrokes;
            if (instrokes > strokes + 1) break;
            const int m = md(d, i, false), li = in.data[i].l;
            bool have = false, reach = false;
            RefCell best;
            int bestMean = 0;
            auto offer = [&](const RefCell& src, int dir, int imb, bool ties) {
                const int mean = (src.score + m) / (src.np + 1);
                if (have && reach && !(ties ? mean >= bestMean : mean > bestMean)) return;
                have = true;
                reach = !(d >= prm.rej_start && mean < prm.min_score);
                bestMean = mean;
                best = {src.score + m, dir, src.np + 1, imb, strokes};
            };
            const RefCell& a = at(d - 1, i);
            if (a.dir != MDT_NONE) {
                const int imb = ld + (a.dir == MDT_DIC    ? a.over
                                      : a.dir == MDT_BOTH ? -a.over
                                      : a.over < 1        ? 0
                                                          : -a.over);
                if (imb < prm.maxoverlen) offer(a, MDT_DIC, imb, false);
            }
            const RefCell& b = at(d - 1, i - 1);
            if (b.dir != MDT_NONE) offer(b, MDT_BOTH, li - ld, true);
            const RefCell& c = at(d, i - 1);
            if (c.dir != MDT_NONE) {
                const int imb = li + (c.dir != MDT_DIC ? c.over : c.over < 1 ? 0 : -c.over);
                if (imb < prm.maxoverlen) offer(c, MDT_IN, imb, false);
            }
            if (have && reach) at(d, i) = best;
        }
    }
    const RefCell& last = at(D - 1, I - 1);
    int mean = 0;
    if (last.dir != MDT_NONE)
        mean = last.np > 0 ? last.score / last.np : mdcalus(dic.data, in.data, 0, 0);
    *result = mean < prm.min_score ? 0 : mean;
    return g;
}

// A prepared pattern of a few random strokes, some of them crossing the whole square.
PATTERN_B RandomPrepared(uint32_t& seed) {
    auto next = [&seed](int n) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % uint32_t(n));
    };
    Shape s(size_t(1 + next(6)));
    for (Stroke& st : s) {
        const int pts = 2 + next(6);
        int x = next(128), y = next(128);
        for (int k = 0; k < pts; ++k) {
            st.push_back({x, y});
            x = std::clamp(x + next(61) - 30, 0, 127);
            y = std::clamp(y + next(61) - 30, 0, 127);
        }
    }
    return Prepared(s);
}

} // namespace

TEST_F(DpTest, FillAgreesWithTheRulesCellByCell) {
    // Random pairs under the default limits and under looser and tighter ones, so that the
    // threshold, the imbalance limit and the stroke limit all cut somewhere.
    const DPM_PARAM params[] = {{350, 7, 179}, {0, 0, 30000}, {500, 2, 60}, {200, 4, 400}};
    uint32_t seed = 12345;
    int compared = 0, matched = 0;
    for (const DPM_PARAM& p : params) {
        setdpmparam(&p);
        for (int n = 0; n < 300; ++n) {
            PATTERN_B dic = RandomPrepared(seed);
            PATTERN_B in = n % 7 == 0 ? Prepared(Bar()) : RandomPrepared(seed);
            int expected = 0;
            const std::vector<RefCell> ref = ReferenceFill(dic, in, &expected);
            Grid g(dic.num, in.num);
            for (MDTBL& c : g.cells) c.dir = MDT_BOTH; // stale content must not leak through
            ASSERT_EQ(mkmdtbl(g.cells.data(), &dic, 0, &in), expected) << n;
            matched += expected > 0;
            for (int d = 0; d < dic.num; ++d) {
                for (int i = 0; i < in.num; ++i) {
                    const RefCell& r = ref[size_t(d) * in.num + i];
                    const MDTBL& c = g.at(d, i);
                    ASSERT_EQ(c.dir, r.dir) << n << ": " << d << "," << i;
                    if (r.dir == MDT_NONE) continue;
                    ASSERT_EQ(c.score, r.score) << n << ": " << d << "," << i;
                    ASSERT_EQ(c.np_num, r.np) << n << ": " << d << "," << i;
                    ASSERT_EQ(c.overlen, r.over) << n << ": " << d << "," << i;
                    ASSERT_EQ(c.dic_stroke, r.strokes) << n << ": " << d << "," << i;
                }
            }
            ++compared;
            releasepat(&dic);
            releasepat(&in);
        }
    }
    EXPECT_EQ(compared, 1200);
    EXPECT_GT(matched, 100); // enough complete paths to exercise the trace of real fills
}
