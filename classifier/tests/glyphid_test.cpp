// The classifier library through its exported interface.
#include "tessera/glyphid.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <tuple>
#include <vector>

#include "classifier/crcore.h"
#include "glyphid_fixture.h"

namespace {

using namespace glyphid_test;

constexpr int kRoom = 100;

// Recognizes ink; returns the codes of the candidates (and checks the count and the
// zeroed tail of the result array).
std::vector<uint16_t> Codes(const std::vector<POINT_W>& ink,
                            std::vector<CR_RESULT>* out = nullptr) {
    std::vector<POINT_W> pts = ink;
    PATTERN_W p{pts.data(), int32_t(pts.size())};
    std::vector<CR_RESULT> res(kRoom, CR_RESULT{7, 7, 7});
    const int n = iClassifyRecognize(&p, res.data(), kRoom);
    EXPECT_GE(n, 0);
    std::vector<uint16_t> codes;
    for (int i = 0; i < n; ++i) {
        EXPECT_GE(res[size_t(i)].score, 1);
        if (i > 0) {
            EXPECT_LE(res[size_t(i)].score, res[size_t(i - 1)].score);
        }
        codes.push_back(uint16_t(res[size_t(i)].code));
    }
    // Either the array was left alone (a refused call) or everything after the candidates
    // is zero.
    const bool untouched = std::all_of(res.begin(), res.end(), [](const CR_RESULT& r) {
        return r.pat_no == 7 && r.score == 7 && r.code == 7;
    });
    if (!untouched) {
        for (int i = n; i < kRoom; ++i) {
            EXPECT_EQ(res[size_t(i)].score, 0);
            EXPECT_EQ(res[size_t(i)].code, 0u);
        }
    }
    if (out) *out = res;
    return codes;
}

std::set<uint16_t> Set(const std::vector<uint16_t>& v) {
    return {v.begin(), v.end()};
}

class Glyphid : public ::testing::Test {
protected:
    void TearDown() override {
        vCloseClassRecogModule();
        PAT_POS box{100, 100, 0, 0};
        vSetGuideBox(&box);
        vSetMatchingMode(0);
    }
    std::string Dic(const std::vector<Category>& cats, const char* name = "cr.dic") {
        const std::string path = dir_.File(name);
        EXPECT_TRUE(WritePatternDictionary(path, cats));
        return path;
    }

