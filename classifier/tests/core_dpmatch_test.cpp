// DP matching: the grid fill, its limits, row resumption and the trace-back.
#include "classifier/tests/core_testutil.h"

#include <gtest/gtest.h>

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
