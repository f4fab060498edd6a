// Order- and direction-free matching: the correspondence of written strokes to a pattern's
// strokes, the input rewritten in the pattern's order, and recognition that uses it.
#include "classifier/strokeorder.h"
#include "classifier/tests/core_testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace core_test;

namespace {

// Four strokes of 日: left side, top and right side, middle bar, bottom bar.
Shape Hi() {
    return {{{10, 10}, {10, 118}},
            {{10, 10}, {118, 10}, {118, 118}},
            {{10, 64}, {118, 64}},
            {{10, 118}, {118, 118}}};
}

// Four strokes of 木: bar, post, left sweep, right sweep.
Shape Ki() {
    return {{{10, 40}, {118, 40}},
            {{64, 10}, {64, 118}},
            {{60, 44}, {10, 100}},
            {{68, 44}, {118, 100}}};
}

// The strokes written in the given order: written[k] = s[order[k]].
Shape Written(const Shape& s, const std::vector<int>& order) {
    Shape out;
    for (int k : order) out.push_back(s[size_t(k)]);
    return out;
}

// The given strokes drawn from their other end.
Shape Turned(Shape s, const std::vector<int>& which) {
    for (int k : which) std::reverse(s[size_t(k)].begin(), s[size_t(k)].end());
    return s;
}

struct Prep {
    PATTERN_B p{};
    explicit Prep(const Shape& s) : p(Prepared(s)) {}
    ~Prep() { releasepat(&p); }
};

void ExpectSamePoints(const PATTERN_B& a, const PATTERN_B& b) {
    ASSERT_EQ(Val(a.num), Val(b.num));
    EXPECT_EQ(Val(a.stroke), Val(b.stroke));
    EXPECT_EQ(Val(a.len), Val(b.len));
    for (int i = 0; i < a.num; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a.data[i].x, b.data[i].x);
        EXPECT_EQ(a.data[i].y, b.data[i].y);
        EXPECT_EQ(a.data[i].attr, b.data[i].attr);
        EXPECT_EQ(a.data[i].l, b.data[i].l);
        EXPECT_EQ(Val(a.data[i].dir), Val(b.data[i].dir));
    }
}

// The correspondence of a writing to the pattern of s, and the writing rewritten by it,
// which must be the pattern's own points.
STROKE_ORDER Undo(const Shape& s, const Shape& writing) {
    Prep dic(s), in(writing);
    STROKE_ORDER order{};
    EXPECT_EQ(strokeorder(&dic.p, &in.p, &order), 1);
    std::vector<POINT_B> buf(size_t(in.p.num));
    PATTERN_B re{};
    re.data = buf.data();
    reorderpattern(&re, &in.p, &order);
    ExpectSamePoints(re, dic.p);
    return order;
}

TEST(StrokeOrder, WritingInThePatternsOrderIsLeftAlone) {
    for (const Shape& s : {Hi(), Ki(), Kou(), Cross(), Ell()}) {
        Prep dic(s), in(Scaled(s, 3, 2, 40, 25));
        STROKE_ORDER order{};
        EXPECT_EQ(strokeorder(&dic.p, &in.p, &order), 0);
    }
}

TEST(StrokeOrder, APermutationIsUndone) {
    // written: middle bar, left side, bottom bar, top and right side
    const STROKE_ORDER order = Undo(Hi(), Written(Hi(), {2, 0, 3, 1}));
    ASSERT_EQ(order.num, 4);
    const int8_t expected[4] = {1, 3, 0, 2}; // pattern stroke k is written stroke src[k]
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(order.src[k], expected[k]) << k;
        EXPECT_EQ(order.rev[k], 0) << k;
    }
    EXPECT_EQ(order.reversed, 0);
    EXPECT_EQ(order.moved, 2); // 1, 3 or 0, 2 stay in order
}

TEST(StrokeOrder, MovedCountsStrokesWrittenBeforeAnEarlierOne) {
    EXPECT_EQ(Undo(Hi(), Written(Hi(), {3, 0, 1, 2})).moved, 1) << "the last stroke first";
    EXPECT_EQ(Undo(Hi(), Written(Hi(), {2, 3, 0, 1})).moved, 2) << "a run of two moved";
    EXPECT_EQ(Undo(Ki(), Written(Ki(), {1, 0, 2, 3})).moved, 1) << "post before bar";
    EXPECT_EQ(Undo(Ki(), Written(Ki(), {3, 2, 1, 0})).moved, 3) << "all backwards";
}

