// The bigram dictionary as the string recognizer reads it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "strrec/bigram.h"
#include "tools/mkdict/bigram_dic.h"
#include "tools/mkdict/charset.h"

using namespace mkdict;
namespace fs = std::filesystem;

namespace {

// The table as the string recognizer loads it from the file written by the compiler.
void LoadBack(const BigramTables& t, CBigramTable& table) {
    fs::path p = fs::temp_directory_path() / ("mkdict_cbg_" + std::to_string(::getpid()));
    std::string err;
    ASSERT_TRUE(WriteBigramDictionary(p.string(), t, err)) << err;
    ASSERT_EQ(table.iLoad(p.string().c_str()), 0);
    fs::remove(p);
}

} // namespace

TEST(BigramDictionary, LoadsInTheStringRecognizerWithTheCountedProbabilities) {
    CharCounts c;
    c.AddText("日本日本日本日の\n本を読む\n");
    BigramTables t = MakeBigramTables(c, {.backoff = false});
    CBigramTable table;
    LoadBack(t, table);
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
}

TEST(BigramDictionary, UnseenPairsArePunishedAsTheirCharactersRarityWarrants) {
    CharCounts c;
    // 一 and 人 common, never 人 then 一; 鬱 and 鬼 seen once each, never together; the
    // pair 龍虎 seen once
    for (int i = 0; i < 30; ++i) c.AddText("一つ人と一は人の一も人が\n");
    c.AddText("鬱\n鬼\n龍虎\n");
    const uint16_t ichi = *Cp932CodeOfUtf8("一"), hito = *Cp932CodeOfUtf8("人"),
                   to = *Cp932CodeOfUtf8("と"), utsu = *Cp932CodeOfUtf8("鬱"),
                   oni = *Cp932CodeOfUtf8("鬼"), ryu = *Cp932CodeOfUtf8("龍"),
                   tora = *Cp932CodeOfUtf8("虎");
    CBigramTable table;
    LoadBack(MakeBigramTables(c), table);
    ASSERT_EQ(table.m_cVerFlag, BGT_FLAG_LOGCOUNT | BGT_FLAG_CONDITIONAL | BGT_FLAG_BACKOFF);
    auto lp = [&](uint16_t a, uint16_t b, int mode) {
        return static_cast<double>(table.dGetLP(a, b, mode));
    };
    ASSERT_EQ(table.ucGetTagValue(hito, ichi), 0);
    ASSERT_EQ(table.ucGetTagValue(utsu, oni), 0);
    ASSERT_NE(table.ucGetTagValue(ryu, tora), 0);
    // an unseen pair of common characters against an unseen pair of rare ones: in the
    // search's term (mode 1) and in the correction's (mode 0)
    EXPECT_GT(lp(hito, ichi, 1), lp(utsu, oni, 1));
    EXPECT_GT(lp(hito, ichi, 0), lp(utsu, oni, 0) + 4);
    // the string of two common characters never seen together is still more likely than
    // the one of two rare characters seen together once
    EXPECT_GE(lp(hito, ichi, 0), lp(ryu, tora, 0));
    // a seen pair never falls below what the backoff would give it
    for (auto [a, b] : {std::pair{hito, to}, std::pair{ryu, tora}, std::pair{ichi, hito}})
        EXPECT_GE(lp(a, b, 1), static_cast<double>(table.dGetBackoffLP(a, b)));
    // and the common pairs seen stay ahead of the same first character's unseen ones
    EXPECT_GT(lp(hito, to, 1), lp(hito, ichi, 1));

    // without smoothing every unseen pair takes the same floor
    CBigramTable plain;
    LoadBack(MakeBigramTables(c, {.backoff = false}), plain);
    EXPECT_EQ(plain.m_cVerFlag, BGT_FLAG_LOGCOUNT | BGT_FLAG_CONDITIONAL);
    EXPECT_EQ(plain.dGetLP(hito, ichi, 1), plain.dGetLP(utsu, oni, 1));
    EXPECT_FLOAT_EQ(static_cast<float>(plain.dGetLP(hito, ichi, 1)), plain.m_fpProbTable[0]);
}
