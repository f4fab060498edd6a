// Fitted evaluation tables: their file, their use in place of the fixed tables, and the
// chain search run again over a classified lattice.
#include "strrec/charkind.h"
#include "strrec/classifier_api.h"
#include "strrec/lptables.h"
#include "strrec/srobj.h"
#include "tessera/seqread.h"
#include "tests/fake_classifier.h"
#include "tests/search_probe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

std::string TempFile(const char* name) {
    return (std::filesystem::temp_directory_path() /
            (std::string("evaltables_") + std::to_string(::getpid()) + "_" + name))
        .string();
}

// Tables whose every value is distinct and unlike the fixed tables.
std::unique_ptr<EVALTABLES> Distinct() {
    auto t = std::make_unique<EVALTABLES>();
    for (int s = 0; s <= 1024; ++s) t->fSim[s] = -0.001f * static_cast<float>(1024 - s) - 0.5f;
    for (int b = 0; b <= 160; ++b)
        for (int k = 0; k < 6; ++k) t->fBox[b][k] = -1.0f - 0.01f * static_cast<float>(b) - k;
    for (int d = 0; d < 191; ++d) t->fDiv[d] = -2.0f - 0.001f * static_cast<float>(d);
    for (int d = 0; d < 211; ++d) t->fCmb[d] = -3.0f - 0.001f * static_cast<float>(d);
    t->fLangWeight = 0.25f;
    t->fCorrectWeight = 2.5f;
    t->fLangFloor = -6.5f;
    return t;
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class EvalTables : public ::testing::Test {
protected:
    void TearDown() override {
        g_srlp.vSetEvalTables(nullptr);
        g_srlp.m_bgt.vClear();
        for (const auto& f : files_) std::remove(f.c_str());
        fake::SetHandler(nullptr);
    }
    std::string Saved(const EVALTABLES& t, const char* name) {
        files_.push_back(TempFile(name));
        EXPECT_EQ(iSaveEvalTables(files_.back().c_str(), t), 0);
        return files_.back();
    }
    std::vector<std::string> files_;
};

TEST_F(EvalTables, FileRoundTripAndRefusals) {
    auto t = Distinct();
    const std::string path = Saved(*t, "good.clp");
    EXPECT_EQ(static_cast<long>(Bytes(path).size()), EVALTABLES_FILE_SIZE);
    EXPECT_EQ(Bytes(path).substr(0, 6), "CLP1.1");
    auto back = std::make_unique<EVALTABLES>();
    ASSERT_EQ(iLoadEvalTables(path.c_str(), *back), 0);
    EXPECT_EQ(std::memcmp(back.get(), t.get(), sizeof(EVALTABLES)), 0);

    const std::string good = Bytes(path), bad = TempFile("bad.clp");
    files_.push_back(bad);
    auto refused = [&](const std::string& bytes) {
        WriteBytes(bad, bytes);
        auto out = std::make_unique<EVALTABLES>();
        return iLoadEvalTables(bad.c_str(), *out) == 3;
    };
    std::string older = good;
    older[5] = '9';
    EXPECT_TRUE(refused(older));
    EXPECT_TRUE(refused(good.substr(0, good.size() - 1)));
    EXPECT_TRUE(refused(good + "x"));
    std::string nan = good;
    const float q = std::nanf("");
    std::memcpy(&nan[6 + 4 * 500], &q, 4);
    EXPECT_TRUE(refused(nan));
    std::string negative = good;
    const float minus = -1.0f, plus = 1.0f;
    std::memcpy(&negative[good.size() - 12], &minus, 4); // the language weight
    EXPECT_TRUE(refused(negative));
    std::string positive = good;
    std::memcpy(&positive[good.size() - 4], &plus, 4); // the floor, not a log-probability
    EXPECT_TRUE(refused(positive));
    EXPECT_EQ(iLoadEvalTables(TempFile("missing.clp").c_str(), *back), 3);
    EXPECT_EQ(iLoadEvalTables(nullptr, *back), 3);
    // Tables that could not be read back are not written.
    t->fCmb[3] = q;
    EXPECT_EQ(iSaveEvalTables(bad.c_str(), *t), 3);
}

TEST_F(EvalTables, FilesOfTheFirstVersionLoadWithoutAFloor) {
    auto t = Distinct();
    const std::string current = Bytes(Saved(*t, "current.clp"));
    // The first version: its magic, and the same values up to the floor, which it lacks.
    std::string first = current.substr(0, current.size() - 4);
    first[5] = '0';
    const std::string path = TempFile("first.clp");
    files_.push_back(path);
    WriteBytes(path, first);
    auto back = std::make_unique<EVALTABLES>();
    ASSERT_EQ(iLoadEvalTables(path.c_str(), *back), 0);
    EXPECT_EQ(back->fLangFloor, kNoLangFloor);
    t->fLangFloor = kNoLangFloor;
    EXPECT_EQ(std::memcmp(back.get(), t.get(), sizeof(EVALTABLES)), 0);
    // A first-version magic on a file of the current size is refused, and the other way.
    WriteBytes(path, "CLP1.0" + current.substr(6));
    EXPECT_EQ(iLoadEvalTables(path.c_str(), *back), 3);
    WriteBytes(path, "CLP1.1" + first.substr(6));
    EXPECT_EQ(iLoadEvalTables(path.c_str(), *back), 3);
}

TEST_F(EvalTables, TheFloorBoundsTheLanguageTermsOfTheSearch) {
    // あ common, 亜 rare; a pair never seen takes the floor entry of the pair table.
    constexpr uint16_t kCommon = 0x82A0, kRare = 0x889F;
    ASSERT_EQ(g_srlp.m_bgt.iSetLogCount(kCommon, -3.0f), 0);
    ASSERT_EQ(g_srlp.m_bgt.iSetLogCount(kRare, -12.0f), 0);
    float probs[256];
    for (int i = 0; i < 256; ++i) probs[i] = -15.0f + 0.05f * static_cast<float>(i);
    ASSERT_EQ(g_srlp.m_bgt.iSetProbTable(probs), 0);
    g_srlp.m_bgt.SetVersionFlags(BGT_FLAG_LOGCOUNT | BGT_FLAG_CONDITIONAL);

    auto t = Distinct();
    t->fLangWeight = 0.5f;
    t->fLangFloor = -6.0f;
    g_srlp.vSetEvalTables(t.get());
    EXPECT_FLOAT_EQ(g_srlp.fGetMgrLP(kCommon), 0.5f * -3.0f);
    EXPECT_FLOAT_EQ(g_srlp.fGetMgrLP(kRare), 0.5f * -6.0f);
    EXPECT_FLOAT_EQ(g_srlp.fGetBgrLP(kCommon, kRare), 0.5f * -6.0f);
    t->fLangFloor = kNoLangFloor;
    g_srlp.vSetEvalTables(t.get());
    EXPECT_FLOAT_EQ(g_srlp.fGetMgrLP(kRare), 0.5f * -12.0f);
    EXPECT_FLOAT_EQ(g_srlp.fGetBgrLP(kCommon, kRare), 0.5f * -15.0f);
    // The fixed tables take the model's values as they are.
    g_srlp.vSetEvalTables(nullptr);
    EXPECT_FLOAT_EQ(g_srlp.fGetMgrLP(kRare), -12.0f);

    // One stroke that reads as the rare character a little better than as the common one:
    // the common one wins on its frequency unless the floor bounds the rare one's rarity.
    fake::SetOpenResult(0);
    iOpenClassRecogModule("", "");
    fake::SetHandler([](const PATTERN_W&, CR_RESULT* res, int) {
        res[0] = {1, 900, kRare};
        res[1] = {2, 880, kCommon};
        return 2;
    });
    for (int s = 0; s <= 1024; ++s) t->fSim[s] = 0.2f * static_cast<float>(s - 1024);
    for (auto& row : t->fBox)
        for (float& v : row) v = -1.0f; // kanji and kana alike
    t->fLangWeight = 1.0f;
    auto best = [&](float floor) {
        t->fLangFloor = floor;
        g_srlp.vSetEvalTables(t.get());
        SearchProbe obj;
        obj.Bar(10, 40);
        EXPECT_EQ(obj.Search(100), SR_OK);
        return obj.Best();
    };
    EXPECT_EQ(best(kNoLangFloor), "\x82\xA0");
    EXPECT_EQ(best(-6.0f), "\x88\x9F");
    vCloseClassRecogModule();
}

TEST_F(EvalTables, LoadedTablesReplaceTheFixedOnesUntilReturnedOrClosed) {
    const float fixedSim900 = g_srlp.fGetSimLP(900), fixedBox = g_srlp.fGetBoxLP(70, 0x82A0);
    EXPECT_FLOAT_EQ(g_srlp.fGetSimLP(1024), 0.0f);
    auto t = Distinct();
    const std::string path = Saved(*t, "use.clp");

    ASSERT_EQ(lSRLoadEvalTables(path.c_str()), SR_OK);
    EXPECT_TRUE(g_srlp.bFitted());
    EXPECT_FLOAT_EQ(g_srlp.fGetSimLP(950), t->fSim[950]);
    EXPECT_FLOAT_EQ(g_srlp.fGetSimLP(2000), t->fSim[1024]);
    EXPECT_FLOAT_EQ(g_srlp.fGetSimLP(-5), t->fSim[0]);
    EXPECT_FLOAT_EQ(g_srlp.fGetBoxLP(70, 0x82A0), t->fBox[70][1]); // hiragana
    EXPECT_FLOAT_EQ(g_srlp.fGetBoxLP(500, 0x8A7F), t->fBox[160][iTellCharCodeKind(0x8A7F)]);
    EXPECT_FLOAT_EQ(g_srlp.fGetDivLP(5), t->fDiv[0]);
    EXPECT_FLOAT_EQ(g_srlp.fGetDivLP(150), t->fDiv[140]);
    EXPECT_FLOAT_EQ(g_srlp.fGetCmbLP(0), t->fCmb[100]);
    EXPECT_FLOAT_EQ(g_srlp.fGetCmbLP(-300), t->fCmb[0]);
    EXPECT_DOUBLE_EQ(g_srlp.m_bgc.GetWeight(), 2.5);

    // A file that does not load leaves the fixed tables, not the last ones loaded.
    const std::string bad = TempFile("short.clp");
    files_.push_back(bad);
    WriteBytes(bad, "CLP1.0");
    EXPECT_EQ(lSRLoadEvalTables(bad.c_str()), SR_ERR_DICTIONARY);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_DICTIONARY);
    EXPECT_FALSE(g_srlp.bFitted());
    EXPECT_FLOAT_EQ(g_srlp.fGetSimLP(900), fixedSim900);
    EXPECT_FLOAT_EQ(g_srlp.fGetBoxLP(70, 0x82A0), fixedBox);
    EXPECT_DOUBLE_EQ(g_srlp.m_bgc.GetWeight(), D_DEFAULT_WEIGHT);

    ASSERT_EQ(lSRLoadEvalTables(path.c_str()), SR_OK);
    EXPECT_EQ(lSRLoadEvalTables(""), SR_OK);
    EXPECT_FALSE(g_srlp.bFitted());
    EXPECT_NEAR(g_srlp.fGetSimLP(900), -0.26f, 1e-5);

    ASSERT_EQ(lSRLoadEvalTables(path.c_str()), SR_OK);
    EXPECT_EQ(lSRLoadEvalTables(nullptr), SR_OK);
    EXPECT_FALSE(g_srlp.bFitted());

    ASSERT_EQ(lSRLoadEvalTables(path.c_str()), SR_OK);
    vSRCloseSystem();
    EXPECT_FALSE(g_srlp.bFitted());
}

