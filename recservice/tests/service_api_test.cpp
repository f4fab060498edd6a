// Forwarding the recognition calls: extra end points, character bounds from the pattern,
// translation of single-character results, fallbacks, and no library at all.
#include "recservice/charprior.h"
#include "recservice/tests/service_fixture.h"

namespace servicetest {
namespace {

class ServiceApi : public ServiceTest {};

std::vector<tagPOINT> FivePoints() {
    return {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}};
}

// --- AddStrokeLast ---

TEST_F(ServiceApi, AddLastPointTwoMakesFivePointsSeven) {
    WriteSystemConfig(strings_.path(), "AddLastPoint=2\n");
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    auto add = Export<veltarec::AddStrokeLastFn>(service, "AddStrokeLast");
    std::vector<tagPOINT> stroke = FivePoints();
    const std::vector<tagPOINT> before = stroke;
    EXPECT_EQ(add(nullptr, stroke.data(), 5), 0);
    const FakeLog& log = *strings_.log();
    ASSERT_EQ(log.strokePointCount, 7);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(log.stroke[i].x, before[i].x) << i;
        EXPECT_EQ(log.stroke[i].y, before[i].y) << i;
    }
    for (int i = 4; i < 7; ++i) {
        EXPECT_EQ(log.stroke[i].x, 9) << i;
        EXPECT_EQ(log.stroke[i].y, 10) << i;
    }
    for (int i = 0; i < 5; ++i) EXPECT_EQ(stroke[i].x, before[i].x); // caller's array untouched
}

TEST_F(ServiceApi, NegativeAddLastPointCountsAsZero) {
    WriteSystemConfig(strings_.path(), "AddLastPoint=-3\n");
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    auto add = Export<veltarec::AddStrokeLastFn>(service, "AddStrokeLast");
    std::vector<tagPOINT> stroke = FivePoints();
    EXPECT_EQ(add(nullptr, stroke.data(), 5), 0);
    EXPECT_EQ(strings_.log()->strokePointCount, 5);
    EXPECT_EQ(strings_.log()->stroke[4].x, 9);
}

TEST_F(ServiceApi, EmptyStrokeGetsNoExtraPoints) {
    WriteSystemConfig(strings_.path(), "AddLastPoint=4\n");
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    auto add = Export<veltarec::AddStrokeLastFn>(service, "AddStrokeLast");
    tagPOINT none{};
    add(nullptr, &none, 0);
    EXPECT_EQ(strings_.log()->strokeCalls, 1);
    EXPECT_EQ(strings_.log()->strokePointCount, 0);
}

TEST_F(ServiceApi, AddStrokeWithoutTheFunctionIsOne) {
    WriteSystemConfig(classifier_.path(), "AddLastPoint=2\n");
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    auto add = Export<veltarec::AddStrokeLastFn>(service, "AddStrokeLast");
    std::vector<tagPOINT> stroke = FivePoints();
    EXPECT_EQ(add(nullptr, stroke.data(), 5), 1);
}

// --- GetNthCharBound ---

TEST_F(ServiceApi, RectFlagComputesTheBoundFromThePattern) {
    WriteSystemConfig(strings_.path(), "GetRectFlag=1\n");
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    auto bound = Export<veltarec::GetNthCharBoundFn>(service, "GetNthCharBound");
    tagRECT rect{};
    EXPECT_EQ(bound(nullptr, 0, 0, &rect), 0);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 5);
    EXPECT_EQ(rect.right, 40);
    EXPECT_EQ(rect.bottom, 25);
    const FakeLog& log = *strings_.log();
    EXPECT_EQ(log.boundCalls, 0);
    EXPECT_EQ(log.patternsMade, 1);
    EXPECT_EQ(log.patternsDestroyed, 1);
}

TEST_F(ServiceApi, RectFlagWithAnEmptyPatternIsOneAndReleasesIt) {
    WriteSystemConfig(strings_.path(), "GetRectFlag=1\n");
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    auto bound = Export<veltarec::GetNthCharBoundFn>(service, "GetNthCharBound");
    tagRECT rect{7, 7, 7, 7};
    EXPECT_EQ(bound(nullptr, 0, 99, &rect), 1);
    EXPECT_EQ(rect.left, 7);
    EXPECT_EQ(strings_.log()->patternsDestroyed, 1);
}

TEST_F(ServiceApi, WithoutRectFlagTheLibraryGivesTheBound) {
    WriteSystemConfig(strings_.path());
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    strings_.log()->charBoundResult = 5;
    auto bound = Export<veltarec::GetNthCharBoundFn>(service, "GetNthCharBound");
    tagRECT rect{};
    EXPECT_EQ(bound(nullptr, 0, 0, &rect), 5);
    EXPECT_EQ(rect.left, -1);
    EXPECT_EQ(rect.bottom, -4);
    EXPECT_EQ(strings_.log()->patternsMade, 0);
}