    TempDir dir_;
    // The input: a cross written larger and away from the origin.
    std::vector<POINT_W> input_ = Ink(Scaled(Cross(), 3, 2, 40, 40));
};

TEST_F(Glyphid, ClassifyRefusesWithoutWritingAnything) {
    std::vector<POINT_W> pts = input_;
    PATTERN_W p{pts.data(), int32_t(pts.size())};
    CR_RESULT res[3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    EXPECT_EQ(iClassifyRecognize(&p, res, 3), 0) << "closed";
    EXPECT_EQ(res[0].score, 2);

    ASSERT_EQ(iOpenClassRecogModule(Dic({{0x889F, {Cross()}}}).c_str(), nullptr), 0);
    EXPECT_EQ(iClassifyRecognize(nullptr, res, 3), 0);
    EXPECT_EQ(iClassifyRecognize(&p, nullptr, 3), 0);
    EXPECT_EQ(iClassifyRecognize(&p, res, 0), 0);
    EXPECT_EQ(iClassifyRecognize(&p, res, -2), 0);
    EXPECT_EQ(res[0].score, 2);
    EXPECT_EQ(res[2].code, 9u);

    PATTERN_W empty{pts.data(), 0};
    EXPECT_EQ(iClassifyRecognize(&empty, res, 3), 0);
    EXPECT_EQ(res[0].score, 0) << "an empty pattern still zeroes the results";
}

TEST_F(Glyphid, RecognizesTheWrittenCharacter) {
    ASSERT_EQ(
        iOpenClassRecogModule(
            Dic({{0x8CFB, {Kou()}}, {0x8F5C, {Cross()}}, {0x8E52, {Slash()}}}).c_str(), nullptr),
        0);
    std::vector<CR_RESULT> res;
    const auto codes = Codes(input_, &res);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes[0], 0x8F5C);
    EXPECT_EQ(res[0].pat_no, 2);
    // Neither the three-stroke nor the one-stroke pattern can be the written two strokes.
    EXPECT_EQ(codes.size(), 1u);
    // The result array is only as long as asked.
    std::vector<POINT_W> pts = Ink(Kou());
    PATTERN_W p{pts.data(), int32_t(pts.size())};
    CR_RESULT one[1] = {};
    EXPECT_EQ(iClassifyRecognize(&p, one, 1), 1);
    EXPECT_EQ(one[0].code, 0x8CFBu);
}

TEST_F(Glyphid, OpenAndCloseStates) {
    const std::string dic = Dic({{0x8F5C, {Cross()}}});
    EXPECT_EQ(iOpenClassRecogModule(dir_.File("missing.dic").c_str(), nullptr), 3);
    EXPECT_TRUE(Codes(input_).empty()) << "a failed open stays closed";
    ASSERT_EQ(iOpenClassRecogModule(dic.c_str(), nullptr), 0);
    EXPECT_EQ(iOpenClassRecogModule(dic.c_str(), nullptr), 1);
    EXPECT_EQ(Codes(input_), std::vector<uint16_t>{0x8F5C}) << "the second open changed nothing";
    vCloseClassRecogModule();
    vCloseClassRecogModule();
    EXPECT_TRUE(Codes(input_).empty());
    ASSERT_EQ(iOpenClassRecogModule(dic.c_str(), nullptr), 0);
    EXPECT_EQ(Codes(input_).size(), 1u);
    vCloseClassRecogModule();

    // Without a pattern dictionary nothing is ever found.
    ASSERT_EQ(iOpenClassRecogModule(nullptr, nullptr), 0);
    EXPECT_TRUE(Codes(input_).empty());
}

// Codes at the edges of every class, with the mask bit they belong to (0: none).
struct Coded {
    uint16_t code;
    int bit;
};
const Coded kEdges[] = {
    {0x829E, 0},   {0x829F, 1},   {0x82F1, 1},   {0x82F2, 0},   {0x824E, 0},   {0x824F, 2},
    {0x8258, 2},   {0x8259, 0},   {0x833F, 0},   {0x8340, 4},   {0x8396, 4},   {0x8397, 0},
    {0x8144, 256}, {0x8145, 256}, {0x8147, 256}, {0x8148, 8},   {0x8164, 8},   {0x8165, 256},
    {0x8168, 256}, {0x8169, 8},   {0x81FC, 8},   {0x81FD, 0},   {0x873F, 0},   {0x8740, 8},
    {0x879C, 8},   {0x879D, 0},   {0x843F, 0},   {0x8440, 8},   {0x8460, 8},   {0x8461, 0},
    {0x846F, 0},   {0x8470, 8},   {0x8491, 8},   {0x8492, 0},   {0x8140, 0},   {0x8141, 256},
    {0x889E, 0},   {0x889F, 16},  {0x9872, 16},  {0x9873, 0},   {0x989E, 0},   {0x989F, 32},
    {0xFC4B, 32},  {0xFC4C, 0},   {0x825F, 0},   {0x8260, 64},  {0x8279, 64},  {0x827A, 0},
    {0x8280, 0},   {0x8281, 64},  {0x829A, 64},  {0x829B, 0},   {0x839E, 0},   {0x839F, 128},
    {0x83B6, 128}, {0x83B7, 0},   {0x83BE, 0},   {0x83BF, 128}, {0x83D6, 128}, {0x83D7, 0},
    {0x0041, 0},   {0x00B1, 0},
};

TEST_F(Glyphid, CategoryMaskSelectsExactlyItsClasses) {
    std::vector<Category> cats;
    for (const Coded& c : kEdges) cats.push_back({c.code, {Cross()}});
    ASSERT_EQ(iOpenClassRecogModule(Dic(cats).c_str(), nullptr), 0);

    std::set<uint16_t> all;
    for (const Coded& c : kEdges) all.insert(c.code);
    EXPECT_EQ(Set(Codes(input_)), all) << "511 installs no filter: single-byte codes too";

    for (int bit = 1; bit <= 256; bit <<= 1) {
        vSetRecogCategory(bit);
        std::set<uint16_t> expected;
        for (const Coded& c : kEdges)
            if (c.bit == bit) expected.insert(c.code);
        EXPECT_EQ(Set(Codes(input_)), expected) << "mask " << bit;
    }

    vSetRecogCategory(1 | 16);
    std::set<uint16_t> expected;
    for (const Coded& c : kEdges)
        if (c.bit == 1 || c.bit == 16) expected.insert(c.code);
    EXPECT_EQ(Set(Codes(input_)), expected);

    // Every class but with the mask not full: codes outside every class never come back.
    vSetRecogCategory(510 | 1);
    EXPECT_EQ(Set(Codes(input_)).count(0x0041), 1u) << "511 again";
    vSetRecogCategory(510);
    const auto without = Set(Codes(input_));
    EXPECT_EQ(without.count(0x0041), 0u);
    EXPECT_EQ(without.count(0x00B1), 0u);
    EXPECT_EQ(without.count(0x829F), 0u);
    EXPECT_EQ(without.count(0x889F), 1u);

    // Out-of-range masks are ignored.
    vSetRecogCategory(1);
    vSetRecogCategory(512);
    vSetRecogCategory(-1);
    EXPECT_EQ(Set(Codes(input_)), (std::set<uint16_t>{0x829F, 0x82F1}));
    vSetRecogCategory(0);
    EXPECT_TRUE(Codes(input_).empty()) << "mask 0 wants nothing";
}

TEST_F(Glyphid, MaskIsKeptOnlyWhileOpen) {
    const std::string dic = Dic({{0x889F, {Cross()}}, {0x82A0, {Cross()}}});
    vSetRecogCategory(1); // closed: ignored
    ASSERT_EQ(iOpenClassRecogModule(dic.c_str(), nullptr), 0);
    EXPECT_EQ(Codes(input_).size(), 2u);
    vSetRecogCategory(1);
    EXPECT_EQ(Codes(input_), std::vector<uint16_t>{0x82A0});
    vCloseClassRecogModule();
    ASSERT_EQ(iOpenClassRecogModule(dic.c_str(), nullptr), 0);
    EXPECT_EQ(Codes(input_).size(), 2u) << "closing resets the mask";
}

TEST_F(Glyphid, KanjiNeverReturnedUnderTheHiraganaMask) {
    // The kanji is the written shape; the hiragana is a worse match.
    const Shape lowCross = {{{0, 30}, {128, 30}}, {{64, 0}, {64, 128}}};
    ASSERT_EQ(
        iOpenClassRecogModule(Dic({{0x889F, {Cross()}}, {0x82A0, {lowCross}}}).c_str(), nullptr),
        0);
    const auto all = Codes(input_);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0], 0x889F);
    vSetRecogCategory(1);
    EXPECT_EQ(Codes(input_), std::vector<uint16_t>{0x82A0});
}