TEST_F(EvalTables, ChainSearchAgainEqualsAFreshSearchWithoutClassifying) {
    // Two narrow elements: each alone reads as い, both together as a wider character.
    fake::SetOpenResult(0);
    iOpenClassRecogModule("", "");
    fake::SetHandler([](const PATTERN_W& p, CR_RESULT* res, int) {
        if (fake::StrokeCount(p) == 2)
            res[0] = {1, 900, 0x889F}; // 亜
        else
            res[0] = {2, 900, 0x82A2}; // い
        return 1;
    });
    auto build = [](SearchProbe& obj) {
        obj.Bar(0, 30);
        obj.Bar(60, 90);
    };
    SearchProbe obj;
    build(obj);
    ASSERT_EQ(obj.Search(100), SR_OK);
    EXPECT_FALSE(obj.Best().empty());

    // Tables that make one character of the two elements far likelier than two.
    auto t = Distinct();
    for (auto& v : t->fDiv) v = -12.0f;
    for (auto& v : t->fCmb) v = -0.5f;
    g_srlp.vSetEvalTables(t.get());
    fake::ResetCallCount();
    ASSERT_EQ(obj.m_lChainSearch(), SR_OK);
    EXPECT_EQ(fake::CallCount(), 0);
    const std::string again = obj.Best();
    EXPECT_EQ(again, "\x88\x9F");

    SearchProbe fresh;
    build(fresh);
    ASSERT_EQ(fresh.Search(100), SR_OK);
    EXPECT_EQ(fresh.Best(), again);
    EXPECT_EQ(fresh.lGetResultCount(), obj.lGetResultCount());
    for (int c = 0; c < fresh.lGetResultCount(); ++c)
        EXPECT_FLOAT_EQ(fresh.pGetSorted(c)->fValidity, obj.pGetSorted(c)->fValidity) << c;

    // And the other way round: gaps that split.
    for (auto& v : t->fDiv) v = -0.5f;
    for (auto& v : t->fCmb) v = -12.0f;
    g_srlp.vSetEvalTables(t.get());
    ASSERT_EQ(obj.m_lChainSearch(), SR_OK);
    EXPECT_EQ(obj.Best(), "\x82\xA2\x82\xA2");
    vCloseClassRecogModule();
}

} // namespace
