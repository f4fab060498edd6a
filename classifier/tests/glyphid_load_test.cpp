// Both classifier libraries loaded into one process, and the older build's results.
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "glyphid_fixture.h"
#include "tessera/records.h"

namespace {

using namespace glyphid_test;

// The classifier functions of one loaded library, under its export names.
struct Classifier {
    void* handle = nullptr;
    int (*open)(const char*, const char*) = nullptr;
    void (*close)() = nullptr;
    int (*classify)(const PATTERN_W*, CR_RESULT*, int) = nullptr;
    void (*setClassCount)(int) = nullptr;
    void (*setCategory)(int) = nullptr;
    const char* (*toString)(const CR_RESULT*) = nullptr;
    int (*entry)(void*, unsigned long, void*) = nullptr;

    bool Load(const char* envName, const std::string& prefix) {
        const char* path = std::getenv(envName);
        if (!path) return false;
        handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (!handle) return false;
        auto sym = [&](const char* name) { return dlsym(handle, (prefix + name).c_str()); };
        open = reinterpret_cast<decltype(open)>(sym("iOpenClassRecogModule"));
        close = reinterpret_cast<decltype(close)>(sym("vCloseClassRecogModule"));
        classify = reinterpret_cast<decltype(classify)>(sym("iClassifyRecognize"));
        setClassCount = reinterpret_cast<decltype(setClassCount)>(sym("vSetClassCount"));
        setCategory = reinterpret_cast<decltype(setCategory)>(sym("vSetRecogCategory"));
        toString = reinterpret_cast<decltype(toString)>(sym("cpCRREStoString"));
        entry = reinterpret_cast<decltype(entry)>(dlsym(handle, "DllEntryPoint"));
        return open && close && classify && setClassCount && setCategory && toString && entry;
    }
    void Unload() {
        if (!handle) return;
        if (close) close();
        dlclose(handle);
        handle = nullptr;
    }
};

class TwoLibraries : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(now_.Load("GLYPHID_LIB", "")) << dlerror();
        ASSERT_TRUE(old_.Load("GLYPHIDOLD_LIB", "_")) << dlerror();
        // The current names are not in the older library and the reverse.
        EXPECT_EQ(dlsym(old_.handle, "iClassifyRecognize"), nullptr);
        EXPECT_EQ(dlsym(now_.handle, "_iClassifyRecognize"), nullptr);
        crA_ = dir_.File("a.dic");
        crB_ = dir_.File("b.dic");
        ASSERT_TRUE(WritePatternDictionary(crA_, {{0x8F5C, {Cross()}}}));
        ASSERT_TRUE(WritePatternDictionary(crB_, {{0x8CFB, {Kou()}}, {0x8F5D, {Cross()}}}));
    }
    void TearDown() override {
        now_.Unload();
        old_.Unload();
    }

    // Runs one recognition; returns the library's result and fills codes.
    static int Run(const Classifier& c, const std::vector<POINT_W>& ink,
                   std::vector<uint16_t>* codes, int room = 10) {
        std::vector<POINT_W> pts = ink;
        PATTERN_W p{pts.data(), int32_t(pts.size())};
        std::vector<CR_RESULT> res(size_t(room), CR_RESULT{9, 9, 9});
        const int rc = c.classify(&p, res.data(), room);
        codes->clear();
        for (const CR_RESULT& r : res)
            if (r.score > 0) codes->push_back(uint16_t(r.code));
        return rc;
    }

    TempDir dir_;
    Classifier now_, old_;
    std::string crA_, crB_;
    const std::vector<POINT_W> cross_ = Ink(Scaled(Cross(), 1, 1, 5, 5));
};

TEST_F(TwoLibraries, EachKeepsItsOwnState) {
    ASSERT_EQ(now_.open(crA_.c_str(), nullptr), 0);
    ASSERT_EQ(old_.open(crB_.c_str(), dir_.File("none.dic").c_str()), 0)
        << "the other library's open does not count as this one's";
    std::vector<uint16_t> codes;
    EXPECT_EQ(Run(now_, cross_, &codes), 1);
    EXPECT_EQ(codes, std::vector<uint16_t>{0x8F5C});
    EXPECT_EQ(Run(old_, cross_, &codes), 0);
    EXPECT_EQ(codes, std::vector<uint16_t>{0x8F5D});

    now_.setCategory(1); // a mask in one library only
    EXPECT_EQ(Run(now_, cross_, &codes), 0);
    EXPECT_EQ(Run(old_, cross_, &codes), 0);
    EXPECT_EQ(codes, std::vector<uint16_t>{0x8F5D});

    now_.close();
    EXPECT_EQ(Run(old_, cross_, &codes), 0) << "closing one leaves the other open";
    EXPECT_EQ(codes.size(), 1u);
    EXPECT_EQ(old_.open(crB_.c_str(), nullptr), 1) << "still open";

    // Separate text buffers as well.
    CR_RESULT a{0, 1, 0x41}, b{0, 1, 0x42};
    const char* ta = now_.toString(&a);
    const char* tb = old_.toString(&b);
    EXPECT_NE(ta, tb);
    EXPECT_STREQ(ta, "A");
    EXPECT_STREQ(tb, "B");
}

