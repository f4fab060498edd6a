// Stroke order and direction: which written stroke corresponds to which stroke of a
// pattern, whichever order the strokes were written in and from whichever end. The
// correspondence is the minimum-cost assignment of written strokes to pattern strokes on
// the positions of their two ends and of their middle, each stroke taken either way
// round; the input can then be put into the pattern's order and direction and matched
// as if it had been written that way.
#pragma once

#include "classifier/crpattern.h"

#include <cstdint>
#include <cstdlib>

// A stroke as the correspondence sees it: its first and last points and the points a
// quarter, half and three quarters along it (the quarters tell which way a loop turns).
struct STROKE_KEY {
    int begin, end; // point range [begin, end) in its pattern
    int sx, sy, ex, ey, mx, my;
    int qx, qy, tx, ty; // a quarter and three quarters along
};

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

// strokeorder on the keys of the pattern's strokes (dk) and of the input's (ik), n each.
int strokeorderkeys(const STROKE_KEY* dk, const STROKE_KEY* ik, int n, STROKE_ORDER* order);

// Writes in's points into dst->data (room for in->num points) in the order and direction
// of order, and sets dst's lengths, directions and counts as for a prepared input.
void reorderpattern(PATTERN_B* dst, const PATTERN_B* in, const STROKE_ORDER* order);

} // extern "C"

// The keys of a pattern's strokes (room for pat->stroke); false when its pen-down marks do
// not describe pat->stroke strokes starting at its first point.
bool strokekeys(const PATTERN_B* pat, STROKE_KEY* keys);

// The key of the n >= 1 points p, in the order given (p[i].l the length from p[i - 1]);
// begin and end are left as they are.
void runkey(const POINT_B* p, int n, STROKE_KEY* key);

// Ties between the two ways round of a stroke go to the way written.
constexpr int kReverseBias = 4;

// How far apart two strokes lie, each taken the way round that fits the other better; the
// middle point's distance is the same either way round and is taken once.
inline int paircost(const STROKE_KEY& a, const STROKE_KEY& b) {
    using std::abs;
    const int mid = abs(a.mx - b.mx) + abs(a.my - b.my);
    const int f = abs(a.sx - b.sx) + abs(a.sy - b.sy) + abs(a.ex - b.ex) + abs(a.ey - b.ey) +
                  abs(a.qx - b.qx) + abs(a.qy - b.qy) + abs(a.tx - b.tx) + abs(a.ty - b.ty);
    const int r = abs(a.sx - b.ex) + abs(a.sy - b.ey) + abs(a.ex - b.sx) + abs(a.ey - b.sy) +
                  abs(a.qx - b.tx) + abs(a.qy - b.ty) + abs(a.tx - b.qx) + abs(a.ty - b.qy) +
                  kReverseBias;
    return mid + (f <= r ? f : r);
}
