#include "strrec/strokeset.h"
#include "strrec/tmpsegres.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct StrokeList {
    tagMYSTROKE head{};
    tagMYSTROKE* last = &head;
    ~StrokeList() { vFreeStrokeList(head.next); }
    tagMYSTROKE* Add(std::vector<tagPOINT> pts) {
        tagMYSTROKE* s = pAddStroke(last, pts.data(), static_cast<int>(pts.size()));
        if (s != nullptr) last = s;
        return s;
    }
    // A horizontal bar from x0 to x1 at height y.
    tagMYSTROKE* Bar(int x0, int x1, int y = 50) { return Add({{x0, y}, {x1, y + 20}}); }
};

const tagSIZE kSize{100, 100};

TEST(Separability, DistanceAndOverlapDecide) {
    StrokeList l;
    tagMYSTROKE* a = l.Bar(0, 20);      // centre 10
    tagMYSTROKE* far = l.Bar(141, 161); // centre 151: 141 % apart
    tagMYSTROKE* near = l.Bar(50, 70);  // centre 60: 50 %, disjoint boxes
    tagMYSTROKE* wide = l.Bar(0, 100);  // centre 50: 40 %, but covers a completely
    EXPECT_EQ(iIsSeparableStroke(a, far, kSize), 1);
    EXPECT_EQ(iIsSeparableStroke(far, a, kSize), 1); // backwards counts as well
    EXPECT_EQ(iIsSeparableStroke(a, near, kSize), 2);
    EXPECT_EQ(iIsSeparableStroke(a, wide, kSize), 0);
    EXPECT_EQ(iIsSeparableStroke(a, nullptr, kSize), 1);
    EXPECT_EQ(iIsSeparableStroke(nullptr, a, kSize), -1);
    tagMYSTROKE* close = l.Bar(15, 35); // centre 25: 15 %
    EXPECT_EQ(iIsSeparableStroke(a, close, kSize), 0);
    // Exactly 130 % is not yet definite.
    tagMYSTROKE* at = l.Bar(140, 140);
    EXPECT_EQ(iGetStrokeDistParam(a, at, kSize), 130);
    EXPECT_EQ(iIsSeparableStroke(a, at, kSize), 2);
}

TEST(Separability, OverlapRateOfBoxes) {
    EXPECT_EQ(lGetOvelapRate({0, 0, 10, 10}, {5, 0, 15, 10}), 5 * 100 / 11);
    EXPECT_EQ(lGetOvelapRate({0, 0, 10, 10}, {10, 0, 20, 10}), 100 / 11); // touching counts as 1
    EXPECT_EQ(lGetOvelapRate({0, 0, 10, 10}, {11, 0, 20, 10}), 0);
    EXPECT_TRUE(bIsOverlappded({0, 0, 100, 10}, {40, 0, 60, 10}));
    EXPECT_FALSE(bIsOverlappded({0, 0, 10, 10}, {5, 0, 15, 10}));
}

TEST(PreSegmentation, ElementsAndStrokeNumbers) {
    // Strokes 0..2 | 3..5 | 6: each group 200 units right of the previous one.
    StrokeList l;
    int no = 0;
    for (int g = 0; g < 3; ++g)
        for (int s = 0; s < (g == 2 ? 1 : 3); ++s)
            l.Bar(200 * g + 5 * s, 200 * g + 5 * s + 40)->unStrokeNo = no++;
    TMPSEGRES seg;
    long h = 0, t = 0;
    EXPECT_EQ(seg.lGetStrokeNoOfNthElm(0, &h, &t), 1); // before segmentation
    ASSERT_EQ(seg.lTemporarySegment(&l.head, 7, kSize), 0);
    ASSERT_EQ(seg.iGetElmCount(), 3);
    EXPECT_EQ(seg.lGetStrokeNoOfNthElm(1, &h, &t), 0);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(t, 6);
    EXPECT_EQ(seg.lGetStrokeNoOfNthElm(3, &h, &t), 4);
    EXPECT_EQ(seg.lGetStrokeNoOfNthElm(-1, &h, &t), 4);
    EXPECT_EQ(seg.lGetElmNoHead(3), 1);
    EXPECT_EQ(seg.lGetElmNoHead(4), -1);
    EXPECT_EQ(seg.lGetElmNoTail(5), 1);
    EXPECT_EQ(seg.lGetElmNoTail(6), 2);
    EXPECT_TRUE(seg.bIsElmHead(6));
    tagRECT box{};
    EXPECT_EQ(seg.lGetNthElmBound(1, &box), 0);
    EXPECT_EQ(box.left, 200);
    EXPECT_EQ(box.right, 250);
    // Every boundary is definite here, ending with the element count.
    ASSERT_EQ(seg.iGetSegCount(), 3);
    EXPECT_EQ(seg.iGetSegData(0), 1);
    EXPECT_EQ(seg.iGetSegData(2), 3);
}

