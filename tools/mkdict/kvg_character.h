// One KanjiVG character drawing: its strokes in writing order as flattened polylines
// in the 109 x 109 drawing box (y downwards).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/mkdict/svg_path.h"

namespace mkdict {

// Side of the square KanjiVG draws in.
constexpr double kKvgBoxSize = 109.0;

struct KvgCharacter {
    char32_t codepoint = 0;
    std::vector<Polyline> strokes; // one per <path>, in document (= stroke) order
};

// Parses a KanjiVG SVG file. False with a message for XML errors, malformed path data or
// a drawing without strokes.
bool ParseKvgSvg(std::string_view svg, KvgCharacter& out, std::string& error);

} // namespace mkdict
