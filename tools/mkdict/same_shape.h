// Characters of the same shape: drawings with the same strokes, in the same order and
// direction, that differ only in size, proportions or a hair (口 and 囗, 力 and カ, 工 and
// エ, 卜 and ト). The character prior orders such characters by how commonly they are meant.
#pragma once

#include <vector>

#include "tools/mkdict/ink.h"

namespace mkdict {

// Mean distance between the corresponding points of two drawings, each stroke taken at
// eight points evenly along it and each drawing scaled to its own bounding box (so size
// and proportions do not count; an axis shorter than a third of the other is scaled as if
// it were that long, so that flat or narrow drawings keep their small deviations small).
// A very large value when the stroke counts differ or a drawing has no points.
double ShapeDistance(const Ink& a, const Ink& b);

// Groups of drawings of at most max_strokes strokes whose shape distance is at most
// max_distance (joined transitively): a group number (1, 2, ... by first member) for every
// drawing that has a partner, 0 for the others. Larger drawings are left out: eight points
// a stroke do not see the hooks and crossings that tell 坡 from 披 or 沢 from 決, which
// the classifier does see.
std::vector<int> SameShapeGroups(const std::vector<Ink>& drawings, double max_distance,
                                 size_t max_strokes);

// The shape distance up to which two drawings count as the same shape, and their largest
// stroke count.
inline constexpr double kSameShapeDistance = 0.12;
inline constexpr size_t kSameShapeMaxStrokes = 4;

} // namespace mkdict
