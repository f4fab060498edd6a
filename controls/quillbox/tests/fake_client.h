// Test-side access to the stand-in recognition service: the same library the box
// loads, reached through its test controls.
#pragma once

#include "platform/loader.h"
#include "tessera/records.h"

#include <initializer_list>
#include <string>
#include <vector>

class FakeService {
public:
    explicit FakeService(const char* name = "veltarec.dll") : module_(platform::LoadLibrary(name)) {
        setTable_ = platform::GetProc<SetTableFn>(module_, "FakeSetTable");
        reset_ = platform::GetProc<void (*)()>(module_, "FakeReset");
        guide_ = platform::GetProc<const int32_t* (*)()>(module_, "FakeGuideBox");
        mask_ = platform::GetProc<int32_t (*)()>(module_, "FakeMask");
        log_ = platform::GetProc<const char* (*)()>(module_, "FakeLog");
        patSize_ = platform::GetProc<int32_t (*)()>(module_, "FakePatternSize");
        pat_ = platform::GetProc<const POINT_W* (*)()>(module_, "FakePattern");
        if (reset_) reset_();
    }
    ~FakeService() {
        if (module_) platform::FreeLibrary(module_);
    }
    FakeService(const FakeService&) = delete;
    FakeService& operator=(const FakeService&) = delete;

    // True when the loaded library is the stand-in (and not a real service).
    bool ok() const { return setTable_ && reset_ && guide_ && mask_ && log_ && patSize_ && pat_; }

    // Candidates as (code, score) pairs; pat_no is the rank + 100.
    void answer(std::initializer_list<std::pair<uint32_t, int32_t>> cands, int32_t result = 0) {
        std::vector<CR_RESULT> list;
        for (auto [code, score] : cands)
            list.push_back(CR_RESULT{static_cast<int32_t>(100 + list.size()), score, code});
        setTable_(list.data(), static_cast<int32_t>(list.size()), result);
    }
    void reset() { reset_(); }
    std::vector<int32_t> guideBox() const { return {guide_(), guide_() + 4}; }
    int32_t mask() const { return mask_(); }
    std::string log() const { return log_(); }
    std::vector<POINT_W> pattern() const { return {pat_(), pat_() + patSize_()}; }

private:
    using SetTableFn = void (*)(const CR_RESULT*, int32_t, int32_t);
    void* module_;
    SetTableFn setTable_ = nullptr;
    void (*reset_)() = nullptr;
    const int32_t* (*guide_)() = nullptr;
    int32_t (*mask_)() = nullptr;
    const char* (*log_)() = nullptr;
    int32_t (*patSize_)() = nullptr;
    const POINT_W* (*pat_)() = nullptr;
};
