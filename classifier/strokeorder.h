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

// A pattern's stroke keys field by field, so that the costs of one written stroke against
// all of them are formed lane by lane (the loops over them vectorize).
struct KEY_COLUMNS {
    int sx[ORDER_MAXSTROKE], sy[ORDER_MAXSTROKE], ex[ORDER_MAXSTROKE], ey[ORDER_MAXSTROKE];
    int mx[ORDER_MAXSTROKE], my[ORDER_MAXSTROKE], qx[ORDER_MAXSTROKE], qy[ORDER_MAXSTROKE];
    int tx[ORDER_MAXSTROKE], ty[ORDER_MAXSTROKE];
};

inline void tocolumns(const STROKE_KEY* keys, int n, KEY_COLUMNS& c) {
    for (int b = 0; b < n; ++b) {
        const STROKE_KEY& k = keys[b];
        c.sx[b] = k.sx, c.sy[b] = k.sy, c.ex[b] = k.ex, c.ey[b] = k.ey, c.mx[b] = k.mx;
        c.my[b] = k.my, c.qx[b] = k.qx, c.qy[b] = k.qy, c.tx[b] = k.tx, c.ty[b] = k.ty;
    }
}

// How far written stroke a lies from each pattern stroke b of c, into row[0..n): its ends
// and quarter points taken the way round that fits better (ties to the way written), the
// middle point's distance (the same either way round) taken once.
inline void paircosts(const STROKE_KEY& a, const KEY_COLUMNS& c, int n, int* row) {
    using std::abs;
    for (int b = 0; b < n; ++b) {
        const int mid = abs(a.mx - c.mx[b]) + abs(a.my - c.my[b]);
        const int f = abs(a.sx - c.sx[b]) + abs(a.sy - c.sy[b]) + abs(a.ex - c.ex[b]) +
                      abs(a.ey - c.ey[b]) + abs(a.qx - c.qx[b]) + abs(a.qy - c.qy[b]) +
                      abs(a.tx - c.tx[b]) + abs(a.ty - c.ty[b]);
        const int r = abs(a.sx - c.ex[b]) + abs(a.sy - c.ey[b]) + abs(a.ex - c.sx[b]) +
                      abs(a.ey - c.sy[b]) + abs(a.qx - c.tx[b]) + abs(a.qy - c.ty[b]) +
                      abs(a.tx - c.qx[b]) + abs(a.ty - c.qy[b]) + kReverseBias;
        row[b] = mid + (f <= r ? f : r);
    }
}
