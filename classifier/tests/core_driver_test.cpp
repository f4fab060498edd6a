// The recognition core: open and close, the job, composites, adjustments and the ranking.
#include "classifier/tests/core_testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <vector>

using namespace core_test;

namespace {

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        getcrinfo(&savedInfo);
        savedFrame = _frame;
    }
    void TearDown() override {
        CloseCRSystem();
        setcrinfo(&savedInfo);
        _frame = savedFrame;
        _small_char_size = 0;
        SetCRMode(CRMODE_ALL);
        SetCRPassFilter(nullptr, nullptr);
        SetCRCandidateCodes(nullptr, 0);
    }

    void Open(const std::vector<Cat>& cats) {
        const std::string f = dir.File("core.dic");
        ASSERT_EQ(Write(f, cats), 0);
        ASSERT_EQ(OpenCRSystem(f.c_str()), 0);
    }

    std::vector<CR_RESULT> Recognize(const Shape& s, int n = 5) {
        std::vector<POINT_W> ink = Ink(s);
        PATTERN_W w{ink.data(), int32_t(ink.size())};
        std::vector<CR_RESULT> res(n, CR_RESULT{-1, -1, 0xFFFF});
        EXPECT_EQ(RecognizeCP(&w, res.data(), n), 0);
        return res;
    }

    int ScoreOf(const std::vector<CR_RESULT>& res, uint16_t code) {
        for (const CR_RESULT& r : res)
            if (r.code == code && r.score > 0) return r.score;
        return 0;
    }

    TempDir dir;
    CR_INFO savedInfo;
    PAT_POS savedFrame;
};

Cat Simple(uint16_t code, std::vector<Shape> pats, uint8_t status = 0) {
    Cat c;
    c.code = code;
    c.patterns = std::move(pats);
    c.status = status;
    return c;
}

// Two parts: a bar in the top half and a post in the bottom half of the box.
std::vector<Cat> BarOverPost(uint8_t rootStatus) {
    Cat bar = Simple(0, {Bar()});
    Cat post = Simple(0, {Post()});
    Cat c;
    c.code = 0x8A4F;
    c.status = uint8_t(CTG_COMPOSITE | rootStatus);
    c.part[0] = 1;
    c.part[1] = 2;
    c.pos[0] = 0x00;
    c.psize[0] = 0xF7; // full width, top half (0..59)
    c.pos[1] = 0x08;
    c.psize[1] = 0xF7; // full width, from 68 down
    return {bar, post, c};
}

} // namespace

TEST_F(CoreTest, OpenAndClose) {
    Open({Simple(0x8250, {Ell()})});
    EXPECT_EQ(OpenCRSystem(nullptr), 5); // already open
    EXPECT_EQ(_crdic.count, 2);          // and still the same dictionary
    CloseCRSystem();
    EXPECT_EQ(_length_table, nullptr);
    EXPECT_EQ(Val(_crdic.ctg), nullptr);
    EXPECT_EQ(OpenCRSystem(dir.File("missing.dic").c_str()), 3);
    EXPECT_EQ(_length_table, nullptr); // a failed open leaves the core closed
    EXPECT_EQ(OpenCRSystem(nullptr), 0);
    EXPECT_EQ(_crdic.count, 1);
    std::vector<CR_RESULT> res = Recognize(Ell());
    for (const CR_RESULT& r : res) EXPECT_EQ(r.score, 0); // nothing to find
}

TEST_F(CoreTest, RanksTheMatchingCategoryFirst) {
    Open({Simple(0x8250, {Ell()}), Simple(0x8251, {Cross()}), Simple(0x8252, {Kou()}),
          Simple(0x8253, {Ell()}, 0)});
    std::vector<CR_RESULT> res = Recognize(Scaled(Ell(), 3, 1));
    EXPECT_EQ(res[0].code, 0x8250u);
    EXPECT_EQ(res[0].pat_no, 1);
    EXPECT_EQ(res[1].code, 0x8253u); // an equal score keeps the earlier category ahead
    EXPECT_EQ(res[1].score, res[0].score);
    EXPECT_GE(res[0].score, 900);
    for (size_t k = 1; k < res.size(); ++k) EXPECT_LE(res[k].score, res[k - 1].score);
    // Every slot the ring did not fill is zero.
    for (const CR_RESULT& r : res) {
        if (r.score == 0) {
            EXPECT_EQ(r.code, 0u);
        }
    }
}

