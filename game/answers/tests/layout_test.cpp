// Placement of the controls for given window sizes.
#include "game/answers/answerlayout.h"

#include <gtest/gtest.h>

using namespace answers;

TEST(PlayerLayout, SmallestWindow) {
    // 220 x 400: d = min(int(290 * 0.45) = int(130.5) = 130, 210) = 130.
    const AnswerLayout l = ComputeLayout(220, 400, false);
    EXPECT_EQ(l.larder, QRect(45, 5, 130, 130));
    EXPECT_EQ(l.quillbox, QRect(5, 140, 210, 140));
    EXPECT_EQ(l.hint, QRect(5, 280, 210, kHintHeight)) << "a strip above the buttons";
    EXPECT_EQ(l.recButton.topLeft(), QPoint(5, 306));
    EXPECT_EQ(l.recButton.width(), 145);
    EXPECT_EQ(l.clearButton.topLeft(), QPoint(165, 306));
    EXPECT_EQ(l.chkButton.topLeft(), QPoint(5, 306 + l.recButton.height() + 6));
    EXPECT_EQ(l.chkButton.width(), 145);
}

TEST(PlayerLayout, NarrowWindowIsLimitedByWidthAndCentresOddRemainders) {
    // Height allows 0.45 * 890 = 400.5 -> 400, the width only 95.
    const AnswerLayout l = ComputeLayout(105, 1000, false);
    EXPECT_EQ(l.larder.size(), QSize(95, 95));
    // (105 - 95) / 2 = 5.
    EXPECT_EQ(l.larder.left(), 5);
    const AnswerLayout odd = ComputeLayout(106, 1000, false);
    // d = 96, (106 - 96) / 2 = 5.
    EXPECT_EQ(odd.larder.left(), 5);
    const AnswerLayout half = ComputeLayout(400, 333, false);
    // d = int(223 * 0.45 = 100.35) = 100, left (400 - 100) / 2 = 150.
    EXPECT_EQ(half.larder, QRect(150, 5, 100, 100));
    EXPECT_EQ(half.quillbox.height(), 333 - 104 - kHintHeight - 100);
}

TEST(PlayerLayout, TinyWindowGivesEmptyNotNegativeSizes) {
    const AnswerLayout l = ComputeLayout(3, 20, false);
    EXPECT_EQ(l.larder.size(), QSize(0, 0));
    EXPECT_EQ(l.quillbox.size(), QSize(0, 0));
    EXPECT_EQ(l.recButton.width(), 0);
    EXPECT_EQ(l.chkButton.width(), 0);
}

TEST(MirrorLayout, UsesItsOwnMargins) {
    // 220 x 295: d = min(int(280 * 0.45) = 126, 210) = 126.
    const AnswerLayout l = ComputeLayout(220, 295, true);
    EXPECT_EQ(l.larder, QRect(47, 5, 126, 126));
    EXPECT_EQ(l.quillbox, QRect(5, 136, 215, 295 - 15 - 126));
    EXPECT_TRUE(l.recButton.isNull());
    // 0.45 * (45 - 15) = 13.5 -> 14 (even), width 100 - 10 = 90.
    EXPECT_EQ(ComputeLayout(100, 45, true).larder.width(), 14);
    // 0.45 * (25 - 15) = 4.5 -> 4.
    EXPECT_EQ(ComputeLayout(100, 25, true).larder.width(), 4);
}
