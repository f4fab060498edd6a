#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "tools/mkdict/bigram_dic.h"

using namespace mkdict;
namespace fs = std::filesystem;

namespace {

const BigramTables::First* FindFirst(const BigramTables& t, uint16_t code) {
    for (const auto& f : t.firsts)
        if (f.code == code) return &f;
    return nullptr;
}

double PairValue(const BigramTables& t, uint16_t a, uint16_t b) {
    const auto* f = FindFirst(t, a);
    if (!f) return t.prob[0];
    for (size_t i = 0; i < f->seconds.size(); ++i)
        if (f->seconds[i] == b) return t.prob[f->tags[i]];
    return t.prob[0];
}

} // namespace

TEST(BigramQuantization, NearestTagNeverTheFloor) {
    std::array<float, 256> p{};
    p[0] = -20;
    for (int i = 1; i < 256; ++i) p[i] = -10 + 10.0f * (i - 1) / 254;
    EXPECT_EQ(QuantizeLogProb(p, -10), 1);
    EXPECT_EQ(QuantizeLogProb(p, -50), 1);
    EXPECT_EQ(QuantizeLogProb(p, 0), 255);
    EXPECT_EQ(QuantizeLogProb(p, 3), 255);
    int t = QuantizeLogProb(p, -5.01);
    EXPECT_LE(std::fabs(p[t] - -5.01), 10.0 / 254 / 2 + 1e-6);
}

TEST(BigramTables, LogProbabilitiesOfASmallText) {
    CharCounts c;
    c.AddText("日本日本日本日の\n");
    // 日 x4, 本 x3, の x1; pairs: 日本 x3, 本日 x3, 日の x1
    BigramTables t = MakeBigramTables(c);
    const uint16_t hi = 0x93FA, hon = 0x967B, no = 0x82CC;
    EXPECT_EQ(t.flags, 3);
    EXPECT_EQ(t.total, 8);
    EXPECT_EQ(t.pairs, 3);
    ASSERT_EQ(t.firsts.size(), 3u);
    for (size_t i = 1; i < t.firsts.size(); ++i) EXPECT_LT(t.firsts[i - 1].code, t.firsts[i].code);
    EXPECT_NEAR(FindFirst(t, hi)->logp, std::log(4.0 / 8), 1e-6);
    EXPECT_NEAR(FindFirst(t, no)->logp, std::log(1.0 / 8), 1e-6);
    const double step = (t.prob[255] - t.prob[1]) / 254;
    EXPECT_NEAR(PairValue(t, hi, hon), std::log(3.0 / 4), step);
    EXPECT_NEAR(PairValue(t, hi, no), std::log(1.0 / 4), step);
    EXPECT_NEAR(PairValue(t, hon, hi), 0.0, step);
    // unseen pairs get the floor, below every seen pair
    EXPECT_FLOAT_EQ(PairValue(t, no, hi), t.prob[0]);
    EXPECT_LT(t.prob[0], PairValue(t, hi, no));
    for (int i = 1; i < 256; ++i) ASSERT_LT(t.prob[i - 1], t.prob[i]);
    EXPECT_TRUE(FindFirst(t, no)->seconds.empty()); // a first code with no pairs
}

TEST(BigramFile, LayoutAndRoundTrip) {
    CharCounts c;
    c.AddText("日本語の日本");
    BigramTables t = MakeBigramTables(c);
    fs::path p = fs::temp_directory_path() / ("mkdict_bigram_" + std::to_string(::getpid()));
    std::string err;
    ASSERT_TRUE(WriteBigramDictionary(p.string(), t, err)) << err;
    std::ifstream in(p, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.substr(0, 6), "CBG1.1");
    EXPECT_EQ(bytes[6], 3);
    // 4 distinct characters (日 本 語 の), 4 pairs (日本 x2, 本語, 語の, の日)
    const size_t n = 4, pairs = 4;
    EXPECT_EQ(bytes.size(), 1041 + 2 * n + 4 * n + 2 * n + 3 * pairs);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1039]), n);
    BigramTables r;
    ASSERT_TRUE(ReadBigramDictionary(p.string(), r, err)) << err;
    EXPECT_EQ(r.total, t.total);
    EXPECT_EQ(r.pairs, t.pairs);
    ASSERT_EQ(r.firsts.size(), t.firsts.size());
    for (size_t i = 0; i < r.firsts.size(); ++i) {
        EXPECT_EQ(r.firsts[i].code, t.firsts[i].code);
        EXPECT_EQ(r.firsts[i].seconds, t.firsts[i].seconds);
        EXPECT_EQ(r.firsts[i].tags, t.firsts[i].tags);
        EXPECT_FLOAT_EQ(r.firsts[i].logp, t.firsts[i].logp);
    }
    // cut short or with another magic: refused
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes.substr(0, bytes.size() - 1);
    EXPECT_FALSE(ReadBigramDictionary(p.string(), r, err));
    std::string old = bytes;
    old[5] = '0';
    std::ofstream(p, std::ios::binary | std::ios::trunc) << old;
    EXPECT_FALSE(ReadBigramDictionary(p.string(), r, err));
    fs::remove(p);
}

TEST(BigramTables, EmptyTextGivesAValidEmptyTable) {
    BigramTables t = MakeBigramTables(CharCounts{});
    EXPECT_EQ(t.pairs, 0);
    EXPECT_TRUE(t.firsts.empty());
    for (int i = 1; i < 256; ++i) ASSERT_LT(t.prob[i - 1], t.prob[i]);
}
