// Stroke correspondence matching: prepares input patterns (scaling, corner points,
// lengths and directions), pairs the points of a dictionary pattern with those of an
// input pattern by a greedy monotone walk, and evaluates the pairing segment by segment.
// Scores run from 0 to 1024. Integer arithmetic only, on two process-global tables.
#pragma once

#include "classifier/crpattern.h"
#include "tessera/records.h"

#include <cstdint>

extern "C" {

// Matching parameters, process-global.
struct CR_INFO {
    int32_t minarc;   // corner detection: minimum distance of a corner from the chord
    int32_t minsc;    // rejection threshold (0..1024)
    int32_t crmode;   // 0: a dictionary pattern may have more strokes; 1: counts must be equal
    int32_t rejstart; // early rejection from this dictionary index on
    int32_t overlen;  // one-sided run length beyond which the walk takes the run back
    int32_t lastover; // one-sided run length at the end of one pattern that rejects
    int32_t minedge;  // corner detection: minimum distance of a hook from the chord ends
};

// One point correspondence.
struct NODE_PAIR {
    int32_t dic;   // dictionary point index
    int32_t in;    // input point index
    int32_t attr;  // 1 on pairs that bound an evaluated segment
    int32_t score; // matching degree of the pair
};

// The pair table; the caller owns the array and sizes it for
// input points + dictionary points.
struct NP_TABLE {
    int32_t num;
    NODE_PAIR* pair;
};

enum { MaxDist = 181 };

// Tables. 0 = ready, 1 = out of memory; building an existing table again does nothing.
int initdirtable(void);
int initcostable(void);
void closedirtable(void);
void closecostable(void);
int initcrlib(void); // both tables; nonzero if either failed
void closecrlib(void);

// Direction code 0..1023 of (dx, dy): 0 = +x, 256 = +y (down). Components clamp to 127.
int getdirection(int dx, int dy);
// The cosine table (1024 entries) while initcostable's table stands, else null.
extern int16_t* _cos_table;
// The cosine of a direction difference diff in 0..1023, computed, in 1/1024 units.
int cosvalue(int diff);
// Cosine table entry for a direction difference (0..1023), in 1/1024 units. Inline, as the
// walk and the evaluation take it for every point pair they look at.
inline int getcosine(int diff) {
    diff = (diff < 0 ? -diff : diff) & 1023;
    return _cos_table ? _cos_table[diff] : cosvalue(diff);
}

// Pattern preparation.
void setlen(PATTERN_B* pat);
void getstroke(PATTERN_B* pat);
void setdirection(PATTERN_B* pat);
void setfeature(PATTERN_B* pat); // setlen, getstroke, setdirection
void getpatpos(PAT_POS* pos, const PATTERN_W* pat);
// Scales in into the 0..128 square given the box pos; out must have room for in->num points.
void seikika(const PAT_POS* pos, const PATTERN_W* in, PATTERN_W* out);
void normalize(PAT_POS* pos, const PATTERN_W* in, PATTERN_W* out);
void maxarc(POINT_W* p, int from, int to);
void setchptattr(PATTERN_W* pat);
// 0 done, 1 out of memory, 2 no points. Allocates out->data; release with releasepat.
int createpat(PAT_POS* pos, const PATTERN_W* id, PATTERN_B* out);
void releasepat(PATTERN_B* pat);

// Matching degree of dictionary point dic[d] and input point in[i] (inline, as getcosine).
inline int mdcal(const POINT_B* dic, const POINT_B* in, int d, int i) {
    const POINT_B& a = dic[d];
    const POINT_B& b = in[i];
    const int c = getcosine(a.dir - b.dir);
    const int dy = a.y - b.y, dx = a.x - b.x;
    const int dist = (dy < 0 ? -dy : dy) + (dx < 0 ? -dx : dx);
    if (c >= 0) return (c * (256 - dist)) >> 8;
    return (c * dist) >> 8;
}
int mdcalus(const POINT_B* dic, const POINT_B* in, int d, int i); // position only

int ltmatching(NP_TABLE* pl, const PATTERN_B* dic, const PATTERN_B* in);
int hyouka(NP_TABLE* npt, const PATTERN_B* dic, const PATTERN_B* in);
int evaluate(NP_TABLE* npt, const PATTERN_B* dic, const PATTERN_B* in);
int iscross(const PATTERN_B* in, int p1, int p2);

void setcrinfo(const CR_INFO* info);
void getcrinfo(CR_INFO* info);
int settekitoflag(int flag); // returns the previous value
int gettekitoflag(void);

} // extern "C"
