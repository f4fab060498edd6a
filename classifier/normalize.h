// Coarse description of one written character: stroke statistics and an 8-direction
// feature vector over 3 x 3 overlapping cells, computed with integer arithmetic only.
// The coarse classification dictionary holds templates made by this same computation,
// so every rounding and every order of operations here is part of the dictionary format.
#pragma once

#include <cstdint>

#include "tessera/records.h"

// Stroke statistics of a character.
struct STDATA {
    int32_t stnum; // number of strokes
    int32_t xlen;  // accumulated horizontal pen travel (scaled)
    int32_t ylen;  // accumulated vertical pen travel (scaled)
    int32_t xturn; // horizontal runs of at least 7 units
    int32_t yturn; // vertical runs of at least 7 units
};

// Directional feature vector: index = (cell row * 3 + cell column) * 8 + direction bin.
struct DFV {
    uint8_t v[72];
};

struct UDATA {
    STDATA stdata;
    DFV dfv;
};

// Accumulators of the feature vector while it is extracted, in DFV order.
struct DFVDATA {
    uint32_t v[72];
};

// One segment's contribution: four squared amounts and the bins they go to
// (horizontal, vertical, first diagonal, second diagonal).
struct DIRECT8 {
    uint32_t amount[4];
    int32_t d[4];
};

// Weights of one 16-unit block for the four feature cells around it.
struct WEIGHT {
    int32_t ul;
    int32_t ur;
    int32_t ll;
    int32_t lr;
};

// Quarter weights of a block, measured from the block corner nearest the centre of the
// feature cell being fed (row = vertical quarter, column = horizontal quarter).
extern const int32_t weight_tl[4][4];

// Integer square root by a bounded Newton iteration: 0 for 0, else
// r = 2n, up to 10 steps of r = (r + 16n / r) / 2, result (r + 2) >> 2.
long root(long n);

// root(dx^2 + dy^2).
int GetLengthOfObliqueSide(int dx, int dy);

// Table of the squares of 0..255, used by the coarse distance; null until built.
extern uint32_t* _puSquareByte;
// Builds the square table if it does not exist; 0 = ready, 1 = out of memory.
int MakeSquareTable();
void FreeSquareTable();

// The single steps of UnionData, exposed for tests and tools. All work on a point array
// in place (pts, num); attr keeps the flags 2 and 4 (and 8 as the feature-point mark).

// Maps the points into 0..127 keeping the aspect ratio, top-left aligned; attr &= 6.
// sizex / sizey receive the normalized coordinate of the rightmost / lowest point plus 1.
void LinearNormalize(POINT_W* pts, int num, int* sizex, int* sizey);
// Marks stroke ends and corner points with 8 and keeps only those, in order; returns the
// new count.
int GetFp(POINT_W* pts, int num);
// Stroke statistics of a reduced pattern (travel not yet scaled by the size).
void StData(const POINT_W* pts, int num, STDATA* st);
// Line-density normalization onto 0..63; 0 = done, 1 = out of memory.
int NonLinearNormalize(POINT_W* pts, int num);
// Directional features of a pattern on the 64-unit square.
void DfData8Direction(const POINT_W* pts, int num, DFV* dfv);

// Computes the coarse description of a pattern; 0 = done, 1 = out of memory (or no
// points). The input is not changed. On failure udata must not be used.
int UnionData(const PATTERN_W* ptnw, UDATA* udata);
