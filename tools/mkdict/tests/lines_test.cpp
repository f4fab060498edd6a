// The line imitator's small kana, against the full-size twins written in their place
// with the same seed.
#include "tools/mkdict/lines.h"
#include "tools/mkdict/seeds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30), strokes = 0;
    int Extent() const { return std::max(right - left, bottom - top); }
};

Ink InkOf(const mkdict::WrittenLine& line, size_t c) {
    Ink ink;
    for (int s = c ? line.char_end[c - 1] : 0; s < line.char_end[c]; ++s, ++ink.strokes)
        for (const tagPOINT& p : line.strokes[static_cast<size_t>(s)]) {
            ink.left = std::min<int>(ink.left, p.x), ink.right = std::max<int>(ink.right, p.x);
            ink.top = std::min<int>(ink.top, p.y), ink.bottom = std::max<int>(ink.bottom, p.y);
        }
    return ink;
}

// A line laid out without any of the imitation's variation but the small kana's size.
mkdict::LineLayoutParams Even() {
    mkdict::LineLayoutParams p;
    p.size_sd = p.baseline_sd = p.slope_sd = p.gap_sd = 0;
    p.kana_scale_lo = p.kana_scale_hi = 0.85;
    p.character.strength = 0;
    p.character.mouse_share = 0;
    return p;
}

TEST(WriteLine, SmallKanaAreHalfTheSizeOfTheirTwinsOnTheBaseline) {
    // ゃ や, ッ ツ, ぁ あ after か, before と
    const uint16_t twins[][2] = {{0x82E1, 0x82E2}, {0x8362, 0x8363}, {0x829F, 0x82A0}};
    const uint16_t ka = 0x82A9, to = 0x82C6;
    std::vector<uint16_t> wanted = {ka, to};
    for (const auto& t : twins) wanted.insert(wanted.end(), {t[0], t[1]});
    mkdict::ModelSet models;
    std::string err;
    ASSERT_TRUE(mkdict::ReadModels(MKDICT_TEST_KANJIVG, wanted, models, err)) << err;
    for (size_t t = 0; t < std::size(twins); ++t) {
        for (uint64_t n = 0; n < 6; ++n) {
            const uint64_t seed = mkdict::LineSeed(mkdict::kTuningSeedBase, 11, t * 8 + n);
            mkdict::WrittenLine small, full;
            ASSERT_TRUE(mkdict::WriteLine(models, {ka, twins[t][0], to}, seed, Even(), small));
            ASSERT_TRUE(mkdict::WriteLine(models, {ka, twins[t][1], to}, seed, Even(), full));
            const Ink s = InkOf(small, 1), f = InkOf(full, 1);
            // 50-70 % of a full-size kana's ink (the twins' drawings differ a little)
            EXPECT_GE(s.Extent() * 100, f.Extent() * 45) << t << ", " << n;
            EXPECT_LE(s.Extent() * 100, f.Extent() * 75) << t << ", " << n;
            // on the baseline (the twin may float up a little), its middle lower than the twin's
            EXPECT_LE(std::abs(s.bottom - f.bottom) * 100, f.Extent() * 20) << t << ", " << n;
            EXPECT_GT(s.top + s.bottom, f.top + f.bottom) << t << ", " << n;
            // the character before as beside the twin, the one after closer
            const Ink sb = InkOf(small, 0), fb = InkOf(full, 0);
            EXPECT_EQ(std::tie(sb.left, sb.top, sb.right, sb.bottom, sb.strokes),
                      std::tie(fb.left, fb.top, fb.right, fb.bottom, fb.strokes))
                << t << ", " << n;
            EXPECT_LT(InkOf(small, 2).left, InkOf(full, 2).left) << t << ", " << n;
        }
    }
}

TEST(WriteLine, LongVowelMarkAndFullStopKeepTheirPlaces) {
    // か ー 。: the mark flat at mid-height, the full stop small at the foot
    const uint16_t ka = 0x82A9, bar = 0x815B, stop = 0x8142;
    mkdict::ModelSet models;
    std::string err;
    ASSERT_TRUE(mkdict::ReadModels(MKDICT_TEST_KANJIVG, {ka, bar, stop}, models, err)) << err;
    mkdict::WrittenLine line;
    ASSERT_TRUE(mkdict::WriteLine(models, {ka, bar, stop}, 1, Even(), line));
    const Ink k = InkOf(line, 0), b = InkOf(line, 1), s = InkOf(line, 2);
    EXPECT_LE((b.bottom - b.top) * 10, k.Extent());
    EXPECT_GT((b.top + b.bottom) * 4, k.top * 5 + k.bottom * 3); // below the upper quarter
    EXPECT_LT((b.top + b.bottom) * 4, k.top * 3 + k.bottom * 5); // above the lower quarter
    EXPECT_LE(s.Extent() * 2, k.Extent());
    EXPECT_GT(s.bottom * 2, k.top + k.bottom);
}

} // namespace
