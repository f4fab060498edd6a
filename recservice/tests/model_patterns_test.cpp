// Model patterns: the index, stroke counts, scaled models and scoring against a model.
#include "recservice/tests/service_fixture.h"

namespace servicetest {
namespace {

class ModelPatterns : public ServiceTest {
protected:
    platform::ModuleHandle Open(const std::vector<Model>& models, uint16_t w = 0, uint16_t h = 0) {
        WriteModels(models, w, h);
        WriteSystemConfig(strings_.path());
        platform::ModuleHandle service = LoadService();
        if (service) {
            count_ = Export<veltarec::GetTehonNumFn>(service, "GetTehonNum");
            pattern_ = Export<veltarec::GetTehonPatternFn>(service, "GetTehonPattern");
            release_ = Export<veltarec::ReleaseTehonPatternFn>(service, "ReleaseTehonPattern");
            score_ = Export<veltarec::GetScoreFn>(service, "GetScore");
        }
        return service;
    }
    veltarec::GetTehonNumFn count_ = nullptr;
    veltarec::GetTehonPatternFn pattern_ = nullptr;
    veltarec::ReleaseTehonPatternFn release_ = nullptr;
    veltarec::GetScoreFn score_ = nullptr;
};

const Model kTwoStrokes{0x889F, {10, 10, 20, 20, 255, 255, 30, 30, 254, 254}};

TEST_F(ModelPatterns, TwoStrokeModelScaledTo120) {
    ASSERT_NE(Open({kTwoStrokes}), nullptr);
    EXPECT_EQ(count_(0x889F), 2);
    int32_t strokes = -1;
    PATTERN_W* model = pattern_(0x889F, 120, 120, &strokes);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(strokes, 2);
    ASSERT_EQ(model->num, 3);
    const POINT_W expected[3] = {{40, 40, 2}, {80, 80, 4}, {120, 120, 4}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(model->data[i].x, expected[i].x) << i;
        EXPECT_EQ(model->data[i].y, expected[i].y) << i;
        EXPECT_EQ(model->data[i].attr, expected[i].attr) << i;
    }
    release_(model);
}

TEST_F(ModelPatterns, ReferenceSizeBoundsTheExtentAndScalingTruncates) {
    // Extent 100 x 60 from the reference size; 50 * 33 / 100 = 16.5 -> 16.
    ASSERT_NE(Open({kTwoStrokes}, 100, 60), nullptr);
    int32_t strokes = 0;
    PATTERN_W* model = pattern_(0x889F, 33, 60, &strokes);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->data[0].x, 3);  // 10 * 0.33 = 3.3
    EXPECT_EQ(model->data[2].x, 9);  // 30 * 0.33 = 9.9
    EXPECT_EQ(model->data[2].y, 30); // 30 * 60 / 60
    release_(model);
}

TEST_F(ModelPatterns, OnlyTheLowSixteenBitsOfTheCodeCount) {
    ASSERT_NE(Open({kTwoStrokes}), nullptr);
    EXPECT_EQ(count_(0x5A0000u | 0x889F), 2);
}

TEST_F(ModelPatterns, CodeBetweenTwoIndexedCodesHasNoModel) {
    ASSERT_NE(Open({{0x8140, {1, 1, 254, 254}},
                    {0x889F, {1, 1, 254, 254}},
                    {0x88A1, {1, 1, 2, 2, 255, 254, 3, 3, 254, 254}}}),
              nullptr);
    EXPECT_EQ(count_(0x88A1), 2);
    EXPECT_EQ(count_(0x8140), 1);
    EXPECT_EQ(count_(0x88A0), 0);
    EXPECT_EQ(count_(0x8100), 0);
    EXPECT_EQ(count_(0x9000), 0);
    int32_t strokes = 9;
    EXPECT_EQ(pattern_(0x88A0, 120, 120, &strokes), nullptr);
    EXPECT_EQ(strokes, 0);
}

TEST_F(ModelPatterns, ModelWithoutEndMarkerIsUnreadable) {
    ASSERT_NE(Open({{0x889F, {10, 10, 20, 20, 255, 255}}}), nullptr);
    EXPECT_EQ(count_(0x889F), 0);
    int32_t strokes = 9;
    EXPECT_EQ(pattern_(0x889F, 120, 120, &strokes), nullptr);
    EXPECT_EQ(strokes, 0);
}

TEST_F(ModelPatterns, DictionaryRemovedAfterOpeningGivesNoModels) {
    ASSERT_NE(Open({kTwoStrokes}), nullptr);
    std::filesystem::remove(system_.file("model.dic"));
    EXPECT_EQ(count_(0x889F), 0);
    int32_t strokes = 0;
    EXPECT_EQ(pattern_(0x889F, 120, 120, &strokes), nullptr);
}

TEST_F(ModelPatterns, ModelWithoutExtentDoesNotDivideByZero) {
    ASSERT_NE(Open({{0x889F, {0, 0, 0, 0, 254, 254}}}), nullptr);
    int32_t strokes = 0;
    PATTERN_W* model = pattern_(0x889F, 120, 120, &strokes);
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->num, 2);
    EXPECT_EQ(model->data[1].x, 0);
    EXPECT_EQ(model->data[1].y, 0);
    release_(model);
}

