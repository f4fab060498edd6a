// The line imitator's small kana, long-vowel mark and full stop, written without any of the
// imitation's variation but the small kana's size.
#include "tools/mkdict/lines.h"
#include "tools/mkdict/seeds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);
    int Extent() const { return std::max(right - left, bottom - top); }
};

// The box of character c of a line written from codes.
Ink Write(const std::vector<uint16_t>& codes, uint64_t seed, size_t c) {
    static mkdict::ModelSet models;
    std::string err;
    EXPECT_TRUE(models.size() > 0 || mkdict::ReadModels(MKDICT_TEST_KANJIVG, {}, models, err));
    mkdict::LineLayoutParams p;
    p.size_sd = p.baseline_sd = p.slope_sd = p.gap_sd = 0;
    p.kana_scale_lo = p.kana_scale_hi = 0.85;
    p.character.strength = p.character.mouse_share = 0;
    mkdict::WrittenLine line;
    Ink ink;
    EXPECT_TRUE(mkdict::WriteLine(models, codes, seed, p, line));
    for (int s = c ? line.char_end[c - 1] : 0; s < line.char_end[c]; ++s)
        for (const tagPOINT& q : line.strokes[static_cast<size_t>(s)]) {
            ink.left = std::min<int>(ink.left, q.x), ink.right = std::max<int>(ink.right, q.x);
            ink.top = std::min<int>(ink.top, q.y), ink.bottom = std::max<int>(ink.bottom, q.y);
        }
    return ink;
}

TEST(WriteLine, SmallKanaAreHalfTheSizeOfTheirTwinsOnTheBaseline) {
    // ゃ や, ッ ツ, ぁ あ between か and と
    const uint16_t twins[][2] = {{0x82E1, 0x82E2}, {0x8362, 0x8363}, {0x829F, 0x82A0}};
    for (size_t t = 0; t < std::size(twins); ++t) {
        for (uint64_t n = 0; n < 6; ++n) {
            const uint64_t seed = mkdict::LineSeed(mkdict::kTuningSeedBase, 11, t * 8 + n);
            const Ink s = Write({0x82A9, twins[t][0], 0x82C6}, seed, 1),
                      f = Write({0x82A9, twins[t][1], 0x82C6}, seed, 1);
            // 50-70 % of a full-size kana's ink (the twins' drawings differ a little), on
            // the baseline (the twin may float up a little), its middle lower
            EXPECT_GE(s.Extent() * 100, f.Extent() * 45) << t << ", " << n;
            EXPECT_LE(s.Extent() * 100, f.Extent() * 75) << t << ", " << n;
            EXPECT_LE(std::abs(s.bottom - f.bottom) * 100, f.Extent() * 20) << t << ", " << n;
            EXPECT_GT(s.top + s.bottom, f.top + f.bottom) << t << ", " << n;
            // the character after closer
            EXPECT_LT(Write({0x82A9, twins[t][0], 0x82C6}, seed, 2).left,
                      Write({0x82A9, twins[t][1], 0x82C6}, seed, 2).left);
        }
    }
}

TEST(WriteLine, LongVowelMarkAndFullStopKeepTheirPlaces) {
    // か ー 。: the mark flat at mid-height, the full stop small at the foot
    const std::vector<uint16_t> text = {0x82A9, 0x815B, 0x8142};
    const Ink k = Write(text, 1, 0), b = Write(text, 1, 1), s = Write(text, 1, 2);
    EXPECT_LE((b.bottom - b.top) * 10, k.Extent());
    EXPECT_GT((b.top + b.bottom) * 4, k.top * 5 + k.bottom * 3); // below the upper quarter
    EXPECT_LT((b.top + b.bottom) * 4, k.top * 3 + k.bottom * 5); // above the lower quarter
    EXPECT_LE(s.Extent() * 2, k.Extent());
    EXPECT_GT(s.bottom * 2, k.top + k.bottom);
}

} // namespace