TEST_F(CoreTest, InputErrors) {
    Open({Simple(0x8250, {Ell()})});
    PATTERN_W empty{nullptr, 0};
    CR_RESULT res[3];
    EXPECT_EQ(RecognizeCP(&empty, res, 3), 2);
    std::vector<POINT_W> ink = Ink(Ell());
    PATTERN_W w{ink.data(), int32_t(ink.size())};
    EXPECT_EQ(RecognizeCP(&w, nullptr, 3), 5);
    EXPECT_EQ(RecognizeCP(&w, res, 0), 5);
    EXPECT_EQ(RecognizeCP(&w, res, 3), 0);
    EXPECT_EQ(res[0].code, 0x8250u);
}

TEST_F(CoreTest, MoreStrokesThanAnyVariantNeverScores) {
    Open({Simple(0x8250, {Ell()}), Simple(0x8251, {Kou()})});
    std::vector<CR_RESULT> res = Recognize(Cross()); // two strokes
    EXPECT_EQ(ScoreOf(res, 0x8250), 0);
}

TEST_F(CoreTest, StrictStrokeCountMode) {
    Open({Simple(0x8250, {{{{20, 10}, {20, 110}}, {{20, 110}, {110, 110}}}})});
    EXPECT_GT(ScoreOf(Recognize(Ell()), 0x8250), 0);
    CR_INFO ci = savedInfo;
    ci.crmode = 1;
    setcrinfo(&ci);
    EXPECT_EQ(ScoreOf(Recognize(Ell()), 0x8250), 0);
}

TEST_F(CoreTest, ASecondJobIsRefusedWhileOneRuns) {
    Open({Simple(0x8250, {Ell()}), Simple(0x8251, {Cross()}), Simple(0x8252, {Kou()})});
    std::vector<POINT_W> ink = Ink(Ell());
    PATTERN_W w{ink.data(), int32_t(ink.size())};
    CR_RESULT r1[3], r2[3] = {{7, 7, 7}, {7, 7, 7}, {7, 7, 7}};
    CRSTATE a, b;
    ASSERT_EQ(InitBGRecognize(&a, &w, r1, 3), 0);
    EXPECT_EQ(InitBGRecognize(&b, &w, r2, 3), 5);
    EXPECT_EQ(r2[0].score, 7); // the refused job touched nothing
    EXPECT_EQ(RecognizeCP(&w, r2, 3), 5);
    // Step by one category at a time.
    int steps = 0;
    while (BGRecognizeCP(&a, 1)) ++steps;
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(r1[0].code, 0x8250u);
    CloseBGRecognize(&a);
    EXPECT_EQ(BGRecognizeCP(&a, 1), 0); // no job
    ASSERT_EQ(RecognizeCP(&w, r2, 3), 0);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(r2[k].code, r1[k].code);
        EXPECT_EQ(r2[k].score, r1[k].score);
    }
}

TEST_F(CoreTest, ResultRingKeepsTheBestInOrder) {
    tagRESLINK ring[4]; // head and three nodes, all empty
    for (int k = 0; k <= 3; ++k) {
        ring[k].res = CR_RESULT{0, 0, 0};
        ring[k].next = &ring[(k + 1) % 4];
        ring[k].prev = &ring[(k + 3) % 4];
    }
    setresult(ring, 50, 0x8250, 1);
    setresult(ring, 40, 0x8251, 2);
    setresult(ring, 40, 0x8252, 3);
    setresult(ring, 30, 0x8253, 4);
    setresult(ring, 60, 0x8254, 5);
    std::vector<int> scores, cats;
    for (tagRESLINK* n = ring[0].next; n != ring; n = n->next) {
        scores.push_back(n->res.score);
        cats.push_back(n->res.pat_no);
    }
    EXPECT_EQ(scores, (std::vector<int>{60, 50, 40}));
    EXPECT_EQ(cats, (std::vector<int>{5, 1, 2}));

    // A code already present with a lower score is replaced rather than the worst entry.
    setresult(ring, 55, 0x8251, 6);
    scores.clear();
    std::vector<uint32_t> codes;
    for (tagRESLINK* n = ring[0].next; n != ring; n = n->next) {
        scores.push_back(n->res.score);
        codes.push_back(n->res.code);
    }
    EXPECT_EQ(scores, (std::vector<int>{60, 55, 50}));
    EXPECT_EQ(codes, (std::vector<uint32_t>{0x8254, 0x8251, 0x8250}));
    // A same-code entry with a higher score does not stop the insertion.
    setresult(ring, 52, 0x8254, 7);
    codes.clear();
    for (tagRESLINK* n = ring[0].next; n != ring; n = n->next) codes.push_back(n->res.code);
    EXPECT_EQ(codes, (std::vector<uint32_t>{0x8254, 0x8251, 0x8254}));
}

