#include "strrec/charkind.h"
#include "strrec/charsize.h"
#include "strrec/strokes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// A stroke list behind a dummy head, freed at the end of the test.
struct StrokeList {
    tagMYSTROKE head{};
    tagMYSTROKE* last = &head;
    ~StrokeList() { vFreeStrokeList(head.next); }
    tagMYSTROKE* Add(std::vector<tagPOINT> pts) {
        tagMYSTROKE* s = pAddStroke(last, pts.data(), static_cast<int>(pts.size()));
        if (s != nullptr) last = s;
        return s;
    }
};

tagMYSTROKE MakeBoxStroke(int l, int t, int r, int b) {
    tagMYSTROKE s{};
    s.rcBound = {l, t, r, b};
    return s;
}

TEST(Geometry, CityBlockAndRectangles) {
    EXPECT_EQ(iGetCityBlockDist(1, 2, -3, 5), 7);
    EXPECT_EQ(iCheckRectangle({0, 0, 0, 0}), RIGHT);
    EXPECT_EQ(iCheckRectangle({5, 0, 4, 0}), SR_BAD_RECT);
    EXPECT_EQ(iCheckRectangle({0, 5, 0, 4}), SR_BAD_RECT);
    EXPECT_EQ(lGetRectangleArea({3, 3, 3, 3}), 1); // degenerate boxes count as one unit
    EXPECT_EQ(lGetRectangleArea({0, 0, 10, 0}), 10);
    EXPECT_EQ(lGetRectangleArea({0, 0, 10, 4}), 40);
    tagRECT r{0, 0, 1, 1};
    EXPECT_EQ(iUpdateRect(r, {-5, 2, 3, 9}), RIGHT);
    EXPECT_EQ(r.left, -5);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 3);
    EXPECT_EQ(r.bottom, 9);
}

TEST(Geometry, OverlapRates) {
    // Boxes that share only an edge overlap by a line whose area is the edge's length.
    EXPECT_EQ(lGetAreaOfOverlappedRect({0, 0, 10, 10}, {10, 2, 20, 8}), 6);
    tagMYSTROKE a = MakeBoxStroke(0, 0, 10, 10), b = MakeBoxStroke(20, 0, 30, 10);
    EXPECT_EQ(iGetOverlappingRateOfStrokes(&a, &b), 0);
    tagMYSTROKE big = MakeBoxStroke(0, 0, 100, 100), in = MakeBoxStroke(10, 10, 20, 30);
    EXPECT_EQ(iGetOverlappingRateOfStrokes(&big, &in), 100);
    EXPECT_EQ(iGetOverlappingRateOfStrokes(&in, &big), 100);
    tagMYSTROKE half = MakeBoxStroke(5, 0, 15, 10);
    EXPECT_EQ(iGetOverlappingRateOfStrokes(&a, &half), 50);
    EXPECT_EQ(iGetOverlappingRateOfStrokes(nullptr, &a), SR_FAIL);
}

TEST(PointSequences, CentreTruncatesTowardsZero) {
    tagPOINT pts[] = {{-3, -3}, {0, 0}};
    tagPOINT c{};
    EXPECT_EQ(iGetStrokeCenter(c, pts, 2), RIGHT);
    EXPECT_EQ(c.x, -1);
    EXPECT_EQ(c.y, -1);
    tagPOINT mean[] = {{-3, 1}, {0, 1}, {-4, 2}};
    EXPECT_EQ(iGetStrokeCenterX(mean, 3), -2); // -7/3
    EXPECT_EQ(iGetStrokeCenterY(mean, 3), 1);
    EXPECT_EQ(iGetStrokeLength(pts, 2), 6);
    EXPECT_EQ(iGetStrokeLength(nullptr, 2), SR_FAIL);
    EXPECT_EQ(pAllocPointSeq(0), nullptr);
}

