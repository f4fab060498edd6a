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
        int lo, hi; // the score's range
        const char* what;
    } cases[] = {
        {{0, 62, 36, 98}, kanji, -70, -65, "half as high, on the baseline"},
        {{0, 75, 40, 98}, kanji, -76, -73, "flat and wide (ッ), on the baseline"},
        {{0, 68, 30, 98}, kana, -74, -70, "beside kana, on the baseline"},
        {{0, 22, 36, 58}, kanji, 5, 10, "as small, but at the top"},
        {{0, 30, 60, 98}, kana, 24, 26, "as high as the kana beside it"},
        {{0, 20, 64, 100}, kanji, 24, 26, "as high as the kanji beside it"},
    };
    for (const Case& c : cases) {
        const int score = iKanaSizeScore(c.run, c.beside);
        EXPECT_GE(score, c.lo) << c.what;
        EXPECT_LE(score, c.hi) << c.what;
    }
    EXPECT_EQ(iKanaSizeScore({0, 62, 36, 98}, none), kNoKanaSize) << "a line of one character";
    EXPECT_EQ(iKanaSizeScore({0, 62, 36, 98}, bar), kNoKanaSize) << "beside a long-vowel mark";
}

TEST(KanaSize, OnlyTheTwinThatDoesNotFitPays) {
    struct Case {
        int score;
        uint32_t code;
        float lo, hi;
    } cases[] = {
        {-70, kSmallYa, 0, 0},    {-70, kYa, -4.5f, -3.8f}, {0, kSmallYa, -3.5f, -2.8f},
        {0, kYa, 0, 0},           {-30, kSmallYa, 0, 0},    {-30, kYa, 0, 0},
        {-400, kYa, -8, -8},      {200, kSmallYa, -8, -8},  {-70, kYoru, 0, 0},
        {kNoKanaSize, kYa, 0, 0},
    };
    for (const Case& c : cases) {
        const float lp = fKanaSizeLP(c.score, c.code);
        EXPECT_GE(lp, c.lo) << c.score << ", " << c.code;
        EXPECT_LE(lp, c.hi) << c.score << ", " << c.code;
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
