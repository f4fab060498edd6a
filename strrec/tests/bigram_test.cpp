#include "strrec/bigram.h"
#include "strrec/context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct TempFile {
    std::string path;
    explicit TempFile(const char* name)
        : path((fs::temp_directory_path() /
                (std::string("seqread_") + name + "_" + std::to_string(::getpid())))
                   .string()) {}
    ~TempFile() { std::remove(path.c_str()); }
    std::vector<char> Bytes() const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void Write(const std::vector<char>& bytes) const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
};

constexpr uint16_t kA = 0x82A0, kI = 0x82A2, kU = 0x82A4, kKa = 0x82A9;

// Tags 0..255 stand for log-probabilities -12.75 .. 0 in steps of 0.05.
void FillProbTable(CBigramTable& t) {
    float table[256];
    for (int n = 0; n < 256; ++n) table[n] = -12.75f + 0.05f * n;
    ASSERT_EQ(t.iSetProbTable(table), 0);
}

CBigramTable SampleTable() {
    CBigramTable t;
    FillProbTable(t);
    t.SetTotalCount(1000);
    EXPECT_EQ(t.iSetTagValue(kA, kI, 200), 0);
    EXPECT_EQ(t.iSetTagValue(kA, kU, 100), 0);
    EXPECT_EQ(t.iSetTagValue(kKa, kA, 50), 0);
    EXPECT_EQ(t.iSetLogCount(kA, -2.0f), 0);
    EXPECT_EQ(t.iSetLogCount(kKa, -3.0f), 0);
    return t;
}

TEST(BigramTable, LookupsFollowCodesAddedLoadedOrClearedAfterThem) {
    CBigramTable t = SampleTable();
    t.SetVersionFlags(BGT_FLAG_LOGCOUNT | BGT_FLAG_CONDITIONAL);
    EXPECT_EQ(t.iSearch(kA), 0);
    EXPECT_EQ(t.iSearch(kI), -1);
    EXPECT_EQ(t.ucGetTagValue(kKa, kA), 50);
    // A first code added in front moves the others; the lookups see both.
    ASSERT_EQ(t.iSetTagValue(0x8140, kA, 30), 0);
    EXPECT_EQ(t.iSearch(0x8140), 0);
    EXPECT_EQ(t.iSearch(kA), 1);
    EXPECT_EQ(t.ucGetTagValue(kA, kI), 200);
    EXPECT_EQ(t.ucGetTagValue(kKa, kA), 50);
    EXPECT_EQ(t.ucGetTagValue(0x8140, kA), 30);
    // Codes at the ends of the code space, and a code that is not a first code.
    EXPECT_EQ(t.iSearch(0x0000), -1);
    EXPECT_EQ(t.iSearch(0xFFFF), -1);
    ASSERT_EQ(t.iSetLogCount(kI, -4.0f), 0);
    EXPECT_EQ(t.iSearch(kI), 2);
    EXPECT_FLOAT_EQ(static_cast<float>(t.dGetLP(kI)), -4.0f);

    TempFile f("lookups");
    ASSERT_EQ(SampleTable().iSave(f.path.c_str()), BGT_OK);
    ASSERT_EQ(t.iLoad(f.path.c_str()), BGT_OK);
    EXPECT_EQ(t.iSearch(0x8140), -1);
    EXPECT_EQ(t.iSearch(kA), 0);
    t.vClear();
    EXPECT_EQ(t.iSearch(kA), -1);
}

