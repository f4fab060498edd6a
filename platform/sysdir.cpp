#include "platform/sysdir.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>

#ifndef TESSERA_INSTALL_DATA_DIR
#define TESSERA_INSTALL_DATA_DIR "/usr/local/share/tessera"
#endif

namespace platform {

std::string OwnModuleDirectory() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&OwnModuleDirectory), &info) == 0 || !info.dli_fname)
        return {};
    std::error_code ec;
    std::filesystem::path p = std::filesystem::canonical(info.dli_fname, ec);
    if (ec) p = info.dli_fname;
    return p.parent_path().string();
}

std::string SystemDirectory() {
    const char* env = std::getenv("TESSERA_SYSTEM_DIR");
    std::string dir;
    if (env && *env) {
        dir = env;
    } else {
        std::error_code ec;
        std::filesystem::path beside =
            std::filesystem::path(OwnModuleDirectory()) / ".." / "share" / "tessera";
        dir = std::filesystem::is_directory(beside, ec)
                  ? std::filesystem::weakly_canonical(beside, ec).string()
                  : std::string(TESSERA_INSTALL_DATA_DIR);
    }
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

std::string InSystemDirectory(const std::string& file) {
    if (file.find('/') != std::string::npos) return file;
    return SystemDirectory() + "/" + file;
}

} // namespace platform
