// A binary picture: one byte per pixel, 1 for ink and 0 for paper, rows top to bottom.
// The glyph renderer fills it, the thinning reduces it to a skeleton and the tracer
// walks that skeleton.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tracefont {

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> px; // width * height, row-major

    Bitmap() = default;
    Bitmap(int w, int h) : width(w), height(h), px(static_cast<size_t>(w) * h, 0) {}

    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // Ink at (x, y); outside the picture is paper.
    bool At(int x, int y) const {
        return Inside(x, y) && px[static_cast<size_t>(y) * width + x] != 0;
    }
    void Set(int x, int y, bool ink) {
        if (Inside(x, y)) px[static_cast<size_t>(y) * width + x] = ink ? 1 : 0;
    }
    int Count() const {
        int n = 0;
        for (uint8_t v : px) n += v != 0;
        return n;
    }
};

// Pixel bounding box of the ink; empty (w == 0) when there is none.
struct PixelBox {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1; // inclusive
    bool Empty() const { return x1 < x0 || y1 < y0; }
};

inline PixelBox InkBox(const Bitmap& b) {
    PixelBox box{b.width, b.height, -1, -1};
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            if (b.At(x, y)) {
                if (x < box.x0) box.x0 = x;
                if (x > box.x1) box.x1 = x;
                if (y < box.y0) box.y0 = y;
                if (y > box.y1) box.y1 = y;
            }
    return box;
}

} // namespace tracefont
