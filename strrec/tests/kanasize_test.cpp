// Small kana and their full-size twins told apart by the size and place of their ink.
#include "strrec/kanasize.h"
#include "strrec/runcache.h"
#include "tests/fake_classifier.h"

#include "strrec/classifier_api.h"
#include "tests/search_probe.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kYa = 0x8384, kSmallYa = 0x8383, kYoru = 0x96E9; // ヤ ャ 夜

TEST(KanaSize, ScoreOfTheBoxAgainstTheInkBesideIt) {
    const tagRECT kanji{-80, 20, 260, 100}, kana{-80, 30, 260, 98};
    struct Case {
        tagRECT run, beside;
        int lo, hi; // the score's range
    } cases[] = {
        {{0, 62, 36, 98}, kanji, -70, -65}, // half as high, on the baseline
        {{0, 75, 40, 98}, kanji, -76, -73}, // flat and wide (ッ), on the baseline
        {{0, 68, 30, 98}, kana, -74, -70},  // beside kana, on the baseline
        {{0, 22, 36, 58}, kanji, 5, 10},    // as small, but at the top
        {{0, 30, 60, 98}, kana, 24, 26},    // as high as the kana beside it
        {{0, 62, 36, 98}, {1, 1, 0, 0}, kNoKanaSize, kNoKanaSize},       // nothing beside
        {{0, 62, 36, 98}, {-80, 55, 260, 60}, kNoKanaSize, kNoKanaSize}, // beside ー only
    };
    for (const Case& c : cases) {
        const int score = iKanaSizeScore(c.run, c.beside);
        EXPECT_TRUE(score >= c.lo && score <= c.hi) << score << " for " << c.run.top;
    }
}

TEST(KanaSize, OnlyTheTwinThatDoesNotFitPays) {
    struct Case {
        int score;
        uint32_t code;
        float lo, hi;
    } cases[] = {{-70, kSmallYa, 0, 0},
                 {-70, kYa, -4.5f, -3.8f},
                 {0, kSmallYa, -3.5f, -2.8f},
                 {0, kYa, 0, 0},
                 {-30, kYa, 0, 0},
                 {-400, kYa, -8, -8},
                 {200, kSmallYa, -8, -8},
                 {-70, kYoru, 0, 0},
                 {kNoKanaSize, kYa, 0, 0},
                 {-70, 0x8350, -4.5f, -3.8f}}; // ケ, whose small form ヶ is not ケ + 1
    for (const Case& c : cases) {
        const float lp = fKanaSizeLP(c.score, c.code);
        EXPECT_TRUE(lp >= c.lo && lp <= c.hi) << lp << " for " << c.score << ", " << c.code;
    }
}

TEST(KanaSize, SizeBesideFullSizeNeighboursChoosesTheTwin) {
    fake::SetOpenResult(0);
    iOpenClassRecogModule("", "");
    // every run looks like ャ first, ヤ a little behind, as the classifier ranks them
    fake::SetHandler([](const PATTERN_W&, CR_RESULT* res, int) {
        res[0] = {1, 900, kSmallYa};
        res[1] = {2, 890, kYa};
        return 2;
    });
    // the middle character low (ャ) or as high as its neighbours (ヤ)
    for (const auto& [top, want] :
         {std::pair{66, "\x83\x84\x83\x83\x83\x84"}, std::pair{24, "\x83\x84\x83\x84\x83\x84"}}) {
        rRunCache().vClear();
        SearchProbe obj;
        obj.Bar(0, 60, 20, 100);
        obj.Bar(100, 134, top, 98);
        obj.Bar(160, 220, 20, 100);
        ASSERT_EQ(obj.Search(80), SR_OK);
        EXPECT_EQ(obj.Best(), want) << "middle character from y " << top;
    }
    vCloseClassRecogModule();
    fake::SetHandler(nullptr);
}

} // namespace
