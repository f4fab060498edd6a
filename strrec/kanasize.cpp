#include "strrec/kanasize.h"

#include <algorithm>

namespace {

// The log odds of a small kana against its full-size twin fall by kOddsPerPoint per point
// of the size score and are even at kEvenScore; beyond kMaxOdds the size decides alone
// anyway. Fitted (a logistic regression, both kinds weighing the same) to the ink of the
// small kana and their twins in imitated running text of the training seeds, where the
// small kana score a median of -63 (a tenth above -34) and their twins one of 9 (a tenth
// below -28).
constexpr float kOddsPerPoint = 0.1045f, kEvenScore = -30.0f, kMaxOdds = 8.0f;

} // namespace

int iKanaSizeScore(const tagRECT& run, const tagRECT& beside) {
    if (beside.right < beside.left || run.right < run.left) return kNoKanaSize;
    const long long extent = std::max(static_cast<long long>(run.right) - run.left,
                                      static_cast<long long>(run.bottom) - run.top);
    const long long besideHigh = static_cast<long long>(beside.bottom) - beside.top;
    if (extent <= 0 || besideHigh * 2 < extent) return kNoKanaSize;
    const long long top = std::min(run.top, beside.top),
                    high = std::max(run.bottom, beside.bottom) - top;
    // twice the depth of the run's middle below the top
    const long long middle2 = static_cast<long long>(run.top) + run.bottom - 2 * top;
    return static_cast<int>((100 * extent - 75 * middle2) / high);
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

float fKanaSizeLP(int score, uint32_t code) {
    if (score == kNoKanaSize) return 0.0f;
    const bool small = wFullSizeKanaOf(code) != 0;
    if (!small && wSmallKanaOf(code) == 0) return 0.0f;
    const float odds = std::clamp(kOddsPerPoint * (kEvenScore - static_cast<float>(score)),
                                  -kMaxOdds, kMaxOdds); // for the small one
    return std::min(0.0f, small ? odds : -odds);
}
