// Seeded imitations of real writing from a model drawing: stroke position, size and
// length errors, a smooth elastic warp, an affine distortion of the whole character,
// smoothed hand jitter, and device sampling (a pen's even time sampling or a mouse's
// uneven point spacing, integer pixels in a box of random size). Optionally the errors
// of stroke order and direction that writers make, and strokes split or joined.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tools/mkdict/ink.h"

namespace mkdict {

// Small deterministic random source (the same seed gives the same writing everywhere).
class Random {
public:
    explicit Random(uint64_t seed);
    uint64_t Next();
    double Uniform(); // [0, 1)
    double Uniform(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
    double Normal(); // standard normal

private:
    uint64_t s_[4];
};

struct DistortionParams {
    double strength = 1.0;         // scales every deviation below
    double stroke_shift = 2.5;     // sd of a stroke's displacement, in 109-box units
    double stroke_scale = 0.08;    // sd of a stroke's relative size change
    double stroke_rotate = 0.06;   // sd of a stroke's rotation, radians
    double stroke_trim = 0.08;     // sd of the relative length change at each stroke end
    double warp = 2.5;             // amplitude of the elastic warp, box units
    double rotate = 0.06;          // sd of the character's rotation, radians
    double shear = 0.08;           // sd of the character's shear
    double aspect = 0.10;          // sd of the log of the width / height ratio
    double jitter = 0.6;           // sd of the smoothed hand jitter, box units
    double mouse_share = 0.5;      // share of samples written with a mouse
    double split_rate = 0.0;       // chance that one cornered stroke is written as two
    double merge_rate = 0.0;       // chance that two strokes are joined in one pen movement
    double order_error_rate = 0.0; // chance per character of one stroke order error
    double reverse_rate = 0.0;     // chance per stroke that it is drawn from its other end
};

// The order and direction errors one imitation was given.
struct WritingErrors {
    bool misordered = false; // the strokes were written in another order
    int reversed = 0;        // strokes drawn from their other end
};

// Kinds of stroke order error, each found from the strokes' geometry.
enum class OrderError {
    kCrossSwapped,   // of two strokes that cross, the later one written first
    kVerticalFirst,  // a vertical written before the earliest horizontal it crosses or meets
    kBoxClosedEarly, // a box's closing bottom stroke written before what lies inside it, or
                     // before the box's right side when nothing does
    kRunMovedEarlier // a stroke or a run of up to three written up to three places earlier
};

// Every way the model allows an error of the given kind, each as the order in which the
// model's strokes are then written (a permutation of 0..n-1 that is not the identity).
// kRunMovedEarlier has too many to list and gives none; MisorderedStrokes draws it.
std::vector<std::vector<size_t>> OrderErrorChoices(const Ink& model, OrderError kind);

// One stroke order error: a kind drawn evenly among those the model allows (a run moved
// earlier is always allowed), then one of its ways evenly. The identity order for a
// model of fewer than two strokes.
std::vector<size_t> MisorderedStrokes(const Ink& model, Random& rnd);

// The model's strokes in the given order (a permutation of their indices).
Ink InOrder(const Ink& model, const std::vector<size_t>& order);

// The model with the order and direction errors of params drawn for seed (from a random
// source of their own: without errors the model itself); what was drawn goes to errors.
Ink WithWritingErrors(const Ink& model, uint64_t seed, const DistortionParams& params,
                      WritingErrors* errors = nullptr);

// Reverses each stroke of ink with chance rate (one draw per stroke); the count of
// strokes of more than one point reversed.
int ReverseStrokes(Ink& ink, double rate, Random& rnd);

// The model with its sharpest-cornered stroke cut in two at that corner; the model
// itself when no stroke turns by more than min_turn radians.
Ink SplitAtSharpestCorner(const Ink& model, double min_turn = 1.2);

// The model with the two consecutive strokes whose gap (end of one to start of the next)
// is smallest joined into one stroke; the model itself when no gap is below max_gap.
Ink JoinClosestStrokes(const Ink& model, double max_gap = 30);

// The model's strokes with the writer's errors of one imitation (stroke errors, warp,
// affine distortion, jitter), still in drawing units; draws from rnd.
Ink DistortedInk(const Ink& model, Random& rnd, const DistortionParams& params = {});

// Points of a stroke as a device samples them, step apart on average (in the units of
// the stroke): a pen at even time steps, faster in the middle of a stroke; a mouse
// irregularly, in bursts and jumps.
Polyline SampleLikeDevice(const Polyline& dense, double step, bool mouse, Random& rnd);

// One imitation of writing the model, returned as input points in device pixels. Order
// and direction errors draw from a random source of their own, so that with their rates
// at 0 the writing is the same as without them; errors, when given, says which were made.
std::vector<POINT_W> DistortedWriting(const Ink& model, uint64_t seed,
                                      const DistortionParams& params = {},
                                      WritingErrors* errors = nullptr);

// The model itself written evenly with a pen into a box of the given pixel size.
std::vector<POINT_W> CleanWriting(const Ink& model, double box_pixels = 128);

} // namespace mkdict
