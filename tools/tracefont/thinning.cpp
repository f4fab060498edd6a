#include "tools/tracefont/thinning.h"

#include <array>

namespace tracefont {

namespace {

// The eight neighbours of (x, y) clockwise from the one above: P2, P3, ..., P9.
std::array<bool, 8> Neighbours(const Bitmap& b, int x, int y) {
    return {b.At(x, y - 1), b.At(x + 1, y - 1), b.At(x + 1, y), b.At(x + 1, y + 1),
            b.At(x, y + 1), b.At(x - 1, y + 1), b.At(x - 1, y), b.At(x - 1, y - 1)};
}

// Number of paper-to-ink transitions going round the neighbours once.
int Transitions(const std::array<bool, 8>& p) {
    int t = 0;
    for (int i = 0; i < 8; ++i) t += !p[i] && p[(i + 1) % 8];
    return t;
}

int InkCount(const std::array<bool, 8>& p) {
    int n = 0;
    for (bool v : p) n += v;
    return n;
}

} // namespace

Bitmap Thin(const Bitmap& in) {
    Bitmap b = in;
    std::vector<size_t> remove;
    bool changed = true;
    while (changed) {
        changed = false;
        for (int pass = 0; pass < 2; ++pass) {
            remove.clear();
            int removed = 0;
            for (int y = 0; y < b.height; ++y)
                for (int x = 0; x < b.width; ++x) {
                    if (!b.At(x, y)) continue;
                    auto p = Neighbours(b, x, y);
                    int n = InkCount(p);
                    if (n < 2 || n > 6 || Transitions(p) != 1) continue;
                    // P2, P4, P6 / P4, P6, P8 in the first pass; P2, P4, P8 / P2, P6, P8
                    // in the second.
                    bool a = pass == 0 ? !(p[0] && p[2] && p[4]) : !(p[0] && p[2] && p[6]);
                    bool c = pass == 0 ? !(p[2] && p[4] && p[6]) : !(p[0] && p[4] && p[6]);
                    if (a && c) remove.push_back(static_cast<size_t>(y) * b.width + x);
                }
            // Pixels are removed one after the other, each only while it is still a
            // removable border pixel: removing them all at once would wipe out blobs and
            // lines two pixels thick, whose pixels all look removable together.
            for (size_t i : remove) {
                int x = static_cast<int>(i % static_cast<size_t>(b.width));
                int y = static_cast<int>(i / static_cast<size_t>(b.width));
                auto p = Neighbours(b, x, y);
                if (InkCount(p) >= 2 && Transitions(p) == 1) {
                    b.px[i] = 0;
                    ++removed;
                }
            }
            changed = changed || removed > 0;
        }
    }
    // A pixel whose only two ink neighbours are one above or below and one beside it,
    // touching each other diagonally, is a staircase corner: dropping it keeps the line
    // 8-connected and one pixel wide.
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            if (!b.At(x, y)) continue;
            auto p = Neighbours(b, x, y);
            if (InkCount(p) != 2) continue;
            bool ne = p[0] && p[2], se = p[2] && p[4], sw = p[4] && p[6], nw = p[6] && p[0];
            if (ne || se || sw || nw) b.Set(x, y, false);
        }
    return b;
}

} // namespace tracefont
