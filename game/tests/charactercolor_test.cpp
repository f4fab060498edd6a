// The answer character's default colour read against the white background, as the mosaic
// mixes it into its cells at every cell count.
#include "game/charactercolor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace game;

namespace {

// The pixel counts a mosaic cell of the 256 x 256 glyph mask can have at n cells a side.
std::set<int> CellTotals(int n) {
    std::set<int> sides;
    for (int i = 0; i < n; ++i) sides.insert((i + 1) * 256 / n - i * 256 / n);
    std::set<int> totals;
    for (int a : sides)
        for (int b : sides) totals.insert(a * b);
    return totals;
}

// The cell colour of the mosaic: each channel floor(b + p * (s - b)), p the lit share.
QColor Mixed(const QColor& s, const QColor& b, double p) {
    auto mix = [p](int bc, int sc) { return int(std::floor(bc + p * (sc - bc))); };
    return QColor(mix(b.red(), s.red()), mix(b.green(), s.green()), mix(b.blue(), s.blue()));
}

// True when every cell at least three quarters ink reaches 4.5:1, at every cell count.
bool ReadableAtEveryCount(quint32 ole) {
    const QColor s(ole & 0xFF, (ole >> 8) & 0xFF, (ole >> 16) & 0xFF), white(Qt::white);
    for (int n = 1; n <= 256; ++n)
        for (const int total : CellTotals(n))
            for (int lit = (3 * total + 3) / 4; lit <= total; ++lit)
                if (ContrastRatio(Mixed(s, white, double(lit) / total), white) < 4.5) return false;
    return true;
}

} // namespace

TEST(CharacterColor, ContrastFollowsTheGuidelinesMeasure) {
    EXPECT_NEAR(ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(Qt::white, Qt::black), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    EXPECT_NEAR(ContrastRatio(QColor(0, 255, 0), Qt::white), 1.37, 0.01);
}

TEST(CharacterColor, TheDefaultStaysReadableInTheMosaicsMixedCells) {
    const struct {
        quint32 ole;
        bool readable;
    } cases[] = {
        {kDefaultStringColor, true}, {0x000000, true}, {0x00FF00, false}, {0x006400, false}};
    for (const auto& c : cases)
        EXPECT_EQ(ReadableAtEveryCount(c.ole), c.readable) << std::hex << c.ole;
}