TEST(Strokes, OnePointStroke) {
    StrokeList list;
    tagMYSTROKE* s = list.Add({{7, 9}});
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->iPointCount, 1);
    EXPECT_EQ(s->iStrokeLen, 0);
    EXPECT_EQ(s->rcBound.left, 7);
    EXPECT_EQ(s->rcBound.right, 7);
    EXPECT_EQ(s->xyCenter.x, 7);
    EXPECT_EQ(s->xyCenter.y, 9);
    EXPECT_EQ(s->xyStart.x, s->xyEnd.x);
}

TEST(Strokes, AddInsertsBehindAndDeleteUnlinks) {
    StrokeList list;
    tagMYSTROKE* a = list.Add({{0, 0}, {10, 0}});
    tagMYSTROKE* c = list.Add({{20, 0}});
    tagPOINT mid[] = {{5, 5}, {6, 6}};
    tagMYSTROKE* b = pAddStroke(a, mid, 2);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(b->next, c);
    EXPECT_NE(b->pxyData, mid); // the stroke owns a copy
    b->unStrokeNo = 42;
    EXPECT_EQ(iGetStrokeCountOfList(list.head.next), 3);
    EXPECT_EQ(unDeleteStroke(a), 42);
    EXPECT_EQ(a->next, c);
    // Deleting behind the last stroke returns -1 and changes nothing.
    EXPECT_EQ(unDeleteStroke(c), -1);
    EXPECT_EQ(iGetStrokeCountOfList(list.head.next), 2);
    EXPECT_EQ(pAddStroke(a, nullptr, 2), nullptr);
    EXPECT_EQ(pAddStroke(a, mid, 0), nullptr);
    EXPECT_EQ(a->next, c);
}

TEST(Patterns, SplicingKeepsEveryRunIntact) {
    // Shared list: dummy -> s1 -> s2, described by the dummy pattern P0 (empty run at the
    // head) and the pattern A of s1, s2.
    tagMYSTROKE dummy{};
    tagMYPATTERN p0{};
    p0.tail = &dummy.next;
    StrokeList chainA;
    chainA.Add({{0, 0}, {1, 1}});
    chainA.Add({{2, 2}});
    tagMYSTROKE* aHead = chainA.head.next;
    chainA.head.next = nullptr; // ownership moves into the shared list
    tagMYPATTERN* a = pAddPattern(&p0, aHead);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(dummy.next, aHead);
    EXPECT_EQ(iGetStrokeCountOfPattern(a), 2);
    EXPECT_EQ(iGetPointCountOfPattern(a), 3);

    // Insert B (one stroke) between P0 and A: B's stroke must lead into A's run.
    StrokeList chainB;
    chainB.Add({{50, 50}, {60, 50}});
    tagMYSTROKE* bHead = chainB.head.next;
    chainB.head.next = nullptr;
    tagMYPATTERN* b = pAddPattern(&p0, bHead);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(dummy.next, bHead);
    EXPECT_EQ(bHead->next, aHead);
    EXPECT_EQ(p0.next, b);
    EXPECT_EQ(b->next, a);
    EXPECT_EQ(*b->tail, aHead);
    EXPECT_EQ(iGetStrokeCountOfPattern(b), 1);
    EXPECT_EQ(iGetStrokeCountOfPattern(a), 2);
    EXPECT_EQ(iGetTotalStrokeLenOfPattern(b), 10);
    EXPECT_EQ(iGetPatternCountOfList(&p0), 3);
    tagRECT rc;
    EXPECT_EQ(iGetPatternBound(&rc, b), RIGHT);
    EXPECT_EQ(rc.left, 50);
    EXPECT_EQ(rc.right, 60);

    // Remove B again: the list and A are as before.
    vDeletePattern(&p0);
    EXPECT_EQ(dummy.next, aHead);
    EXPECT_EQ(p0.next, a);
    EXPECT_EQ(iGetStrokeCountOfPattern(a), 2);
    vDeletePattern(a); // no successor: nothing happens
    EXPECT_EQ(iGetStrokeCountOfPattern(a), 2);
    vDeletePattern(&p0);
    EXPECT_EQ(dummy.next, nullptr);
    EXPECT_EQ(p0.next, nullptr);
    EXPECT_EQ(pAddPattern(nullptr, aHead), nullptr);
}