TEST(StrokeOrder, ReversedStrokesAreTurnedRound) {
    const STROKE_ORDER order = Undo(Hi(), Turned(Hi(), {0, 3}));
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(order.src[k], k);
        EXPECT_EQ(order.rev[k], k == 0 || k == 3) << k;
    }
    EXPECT_EQ(order.reversed, 2);
    EXPECT_EQ(order.moved, 0);
    // A corner stroke drawn backwards, and a one-stroke character.
    EXPECT_EQ(Undo(Hi(), Turned(Hi(), {1})).reversed, 1);
    EXPECT_EQ(Undo(Ell(), Turned(Ell(), {0})).reversed, 1);
}

TEST(StrokeOrder, OrderAndDirectionTogether) {
    const STROKE_ORDER order = Undo(Ki(), Turned(Written(Ki(), {1, 0, 3, 2}), {0, 2}));
    const int8_t src[4] = {1, 0, 3, 2};
    const uint8_t rev[4] = {0, 1, 0, 1};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(order.src[k], src[k]) << k;
        EXPECT_EQ(order.rev[k], rev[k]) << k;
    }
    EXPECT_EQ(order.moved, 2);
    EXPECT_EQ(order.reversed, 2);
}

TEST(StrokeOrder, OnlyForEqualStrokeCountsWithinTheLimit) {
    Prep hi(Hi()), kou(Kou());
    STROKE_ORDER order{};
    EXPECT_EQ(strokeorder(&hi.p, &kou.p, &order), 0);
    EXPECT_EQ(strokeorder(&kou.p, &hi.p, &order), 0);
    EXPECT_EQ(order.num, 0);
    // More strokes than the assignment takes: matched as written.
    Shape many;
    for (int k = 0; k <= ORDER_MAXSTROKE; ++k) many.push_back({{k * 3, 0}, {k * 3, 100}});
    Prep a(many), b(Written(many, [] {
        std::vector<int> o;
        for (int k = ORDER_MAXSTROKE; k >= 0; --k) o.push_back(k);
        return o;
    }()));
    EXPECT_EQ(strokeorder(&a.p, &b.p, &order), 0);
}

TEST(StrokeOrder, RewritingWithoutACorrespondenceCopies) {
    Prep in(Written(Hi(), {2, 0, 3, 1}));
    STROKE_ORDER none{}; // num 0: not a correspondence of a four-stroke input
    std::vector<POINT_B> buf(size_t(in.p.num));
    PATTERN_B re{};
    re.data = buf.data();
    reorderpattern(&re, &in.p, &none);
    ExpectSamePoints(re, in.p);
}

// --- recognition ---

int AcceptAll(uint16_t, void*) {
    return 1;
}

class CoreOrderTest : public ::testing::Test {
protected:
    void TearDown() override {
        CloseCRSystem();
        SetCROrderFilter(nullptr, nullptr);
        _order_penalty = savedOrder;
        _reverse_penalty = savedReverse;
    }
    void Open(const std::vector<Cat>& cats) {
        const std::string f = dir.File("order.dic");
        ASSERT_EQ(Write(f, cats), 0);
        ASSERT_EQ(OpenCRSystem(f.c_str()), 0);
    }
    std::vector<CR_RESULT> Recognize(const Shape& s, bool anyOrder, int n = 8) {
        SetCROrderFilter(anyOrder ? AcceptAll : nullptr, nullptr);
        std::vector<POINT_W> ink = Ink(s);
        PATTERN_W w{ink.data(), int32_t(ink.size())};
        std::vector<CR_RESULT> res(static_cast<size_t>(n));
        EXPECT_EQ(RecognizeCP(&w, res.data(), n), 0);
        return res;
    }
    static int ScoreOf(const std::vector<CR_RESULT>& res, uint32_t code) {
        for (const CR_RESULT& r : res)
            if (r.code == code) return r.score;
        return 0;
    }
    static std::vector<Cat> Characters() {
        std::vector<Cat> cats;
        auto add = [&](uint16_t code, const Shape& s) {
            Cat c;
            c.code = code;
            c.patterns = {s};
            cats.push_back(c);
        };
        add(kHi, Hi());
        add(kKi, Ki());
        add(0x8D48, Kou());
        add(0x8F5C, Cross());
        add(0x82B5, Ell());
        for (int seed = 0; seed < 6; ++seed) add(uint16_t(0x8A00 + seed), Zigzag(seed));
        return cats;
    }

    static constexpr uint16_t kHi = 0x93FA, kKi = 0x96D8;
    TempDir dir;
    int savedOrder = _order_penalty, savedReverse = _reverse_penalty;
};

