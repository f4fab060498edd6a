// Matching across stroke counts: the correspondence of joined and split strokes to a
// pattern's strokes, the input rewritten with the pattern's count, and recognition with it.
#include "classifier/strokecount.h"
#include "classifier/tests/core_testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace core_test;

namespace {

// 口 as it is written: left side, top and right side in one stroke, bottom.
Shape Kuchi() {
    return {{{10, 10}, {10, 118}}, {{10, 10}, {118, 10}, {118, 118}}, {{10, 118}, {118, 118}}};
}

// 日: 口 with a middle bar before the bottom.
Shape Hi() {
    Shape s = Kuchi();
    s.insert(s.begin() + 2, Stroke{{10, 64}, {118, 64}});
    return s;
}

// Strokes from..to of s written in one pen movement, the pen-up moves drawn as ink.
Shape Joined(const Shape& s, size_t from, size_t to) {
    Shape out(s.begin(), s.begin() + long(from));
    Stroke one;
    for (size_t k = from; k <= to; ++k) one.insert(one.end(), s[k].begin(), s[k].end());
    out.push_back(one);
    out.insert(out.end(), s.begin() + long(to) + 1, s.end());
    return out;
}

// Stroke k of s lifted at its point `at` (both pieces keep that point).
Shape Lifted(const Shape& s, size_t k, size_t at) {
    Shape out = s;
    const Stroke& st = s[k];
    out[k] = Stroke(st.begin(), st.begin() + long(at) + 1);
    out.insert(out.begin() + long(k) + 1, Stroke(st.begin() + long(at), st.end()));
    return out;
}

// 口 with a point half way down its left side.
Shape KuchiThreePointSide() {
    Shape s = Kuchi();
    s[0] = {{10, 10}, {10, 64}, {10, 118}};
    return s;
}

Shape Turned(Shape s) {
    for (Stroke& st : s) std::reverse(st.begin(), st.end());
    return s;
}

struct Prep {
    PATTERN_B p{};
    explicit Prep(const Shape& s) : p(Prepared(s)) {}
    ~Prep() { releasepat(&p); }
};

TEST(StrokeCount, JoinedAndSplitStrokesAreUndone) {
    struct Case {
        const char* what;
        Shape pattern, writing;
        int joins, splits;
        bool samePoints; // the rewritten input is the pattern's own points
    };
    const Case cases[] = {
        {"left side joined to the top (pen-up move drawn)", Hi(), Joined(Hi(), 0, 1), 1, 0, true},
        {"middle and bottom bars joined", Hi(), Joined(Hi(), 2, 3), 1, 0, true},
        {"口 in one stroke, the pen-up moves drawn", Kuchi(), Joined(Kuchi(), 0, 2), 2, 0, true},
        {"口's top and right side apart", Kuchi(), Lifted(Kuchi(), 1, 1), 0, 1, false},
        {"the same, each stroke drawn backwards", Kuchi(), Turned(Lifted(Kuchi(), 1, 1)), 0, 1,
         false},
        {"口 with two lifts", Kuchi(), Lifted(Lifted(KuchiThreePointSide(), 1, 1), 0, 1), 0, 2,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Prep dic(c.pattern), in(c.writing);
        STROKE_COUNT map{};
        ASSERT_EQ(strokecount(&dic.p, &in.p, &map), 1);
        EXPECT_EQ(map.joins, c.joins);
        EXPECT_EQ(map.splits, c.splits);
        std::vector<POINT_B> buf(size_t(map.points));
        PATTERN_B re{};
        re.data = buf.data();
        countedpattern(&re, &in.p, &map, nullptr);
        EXPECT_EQ(Val(re.stroke), Val(dic.p.stroke));
        if (!c.samePoints) continue;
        ASSERT_EQ(Val(re.num), Val(dic.p.num));
        for (int i = 0; i < re.num; ++i) {
            EXPECT_EQ(re.data[i].x, dic.p.data[i].x) << i;
            EXPECT_EQ(re.data[i].y, dic.p.data[i].y) << i;
            EXPECT_EQ(re.data[i].attr, dic.p.data[i].attr) << i;
        }
    }
    // A pen-up move left out costs its length when a piece beside it is turned round: the
    // pen did not go from the end of one stroke to the start of the next.
    Prep hi(Hi()), joined(Joined(Hi(), 0, 1));
    STROKE_COUNT map{};
    ASSERT_EQ(strokecount(&hi.p, &joined.p, &map), 1);
    ASSERT_EQ(map.moves, 1);
    EXPECT_EQ(leftoutink(&map, nullptr), 0);
    STROKE_ORDER turned{4, 0, 1, {0, 1, 2, 3}, {0, 1, 0, 0}};
    EXPECT_EQ(leftoutink(&map, &turned), map.move[0].len);
    EXPECT_GT(map.move[0].len, 100); // the left side's length, drawn back up
    // Equal counts and counts out of reach have no correspondence here.
    Prep one(Shape{{{10, 10}, {118, 118}}});
    EXPECT_EQ(strokecount(&hi.p, &hi.p, &map), 0);
    EXPECT_EQ(strokecount(&hi.p, &one.p, &map), 0); // four strokes for one
}

// --- recognition ---

int AlsoCounts(uint16_t, void*) {
    return ORDER_ALSO | ORDER_COUNTS;
}

class CoreCountTest : public ::testing::Test {
protected:
    void TearDown() override {
        CloseCRSystem();
        SetCROrderFilter(nullptr, nullptr);
        _count_penalty = savedPenalty;
    }
    void Open() {
        // 口 in its three strokes, and rivals of its shape drawn with the top and right
        // side apart, and with the left side, top and right side in one stroke
        auto cat = [](uint16_t code, const Shape& s) {
            Cat c;
            c.code = code;
            c.patterns = {s};
            return c;
        };
        const std::string f = dir.File("count.dic");
        ASSERT_EQ(Write(f, {cat(kKuchi, Kuchi()), cat(kFour, Lifted(Kuchi(), 1, 1)),
                            cat(kTwo, Joined(Kuchi(), 0, 1)), cat(kHi, Hi())}),
                  0);
        ASSERT_EQ(OpenCRSystem(f.c_str()), 0);
    }
    std::vector<CR_RESULT> Recognize(const Shape& s, bool counts) {
        SetCROrderFilter(counts ? AlsoCounts : nullptr, nullptr);
        std::vector<POINT_W> ink = Ink(s);
        PATTERN_W w{ink.data(), int32_t(ink.size())};
        std::vector<CR_RESULT> res(4);
        EXPECT_EQ(RecognizeCP(&w, res.data(), 4), 0);
        return res;
    }
    static int ScoreOf(const std::vector<CR_RESULT>& res, uint32_t code) {
        for (const CR_RESULT& r : res)
            if (r.code == code) return r.score;
        return 0;
    }
    static constexpr uint16_t kKuchi = 0x8CFB, kFour = 0x83CD, kTwo = 0x8352, kHi = 0x93FA;
    TempDir dir;
    int savedPenalty = _count_penalty;
};

TEST_F(CoreCountTest, RightCountScoresAsBeforeAndKeepsAheadOfARivalReachedByACount) {
    Open();
    struct Case {
        Shape writing;
        uint16_t right, rival; // the rival has fewer strokes than the writing
    };
    const Case cases[] = {{Kuchi(), kKuchi, kTwo}, {Lifted(Kuchi(), 1, 1), kFour, kKuchi}};
    for (const Case& c : cases) {
        _count_penalty = 0;
        const int free = ScoreOf(Recognize(c.writing, true), c.rival); // the split costs nothing
        for (int penalty : {20, 40, 80}) {
            _count_penalty = penalty;
            SCOPED_TRACE(penalty);
            const auto before = Recognize(c.writing, false);
            const auto after = Recognize(c.writing, true);
            ASSERT_EQ(before[0].code, c.right);
            EXPECT_EQ(after[0].code, c.right);
            EXPECT_EQ(after[0].score, before[0].score);
            // The rival comes only through a split, less the penalty for it.
            EXPECT_EQ(ScoreOf(before, c.rival), 0);
            EXPECT_EQ(ScoreOf(after, c.rival), free - penalty);
        }
    }
}

TEST_F(CoreCountTest, AJoinedWritingScoresAtLeastAsTheStandardLessThePenalty) {
    Open();
    const int standard = ScoreOf(Recognize(Hi(), false), kHi);
    ASSERT_GT(standard, 900);
    for (const Shape& writing : {Joined(Hi(), 0, 1), Joined(Hi(), 2, 3)}) {
        // the joined stroke undone gives the standard writing's points: its score less the
        // penalty, unless the match as written is better
        const int written = ScoreOf(Recognize(writing, false), kHi);
        const auto res = Recognize(writing, true);
        EXPECT_EQ(res[0].code, kHi);
        EXPECT_EQ(ScoreOf(res, kHi), std::max(written, standard - _count_penalty));
    }
    // 口 written in one stroke round its sides: its three pieces are put in order and
    // turned round as the pen went, which costs no order or direction penalty, and no ink is
    // left out
    const Shape round = {{{10, 10}, {118, 10}, {118, 118}, {10, 118}, {10, 10}}};
    const int written = ScoreOf(Recognize(round, false), kKuchi);
    const auto res = Recognize(round, true);
    EXPECT_EQ(res[0].code, kKuchi);
    EXPECT_EQ(ScoreOf(res, kKuchi),
              std::max(written, ScoreOf(Recognize(Kuchi(), false), kKuchi) - 2 * _count_penalty));
}

} // namespace
