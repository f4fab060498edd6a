// Small kana and their full-size twins told apart by the size and place of their ink.
#include "strrec/kanasize.h"
#include "strrec/runcache.h"
#include "tests/fake_classifier.h"

#include "strrec/classifier_api.h"
#include "tests/search_probe.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t kYa = 0x8384, kSmallYa = 0x8383, kYoru = 0x96E9; // ヤ ャ 夜

TEST(KanaSize, BoxAgainstTheInkBesideIt) {
    const tagRECT kanji{-80, 20, 260, 100}, kana{-80, 30, 260, 98}, bar{-80, 55, 260, 60},
        none{1, 1, 0, 0};
    struct Case {
        tagRECT run, beside;
        int want;
        const char* what;
    } cases[] = {
        {{0, 62, 36, 98}, kanji, KS_SMALL, "half as high, on the baseline"},
        {{0, 75, 40, 98}, kanji, KS_SMALL, "flat and wide (ッ), on the baseline"},
        {{0, 68, 30, 98}, kana, KS_SMALL, "beside kana, on the baseline"},
        {{0, 22, 36, 58}, kanji, KS_FULL, "as small, but at the top: not on the baseline"},
        {{0, 44, 50, 98}, kanji, KS_UNKNOWN, "between the two"},
        {{0, 30, 60, 98}, kana, KS_FULL, "as high as the kana beside it"},
        {{0, 20, 64, 100}, kanji, KS_FULL, "as high as the kanji beside it"},
        {{0, 62, 36, 98}, none, KS_UNKNOWN, "nothing beside it: a line of one character"},
        {{0, 62, 36, 98}, bar, KS_UNKNOWN, "beside a long-vowel mark only"},
    };
    for (const Case& c : cases) EXPECT_EQ(iKanaSizeOfBox(c.run, c.beside), c.want) << c.what;
}

TEST(KanaSize, OnlyTheTwinThatFitsStays) {
    using List = std::vector<CR_RESULT>;
    struct Case {
        List in;
        int size;
        List want;
    } cases[] = {
        {{{1, 900, kYa}, {2, 890, kSmallYa}, {3, 700, kYoru}},
         KS_SMALL,
         {{2, 900, kSmallYa}, {3, 890, kYoru}, {0, 0, 0}}},
        {{{3, 900, kYoru}, {1, 890, kYa}, {4, 880, kYoru}, {2, 870, kSmallYa}, {5, 860, kYoru}},
         KS_SMALL,
         {{3, 900, kYoru}, {2, 890, kSmallYa}, {4, 880, kYoru}, {5, 870, kYoru}, {0, 0, 0}}},
        {{{1, 900, kYa}, {2, 890, kSmallYa}, {0, 0, 0}, {3, 700, kYoru}},
         KS_SMALL,
         {{2, 900, kSmallYa}, {0, 0, 0}, {0, 0, 0}, {3, 700, kYoru}}},
        {{{1, 900, kYa}, {2, 890, kSmallYa}}, KS_FULL, {{1, 900, kYa}, {0, 0, 0}}},
        {{{2, 900, kSmallYa}, {1, 890, kYa}}, KS_FULL, {{1, 900, kYa}, {0, 0, 0}}},
        {{{1, 900, kYa}, {2, 890, kSmallYa}}, KS_UNKNOWN, {{1, 900, kYa}, {2, 890, kSmallYa}}},
        {{{1, 900, kYa}, {3, 890, kYoru}}, KS_SMALL, {{1, 900, kYa}, {3, 890, kYoru}}},
    };
    for (size_t n = 0; n < std::size(cases); ++n) {
        List got = cases[n].in;
        vKeepTheKanaTwinThatFits(got.data(), static_cast<int>(got.size()), cases[n].size);
        for (size_t k = 0; k < got.size(); ++k) {
            EXPECT_EQ(got[k].code, cases[n].want[k].code) << "case " << n << ", " << k;
            EXPECT_EQ(got[k].pat_no, cases[n].want[k].pat_no) << "case " << n << ", " << k;
            EXPECT_EQ(got[k].score, cases[n].want[k].score) << "case " << n << ", " << k;
        }
    }
    EXPECT_EQ(wFullSizeKanaOf(0x8395), 0x834Au); // ヵ -> カ
    EXPECT_EQ(wSmallKanaOf(0x82C2), 0x82C1u);    // つ -> っ
    EXPECT_EQ(wSmallKanaOf(kYoru), 0u);
}

class KanaLine : public ::testing::Test {
protected:
    void SetUp() override {
        fake::SetOpenResult(0);
        iOpenClassRecogModule("", "");
        rRunCache().vClear();
        // every run looks like ャ first, ヤ a little behind, as the classifier ranks them
        fake::SetHandler([](const PATTERN_W&, CR_RESULT* res, int) {
            res[0] = {1, 900, kSmallYa};
            res[1] = {2, 890, kYa};
            return 2;
        });
    }
    void TearDown() override {
        vCloseClassRecogModule();
        fake::SetHandler(nullptr);
    }
};

TEST_F(KanaLine, SizeBesideFullSizeNeighboursChoosesTheTwin) {
    struct Case {
        int top;
        const char* want;
    } cases[] = {{66, "\x83\x84\x83\x83\x83\x84"}, {24, "\x83\x84\x83\x84\x83\x84"}};
    for (const Case& c : cases) {
        rRunCache().vClear();
        SearchProbe obj;
        obj.Bar(0, 60, 20, 100);
        obj.Bar(100, 134, c.top, 98);
        obj.Bar(160, 220, 20, 100);
        ASSERT_EQ(obj.Search(80), SR_OK);
        EXPECT_EQ(obj.Best(), c.want) << "middle character from y " << c.top;
    }
}

} // namespace
