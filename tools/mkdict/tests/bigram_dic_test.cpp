#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "tools/mkdict/bigram_dic.h"
#include "tools/mkdict/charset.h"

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

TEST(BigramTables, RelativeFrequenciesWithoutBackoff) {
    CharCounts c;
    c.AddText("日本日本日本日の\n");
    // 日 x4, 本 x3, の x1; pairs: 日本 x3, 本日 x3, 日の x1
    BigramTables t = MakeBigramTables(c, {.backoff = false});
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
    EXPECT_EQ(bytes[6], 1 | 2 | 4); // log counts, conditional tags, backoff
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

TEST(BigramTables, DiscountedPairsLeaveMassForTheBackoff) {
    CharCounts c;
    // pairs after 日: 日本 x3, 日の x1, 日日 x1 (n1 = 3 pairs seen once, n2 = 0: the
    // largest discount, 0.9)
    c.AddText("日本日本日本日の\n日日\n本の\n");
    BigramTables t = MakeBigramTables(c);
    const uint16_t hi = 0x93FA, hon = 0x967B, no = 0x82CC;
    EXPECT_EQ(t.flags, 1 | 2 | 4);
    const double step = (t.prob[255] - t.prob[1]) / 254;
    EXPECT_NEAR(PairValue(t, hi, hon), std::log((3 - 0.9) / 5), step);
    EXPECT_NEAR(PairValue(t, hi, no), std::log((1 - 0.9) / 5), step);
    // what the pairs after 日 leave: 0.9 for each of its 3 followers, of 5
    const auto* f = FindFirst(t, hi);
    ASSERT_NE(f, nullptr);
    double seen = 0;
    for (uint8_t tag : f->tags) seen += std::exp(t.prob[tag]);
    EXPECT_NEAR(1 - seen, 0.9 * 3 / 5, 0.05);
    // the monograms stay the counted frequencies without ranks
    EXPECT_NEAR(f->logp, std::log(6.0 / 12), 1e-6);
    EXPECT_NEAR(FindFirst(t, no)->logp, std::log(2.0 / 12), 1e-6);

    // many pairs seen once and twice: Ney's discount n1 / (n1 + 2 n2)
    CharCounts d;
    d.AddText("一二 一二 三四 三四 五六 七八\n");
    BigramTables u = MakeBigramTables(d); // n1 = 2, n2 = 2: 1/3, within 0.3..0.9
    const uint16_t ichi = *Cp932CodeOfUtf8("一"), ni = *Cp932CodeOfUtf8("二");
    EXPECT_NEAR(PairValue(u, ichi, ni), std::log((2 - 1.0 / 3) / 2),
                (u.prob[255] - u.prob[1]) / 254);
}

TEST(BigramTables, RankFrequenciesFallWithTheRank) {
    std::map<uint16_t, int> ranks;
    for (int r = 1; r <= 2500; ++r) ranks[static_cast<uint16_t>(0x889F + r)] = r;
    for (int k = 0; k < 100; ++k) ranks[static_cast<uint16_t>(0x9800 + k)] = 0; // unranked
    auto f = RankFrequencies(ranks);
    ASSERT_EQ(f.size(), ranks.size());
    double sum = 0, top100 = 0, top1000 = 0;
    for (const auto& [code, v] : f) {
        sum += v;
        int r = ranks.at(code);
        if (r >= 1 && r <= 100) top100 += v;
        if (r >= 1 && r <= 1000) top1000 += v;
    }
    EXPECT_NEAR(sum, 1.0, 1e-9);
    EXPECT_NEAR(top100, 0.44, 0.05);
    EXPECT_NEAR(top1000, 0.94, 0.03);
    for (int r = 2; r <= 2500; ++r)
        ASSERT_LT(f.at(static_cast<uint16_t>(0x889F + r)), f.at(static_cast<uint16_t>(0x889E + r)));
    EXPECT_LT(f.at(0x9800), f.at(static_cast<uint16_t>(0x889F + 2500)));
    EXPECT_TRUE(RankFrequencies({}).empty());
}

TEST(BigramTables, RanksBlendIntoTheKanjiMonograms) {
    CharCounts c;
    // technical text: 設 and 定 common, 山 rare, 川 absent; kana make up the rest
    c.AddText("設定の設定を設定する山の\n");
    const uint16_t setsu = *Cp932CodeOfUtf8("設"), tei = *Cp932CodeOfUtf8("定"),
                   yama = *Cp932CodeOfUtf8("山"), kawa = *Cp932CodeOfUtf8("川"),
                   no = *Cp932CodeOfUtf8("の");
    std::map<uint16_t, int> ranks = {{yama, 1}, {kawa, 2}, {setsu, 900}, {tei, 1000}};
    BigramOptions o;
    o.ranks = &ranks;
    o.rank_weight = 0.5;
    BigramTables t = MakeBigramTables(c, o);
    auto mono = [&](uint16_t code) { return std::exp(FindFirst(t, code)->logp); };
    // kana keep their counted share; the kanji share (7 of 12) is split between the
    // counts and the ranks
    const double total = 12, kanji = 7 / total;
    auto rf = RankFrequencies(ranks);
    EXPECT_NEAR(mono(no), 2 / total, 1e-6);
    EXPECT_NEAR(mono(yama), 0.5 * (1 / total) + 0.5 * kanji * rf.at(yama), 1e-6);
    EXPECT_NEAR(mono(setsu), 0.5 * (3 / total) + 0.5 * kanji * rf.at(setsu), 1e-6);
    ASSERT_NE(FindFirst(t, kawa), nullptr); // ranked, never seen: a monogram all the same
    EXPECT_NEAR(mono(kawa), 0.5 * kanji * rf.at(kawa), 1e-6);
    // the everyday kanji that the technical text lacks now ranks above a technical one
    EXPECT_GT(mono(kawa), mono(tei));
    double sum = 0;
    for (const auto& f : t.firsts) sum += std::exp(f.logp);
    EXPECT_NEAR(sum, 1.0, 1e-5);
    // a character in neither stays below all of them
    for (const auto& f : t.firsts)
        EXPECT_LE(-std::log(static_cast<double>(t.total)), f.logp + 1e-6);
    // weight 0: the counts alone; weight 1: the ranks alone inside the kanji share
    o.rank_weight = 0;
    BigramTables z = MakeBigramTables(c, o);
    EXPECT_NEAR(std::exp(FindFirst(z, setsu)->logp), 3 / total, 1e-6);
    // ranks and no text: the rank estimate, and an unknown character below every kanji
    BigramTables r = MakeBigramTables(CharCounts{}, o);
    ASSERT_EQ(r.firsts.size(), 4u);
    for (const auto& f : r.firsts) {
        EXPECT_NEAR(std::exp(f.logp), rf.at(f.code), 1e-6);
        EXPECT_LE(-std::log(static_cast<double>(r.total)), f.logp + 1e-6);
    }
}

TEST(BigramSources, TextWordListAndRanksAsTheCompilerReadsThem) {
    fs::path dir = fs::temp_directory_path() / ("mkdict_sources_" + std::to_string(::getpid()));
    fs::create_directories(dir / "man" / "man1");
    std::ofstream(dir / "a.txt") << "山の川の山\n";
    std::ofstream(dir / "man" / "man1" / "b.1") << ".SH 名前\n川の\n";
    std::ofstream(dir / "bad.txt") << "\xFF\xFE\xFD\x80";
    std::ofstream(dir / "edict")
        << "\u3000？？？ /EDICT/\n山川 [やまかわ] /mountains and rivers/(P)/\n";
    std::ofstream(dir / "kanjidic") << "# KANJIDIC\n山 3B33 U5c71 F131\n川 406E U5ddd F181\n";
    const uint16_t yama = *Cp932CodeOfUtf8("山"), kawa = *Cp932CodeOfUtf8("川"),
                   no = *Cp932CodeOfUtf8("の");

    BigramSources sources;
    sources.files = {(dir / "a.txt").string(), (dir / "man" / "man1" / "b.1").string(),
                     (dir / "bad.txt").string(), (dir / "missing.txt").string()};
    BigramSourceReport report;
    BigramTables t = MakeBigramsFromSources(sources, {}, report);
    EXPECT_EQ(report.files, 2);
    EXPECT_EQ(report.characters, 5u + 4u); // 名前 of the heading counts as well
    EXPECT_EQ(report.words, 0u);
    EXPECT_EQ(report.ranked, 0u);
    ASSERT_EQ(report.warnings.size(), 2u);
    EXPECT_NE(report.warnings[0].find("bad.txt"), std::string::npos);
    EXPECT_NE(report.warnings[1].find("missing.txt"), std::string::npos);
    // the same counts, made by hand, give the same tables
    CharCounts counts;
    counts.AddText("山の川の山\n");
    counts.AddText("名前\n川の\n");
    const BigramTables by_hand = MakeBigramTables(counts);
    ASSERT_EQ(t.firsts.size(), by_hand.firsts.size());
    for (size_t i = 0; i < t.firsts.size(); ++i) {
        EXPECT_EQ(t.firsts[i].code, by_hand.firsts[i].code);
        EXPECT_FLOAT_EQ(t.firsts[i].logp, by_hand.firsts[i].logp);
        EXPECT_EQ(t.firsts[i].seconds, by_hand.firsts[i].seconds);
    }

    // The word list adds its words' pairs, the ranks the kanji monograms.
    sources.edict = (dir / "edict").string();
    sources.kanjidic = (dir / "kanjidic").string();
    BigramTables w = MakeBigramsFromSources(sources, {}, report);
    EXPECT_EQ(report.words, 1u); // the description line is no entry
    EXPECT_EQ(report.ranked, 2u);
    EXPECT_GT(PairValue(w, yama, kawa), PairValue(t, yama, kawa));
    EXPECT_NE(FindFirst(w, yama)->logp, FindFirst(t, yama)->logp); // the ranks blend in
    EXPECT_NE(FindFirst(w, no), nullptr);
    // a word list or ranks that cannot be read is a warning, not a failure
    sources.edict = (dir / "none").string();
    MakeBigramsFromSources(sources, {}, report);
    EXPECT_EQ(report.words, 0u);
    EXPECT_EQ(report.warnings.size(), 3u);
    fs::remove_all(dir);
}
