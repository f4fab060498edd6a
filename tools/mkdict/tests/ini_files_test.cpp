#include <gtest/gtest.h>

#include <filesystem>

#include "platform/profile.h"
#include "tools/mkdict/ini_files.h"

using namespace mkdict;
namespace fs = std::filesystem;

TEST(IniFiles, ServiceAndBoxConfigurationsReadBack) {
    fs::path dir = fs::temp_directory_path() / ("mkdict_ini_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    DictionaryNames names;
    std::string err;
    ASSERT_TRUE(WriteIniFiles(dir.string(), names, err)) << err;
    std::string rec = (dir / "VELTAREC.INI").string(), box = (dir / "VELTABOX.INI").string();
    char buf[512];
    auto get = [&](const char* sec, const char* key, const std::string& file) {
        platform::GetPrivateProfileString(sec, key, "", buf, sizeof buf, file.c_str());
        return std::string(buf);
    };
    EXPECT_EQ(get("RECOGBOX", "LibName", rec), "seqread.dll");
    EXPECT_EQ(platform::GetPrivateProfileInt("RECOGBOX", "CCOUNT", 0, rec.c_str()), 50);
    EXPECT_EQ(get("RECOGBOX", "CRDIC", rec), names.pattern);
    EXPECT_EQ(get("RECOGBOX", "CCDIC", rec), names.coarse);
    EXPECT_EQ(get("RECOGBOX", "CBDIC", rec), names.bigram);
    EXPECT_EQ(get("RECOGBOX", "EXDIC", rec), names.model);
    EXPECT_EQ(get("RECOGBOX", "CPDIC", rec), names.prior);
    EXPECT_EQ(get("VELTABOX", "CPDDIC", box), names.prior);
    // the service must not read its configuration from the current folder
    EXPECT_EQ(platform::GetPrivateProfileInt("RECOGBOX", "RECFLAG", -1, rec.c_str()), -1);
    EXPECT_EQ(get("VELTABOX", "CRDDIC", box), names.pattern);
    EXPECT_EQ(get("VELTABOX", "CCDDIC", box), names.coarse);
    EXPECT_EQ(platform::GetPrivateProfileInt("VELTABOX", "CCOUNT", 0, box.c_str()), 50);
    EXPECT_FALSE(WriteIniFiles((dir / "missing" / "x").string(), names, err));
    // without a prior no key names one, and the service keeps the classifier's order
    DictionaryNames bare;
    bare.prior.clear();
    ASSERT_TRUE(WriteIniFiles(dir.string(), bare, err)) << err;
    EXPECT_EQ(get("RECOGBOX", "CPDIC", rec), "");
    EXPECT_EQ(get("VELTABOX", "CPDDIC", box), "");
    fs::remove_all(dir);
}
