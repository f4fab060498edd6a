// Test pictures: thick lines and boxes drawn straight into a bitmap.
#pragma once

#include <cmath>
#include <vector>

#include "tools/tracefont/bitmap.h"

namespace tracefont::test {

// Fills the axis-aligned rectangle [x0, x1] x [y0, y1] (inclusive).
inline void FillRect(Bitmap& b, int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) b.Set(x, y, true);
}

// A one-pixel line from (x0, y0) to (x1, y1).
inline void Line(Bitmap& b, int x0, int y0, int x1, int y1) {
    int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= n; ++i) {
        double t = n ? double(i) / n : 0;
        b.Set(static_cast<int>(std::lround(x0 + t * (x1 - x0))),
              static_cast<int>(std::lround(y0 + t * (y1 - y0))), true);
    }
}

// Number of 8-connected ink components.
inline int Components(const Bitmap& b) {
    std::vector<int> seen(b.px.size(), 0);
    int count = 0;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            if (!b.At(x, y) || seen[static_cast<size_t>(y * b.width + x)]) continue;
            ++count;
            std::vector<std::pair<int, int>> stack{{x, y}};
            seen[static_cast<size_t>(y * b.width + x)] = 1;
            while (!stack.empty()) {
                auto [cx, cy] = stack.back();
                stack.pop_back();
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int nx = cx + dx, ny = cy + dy;
                        if (!b.At(nx, ny) || seen[static_cast<size_t>(ny * b.width + nx)]) continue;
                        seen[static_cast<size_t>(ny * b.width + nx)] = 1;
                        stack.push_back({nx, ny});
                    }
            }
        }
    return count;
}

} // namespace tracefont::test
