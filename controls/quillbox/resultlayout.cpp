#include "controls/quillbox/resultlayout.h"

#include "controls/quillbox/candidates.h"

#include <algorithm>

namespace quillbox {

ResultLayout LayoutResult(int width, int height, uint32_t code, bool smallAtCorner, float smallSize,
                          int passes) {
    ResultLayout layout;
    int h = std::min(width, height);
    layout.small = IsSmallKana(code);
    if (layout.small) h = static_cast<int>(static_cast<double>(h) * smallSize);
    layout.height = h;
    const bool corner = layout.small && smallAtCorner;
    for (int i = 0; i < passes; ++i) {
        if (corner)
            layout.origins.push_back({i, height - h - i});
        else
            layout.origins.push_back({(width - h) / 2 + i, (height - h) / 2 - i});
    }
    return layout;
}

} // namespace quillbox
