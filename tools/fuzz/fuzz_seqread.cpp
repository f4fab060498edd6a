// The string recognizer fed arbitrary lines of strokes: adding, recognizing and reading
// back results end with a result code, strings within their limit, character ranges
// inside the line, and no sanitizer report.
#include "tessera/seqread.h"
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
constexpr size_t kMaxStrokes = 1000;

void ReadResults(HSROBJ h, FuzzedDataProvider& in, long strokes) {
    const long count = lSRGetResultCount(h);
    Check(count >= 0, "result count");
    for (long c = 0; c < count && c < 5; ++c) {
        long len = -1;
        const char* s = cpSRGetString(h, c, &len);
        if (!s) continue;
        // The length counts characters of one or two bytes.
        Check(len >= 0 && len <= SR_MAX_STRING_CHARS &&
                  std::strlen(s) >= static_cast<size_t>(len) &&
                  std::strlen(s) <= 2 * static_cast<size_t>(len),
              "string and its length");
        for (long ch = 0; ch < len + 1; ++ch) {
            long head = -1, tail = -1;
            if (lSRGetStrokeNoOfNthChar(h, c, ch, &head, &tail) == SR_OK)
                Check(0 <= head && head <= tail && tail < strokes, "character strokes in the line");
            tagRECT r;
            (void)lSRGetNthCharBound(h, c, ch, &r);
            if (PATTERN_W* p = pSRGetPATWOfNthChar(h, c, ch)) {
                Check(p->num >= 0, "character pattern");
                vSRDestroyPATW(p);
            }
        }
    }
    if (strokes > 0) {
        const long a = in.ConsumeIntegralInRange<long>(-1, strokes);
        const long b = in.ConsumeIntegralInRange<long>(-1, strokes);
        if (PATTERN_W* p = pSRGetPATW(h, a, b)) vSRDestroyPATW(p);
        if (lSRGiveStrokeSetInfo(h, in.ConsumeIntegralInRange<long>(-1, 3), a, b) == SR_OK) {
            (void)lSRRecognize(h);
            (void)lSRGetResultCount(h);
            (void)lSRDeleteLastStrokeSetInfo(h);
        }
    }
    long heads[64];
    (void)lSRGetParagraphHead(h, heads, in.ConsumeIntegralInRange<long>(-1, 64));
    tagSIZE sz;
    (void)lSRGetCharSize(h, &sz);
}

} // namespace

// The recognizer opens before the first input, so that the per-input leak check sees only
// what one line allocates, and closes at exit.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SmallDictionaries d = fuzz::Installed();
    if (d.pattern.empty()) d = fuzz::Small();
    g_open = !d.pattern.empty() && !d.coarse.empty() && !d.bigram.empty() &&
             lSROpenSystem(d.pattern.c_str(), d.coarse.c_str(), d.bigram.c_str()) == SR_OK;
    if (!g_open) std::fprintf(stderr, "fuzz_seqread: the recognizer does not open\n");
    std::atexit(vSRCloseSystem);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!g_open) return 0;
    FuzzedDataProvider in(data, size);
    vSRSetClassCount(in.ConsumeIntegralInRange<long>(-2, 200));
    vSRSetRecCategory(in.ConsumeIntegralInRange<long>(-2, 600));
    const bool delete_some = in.ConsumeBool();

    HSROBJ h = hSRCreateNewObject();
    if (!h) return 0;
    // A character spans a bounded number of strokes, so the segmentation search grows with
    // the length of the line, and lines of many hundred strokes (of up to 100,000 points)
    // can be fuzzed. With the compiled dictionaries every classifier call costs about a
    // millisecond, a few calls per element: the cap keeps one input well inside the
    // fuzzer's time limit under the sanitizers.
    std::vector<fuzz::Stroke> strokes = fuzz::DecodeStrokes(in, 100000);
    if (strokes.size() > kMaxStrokes) strokes.resize(kMaxStrokes);
    long added = 0, last_size = 0;
    for (const fuzz::Stroke& s : strokes) {
        const long rc = lSRAddStrokeLast(h, s.data(), static_cast<long>(s.size()));
        if (rc == SR_OK) {
            ++added;
            last_size = static_cast<long>(s.size());
        }
    }
    Check(lSRGetStrokeCount(h) == added, "stroke count");
    if (added > 0) {
        long n = -1;
        tagPOINT* p = pSRGetNthStroke(h, added - 1, &n);
        (void)p;
        Check(n == last_size, "last stroke reads back whole");
    }
    if (delete_some && added > 0) {
        Check(lSRDeleteStrokeLast(h) == SR_OK && lSRGetStrokeCount(h) == added - 1,
              "deleting the last stroke");
        --added;
    }
    if (lSRRecognize(h) == SR_OK) {
        ReadResults(h, in, added);
        // A recognized line keeps its strokes.
        Check(lSRDeleteStrokeLast(h) == SR_ERR_STATE && lSRGetStrokeCount(h) == added,
              "strokes stay after recognition");
    }

    // Bigram re-ranking of a candidate table made from the rest of the data.
    const long chars = in.ConsumeIntegralInRange<long>(0, 300);
    const long cands = in.ConsumeIntegralInRange<long>(1, 10);
    std::vector<std::vector<CODE_SCORE>> table(chars, std::vector<CODE_SCORE>(cands));
    std::vector<CODE_SCORE*> rows(chars);
    for (long i = 0; i < chars; ++i) {
        for (CODE_SCORE& cs : table[i])
            cs = {in.ConsumeBool() ? 0x8800u + in.ConsumeIntegral<uint8_t>()
                                   : in.ConsumeIntegral<uint32_t>(),
                  in.ConsumeIntegral<int32_t>()};
        rows[i] = table[i].data();
    }
    (void)lSRContextProcess(rows.data(), chars, cands);

    vSRDestroyObject(h);
    // The recognizer keeps the last line's classifications for the next read, by design.
    // A change of the class count forgets them (one of two different counts differs from
    // the last one), so that the leak check of the next input sees only what it allocates.
    vSRSetClassCount(1);
    vSRSetClassCount(2);
    return 0;
}
