#include "platform/loader.h"

#include "platform/sysdir.h"

#include <dlfcn.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

using EntryPoint = int (*)(void*, unsigned long, void*);

// The file names a library name may stand for: itself, and lib<stem>.so for stem.dll.
std::vector<std::string> Candidates(const std::string& name) {
    std::vector<std::string> names{name};
    if (name.size() > 4) {
        std::string ext = name.substr(name.size() - 4);
        for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (ext == ".dll") {
            size_t slash = name.rfind('/');
            std::string dir = slash == std::string::npos ? "" : name.substr(0, slash + 1);
            std::string stem = name.substr(dir.size(), name.size() - dir.size() - 4);
            names.push_back(dir + "lib" + stem + ".so");
        }
    }
    return names;
}

std::string ProgramLibraryDirectory() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    std::string exe(buf, static_cast<size_t>(n));
    size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string() : exe.substr(0, slash) + "/../lib";
}

void* Open(const std::string& file) {
    if (void* h = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
    if (file.find('/') != std::string::npos) return nullptr;
    for (const std::string& dir : {OwnModuleDirectory(), ProgramLibraryDirectory()}) {
        if (dir.empty()) continue;
        if (void* h = dlopen((dir + "/" + file).c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
    }
    return nullptr;
}

} // namespace

ModuleHandle LoadLibrary(const char* name) {
    if (!name || !*name) return nullptr;
    for (const std::string& file : Candidates(name)) {
        void* h = Open(file);
        if (!h) continue;
        auto entry = reinterpret_cast<EntryPoint>(dlsym(h, "DllEntryPoint"));
        if (entry && entry(h, DLL_PROCESS_ATTACH, nullptr) == 0) {
            entry(h, DLL_PROCESS_DETACH, nullptr);
            dlclose(h);
            return nullptr;
        }
        return h;
    }
    return nullptr;
}

void* GetProcAddress(ModuleHandle module, const char* name) {
    if (!module || !name) return nullptr;
    return dlsym(module, name);
}

bool FreeLibrary(ModuleHandle module) {
    if (!module) return false;
    if (auto entry = reinterpret_cast<EntryPoint>(dlsym(module, "DllEntryPoint")))
        entry(module, DLL_PROCESS_DETACH, nullptr);
    return dlclose(module) == 0;
}

} // namespace platform
