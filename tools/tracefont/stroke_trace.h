// Finding each stroke of a standard drawing on the skeleton of a font's glyph: the
// drawing gives the order, count and direction of the strokes, the skeleton gives their
// shape. A stroke becomes the cheapest 8-connected skeleton path from near its start to
// near its end, where a step costs more the farther it lies from the drawn stroke.
#pragma once

#include <utility>
#include <vector>

#include "tools/mkdict/svg_path.h"
#include "tools/tracefont/bitmap.h"

namespace tracefont {

using mkdict::PointD;
using mkdict::Polyline;

struct TraceParams {
    double radius = 16; // farthest a skeleton pixel may lie from the drawn stroke
    double sigma = 4;   // distance from the drawn stroke at which a step costs double
    // Cost per pixel between a path's end and the stroke's end: more than any step costs
    // within the radius, so that a path runs on as far towards the ends as the font's
    // line goes.
    double end_weight = 20;
    double snap_step = 2; // spacing of the points snapped one by one in the fallback
    // Steps on pixels an earlier stroke already took cost this many times more: a writer
    // does not go over a line twice, so a stroke whose guide lies between two of the
    // font's lines takes the one still free. Crossing a line costs only a pixel or two.
    double reuse_factor = 4;
    // The values above are for a 128-pixel glyph; these scale them to another size.
    TraceParams ScaledTo(int size) const;
    static TraceParams ForSize(int size) { return TraceParams{}.ScaledTo(size); }
};

// The drawing's strokes moved onto the ink box: each axis scaled and shifted so that the
// drawing's bounding box covers the box. An axis along which the drawing has (almost) no
// extent, as in a single horizontal line, takes the other axis's scale and is centred.
std::vector<Polyline> FitGuides(const std::vector<Polyline>& strokes, const PixelBox& box);

enum class TraceStatus {
    Traced,     // every stroke followed the skeleton
    Snapped,    // some stroke had no skeleton path and was snapped point by point
    Untraceable // some stroke is not near the skeleton at all
};

struct TraceResult {
    TraceStatus status = TraceStatus::Untraceable;
    std::vector<Polyline> strokes; // pixel centres, in stroke order; empty if untraceable
    int snapped_strokes = 0;
    double radius = 0;    // the radius it was traced with
    bool widened = false; // traced with a wider radius than the one asked for
};

// Distance from p to the polyline (to its single point when it has one).
double DistanceToPolyline(const PointD& p, const Polyline& line);

// The cheapest skeleton path for one guide, as pixel centres from the start end; empty
// when no skeleton path within the radius joins the neighbourhoods of the guide's ends.
// used (same size as the skeleton, or null) marks pixels earlier strokes took.
Polyline SkeletonPath(const Bitmap& skeleton, const Polyline& guide, const TraceParams& params,
                      const Bitmap* used = nullptr);

// The fallback: every point of the guide, resampled, replaced by its nearest skeleton
// pixel; empty when some point has none within the radius.
Polyline SnapToSkeleton(const Bitmap& skeleton, const Polyline& guide, const TraceParams& params);

// The polyline cut in two at half its length (the cut point ends the first part and
// starts the second).
std::pair<Polyline, Polyline> SplitAtHalfLength(const Polyline& line);

// Traces every guide in order (guides already fitted to the skeleton's box).
TraceResult TraceStrokes(const Bitmap& skeleton, const std::vector<Polyline>& guides,
                         const TraceParams& params);

} // namespace tracefont