// --- GetScore ---

TEST_F(ModelPatterns, ScoreForACodeWithoutModelIsZero) {
    ASSERT_NE(Open({kTwoStrokes}), nullptr);
    POINT_W points[2] = {{0, 0, 2}, {50, 50, 4}};
    PATTERN_W written{points, 2};
    int16_t diff = 7, shape = 7, recog = 7;
    EXPECT_EQ(score_(&written, 0x88A0, &diff, &shape, &recog), 0);
    EXPECT_EQ(diff, 0);
    EXPECT_EQ(shape, 0);
    EXPECT_EQ(recog, 0);
    EXPECT_EQ(strings_.log()->recognizeCalls, 0);
}

TEST_F(ModelPatterns, ScoreWhenTheCodeIsNotAmongTheCandidates) {
    ASSERT_NE(Open({kTwoStrokes}), nullptr);
    FakeLog& log = *strings_.log();
    log.resultCount = 2;
    log.results[0] = CR_RESULT{1, 800, 0x8140};
    log.results[1] = CR_RESULT{2, 700, 0x8141};
    POINT_W points[3] = {{0, 0, 2}, {50, 50, 4}, {90, 90, 6}};
    PATTERN_W written{points, 3};
    int16_t diff = 7, shape = 7, recog = 7;
    EXPECT_EQ(score_(&written, 0x889F, &diff, &shape, &recog), 1);
    EXPECT_EQ(recog, 0);
    EXPECT_EQ(diff, 1); // two model strokes, one point with exactly the pen-up flag
    EXPECT_EQ(log.recognizeCapacity, 20);
}

TEST_F(ModelPatterns, RecognitionScoreIsTheLastCandidateWithTheCode) {
    ASSERT_NE(Open({kTwoStrokes}), nullptr);
    FakeLog& log = *strings_.log();
    log.resultCount = 3;
    log.results[0] = CR_RESULT{1, 800, 0x889F};
    log.results[1] = CR_RESULT{2, 700, 0x8141};
    log.results[2] = CR_RESULT{3, 600, 0x1889F}; // the same code in 16 bits
    POINT_W points[2] = {{0, 0, 2}, {50, 50, 4}};
    PATTERN_W written{points, 2};
    int16_t diff = 0, shape = 0, recog = 0;
    EXPECT_EQ(score_(&written, 0x889F, &diff, &shape, &recog), 1);
    EXPECT_EQ(recog, 600);
}

TEST_F(ModelPatterns, FailedRecognitionStillScoresTheModel) {
    ASSERT_NE(Open({kTwoStrokes}), nullptr);
    strings_.log()->recognizeResult = 5;
    strings_.log()->resultCount = 1;
    strings_.log()->results[0] = CR_RESULT{1, 800, 0x889F};
    POINT_W points[2] = {{0, 0, 2}, {50, 50, 4}};
    PATTERN_W written{points, 2};
    int16_t diff = 0, shape = 0, recog = 9;
    EXPECT_EQ(score_(&written, 0x889F, &diff, &shape, &recog), 1);
    EXPECT_EQ(recog, 0);
    EXPECT_EQ(diff, 1);
}

TEST_F(ModelPatterns, NullWrittenPatternIsRefused) {
    ASSERT_NE(Open({kTwoStrokes}), nullptr);
    int16_t diff = 3, shape = 3, recog = 3;
    EXPECT_EQ(score_(nullptr, 0x889F, &diff, &shape, &recog), 0);
    EXPECT_EQ(diff + shape + recog, 0);
}

#ifdef VELTAREC_HAS_MATCHER
TEST_F(ModelPatterns, ModelWrittenExactlyScoresFullShapeAgreement) {
    ASSERT_NE(
        Open({{0x889F, {10, 60, 60, 62, 110, 60, 255, 255, 60, 10, 61, 60, 60, 110, 254, 254}}}),
        nullptr);
    int32_t strokes = 0;
    PATTERN_W* model = pattern_(0x889F, 120, 120, &strokes);
    ASSERT_NE(model, nullptr);
    int16_t diff = 9, shape = 0, recog = 0;
    EXPECT_EQ(score_(model, 0x889F, &diff, &shape, &recog), 1);
    EXPECT_EQ(shape, 1024);
    EXPECT_EQ(diff, 0);
    release_(model);
}

TEST_F(ModelPatterns, DifferentShapeScoresLess) {
    ASSERT_NE(
        Open({{0x889F, {10, 60, 60, 62, 110, 60, 255, 255, 60, 10, 61, 60, 60, 110, 254, 254}}}),
        nullptr);
    // Two strokes again, but a diagonal cross instead of an upright one.
    POINT_W points[6] = {{10, 10, 2},  {60, 60, 0}, {110, 110, 4},
                         {110, 10, 2}, {60, 60, 0}, {10, 110, 4}};
    PATTERN_W written{points, 6};
    int16_t diff = 9, shape = 0, recog = 0;
    EXPECT_EQ(score_(&written, 0x889F, &diff, &shape, &recog), 1);
    EXPECT_LT(shape, 1024);
    EXPECT_GE(shape, 0);
}
#endif

} // namespace
} // namespace servicetest
