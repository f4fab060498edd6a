#include "strrec/kanasize.h"

#include <algorithm>
#include <utility>

namespace {

// Small kana and their full-size twins, CP932.
constexpr uint16_t kTwins[][2] = {
    {0x829F, 0x82A0}, {0x82A1, 0x82A2}, {0x82A3, 0x82A4}, {0x82A5, 0x82A6}, {0x82A7, 0x82A8},
    {0x82C1, 0x82C2}, {0x82E1, 0x82E2}, {0x82E3, 0x82E4}, {0x82E5, 0x82E6}, {0x82EC, 0x82ED},
    {0x8340, 0x8341}, {0x8342, 0x8343}, {0x8344, 0x8345}, {0x8346, 0x8347}, {0x8348, 0x8349},
    {0x8362, 0x8363}, {0x8383, 0x8384}, {0x8385, 0x8386}, {0x8387, 0x8388}, {0x838E, 0x838F},
    {0x8395, 0x834A}, {0x8396, 0x8350}};

// Against the height H of the ink beside a run (with the run's own), the larger extent of
// the run's ink, less one and a half times how far its middle lies below the top of that
// ink, both as shares of H: a small kana is low in both (about half as high as its
// neighbours, its middle in their lower third), a full-size kana is high in one or the
// other. At or below kSmallScore the run is small, at or above kFullScore full-size, and
// between the two (percent of H) its size decides nothing. Set on imitated writing, where
// these limits take three in four small kana between kanji as small and none of their
// full-size twins, and half the full-size ones as full-size and none of the small ones.
constexpr long long kSmallScore = -60, kFullScore = -10;

} // namespace

uint16_t wFullSizeKanaOf(uint32_t code) {
    for (const auto& t : kTwins)
        if (t[0] == (code & 0xFFFF)) return t[1];
    return 0;
}

uint16_t wSmallKanaOf(uint32_t code) {
    for (const auto& t : kTwins)
        if (t[1] == (code & 0xFFFF)) return t[0];
    return 0;
}

int iKanaSizeOfBox(const tagRECT& run, const tagRECT& beside) {
    if (beside.right < beside.left || run.right < run.left) return KS_UNKNOWN;
    const long long extent = std::max(static_cast<long long>(run.right) - run.left,
                                      static_cast<long long>(run.bottom) - run.top);
    const long long besideHigh = static_cast<long long>(beside.bottom) - beside.top;
    if (extent <= 0 || besideHigh * 2 < extent) return KS_UNKNOWN;
    const long long top = std::min(run.top, beside.top),
                    high = std::max(run.bottom, beside.bottom) - top;
    // twice the depth of the run's middle below the top
    const long long middle2 = static_cast<long long>(run.top) + run.bottom - 2 * top;
    const long long score = 100 * extent - 75 * middle2;
    if (score <= kSmallScore * high) return KS_SMALL;
    if (score >= kFullScore * high) return KS_FULL;
    return KS_UNKNOWN;
}

tagRECT rcInkBeside(const tagRECT* boxes, int count, int first, int stop, int reach,
                    const tagRECT& run, int margin) {
    tagRECT out{1, 1, 0, 0};
    const long long lo = static_cast<long long>(run.left) - margin,
                    hi = static_cast<long long>(run.right) + margin;
    auto add = [&](int from, int to) {
        for (int n = std::max(from, 0); n < std::min(to, count); ++n) {
            const tagRECT& b = boxes[n];
            if (b.right < lo || b.left > hi || b.right < b.left) continue;
            if (out.right < out.left) {
                out = b;
            } else {
                out.left = std::min(out.left, b.left), out.right = std::max(out.right, b.right);
                out.top = std::min(out.top, b.top), out.bottom = std::max(out.bottom, b.bottom);
            }
        }
    };
    add(first - reach, first);
    add(stop, stop + reach);
    return out;
}

void vKeepTheKanaTwinThatFits(CR_RESULT* cands, int n, int size) {
    if (size != KS_SMALL && size != KS_FULL) return;
    int listed = 0;
    while (listed < n && cands[listed].code != 0 && cands[listed].score > 0) ++listed;
    for (int a = 0; a < listed; ++a) {
        const uint32_t code = cands[a].code & 0xFFFF;
        const uint16_t small = wSmallKanaOf(code), full = wFullSizeKanaOf(code);
        const uint16_t twin = small != 0 ? small : full;
        if (twin == 0) continue;
        int b = a + 1;
        while (b < listed && (cands[b].code & 0xFFFF) != twin) ++b;
        if (b == listed) continue;
        // a takes the twin that fits and the candidates after b move up one place; the
        // scores stay in place, the last listed one goes with the twin that does not fit
        if ((size == KS_SMALL) == (small != 0)) {
            cands[a].code = cands[b].code;
            cands[a].pat_no = cands[b].pat_no;
        }
        for (int k = b; k + 1 < listed; ++k) {
            cands[k].code = cands[k + 1].code;
            cands[k].pat_no = cands[k + 1].pat_no;
        }
        cands[--listed] = CR_RESULT{0, 0, 0};
    }
}
