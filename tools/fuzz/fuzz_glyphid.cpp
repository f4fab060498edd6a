// The character classifier fed arbitrary pen input and settings: every call ends with a
// candidate count inside the buffer, the unused records zeroed, and no sanitizer report.
#include "tessera/glyphid.h"
#include "tools/fuzz/fuzz_support.h"

#include <fuzzer/FuzzedDataProvider.h>

#include "tools/fuzz/fuzz_check.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using fuzz::Check;

namespace {

bool g_open = false;

} // namespace

// The classifier opens before the first input, so that the per-input leak check sees only
// what one recognition allocates, and closes at exit.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SmallDictionaries d = fuzz::Installed();
    if (d.pattern.empty()) d = fuzz::Small();
    g_open = !d.pattern.empty() &&
             iOpenClassRecogModule(d.pattern.c_str(),
                                   d.coarse.empty() ? nullptr : d.coarse.c_str()) == 0;
    if (!g_open) std::fprintf(stderr, "fuzz_glyphid: the classifier does not open\n");
    std::atexit(vCloseClassRecogModule);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!g_open) return 0;
    FuzzedDataProvider in(data, size);

    vSetRecogCategory(in.ConsumeIntegralInRange<int>(-2, 600));
    vSetClassCount(in.ConsumeIntegralInRange<int>(-3, 300));
    vSetMatchingMode(in.ConsumeIntegralInRange<int>(-1, 2));
    if (in.ConsumeBool()) {
        PAT_POS box{in.ConsumeIntegral<int32_t>(), in.ConsumeIntegral<int32_t>(),
                    in.ConsumeIntegral<int32_t>(), in.ConsumeIntegral<int32_t>()};
        vSetGuideBox(&box);
    } else {
        PAT_POS box{2000, 2000, 0, 0};
        vSetGuideBox(&box);
    }
    const int max = in.ConsumeIntegralInRange<int>(-2, 40);
    const bool raw = in.ConsumeIntegralInRange<int>(0, 7) == 0;

    std::vector<POINT_W> pts;
    if (raw) { // samples and flags exactly as given
        while (in.remaining_bytes() >= 5 && pts.size() < 100000)
            pts.push_back({in.ConsumeIntegral<int16_t>(), in.ConsumeIntegral<int16_t>(),
                           in.ConsumeIntegral<uint8_t>()});
    } else {
        pts = fuzz::ToPoints(fuzz::DecodeStrokes(in));
    }
    PATTERN_W pat{pts.data(), static_cast<int32_t>(pts.size())};

    std::vector<CR_RESULT> res(max > 0 ? max : 1);
    std::memset(res.data(), 0xA5, res.size() * sizeof(CR_RESULT));
    const int n = iClassifyRecognize(&pat, res.data(), max);
    Check(n >= 0 && n <= (max > 0 ? max : 0), "candidate count inside the buffer");
    for (int i = 0; i < n; ++i) {
        Check(res[i].code != 0, "a candidate has a code");
        const char* s = cpCRREStoString(&res[i]);
        Check(s != nullptr && std::strlen(s) <= 2, "candidate text");
    }
    for (int i = n; i < max; ++i)
        Check(res[i].code == 0 && res[i].score == 0 && res[i].pat_no == 0, "unused records zeroed");
    Check(cpCRREStoString(nullptr) == nullptr, "no text for no record");
    return 0;
}
