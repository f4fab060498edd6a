// Test scaffolding for the recognition service: temporary system and current
// directories, configuration and model dictionary files, the stand-in recognizers'
// logs, and loading the service the way a client does.
#pragma once

#include "platform/loader.h"
#include "recservice/tests/fake_log.h"
#include "tessera/veltarec.h"

#include <cstdint>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace servicetest {

namespace fs = std::filesystem;

// A fresh directory under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "veltarec-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// One model: its code and its raw (x, y) byte pairs, markers included.
struct Model {
    uint16_t code;
    std::vector<uint8_t> pairs;
};

// A model pattern dictionary file with the given reference size. The data offsets are
// relative to a data base placed behind the index.
inline std::string ModelDictionaryBytes(const std::vector<Model>& models, uint16_t refWidth = 0,
                                        uint16_t refHeight = 0) {
    std::string out;
    auto u16 = [&](uint16_t v) {
        out.push_back(static_cast<char>(v & 0xFF));
        out.push_back(static_cast<char>(v >> 8));
    };
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    const uint32_t base = 12 + 10 * static_cast<uint32_t>(models.size());
    u32(base);
    u16(static_cast<uint16_t>(models.size()));
    u16(0);
    u16(refWidth);
    u16(refHeight);
    uint32_t offset = 0;
    for (const Model& m : models) {
        u16(m.code);
        u32(offset);
        u32(0);
        offset += static_cast<uint32_t>(m.pairs.size());
    }
    for (const Model& m : models) out.append(m.pairs.begin(), m.pairs.end());
    return out;
}

// Paths of the stand-in recognizers, from the build.
inline std::string FakePath(const char* variable) {
    const char* v = std::getenv(variable);
    return v ? v : "";
}

// The log of a stand-in recognizer. The test keeps the library loaded (without the
// entry-point protocol) so that its log outlives the service's own load and unload.
class FakeLibrary {
public:
    explicit FakeLibrary(const std::string& path) : path_(path) {
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (auto get =
                handle_ ? reinterpret_cast<FakeGetLogFn>(dlsym(handle_, "FakeGetLog")) : nullptr)
            log_ = get();
    }
    ~FakeLibrary() {
        if (handle_) dlclose(handle_);
    }
    FakeLibrary(const FakeLibrary&) = delete;
    FakeLibrary& operator=(const FakeLibrary&) = delete;
    FakeLog* log() const { return log_; }
    const std::string& path() const { return path_; }
    void Reset() {
        if (log_) *log_ = FakeLog{};
    }

private:
    std::string path_;
    void* handle_ = nullptr;
    FakeLog* log_ = nullptr;
};

// Base fixture: a temporary system directory named by TESSERA_SYSTEM_DIR, a temporary
// current directory, the three stand-ins with fresh logs, and a model dictionary.
class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(system_.path().empty());
        ASSERT_FALSE(current_.path().empty());
        ASSERT_NE(strings_.log(), nullptr) << strings_.path();
        ASSERT_NE(classifier_.log(), nullptr) << classifier_.path();
        ASSERT_NE(bare_.log(), nullptr) << bare_.path();
        for (FakeLibrary* f : {&strings_, &classifier_, &bare_}) f->Reset();
        const char* old = std::getenv("TESSERA_SYSTEM_DIR");
        if (old) savedSystemDir_ = old;
        hadSystemDir_ = old != nullptr;
        setenv("TESSERA_SYSTEM_DIR", system_.path().c_str(), 1);
        savedCwd_ = fs::current_path();
        fs::current_path(current_.path());
        WriteModels({{0x889F, {10, 10, 20, 20, 255, 255, 30, 30, 254, 254}}});
    }

    void TearDown() override {
        for (platform::ModuleHandle h : loaded_) platform::FreeLibrary(h);
        loaded_.clear();
        std::error_code ec;
        fs::current_path(savedCwd_, ec);
        if (hadSystemDir_)
            setenv("TESSERA_SYSTEM_DIR", savedSystemDir_.c_str(), 1);
        else
            unsetenv("TESSERA_SYSTEM_DIR");
    }

    // The system directory's configuration: LibName and the standard dictionary names,
    // then extra lines.
    void WriteSystemConfig(const std::string& libName, const std::string& extra = "") {
        WriteFile(system_.file("VELTAREC.INI"), ConfigText(libName) + extra);
    }
    static std::string ConfigText(const std::string& libName) {
        return "[RECOGBOX]\nLibName=" + libName +
               "\nCRDIC=pattern.dic\nCCDIC=coarse.dic\nCBDIC=bigram.dic\nEXDIC=model.dic\n";
    }
    void WriteModels(const std::vector<Model>& models, uint16_t w = 0, uint16_t h = 0) {
        WriteFile(system_.file("model.dic"), ModelDictionaryBytes(models, w, h));
        WriteFile(current_.file("model.dic"), ModelDictionaryBytes(models, w, h));
    }

    // Loads the service by name as a client does; kept until the test ends unless freed.
    platform::ModuleHandle LoadService() {
        platform::ModuleHandle h = platform::LoadLibrary("veltarec.dll");
        if (h) loaded_.push_back(h);
        return h;
    }
    void FreeService(platform::ModuleHandle h) {
        for (auto it = loaded_.begin(); it != loaded_.end(); ++it)
            if (*it == h) {
                loaded_.erase(it);
                break;
            }
        platform::FreeLibrary(h);
    }
    template <class Fn> Fn Export(platform::ModuleHandle h, const char* name) {
        Fn fn = platform::GetProc<Fn>(h, name);
        EXPECT_NE(fn, nullptr) << name;
        return fn;
    }

    TempDir system_;
    TempDir current_;
    FakeLibrary strings_{FakePath("FAKE_STRREC")};
    FakeLibrary classifier_{FakePath("FAKE_CLASSIFIER")};
    FakeLibrary bare_{FakePath("FAKE_BARE")};

private:
    std::vector<platform::ModuleHandle> loaded_;
    fs::path savedCwd_;
    std::string savedSystemDir_;
    bool hadSystemDir_ = false;
};

} // namespace servicetest