class GlyphidCoarse : public Glyphid {
protected:
    void SetUp() override {
        // Seven categories of the same shape; the coarse dictionary knows six of them at
        // distances 0, 1, 4, 9, 16 and 25, so its ranking decides which take part.
        for (uint16_t c = 0x82A0; c <= 0x82A5; ++c) cats_.push_back({c, {Cross()}});
        cats_.push_back({0x889F, {Cross()}});
        for (int d = 0; d < 5; ++d) coarse_.push_back(CoarseEntry(uint16_t(0x82A0 + d), input_, d));
        coarse_.push_back(CoarseEntry(0x889F, input_, 5));
        coarsePath_ = dir_.File("cc.dic");
        ASSERT_TRUE(WriteCoarse(coarsePath_, coarse_));
        dicPath_ = Dic(cats_);
    }
    std::set<uint16_t> Range(uint16_t from, uint16_t to) {
        std::set<uint16_t> s;
        for (uint32_t c = from; c <= to; ++c) s.insert(uint16_t(c));
        return s;
    }

    std::vector<Category> cats_;
    std::vector<CoarseDicEntry> coarse_;
    std::string coarsePath_, dicPath_;
};

TEST_F(GlyphidCoarse, WithoutAClassCountTheWholeDictionaryTakesPart) {
    ASSERT_EQ(iOpenClassRecogModule(dicPath_.c_str(), coarsePath_.c_str()), 0);
    EXPECT_EQ(Codes(input_).size(), 7u);
}

