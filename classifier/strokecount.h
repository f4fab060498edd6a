// Stroke count: which written strokes stand for which strokes of a pattern when the
// writer joined strokes without lifting the pen or lifted it inside a stroke. One written
// stroke may stand for two or three pattern strokes (it is cut where the pieces fit them
// best, and the pen-up move between them is left out) and two or three consecutive written
// strokes may stand for one (they are put end to end, each the way round that fits). The
// input rewritten so has the pattern's stroke count; its order and direction are then a
// matter for the stroke order correspondence.
#pragma once

#include "classifier/crpattern.h"
#include "classifier/strokeorder.h"

#include <cstdint>

extern "C" {

// One written stroke stands for at most this many pattern strokes, and at most this many
// written strokes stand for one pattern stroke.
// The stroke counts of the writing and of a pattern differ by at most COUNT_MOSTCHANGES
// (a writer rarely joins or splits more in one character).
enum { COUNT_MAXRUN = 3, COUNT_MAXPIECES = ORDER_MAXSTROKE * COUNT_MAXRUN, COUNT_MOSTCHANGES = 3 };

// A run of input points in the rewritten input: input points [begin, end), taken from the
// last to the first when rev is set; cont marks a run that goes on the stroke of the run
// before it (written strokes put end to end).
struct COUNT_PIECE {
    int16_t begin, end;
    uint8_t rev, cont;
};

// A pen-up move drawn as ink between rewritten strokes `stroke` and `stroke` + 1 (in the
// order written), left out of the rewritten input; len is its length.
struct COUNT_MOVE {
    int8_t stroke;
    int16_t len;
};

// A correspondence across stroke counts, in the order written.
struct STROKE_COUNT {
    int joins;  // pattern strokes beyond the first that one written stroke stands for
    int splits; // written strokes beyond the first that stand for one pattern stroke
    int pieces;
    int points; // points of the rewritten input
    COUNT_PIECE piece[COUNT_MAXPIECES];
    int moves;
    COUNT_MOVE move[ORDER_MAXSTROKE];
    // of each rewritten stroke: the (first) written stroke it comes from, and whether it is
    // a piece of a written stroke that was cut
    int8_t written[ORDER_MAXSTROKE];
    uint8_t cut[ORDER_MAXSTROKE];
    // the keys of the pattern's strokes and of the rewritten input's, in the order written
    STROKE_KEY dic[ORDER_MAXSTROKE];
    STROKE_KEY key[ORDER_MAXSTROKE];
};

// The correspondence of in's strokes to dic's strokes when their counts differ. Returns 1
// when one is found, 0 when the counts are equal or no correspondence is in reach (either
// pattern without strokes or with more than ORDER_MAXSTROKE, or one count more than
// COUNT_MAXRUN times the other).
int strokecount(const PATTERN_B* dic, const PATTERN_B* in, STROKE_COUNT* map);

// The length of the ink that map leaves out and the pattern does not explain: a pen-up move
// drawn between two pieces counts unless both pieces run in their pattern strokes'
// direction (the writer went on from the end of one stroke to the start of another without
// lifting the pen). order is the stroke order over the rewritten strokes, or null.
int leftoutink(const STROKE_COUNT* map, const STROKE_ORDER* order);

// The strokes moved and turned round by order (over the rewritten strokes, or null) as the
// writer made them: the pieces of one written stroke come in the order and direction the
// pen took, so only written strokes out of order count as moved, and only pieces that are
// whole written strokes as turned round.
void countedorder(const STROKE_COUNT* map, const STROKE_ORDER* order, int* moved, int* reversed);

// Writes in rewritten by map into dst->data (room for map->points points), its strokes
// then put into the order and direction of order (over the rewritten strokes; null for the
// order written), and sets its lengths, directions and counts as for a prepared input.
void countedpattern(PATTERN_B* dst, const PATTERN_B* in, const STROKE_COUNT* map,
                    const STROKE_ORDER* order);

} // extern "C"
