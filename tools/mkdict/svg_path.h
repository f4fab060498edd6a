// SVG path data ("d" attribute) to polylines: absolute and relative moves, lines
// (L, H, V), cubic and quadratic Béziers with their smooth forms (C, S, Q, T) and
// close-path. Curves are flattened into short chords. Elliptic arcs do not occur in
// stroke data and are refused.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mkdict {

struct PointD {
    double x = 0;
    double y = 0;
};

using Polyline = std::vector<PointD>;

// Largest distance between a curve and its chords, in path units.
constexpr double kFlattenTolerance = 0.05;

// Parses and flattens path data. Each moveto starts a new polyline. False, with a
// message naming the position in error, for malformed data; out is then empty.
bool FlattenPathData(std::string_view d, std::vector<Polyline>& out, std::string& error,
                     double tolerance = kFlattenTolerance);

} // namespace mkdict
