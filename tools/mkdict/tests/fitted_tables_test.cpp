// The fitted evaluation tables of the compiled dictionaries (the file VELTAREC.INI names
// as LPDIC) with the real classifier, on imitated writing of the held-out seeds. Skipped
// when the dictionaries have not been built.
#include "platform/profile.h"
#include "platform/sysdir.h"
#include "strrec/seqread.h"
#include "tests/dict_line.h"
#include "tools/mkdict/lines.h"
#include "tools/mkdict/seeds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Fitted : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        if (!dictline::Find(dicts, why)) GTEST_SKIP() << why;
        std::string dir = platform::SystemDirectory();
        if (!dir.empty() && dir.back() != '/') dir += '/';
        char name[512] = {};
        platform::GetPrivateProfileString("RECOGBOX", "LPDIC", "", name, sizeof name,
                                          (dir + "VELTAREC.INI").c_str());
        ASSERT_NE(name[0], '\0') << "VELTAREC.INI names no fitted evaluation tables";
        tables = dir + name;
        ASSERT_EQ(lSROpenSystem(dicts.pattern.c_str(), dicts.coarse.c_str(), dicts.bigram.c_str()),
                  SR_OK);
        vSRSetClassCount(250);
        ASSERT_EQ(lSRLoadEvalTables(tables.c_str()), SR_OK);
    }
    void TearDown() override { vSRCloseSystem(); }

    // The best string of a line.
    static std::vector<uint16_t> Read(const mkdict::WrittenLine& line) {
        HSROBJ obj = hSRCreateNewObject();
        for (const auto& s : line.strokes)
            lSRAddStrokeLast(obj, s.data(), static_cast<long>(s.size()));
        std::vector<uint16_t> got;
        if (lSRRecognize(obj) == SR_OK) got = mkdict::CodesOfSjis(cpSRGetString(obj, 0, nullptr));
        vSRDestroyObject(obj);
        return got;
    }

    dictline::Dictionaries dicts;
    std::string tables;
};

TEST_F(Fitted, CharactersOfALeftAndARightPartAreNotSplit) {
    // 稿 順 嫌 銚: each has a left part that is a character of its own.
    const std::vector<uint16_t> codes = {0x8D65, 0x8F87, 0x8C99, 0x92B6};
    mkdict::ModelSet models;
    std::string err;
    ASSERT_TRUE(mkdict::ReadModels(MKDICT_TEST_KANJIVG, codes, models, err)) << err;
    ASSERT_EQ(models.size(), codes.size());
    int whole = 0, right = 0, lines = 0;
    for (uint16_t code : codes) {
        for (uint64_t n = 0; n < 6; ++n) {
            mkdict::WrittenLine line;
            ASSERT_TRUE(mkdict::WriteLine(
                models, {code}, mkdict::LineSeed(mkdict::kHeldOutSeedBase, 7, code * 8 + n), {},
                line));
            const std::vector<uint16_t> got = Read(line);
            ++lines;
            whole += got.size() == 1;
            right += got == std::vector<uint16_t>{code};
            EXPECT_EQ(got.size(), 1u) << "character " << code << ", writing " << n;
        }
    }
    EXPECT_GE(right * 10, lines * 9) << right << " of " << lines << " read right";
}

TEST_F(Fitted, CorrectionFollowsTheLanguageModel) {
    // 日 then 木 or 本 with nearly equal shape scores: the pair 日本 is common, 日木 is not.
    CODE_SCORE contradicted0[10] = {{0x93FA, 950}, {0x9E48, 940}};
    CODE_SCORE contradicted1[10] = {{0x96D8, 950}, {0x967B, 948}};
    CODE_SCORE* lists[2] = {contradicted0, contradicted1};
    ASSERT_EQ(lSRContextProcess(lists, 2, 10), SR_OK);
    EXPECT_EQ(contradicted0[0].code, 0x93FAu);
    EXPECT_EQ(contradicted1[0].code, 0x967Bu);
    EXPECT_EQ(contradicted1[1].code, 0x96D8u);

    CODE_SCORE supported0[10] = {{0x93FA, 950}, {0x9E48, 940}};
    CODE_SCORE supported1[10] = {{0x967B, 950}, {0x96D8, 948}};
    CODE_SCORE* kept[2] = {supported0, supported1};
    ASSERT_EQ(lSRContextProcess(kept, 2, 10), SR_OK);
    EXPECT_EQ(supported0[0].code, 0x93FAu);
    EXPECT_EQ(supported1[0].code, 0x967Bu);
}

} // namespace