TEST_F(GlyphidCoarse, ClassCountNarrowsToTheNearestCandidates) {
    ASSERT_EQ(iOpenClassRecogModule(dicPath_.c_str(), coarsePath_.c_str()), 0);
    vSetClassCount(3);
    EXPECT_EQ(Set(Codes(input_)), Range(0x82A0, 0x82A2));
    vSetClassCount(5);
    EXPECT_EQ(Set(Codes(input_)), Range(0x82A0, 0x82A4));
    vSetClassCount(3); // the larger buffer stays, three candidates are used
    EXPECT_EQ(Set(Codes(input_)), Range(0x82A0, 0x82A2));
    vSetClassCount(-4); // ignored
    EXPECT_EQ(Codes(input_).size(), 3u);
    vSetClassCount(100000); // more than the dictionary holds: every coarse entry
    auto s = Range(0x82A0, 0x82A4);
    s.insert(0x889F);
    EXPECT_EQ(Set(Codes(input_)), s);
    vSetClassCount(0);
    EXPECT_EQ(Codes(input_).size(), 7u) << "0 switches the coarse path off";
}

TEST_F(GlyphidCoarse, CoarseCandidatesMustAlsoBeOfAWantedClass) {
    ASSERT_EQ(iOpenClassRecogModule(dicPath_.c_str(), coarsePath_.c_str()), 0);
    vSetClassCount(6);
    vSetRecogCategory(16);
    EXPECT_EQ(Codes(input_), std::vector<uint16_t>{0x889F});
    vSetRecogCategory(1);
    EXPECT_EQ(Set(Codes(input_)), Range(0x82A0, 0x82A4));
    vSetClassCount(2);
    vSetRecogCategory(16);
    // No candidate matches well as written: the second look takes three times as many
    // coarse candidates and finds the kanji; matching as written only, none is found.
    EXPECT_EQ(Codes(input_), std::vector<uint16_t>{0x889F});
    vSetMatchingMode(2);
    EXPECT_TRUE(Codes(input_).empty());
    vSetClassCount(1);
    vSetMatchingMode(0);
    // The kanji is the sixth coarse candidate, beyond the second look's three. The
    // candidates ranked without direction, twice as many, reach it, but they are matched
    // with the strokes reordered only, and this writing is already in the kanji's order.
    EXPECT_TRUE(Codes(input_).empty());
}

TEST_F(GlyphidCoarse, ClassCountNeedsALoadedCoarseDictionary) {
    // A coarse dictionary cut short: the open succeeds without coarse classification.
    const std::string cut = dir_.File("cut.dic");
    {
        std::vector<CoarseDicEntry> one = {coarse_[0]};
        ASSERT_TRUE(WriteCoarse(cut, one));
        std::filesystem::resize_file(cut, 40);
    }
    ASSERT_EQ(iOpenClassRecogModule(dicPath_.c_str(), cut.c_str()), 0);
    vSetClassCount(1);
    EXPECT_EQ(Codes(input_).size(), 7u);
    vCloseClassRecogModule();

    ASSERT_EQ(iOpenClassRecogModule(dicPath_.c_str(), dir_.File("none.dic").c_str()), 0);
    vSetClassCount(1);
    EXPECT_EQ(Codes(input_).size(), 7u);
    vCloseClassRecogModule();

    ASSERT_EQ(iOpenClassRecogModule(dicPath_.c_str(), nullptr), 0);
    vSetClassCount(1);
    EXPECT_EQ(Codes(input_).size(), 7u);
}

