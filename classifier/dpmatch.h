// DP matching: the exhaustive point correspondence of a dictionary and an input pattern
// over the full grid of point pairs, maximizing the mean matching degree of a monotone
// path under a length-imbalance limit, a stroke-count limit and a running threshold.
// Rows can be resumed, so a pattern matched piece by piece keeps the rows of its prefix.
#pragma once

#include "classifier/crpattern.h"
#include "classifier/strokematch.h"

#include <cstdint>

extern "C" {

// How the best path enters a cell.
enum { MDT_DIC = 0, MDT_IN = 1, MDT_BOTH = 2, MDT_NONE = 3 };

// One grid cell, for dictionary point d (row) and input point i (column).
struct MDTBL {
    int32_t score;      // sum of matching degrees along the best path into this cell
    int16_t _tmp_score; // work field
    int16_t dir;        // MDT_*
    int16_t np_num;     // steps on the path from (0, 0)
    int16_t overlen;    // running length imbalance
    int16_t _length;    // work field
    int16_t dic_stroke; // dictionary strokes begun up to this row
};

struct DPM_PARAM {
    int32_t min_score;  // minimum mean matching degree of a path
    int32_t rej_start;  // the minimum applies from this dictionary index on
    int32_t maxoverlen; // a step is allowed while the imbalance stays below this
};

// Fills the grid (dic->num rows of in->num cells, row-major) from row start_dic on and
// returns the mean matching degree of the best complete path, 0 when none is admissible.
int mkmdtbl(MDTBL* mdt, const PATTERN_B* dic, int start_dic, const PATTERN_B* in);
// Traces the best path back into npt (num 0 when the last cell is unreachable).
void mdttonpt(NP_TABLE* npt, const MDTBL* mdt, int dic_num, int in_num);
// Number of leading rows that a fill for dictionary pattern a shares with one for b over
// the same input: rows depend only on the points up to their own, and on whether the
// pattern has a single point.
int mdtsharedrows(const PATTERN_B* a, const PATTERN_B* b);
void getdpmparam(DPM_PARAM* param);
void setdpmparam(const DPM_PARAM* param);

} // extern "C"
