// Stroke order and direction: which written stroke corresponds to which stroke of a
// pattern, whichever order the strokes were written in and from whichever end. The
// correspondence is the minimum-cost assignment of written strokes to pattern strokes on
// the positions of their two ends and of their middle, each stroke taken either way
// round; the input can then be put into the pattern's order and direction and matched
// as if it had been written that way.
#pragma once

#include "classifier/crpattern.h"

#include <cstdint>

extern "C" {

// Strokes beyond this count are matched in the order written only.
enum { ORDER_MAXSTROKE = 32 };

// A correspondence of the input's strokes to a pattern's strokes, in pattern order:
// pattern stroke k is input stroke src[k], drawn from its other end when rev[k] is set.
struct STROKE_ORDER {
    int num;      // strokes
    int moved;    // strokes written before an earlier one (n - longest kept run)
    int reversed; // strokes drawn from their other end
    int8_t src[ORDER_MAXSTROKE];
    uint8_t rev[ORDER_MAXSTROKE];
};

// The correspondence of in's strokes to dic's. Returns 1 when it differs from the order
// and direction written, 0 when the strokes as written are already a best correspondence,
// and also 0 when the stroke counts differ, either pattern has no strokes or more than
// ORDER_MAXSTROKE.
int strokeorder(const PATTERN_B* dic, const PATTERN_B* in, STROKE_ORDER* order);

// Writes in's points into dst->data (room for in->num points) in the order and direction
// of order, and sets dst's lengths, directions and counts as for a prepared input.
void reorderpattern(PATTERN_B* dst, const PATTERN_B* in, const STROKE_ORDER* order);

} // extern "C"
