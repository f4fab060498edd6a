// The fitted evaluation tables of the compiled dictionaries (the file VELTAREC.INI names
// as LPDIC) with the real classifier, on imitated writing of the held-out seeds. Skipped
// when the dictionaries have not been built.
#include "platform/profile.h"
#include "platform/sysdir.h"
#include "tessera/seqread.h"
#include "tests/dict_line.h"
#include "tools/mkdict/lines.h"
#include "tools/mkdict/seeds.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST_F(Fitted, KanaOfStrokesStandingApartAreReadWhole) {
    // ル い に け: kana whose strokes stand apart, in lines of kana only, where the ink
    // runs are far narrower than the characters.
    const std::vector<std::vector<uint16_t>> texts = {
        {0x838B, 0x815B, 0x838B}, {0x82C9, 0x82CD}, {0x82A2, 0x82A2}, {0x82AF, 0x82A2, 0x82C9}};
    mkdict::ModelSet models;
    std::string err;
    ASSERT_TRUE(mkdict::ReadModels(MKDICT_TEST_KANJIVG,
                                   {0x838B, 0x815B, 0x82C9, 0x82CD, 0x82A2, 0x82AF}, models, err))
        << err;
    int counted = 0, lines = 0;
    for (size_t t = 0; t < texts.size(); ++t) {
        for (uint64_t n = 0; n < 8; ++n) {
            mkdict::WrittenLine line;
            ASSERT_TRUE(mkdict::WriteLine(models, texts[t],
                                          mkdict::LineSeed(mkdict::kHeldOutSeedBase, 8, t * 16 + n),
                                          {}, line));
            ++lines;
            counted += Read(line).size() == texts[t].size();
        }
    }
    // 28 of these 32 lines; 17 with the character size from the ink runs alone.
    EXPECT_GE(counted * 4, lines * 3) << counted << " of " << lines << " with the right count";
}

TEST_F(Fitted, SmallKanaAreToldFromTheirTwinsBySize) {
    // しょう しよう, きょう きよう, りょう りよう, かって かつて: words with either form
    const uint16_t words[][4] = {{0x82B5, 0x82E5, 0x82E6, 0x82A4},
                                 {0x82AB, 0x82E5, 0x82E6, 0x82A4},
                                 {0x82E8, 0x82E5, 0x82E6, 0x82A4},
                                 {0x82A9, 0x82C1, 0x82C2, 0x82C4}};
    mkdict::ModelSet models;
    std::string err;
    ASSERT_TRUE(mkdict::ReadModels(MKDICT_TEST_KANJIVG, {}, models, err)) << err;
    // per form written: lines whose middle came back as either twin, and as the one written
    int twin[2] = {}, right[2] = {}, lines = 0;
    for (size_t t = 0; t < std::size(words); ++t, lines += 12) {
        for (uint64_t n = 0; n < 24; ++n) {
            const std::vector<uint16_t> text = {words[t][0], words[t][1 + n % 2], words[t][3]};
            mkdict::WrittenLine line;
            ASSERT_TRUE(mkdict::WriteLine(
                models, text, mkdict::LineSeed(mkdict::kHeldOutSeedBase, 9, t * 16 + n / 2), {},
                line));
            const std::vector<uint16_t> got = Read(line);
            if (got.size() != 3 || (got[1] != words[t][1] && got[1] != words[t][2])) continue;
            ++twin[n % 2];
            right[n % 2] += got[1] == text[1];
        }
    }
    // The language model favours one form of each word: without the size term 76 % of the
    // small ones and 28 % of the full-size ones come back as written, with it 87 and 81 %.
    EXPECT_GE(std::min(twin[0], twin[1]) * 4, lines * 3);
    EXPECT_GE(right[0] * 6, twin[0] * 5) << right[0] << " of " << twin[0] << " small ones";
    EXPECT_GE(right[1] * 4, twin[1] * 3) << right[1] << " of " << twin[1] << " full-size ones";
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