TEST_F(CoreTest, CompositeTableAndPlacement) {
    Open(BarOverPost(0));
    std::vector<CAT_DATA> table(64);
    ASSERT_EQ(InitWork(_cr_work_size), 0);
    int n = 0;
    InitCatTable(_crdic.ctg[3], table.data(), &n);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(table[0].next_step, 3);
    EXPECT_EQ(table[0].patdic.count, 0);
    EXPECT_EQ(table[1].next_step, 1);
    EXPECT_EQ(table[1].x, 0);
    EXPECT_EQ(table[1].y, 0);
    EXPECT_EQ(table[1].sx, 128);
    EXPECT_EQ(table[1].sy, 59); // 59 * 128 / 128
    EXPECT_EQ(table[2].y, 68);
    EXPECT_EQ(table[2].sy, 59);
    ASSERT_NE(Val(table[2].patdic.pat), nullptr);
    EXPECT_EQ(table[2].patdic.pat[0].data, nullptr); // copies are made when first used

    PATTERN_B copy{};
    ASSERT_EQ(CopyPatternToBox2(&copy, &table[2].org_pat[0], table[2].x, table[2].y, table[2].sx,
                                table[2].sy),
              0);
    // The post (64, 10)-(64, 118) placed at y 68 with scale 59/128.
    EXPECT_EQ(copy.data[0].x, 64);
    EXPECT_EQ(copy.data[0].y, 68 + 59 * 10 / 128);
    EXPECT_EQ(copy.data[1].y, 68 + 59 * 118 / 128);
    EXPECT_EQ(copy.data[1].l, GetLength(0, copy.data[1].y - copy.data[0].y));
    EXPECT_EQ(copy.data[0].l, GetLength(copy.data[0].x, copy.data[0].y));
    EXPECT_EQ(copy.len, copy.data[1].l);
    EXPECT_EQ(copy.stroke, 1);

    // Appending: the jump from the bar's end to the post's start joins the two.
    std::vector<POINT_B> buf(8);
    PATTERN_B whole{};
    whole.data = buf.data();
    PATTERN_B bar = _crdic.ctg[1]->patdic.pat[0];
    AddPattern(&whole, &bar);
    EXPECT_EQ(whole.num, 2);
    EXPECT_EQ(whole.len, bar.len);
    AddPattern(&whole, &copy);
    EXPECT_EQ(whole.num, 4);
    EXPECT_EQ(whole.stroke, 2);
    const int jump = GetLength(copy.data[0].x - 118, copy.data[0].y - 64);
    EXPECT_EQ(whole.data[2].l, jump);
    EXPECT_EQ(whole.data[2].dir, getdirection(copy.data[0].x - 118, copy.data[0].y - 64));
    EXPECT_EQ(whole.len, bar.len + copy.len + jump);
    CloseWork();
}

TEST_F(CoreTest, CompositeRecognizedAndOrderFlag) {
    const Shape composed = {{{10, 30}, {118, 30}}, {{64, 72}, {64, 122}}};
    const Shape reversed = {composed[1], composed[0]};
    Open(BarOverPost(0));
    std::vector<CR_RESULT> res = Recognize(composed);
    EXPECT_EQ(res[0].code, 0x8A4Fu);
    EXPECT_EQ(res[0].pat_no, 3);
    EXPECT_GE(res[0].score, 900);
    const int inOrder = ScoreOf(res, 0x8A4F);
    const int outOfOrder = ScoreOf(Recognize(reversed), 0x8A4F);
    EXPECT_LT(outOfOrder, inOrder - 300);
    CloseCRSystem();

    // With the other order allowed, the reversed writing matches the parts swapped (only
    // the jump between them differs), and the usual order scores as before.
    Open(BarOverPost(CTG_ANYORDER));
    EXPECT_GT(ScoreOf(Recognize(reversed), 0x8A4F), outOfOrder + 300);
    EXPECT_GE(ScoreOf(Recognize(reversed), 0x8A4F), inOrder - 50);
    EXPECT_EQ(ScoreOf(Recognize(composed), 0x8A4F), inOrder);
}

