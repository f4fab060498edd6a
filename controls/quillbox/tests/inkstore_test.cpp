#include "controls/quillbox/inkstore.h"

#include <gtest/gtest.h>

#include <vector>

using quillbox::InkStore;
using quillbox::StrokeTracker;

namespace {

struct Pt {
    int x, y, attr;
    bool operator==(const Pt&) const = default;
};

std::vector<Pt> Points(const InkStore& ink) {
    std::vector<Pt> out;
    for (int i = 0; i < ink.count(); ++i) out.push_back({ink.at(i).x, ink.at(i).y, ink.at(i).attr});
    return out;
}

constexpr int W = 200, H = 100;

} // namespace

TEST(InkStore, GrowsBy200KeepingEveryPoint) {
    InkStore ink;
    EXPECT_EQ(ink.capacity(), 600);
    for (int i = 0; i < 600; ++i) ink.append(i % 200, i / 200, i == 0 ? PT_PENDOWN : 0);
    EXPECT_EQ(ink.capacity(), 600);
    const PATTERN_W* record = ink.pattern();
    ink.append(7, 8, PT_PENUP); // the 601st point
    EXPECT_EQ(ink.capacity(), 800);
    EXPECT_EQ(ink.count(), 601);
    EXPECT_EQ(ink.pattern(), record) << "the record handed out stays the same";
    EXPECT_EQ(ink.pattern()->num, 601);
    for (int i = 0; i < 600; ++i) {
        ASSERT_EQ(ink.at(i).x, i % 200);
        ASSERT_EQ(ink.at(i).y, i / 200);
    }
    EXPECT_EQ(ink.at(0).attr, PT_PENDOWN);
    EXPECT_EQ((Pt{ink.at(600).x, ink.at(600).y, ink.at(600).attr}), (Pt{7, 8, PT_PENUP}));
    for (int i = 601; i < 801; ++i) ink.append(1, 1, 0);
    EXPECT_EQ(ink.capacity(), 1000);
}

TEST(InkStore, CoordinatesOutsideSixteenBitsSaturate) {
    InkStore ink;
    ink.append(40000, -40000, PT_PENDOWN);
    EXPECT_EQ(ink.at(0).x, 32767);
    EXPECT_EQ(ink.at(0).y, -32768);
}

TEST(InkStore, ClosingAnOpenStroke) {
    InkStore ink;
    ink.closeOpenStroke(); // empty: nothing to do
    EXPECT_EQ(ink.count(), 0);
    ink.append(1, 1, PT_PENDOWN);
    ink.closeOpenStroke(); // a lone pen-down point goes
    EXPECT_EQ(ink.count(), 0);
    ink.append(1, 1, PT_PENDOWN);
    ink.append(2, 2, 0);
    ink.closeOpenStroke(); // an inner last point becomes the last point
    EXPECT_EQ(Points(ink), (std::vector<Pt>{{1, 1, 2}, {2, 2, 4}}));
    ink.closeOpenStroke(); // already closed
    EXPECT_EQ(ink.count(), 2);
}

TEST(InkStore, AssignMakesRoomForTheCountPlus200) {
    InkStore ink;
    std::vector<POINT_W> pts(700, POINT_W{3, 4, 0});
    pts.front().attr = PT_PENDOWN;
    pts.back().attr = PT_PENUP;
    ink.assign(pts.data(), 700);
    EXPECT_EQ(ink.capacity(), 900);
    EXPECT_EQ(ink.count(), 700);
    EXPECT_EQ(ink.at(699).attr, PT_PENUP);
    ink.assign(pts.data(), 10); // fits: the array is kept
    EXPECT_EQ(ink.capacity(), 900);
    EXPECT_EQ(ink.count(), 10);
}

TEST(StrokeTracker, StrokeStoresDownInnerAndUpPoints) {
    InkStore ink;
    StrokeTracker t;
    t.setSource(StrokeTracker::Mouse);
    t.begin(ink, 10, 10);
    auto s1 = t.move(ink, 20, 10, W, H);
    ASSERT_TRUE(s1);
    EXPECT_EQ((std::vector<int>{s1->x1, s1->y1, s1->x2, s1->y2}),
              (std::vector<int>{10, 10, 20, 10}));
    EXPECT_FALSE(t.move(ink, 20, 10, W, H)) << "no movement, nothing stored";
    t.move(ink, 20, 30, W, H);
    EXPECT_EQ(t.horizontalTravel(), 10);
    EXPECT_EQ(t.verticalTravel(), 20);
    auto end = t.end(ink, 25, 35, W, H, 0);
    EXPECT_TRUE(end.kept);
    ASSERT_TRUE(end.line);
    EXPECT_EQ(end.line->x2, 25);
    EXPECT_EQ(Points(ink), (std::vector<Pt>{{10, 10, 2}, {20, 10, 0}, {20, 30, 0}, {25, 35, 4}}));
    EXPECT_EQ(t.source(), StrokeTracker::Idle);
}

