#include "tools/tracefont/confusion_table.h"

#include <gtest/gtest.h>

namespace tracefont {
namespace {

TEST(ConfusionTable, MostFrequentFirstTiesInCodeOrder) {
    ConfusionTable t;
    t.Add(0x8CFB, 0x93FA);
    t.Add(0x82A0, 0x82A8);
    t.Add(0x8CFB, 0x93FA);
    t.Add(0x8CFB, 0);
    t.Add(0x8140, 0x8141);
    auto top = t.Top(3);
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(top[0].expected, 0x8CFB);
    EXPECT_EQ(top[0].got, 0x93FA);
    EXPECT_EQ(top[0].count, 2);
    EXPECT_EQ(top[1].expected, 0x8140); // the count-1 pairs by code
    EXPECT_EQ(top[2].expected, 0x82A0);
    EXPECT_EQ(t.Top(10).size(), 4u);
    EXPECT_TRUE(ConfusionTable{}.Top(5).empty());
}

} // namespace
} // namespace tracefont
