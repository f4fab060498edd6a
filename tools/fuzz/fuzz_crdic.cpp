// Pattern dictionary files: any bytes load with a result code, a failed load keeps the
// dictionary in use, and a loaded dictionary recognizes and writes back faithfully.
#include "classifier/crcore.h"
#include "tools/fuzz/fuzz_support.h"

#include "tools/fuzz/fuzz_check.h"
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using fuzz::Check;

namespace {

bool g_open = false;

void Run(const std::string& path, const std::string& copy) {
    tagCATEGORY** const before = _crdic.ctg;
    const int32_t count_before = _crdic.count;
    const int rc = LoadCRDictionary(path.c_str(), nullptr);
    Check(rc == CRDIC_OK || rc == CRDIC_NOMEMORY || rc == CRDIC_FILE, "known result code");
    if (rc != CRDIC_OK) {
        Check(_crdic.ctg == before && _crdic.count == count_before, "failed load keeps state");
        return;
    }
    Check(_crdic.count >= 1 && _crdic.maxctgtblsize <= CRDIC_MAX_TREE &&
              _crdic.maxpointcount <= CRDIC_MAX_POINTS,
          "loaded dictionary within its limits");

    std::vector<POINT_W> ink = fuzz::FixedCharacter();
    PATTERN_W pat{ink.data(), static_cast<int32_t>(ink.size())};
    CR_RESULT res[10];
    const int rr = RecognizeCP(&pat, res, 10);
    Check(rr == CR_OK || rr == CR_NOMEMORY, "recognition of a plain character");

    // What loaded writes back, and the copy loads into the same shape.
    if (WriteCRDictionary(copy.c_str(), &_crdic) == CRDIC_OK) {
        CRDIC again{};
        const int rc2 = LoadCRDictionary(copy.c_str(), &again);
        Check(rc2 == CRDIC_OK || rc2 == CRDIC_NOMEMORY, "written copy loads");
        if (rc2 == CRDIC_OK) {
            Check(again.count == _crdic.count, "copy keeps the category count");
            for (int i = 1; i < again.count; ++i) {
                Check(again.ctg[i]->code == _crdic.ctg[i]->code &&
                          again.ctg[i]->patdic.count == _crdic.ctg[i]->patdic.count,
                      "copy keeps codes and pattern counts");
            }
        }
        FreeCRDictionary(&again);
    }
}

} // namespace

// The core opens (with the empty dictionary) before the first input and closes at exit.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_open = OpenCRSystem(nullptr) == CR_OK;
    std::atexit(CloseCRSystem);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchPath("in.crd");
    static const std::string copy = fuzz::ScratchPath("copy.crd");
    if (!g_open || !fuzz::WriteFile(path, data, size)) return 0;
    Run(path, copy);
    // Back to the empty dictionary, so that every input frees what it allocated.
    LoadCRDictionary(nullptr, nullptr);
    return 0;
}
