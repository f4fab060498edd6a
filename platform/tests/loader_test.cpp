#include "platform/loader.h"

#include <cstdlib>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Probe(const char* file) { return std::string(std::getenv("PROBE_DIR")) + "/" + file; }

int Count(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::atoi(v) : 0;
}

class Loader : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("PROBE_DIR"), nullptr);
        setenv("PROBE_ATTACHES", "0", 1);
        setenv("PROBE_DETACHES", "0", 1);
    }
};

TEST_F(Loader, AttachesAfterLoadAndDetachesBeforeClose) {
    platform::ModuleHandle h = platform::LoadLibrary(Probe("libloader_probe.so").c_str());
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(Count("PROBE_ATTACHES"), 1);
    EXPECT_EQ(Count("PROBE_DETACHES"), 0);
    auto answer = platform::GetProc<int (*)()>(h, "ProbeAnswer");
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(platform::GetProcAddress(h, "NoSuchExport"), nullptr);
    EXPECT_TRUE(platform::FreeLibrary(h));
    EXPECT_EQ(Count("PROBE_DETACHES"), 1);
}

TEST_F(Loader, EveryLoadAttachesAgain) {
    platform::ModuleHandle a = platform::LoadLibrary(Probe("libloader_probe.so").c_str());
    platform::ModuleHandle b = platform::LoadLibrary(Probe("libloader_probe.so").c_str());
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Count("PROBE_ATTACHES"), 2);
    platform::FreeLibrary(b);
    platform::FreeLibrary(a);
    EXPECT_EQ(Count("PROBE_DETACHES"), 2);
}

TEST_F(Loader, RefusedAttachFailsTheLoadAndLeavesNothingLoaded) {
    const std::string path = Probe("libloader_refuses.so");
    EXPECT_EQ(platform::LoadLibrary(path.c_str()), nullptr);
    EXPECT_EQ(Count("PROBE_ATTACHES"), 1);
    EXPECT_EQ(Count("PROBE_DETACHES"), 1);
    // RTLD_NOLOAD finds only objects that are still loaded.
    void* still = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_EQ(still, nullptr);
    if (still) dlclose(still);
}

TEST_F(Loader, LibraryWithoutEntryPointLoads) {
    platform::ModuleHandle h = platform::LoadLibrary(Probe("libloader_plain.so").c_str());
    ASSERT_NE(h, nullptr);
    auto answer = platform::GetProc<int (*)()>(h, "PlainAnswer");
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 7);
    EXPECT_TRUE(platform::FreeLibrary(h));
}

TEST_F(Loader, WindowsNameFallsBackToSharedObject) {
    platform::ModuleHandle h = platform::LoadLibrary(Probe("loader_plain.dll").c_str());
    ASSERT_NE(h, nullptr);
    EXPECT_NE(platform::GetProcAddress(h, "PlainAnswer"), nullptr);
    platform::FreeLibrary(h);
    platform::ModuleHandle upper = platform::LoadLibrary(Probe("loader_plain.DLL").c_str());
    EXPECT_NE(upper, nullptr);
    platform::FreeLibrary(upper);
}

TEST_F(Loader, BadNamesAndHandles) {
    EXPECT_EQ(platform::LoadLibrary(nullptr), nullptr);
    EXPECT_EQ(platform::LoadLibrary(""), nullptr);
    EXPECT_EQ(platform::LoadLibrary("no_such_library.dll"), nullptr);
    EXPECT_EQ(platform::GetProcAddress(nullptr, "x"), nullptr);
    EXPECT_FALSE(platform::FreeLibrary(nullptr));
}

} // namespace
