// Profile files come from users and installers: any bytes must read and write safely.
#include "platform/profile.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/fuzz_profile_" + std::to_string(getpid()) + ".ini";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    char buf[512];
    char tiny[3];
    const char* sections[] = {"RECOGBOX", "TESSERA", "a", ""};
    const char* keys[] = {"LibName", "CRDIC", "RECFLAG", "x", ""};
    for (const char* s : sections) {
        for (const char* k : keys) {
            platform::GetPrivateProfileString(s, k, "def", buf, sizeof buf, path.c_str());
            platform::GetPrivateProfileString(s, k, "default", tiny, sizeof tiny, path.c_str());
            platform::GetPrivateProfileInt(s, k, 250, path.c_str());
        }
        platform::GetPrivateProfileString(s, nullptr, "", buf, sizeof buf, path.c_str());
        platform::GetPrivateProfileString(s, nullptr, "", tiny, sizeof tiny, path.c_str());
    }
    platform::GetPrivateProfileString(nullptr, nullptr, "", buf, sizeof buf, path.c_str());
    platform::WritePrivateProfileString("RECOGBOX", "CCOUNT", "500", path.c_str());
    platform::WritePrivateProfileString("a", nullptr, nullptr, path.c_str());
    platform::GetPrivateProfileString("RECOGBOX", "CCOUNT", "", buf, sizeof buf, path.c_str());
    std::remove(path.c_str());
    return 0;
}