TEST(BigramTable, SaveAndLoadRoundTrip) {
    CBigramTable t = SampleTable();
    t.SetVersionFlags(BGT_FLAG_LOGCOUNT | BGT_FLAG_CONDITIONAL);
    TempFile f("roundtrip");
    ASSERT_EQ(t.iSave(f.path.c_str()), BGT_OK);
    // 7 + 1024 + 4 + 4 + 2 + 2 first codes * (2 + 4) + tables (2 + 2*3) + (2 + 3).
    EXPECT_EQ(f.Bytes().size(), 1041u + 12 + 8 + 5);
    CBigramTable u;
    ASSERT_EQ(u.iLoad(f.path.c_str()), BGT_OK);
    EXPECT_EQ(u.m_cVerFlag, t.m_cVerFlag);
    EXPECT_EQ(u.iCategoryNumber, 2);
    EXPECT_EQ(u.liTotalCount, 1000);
    EXPECT_EQ(u.liBigramCategoryNumber, 3);
    EXPECT_EQ(u.ucGetTagValue(kA, kI), 200);
    EXPECT_EQ(u.ucGetTagValue(kA, kU), 100);
    EXPECT_EQ(u.ucGetTagValue(kKa, kA), 50);
    EXPECT_EQ(u.ucGetTagValue(kI, kA), 0);
    EXPECT_FLOAT_EQ(static_cast<float>(u.dGetLP(kKa)), -3.0f);
    EXPECT_EQ(std::memcmp(u.m_fpProbTable, t.m_fpProbTable, sizeof t.m_fpProbTable), 0);
}

TEST(BigramTable, MagicMustMatchInEveryByte) {
    CBigramTable t = SampleTable();
    TempFile f("magic");
    ASSERT_EQ(t.iSave(f.path.c_str()), BGT_OK);
    const std::vector<char> good = f.Bytes();
    for (int n = 0; n < 6; ++n) {
        std::vector<char> bad = good;
        bad[n] = static_cast<char>(bad[n] ^ 0x01);
        f.Write(bad);
        CBigramTable u;
        EXPECT_EQ(u.iLoad(f.path.c_str()), BGT_ERR_BIGRAM_OPEN) << "byte " << n;
    }
    std::vector<char> older = good;
    older[5] = '0'; // "CBG1.0"
    f.Write(older);
    CBigramTable u;
    EXPECT_EQ(u.iLoad(f.path.c_str()), BGT_ERR_BIGRAM_OPEN);
    EXPECT_EQ(u.iLoad("/nonexistent/bigram.dic"), BGT_ERR_BIGRAM_OPEN);
    EXPECT_EQ(u.iLoad(nullptr), BGT_ERR_BIGRAM_OPEN);
}

TEST(BigramTable, CountsBeyondTheFileAreRefused) {
    CBigramTable t = SampleTable();
    TempFile f("counts");
    ASSERT_EQ(t.iSave(f.path.c_str()), BGT_OK);
    const std::vector<char> good = f.Bytes();
    {
        std::vector<char> bad = good; // first-code count 32767
        bad[1039] = static_cast<char>(0xFF);
        bad[1040] = 0x7F;
        f.Write(bad);
        CBigramTable u = SampleTable();
        EXPECT_EQ(u.iLoad(f.path.c_str()), BGT_ERR_READ);
        EXPECT_EQ(u.ucGetTagValue(kA, kI), 200); // a failed load keeps the table
    }
    {
        std::vector<char> bad = good; // negative first-code count
        bad[1040] = static_cast<char>(0x80);
        f.Write(bad);
        CBigramTable u;
        EXPECT_EQ(u.iLoad(f.path.c_str()), BGT_ERR_READ);
    }
    {
        std::vector<char> bad = good; // first second-code table claims 30000 entries
        const size_t at = 1041 + 2 * 2 + 4 * 2;
        bad[at] = 0x30;
        bad[at + 1] = 0x75;
        f.Write(bad);
        CBigramTable u;
        EXPECT_EQ(u.iLoad(f.path.c_str()), BGT_ERR_READ);
    }
    for (size_t cut : {size_t{3}, size_t{500}, size_t{1040}, good.size() - 1}) {
        f.Write(std::vector<char>(good.begin(), good.begin() + static_cast<long>(cut)));
        CBigramTable u;
        EXPECT_NE(u.iLoad(f.path.c_str()), BGT_OK) << "cut at " << cut;
    }
}

