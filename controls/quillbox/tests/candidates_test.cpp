#include "controls/quillbox/candidates.h"
#include "controls/quillbox/recognizer.h"
#include "controls/quillbox/resultlayout.h"

#include "fake_client.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace quillbox;

namespace {

// Shift-JIS codes used below.
constexpr uint32_t kA = 0x8260;      // Ａ
constexpr uint32_t kB = 0x8261;      // Ｂ
constexpr uint32_t kSmallA = 0x8281; // ａ
constexpr uint32_t kHito = 0x906C;   // 人
constexpr uint32_t kIri = 0x93FC;    // 入
constexpr uint32_t kXa = 0x829F;     // ぁ
constexpr uint32_t kXtu = 0x82C1;    // っ

std::string Text(std::initializer_list<uint32_t> codes) {
    std::string s;
    for (uint32_t c : codes) s += CandidateText(c);
    return s;
}

struct List {
    CR_RESULT e[kCandidateCount]{};
    List(std::initializer_list<std::pair<uint32_t, int32_t>> cands) {
        int i = 0;
        for (auto [code, score] : cands) e[i] = CR_RESULT{100 + i, score, code}, ++i;
    }
};

} // namespace

TEST(CategoryMask, EachFlagAddsItsBits) {
    CategoryFlags all;
    EXPECT_EQ(CategoryMask(all), 511u);
    CategoryFlags none{false, false, false, false, false, false, false, false, false, false};
    EXPECT_EQ(CategoryMask(none), 0u);
    auto only = [&](bool CategoryFlags::*flag) {
        CategoryFlags f = none;
        f.*flag = true;
        return CategoryMask(f);
    };
    EXPECT_EQ(only(&CategoryFlags::hira), 0x01u);
    EXPECT_EQ(only(&CategoryFlags::num), 0x02u);
    EXPECT_EQ(only(&CategoryFlags::kana), 0x04u);
    EXPECT_EQ(only(&CategoryFlags::other), 0x88u);
    EXPECT_EQ(only(&CategoryFlags::kanji1), 0x10u);
    EXPECT_EQ(only(&CategoryFlags::kanji2), 0x20u);
    EXPECT_EQ(only(&CategoryFlags::alphaLower), 0x40u);
    EXPECT_EQ(only(&CategoryFlags::alphaUpper), 0x40u);
    EXPECT_EQ(only(&CategoryFlags::punc), 0x100u);
    EXPECT_EQ(only(&CategoryFlags::smallAO), 0u);
    // The game's answer boxes: hiragana and both kanji levels.
    CategoryFlags game = none;
    game.hira = game.kanji1 = game.kanji2 = true;
    EXPECT_EQ(CategoryMask(game), 0x31u);
}

TEST(CandidateText, BytesOfACode) {
    EXPECT_EQ(CandidateText(kHito), "\x90\x6C");
    EXPECT_EQ(CandidateText(0x41), "A");
    EXPECT_EQ(CandidateText(0), "");
    EXPECT_EQ(CandidateCode("\x90\x6C"), kHito);
    EXPECT_EQ(CandidateCode("A"), 0x41u);
    EXPECT_EQ(CandidateCode(""), 0u);
    EXPECT_EQ(CandidateCode("abc"), 0u);
}

TEST(ScoreText, PaddedToFourCharacters) {
    EXPECT_EQ(ScoreText(7), "7   ");
    EXPECT_EQ(ScoreText(812), "812 ");
    EXPECT_EQ(ScoreText(1234), "1234");
    EXPECT_EQ(ScoreText(123456), "123456");
}

TEST(FilterCandidates, UpperCaseRemovedFromTheMiddle) {
    List l{{kA, 900}, {kHito, 800}, {kB, 700}, {kIri, 600}};
    CategoryFlags f;
    f.alphaUpper = false;
    FilteredCandidates out = FilterCandidates(l.e, f);
    EXPECT_EQ(out.chars, Text({kHito, kIri}));
    EXPECT_EQ(out.scores, "800 600 ");
    EXPECT_EQ(l.e[0].code, kHito);
    EXPECT_EQ(l.e[0].score, 800);
    EXPECT_EQ(l.e[0].pat_no, 101) << "all three fields move";
    EXPECT_EQ(l.e[1].code, kIri);
    EXPECT_EQ(l.e[1].pat_no, 103);
    EXPECT_EQ(l.e[2].code, 0u) << "the list ends after the kept entries";
    EXPECT_EQ(l.e[3].code, kIri) << "later entries keep their contents";
}

