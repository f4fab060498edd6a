// The stroke matcher: tables, pattern preparation, the correspondence walk and evaluation.
#include "classifier/tests/core_testutil.h"

#include <gtest/gtest.h>

#include <vector>

using namespace core_test;

namespace {

class MatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(initcrlib(), 0);
        getcrinfo(&saved);
    }
    void TearDown() override {
        setcrinfo(&saved);
        settekitoflag(0);
        closecrlib();
    }
    CR_INFO saved;
};

PATTERN_B Hand(std::vector<POINT_B> pts) {
    PATTERN_B p{};
    NewPatternPoints(&p, int(pts.size()));
    for (size_t i = 0; i < pts.size(); ++i) p.data[i] = pts[i];
    SetPatternLength(&p);
    return p;
}

struct Pairs {
    std::vector<NODE_PAIR> buf = std::vector<NODE_PAIR>(1024);
    NP_TABLE t{0, buf.data()};
};

} // namespace

TEST_F(MatchTest, DirectionCodes) {
    EXPECT_EQ(getdirection(0, 0), 256);
    EXPECT_EQ(getdirection(5, 0), 0);
    EXPECT_EQ(getdirection(0, 5), 256);
    EXPECT_EQ(getdirection(-5, 0), 512);
    EXPECT_EQ(getdirection(0, -5), 768);
    EXPECT_EQ(getdirection(7, 7), 128);
    EXPECT_EQ(getdirection(-7, 7), 384);
    EXPECT_EQ(getdirection(-7, -7), 640);
    EXPECT_EQ(getdirection(7, -7), 896);
    EXPECT_EQ(getdirection(127, 1), 1); // atan(1/127) * 512 / pi = 1.28
    // Components of 128 or more are looked up as 127.
    EXPECT_EQ(getdirection(200, 100), getdirection(127, 100));
    EXPECT_EQ(getdirection(-128, -300), getdirection(-127, -127));
    // Without the table the values are the same.
    closecrlib();
    EXPECT_EQ(getdirection(127, 1), 1);
    EXPECT_EQ(getdirection(-7, -7), 640);
    EXPECT_EQ(getcosine(512), -1023);
}

TEST_F(MatchTest, CosineTable) {
    EXPECT_EQ(getcosine(0), 1024);
    EXPECT_EQ(getcosine(512), -1023);
    EXPECT_EQ(getcosine(256), 0);
    EXPECT_EQ(getcosine(128), 724); // 724.08
    EXPECT_EQ(getcosine(-128), 724);
}

TEST_F(MatchTest, MatchingDegree) {
    PATTERN_B a = Hand({{10, 10, 0, 6, 0, 0}, {40, 10, 0, 6, 0, 0}});
    PATTERN_B b = Hand({{12, 13, 0, 6, 0, 0}, {10, 40, 0, 6, 0, 0}});
    EXPECT_EQ(mdcal(a.data, a.data, 1, 1), 1024);
    EXPECT_EQ(mdcalus(a.data, b.data, 0, 0), (256 - 3 - 2) * 4);
    // Directions 0 and about 265 (cosine slightly below 0): negative side uses the distance.
    const int c = getcosine(a.data[1].dir - b.data[1].dir);
    ASSERT_LT(c, 0);
    EXPECT_EQ(mdcal(a.data, b.data, 1, 1), (c * (30 + 30)) >> 8);
    const int c0 = getcosine(a.data[0].dir - b.data[0].dir);
    EXPECT_EQ(mdcal(a.data, b.data, 0, 0), c0 >= 0 ? (c0 * 251) >> 8 : (c0 * 5) >> 8);
    std::free(a.data);
    std::free(b.data);
}

TEST_F(MatchTest, ScalingKeepsAspectAndMapsAPointToTheOrigin) {
    std::vector<POINT_W> in = {{50, 30, 2}, {250, 130, 12}}; // 8 must be dropped
    std::vector<POINT_W> out(2);
    PATTERN_W pi{in.data(), 2}, po{out.data(), 0};
    PAT_POS pos;
    normalize(&pos, &pi, &po);
    EXPECT_EQ(pos.minx, 50);
    EXPECT_EQ(pos.maxy, 130);
    EXPECT_EQ(out[1].x, 128);
    EXPECT_EQ(out[1].y, 64);
    EXPECT_EQ(out[0].x, 0);
    EXPECT_EQ(out[1].attr, 4);

    std::vector<POINT_W> dot = {{77, 77, 6}};
    PATTERN_W pd{dot.data(), 1};
    normalize(&pos, &pd, &pd);
    EXPECT_EQ(dot[0].x, 0);
    EXPECT_EQ(dot[0].y, 0);
}