TEST(BigramTable, LogProbabilityModes) {
    CBigramTable t = SampleTable();
    const long double p200 = t.m_fpProbTable[200], p0 = t.m_fpProbTable[0];
    // Joint tags, with log counts.
    EXPECT_DOUBLE_EQ(static_cast<double>(t.dGetLP(kA, kI, 1)), static_cast<double>(p200 - -2.0L));
    EXPECT_DOUBLE_EQ(static_cast<double>(t.dGetLP(kA, kI, 0)), static_cast<double>(p200));
    EXPECT_DOUBLE_EQ(static_cast<double>(t.dGetLP(kA, kI, 2)),
                     static_cast<double>(2 * p200 - -2.0L));
    EXPECT_DOUBLE_EQ(static_cast<double>(t.dGetLP(kI, kA, 1)), static_cast<double>(p0));
    EXPECT_DOUBLE_EQ(static_cast<double>(t.dGetLP(kI, kA, 2)), static_cast<double>(2 * p0));
    // Conditional tags.
    t.SetVersionFlags(BGT_FLAG_LOGCOUNT | BGT_FLAG_CONDITIONAL);
    EXPECT_DOUBLE_EQ(static_cast<double>(t.dGetLP(kA, kI, 1)), static_cast<double>(p200));
    EXPECT_DOUBLE_EQ(static_cast<double>(t.dGetLP(kA, kI, 0)), static_cast<double>(-2.0L + p200));
    EXPECT_DOUBLE_EQ(static_cast<double>(t.dGetLP(kA, kI, 2)),
                     static_cast<double>(-2.0L + 2 * p200));
    t.SetVersionFlags(BGT_FLAG_LOGCOUNT | BGT_FLAG_RAW);
    EXPECT_DOUBLE_EQ(static_cast<double>(t.dGetLP(kA, kI, 2)), static_cast<double>(p200));
    // Monogram: absent codes get -ln(total); without log counts everything is 0.
    EXPECT_DOUBLE_EQ(static_cast<double>(t.dGetLP(kU)), -std::log(1000.0));
    t.DeleteLogCountTable();
    EXPECT_EQ(t.dGetLP(kA), 0);
}

TEST(BigramTable, UnseenPairsBackOffToTheMonograms) {
    CBigramTable t = SampleTable();
    ASSERT_EQ(t.iSetLogCount(kI, -4.0f), 0);
    ASSERT_EQ(t.iSetLogCount(kU, -9.0f), 0);
    const auto lp = [&](uint16_t a, uint16_t b, int mode) {
        return static_cast<double>(t.dGetLP(a, b, mode));
    };
    const double p0 = t.m_fpProbTable[0], p200 = t.m_fpProbTable[200], p100 = t.m_fpProbTable[100],
                 p50 = t.m_fpProbTable[50];
    // Without the flag: the floor for every pair not in the table.
    t.SetVersionFlags(BGT_FLAG_LOGCOUNT | BGT_FLAG_CONDITIONAL);
    EXPECT_DOUBLE_EQ(lp(kKa, kI, 1), p0);
    EXPECT_DOUBLE_EQ(lp(kKa, kU, 1), p0);
    // With it: the mass the pairs after the first code leave, times the monogram of the
    // second code. a's pairs (tags 200, 100) leave 1 - e^p200 - e^p100.
    t.SetVersionFlags(BGT_FLAG_LOGCOUNT | BGT_FLAG_CONDITIONAL | BGT_FLAG_BACKOFF);
    const double massA = std::log(1 - std::exp(p200) - std::exp(p100));
    const double massKa = std::log(1 - std::exp(p50));
    EXPECT_NEAR(lp(kA, kA, 1), massA + -2.0, 1e-6);
    EXPECT_NEAR(lp(kKa, kI, 1), massKa + -4.0, 1e-6);
    EXPECT_NEAR(static_cast<double>(t.dGetBackoffLP(kKa, kI)), massKa + -4.0, 1e-6);
    // a common second character is punished less than a rare one
    EXPECT_GT(lp(kKa, kI, 1), lp(kKa, kU, 1));
    EXPECT_GT(lp(kKa, kI, 1), p0);
    // a first code without pairs, or not in the table at all, leaves all its mass: the
    // monogram of the second
    constexpr uint16_t kE = 0x82A6;
    EXPECT_NEAR(lp(kU, kI, 1), -4.0, 1e-6);
    EXPECT_NEAR(lp(kE, kI, 1), -4.0, 1e-6);
    // a second code never seen: the backoff to -ln(total)
    EXPECT_NEAR(lp(kKa, kE, 1), massKa - std::log(1000.0), 1e-6);
    // seen pairs keep their value when it is above the backoff...
    EXPECT_DOUBLE_EQ(lp(kA, kI, 1), p200);
    EXPECT_NEAR(lp(kKa, kA, 1), std::max(p50, massKa + -2.0), 1e-6);
    // ...and are raised to it otherwise (tag 1 after a, followed by the common a)
    ASSERT_EQ(t.iSetTagValue(kA, kA, 1), 0);
    const double massA2 =
        std::log(1 - std::exp(p200) - std::exp(p100) - std::exp(t.m_fpProbTable[1]));
    EXPECT_NEAR(lp(kA, kA, 1), massA2 + -2.0, 1e-6);
    EXPECT_GT(lp(kA, kA, 1), t.m_fpProbTable[1]);
    // joint and mode 2 use the backed-off conditional value
    EXPECT_NEAR(lp(kKa, kI, 0), -3.0 + massKa + -4.0, 1e-6);
    EXPECT_NEAR(lp(kKa, kI, 2), -3.0 + 2 * (massKa + -4.0), 1e-6);
    // a first code whose pairs take all the mass leaves a small, finite share
    CBigramTable full = SampleTable();
    ASSERT_EQ(full.iSetTagValue(kI, kA, 255), 0); // log P = 0
    full.SetVersionFlags(BGT_FLAG_LOGCOUNT | BGT_FLAG_CONDITIONAL | BGT_FLAG_BACKOFF);
    const double rest = static_cast<double>(full.dGetLP(kI, kKa, 1));
    EXPECT_TRUE(std::isfinite(rest));
    EXPECT_LT(rest, -3.0 + std::log(0.01));
}