TEST(FilterCandidates, EachFlagGuardsItsOwnCodes) {
    List l{{kSmallA, 9}, {kA, 8}, {kXa, 7}, {kXtu, 6}, {0x829A, 5}, {0x8279, 4}, {0x82A7, 3}};
    CategoryFlags f;
    f.alphaLower = false;
    FilteredCandidates lower = FilterCandidates(List(l).e, f);
    EXPECT_EQ(lower.chars, Text({kA, kXa, kXtu, 0x8279, 0x82A7}));
    f = CategoryFlags{};
    f.smallAO = false;
    FilteredCandidates small = FilterCandidates(List(l).e, f);
    EXPECT_EQ(small.chars, Text({kSmallA, kA, kXtu, 0x829A, 0x8279}))
        << "っ is not one of ぁぃぅぇぉ";
    FilteredCandidates all = FilterCandidates(List(l).e, CategoryFlags{});
    EXPECT_EQ(all.scores, "9   8   7   6   5   4   3   ");
}

TEST(FilterCandidates, EverythingRemovedLeavesAnEmptyList) {
    List l{{kA, 9}, {kB, 8}};
    CategoryFlags f;
    f.alphaUpper = false;
    FilteredCandidates out = FilterCandidates(l.e, f);
    EXPECT_EQ(out.chars, "");
    EXPECT_EQ(out.scores, "");
    EXPECT_EQ(l.e[0].code, 0u);
}

TEST(FilterCandidates, AFullListIsWalkedToItsEnd) {
    List l{};
    for (int i = 0; i < kCandidateCount; ++i) l.e[i] = CR_RESULT{i, 100 - i, kHito};
    l.e[0].code = kA;
    CategoryFlags f;
    f.alphaUpper = false;
    FilteredCandidates out = FilterCandidates(l.e, f);
    EXPECT_EQ(out.chars.size(), 2u * (kCandidateCount - 1));
    EXPECT_EQ(l.e[kCandidateCount - 1].code, 0u);
}