TEST_F(MatchTest, PreparationKeepsStrokeEndsAndCorners) {
    // An L drawn with many samples: ends plus the corner survive.
    Shape ell = {{}};
    for (int y = 0; y <= 100; y += 5) ell[0].push_back({0, y});
    for (int x = 5; x <= 100; x += 5) ell[0].push_back({x, 100});
    PATTERN_B p = Prepared(ell);
    ASSERT_EQ(p.num, 3);
    EXPECT_EQ(p.data[0].x, 0);
    EXPECT_EQ(p.data[0].y, 0);
    EXPECT_EQ(p.data[1].x, 0);
    EXPECT_EQ(p.data[1].y, 128);
    EXPECT_EQ(p.data[2].x, 128);
    EXPECT_EQ(p.data[2].attr, 4);
    EXPECT_EQ(p.data[0].attr, 2);
    EXPECT_EQ(p.stroke, 1);
    EXPECT_EQ(p.len, 256);
    EXPECT_EQ(p.data[1].dir, 256);
    EXPECT_EQ(p.data[2].dir, 0);
    EXPECT_EQ(p.data[0].l, 1); // at the origin: at least 1
    releasepat(&p);

    // A slight wobble closer than minarc to the chord is not a corner.
    Shape wobble = {{{0, 0}, {50, 4}, {100, 0}}};
    p = Prepared(wobble);
    EXPECT_EQ(p.num, 2);
    releasepat(&p);
    Shape bent = {{{0, 0}, {50, 20}, {100, 0}}};
    p = Prepared(bent);
    EXPECT_EQ(p.num, 3);
    releasepat(&p);

    // A hook: the pen turns back along the chord, far from both ends.
    Shape hook = {{{0, 0}, {100, 0}, {60, 0}}};
    p = Prepared(hook);
    EXPECT_EQ(p.num, 3);
    releasepat(&p);
}

TEST_F(MatchTest, PreparationRefusesEmptyInput) {
    PATTERN_W empty{nullptr, 0};
    PAT_POS pos;
    PATTERN_B out{};
    EXPECT_EQ(createpat(&pos, &empty, &out), 2);
    std::vector<POINT_W> pts = {{1, 1, 0}, {5, 5, 0}}; // no stroke flags at all
    PATTERN_W noflags{pts.data(), 2};
    EXPECT_EQ(createpat(&pos, &noflags, &out), 2);
}

TEST_F(MatchTest, IdenticalPatternsScoreFullMarks) {
    for (const Shape& s : {Ell(), Cross(), Kou()}) {
        PATTERN_B p = Prepared(s);
        Pairs pr;
        EXPECT_EQ(ltmatching(&pr.t, &p, &p), 1024);
        EXPECT_EQ(pr.t.num, p.num);
        for (int k = 0; k < pr.t.num; ++k) {
            EXPECT_EQ(pr.buf[k].dic, k);
            EXPECT_EQ(pr.buf[k].in, k);
        }
        const int h = hyouka(&pr.t, &p, &p);
        EXPECT_GE(h, 1000);
        EXPECT_LE(h, 1024);
        EXPECT_EQ(evaluate(&pr.t, &p, &p), h);
        releasepat(&p);
    }
}

TEST_F(MatchTest, StrictModeNeedsEqualStrokeCounts) {
    PATTERN_B one = Prepared(Ell());
    PATTERN_B two = Prepared({{{20, 10}, {20, 110}}, {{20, 110}, {110, 110}}}); // the L in two
    Pairs pr;
    CR_INFO ci = saved;
    ci.crmode = 1;
    setcrinfo(&ci);
    EXPECT_EQ(ltmatching(&pr.t, &two, &one), 0);
    EXPECT_EQ(pr.t.num, 0);
    EXPECT_EQ(ltmatching(&pr.t, &one, &one), 1024);
    ci.crmode = 0;
    setcrinfo(&ci);
    EXPECT_GT(ltmatching(&pr.t, &two, &one), 0); // a dictionary pattern may have more strokes
    EXPECT_GT(pr.t.num, 0);
    releasepat(&one);
    releasepat(&two);
}

TEST_F(MatchTest, OnePointInputMatchesByPositionOnly) {
    // Worked through by hand: the walk moves along the dictionary only, by mdcalus.
    PATTERN_B dic = Hand({{10, 10, 0, 2, 0, 0}, {30, 10, 0, 4, 0, 0}});
    PATTERN_B in = Hand({{10, 10, 0, 6, 0, 0}});
    in.data[0].dir = 512; // a direction that would spoil mdcal
    Pairs pr;
    EXPECT_EQ(ltmatching(&pr.t, &dic, &in), 950);
    ASSERT_EQ(pr.t.num, 2);
    EXPECT_EQ(pr.buf[0].score, 1024);
    EXPECT_EQ(pr.buf[1].score, 944);
    EXPECT_EQ(pr.buf[1].dic, 1);
    EXPECT_EQ(pr.buf[1].in, 0);

    // A one-point input after preparation sits at the origin.
    PATTERN_B dot = Prepared({{{40, 40}}});
    ASSERT_EQ(dot.num, 1);
    EXPECT_EQ(dot.data[0].x, 0);
    PATTERN_B d1 = Hand({{0, 0, 0, 6, 0, 0}});
    EXPECT_EQ(ltmatching(&pr.t, &d1, &dot), 1024);
    releasepat(&dot);
    std::free(d1.data);
    std::free(dic.data);
    std::free(in.data);
}