TEST_F(TwoLibraries, EntryPointsReportSuccess) {
    for (unsigned long reason : {0ul, 1ul, 2ul, 3ul}) {
        EXPECT_EQ(now_.entry(nullptr, reason, nullptr), 1);
        EXPECT_EQ(old_.entry(nullptr, reason, nullptr), 1);
    }
}

TEST_F(TwoLibraries, OlderBuildReportsStatusNotCount) {
    std::vector<uint16_t> codes;
    EXPECT_NE(Run(old_, cross_, &codes), 0) << "closed";
    ASSERT_EQ(old_.open(crB_.c_str(), nullptr), 0);
    EXPECT_EQ(Run(old_, cross_, &codes), 0);
    EXPECT_EQ(codes, std::vector<uint16_t>{0x8F5D});
    EXPECT_EQ(Run(old_, Ink(Kou()), &codes), 0);
    EXPECT_EQ(codes, std::vector<uint16_t>{0x8CFB});
    // A completed recognition without any candidate is still a success.
    EXPECT_EQ(Run(old_, Ink(Slash()), &codes), 0);
    EXPECT_TRUE(codes.empty());

    // Failures are nonzero.
    std::vector<POINT_W> pts = cross_;
    PATTERN_W empty{pts.data(), 0};
    CR_RESULT res[2];
    EXPECT_NE(old_.classify(&empty, res, 2), 0);
    EXPECT_NE(old_.classify(nullptr, res, 2), 0);
    PATTERN_W p{pts.data(), int32_t(pts.size())};
    EXPECT_NE(old_.classify(&p, nullptr, 2), 0);
    EXPECT_NE(old_.classify(&p, res, 0), 0);
}

TEST_F(TwoLibraries, OlderBuildWithoutCoarseFileFindsNothingOnTheCoarsePath) {
    ASSERT_EQ(old_.open(crB_.c_str(), dir_.File("missing.dic").c_str()), 0);
    std::vector<uint16_t> codes;
    EXPECT_EQ(Run(old_, cross_, &codes), 0);
    EXPECT_EQ(codes.size(), 1u) << "class count 0: the normal path";
    old_.setClassCount(500);
    EXPECT_EQ(Run(old_, cross_, &codes), 0);
    EXPECT_TRUE(codes.empty()) << "the empty coarse dictionary yields no candidate";
    old_.setClassCount(0);
    EXPECT_EQ(Run(old_, cross_, &codes), 0);
    EXPECT_EQ(codes.size(), 1u);

    // The current build has no coarse classification then, and ignores the class count.
    ASSERT_EQ(now_.open(crB_.c_str(), dir_.File("missing.dic").c_str()), 0);
    now_.setClassCount(500);
    EXPECT_EQ(Run(now_, cross_, &codes), 1);
}

TEST_F(TwoLibraries, OlderBuildRefusesAnUnreadableCoarseFile) {
    // Cut inside its first entry.
    const std::string cut = dir_.File("cut.dic");
    ASSERT_TRUE(WriteCoarse(cut, {CoarseEntry(0x8F5D, cross_)}));
    std::filesystem::resize_file(cut, 30);
    EXPECT_NE(old_.open(crB_.c_str(), cut.c_str()), 0);
    std::vector<uint16_t> codes;
    EXPECT_NE(Run(old_, cross_, &codes), 0) << "the failed open left the module closed";

    // A folder in place of the file (an empty name in the configuration).
    EXPECT_NE(old_.open(crB_.c_str(), (dir_.File("") + "/").c_str()), 0);

    // The pattern dictionary is free again: a good open works.
    const std::string good = dir_.File("good.dic");
    ASSERT_TRUE(
        WriteCoarse(good, {CoarseEntry(0x8F5D, cross_), CoarseEntry(0x8CFB, Ink(Kou()), 3)}));
    ASSERT_EQ(old_.open(crB_.c_str(), good.c_str()), 0);
    old_.setClassCount(1);
    EXPECT_EQ(Run(old_, cross_, &codes), 0);
    EXPECT_EQ(codes, std::vector<uint16_t>{0x8F5D});
}

TEST_F(TwoLibraries, MissingPatternDictionaryFailsBothOpens) {
    EXPECT_EQ(now_.open(dir_.File("nothing.dic").c_str(), nullptr), 3);
    EXPECT_NE(old_.open(dir_.File("nothing.dic").c_str(), dir_.File("none.dic").c_str()), 0);
    std::vector<uint16_t> codes;
    EXPECT_NE(Run(old_, cross_, &codes), 0);
}

} // namespace
