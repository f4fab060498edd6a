#include "recservice/service_config.h"

#include "platform/profile.h"
#include "platform/sysdir.h"

#include <unistd.h>

namespace veltarec {
namespace {

// Every profile read passes this buffer size, so a value keeps at most 511 bytes.
constexpr unsigned long kValueSize = 512;

std::string ReadString(const ServiceConfig& config, const char* key) {
    char value[kValueSize] = {};
    platform::GetPrivateProfileString(kConfigSection, key, "", value, kValueSize,
                                      config.file.c_str());
    return value;
}

std::string CurrentDirectory() {
    char dir[4096];
    return getcwd(dir, sizeof dir) ? std::string(dir) : std::string();
}

// The directory with exactly one '/' after it ("/" stays "/").
std::string AsPrefix(std::string dir) {
    while (!dir.empty() && dir.back() == '/') dir.pop_back();
    return dir + "/";
}

} // namespace

ServiceConfig ReadServiceConfig() {
    ServiceConfig config{};
    const std::string current = CurrentDirectory();
    int recflag = 0;
    if (!current.empty()) {
        const std::string local = AsPrefix(current) + kConfigFile;
        recflag = platform::GetPrivateProfileInt(kConfigSection, "RECFLAG", 0, local.c_str());
    }
    config.prefix = AsPrefix(recflag != 0 ? current : platform::SystemDirectory());
    config.file = config.prefix + kConfigFile;

    config.ccDic = config.prefix + ReadString(config, "CCDIC");
    config.crDic = config.prefix + ReadString(config, "CRDIC");
    config.cbDic = config.prefix + ReadString(config, "CBDIC");
    config.exDic = config.prefix + ReadString(config, "EXDIC");
    const std::string lp = ReadString(config, "LPDIC");
    if (!lp.empty()) config.lpDic = config.prefix + lp;
    const std::string prior = ReadString(config, "CPDIC");
    if (!prior.empty()) config.cpDic = config.prefix + prior;

    const char* file = config.file.c_str();
    config.addLastPoint = platform::GetPrivateProfileInt(kConfigSection, "AddLastPoint", 0, file);
    if (config.addLastPoint < 0) config.addLastPoint = 0;
    config.getRectFlag = platform::GetPrivateProfileInt(kConfigSection, "GetRectFlag", 0, file);
    config.libName = ReadString(config, "LibName");
    config.classCount =
        platform::GetPrivateProfileInt(kConfigSection, "CCOUNT", kDefaultClassCount, file);
    return config;
}

} // namespace veltarec
