#include "platform/sysdir.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace platform;

namespace {
struct EnvGuard {
    std::string saved;
    bool had;
    EnvGuard() {
        const char* v = std::getenv("TESSERA_SYSTEM_DIR");
        had = v != nullptr;
        if (v) saved = v;
    }
    ~EnvGuard() {
        if (had)
            setenv("TESSERA_SYSTEM_DIR", saved.c_str(), 1);
        else
            unsetenv("TESSERA_SYSTEM_DIR");
    }
};
} // namespace

TEST(SystemDirectory, EnvironmentWinsWithoutTrailingSlash) {
    EnvGuard g;
    setenv("TESSERA_SYSTEM_DIR", "/tmp/somewhere/", 1);
    EXPECT_EQ(SystemDirectory(), "/tmp/somewhere");
    EXPECT_EQ(InSystemDirectory("VELTAREC.INI"), "/tmp/somewhere/VELTAREC.INI");
    EXPECT_EQ(InSystemDirectory("./VELTAREC.INI"), "./VELTAREC.INI");
    EXPECT_EQ(InSystemDirectory("/etc/x.ini"), "/etc/x.ini");
}

TEST(SystemDirectory, WithoutEnvironmentTheDataFolderIsUsed) {
    EnvGuard g;
    setenv("TESSERA_SYSTEM_DIR", "", 1);
    const std::string dir = SystemDirectory();
    EXPECT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), '/');
    EXPECT_NE(dir.find("share/tessera"), std::string::npos) << dir;
    unsetenv("TESSERA_SYSTEM_DIR");
    EXPECT_EQ(SystemDirectory(), dir);
}

TEST(SystemDirectory, OwnModuleIsThisProgram) {
    EXPECT_NE(OwnModuleDirectory().find("tests"), std::string::npos) << OwnModuleDirectory();
}
