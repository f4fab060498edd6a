// The box recognizer, built against a stand-in of the older classifier: its
// configuration, the once-per-process open and close, and forwarding.
#include "recservice/tests/service_fixture.h"

namespace servicetest {
namespace {

class Inkslot : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(classifier_.log(), nullptr) << classifier_.path();
        classifier_.Reset();
        setenv("TESSERA_SYSTEM_DIR", system_.path().c_str(), 1);
    }
    void TearDown() override {
        for (platform::ModuleHandle h : loaded_) platform::FreeLibrary(h);
        unsetenv("TESSERA_SYSTEM_DIR");
    }
    platform::ModuleHandle Load() {
        platform::ModuleHandle h = platform::LoadLibrary(FakePath("INKSLOT_TESTBUILD").c_str());
        if (h) loaded_.push_back(h);
        return h;
    }
    void Free(platform::ModuleHandle h) {
        std::erase(loaded_, h);
        platform::FreeLibrary(h);
    }
    TempDir system_;
    FakeLibrary classifier_{FakePath("FAKE_GLYPHIDOLD")};
    std::vector<platform::ModuleHandle> loaded_;
};

TEST_F(Inkslot, AbsentClassCountIs500AndPathsComeFromTheSystemDirectory) {
    WriteFile(system_.file("VELTABOX.INI"), "[VELTABOX]\nCRDDIC=p.dic\nCCDDIC=c.dic\n");
    ASSERT_NE(Load(), nullptr);
    const FakeLog& log = *classifier_.log();
    EXPECT_EQ(log.opens, 1);
    EXPECT_EQ(std::string(log.dic[0]), system_.file("p.dic"));
    EXPECT_EQ(std::string(log.dic[1]), system_.file("c.dic"));
    EXPECT_EQ(log.classCountCalls, 1);
    EXPECT_EQ(log.classCount, 500);
}

TEST_F(Inkslot, ClassCountFromTheFile) {
    WriteFile(system_.file("VELTABOX.INI"), "[VELTABOX]\nCRDDIC=p.dic\nCCOUNT=12\n");
    ASSERT_NE(Load(), nullptr);
    EXPECT_EQ(classifier_.log()->classCount, 12);
    EXPECT_EQ(std::string(classifier_.log()->dic[1]), system_.path() + "/");
}

TEST_F(Inkslot, SecondLoadDoesNotReopenAndLastUnloadClosesOnce) {
    platform::ModuleHandle first = Load();
    platform::ModuleHandle second = Load();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    const FakeLog& log = *classifier_.log();
    EXPECT_EQ(log.opens, 1);
    Free(second);
    EXPECT_EQ(log.closes, 0);
    Free(first);
    EXPECT_EQ(log.closes, 1);
}

TEST_F(Inkslot, FailingOpenFailsTheLoadWithoutAClassCount) {
    classifier_.log()->openResult = 3;
    EXPECT_EQ(Load(), nullptr);
    EXPECT_EQ(classifier_.log()->opens, 1);
    EXPECT_EQ(classifier_.log()->classCountCalls, 0);
}

TEST_F(Inkslot, RecognizeForwardsTheResultUnchanged) {
    platform::ModuleHandle box = Load();
    ASSERT_NE(box, nullptr);
    using RecognizeFn = int (*)(PATTERN_W*, CR_RESULT*, int);
    auto recognize = platform::GetProc<RecognizeFn>(box, "Recognize");
    ASSERT_NE(recognize, nullptr);
    FakeLog& log = *classifier_.log();
    log.resultCount = 1;
    log.results[0] = CR_RESULT{2, 640, 0x82A0};
    POINT_W points[1] = {{1, 1, 6}};
    PATTERN_W pattern{points, 1};
    CR_RESULT out[5] = {};
    EXPECT_EQ(recognize(&pattern, out, 5), 0);
    EXPECT_EQ(out[0].code, 0x82A0u);
    EXPECT_EQ(log.recognizeCapacity, 5);
    log.recognizeResult = 2;
    EXPECT_EQ(recognize(&pattern, out, 5), 2);
}

} // namespace
} // namespace servicetest
