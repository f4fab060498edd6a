// Path data of stroke drawings: any text parses or is refused with a message, and what is
// accepted flattens into a bounded number of points.
#include "tools/mkdict/svg_path.h"

#include "tools/fuzz/fuzz_check.h"
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view d(reinterpret_cast<const char*>(data), size);
    for (double tolerance : {mkdict::kFlattenTolerance, 1e-9, 1000.0}) {
        std::vector<mkdict::Polyline> out;
        std::string error;
        const bool ok = mkdict::FlattenPathData(d, out, error, tolerance);
        if (!ok) {
            Check(out.empty(), "refused data leaves no polylines");
            Check(!error.empty(), "refusal carries a message");
            continue;
        }
        size_t points = 0;
        for (const auto& line : out) points += line.size();
        // Every command adds at most a bounded run of chords, and a command takes at least
        // one byte of the text.
        Check(points <= 256 * (size + 1), "flattening stays proportional to the text");
    }
    return 0;
}