TEST_F(GlyphidCoarse, CloseForgetsTheClassCount) {
    ASSERT_EQ(iOpenClassRecogModule(dicPath_.c_str(), coarsePath_.c_str()), 0);
    vSetClassCount(1);
    EXPECT_EQ(Codes(input_), std::vector<uint16_t>{0x82A0});
    vCloseClassRecogModule();
    ASSERT_EQ(iOpenClassRecogModule(dicPath_.c_str(), coarsePath_.c_str()), 0);
    EXPECT_EQ(Codes(input_).size(), 7u);
    vSetClassCount(1);
    EXPECT_EQ(Codes(input_), std::vector<uint16_t>{0x82A0}) << "a fresh buffer after close";
}

TEST_F(Glyphid, GuideBoxPlacesPositionSensitiveCategories) {
    // 0x8F5D is position-sensitive: a composite whose only part fills the whole box, so
    // its region is the whole guide box. 0x8F5C is the same shape without position.
    std::vector<Category> cats = {{0, {Cross()}}, {0x8F5C, {Cross()}}};
    Category pos;
    pos.code = 0x8F5D;
    pos.status = 1 | 8;
    pos.part[0] = 1;
    pos.part[1] = 0;
    pos.pos[0] = 0x00;
    pos.partSize[0] = 0xFF;
    cats.push_back(pos);
    ASSERT_EQ(iOpenClassRecogModule(Dic(cats).c_str(), nullptr), 0);

    auto scores = [&](const std::vector<POINT_W>& ink) {
        std::vector<CR_RESULT> res;
        const auto codes = Codes(ink, &res);
        int plain = 0, placed = 0;
        for (size_t i = 0; i < codes.size(); ++i) {
            if (codes[i] == 0x8F5C) plain = res[i].score;
            if (codes[i] == 0x8F5D) placed = res[i].score;
        }
        return std::pair<int, int>{plain, placed};
    };

    // Written filling the default box 0..100: centred, a bonus of 256.
    const auto centred = Ink(Scaled(Cross(), 100, 128));
    auto [plain, placed] = scores(centred);
    ASSERT_GT(plain, 0);
    EXPECT_GT(placed, plain + 200);

    // The same ink far outside the guide box: no bonus.
    PAT_POS far{1100, 1100, 1000, 1000};
    vSetGuideBox(&far);
    std::tie(plain, placed) = scores(centred);
    EXPECT_LT(placed, plain + 100);

    // A box given with its corners swapped is the same box; the box survives a reopen.
    PAT_POS swapped{0, 0, 100, 100};
    vSetGuideBox(&swapped);
    vSetGuideBox(nullptr);
    vCloseClassRecogModule();
    ASSERT_EQ(iOpenClassRecogModule(dir_.File("cr.dic").c_str(), nullptr), 0);
    std::tie(plain, placed) = scores(centred);
    EXPECT_GT(placed, plain + 200);
}

TEST_F(Glyphid, MatchingModeOneWantsEqualStrokeCounts) {
    // A cross with an extra short stroke: more strokes than the written cross.
    const Shape extra = {{{0, 64}, {128, 64}}, {{64, 0}, {64, 128}}, {{100, 100}, {120, 120}}};
    const std::string dic = Dic({{0x8F5C, {Cross()}}, {0x8F5E, {extra}}});
    ASSERT_EQ(iOpenClassRecogModule(dic.c_str(), nullptr), 0);
    const auto mode0 = Set(Codes(input_));
    ASSERT_EQ(mode0, (std::set<uint16_t>{0x8F5C, 0x8F5E})) << "mode 0 lets the extra stroke in";
    vSetMatchingMode(1);
    EXPECT_EQ(Codes(input_), std::vector<uint16_t>{0x8F5C});
    vSetMatchingMode(0);
    EXPECT_EQ(Set(Codes(input_)), mode0);
    // The open sets mode 0 again.
    vSetMatchingMode(1);
    vCloseClassRecogModule();
    ASSERT_EQ(iOpenClassRecogModule(dic.c_str(), nullptr), 0);
    EXPECT_EQ(Set(Codes(input_)), mode0);
}

