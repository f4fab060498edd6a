#include "platform/profile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using namespace platform;

namespace {

class Profile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("tessera_profile_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "test.ini").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string Contents() {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::string Get(const char* section, const char* key, const char* def = "dflt",
                    unsigned long size = 512) {
        char buf[512];
        unsigned long n = GetPrivateProfileString(section, key, def, buf, size, path.c_str());
        EXPECT_EQ(n, std::string(buf).size());
        return buf;
    }

    fs::path dir;
    std::string path;
};

TEST_F(Profile, NamesAreCaseBlindAndBlanksAndQuotesGo) {
    Write("; a comment\r\n[RecogBox]\r\n  LibName =  seqread.dll  \r\nCRDIC=\"crdic.dic\"\r\n"
          "Quoted=' x '\r\n;CCDIC=hidden\r\n");
    EXPECT_EQ(Get("RECOGBOX", "libname"), "seqread.dll");
    EXPECT_EQ(Get("recogbox", "CRDIC"), "crdic.dic");
    EXPECT_EQ(Get("RECOGBOX", "Quoted"), " x ");
    EXPECT_EQ(Get("RECOGBOX", "CCDIC"), "dflt");
    EXPECT_EQ(Get("RECOGBOX", ";CCDIC"), "dflt");
}

TEST_F(Profile, MissingFileSectionOrKeyGivesTrimmedDefault) {
    EXPECT_EQ(Get("S", "K", "  fallback  "), "fallback");
    Write("[A]\nK=1\n");
    EXPECT_EQ(Get("B", "K"), "dflt");
    EXPECT_EQ(Get("A", "Other"), "dflt");
    EXPECT_EQ(Get("A", "K", nullptr), "1");
    EXPECT_EQ(Get("A", "Other", nullptr), "");
}

TEST_F(Profile, FirstMatchWinsAndSectionsEndAtTheNextHeader) {
    Write("[A]\nK=first\nK=second\n[B]\nJ=b\n[A]\nJ=late\n");
    EXPECT_EQ(Get("A", "K"), "first");
    EXPECT_EQ(Get("A", "J"), "dflt");
    EXPECT_EQ(Get("B", "J"), "b");
}

TEST_F(Profile, ValuesAreCutToTheBufferLessOne) {
    Write("[A]\nK=abcdefgh\n");
    EXPECT_EQ(Get("A", "K", "", 5), "abcd");
    EXPECT_EQ(Get("A", "K", "", 1), "");
    char untouched = 'z';
    EXPECT_EQ(GetPrivateProfileString("A", "K", "", &untouched, 0, path.c_str()), 0u);
    EXPECT_EQ(untouched, 'z');
}

TEST_F(Profile, ShiftJisBytesPassThroughUntouched) {
    // "データ" in Shift-JIS, and a key whose second bytes look like ASCII letters.
    const std::string value = "\x83\x66\x81\x5B\x83\x5E";
    const std::string key = "\x83\x41";  // ア
    const std::string other = "\x83\x61"; // ャ: differs only in an "ASCII case" trail byte
    Write("[TESSERA]\nDataPath=" + value + "\n" + key + "=1\n");
    EXPECT_EQ(Get("TESSERA", "DataPath"), value);
    EXPECT_EQ(Get("TESSERA", key.c_str()), "1");
    EXPECT_EQ(Get("TESSERA", other.c_str()), "dflt");
}

TEST_F(Profile, ListsSectionsAndKeys) {
    Write("[A]\nx=1\ny=2\n[B]\n");
    char buf[64];
    unsigned long n = GetPrivateProfileString(nullptr, nullptr, "", buf, sizeof buf, path.c_str());
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(std::string(buf, n + 1), std::string("A\0B\0\0", 5));
    n = GetPrivateProfileString("A", nullptr, "", buf, sizeof buf, path.c_str());
    EXPECT_EQ(std::string(buf, n + 1), std::string("x\0y\0\0", 5));
    n = GetPrivateProfileString("A", nullptr, "", buf, 4, path.c_str());
    EXPECT_EQ(n, 2u); // cut short: the last name is cut and two zeros end the list
    EXPECT_EQ(std::string(buf, 4), std::string("x\0\0\0", 4));
}

