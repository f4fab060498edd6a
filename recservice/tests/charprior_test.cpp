// The character prior: its file, its weights and how it reorders candidate lists.
#include "recservice/charprior.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// 口, 囗, 日, 曰 in Shift-JIS
constexpr uint16_t kMouth = 0x8CFB, kEnclosure = 0x9A98, kSun = 0x93FA, kSay = 0x9E48;

class CharPrior : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = (fs::temp_directory_path() / ("charprior-" + std::to_string(::getpid()))).string();
    }
    void TearDown() override {
        vFreeCharPrior(&prior_);
        std::remove(path_.c_str());
    }
    // Two shapes: 口 (a school kanji) with 囗 (rare), and 日 (the commonest) with 曰.
    void WriteCommon(int32_t span = 100) {
        const uint16_t codes[] = {kMouth, kSun, kEnclosure, kSay};
        const uint8_t weights[] = {240, 255, 0, 10};
        const uint16_t groups[] = {1, 2, 1, 2};
        ASSERT_EQ(iWriteCharPrior(path_.c_str(), span, codes, weights, groups, 4), CHARPRIOR_OK);
        ASSERT_EQ(iLoadCharPrior(path_.c_str(), &prior_), CHARPRIOR_OK);
    }
    std::string Bytes() {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void WriteBytes(const std::string& bytes) {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string path_;
    CHAR_PRIOR prior_{};
};

TEST_F(CharPrior, FileLoadsBackWithItsWeightsAndSpan) {
    WriteCommon(77);
    EXPECT_EQ(prior_.iCount, 4);
    EXPECT_EQ(prior_.iSpan, 77);
    EXPECT_EQ(iCharPriorWeight(&prior_, kMouth), 240);
    EXPECT_EQ(iCharPriorWeight(&prior_, kSun), 255);
    EXPECT_EQ(iCharPriorWeight(&prior_, kSay), 10);
    EXPECT_EQ(iCharPriorWeight(&prior_, kEnclosure), 0);
    EXPECT_EQ(iCharPriorGroup(&prior_, kEnclosure), 1);
    EXPECT_EQ(iCharPriorGroup(&prior_, kSay), 2);
    EXPECT_EQ(iCharPriorWeight(&prior_, 0x10000u | kMouth), 240); // the low 16 bits count
    EXPECT_EQ(iCharPriorWeight(&prior_, 0x82A0), 0);              // not listed
    EXPECT_EQ(iCharPriorGroup(&prior_, 0x82A0), 0);
    EXPECT_EQ(iCharPriorWeight(nullptr, kMouth), 0);
    EXPECT_EQ(iCharPriorGroup(nullptr, kMouth), 0);
    EXPECT_EQ(Bytes().size(), 12u + 5 * 4);
    // loading again replaces what was loaded; freeing twice is harmless
    const uint16_t one[] = {kEnclosure};
    const uint8_t w[] = {9};
    const uint16_t g[] = {3};
    ASSERT_EQ(iWriteCharPrior(path_.c_str(), 5, one, w, g, 1), CHARPRIOR_OK);
    ASSERT_EQ(iLoadCharPrior(path_.c_str(), &prior_), CHARPRIOR_OK);
    EXPECT_EQ(iCharPriorWeight(&prior_, kMouth), 0);
    EXPECT_EQ(iCharPriorWeight(&prior_, kEnclosure), 9);
    EXPECT_EQ(iCharPriorGroup(&prior_, kEnclosure), 3);
    vFreeCharPrior(&prior_);
    vFreeCharPrior(&prior_);
    EXPECT_EQ(prior_.iCount, 0);
    // an empty prior is a valid file
    ASSERT_EQ(iWriteCharPrior(path_.c_str(), 100, nullptr, nullptr, nullptr, 0), CHARPRIOR_OK);
    EXPECT_EQ(iLoadCharPrior(path_.c_str(), &prior_), CHARPRIOR_OK);
    EXPECT_EQ(prior_.iCount, 0);
}

TEST_F(CharPrior, BadFilesAndArgumentsAreRefusedAndLeaveNoPrior) {
    WriteCommon();
    const std::string good = Bytes();
    auto refused = [&](const std::string& bytes) {
        WriteBytes(bytes);
        int r = iLoadCharPrior(path_.c_str(), &prior_);
        return r == CHARPRIOR_FILE && prior_.iCount == 0 && prior_.pCodes == nullptr;
    };
    EXPECT_TRUE(refused(""));
    EXPECT_TRUE(refused("XCPR" + good.substr(4)));                   // magic
    EXPECT_TRUE(refused(good.substr(0, 4) + '\2' + good.substr(5))); // version
    EXPECT_TRUE(refused(good.substr(0, good.size() - 1)));           // cut short
    EXPECT_TRUE(refused(good + "x"));                                // longer than its count
    std::string unsorted = good;
    std::swap(unsorted[12], unsorted[17]); // the first two codes swapped: no longer rising
    std::swap(unsorted[13], unsorted[18]);
    EXPECT_TRUE(refused(unsorted));
    std::string nogroup = good;
    nogroup[15] = nogroup[16] = 0; // a listed code of group 0
    EXPECT_TRUE(refused(nogroup));
    std::string wide = good;
    wide[6] = static_cast<char>(0xFF), wide[7] = static_cast<char>(0xFF); // span 65535
    EXPECT_TRUE(refused(wide));
    std::remove(path_.c_str());
    EXPECT_EQ(iLoadCharPrior(path_.c_str(), &prior_), CHARPRIOR_FILE);
    EXPECT_EQ(iLoadCharPrior(nullptr, &prior_), CHARPRIOR_ARGUMENT);
    EXPECT_EQ(iLoadCharPrior(path_.c_str(), nullptr), CHARPRIOR_ARGUMENT);

    const uint16_t falling[] = {kSun, kMouth}, rising[] = {kMouth, kSun};
    const uint8_t w[] = {1, 2};
    const uint16_t g[] = {1, 1}, g0[] = {1, 0};
    EXPECT_EQ(iWriteCharPrior(path_.c_str(), 10, falling, w, g, 2), CHARPRIOR_ARGUMENT);
    EXPECT_EQ(iWriteCharPrior(path_.c_str(), 10, rising, w, g0, 2), CHARPRIOR_ARGUMENT);
    EXPECT_EQ(iWriteCharPrior(path_.c_str(), 10, rising, w, nullptr, 2), CHARPRIOR_ARGUMENT);
    EXPECT_EQ(iWriteCharPrior(path_.c_str(), -1, nullptr, nullptr, nullptr, 0), CHARPRIOR_ARGUMENT);
    EXPECT_EQ(iWriteCharPrior(path_.c_str(), kCharPriorMaxSpan + 1, nullptr, nullptr, nullptr, 0),
              CHARPRIOR_ARGUMENT);
    EXPECT_EQ(iWriteCharPrior("/nonexistent-dir/prior.cpd", 10, nullptr, nullptr, nullptr, 0),
              CHARPRIOR_FILE);
}

TEST_F(CharPrior, CloseScoresAreOrderedByHowCommonTheCharacterIs) {
    WriteCommon();
    // a square 口 reads as 囗 first: 口 is well within the span, and goes first; 囗 keeps
    // its place before 日, whose score lies far below
    CR_RESULT res[5] = {{7, 999, kEnclosure}, {3, 938, kMouth}, {9, 700, kSun}, {}, {}};
    EXPECT_EQ(iApplyCharPrior(&prior_, prior_.iSpan, res, 5), 3);
    EXPECT_EQ(res[0].code, kMouth);
    EXPECT_EQ(res[0].pat_no, 3); // the whole record moves
    EXPECT_EQ(res[0].score, 938);
    EXPECT_EQ(res[1].code, kEnclosure);
    EXPECT_EQ(res[1].score, 938); // lowered to the score of the one that passed it
    EXPECT_EQ(res[2].code, kSun);
    EXPECT_EQ(res[2].score, 700);
    EXPECT_EQ(res[3].score, 0); // empty slots stay empty
    for (int i = 1; i < 3; ++i) EXPECT_LE(res[i].score, res[i - 1].score);
    // members of a group trade places around a candidate of no group, which keeps its place
    CR_RESULT around[3] = {{1, 999, kEnclosure}, {2, 960, 0x82A0}, {3, 938, kMouth}};
    iApplyCharPrior(&prior_, prior_.iSpan, around, 3);
    EXPECT_EQ(around[0].code, kMouth);
    EXPECT_EQ(around[1].code, 0x82A0u);
    EXPECT_EQ(around[2].code, kEnclosure);
    EXPECT_EQ(around[1].score, 938);
    EXPECT_EQ(around[2].score, 938);
}

TEST_F(CharPrior, CharactersOfOtherShapesNeverTradePlaces) {
    WriteCommon();
    // 日 weighs far more than 囗 and 曰, and scores close to them, but it is of another shape
    CR_RESULT res[3] = {{1, 999, kEnclosure}, {2, 998, kSun}, {3, 997, 0x82A0}};
    EXPECT_EQ(iApplyCharPrior(&prior_, prior_.iSpan, res, 3), 3);
    EXPECT_EQ(res[0].code, kEnclosure);
    EXPECT_EQ(res[1].code, kSun);
    EXPECT_EQ(res[0].score, 999);
    CR_RESULT other[2] = {{1, 999, kSay}, {2, 998, kMouth}};
    iApplyCharPrior(&prior_, prior_.iSpan, other, 2);
    EXPECT_EQ(other[0].code, kSay);
}

TEST_F(CharPrior, AClearScoreGapIsNeverCrossed) {
    WriteCommon();
    // 口 is worth 100 * 240 / 255 = 94.1 points over 囗: a gap of 95 stays, 94 does not
    CR_RESULT far[2] = {{1, 995, kEnclosure}, {2, 900, kMouth}};
    iApplyCharPrior(&prior_, prior_.iSpan, far, 2);
    EXPECT_EQ(far[0].code, kEnclosure);
    EXPECT_EQ(far[0].score, 995);
    EXPECT_EQ(far[1].score, 900);
    CR_RESULT near[2] = {{1, 994, kEnclosure}, {2, 900, kMouth}};
    iApplyCharPrior(&prior_, prior_.iSpan, near, 2);
    EXPECT_EQ(near[0].code, kMouth);
    // between two members only the difference of their weights counts: 日 over 曰 is worth
    // 100 * 245 / 255 = 96.1 points
    CR_RESULT pair[2] = {{1, 900, kSay}, {2, 803, kSun}};
    iApplyCharPrior(&prior_, prior_.iSpan, pair, 2);
    EXPECT_EQ(pair[0].code, kSay);
    pair[1].score = 804;
    iApplyCharPrior(&prior_, prior_.iSpan, pair, 2);
    EXPECT_EQ(pair[0].code, kSun);
}

TEST_F(CharPrior, NoPriorNoSpanOrEqualWeightsKeepTheOrder) {
    WriteCommon();
    const CR_RESULT given[4] = {{1, 999, kEnclosure}, {2, 998, kMouth}, {3, 998, 0x82A0}, {}};
    auto unchanged = [&](const CHAR_PRIOR* p, int32_t span) {
        CR_RESULT res[4];
        std::copy(given, given + 4, res);
        int n = iApplyCharPrior(p, span, res, 4);
        bool same = n == 3;
        for (int i = 0; i < 4; ++i)
            same = same && res[i].code == given[i].code && res[i].score == given[i].score &&
                   res[i].pat_no == given[i].pat_no;
        return same;
    };
    CHAR_PRIOR none{};
    EXPECT_TRUE(unchanged(nullptr, 100));
    EXPECT_TRUE(unchanged(&none, 100));
    EXPECT_TRUE(unchanged(&prior_, 0));
    EXPECT_TRUE(unchanged(&prior_, -5));
    EXPECT_FALSE(unchanged(&prior_, 100));
    // two unlisted characters of equal score keep their order (both weigh 0)
    CR_RESULT ties[2] = {{1, 500, 0x82A0}, {2, 500, 0x82A2}};
    iApplyCharPrior(&prior_, 100, ties, 2);
    EXPECT_EQ(ties[0].code, 0x82A0u);
    // the candidates end at the first record without a positive score
    CR_RESULT cut[3] = {{1, 999, kEnclosure}, {0, 0, 0}, {2, 998, kMouth}};
    EXPECT_EQ(iApplyCharPrior(&prior_, 100, cut, 3), 1);
    EXPECT_EQ(cut[0].code, kEnclosure);
    EXPECT_EQ(cut[2].code, kMouth);
    EXPECT_EQ(iApplyCharPrior(&prior_, 100, nullptr, 3), 0);
    EXPECT_EQ(iApplyCharPrior(&prior_, 100, cut, 0), 0);
}

} // namespace