// Writing whose strokes come in another order or direction than the dictionary's.
class GlyphidOrder : public Glyphid {
protected:
    // 日: left side, top and right side, middle bar, bottom bar.
    static Shape Hi() {
        return {{{10, 10}, {10, 118}},
                {{10, 10}, {118, 10}, {118, 118}},
                {{10, 64}, {118, 64}},
                {{10, 118}, {118, 118}}};
    }
    // written: middle bar, left side drawn upwards, bottom bar, top and right side
    static Shape Scrambled() {
        Shape h = Hi();
        Shape s = {h[2], h[0], h[3], h[1]};
        std::reverse(s[1].begin(), s[1].end());
        return s;
    }
    void Open() {
        const std::vector<Category> cats = {
            {kHi, {Hi()}}, {0x8D48, {Kou()}}, {0x8F5C, {Cross()}}, {0x96DA, {Scaled(Hi(), 1, 2)}}};
        std::vector<CoarseDicEntry> coarse;
        for (const auto& c : cats) coarse.push_back(CoarseEntry(c.code, Ink(c.patterns[0])));
        const std::string cc = dir_.File("order.ccd");
        ASSERT_TRUE(WriteCoarse(cc, coarse));
        ASSERT_EQ(iOpenClassRecogModule(Dic(cats).c_str(), cc.c_str()), 0);
        vSetClassCount(10);
    }
    static int ScoreOf(const std::vector<CR_RESULT>& res, uint16_t code) {
        for (const CR_RESULT& r : res)
            if (r.code == code) return r.score;
        return 0;
    }
    static constexpr uint16_t kHi = 0x93FA;
};

TEST_F(GlyphidOrder, ScrambledWritingIsReadAsTheCharacter) {
    Open();
    std::vector<CR_RESULT> standard, scrambled;
    ASSERT_FALSE(Codes(Ink(Hi()), &standard).empty());
    ASSERT_EQ(standard[0].code, kHi);
    const auto codes = Codes(Ink(Scrambled()), &scrambled);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes[0], kHi);
    // two strokes out of place and one turned round, 20 each
    EXPECT_EQ(scrambled[0].score, standard[0].score - 60);
}

TEST_F(GlyphidOrder, StandardWritingIsMatchedAsBefore) {
    Open();
    std::vector<CR_RESULT> anyOrder, inOrder;
    Codes(Ink(Hi()), &anyOrder);
    vSetMatchingMode(2);
    Codes(Ink(Hi()), &inOrder);
    ASSERT_GT(inOrder[0].score, 850);
    for (int k = 0; k < kRoom; ++k) {
        EXPECT_EQ(anyOrder[size_t(k)].code, inOrder[size_t(k)].code) << k;
        EXPECT_EQ(anyOrder[size_t(k)].score, inOrder[size_t(k)].score) << k;
        EXPECT_EQ(anyOrder[size_t(k)].pat_no, inOrder[size_t(k)].pat_no) << k;
    }
}

TEST_F(GlyphidOrder, ModeTwoMatchesInTheOrderWritten) {
    Open();
    vSetMatchingMode(2);
    std::vector<CR_RESULT> coarse, full;
    Codes(Ink(Scrambled()), &coarse);
    // The whole dictionary, without the coarse path, is matched as written: the same scores
    // (under a category mask, which asks for the same DP fallback as the coarse path).
    vSetClassCount(0);
    vSetRecogCategory(GLYPHID_ALL & ~GLYPHID_HIRAGANA);
    Codes(Ink(Scrambled()), &full);
    vSetRecogCategory(GLYPHID_ALL);
    ASSERT_GT(ScoreOf(full, kHi), 0);
    EXPECT_EQ(ScoreOf(coarse, kHi), ScoreOf(full, kHi));
    vSetClassCount(10);
    vSetMatchingMode(0);
    std::vector<CR_RESULT> anyOrder;
    Codes(Ink(Scrambled()), &anyOrder);
    EXPECT_GT(ScoreOf(anyOrder, kHi), ScoreOf(coarse, kHi) + 100);
    // Bit 2 leaves the stroke-count mode as it was: 3 = equal counts, in the order written.
    vSetMatchingMode(3);
    std::vector<CR_RESULT> three;
    Codes(Ink(Scrambled()), &three);
    EXPECT_EQ(ScoreOf(three, kHi), ScoreOf(coarse, kHi));
}