TEST_F(CoreTest, AFailureInTheFixedPrefixPrunesLaterVariants) {
    // A long zigzag first part, then a second part with two variants. The input has
    // nothing in common with the zigzag, so the walk breaks inside it while the first
    // variant is tried: the second variant is never even placed.
    Shape zig = {{}};
    for (int k = 0; k < 10; ++k) zig[0].push_back({k * 12, (k % 2) ? 60 : 0});
    Cat first = Simple(0, {zig});
    Cat second = Simple(0, {Bar(), Post()});
    Cat c;
    c.code = 0x8A50;
    c.status = CTG_COMPOSITE | CTG_POSITIONAL; // no length pre-check
    c.part[0] = 1;
    c.part[1] = 2;
    c.psize[0] = c.psize[1] = 0xFF;
    Open({first, second, c});

    Shape in = {{}};
    for (int k = 0; k < 10; ++k) in[0].push_back({118 - k * 12, 128 - (k % 3) * 5});
    in.push_back({{0, 0}, {5, 100}});
    PATTERN_B inp = Prepared(in);
    ASSERT_EQ(InitWork(_cr_work_size), 0);
    std::vector<CAT_DATA> table(64);
    std::vector<POINT_B> buf(200);
    std::vector<NODE_PAIR> pairs(inp.num + 200);
    std::vector<MDTBL> mdt(size_t(200) * inp.num);
    CATMATCH cm{};
    InitCatTable(_crdic.ctg[3], table.data(), &cm.table_size);
    ASSERT_EQ(cm.table_size, 3);
    cm.mdt = mdt.data();
    cm.npt = NP_TABLE{0, pairs.data()};
    cm.in = inp;
    cm.cat_data = table.data();
    cm.mflag = MFLAG_WALK;
    cm.buf = buf.data();
    cm.buf_size = 200;
    PATTERN_B pat{};
    pat.data = buf.data();
    const int zigpoints = _crdic.ctg[1]->patdic.pat[0].num;

    // Directly: matching the zigzag followed by the bar breaks inside the zigzag.
    PATTERN_B probe{};
    probe.data = buf.data();
    PATTERN_B zcopy{}, bcopy{};
    ASSERT_EQ(CopyPatternToBox2(&zcopy, Val(_crdic.ctg[1]->patdic.pat), 0, 0, 128, 128), 0);
    ASSERT_EQ(CopyPatternToBox2(&bcopy, Val(_crdic.ctg[2]->patdic.pat), 0, 0, 128, 128), 0);
    AddPattern(&probe, &zcopy);
    AddPattern(&probe, &bcopy);
    const int broke = Matching(&cm, &probe, 0);
    ASSERT_GE(broke, 0);
    ASSERT_LT(broke, zigpoints);

    CategoryMatching(&cm, &pat);
    EXPECT_NE(table[1].patdic.pat[0].data, nullptr);
    EXPECT_NE(table[2].patdic.pat[0].data, nullptr);
    EXPECT_EQ(table[2].patdic.pat[1].data, nullptr); // pruned
    CloseWork();
    releasepat(&inp);
}

TEST_F(CoreTest, PositionSensitiveBonusAndPenalty) {
    _frame = PAT_POS{127, 127, 0, 0}; // guide-box units equal input units
    Cat plain = Simple(0x8250, {Bar()});
    // The region is the first part entry, which the file holds for composites only; the
    // parts here are the empty category 0.
    Cat pos = Simple(0x8251, {Bar()}, CTG_COMPOSITE | CTG_POSITIONAL);
    pos.pos[0] = 0x00;
    pos.psize[0] = 0xFF; // the whole box
    Cat narrow = Simple(0x8252, {Bar()}, CTG_COMPOSITE | CTG_POSITIONAL);
    narrow.pos[0] = 0x00;
    narrow.psize[0] = 0x8F; // 68 wide, full height
    Open({plain, pos, narrow});

    // Centred and fitting: +7680 / 30 = 256.
    std::vector<CR_RESULT> res = Recognize({{{0, 64}, {128, 64}}});
    const int base = ScoreOf(res, 0x8250);
    ASSERT_GT(base, 0);
    EXPECT_EQ(ScoreOf(res, 0x8251), base + 256);
    EXPECT_EQ(res[0].code, 0x8251u);

    // 98 wide against a region 68 wide: 30 too wide, -250 - 100 - 100.
    res = Recognize({{{0, 64}, {98, 64}}});
    const int base2 = ScoreOf(res, 0x8250);
    ASSERT_GT(base2, 450);
    EXPECT_EQ(ScoreOf(res, 0x8252), base2 - 450);

    // Off centre: the bonus falls with the squared distance.
    res = Recognize({{{0, 10}, {128, 10}}});
    const int base3 = ScoreOf(res, 0x8250);
    const int dy = 64 - 10; // the bar lies at 10 in guide-box units too
    EXPECT_EQ(ScoreOf(res, 0x8251), base3 + std::max(0, (7680 - dy * dy) / 30));
}

