// Bigram and monogram files: any bytes load with a result code; a loaded table answers
// look-ups, keeps its codes ascending and saves into a file that loads back equal.
#include "strrec/bigram.h"
#include "tools/fuzz/fuzz_support.h"

#include "tools/fuzz/fuzz_check.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>

using fuzz::Check;

namespace {

void CheckMonogram(const CMonogramTable& t) {
    Check(t.wcpCode.size() == t.cpTag.size() &&
              static_cast<size_t>(t.iCategoryNumber) == t.wcpCode.size(),
          "monogram table sizes agree");
    Check(std::is_sorted(t.wcpCode.begin(), t.wcpCode.end()), "monogram codes ascending");
    for (size_t i = 0; i < t.wcpCode.size(); ++i)
        Check(t.iSearch(t.wcpCode[i]) >= 0, "every stored code found");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchPath("in.cbg");
    static const std::string copy = fuzz::ScratchPath("copy.cbg");
    if (!fuzz::WriteFile(path, data, size)) return 0;

    CBigramTable big;
    const int rc = big.iLoad(path.c_str());
    Check(rc >= BGT_OK && rc <= BGT_ERR_MONO_MAGIC, "known bigram result");
    if (rc == BGT_OK) {
        Check(big.wcpCode.size() == big.opSecondCodes.size() &&
                  static_cast<size_t>(big.iCategoryNumber) == big.wcpCode.size(),
              "first-code tables agree");
        Check(std::is_sorted(big.wcpCode.begin(), big.wcpCode.end()), "first codes ascending");
        for (size_t i = 0; i < big.wcpCode.size() && i < 64; ++i) {
            CheckMonogram(big.opSecondCodes[i]);
            const uint16_t a = big.wcpCode[i];
            const uint16_t b = big.opSecondCodes[i].wcpCode.empty()
                                   ? 0x889F
                                   : big.opSecondCodes[i].wcpCode.front();
            for (int mode = 0; mode < 4; ++mode) (void)big.dGetLP(a, b, mode);
            (void)big.dGetLP(a);
        }
        for (int mode = 0; mode < 4; ++mode) (void)big.dGetLP(0x889F, 0x88A0, mode);
        (void)big.dGetLP(0);
        if (big.iSave(copy.c_str()) == BGT_OK) {
            CBigramTable again;
            Check(again.iLoad(copy.c_str()) == BGT_OK, "saved table loads");
            Check(again.wcpCode == big.wcpCode && again.m_cVerFlag == big.m_cVerFlag &&
                      again.liTotalCount == big.liTotalCount,
                  "saved table loads equal");
            for (size_t i = 0; i < big.wcpCode.size(); ++i)
                Check(again.opSecondCodes[i].wcpCode == big.opSecondCodes[i].wcpCode &&
                          again.opSecondCodes[i].cpTag == big.opSecondCodes[i].cpTag,
                      "second-code tables load equal");
        }
    }

    CMonogramTable mono;
    const int mrc = mono.iLoad(path.c_str());
    Check(mrc >= BGT_OK && mrc <= BGT_ERR_MONO_MAGIC, "known monogram result");
    if (mrc == BGT_OK) CheckMonogram(mono);
    return 0;
}
