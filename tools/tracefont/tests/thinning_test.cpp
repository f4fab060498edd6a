#include "tools/tracefont/thinning.h"

#include <gtest/gtest.h>

#include "tools/tracefont/tests/shapes.h"

namespace tracefont {
namespace {

using test::Components;
using test::FillRect;
using test::Line;

int InkNeighbours(const Bitmap& b, int x, int y) {
    int n = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) n += (dx || dy) && b.At(x + dx, y + dy);
    return n;
}

TEST(Thinning, ThickBarBecomesOneLineOfAboutItsLength) {
    Bitmap b(100, 60);
    FillRect(b, 20, 25, 79, 33); // 60 x 9
    Bitmap s = Thin(b);
    PixelBox box = InkBox(s);
    ASSERT_FALSE(box.Empty());
    EXPECT_EQ(Components(s), 1);
    // one pixel per column, on the bar's middle rows, over nearly its whole length
    for (int x = 0; x < s.width; ++x) {
        int n = 0;
        for (int y = 0; y < s.height; ++y) n += s.At(x, y);
        EXPECT_LE(n, 1) << "column " << x;
    }
    EXPECT_GE(box.y0, 27);
    EXPECT_LE(box.y1, 31);
    int length = box.x1 - box.x0 + 1;
    EXPECT_GE(length, 50);
    EXPECT_LE(length, 60);
    EXPECT_EQ(s.Count(), length);
}

TEST(Thinning, PlusStaysConnectedWithFourArms) {
    Bitmap b(100, 100);
    FillRect(b, 10, 45, 89, 54);
    FillRect(b, 45, 10, 54, 89);
    Bitmap s = Thin(b);
    EXPECT_EQ(Components(s), 1);
    PixelBox box = InkBox(s);
    EXPECT_LE(box.x0, 18);
    EXPECT_GE(box.x1, 81);
    EXPECT_LE(box.y0, 18);
    EXPECT_GE(box.y1, 81);
    int ends = 0, branches = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (s.At(x, y)) {
                int n = InkNeighbours(s, x, y);
                ends += n == 1;
                branches += n >= 3;
            }
    EXPECT_EQ(ends, 4);
    EXPECT_GE(branches, 1);
}

TEST(Thinning, RingKeepsItsHole) {
    Bitmap b(80, 80);
    FillRect(b, 10, 10, 69, 69);
    for (int y = 25; y <= 54; ++y)
        for (int x = 25; x <= 54; ++x) b.Set(x, y, false);
    Bitmap s = Thin(b);
    EXPECT_EQ(Components(s), 1);
    // every row through the hole still crosses the ring twice
    for (int y = 30; y <= 50; y += 10) {
        int crossings = 0;
        for (int x = 0; x < 80; ++x) crossings += s.At(x, y) && !s.At(x - 1, y);
        EXPECT_EQ(crossings, 2) << "row " << y;
    }
    EXPECT_FALSE(s.At(40, 40));
}

TEST(Thinning, ThinLinesAndEmptyPicturesStay) {
    Bitmap empty(20, 20);
    EXPECT_EQ(Thin(empty).Count(), 0);

    Bitmap diagonal(40, 40);
    Line(diagonal, 5, 5, 34, 30);
    Bitmap s = Thin(diagonal);
    EXPECT_EQ(Components(s), 1);
    EXPECT_TRUE(s.At(5, 5));
    EXPECT_TRUE(s.At(34, 30));
    EXPECT_GE(s.Count(), 28);

    Bitmap dot(10, 10);
    FillRect(dot, 4, 4, 5, 5);
    EXPECT_GE(Thin(dot).Count(), 1); // a small blob keeps a pixel
}

TEST(Thinning, StaircaseCornersAreDropped) {
    // an L of one-pixel lines with a filled corner becomes a clean diagonal join
    Bitmap b(20, 20);
    Line(b, 2, 10, 10, 10);
    Line(b, 10, 10, 10, 2);
    Bitmap s = Thin(b);
    EXPECT_EQ(Components(s), 1);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            if (!s.At(x, y)) continue;
            EXPECT_LE(InkNeighbours(s, x, y), 2) << x << "," << y;
        }
}

} // namespace
} // namespace tracefont