TEST(Patterns, ConversionOfThreeAndOnePoints) {
    StrokeList list;
    list.Add({{1, 2}, {3, 4}, {70000, -5}});
    list.Add({{9, 9}});
    tagMYPATTERN pat{};
    ASSERT_EQ(iSetPatternAddInfo(&pat, list.head.next), RIGHT);
    PATTERN_W* patw = pTransMYPATtoPATW(&pat);
    ASSERT_NE(patw, nullptr);
    ASSERT_EQ(patw->num, 4);
    EXPECT_EQ(patw->data[0].attr, 2);
    EXPECT_EQ(patw->data[1].attr, 0);
    EXPECT_EQ(patw->data[2].attr, 4);
    EXPECT_EQ(patw->data[3].attr, 6);
    EXPECT_EQ(patw->data[2].x, static_cast<int16_t>(70000 & 0xFFFF)); // cut to 16 bits
    EXPECT_EQ(patw->data[2].y, -5);
    for (int n = 4; n < 7; ++n) {
        EXPECT_EQ(patw->data[n].x, 0);
        EXPECT_EQ(patw->data[n].y, 0);
        EXPECT_EQ(patw->data[n].attr, 0);
    }
    vDeletePATW(patw);
    EXPECT_EQ(pTransMYPATtoPATW(nullptr), nullptr);
}

TEST(CharKind, Classes) {
    EXPECT_EQ(iTellCharCodeKind(0x88EA), CK_SIMPLEKANJI); // 一
    EXPECT_EQ(iTellCharCodeKind(0x8ABF), CK_KANJI);       // 漢
    EXPECT_EQ(iTellCharCodeKind(0x0041), CK_OTHER);
    EXPECT_EQ(iTellCharCodeKind(0x8260), CK_ALNUM);
    EXPECT_EQ(iTellCharCodeKind(0x824F), CK_ALNUM);
    EXPECT_EQ(iTellCharCodeKind(0x82A0), CK_KANA);
    EXPECT_EQ(iTellCharCodeKind(0x8396), CK_KANA);
    EXPECT_EQ(iTellCharCodeKind(0x8142), CK_PUNCT);
    EXPECT_EQ(iTellCharCodeKind(0x989F), CK_KANJI);
    EXPECT_EQ(iTellCharCodeKind(0x1889F), CK_SIMPLEKANJI); // only the low 16 bits count
    EXPECT_EQ(iTellCharCodeKind(0xFC4C), CK_OTHER);
}

TEST(CharKind, SimpleKanjiTable) {
    ASSERT_EQ(g_iSimpleKanjiCount, 358);
    EXPECT_EQ(g_wSimpleKanji[0], 0x889F);                       // 亜
    EXPECT_EQ(g_wSimpleKanji[g_iSimpleKanjiCount - 1], 0x9870); // 湾
    for (int n = 1; n < g_iSimpleKanjiCount; ++n)
        EXPECT_LT(g_wSimpleKanji[n - 1], g_wSimpleKanji[n]);
    for (int n = 0; n < g_iSimpleKanjiCount; ++n) EXPECT_TRUE(issymplekanji(g_wSimpleKanji[n]));
    EXPECT_TRUE(issymplekanji(0x8CFB));  // 口
    EXPECT_FALSE(issymplekanji(0x8ABF)); // 漢
}

// ---- character size ----

TYPESIZE Filled(std::vector<int> widths, std::vector<int> heights) {
    TYPESIZE ts{};
    for (size_t n = 0; n < widths.size(); ++n) ts.DataWide[n] = static_cast<int16_t>(widths[n]);
    for (size_t n = 0; n < heights.size(); ++n) ts.DataHigh[n] = static_cast<int16_t>(heights[n]);
    ts.WideCount = static_cast<int16_t>(widths.size());
    ts.HighCount = static_cast<int16_t>(heights.size());
    return ts;
}

