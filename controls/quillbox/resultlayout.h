// Where the box draws its recognized character: one cell of height h, drawn
// StringWidth times with one-pixel diagonal offsets so that the strokes look bold.
// Small kana are shrunk by SCharSize and may sit in the bottom-left corner.
#pragma once

#include <cstdint>
#include <vector>

namespace quillbox {

struct CellOrigin {
    int x, y; // top-left corner of the character cell
};

struct ResultLayout {
    int height = 0; // font (cell) height in pixels
    bool small = false;
    std::vector<CellOrigin> origins; // one per pass, in drawing order
};

// The layout in a width x height box for the character with the given code.
ResultLayout LayoutResult(int width, int height, uint32_t code, bool smallAtCorner, float smallSize,
                          int passes);

} // namespace quillbox