TEST_F(MatchTest, EarlyRejectionAndThreshold) {
    // A pattern against its reverse: the mean turns negative and the walk is cut once the
    // dictionary index reaches rejstart.
    Shape fwd = {{}};
    for (int x = 0; x <= 120; x += 12) fwd[0].push_back({x, 64});
    Shape rev = {{}};
    for (int x = 120; x >= 0; x -= 12) rev[0].push_back({x, 64});
    PATTERN_B a{}, b{};
    FillPattern(&a, fwd);
    FillPattern(&b, rev);
    Pairs pr;
    EXPECT_EQ(ltmatching(&pr.t, &a, &b), 0);
    EXPECT_EQ(evaluate(&pr.t, &a, &b), 0);
    std::free(a.data);
    std::free(b.data);
}

TEST_F(MatchTest, EvaluationPenalizesAnExtraPenLift) {
    PATTERN_B dic = Prepared(Ell());
    // The same L written as two strokes meeting at the corner.
    PATTERN_B split = Prepared({{{20, 10}, {20, 110}}, {{20, 110}, {110, 110}}});
    Pairs pr;
    ASSERT_GT(ltmatching(&pr.t, &dic, &split), 0);
    const int h = hyouka(&pr.t, &dic, &split);
    ASSERT_GT(ltmatching(&pr.t, &dic, &dic), 0);
    const int same = hyouka(&pr.t, &dic, &dic);
    EXPECT_LE(h, same - 102);
    releasepat(&dic);
    releasepat(&split);
}

TEST_F(MatchTest, Crossing) {
    PATTERN_B p = Hand({{0, 0, 0, 2, 0, 0},
                        {100, 100, 0, 4, 0, 0},
                        {0, 100, 0, 2, 0, 0},
                        {100, 0, 0, 4, 0, 0},
                        {0, 50, 0, 2, 0, 0},
                        {100, 50, 0, 4, 0, 0},
                        {0, 52, 0, 2, 0, 0},
                        {100, 52, 0, 4, 0, 0},
                        {101, 50, 0, 2, 0, 0},
                        {120, 60, 0, 4, 0, 0}});
    EXPECT_EQ(iscross(&p, 1, 3), 1); // the two diagonals
    EXPECT_EQ(iscross(&p, 5, 7), 0); // parallel, two units apart
    EXPECT_EQ(iscross(&p, 5, 1), 1); // horizontal through the diagonal
    EXPECT_EQ(iscross(&p, 5, 9), 1); // ends one unit from each other
    EXPECT_EQ(iscross(&p, 7, 9), 0); // more than one unit apart
    EXPECT_EQ(iscross(&p, 0, 3), 0); // no segment ends at the first point
    EXPECT_EQ(iscross(&p, 1, 99), 0);
    PATTERN_B q = Hand({{0, 0, 0, 2, 0, 0},
                        {50, 0, 0, 4, 0, 0},
                        {30, 0, 0, 2, 0, 0},
                        {80, 0, 0, 4, 0, 0},
                        {60, 0, 0, 2, 0, 0},
                        {90, 0, 0, 4, 0, 0}});
    EXPECT_EQ(iscross(&q, 1, 3), 1); // collinear and overlapping
    EXPECT_EQ(iscross(&q, 1, 5), 0); // collinear, apart
    std::free(p.data);
    std::free(q.data);
}

TEST_F(MatchTest, TekitoFlagAndParameters) {
    EXPECT_EQ(settekitoflag(1), 0);
    EXPECT_EQ(gettekitoflag(), 1);
    EXPECT_EQ(settekitoflag(0), 1);
    CR_INFO d;
    getcrinfo(&d);
    EXPECT_EQ(d.minarc, 6);
    EXPECT_EQ(d.minsc, 450);
    EXPECT_EQ(d.crmode, 0);
    EXPECT_EQ(d.rejstart, 5);
    EXPECT_EQ(d.overlen, 90);
    EXPECT_EQ(d.lastover, 170);
    EXPECT_EQ(d.minedge, 30);
    // A larger minarc keeps the bend of 20 units from being a corner.
    d.minarc = 27;
    setcrinfo(&d);
    PATTERN_B p = Prepared({{{0, 0}, {50, 20}, {100, 0}}});
    EXPECT_EQ(p.num, 2);
    releasepat(&p);
}
