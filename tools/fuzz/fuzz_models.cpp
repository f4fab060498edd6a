// Model pattern dictionaries: any bytes load or are refused, and every model the index
// names reads to its end or to the end of the file in a bounded number of pairs.
#include "recservice/model_dictionary.h"
#include "tools/fuzz/fuzz_support.h"

#include "tools/fuzz/fuzz_check.h"
#include <cstdio>
#include <cstdlib>
#include <string>

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchPath("in.exd");
    if (!fuzz::WriteFile(path, data, size)) return 0;
    veltarec::ReleaseModelIndex();
    if (!veltarec::LoadModelIndex(path)) return 0;
    (void)veltarec::ModelReferenceWidth();
    (void)veltarec::ModelReferenceHeight();

    // The codes the index claims, read straight from the file.
    const size_t count = size >= 6 ? static_cast<size_t>(data[4] | (data[5] << 8)) : 0;
    Check(count > 0, "an empty index is refused");
    for (size_t i = 0; i < count && i < 64; ++i) {
        const size_t at = 12 + 10 * i;
        if (at + 2 > size) break;
        const uint32_t code = static_cast<uint32_t>(data[at] | (data[at + 1] << 8));
        veltarec::ModelReader reader;
        if (!reader.Open(code)) continue;
        for (int pass = 0; pass < 2; ++pass) {
            size_t pairs = 0;
            uint8_t x, y;
            while (reader.Next(x, y)) {
                Check(++pairs <= size, "a model ends within the file");
                if (veltarec::ModelReader::IsEnd(x, y)) break;
            }
            if (!reader.Rewind()) break;
        }
    }
    veltarec::ModelReader none;
    (void)none.Open(0xFFFFFFFFu);
    veltarec::ReleaseModelIndex();
    return 0;
}
