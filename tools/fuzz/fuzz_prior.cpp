// Character prior files: any bytes load or are refused; a loaded prior lists rising codes
// whose weights read back, and ordering a candidate list by it keeps every candidate,
// keeps the scores falling and raises none.
#include "recservice/charprior.h"

#include "tools/fuzz/fuzz_check.h"
#include "tools/fuzz/fuzz_support.h"

#include <algorithm>
#include <string>
#include <vector>

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchPath("in.cpd");
    if (!fuzz::WriteFile(path, data, size)) return 0;
    CHAR_PRIOR prior{};
    const int r = iLoadCharPrior(path.c_str(), &prior);
    if (r != CHARPRIOR_OK) {
        Check(prior.iCount == 0 && !prior.pCodes && !prior.pWeights, "a refusal leaves no prior");
        return 0;
    }
    Check(prior.iCount >= 0 && prior.iCount <= 65536, "entry count within bounds");
    Check(prior.iSpan >= 0 && prior.iSpan <= kCharPriorMaxSpan, "span within bounds");
    for (int32_t i = 0; i < prior.iCount; ++i) {
        Check(i == 0 || prior.pCodes[i] > prior.pCodes[i - 1], "codes rise");
        Check(iCharPriorWeight(&prior, prior.pCodes[i]) == prior.pWeights[i], "weights read back");
    }
    // a candidate list of the listed codes (and one unlisted) with close, falling scores
    std::vector<CR_RESULT> list;
    for (int32_t i = 0; i < prior.iCount && i < 20; ++i)
        list.push_back(CR_RESULT{i + 1, 1000 - 3 * i, prior.pCodes[i]});
    list.push_back(CR_RESULT{99, 1, 0});
    std::vector<CR_RESULT> before = list;
    const int n =
        iApplyCharPrior(&prior, prior.iSpan, list.data(), static_cast<int32_t>(list.size()));
    Check(n == static_cast<int>(list.size()), "every candidate counted");
    for (size_t i = 1; i < list.size(); ++i)
        Check(list[i].score <= list[i - 1].score, "scores still fall");
    for (const CR_RESULT& c : list) {
        auto was = std::find_if(before.begin(), before.end(),
                                [&](const CR_RESULT& b) { return b.pat_no == c.pat_no; });
        Check(was != before.end() && was->code == c.code && c.score <= was->score,
              "candidates kept, no score raised");
    }
    vFreeCharPrior(&prior);
    return 0;
}