TEST(NextCandidate, CyclesThroughTheFirstSelectNum) {
    List l{{0x8140 + 1, 9}, {0x8140 + 2, 8}, {0x8140 + 3, 7}, {0x8140 + 4, 6}};
    std::string cur = CandidateText(l.e[0].code);
    std::vector<int> seen;
    for (int k = 0; k < 4; ++k) {
        int n = NextCandidate(l.e, 3, cur);
        seen.push_back(n);
        cur = CandidateText(l.e[n].code);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(NextCandidate(l.e, 0, cur), -1);
    // A result not among the first SelectNum starts over at the first.
    EXPECT_EQ(NextCandidate(l.e, 3, CandidateText(l.e[3].code)), 0);
    EXPECT_EQ(NextCandidate(l.e, 3, "zz"), 0);
}

TEST(NextCandidate, NeverStepsOntoAnEmptyEntry) {
    List l{{kHito, 9}, {kIri, 8}};
    EXPECT_EQ(NextCandidate(l.e, 5, CandidateText(kHito)), 1);
    EXPECT_EQ(NextCandidate(l.e, 5, CandidateText(kIri)), 0);
    List empty{};
    EXPECT_EQ(NextCandidate(empty.e, 5, ""), -1);
    EXPECT_EQ(NextCandidate(l.e, 25, CandidateText(kIri)), 0) << "more than 20 is read as 20";
}

TEST(MoveToHead, TheThirdCandidateTakesFirstPlace) {
    List l{{0x8141, 90}, {0x8142, 80}, {0x8143, 70}, {0x8144, 60}};
    MoveToHead(l.e, CandidateText(0x8143));
    EXPECT_EQ(l.e[0].code, 0x8143u);
    EXPECT_EQ(l.e[0].score, 90) << "with the former head's score";
    EXPECT_EQ(l.e[0].pat_no, 102);
    EXPECT_EQ(l.e[1].code, 0x8141u);
    EXPECT_EQ(l.e[1].score, 90);
    EXPECT_EQ(l.e[2].code, 0x8142u);
    EXPECT_EQ(l.e[3].code, 0x8144u);
    EXPECT_EQ(l.e[3].score, 60);
}

TEST(MoveToHead, AResultOutsideTheListIsInserted) {
    List l{};
    for (int i = 0; i < kCandidateCount; ++i) l.e[i] = CR_RESULT{i, 100 - i, 0x8140u + i};
    MoveToHead(l.e, CandidateText(kHito));
    EXPECT_EQ(l.e[0].code, kHito);
    EXPECT_EQ(l.e[0].pat_no, 0);
    EXPECT_EQ(l.e[0].score, 100);
    EXPECT_EQ(l.e[1].code, 0x8140u);
    EXPECT_EQ(l.e[kCandidateCount - 1].code, 0x8140u + kCandidateCount - 2) << "the last falls off";
}

TEST(MoveToHead, TheHeadStaysAsItIs) {
    List l{{0x8141, 90}, {0x8142, 80}};
    MoveToHead(l.e, CandidateText(0x8141));
    EXPECT_EQ(l.e[0].score, 90);
    EXPECT_EQ(l.e[1].code, 0x8142u);
}

TEST(LayoutResult, CentredAndBold) {
    ResultLayout l = LayoutResult(200, 100, kHito, true, 0.5f, 3);
    EXPECT_FALSE(l.small);
    EXPECT_EQ(l.height, 100);
    ASSERT_EQ(l.origins.size(), 3u);
    EXPECT_EQ(l.origins[0].x, 50);
    EXPECT_EQ(l.origins[0].y, 0);
    EXPECT_EQ(l.origins[2].x, 52);
    EXPECT_EQ(l.origins[2].y, -2);
    ResultLayout odd = LayoutResult(101, 150, kHito, true, 1.0f, 1);
    EXPECT_EQ(odd.origins[0].x, 0);
    EXPECT_EQ(odd.origins[0].y, 24);
}

TEST(LayoutResult, SmallKanaShrinkAndMayGoToTheCorner) {
    ResultLayout corner = LayoutResult(120, 100, kXtu, true, 0.55f, 2);
    EXPECT_TRUE(corner.small);
    EXPECT_EQ(corner.height, 55);
    EXPECT_EQ(corner.origins[0].x, 0);
    EXPECT_EQ(corner.origins[0].y, 45);
    EXPECT_EQ(corner.origins[1].x, 1);
    EXPECT_EQ(corner.origins[1].y, 44);
    ResultLayout centred = LayoutResult(120, 100, kXtu, false, 0.55f, 1);
    EXPECT_EQ(centred.height, 55);
    EXPECT_EQ(centred.origins[0].x, 32);
    EXPECT_EQ(centred.origins[0].y, 22);
    EXPECT_EQ(LayoutResult(99, 99, 0x8340, true, 0.5f, 1).height, 49) << "truncated";
}

// The binding of the service's three functions, against the stand-in service.
class ServiceBinding : public ::testing::Test {
protected:
    void SetUp() override {
        if (Dir().empty()) GTEST_SKIP() << "QUILLBOX_FAKE_DIR is not set (run through ctest)";
    }
    static std::string Dir() {
        const char* d = std::getenv("QUILLBOX_FAKE_DIR");
        return d ? d : "";
    }
};

TEST_F(ServiceBinding, MissingLibraryGivesNoService) {
    EXPECT_EQ(RecognitionService::Load("/nonexistent/veltarec.dll"), nullptr);
    EXPECT_EQ(RecognitionService::Load((Dir() + "/refusing/veltarec.dll").c_str()), nullptr)
        << "a library that refuses to attach is not loaded";
}

TEST_F(ServiceBinding, CallsInOrderWithTheBoxAsGuide) {
    const std::string path = Dir() + "/service/veltarec.dll";
    auto service = RecognitionService::Load(path.c_str());
    ASSERT_NE(service, nullptr);
    FakeService fake(path.c_str());
    ASSERT_TRUE(fake.ok());
    fake.answer({{kHito, 500}}, 0);
    auto fn = service->bind();
    ASSERT_TRUE(fn);
    std::vector<POINT_W> pts{{1, 2, PT_PENDOWN}, {3, 4, PT_PENUP}};
    PATTERN_W pat{pts.data(), 2};
    CR_RESULT list[kCandidateCount];
    list[0].code = 0xFFFF;
    EXPECT_EQ(RecognizeInk(*fn, 150, 120, 0x31, &pat, list, kCandidateCount), 0);
    EXPECT_EQ(fake.log(), "GCR");
    EXPECT_EQ(fake.guideBox(), (std::vector<int32_t>{150, 120, 0, 0}));
    EXPECT_EQ(fake.mask(), 0x31);
    EXPECT_EQ(fake.pattern().size(), 2u);
    EXPECT_EQ(list[0].code, kHito);
}

TEST_F(ServiceBinding, AMissingFunctionPreventsTheBinding) {
    auto service = RecognitionService::Load((Dir() + "/noguide/veltarec.dll").c_str());
    ASSERT_NE(service, nullptr);
    EXPECT_FALSE(service->bind());
}