// --- RecognizeF and the settings ---

TEST_F(ServiceApi, ClassifierCandidateCountBecomesSuccess) {
    WriteSystemConfig(classifier_.path());
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    auto recognize = Export<veltarec::RecognizeFFn>(service, "RecognizeF");
    FakeLog& log = *classifier_.log();
    log.resultCount = 1;
    log.results[0] = CR_RESULT{3, 900, 0x889F};
    POINT_W points[2] = {{0, 0, 2}, {10, 10, 4}};
    PATTERN_W pattern{points, 2};
    CR_RESULT out[20] = {};
    log.recognizeResult = 4;
    EXPECT_EQ(recognize(&pattern, out, 20), 0);
    EXPECT_EQ(out[0].code, 0x889Fu);
    EXPECT_EQ(log.recognizePattern, &pattern);
    EXPECT_EQ(log.recognizeCapacity, 20);
    log.recognizeResult = 0;
    EXPECT_EQ(recognize(&pattern, out, 20), 1);
}

TEST_F(ServiceApi, StringRecognizerResultPassesUnchanged) {
    WriteSystemConfig(strings_.path());
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    auto recognize = Export<veltarec::RecognizeFFn>(service, "RecognizeF");
    POINT_W points[1] = {{0, 0, 6}};
    PATTERN_W pattern{points, 1};
    CR_RESULT out[4] = {};
    strings_.log()->recognizeResult = 0;
    EXPECT_EQ(recognize(&pattern, out, 4), 0);
    strings_.log()->recognizeResult = 5;
    EXPECT_EQ(recognize(&pattern, out, 4), 5);
}

TEST_F(ServiceApi, ClassifierReceivesTheCategoryButNotTheGuideBoxOrClassCount) {
    WriteSystemConfig(classifier_.path());
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    FakeLog& log = *classifier_.log();
    const int classCountCalls = log.classCountCalls;
    Export<veltarec::SetGuideBoxFn>(service, "SetGuideBox")(300, 200, 0, 0);
    Export<veltarec::SetClassCountFn>(service, "SetClassCount")(9);
    Export<veltarec::SetRecCategoryFn>(service, "SetRecCategory")(17);
    EXPECT_EQ(log.guideCalls, 0);
    EXPECT_EQ(log.classCountCalls, classCountCalls);
    EXPECT_EQ(log.categoryCalls, 1);
    EXPECT_EQ(log.category, 17);
}

TEST_F(ServiceApi, GuideBoxReachesTheStringRecognizerInTheGivenOrder) {
    WriteSystemConfig(strings_.path());
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    Export<veltarec::SetGuideBoxFn>(service, "SetGuideBox")(300, 200, 10, 20);
    const FakeLog& log = *strings_.log();
    ASSERT_EQ(log.guideCalls, 1);
    EXPECT_EQ(log.guide.left, 300);
    EXPECT_EQ(log.guide.top, 200);
    EXPECT_EQ(log.guide.right, 10);
    EXPECT_EQ(log.guide.bottom, 20);
}

TEST_F(ServiceApi, MissingStringFunctionsGiveTheirFixedResults) {
    WriteSystemConfig(classifier_.path());
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(Export<veltarec::CreateNewObjectFn>(service, "CreateNewObject")(), nullptr);
    EXPECT_EQ(Export<veltarec::RecognizeNFFn>(service, "RecognizeNF")(nullptr), 1);
    EXPECT_EQ(Export<veltarec::GetResultCountFn>(service, "GetResultCount")(nullptr), 0);
    EXPECT_EQ(Export<veltarec::GetLastErrorRSFn>(service, "GetLastErrorRS")(), 0);
    EXPECT_EQ(Export<veltarec::GetPatternWFn>(service, "GetPatternW")(nullptr, 0, 0), nullptr);
    tagRECT rect{};
    EXPECT_EQ(Export<veltarec::GetNthCharBoundFn>(service, "GetNthCharBound")(nullptr, 0, 0, &rect),
              1);
}

// --- no library loaded ---

// The service's exports without the loader's attach: nothing is open and no library is
// held, as after a failed open.
class ServiceWithoutLibrary : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        handle_ = dlopen(FakePath("VELTAREC_LIB").c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
    }
    void TearDown() override {
        if (handle_) dlclose(handle_);
        ServiceTest::TearDown();
    }
    template <class Fn> Fn Get(const char* name) {
        Fn fn = reinterpret_cast<Fn>(dlsym(handle_, name));
        EXPECT_NE(fn, nullptr) << name;
        return fn;
    }
    void* handle_ = nullptr;
};

