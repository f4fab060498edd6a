// Ink: a character's strokes as polylines in floating point, and their conversion into
// the recognizer's input record (POINT_W points with pen-down / pen-up flags).
#pragma once

#include <cmath>
#include <vector>

#include "tessera/records.h"
#include "tools/mkdict/kvg_character.h"
#include "tools/mkdict/svg_path.h"

namespace mkdict {

using Ink = std::vector<Polyline>;

// Length of the vector (dx, dy) (std::hypot without its overflow care, which the
// small coordinates here do not need and which costs much of the writing imitation).
inline double Distance(double dx, double dy) {
    return std::sqrt(dx * dx + dy * dy);
}

// Length of a polyline.
double PolylineLength(const Polyline& line);

// The polyline resampled at even arc-length steps (first and last point kept).
Polyline Resample(const Polyline& line, double step);

// Scales the ink by factor and turns it into input points: coordinates rounded to
// integers (clamped to the 16-bit range), repeated points within a stroke dropped, the
// first point of every stroke flagged 2 and the last 4 (a one-point stroke 6).
std::vector<POINT_W> ToPoints(const Ink& ink, double scale);

// A PATTERN_W over a point vector (the vector keeps ownership).
inline PATTERN_W AsPattern(std::vector<POINT_W>& pts) {
    return PATTERN_W{pts.data(), static_cast<int32_t>(pts.size())};
}

} // namespace mkdict
