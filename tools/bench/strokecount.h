// Stroke-count errors as learners make them: strokes lifted at their sharpest corners
// (one stroke written as two pieces) and consecutive strokes joined without lifting the
// pen (the pen-up move from one stroke's end to the next one's start drawn as ink).
#pragma once

#include "tools/mkdict/ink.h"

namespace bench {

struct StrokeCountErrors {
    int joins = 0;  // pairs of consecutive strokes written in one pen movement
    int splits = 0; // strokes lifted at a corner
};

// The model with up to `splits` strokes cut at their sharpest corners (turning by more than
// 1.2 radians, the sharpest first), then up to `joins` pairs of consecutive strokes joined,
// the pairs whose end-to-start gap is smallest first; a pair that a split made is never
// joined again. What was made goes to made (fewer when the model has not enough corners
// or strokes).
mkdict::Ink WithStrokeCountErrors(const mkdict::Ink& model, int joins, int splits,
                                  StrokeCountErrors* made);

} // namespace bench
