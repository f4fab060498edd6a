// The service and the box recognizer over the real recognizers and the dictionaries the
// build compiles; skipped until those exist.
#include "platform/loader.h"
#include "recservice/veltarec.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
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