TEST(PreSegmentation, StrokeRightOfTheElementMayBeginACharacter) {
    // Stroke 2 begins right of stroke 1 but inside stroke 0's extent: same character.
    // Stroke 3 begins right of all of them, its centre only 30 % right of stroke 2's (the
    // same character by their separability): a new element.
    StrokeList l;
    l.Bar(0, 60);
    l.Bar(20, 30);
    l.Bar(31, 40);
    l.Bar(61, 70);
    ASSERT_EQ(iIsSeparableStroke(l.head.next->next, l.head.next->next->next, kSize), 0);
    ASSERT_EQ(iIsSeparableStroke(l.head.next->next->next, l.last, kSize), 0);
    TMPSEGRES seg;
    ASSERT_EQ(seg.lTemporarySegment(&l.head, 4, kSize), 0);
    ASSERT_EQ(seg.iGetElmCount(), 2);
    long h, t;
    seg.lGetStrokeNoOfNthElm(0, &h, &t);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(t, 3);
    seg.lGetStrokeNoOfNthElm(1, &h, &t);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(t, 4);
    // Such a boundary is a possible one only: no definite boundary but the line's end.
    ASSERT_EQ(seg.iGetSegCount(), 1);
    EXPECT_EQ(seg.iGetSegData(0), 2);
}

TEST(PreSegmentation, OverlappingElementsMerge) {
    // Stroke 1 is 40 % right of stroke 0 and far below it (possible boundary), but lies
    // horizontally inside it: the two elements become one.
    StrokeList l;
    l.Bar(0, 100);
    l.Bar(85, 95, 200);
    l.Bar(400, 420);
    ASSERT_EQ(iIsSeparableStroke(l.head.next, l.head.next->next, kSize), 2);
    TMPSEGRES seg;
    ASSERT_EQ(seg.lTemporarySegment(&l.head, 3, kSize), 0);
    ASSERT_EQ(seg.iGetElmCount(), 2);
    long h, t;
    seg.lGetStrokeNoOfNthElm(0, &h, &t);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(t, 2);
    tagRECT box{};
    seg.lGetNthElmBound(0, &box);
    EXPECT_EQ(box.bottom, 220);
    ASSERT_EQ(seg.iGetSegCount(), 2);
    EXPECT_EQ(seg.iGetSegData(0), 1);
    EXPECT_EQ(seg.iGetSegData(1), 2);
}

TEST(PreSegmentation, MergedElementIsComparedWithTheOneBefore) {
    // A (120..140) and B (150..190) do not overlap; C (100..400, below) swallows B, and
    // the grown B+C then covers A as well.
    StrokeList l;
    l.Bar(120, 140);
    l.Bar(150, 190);
    l.Bar(100, 400, 200);
    TMPSEGRES seg;
    ASSERT_EQ(seg.lTemporarySegment(&l.head, 3, kSize), 0);
    EXPECT_EQ(seg.iGetElmCount(), 1);
    EXPECT_EQ(seg.iGetSegCount(), 1);
}

TEST(PreSegmentation, GrowsBeyondOneBlock) {
    StrokeList l;
    for (int n = 0; n < 200; ++n)
        l.Bar(300 * n, 300 * n + 50)->unStrokeNo = static_cast<uint16_t>(n);
    TMPSEGRES seg;
    ASSERT_EQ(seg.lTemporarySegment(&l.head, 200, kSize), 0);
    EXPECT_EQ(seg.iGetElmCount(), 200);
    EXPECT_EQ(seg.iGetSegCount(), 200);
    long h, t;
    seg.lGetStrokeNoOfNthElm(199, &h, &t);
    EXPECT_EQ(h, 199);
    EXPECT_EQ(t, 200);
}

// A candidate made of fixed characters (stroke ranges).
class FakeChars : public ICharStrokes {
public:
    explicit FakeChars(std::vector<std::pair<long, long>> chars) : m_chars(std::move(chars)) {}
    long lCharCountOfCand(long cand) const override {
        return cand == 0 ? static_cast<long>(m_chars.size()) : -1;
    }
    bool bStrokesOfChar(long cand, long n, long* h, long* t) const override {
        if (cand != 0 || n < 0 || n >= static_cast<long>(m_chars.size())) return false;
        *h = m_chars[n].first;
        *t = m_chars[n].second;
        return true;
    }

private:
    std::vector<std::pair<long, long>> m_chars;
};

std::vector<std::pair<long, long>> Runs(const STROKESETINFO& info) {
    std::vector<std::pair<long, long>> runs;
    for (long n = 0; n < info.lGetTagCount(); ++n) {
        long h = -1, t = -1;
        EXPECT_TRUE(info.bGetTagInfo(n, &h, &t));
        runs.push_back({h, t});
    }
    return runs;
}