TEST(BigramTable, BackoffSurvivesTheFile) {
    CBigramTable t = SampleTable();
    t.SetVersionFlags(BGT_FLAG_LOGCOUNT | BGT_FLAG_CONDITIONAL | BGT_FLAG_BACKOFF);
    TempFile f("backoff");
    ASSERT_EQ(t.iSave(f.path.c_str()), BGT_OK);
    CBigramTable u;
    ASSERT_EQ(u.iLoad(f.path.c_str()), BGT_OK);
    EXPECT_EQ(u.m_cVerFlag, t.m_cVerFlag);
    for (uint16_t a : {kA, kI, kU, kKa})
        for (uint16_t b : {kA, kI, kU, kKa})
            for (int mode : {0, 1})
                EXPECT_EQ(u.dGetLP(a, b, mode), t.dGetLP(a, b, mode)) << a << ' ' << b;
    // loading another table replaces the derived masses
    CBigramTable other;
    FillProbTable(other);
    ASSERT_EQ(other.iSetTagValue(kKa, kI, 255), 0);
    ASSERT_EQ(other.iSetLogCount(kKa, -1.0f), 0);
    ASSERT_EQ(other.iSetLogCount(kU, -5.0f), 0);
    other.SetVersionFlags(BGT_FLAG_LOGCOUNT | BGT_FLAG_CONDITIONAL | BGT_FLAG_BACKOFF);
    ASSERT_EQ(other.iSave(f.path.c_str()), BGT_OK);
    const long double before = u.dGetLP(kKa, kU, 1);
    ASSERT_EQ(u.iLoad(f.path.c_str()), BGT_OK);
    EXPECT_NE(u.dGetLP(kKa, kU, 1), before);
    EXPECT_EQ(u.dGetLP(kKa, kU, 1), other.dGetLP(kKa, kU, 1));
}