TEST(StrokeTracker, PenUpOnTheLastPointMarksItAsLast) {
    InkStore ink;
    StrokeTracker t;
    t.begin(ink, 10, 10);
    t.move(ink, 30, 10, W, H);
    auto end = t.end(ink, 30, 10, W, H, 0);
    EXPECT_TRUE(end.kept);
    EXPECT_FALSE(end.line);
    EXPECT_EQ(Points(ink), (std::vector<Pt>{{10, 10, 2}, {30, 10, 4}}));
}

TEST(StrokeTracker, AClickWithoutMovementStoresNothing) {
    InkStore ink;
    StrokeTracker t;
    t.begin(ink, 10, 10);
    EXPECT_FALSE(t.end(ink, 10, 10, W, H, 0).kept);
    EXPECT_EQ(ink.count(), 0);
    // A pen-up elsewhere without any move: one segment, but no travel, so dropped too.
    t.begin(ink, 10, 10);
    auto end = t.end(ink, 50, 50, W, H, 0);
    EXPECT_TRUE(end.line);
    EXPECT_FALSE(end.kept);
    EXPECT_EQ(ink.count(), 0);
}

TEST(StrokeTracker, MinimumLengthDropsShortStrokesOnly) {
    InkStore ink;
    StrokeTracker t;
    // A first stroke that stays.
    t.begin(ink, 0, 0);
    t.move(ink, 50, 0, W, H);
    ASSERT_TRUE(t.end(ink, 50, 0, W, H, 10).kept);
    ASSERT_EQ(ink.count(), 2);
    // 3 right and 4 down: length 5, below 10.
    t.begin(ink, 100, 50);
    t.move(ink, 103, 50, W, H);
    t.move(ink, 103, 54, W, H);
    EXPECT_FALSE(t.end(ink, 103, 54, W, H, 10).kept);
    EXPECT_EQ(ink.count(), 2) << "only the first stroke remains";
    // The same stroke passes a limit of exactly 5.
    t.begin(ink, 100, 50);
    t.move(ink, 103, 50, W, H);
    t.move(ink, 103, 54, W, H);
    EXPECT_TRUE(t.end(ink, 103, 54, W, H, 5).kept);
    EXPECT_EQ(ink.count(), 5);
}

TEST(StrokeTracker, TravelIgnoresTheFinalSegment) {
    InkStore ink;
    StrokeTracker t;
    t.begin(ink, 0, 0);
    t.move(ink, 3, 0, W, H);
    // The pen-up jumps far away, but only the 3 pixels of moves count.
    EXPECT_FALSE(t.end(ink, 150, 90, W, H, 4).kept);
    EXPECT_EQ(ink.count(), 0);
}

TEST(StrokeTracker, MovesAreClampedToTheBoxButPenDownIsNot) {
    InkStore ink;
    StrokeTracker t;
    t.begin(ink, -5, 120);
    t.move(ink, -50, 500, W, H);
    t.move(ink, 900, -3, W, H);
    t.end(ink, 1000, 1000, W, H, 0);
    EXPECT_EQ(Points(ink),
              (std::vector<Pt>{{-5, 120, 2}, {0, 100, 0}, {200, 0, 0}, {200, 100, 4}}));
}

TEST(StrokeTracker, ANewStrokeClosesOneLeftOpen) {
    InkStore ink;
    StrokeTracker t;
    t.begin(ink, 0, 0);
    t.move(ink, 10, 10, W, H);
    t.reset(); // the stroke was abandoned without a pen-up
    t.begin(ink, 50, 50);
    EXPECT_EQ(Points(ink), (std::vector<Pt>{{0, 0, 2}, {10, 10, 4}, {50, 50, 2}}));
    EXPECT_EQ(t.strokeStart(), 2);
    // An abandoned lone pen-down point is removed, and a dropped stroke after it
    // leaves nothing of its own behind.
    t.reset();
    t.begin(ink, 60, 60);
    EXPECT_FALSE(t.end(ink, 60, 60, W, H, 0).kept);
    EXPECT_EQ(ink.count(), 2);
}