TEST_F(ServiceWithoutLibrary, EveryCallGivesItsMissingResult) {
    WriteSystemConfig(system_.file("libno-such-recognizer.so"));
    EXPECT_EQ(Get<veltarec::OpenDictionaryFn>("OpenDictionary")(), 0);
    EXPECT_EQ(Get<veltarec::GetStrokeCountFn>("GetStrokeCount")(nullptr), 0);
    EXPECT_EQ(Get<veltarec::RecognizeNFFn>("RecognizeNF")(nullptr), 1);
    int32_t length = -7;
    EXPECT_EQ(Get<veltarec::GetStringFn>("GetString")(nullptr, 0, &length), nullptr);
    POINT_W points[1] = {{0, 0, 6}};
    PATTERN_W pattern{points, 1};
    CR_RESULT out[2] = {};
    EXPECT_EQ(Get<veltarec::RecognizeFFn>("RecognizeF")(&pattern, out, 2), 1);
    tagPOINT stroke[1] = {{1, 1}};
    EXPECT_EQ(Get<veltarec::AddStrokeLastFn>("AddStrokeLast")(nullptr, stroke, 1), 1);
    EXPECT_EQ(Get<veltarec::GetTehonNumFn>("GetTehonNum")(0x889F), 0);
    int16_t a = 5, b = 5, c = 5;
    EXPECT_EQ(Get<veltarec::GetScoreFn>("GetScore")(&pattern, 0x889F, &a, &b, &c), 0);
    EXPECT_EQ(a + b + c, 0);
    Get<veltarec::SetRecCategoryFn>("SetRecCategory")(1); // nothing to reach, no crash
    EXPECT_EQ(Get<veltarec::CloseDictionaryFn>("CloseDictionary")(), 0);
}

// --- The character prior ---

// A classifier's list where a rare character (code 0x9A98) scores just above a common one
// (0x8CFB) of the same shape, and a third far below.
void CloseCandidates(FakeLog& log) {
    log.resultCount = 3;
    log.results[0] = CR_RESULT{1, 999, 0x9A98};
    log.results[1] = CR_RESULT{2, 938, 0x8CFB};
    log.results[2] = CR_RESULT{3, 600, 0x93FA};
    log.recognizeResult = 3;
}

TEST_F(ServiceApi, ConfiguredPriorPutsTheCommonCharacterFirstAmongCloseScores) {
    const uint16_t codes[] = {0x8CFB, 0x93FA, 0x9A98};
    const uint8_t weights[] = {240, 255, 0};
    const uint16_t groups[] = {1, 2, 1};
    ASSERT_EQ(iWriteCharPrior(system_.file("prior.cpd").c_str(), 100, codes, weights, groups, 3),
              0);
    WriteSystemConfig(classifier_.path(), "CPDIC=prior.cpd\n");
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    auto recognize = Export<veltarec::RecognizeFFn>(service, "RecognizeF");
    CloseCandidates(*classifier_.log());
    POINT_W points[2] = {{0, 0, 2}, {10, 10, 4}};
    PATTERN_W pattern{points, 2};
    CR_RESULT out[20] = {};
    ASSERT_EQ(recognize(&pattern, out, 20), 0);
    EXPECT_EQ(out[0].code, 0x8CFBu);
    EXPECT_EQ(out[1].code, 0x9A98u);
    EXPECT_EQ(out[1].score, 938);
    EXPECT_EQ(out[2].code, 0x93FAu); // 339 points below: far out of the prior's reach
    EXPECT_EQ(out[3].score, 0);
    // a failed recognition is passed on as it is
    classifier_.log()->recognizeResult = 0;
    EXPECT_EQ(recognize(&pattern, out, 20), 1);
}

TEST_F(ServiceApi, WithoutAPriorTheClassifierOrderStands) {
    for (const std::string extra : {"", "CPDIC=missing.cpd\n", "CPDIC=broken.cpd\n"}) {
        SCOPED_TRACE(extra);
        WriteFile(system_.file("broken.cpd"), "TCPR\1\0");
        WriteSystemConfig(classifier_.path(), extra);
        platform::ModuleHandle service = LoadService();
        ASSERT_NE(service, nullptr);
        auto recognize = Export<veltarec::RecognizeFFn>(service, "RecognizeF");
        CloseCandidates(*classifier_.log());
        POINT_W points[2] = {{0, 0, 2}, {10, 10, 4}};
        PATTERN_W pattern{points, 2};
        CR_RESULT out[20] = {};
        ASSERT_EQ(recognize(&pattern, out, 20), 0);
        EXPECT_EQ(out[0].code, 0x9A98u);
        EXPECT_EQ(out[0].score, 999);
        EXPECT_EQ(out[1].code, 0x8CFBu);
        FreeService(service);
    }
}

} // namespace
} // namespace servicetest
