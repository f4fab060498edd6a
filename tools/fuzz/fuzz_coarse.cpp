// Coarse dictionary files: any bytes load with a result code; a loaded dictionary ranks a
// plain character, and the ranking comes back in ascending distance.
#include "classifier/coarse.h"
#include "tools/fuzz/fuzz_support.h"

#include "tools/fuzz/fuzz_check.h"
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using fuzz::Check;

namespace {

void Run(const std::string& path, size_t size) {
    // Odd sizes go through the full set-up and release, even ones replace the dictionary
    // of the running classifier.
    int rc;
    if (size & 1) {
        ReleaseCoarseClassification();
        rc = InitCoarseClassification(path.c_str());
        Check(rc == 0 || rc == 4 || rc == 5, "known set-up result");
        Check((rc == 0) == IsCoarseClassificationLoaded(), "loaded exactly on success");
        if (rc) return;
    } else {
        // A dictionary in place, replaced by the file; a failed load keeps it in use.
        if (InitCoarseClassification(fuzz::Small().coarse.c_str())) return;
        const uint16_t* const before = _category;
        const int count_before = _category_count;
        rc = LoadCoarseClassificationDic(path.c_str());
        Check(rc >= CCDIC_OK && rc <= CCDIC_NOTEMPLATE, "known load result");
        Check(IsCoarseClassificationLoaded(), "a dictionary stays loaded");
        if (rc) {
            Check(_category == before && _category_count == count_before,
                  "failed load keeps the dictionary in use");
            return;
        }
    }
    Check(_category_count >= 0, "entry count");

    std::vector<POINT_W> ink = fuzz::FixedCharacter();
    PATTERN_W pat{ink.data(), static_cast<int32_t>(ink.size())};
    uint16_t cands[32];
    int32_t dist[32];
    const int n = CoarseClassify(&pat, cands, dist, 32);
    Check(n >= -3 && n <= 32 && n <= _category_count, "candidate count");
    for (int i = 1; i < n; ++i) Check(dist[i - 1] <= dist[i], "ascending distances");
    for (int i = 0; i < n; ++i)
        Check(IsCandidate(&_categtbl, _category, cands[i]) >= 0, "candidates come from the file");
    PATTERN_W none{ink.data(), 0};
    Check(CoarseClassify(&none, cands, dist, 32) == 0, "no points, no candidates");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)fuzz::Small();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchPath("in.ccd");
    if (!fuzz::WriteFile(path, data, size)) return 0;
    Run(path, size);
    // Every input frees what it allocated.
    ReleaseCoarseClassification();
    return 0;
}
