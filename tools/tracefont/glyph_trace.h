// One character from glyph picture to pen input: thinning, fitting the standard drawing
// onto the skeleton, tracing its strokes, and resampling the traced paths the way a pen
// samples a moving hand.
#pragma once

#include <string>
#include <vector>

#include "tessera/records.h"
#include "tools/tracefont/bitmap.h"
#include "tools/tracefont/stroke_trace.h"

namespace tracefont {

// Thins the glyph and traces the drawing's strokes (in drawing units, any box) on it.
// A glyph whose proportions differ too much from the drawing's for some stroke to be
// found within the radius is tried again with the radius half as large again, and then
// doubled: the tight radius first, so that strokes keep to the nearest line wherever
// they can.

TraceResult TraceGlyph(const Bitmap& glyph, const std::vector<Polyline>& drawing,
                       const TraceParams& params);

// A pixel path smoothed with a moving average over 2 * half + 1 pixels (the ends stay
// where they are, the window shrinks near them), which takes out the pixel staircase.
Polyline Smooth(const Polyline& path, int half);

// The traced strokes as input points: smoothed, resampled every step pixels, rounded,
// pen-down and pen-up flags set. Empty for an untraceable result.
std::vector<POINT_W> PenInput(const TraceResult& trace, double step);

// What became of the characters of a run, for the report at its end.
struct TraceTally {
    int traced = 0;          // written out (snapped ones included)
    int snapped = 0;         // written out with some stroke snapped point by point
    int widened = 0;         // written out, traced with a wider radius
    int untraceable = 0;     // some stroke not found near the skeleton
    int missing_font = 0;    // the font has no glyph, or an empty one
    int missing_drawing = 0; // no KanjiVG drawing under a dictionary code

    void Add(const TraceResult& r);
    std::string Summary() const;
};

} // namespace tracefont