TEST_F(CoreTest, SmallSizeAdjustment) {
    Open({Simple(0x8250, {Ell()}), Simple(0x8251, {Ell()}, CTG_SMALLSIZE)});
    std::vector<CR_RESULT> res = Recognize(Ell());
    const int base = ScoreOf(res, 0x8250);
    ASSERT_GT(base, 0);
    EXPECT_EQ(ScoreOf(res, 0x8251), base - 10); // any input is above the threshold 0
    _small_char_size = 1000;
    res = Recognize(Ell());
    EXPECT_EQ(ScoreOf(res, 0x8251), base + 10);
}

TEST_F(CoreTest, FilterModeAndTheDpFallback) {
    Open({Simple(0x8250, {Ell()}), Simple(0x8251, {Ell()}), Simple(0x8252, {Ell()})});
    struct Ctx {
        int calls = 0;
    } ctx;
    SetCRMode(CRMODE_FILTER);
    // Without a filter, mode 2 takes no category.
    std::vector<CR_RESULT> res = Recognize(Ell());
    EXPECT_EQ(res[0].score, 0);
    SetCRPassFilter(
        [](uint16_t code, void* p) -> int {
            ++static_cast<Ctx*>(p)->calls;
            if (code == 0x8250) return 0;                        // rejected
            return code == 0x8251 ? MFLAG_DP : MFLAG_WALK_OR_DP; // DP only, or as fallback
        },
        &ctx);
    res = Recognize(Ell());
    EXPECT_EQ(ctx.calls, 3);
    EXPECT_EQ(ScoreOf(res, 0x8250), 0);
    const int walk = ScoreOf(Recognize(Ell()), 0x8252);
    EXPECT_GE(ScoreOf(res, 0x8251), 900);
    EXPECT_GE(ScoreOf(res, 0x8252), 900);
    EXPECT_EQ(walk, ScoreOf(res, 0x8252));
}

// Named candidate codes limit recognition to their categories, visited in dictionary
// order: the same results as asking the filter about every category, also for the first
// category, a code of several categories, a job run one category at a time and codes
// the dictionary lacks; without codes every category is visited again.
TEST_F(CoreTest, CandidateCodesVisitOnlyTheirCategoriesInDictionaryOrder) {
    Open({Simple(0x8250, {Ell()}), Simple(0x8251, {Cross()}), Simple(0x8252, {Ell()}),
          Simple(0x8251, {Ell()}), Simple(0x8253, {Kou()})});
    struct Ctx {
        std::vector<uint16_t> asked;
    } ctx;
    SetCRMode(CRMODE_FILTER);
    SetCRPassFilter(
        [](uint16_t code, void* p) -> int {
            static_cast<Ctx*>(p)->asked.push_back(code);
            return code == 0x8253 ? 0 : MFLAG_WALK_OR_DP;
        },
        &ctx);
    const std::vector<CR_RESULT> all = Recognize(Ell());
    EXPECT_EQ(ctx.asked, (std::vector<uint16_t>{0x8250, 0x8251, 0x8252, 0x8251, 0x8253}));

    const uint16_t codes[] = {0x8251, 0x9999, 0x8250};
    SetCRCandidateCodes(codes, 3);
    ctx.asked.clear();
    const std::vector<CR_RESULT> some = Recognize(Ell());
    EXPECT_EQ(ctx.asked, (std::vector<uint16_t>{0x8250, 0x8251, 0x8251}));
    EXPECT_EQ(ScoreOf(some, 0x8252), 0);
    EXPECT_EQ(ScoreOf(some, 0x8250), ScoreOf(all, 0x8250));
    EXPECT_EQ(ScoreOf(some, 0x8251), ScoreOf(all, 0x8251));
    EXPECT_GE(ScoreOf(some, 0x8250), 900);

    // one category per step: three steps, the same ranking
    std::vector<POINT_W> ink = Ink(Ell());
    PATTERN_W w{ink.data(), int32_t(ink.size())};
    CR_RESULT stepped[5];
    CRSTATE job;
    ASSERT_EQ(InitBGRecognize(&job, &w, stepped, 5), 0);
    int steps = 0;
    while (BGRecognizeCP(&job, 1)) ++steps;
    CloseBGRecognize(&job);
    EXPECT_EQ(steps, 2);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(stepped[k].code, some[static_cast<size_t>(k)].code) << k;
        EXPECT_EQ(stepped[k].score, some[static_cast<size_t>(k)].score) << k;
    }

    SetCRCandidateCodes(nullptr, 0);
    ctx.asked.clear();
    Recognize(Ell());
    EXPECT_EQ(ctx.asked.size(), 5u);
}