using Runs_t = std::vector<std::pair<long, long>>;

TEST(StrokeSets, NoStatementReproducesTheCandidate) {
    FakeChars chars({{0, 1}, {2, 4}, {5, 5}});
    STROKESETINFO info(6, &chars);
    EXPECT_FALSE(info.bCalcTagData()); // no candidate chosen yet
    ASSERT_TRUE(info.bGiveStrokeInfo(0, 2, 4));
    ASSERT_TRUE(info.bCalcTagData());
    EXPECT_EQ(Runs(info), (Runs_t{{0, 1}, {2, 4}, {5, 5}}));
}

TEST(StrokeSets, StatementAcrossTwoCharactersMakesThree) {
    FakeChars chars({{0, 3}, {4, 7}});
    STROKESETINFO info(8, &chars);
    ASSERT_TRUE(info.bGiveStrokeInfo(0, 2, 5));
    ASSERT_TRUE(info.bCalcTagData());
    EXPECT_EQ(Runs(info), (Runs_t{{0, 1}, {2, 5}, {6, 7}}));
    long h, t;
    EXPECT_FALSE(info.bGetTagInfo(3, &h, &t));
    EXPECT_FALSE(info.bGetTagInfo(-1, &h, &t));
    EXPECT_EQ(info.lGetStackDepth(), 2); // computing leaves the statements
}

TEST(StrokeSets, NewerStatementWinsAndSplitsAnOlderOne) {
    FakeChars chars({{0, 5}});
    STROKESETINFO info(6, &chars);
    ASSERT_TRUE(info.bGiveStrokeInfo(0, 0, 5));
    ASSERT_TRUE(info.bGiveStrokeInfo(0, 2, 3));
    ASSERT_TRUE(info.bCalcTagData());
    // The older statement's strokes lie on both sides: each side is its own character,
    // with a tag of its own, so the tags handed out are the characters.
    EXPECT_EQ(Runs(info), (Runs_t{{0, 1}, {2, 3}, {4, 5}}));
    EXPECT_EQ(info.lGetTagCount(), 3);
    EXPECT_NE(info.lGetTag(0), info.lGetTag(4));
    EXPECT_EQ(info.lGetTag(0), info.lGetTag(1));
}

TEST(StrokeSets, StatementCutSeveralTimesAndOneCoveredEntirely) {
    FakeChars chars({{0, 9}});
    STROKESETINFO info(10, &chars);
    ASSERT_TRUE(info.bGiveStrokeInfo(0, 0, 8)); // cut by the two after it
    ASSERT_TRUE(info.bGiveStrokeInfo(0, 3, 4)); // covered by the newest: hands out nothing
    ASSERT_TRUE(info.bGiveStrokeInfo(0, 2, 5));
    ASSERT_TRUE(info.bGiveStrokeInfo(0, 7, 7));
    ASSERT_TRUE(info.bCalcTagData());
    EXPECT_EQ(Runs(info), (Runs_t{{0, 1}, {2, 5}, {6, 6}, {7, 7}, {8, 8}, {9, 9}}));
    EXPECT_EQ(info.lGetTagCount(), 6);
    EXPECT_NE(info.lGetTag(0), info.lGetTag(6));
    EXPECT_NE(info.lGetTag(6), info.lGetTag(8));
}

TEST(StrokeSets, RefusalsAndUndo) {
    FakeChars chars({{0, 3}});
    STROKESETINFO info(4, &chars);
    EXPECT_FALSE(info.bUndoPrevAction());
    EXPECT_FALSE(info.bGiveStrokeInfo(0, 2, 1));
    EXPECT_FALSE(info.bGiveStrokeInfo(0, 0, 4)); // beyond the strokes
    ASSERT_TRUE(info.bGiveStrokeInfo(0, 0, 1));
    EXPECT_FALSE(info.bGiveStrokeInfo(1, 2, 3)); // another candidate
    EXPECT_EQ(info.lGetCandNo(), 0);
    EXPECT_TRUE(info.bUndoPrevAction());
    EXPECT_EQ(info.lGetCandNo(), STROKESETINFO::kNone);
    EXPECT_TRUE(info.bGiveStrokeInfo(1, 2, 3)); // free again
}

TEST(StrokeSets, StackNeverOverflows) {
    FakeChars chars({{0, 0}});
    STROKESETINFO info(1, &chars);
    for (int n = 0; n < STROKESETINFO::kStackSize / 2; ++n)
        ASSERT_TRUE(info.bGiveStrokeInfo(0, 0, 0));
    EXPECT_FALSE(info.bGiveStrokeInfo(0, 0, 0));
    EXPECT_EQ(info.lGetStackDepth(), STROKESETINFO::kStackSize);
    EXPECT_TRUE(info.bCalcTagData());
    EXPECT_EQ(info.lGetTagCount(), 1);
}

} // namespace