TEST(BigramTable, TagOfAProbability) {
    CBigramTable t;
    FillProbTable(t);
    EXPECT_EQ(t.cProb2TagVal(-20.0), 0);
    EXPECT_EQ(t.cProb2TagVal(1.0), 255);
    const double p100 = t.m_fpProbTable[100], p101 = t.m_fpProbTable[101];
    EXPECT_EQ(t.cProb2TagVal(p100 + 0.01), 100); // below the midpoint
    EXPECT_EQ(t.cProb2TagVal(p100 + 0.04), 101); // above it
    EXPECT_EQ(t.iSetProb(kA, kI, p101), 0);
    EXPECT_EQ(t.ucGetTagValue(kA, kI), 101);
    float descending[256];
    for (int n = 0; n < 256; ++n) descending[n] = -static_cast<float>(n);
    EXPECT_EQ(t.iSetProbTable(descending), 1);
}

TEST(BigramTable, OnlyDoubleByteCodesAreStored) {
    CBigramTable t;
    EXPECT_EQ(t.iSetTagValue(0x0041, kA, 5), 1);
    EXPECT_EQ(t.iSetTagValue(kA, 0x817F, 5), 1);
    EXPECT_EQ(t.iCategoryNumber, 0);
    EXPECT_TRUE(IsSJIS(0x889F));
    EXPECT_TRUE(IsSJIS(0xE040));
    EXPECT_FALSE(IsSJIS(0xA0A0));
    EXPECT_FALSE(IsSJIS(0x8130));
}

TEST(MonogramTable, SearchSetRemoveAndFile) {
    CMonogramTable m;
    EXPECT_EQ(m.iSetTagValue(kU, 3), 0);
    EXPECT_EQ(m.iSetTagValue(kA, 1), 0);
    EXPECT_EQ(m.iSetTagValue(kKa, 4), 0);
    EXPECT_EQ(m.iSearch(kA), 0);
    EXPECT_EQ(m.iSearch(kI), -1);
    EXPECT_EQ(m.iSearch(kI, 1), 1); // insertion position
    EXPECT_EQ(m.cGetTagValue(kKa), 4);
    EXPECT_EQ(m.cGetTagValue(kI), 0);
    EXPECT_EQ(m.iRemove(kU), 0);
    EXPECT_EQ(m.iRemove(kU), 1);
    CMonogramTable other;
    other.iSetTagValue(kA, 9);
    other.iSetTagValue(kI, 2);
    m <<= other;
    EXPECT_EQ(m.iCategoryNumber, 3);
    EXPECT_EQ(m.cGetTagValue(kA), 9);

    TempFile f("mono");
    ASSERT_EQ(m.iSave(f.path.c_str()), BGT_OK);
    CMonogramTable back;
    ASSERT_EQ(back.iLoad(f.path.c_str()), BGT_OK);
    EXPECT_EQ(back.wcpCode, m.wcpCode);
    EXPECT_EQ(back.cpTag, m.cpTag);
    std::vector<char> bytes = f.Bytes();
    bytes[0] = 'X';
    f.Write(bytes);
    EXPECT_EQ(back.iLoad(f.path.c_str()), BGT_ERR_MONO_MAGIC);
    EXPECT_EQ(back.iLoad("/nonexistent/mono.dic"), BGT_ERR_MONO_OPEN);
    EXPECT_EQ(m.iSave("/nonexistent/dir/mono.dic"), BGT_ERR_MONO_OPEN);
    EXPECT_EQ(CBigramTable{}.iSave("/nonexistent/dir/bigram.dic"), BGT_ERR_BIGRAM_CREATE);
}

// ---- context correction ----

class ContextCorrection : public ::testing::Test {
protected:
    void SetUp() override {
        FillProbTable(table);
        table.SetTotalCount(1000);
        corrector.SetBigramDictionary(&table);
    }
    CBigramTable table;
    aBigramContextProcess corrector;
};

TEST_F(ContextCorrection, KnownPairOvertakesABetterScore) {
    // Character 1: ka (900) before a (850). The pair (a, i)... is unknown, (a -> ka) is
    // known with tag 255: the weighted gain 9 * (0 - (-12.75)) beats the 50 points.
    ASSERT_EQ(table.iSetTagValue(kA, kA, 255), 0);
    CODE_SCORE c0[3] = {{kA, 800}, {kI, 700}, {0, 0}};
    CODE_SCORE c1[3] = {{kKa, 900}, {kA, 850}, {0, 0}};
    CODE_SCORE* lists[] = {c0, c1};
    ASSERT_EQ(corrector.iCorrectResult(lists, 2, 3), 0);
    EXPECT_EQ(c1[0].code, kA);
    EXPECT_EQ(c1[0].score, 850); // scores move with their codes
    EXPECT_EQ(c1[1].code, kKa);
    EXPECT_EQ(c0[0].code, kA);
}