TEST_F(CoreTest, InputOutsideTheGuideBoxStillRecognizes) {
    _frame = PAT_POS{100, 100, 0, 0};
    Open({Simple(0x8250, {Ell()}), Simple(0x8251, {Kou()})});
    std::vector<CR_RESULT> res = Recognize(Scaled(Ell(), 1, 1, 5000, -3000));
    EXPECT_EQ(res[0].code, 0x8250u);
    PAT_POS swapped{0, 0, 200, 300};
    SetGuideBoxRect(&swapped);
    EXPECT_EQ(_frame.maxx, 200);
    EXPECT_EQ(_frame.minx, 0);
    EXPECT_EQ(_frame.maxy, 300);
    EXPECT_EQ(_frame.miny, 0);
}

TEST_F(CoreTest, CategoriesWithoutPatternsNeverEnterTheResult) {
    // Neither the centring bonus nor the small-size bonus may lift a category that
    // matched nothing into the result.
    _frame = PAT_POS{127, 127, 0, 0};
    _small_char_size = 1000;
    Cat empty;
    empty.code = 0x8260;
    empty.status = CTG_COMPOSITE | CTG_POSITIONAL | CTG_SMALLSIZE;
    empty.psize[0] = 0xFF;
    Cat bare = Simple(0x8261, {}, CTG_SMALLSIZE);
    Open({empty, bare, Simple(0x8262, {Bar()})});
    std::vector<CR_RESULT> res = Recognize({{{0, 64}, {128, 64}}});
    EXPECT_EQ(ScoreOf(res, 0x8260), 0);
    EXPECT_EQ(ScoreOf(res, 0x8261), 0);
    EXPECT_EQ(res[0].code, 0x8262u);
    EXPECT_EQ(res[1].score, 0);
}

TEST_F(CoreTest, DpRunsWhenTheWalkFailsOnlyIfTheFlagAsksForIt) {
    // A threshold above the scale makes every walk fail.
    CR_INFO ci = savedInfo;
    ci.minsc = 1025;
    setcrinfo(&ci);
    Open({Simple(0x8250, {Ell()}), Simple(0x8251, {Ell()}), Simple(0x8252, {Ell()})});
    SetCRMode(CRMODE_FILTER);
    SetCRPassFilter(
        [](uint16_t code, void*) -> int {
            return code == 0x8250 ? 1 : code == 0x8251 ? MFLAG_WALK_OR_DP : MFLAG_DP;
        },
        nullptr);
    std::vector<CR_RESULT> res = Recognize(Ell());
    EXPECT_EQ(ScoreOf(res, 0x8250), 0); // walk only
    const int fallback = ScoreOf(res, 0x8251);
    EXPECT_GT(fallback, 900);
    EXPECT_EQ(ScoreOf(res, 0x8252), fallback); // the same DP path either way

    // Matching reports no failure position after a DP run.
    PATTERN_B in = Prepared(Ell());
    std::vector<NODE_PAIR> pairs(64);
    std::vector<MDTBL> mdt(size_t(64) * in.num);
    CATMATCH cm{};
    cm.mdt = mdt.data();
    cm.npt = NP_TABLE{0, pairs.data()};
    cm.in = in;
    cm.mflag = MFLAG_WALK_OR_DP;
    const PATTERN_B dic = _crdic.ctg[1]->patdic.pat[0];
    EXPECT_EQ(Matching(&cm, &dic, 0), -1);
    EXPECT_EQ(cm.score, fallback);
    cm.mflag = MFLAG_WALK;
    cm.score = 0;
    EXPECT_EQ(Matching(&cm, &dic, 0), dic.num - 1); // the walk ran to the last point
    EXPECT_EQ(cm.score, 0);
    releasepat(&in);
}

