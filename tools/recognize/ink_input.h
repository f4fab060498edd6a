// One input line of the command-line recognizer: {"strokes": [[[x, y], ...], ...]} in
// pixel coordinates, y downwards. Other members are ignored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace recognize {

struct InkPoint {
    int32_t x;
    int32_t y;
};
using InkStroke = std::vector<InkPoint>;

struct InkLine {
    bool ok = false;
    std::vector<InkStroke> strokes;
    std::string error; // when !ok
};

// Bounds on one line's ink. Coordinates must fit the recognizers' 16-bit points.
inline constexpr size_t kMaxStrokes = 1000;
inline constexpr size_t kMaxPoints = 100000;

// A coordinate as the recognizers take it: rounded to the nearest integer (halves away
// from zero), which must lie in -32768..32767 (false otherwise, NaN included).
bool InkCoordinate(double value, int32_t& out);

// Reads one line. A coordinate is any JSON number, rounded to the nearest integer (halves
// away from zero), which must lie in -32768..32767; every stroke needs at least one point.
InkLine ParseInkLine(std::string_view line);

} // namespace recognize
