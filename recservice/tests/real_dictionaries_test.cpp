// The service and the box recognizer over the real recognizers and the dictionaries the
// build compiles; skipped until those exist.
#include "platform/loader.h"
#include "tessera/veltarec.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

// 一 in Shift-JIS.
constexpr uint32_t kOne = 0x88EA;

class RealDictionaries : public ::testing::Test {
protected:
    void SetUp() override {
        const char* dir = std::getenv("TESSERA_SYSTEM_DIR");
        dir_ = dir ? dir : "";
        if (dir_.empty() || !std::filesystem::exists(dir_ + "/VELTAREC.INI"))
            GTEST_SKIP() << "no VELTAREC.INI in " << dir_ << ": the dictionaries are not built";
    }
    std::string dir_;
};

// One horizontal bar from left to right, in a 100 x 100 box.
std::vector<POINT_W> Bar() {
    return {{10, 52, 2}, {30, 50, 0}, {50, 50, 0}, {70, 49, 0}, {90, 50, 4}};
}

TEST_F(RealDictionaries, ServiceRecognizesAndScoresAgainstTheModel) {
    platform::ModuleHandle service = platform::LoadLibrary("veltarec.dll");
    ASSERT_NE(service, nullptr);
    auto recognize = platform::GetProc<veltarec::RecognizeFFn>(service, "RecognizeF");
    auto category = platform::GetProc<veltarec::SetRecCategoryFn>(service, "SetRecCategory");
    auto models = platform::GetProc<veltarec::GetTehonNumFn>(service, "GetTehonNum");
    auto score = platform::GetProc<veltarec::GetScoreFn>(service, "GetScore");
    ASSERT_TRUE(recognize && category && models && score);

    std::vector<POINT_W> bar = Bar();
    PATTERN_W pattern{bar.data(), static_cast<int32_t>(bar.size())};
    category(16); // first-level kanji
    CR_RESULT out[20] = {};
    ASSERT_EQ(recognize(&pattern, out, 20), 0);
    EXPECT_EQ(out[0].code, kOne);
    EXPECT_GT(out[0].score, 0);

    EXPECT_EQ(models(kOne), 1);
    int16_t diff = 9, shape = 0, recog = 0;
    EXPECT_EQ(score(&pattern, kOne, &diff, &shape, &recog), 1);
    EXPECT_EQ(diff, 0);
    EXPECT_GE(shape, 450); // at least the matcher's rejection threshold
    EXPECT_EQ(recog, out[0].score);
    category(511);
    platform::FreeLibrary(service);
}

// Strokes through the given corners, a pen point every 4 pixels, as the handwriting box
// records them.
std::vector<POINT_W> Ink(const std::vector<std::vector<std::pair<int, int>>>& strokes) {
    std::vector<POINT_W> out;
    for (const auto& corners : strokes) {
        size_t first = out.size();
        for (size_t c = 0; c + 1 < corners.size(); ++c) {
            auto [x0, y0] = corners[c];
            auto [x1, y1] = corners[c + 1];
            int steps = std::max(1, std::max(std::abs(x1 - x0), std::abs(y1 - y0)) / 4);
            for (int i = c == 0 ? 0 : 1; i <= steps; ++i)
                out.push_back({static_cast<int16_t>(x0 + (x1 - x0) * i / steps),
                               static_cast<int16_t>(y0 + (y1 - y0) * i / steps), 0});
        }
        out[first].attr |= 2;
        out.back().attr |= 4;
    }
    return out;
}

// 口 and 日 as a child writes them in a 200 x 200 writing box: square, filling the box.
std::vector<POINT_W> SquareMouth() {
    return Ink({{{40, 38}, {42, 162}}, {{42, 38}, {160, 36}, {158, 162}}, {{42, 160}, {158, 160}}});
}
std::vector<POINT_W> SquareSun() {
    return Ink({{{30, 30}, {32, 170}},
                {{32, 30}, {170, 28}, {168, 170}},
                {{32, 100}, {168, 100}},
                {{32, 168}, {168, 168}}});
}

// 口 in Shift-JIS.
constexpr uint32_t kMouth = 0x8CFB;

TEST_F(RealDictionaries, SquareCharactersInTheBoxComeBackAsTheCommonKanji) {
    platform::ModuleHandle service = platform::LoadLibrary("veltarec.dll");
    ASSERT_NE(service, nullptr);
    auto recognize = platform::GetProc<veltarec::RecognizeFFn>(service, "RecognizeF");
    auto category = platform::GetProc<veltarec::SetRecCategoryFn>(service, "SetRecCategory");
    auto guide = platform::GetProc<veltarec::SetGuideBoxFn>(service, "SetGuideBox");
    ASSERT_TRUE(recognize && category && guide);
    struct Case {
        std::vector<POINT_W> ink;
        uint32_t code;
    };
    for (const Case& c : {Case{SquareMouth(), kMouth}, Case{SquareSun(), 0x93FA}}) {
        std::vector<POINT_W> ink = c.ink;
        PATTERN_W pattern{ink.data(), static_cast<int32_t>(ink.size())};
        for (int mask : {511, 16 | 32}) {
            SCOPED_TRACE(mask);
            guide(200, 200, 0, 0);
            category(mask);
            CR_RESULT out[20] = {};
            ASSERT_EQ(recognize(&pattern, out, 20), 0);
            EXPECT_EQ(out[0].code, c.code) << std::hex << out[0].code << " " << out[1].code;
            for (int i = 1; i < 20 && out[i].score > 0; ++i)
                EXPECT_LE(out[i].score, out[i - 1].score);
        }
    }
    // the category mask still decides what may appear: second-level kanji only
    std::vector<POINT_W> mouth = SquareMouth();
    PATTERN_W pattern{mouth.data(), static_cast<int32_t>(mouth.size())};
    category(32);
    CR_RESULT out[20] = {};
    ASSERT_EQ(recognize(&pattern, out, 20), 0);
    for (const CR_RESULT& r : out) {
        if (r.score <= 0) break;
        EXPECT_GE(r.code, 0x989Fu);
    }
    category(511);
    platform::FreeLibrary(service);
}

TEST_F(RealDictionaries, BoxRecognizerRecognizesOneCharacter) {
    const char* path = std::getenv("INKSLOT_LIB");
    if (!path || !*path) GTEST_SKIP() << "the box recognizer is not part of this build";
    if (!std::filesystem::exists(dir_ + "/VELTABOX.INI")) GTEST_SKIP() << "no VELTABOX.INI";
    platform::ModuleHandle box = platform::LoadLibrary(path);
    ASSERT_NE(box, nullptr);
    using RecognizeFn = int (*)(PATTERN_W*, CR_RESULT*, int);
    auto recognize = platform::GetProc<RecognizeFn>(box, "Recognize");
    ASSERT_NE(recognize, nullptr);
    std::vector<POINT_W> bar = Bar();
    PATTERN_W pattern{bar.data(), static_cast<int32_t>(bar.size())};
    CR_RESULT out[10] = {};
    ASSERT_EQ(recognize(&pattern, out, 10), 0);
    bool found = false;
    for (const CR_RESULT& r : out) found = found || r.code == kOne;
    EXPECT_TRUE(found);
    PATTERN_W empty{bar.data(), 0};
    EXPECT_NE(recognize(&empty, out, 10), 0);
    platform::FreeLibrary(box);
}

} // namespace
