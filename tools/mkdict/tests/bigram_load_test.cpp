// The bigram dictionary as the string recognizer reads it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "strrec/bigram.h"
#include "tools/mkdict/bigram_dic.h"

using namespace mkdict;
namespace fs = std::filesystem;

TEST(BigramDictionary, LoadsInTheStringRecognizerWithTheCountedProbabilities) {
    CharCounts c;
    c.AddText("日本日本日本日の\n本を読む\n");
    BigramTables t = MakeBigramTables(c);
    fs::path p = fs::temp_directory_path() / ("mkdict_cbg_" + std::to_string(::getpid()));
    std::string err;
    ASSERT_TRUE(WriteBigramDictionary(p.string(), t, err)) << err;
    CBigramTable table;
    ASSERT_EQ(table.iLoad(p.string().c_str()), 0);
    const uint16_t hi = 0x93FA, hon = 0x967B, no = 0x82CC, wo = 0x82F0;
    const double step = (t.prob[255] - t.prob[1]) / 254;
    // monogram: log of the relative frequency (日 4 of 12)
    EXPECT_NEAR(static_cast<double>(table.dGetLP(hi)), std::log(4.0 / 12), 1e-5);
    // conditional (mode 1): log P(本 | 日) = log 3/4
    EXPECT_NEAR(static_cast<double>(table.dGetLP(hi, hon, 1)), std::log(3.0 / 4), step);
    // joint (mode 0): monogram plus conditional
    EXPECT_NEAR(static_cast<double>(table.dGetLP(hi, hon, 0)),
                std::log(4.0 / 12) + std::log(3.0 / 4), step);
    // an unseen pair takes the floor, below every seen pair
    EXPECT_LT(table.dGetLP(no, hi, 1), table.dGetLP(hon, wo, 1));
    EXPECT_FLOAT_EQ(static_cast<float>(table.dGetLP(no, hi, 1)), t.prob[0]);
    // a character never seen: minus the log of the total count
    EXPECT_NEAR(static_cast<double>(table.dGetLP(0x88A0)), -std::log(12.0), 1e-5);
    fs::remove(p);
}
