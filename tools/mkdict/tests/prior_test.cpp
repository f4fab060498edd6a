// The character prior's sources: KANJIDIC entries, weights and characters of the same shape.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "recservice/charprior.h"
#include "tools/mkdict/kanjidic.h"
#include "tools/mkdict/same_shape.h"

using namespace mkdict;
namespace fs = std::filesystem;

namespace {

// 口 as KanjiVG draws it, and a box drawn bigger and squarer (囗)
Ink Mouth() {
    return {{{22, 33}, {30, 83}}, {{25, 36}, {86, 30}, {77, 74}}, {{30, 78}, {81, 74}}};
}
Ink Enclosure() {
    return {{{19, 16}, {20, 95}}, {{22, 18}, {90, 15}, {89, 93}}, {{21, 92}, {89, 90}}};
}
// 十, and 土 (three strokes)
Ink Ten() {
    return {{{12, 51}, {96, 46}}, {{52, 12}, {54, 99}}};
}
Ink Earth() {
    return {{{25, 45}, {85, 43}}, {{55, 15}, {55, 88}}, {{12, 88}, {97, 86}}};
}

} // namespace

TEST(Kanjidic, FieldsOfTheEntriesAreRead) {
    auto info = ParseKanjidic("# KANJIDIC comment line\n"
                              "口 387D U53e3 B30 G1 S3 F284 J4 N868 コウ ク くち {mouth}\n"
                              "囗 5378 U56d7 B31 S3 V936 {enclosure} {F1 in a meaning}\n"
                              "卜 4B4E U535c B25 G9 S2 ボク うらな.う {divining}\n"
                              "broken line without code point G1 F1\n");
    ASSERT_EQ(info.size(), 3u);
    EXPECT_EQ(info[U'口'].grade, 1);
    EXPECT_EQ(info[U'口'].frequency, 284);
    EXPECT_EQ(info[U'囗'].grade, 0);
    EXPECT_EQ(info[U'囗'].frequency, 0); // fields among the meanings do not count
    EXPECT_EQ(info[U'卜'].grade, 9);
    std::map<char32_t, KanjiInfo> none;
    std::string err;
    EXPECT_FALSE(ReadKanjidic("/nonexistent/kanjidic", none, err));
    EXPECT_FALSE(err.empty());
}

TEST(Kanjidic, WeightsRankCommonKanjiThenKanaThenRareKanji) {
    const KanjiInfo grade1{1, 62}, grade2{2, 299}, names{9, 0}, rare{0, 0}, frequent{0, 40};
    const uint16_t kanji = 0x97CD, katakana = 0x834A;
    EXPECT_GT(PriorWeight(kanji, &grade1), PriorWeight(kanji, &grade2));
    EXPECT_GT(PriorWeight(kanji, &grade2), PriorWeight(katakana, nullptr)); // 工 before エ
    EXPECT_GT(PriorWeight(katakana, nullptr), PriorWeight(kanji, &names));  // ト before 卜
    EXPECT_EQ(PriorWeight(kanji, &rare), 0);                                // 囗
    EXPECT_EQ(PriorWeight(kanji, nullptr), 0);
    EXPECT_GT(PriorWeight(kanji, &frequent), PriorWeight(kanji, &names));
    EXPECT_EQ(PriorWeight(0x82A0, nullptr), PriorWeight(0x829F, nullptr)); // kana alike
}

TEST(SameShape, SizeAndProportionsDoNotCountStrokesDo) {
    EXPECT_LT(ShapeDistance(Mouth(), Enclosure()), kSameShapeDistance);
    EXPECT_NEAR(ShapeDistance(Mouth(), Mouth()), 0, 1e-12);
    EXPECT_GT(ShapeDistance(Mouth(), Ten()), 1e6); // other stroke count
    EXPECT_GT(ShapeDistance(Mouth(), Earth()), kSameShapeDistance);
    EXPECT_GT(ShapeDistance({}, {}), 1e6);
    // reversed strokes are another shape
    Ink back = Mouth();
    for (auto& s : back) std::reverse(s.begin(), s.end());
    EXPECT_GT(ShapeDistance(Mouth(), back), kSameShapeDistance);

    auto groups = SameShapeGroups({Mouth(), Ten(), Earth(), Enclosure(), Mouth()}, 0.12, 4);
    EXPECT_EQ(groups, (std::vector<int>{1, 0, 0, 1, 1}));
    // drawings with more strokes than the limit are never grouped
    groups = SameShapeGroups({Mouth(), Enclosure()}, 0.12, 2);
    EXPECT_EQ(groups, (std::vector<int>{0, 0}));
}

TEST(SameShape, PriorFileListsTheGroupedCharactersWithTheirWeights) {
    const std::string path =
        (fs::temp_directory_path() / ("prior-" + std::to_string(::getpid()) + ".cpd")).string();
    // 口 (grade 1), 十 (grade 1, alone of its shape), 囗 (rare)
    const std::vector<uint16_t> codes{0x8CFB, 0x8F5C, 0x9A98};
    const std::map<char32_t, KanjiInfo> kanjidic{{U'口', {1, 284}}, {U'十', {1, 8}}};
    std::string err;
    ASSERT_TRUE(WriteCharPriorFile(path, codes, {Mouth(), Ten(), Enclosure()}, &kanjidic, 100,
                                   kSameShapeDistance, err))
        << err;
    CHAR_PRIOR prior{};
    ASSERT_EQ(iLoadCharPrior(path.c_str(), &prior), CHARPRIOR_OK);
    EXPECT_EQ(prior.iCount, 2);
    EXPECT_EQ(prior.iSpan, 100);
    EXPECT_EQ(iCharPriorGroup(&prior, 0x8CFB), iCharPriorGroup(&prior, 0x9A98));
    EXPECT_NE(iCharPriorGroup(&prior, 0x8CFB), 0);
    EXPECT_EQ(iCharPriorGroup(&prior, 0x8F5C), 0);
    EXPECT_GT(iCharPriorWeight(&prior, 0x8CFB), 200);
    EXPECT_EQ(iCharPriorWeight(&prior, 0x9A98), 0);
    // without KANJIDIC the prior is empty: the classifier's order stands
    ASSERT_TRUE(WriteCharPriorFile(path, codes, {Mouth(), Ten(), Enclosure()}, nullptr, 100,
                                   kSameShapeDistance, err));
    ASSERT_EQ(iLoadCharPrior(path.c_str(), &prior), CHARPRIOR_OK);
    EXPECT_EQ(prior.iCount, 0);
    vFreeCharPrior(&prior);
    EXPECT_FALSE(WriteCharPriorFile(path, codes, {Mouth()}, nullptr, 100, 0.1, err));
    std::remove(path.c_str());
}
