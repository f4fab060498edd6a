// Conditioning of written input before the classifier prepares it. Devices deliver ink
// with point-to-point noise (touch panels, fingers, cheap tablets), at very different
// sampling rates and sizes; the preparation that follows takes corners from the points as
// they come, so noise that is small against the character still adds corners. Each stroke
// is therefore smoothed over a width that follows the character's size and resampled by
// arc length at a step that follows the size, in a fine coordinate grid of its own, so
// that neither the noise nor the device's sampling rate nor the written size moves the
// result.
#pragma once

#include <vector>

#include "tessera/records.h"

struct INKPREP_PARAMS {
    double smooth;    // width (standard deviation) of the smoothing, share of the character size
    double step;      // distance between the points handed on, share of the character size
    int passes;       // smoothing passes
    double gate;      // writing whose median offset (InkNoise) lies below this is left as it
                      // comes,
    double gate_bend; // as is writing whose median bend lies below this
};

// The parameters the classifier conditions its input with.
extern INKPREP_PARAMS _inkprep;

// How noisy the writing is, from each point between two others on a stroke: how far it
// lies from the middle of its neighbours, as a share of the character size (offset) and
// of the distance between the neighbours (bend); the medians over the writing, 0 with
// fewer than ten such points. Pens and mice moved by hand deliver offsets of a few tenths of a per
// cent and bends of at most 0.32, whatever their sampling rate; device noise of a per cent of the
// size or more bends the strokes back and forth.
struct INK_NOISE {
    double offset;
    double bend;
    double units;     // the median offset in input units
    double reversals; // share of the turns along a stroke that turn the other way than the last
};
INK_NOISE InkNoise(const PATTERN_W* pat);

// True when the writing is noisy enough to be conditioned: an offset of at least
// params.gate and of at least one input unit, a bend of at least params.gate_bend, and
// turns that keep reversing.
bool IsNoisyInk(const PATTERN_W* pat, const INKPREP_PARAMS& params);

// Fine grid of the conditioned points: the character's larger side spans this many units.
constexpr int kInkPrepUnits = 4096;

// The conditioned copy of pat in out: the same strokes in the same order and direction,
// each with its first point flagged pen-down and its last pen-up, on the fine grid with
// the character's box at the origin. False (out empty) for an empty pattern or when
// memory runs out; the caller then goes on with the input as written.
bool ConditionInk(const PATTERN_W* pat, const INKPREP_PARAMS& params, std::vector<POINT_W>& out);