TEST_F(CoreOrderTest, StandardOrderScoresExactlyAsBefore) {
    Open(Characters());
    const std::vector<std::pair<uint16_t, Shape>> writings = {{kHi, Scaled(Hi(), 1, 1, 5, 0)},
                                                              {kKi, Scaled(Ki(), 3, 4, 20, 10)},
                                                              {0x8D48, Kou()},
                                                              {0x8F5C, Cross()},
                                                              {0x82B5, Ell()},
                                                              {0x8A01, Zigzag(1)},
                                                              {0x8A04, Zigzag(4)}};
    for (const auto& [code, s] : writings) {
        SCOPED_TRACE(code);
        const auto before = Recognize(s, false);
        const auto after = Recognize(s, true);
        ASSERT_EQ(before[0].code, code);
        EXPECT_EQ(after[0].code, code);
        EXPECT_EQ(after[0].score, before[0].score);
        EXPECT_EQ(after[0].pat_no, before[0].pat_no);
        // Other characters can only gain, by a reordered match.
        for (const CR_RESULT& r : before) {
            if (r.score > 0) {
                EXPECT_GE(ScoreOf(after, r.code), r.score) << r.code;
            }
        }
    }
}

TEST_F(CoreOrderTest, APermutedWritingFindsTheCharacter) {
    Open(Characters());
    const int standard = ScoreOf(Recognize(Hi(), false), kHi);
    ASSERT_GT(standard, 900);
    const Shape writing = Written(Hi(), {2, 0, 3, 1});
    const auto inOrder = Recognize(writing, false);
    EXPECT_LT(ScoreOf(inOrder, kHi), standard - 2 * _order_penalty);
    const auto anyOrder = Recognize(writing, true);
    EXPECT_EQ(anyOrder[0].code, kHi);
    // The permutation undone: the standard writing's score, less the penalty for two
    // strokes out of place.
    EXPECT_EQ(anyOrder[0].score, standard - 2 * _order_penalty);
}

TEST_F(CoreOrderTest, ReversedStrokesFindTheCharacter) {
    Open(Characters());
    const int standard = ScoreOf(Recognize(Ki(), false), kKi);
    ASSERT_GT(standard, 900);
    const Shape writing = Turned(Ki(), {0, 2});
    EXPECT_LT(ScoreOf(Recognize(writing, false), kKi), standard - 2 * _reverse_penalty);
    const auto anyOrder = Recognize(writing, true);
    EXPECT_EQ(anyOrder[0].code, kKi);
    EXPECT_EQ(anyOrder[0].score, standard - 2 * _reverse_penalty);
}

TEST_F(CoreOrderTest, PenaltyKeepsTheStandardOrderAhead) {
    // Two characters of one shape whose strokes come in other orders and directions.
    std::vector<Cat> cats = Characters();
    Cat other;
    other.code = 0x8A50;
    other.patterns = {Turned(Written(Hi(), {0, 2, 1, 3}), {2})};
    cats.push_back(other);
    Open(cats);
    Prep dic(other.patterns[0]), in(Hi());
    STROKE_ORDER order{};
    ASSERT_EQ(strokeorder(&dic.p, &in.p, &order), 1);
    ASSERT_EQ(order.moved, 1);
    ASSERT_EQ(order.reversed, 1);
    const auto res = Recognize(Hi(), true);
    EXPECT_EQ(res[0].code, kHi);
    EXPECT_EQ(res[1].code, 0x8A50u);
    // Put into the other character's order, the writing is that character's own writing.
    const int own = ScoreOf(Recognize(other.patterns[0], false), 0x8A50);
    EXPECT_EQ(res[1].score, own - _order_penalty - _reverse_penalty);
    // Written in the other character's order, that one comes first.
    const auto theirs = Recognize(other.patterns[0], true);
    EXPECT_EQ(theirs[0].code, 0x8A50u);
    EXPECT_EQ(theirs[1].code, kHi);
}

TEST_F(CoreOrderTest, TheOrderFilterChoosesTheCategories) {
    Open(Characters());
    const Shape writing = Written(Hi(), {2, 0, 3, 1});
    const auto inOrder = Recognize(writing, false);
    SetCROrderFilter([](uint16_t code, void*) { return int(code != kHi); }, nullptr);
    std::vector<POINT_W> ink = Ink(writing);
    PATTERN_W w{ink.data(), int32_t(ink.size())};
    std::vector<CR_RESULT> res(8);
    ASSERT_EQ(RecognizeCP(&w, res.data(), 8), 0);
    EXPECT_EQ(ScoreOf(res, kHi), ScoreOf(inOrder, kHi));
}

} // namespace