// 口 written in four strokes, each drawn from its other end (the top from the right, the
// sides upwards): the pieces of its top-and-right stroke run end to end only turned round,
// and with its pen-up moves the writing ranks far from 口 over every stroke count, with or
// without the direction of travel. Four rivals whose coarse entries are this very writing
// fill the nearest ranks; 口 must still come among the candidates matched across counts,
// through the writing with its strokes turned the usual way round.
TEST_F(GlyphidOrder, FourStrokesDrawnBackwardsAreReadAcrossTheCount) {
    const Shape kuchi = {
        {{10, 10}, {10, 118}}, {{10, 10}, {118, 10}, {118, 118}}, {{10, 118}, {118, 118}}};
    const Shape backwards = {{{10, 118}, {10, 10}},
                             {{118, 10}, {10, 10}},
                             {{118, 118}, {118, 10}},
                             {{118, 118}, {10, 118}}};
    constexpr uint16_t kKuchi = 0x8CFB;
    const std::vector<Category> cats = {{kKuchi, {kuchi}},
                                        {0x8D48, {Kou()}},
                                        {0x8F5C, {Cross()}},
                                        {0x8E52, {Slash()}},
                                        {0x92DA, {Ell()}}};
    std::vector<CoarseDicEntry> coarse = {CoarseEntry(kKuchi, Ink(kuchi))};
    for (size_t k = 1; k < cats.size(); ++k)
        coarse.push_back(CoarseEntry(cats[k].code, Ink(backwards), int(k)));
    const std::string cc = dir_.File("backwards.ccd");
    ASSERT_TRUE(WriteCoarse(cc, coarse));
    ASSERT_EQ(iOpenClassRecogModule(Dic(cats).c_str(), cc.c_str()), 0);
    vSetClassCount(1);
    std::vector<CR_RESULT> standard, res;
    ASSERT_FALSE(Codes(Ink(kuchi), &standard).empty());
    ASSERT_EQ(standard[0].code, kKuchi);
    const auto codes = Codes(Ink(backwards), &res);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes[0], kKuchi);
    // one split (the top and right side written apart), the left side and the bottom
    // turned round: 20 each
    EXPECT_EQ(res[0].score, standard[0].score - 60);
}

// 日 with a pen point every 2 units, clean and with up to 3 units of noise on each axis.
// Noisy writing is conditioned by its size before it is prepared and reads as the clean
// writing; mode bit 8 prepares it as it comes, as the core alone does.
TEST_F(GlyphidOrder, NoisyWritingReadsAsCleanAndBitEightAsItComes) {
    Open();
    vSetClassCount(0);
    ASSERT_EQ(OpenCRSystem(dir_.File("cr.dic").c_str()), 0); // the core alone, as written
    std::vector<POINT_W> clean, noisy;
    uint32_t rnd = 12345;
    auto noise = [&rnd] {
        rnd = rnd * 1103515245u + 12345u;
        return int((rnd >> 16) % 7) - 3;
    };
    for (const Stroke& s : Hi())
        for (size_t i = 1; i < s.size(); ++i)
            for (int k = i == 1 ? 0 : 1; k <= 54; ++k) {
                const int x = s[i - 1].first + (s[i].first - s[i - 1].first) * k / 54;
                const int y = s[i - 1].second + (s[i].second - s[i - 1].second) * k / 54;
                const uint8_t pen = (i == 1 && k == 0 ? PT_PENDOWN : 0) |
                                    (i + 1 == s.size() && k == 54 ? PT_PENUP : 0);
                clean.push_back({int16_t(x), int16_t(y), pen});
                noisy.push_back({int16_t(x + noise()), int16_t(y + noise()), pen});
            }
    std::vector<CR_RESULT> ref, got, raw, core(kRoom);
    ASSERT_FALSE(Codes(clean, &ref).empty());
    ASSERT_EQ(ref[0].code, kHi);
    Codes(noisy, &got);
    EXPECT_EQ(got[0].code, kHi);
    EXPECT_GE(got[0].score, ref[0].score - 8);
    for (std::vector<POINT_W>* ink : {&clean, &noisy}) {
        vSetMatchingMode(8);
        Codes(*ink, &raw);
        vSetMatchingMode(0);
        PATTERN_W p{ink->data(), int32_t(ink->size())};
        ASSERT_EQ(RecognizeCP(&p, core.data(), kRoom), 0);
        for (int k = 0; k < kRoom; ++k) {
            EXPECT_EQ(raw[size_t(k)].code, core[size_t(k)].code) << k;
            EXPECT_EQ(raw[size_t(k)].score, core[size_t(k)].score) << k;
        }
    }
    // the noisy writing as it comes scores below its conditioned copy
    EXPECT_LT(raw[0].score, got[0].score);
    CloseCRSystem();
}

