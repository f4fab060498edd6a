// Input lines of the command-line recognizer: any bytes parse or are refused with a
// message, and accepted ink keeps within the documented bounds.
#include "tools/recognize/ink_input.h"
#include "tools/recognize/json_reader.h"

#include "tools/fuzz/fuzz_check.h"
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

using fuzz::Check;

namespace {

size_t Depth(const recognize::JsonValue& v) {
    size_t d = 0;
    for (const auto& i : v.items) d = std::max(d, Depth(i));
    for (const auto& m : v.members) d = std::max(d, Depth(m.value));
    return d + 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const recognize::JsonResult any = recognize::ParseJson(text);
    Check(any.ok == any.error.empty(), "a message exactly for refused text");
    if (any.ok) Check(Depth(any.value) <= 17, "nesting within the depth limit");

    recognize::JsonLimits tight;
    tight.maxDepth = 3;
    tight.maxStringBytes = 8;
    tight.maxValues = 20;
    const recognize::JsonResult small = recognize::ParseJson(text, tight);
    Check(!small.ok || any.ok, "what tight limits accept, the defaults accept");
    if (small.ok) Check(Depth(small.value) <= 4, "nesting within the tight depth limit");

    const recognize::InkLine ink = recognize::ParseInkLine(text);
    Check(ink.ok == ink.error.empty(), "a message exactly for refused ink");
    if (ink.ok) {
        Check(any.ok, "accepted ink is valid JSON");
        Check(ink.strokes.size() <= recognize::kMaxStrokes, "stroke limit");
        size_t points = 0;
        for (const auto& s : ink.strokes) {
            Check(!s.empty(), "every stroke has a point");
            points += s.size();
            for (const auto& p : s)
                Check(p.x >= -32768 && p.x <= 32767 && p.y >= -32768 && p.y <= 32767,
                      "coordinates fit 16 bits");
        }
        Check(points <= recognize::kMaxPoints, "point limit");
    } else {
        Check(ink.strokes.empty(), "refused ink leaves no strokes");
    }
    return 0;
}