TEST_F(ContextCorrection, SmallGainDoesNotOvertake) {
    // Tag 1 is only 0.05 above the floor: 9 * 0.05 is far below the 50 points.
    ASSERT_EQ(table.iSetTagValue(kA, kA, 1), 0);
    CODE_SCORE c0[2] = {{kA, 800}, {0, 0}};
    CODE_SCORE c1[2] = {{kKa, 900}, {kA, 850}};
    CODE_SCORE* lists[] = {c0, c1};
    ASSERT_EQ(corrector.iCorrectResult(lists, 2, 2), 0);
    EXPECT_EQ(c1[0].code, kKa);
}

TEST_F(ContextCorrection, WeightScalesTheLanguageTerm) {
    ASSERT_EQ(table.iSetTagValue(kA, kA, 255), 0);
    corrector.SetWeight(1.0); // 12.75 points of gain now lose against 50
    CODE_SCORE c0[2] = {{kA, 800}, {0, 0}};
    CODE_SCORE c1[2] = {{kKa, 900}, {kA, 850}};
    CODE_SCORE* lists[] = {c0, c1};
    ASSERT_EQ(corrector.iCorrectResult(lists, 2, 2), 0);
    EXPECT_EQ(c1[0].code, kKa);
}

TEST_F(ContextCorrection, SecondScoreZeroMeansOneCandidate) {
    // The entry behind a zero score is never considered, however well it would fit.
    ASSERT_EQ(table.iSetTagValue(kA, kU, 255), 0);
    CODE_SCORE c0[3] = {{kA, 800}, {0, 0}, {0, 0}};
    CODE_SCORE c1[3] = {{kKa, 900}, {kI, 0}, {kU, 850}};
    CODE_SCORE* lists[] = {c0, c1};
    ASSERT_EQ(corrector.iCorrectResult(lists, 2, 3), 0);
    EXPECT_EQ(c1[0].code, kKa);
    EXPECT_EQ(c1[2].code, kU);
}

TEST_F(ContextCorrection, BackPointersReorderEarlierCharacters) {
    // Three characters; the best path is a -> a -> ka through known pairs, though the
    // first character's best score is i.
    ASSERT_EQ(table.iSetTagValue(kA, kA, 255), 0);
    ASSERT_EQ(table.iSetTagValue(kA, kKa, 255), 0);
    CODE_SCORE c0[2] = {{kI, 900}, {kA, 880}};
    CODE_SCORE c1[2] = {{kU, 900}, {kA, 870}};
    CODE_SCORE c2[2] = {{kKa, 900}, {kU, 899}};
    CODE_SCORE* lists[] = {c0, c1, c2};
    ASSERT_EQ(corrector.iCorrectResult(lists, 3, 2), 0);
    EXPECT_EQ(c0[0].code, kA);
    EXPECT_EQ(c0[1].code, kI);
    EXPECT_EQ(c1[0].code, kA);
    EXPECT_EQ(c2[0].code, kKa);
}

TEST_F(ContextCorrection, SingleCharacterAndBadInput) {
    CODE_SCORE c0[2] = {{kI, 100}, {kA, 900}};
    CODE_SCORE* lists[] = {c0, nullptr};
    EXPECT_EQ(corrector.iCorrectResult(lists, 1, 2), 0);
    EXPECT_EQ(c0[0].code, kI); // one character: unchanged
    EXPECT_EQ(corrector.iCorrectResult(lists, 2, 2), 1);
    EXPECT_EQ(c0[0].code, kI);
    aBigramContextProcess none;
    CODE_SCORE c1[1] = {{kA, 1}};
    CODE_SCORE* two[] = {c0, c1};
    EXPECT_EQ(none.iCorrectResult(two, 2, 1), 1);
}

} // namespace