// Twenty categories, all coarse candidates: 日 and shapes far from it, each at several
// sizes and places. Mode bit 16 matches every candidate whose walk fails by DP, as the
// whole dictionary is matched under a category mask; without it only the first ten coarse
// candidates are, and the rest that the walk reads keep the same scores (the bench's
// --every-dp rows show what the DP of far candidates adds: tails only).
TEST_F(GlyphidOrder, DPForTheNearestCandidatesAndBitSixteenForAll) {
    const Shape shapes[] = {Hi(), Kou(), Cross(), Slash(), Ell()};
    std::vector<Category> cats;
    std::vector<CoarseDicEntry> coarse;
    for (int k = 0; k < 20; ++k) {
        const uint16_t code = uint16_t(0x889F + k);
        const Shape s = Scaled(shapes[k % 5], 4 + k / 5, 8, 8 * (k / 5), 4 * (k % 3));
        cats.push_back({code, {s}});
        coarse.push_back(CoarseEntry(code, Ink(s)));
    }
    const std::string cc = dir_.File("nearest.ccd");
    ASSERT_TRUE(WriteCoarse(cc, coarse));
    ASSERT_EQ(iOpenClassRecogModule(Dic(cats).c_str(), cc.c_str()), 0);
    const auto input = Ink(Scaled(Hi(), 7, 8, 6, 10));
    std::vector<CR_RESULT> nearest, every, full;
    vSetClassCount(20);
    Codes(input, &nearest);
    vSetMatchingMode(16);
    Codes(input, &every);
    vSetClassCount(0);
    vSetRecogCategory(GLYPHID_ALL & ~GLYPHID_HIRAGANA);
    Codes(input, &full);
    size_t listed = 0;
    for (const CR_RESULT& r : full) {
        if (r.score <= 0) break;
        ++listed;
        EXPECT_EQ(ScoreOf(every, uint16_t(r.code)), r.score) << r.code;
        const int got = ScoreOf(nearest, uint16_t(r.code));
        if (got > 0) {
            EXPECT_EQ(got, r.score) << r.code;
        }
    }
    EXPECT_EQ(every[listed].score, 0);
    EXPECT_EQ(nearest[0].code, full[0].code);
}

TEST(GlyphidText, CandidateCodesAsText) {
    EXPECT_EQ(cpCRREStoString(nullptr), nullptr);
    CR_RESULT kana{1, 500, 0x82A0};
    const char* a = cpCRREStoString(&kana);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(std::strlen(a), 2u);
    EXPECT_EQ(static_cast<unsigned char>(a[0]), 0x82);
    EXPECT_EQ(static_cast<unsigned char>(a[1]), 0xA0);
    CR_RESULT latin{2, 400, 0x0041};
    const char* b = cpCRREStoString(&latin);
    EXPECT_STREQ(b, "A");
    EXPECT_EQ(a, b) << "one static buffer";
    // A high byte below 0x80 is no lead byte: only the low byte is text.
    CR_RESULT low{0, 0, 0x7F42};
    EXPECT_STREQ(cpCRREStoString(&low), "B");
    CR_RESULT kanji{0, 0, 0xFC4B};
    EXPECT_STREQ(cpCRREStoString(&kanji), "\xFC\x4B");
    // Bits above the code are not looked at.
    CR_RESULT wide{0, 0, 0xABCD0041u};
    EXPECT_STREQ(cpCRREStoString(&wide), "A");
}

} // namespace