TEST_F(CoreTest, DamagedDictionariesLoadSafelyOrNotAtAll) {
    // Byte changes in a dictionary with composites: each damaged file is refused with 3 or
    // loads and recognizes without touching memory outside its arrays (checked by the
    // sanitizer build).
    std::vector<Cat> cats = BarOverPost(CTG_ANYORDER | CTG_POSITIONAL | CTG_SMALLSIZE);
    cats.push_back(Simple(0x8250, {Ell(), Kou()}));
    cats.push_back(Simple(0x8251, {Cross()}, CTG_COMPOSITE));
    cats.back().part[0] = 3;
    cats.back().part[1] = 4;
    const std::string good = dir.File("good.dic");
    ASSERT_EQ(Write(good, cats), 0);
    std::ifstream f(good, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(f)), {});
    ASSERT_EQ(OpenCRSystem(nullptr), 0);
    std::mt19937 rng(12345);
    int loaded = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<unsigned char> b = bytes;
        const int changes = 1 + int(rng() % 3);
        for (int k = 0; k < changes; ++k) b[rng() % b.size()] = uint8_t(rng());
        const std::string bad = dir.File("bad.dic");
        std::ofstream(bad, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
        const int rc = LoadCRDictionary(bad.c_str(), nullptr);
        ASSERT_TRUE(rc == 0 || rc == 3) << rc;
        if (rc != 0) continue;
        ++loaded;
        for (const Shape& s : {Ell(), Kou(), Shape{{{10, 30}, {118, 30}}, {{64, 72}, {64, 122}}}}) {
            std::vector<POINT_W> ink = Ink(s);
            PATTERN_W w{ink.data(), int32_t(ink.size())};
            CR_RESULT res[4];
            ASSERT_EQ(RecognizeCP(&w, res, 4), 0);
            for (int k = 1; k < 4; ++k) EXPECT_LE(res[k].score, res[k - 1].score);
        }
    }
    EXPECT_GT(loaded, 0);
}

TEST_F(CoreTest, VariantsSharingTheirFirstStrokesScoreAsIfMatchedAlone) {
    // A square-cornered hook and the same hook lifted at its corner, after two common
    // strokes; the DP rows of the common points are carried from one variant to the next.
    const Shape whole = {
        {{20, 20}, {108, 20}}, {{64, 20}, {64, 70}}, {{30, 60}, {30, 110}, {110, 110}}};
    const Shape lifted = {{{20, 20}, {108, 20}},
                          {{64, 20}, {64, 70}},
                          {{30, 60}, {30, 110}},
                          {{30, 110}, {110, 110}}};
    PATTERN_B a{}, b{};
    FillPattern(&a, whole);
    FillPattern(&b, lifted);
    EXPECT_GE(mdtsharedrows(&a, &b), 4);
    EXPECT_LT(mdtsharedrows(&a, &b), a.num);
    EXPECT_EQ(mdtsharedrows(&a, &a), a.num);
    std::free(a.data);
    std::free(b.data);

    Open({Simple(0x8250, {whole, lifted}), Simple(0x8251, {lifted, whole}), Simple(0x8252, {whole}),
          Simple(0x8253, {lifted})});
    SetCRMode(CRMODE_FILTER);
    SetCRPassFilter([](uint16_t, void*) -> int { return MFLAG_DP; }, nullptr);
    const Shape inputs[] = {
        whole,
        lifted,
        Scaled(whole, 9, 10, 4, 6),
        {{{22, 18}, {104, 24}}, {{60, 22}, {66, 74}}, {{26, 64}, {34, 112}, {104, 106}}}};
    for (const Shape& in : inputs) {
        const std::vector<CR_RESULT> res = Recognize(in, 4);
        const int alone = std::max(ScoreOf(res, 0x8252), ScoreOf(res, 0x8253));
        EXPECT_GT(alone, 0);
        EXPECT_EQ(ScoreOf(res, 0x8250), alone);
        EXPECT_EQ(ScoreOf(res, 0x8251), alone);
    }
}