TEST_F(Profile, ListsNeverOverrunASmallBuffer) {
    Write("[A]\nx=1\nlonger=2\nz=3\n[B]\n[C]\n");
    for (unsigned long size = 1; size <= 12; ++size) {
        std::string guard(size + 8, '\x7f');
        unsigned long n =
            GetPrivateProfileString("A", nullptr, "", guard.data(), size, path.c_str());
        EXPECT_LE(n, size) << size;
        EXPECT_EQ(guard.substr(size), std::string(8, '\x7f')) << "overrun at size " << size;
        EXPECT_EQ(guard[size - 1], 0) << size;
        GetPrivateProfileString(nullptr, nullptr, "", guard.data(), size, path.c_str());
        EXPECT_EQ(guard.substr(size), std::string(8, '\x7f')) << "overrun at size " << size;
    }
}

TEST_F(Profile, Integers) {
    Write("[A]\nn=42\nneg=-7\ntail=12abc\nword=abc\nempty=\nbig=99999999999\n");
    EXPECT_EQ(GetPrivateProfileInt("A", "n", 5, path.c_str()), 42);
    EXPECT_EQ(GetPrivateProfileInt("A", "neg", 5, path.c_str()), -7);
    EXPECT_EQ(GetPrivateProfileInt("A", "tail", 5, path.c_str()), 12);
    EXPECT_EQ(GetPrivateProfileInt("A", "word", 5, path.c_str()), 0);
    EXPECT_EQ(GetPrivateProfileInt("A", "empty", 5, path.c_str()), 0);
    EXPECT_EQ(GetPrivateProfileInt("A", "big", 5, path.c_str()), -1);
    EXPECT_EQ(GetPrivateProfileInt("A", "missing", 250, path.c_str()), 250);
    EXPECT_EQ(GetPrivateProfileInt("A", "n", 3, (dir / "none.ini").c_str()), 3);
}

TEST_F(Profile, WritingKeepsEveryOtherLine) {
    Write("; settings\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    ASSERT_TRUE(WritePrivateProfileString("A", "x", "10", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("A", "z", "3", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("C", "w", "4", path.c_str()));
    EXPECT_EQ(Contents(), "; settings\r\n[A]\r\nx=10\r\nz=3\r\n\r\n[B]\r\ny=2\r\n[C]\r\nw=4\r\n");
    EXPECT_EQ(Get("B", "y"), "2");
}

TEST_F(Profile, WritingDeletesKeysAndSections) {
    Write("[A]\nx=1\ny=2\n[B]\nz=3\n");
    ASSERT_TRUE(WritePrivateProfileString("A", "X", nullptr, path.c_str()));
    EXPECT_EQ(Contents(), "[A]\ny=2\n[B]\nz=3\n");
    ASSERT_TRUE(WritePrivateProfileString("a", nullptr, nullptr, path.c_str()));
    EXPECT_EQ(Contents(), "[B]\nz=3\n");
    EXPECT_FALSE(WritePrivateProfileString(nullptr, "k", "v", path.c_str()));
}

TEST_F(Profile, WritingCreatesTheFile) {
    ASSERT_TRUE(WritePrivateProfileString("TESSERA", "Game", "2", path.c_str()));
    EXPECT_EQ(Get("tessera", "game"), "2");
    EXPECT_FALSE(
        WritePrivateProfileString("A", "k", "v", (dir / "no" / "such" / "x.ini").c_str()));
}

TEST_F(Profile, BareNamesLiveInTheSystemDirectory) {
    const char* old = std::getenv("TESSERA_SYSTEM_DIR");
    std::string saved = old ? old : "";
    setenv("TESSERA_SYSTEM_DIR", dir.c_str(), 1);
    Write("[S]\nk=here\n");
    EXPECT_EQ(ProfilePath("test.ini"), path);
    char buf[16];
    GetPrivateProfileString("S", "k", "", buf, sizeof buf, "test.ini");
    EXPECT_STREQ(buf, "here");
    if (old)
        setenv("TESSERA_SYSTEM_DIR", saved.c_str(), 1);
    else
        unsetenv("TESSERA_SYSTEM_DIR");
}

} // namespace