TEST(CharSize, AverageDividesByCountPlusOne) {
    TYPESIZE ts = Filled({100}, {100});
    EXPECT_EQ(GetAverage(ts), 66);
}

TEST(CharSize, OutliersAreDropped) {
    // Average (50 * 6 + 150) / 8 = 56: 150 >= 2.5 * 56 is dropped; then 300 / 7 = 42 keeps
    // every 50 (42 < 1.2 * 50).
    TYPESIZE ts = Filled({50, 50, 50, 150}, {50, 50, 50});
    int size = GetCharSize(ts);
    EXPECT_EQ(ts.DataWide[3], 0);
    EXPECT_EQ(ts.DataWide[0], 50);
    EXPECT_EQ(ts.DataHigh[2], 50);
    // Spread of the 200 width slots before filtering: sqrt(30000 / 200 - 1.5^2) = 12.15.
    EXPECT_EQ(size, 42 + 12);
}

TEST(CharSize, OnePassCanDropEverything) {
    // Average (40 * 6 + 400) / 8 = 80 drops 400 (>= 200) and every 40 (80 >= 48) at once.
    TYPESIZE ts = Filled({40, 40, 40, 400}, {40, 40, 40});
    int size = GetCharSize(ts);
    for (int n = 0; n < 4; ++n) EXPECT_EQ(ts.DataWide[n], 0);
    EXPECT_EQ(size, static_cast<int>(std::sqrt((3 * 1600.0 + 160000.0) / 200 - 2.6 * 2.6)));
}

TEST(CharSize, SmallValuesAtTheLimitAreDropped) {
    // Average (100*4 + 60) / 6 = 76; 60 * 1.2 = 72 <= 76 drops 60; then 400/5 = 80 keeps 100.
    TYPESIZE ts = Filled({100, 100, 60}, {100, 100});
    GetCharSize(ts);
    EXPECT_EQ(ts.DataWide[2], 0);
    EXPECT_EQ(ts.DataWide[0], 100);
    EXPECT_EQ(ts.DataHigh[1], 100);
}

TEST(CharSize, LineOfCrossesIsAboutOneCrossWide) {
    StrokeList list;
    for (int c = 0; c < 4; ++c) {
        list.Add({{100 * c + 10, 50}, {100 * c + 70, 50}});
        list.Add({{100 * c + 40, 20}, {100 * c + 40, 80}});
    }
    int size = nGetCharacterSize(list.head.next);
    EXPECT_GT(size, 45);
    EXPECT_LT(size, 80);
}

TEST(CharSize, JumpBackStartsANewGroup) {
    // A second row written after jumping back, shifted so that as one group its ink
    // would fill the gaps of the first row and merge everything into one wide run.
    auto measure = [](bool secondRow) {
        StrokeList list;
        for (int c = 0; c < 4; ++c)
            list.Add({{100 * c + 10, 50}, {100 * c + 70, 50}, {100 * c + 70, 100}});
        if (secondRow)
            for (int c = 0; c < 4; ++c)
                list.Add({{100 * c + 60, 250}, {100 * c + 120, 250}, {100 * c + 120, 300}});
        return nGetCharacterSize(list.head.next);
    };
    int one = measure(false), two = measure(true);
    EXPECT_GT(one, 0);
    EXPECT_NEAR(two, one, 15);
}

TEST(CharSize, NoSegmentGivesZero) {
    StrokeList list;
    list.Add({{10, 10}});
    list.Add({{30, 10}});
    EXPECT_EQ(nGetCharacterSize(list.head.next), 0);
    EXPECT_EQ(nGetCharacterSize(nullptr), 0);
}

TEST(CharSize, HugeCoordinatesGiveNoEstimate) {
    StrokeList list;
    list.Add({{0, 0}, {2000000000, 5}});
    EXPECT_EQ(nGetCharacterSize(list.head.next), 0);
}

} // namespace
