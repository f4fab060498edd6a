// The recognition core: opens the tables and the pattern dictionary, converts one input
// pattern, matches it against every eligible category (building composite patterns from
// their parts on the fly), adjusts scores for position-sensitive and small-size
// categories and keeps the best candidates. Recognition runs as an incremental job.
#pragma once

#include "classifier/crdic.h"
#include "classifier/crpattern.h"
#include "classifier/dpmatch.h"
#include "classifier/strokematch.h"
#include "tessera/records.h"

#include <cstdint>

extern "C" {

// Error codes of the core.
enum { CR_OK = 0, CR_NOMEMORY = 1, CR_EMPTY = 2, CR_FILEERROR = 3, CR_BADSTATE = 5 };

// Category modes.
enum { CRMODE_ALL = 0, CRMODE_FILTER = 2 };

// Matching flags (a pass filter's result becomes the category's flag).
enum { MFLAG_WALK = 0, MFLAG_WALK_OR_DP = -1, MFLAG_DP = -2 };

// Pass filter: nonzero accepts the code; the value is the category's matching flag.
typedef int (*CRFILTERPROC)(uint16_t code, void* param);

struct CRFILTER {
    CRFILTERPROC proc;
    void* param;
};

struct tagRESLINK {
    CR_RESULT res;
    tagRESLINK* prev;
    tagRESLINK* next;
};

// One node of a category's flattened composition tree.
struct CAT_DATA {
    int next_step; // nodes of the subtree rooted here, itself included
    uint8_t status;
    uint8_t x, y;   // upper-left corner of the node's box in the character square
    uint8_t sx, sy; // scale from the part's own box to its place, in 1/128
    PATTERN_B* org_pat;
    PATDIC patdic; // work copies placed into the node's box
};

struct tagREVLIST {
    int next_p;
    const tagREVLIST* next;
};

struct CATMATCH {
    MDTBL* mdt;
    NP_TABLE npt;
    PATTERN_B in;
    CAT_DATA* cat_data;
    int table_size;
    int score;
    int mflag;
    POINT_B* buf; // composed pattern buffer
    int buf_size; // its capacity in points
    // Order-free matching: each pattern is also matched against the input with its strokes
    // put into the pattern's order and direction (when that differs from the writing).
    int anyorder;       // ORDER_*
    MDTBL* mdt_order;   // DP grid of those matches; mdt keeps the rows of the writing
    POINT_B* order_buf; // the input rewritten, room for in.num points
    // Matching across stroke counts (null when not asked for): the input rewritten to a
    // pattern's stroke count and order; room for count_size points.
    POINT_B* count_buf;
    int count_size;
};

struct CRSTATE {
    PAT_POS pos; // input box, first in input units, then in guide-box units
    int ctg_no;  // next category to examine
    int pat_size;
    PATTERN_B inpd;
    POINT_B* tmp_dic_data;
    int tmp_dic_size; // capacity of tmp_dic_data in points
    NODE_PAIR* npt_pair;
    CAT_DATA* table;
    int table_cap;       // capacity of table in entries
    POINT_B* order_buf;  // order-free matching: the input rewritten (null when not used)
    POINT_B* count_buf;  // matching across stroke counts: the input rewritten (or null)
    int count_size;      // its room in points
    tagRESLINK* reslink; // ring head followed by res_count nodes
    CR_RESULT* res_buf;
    int res_count;
};

// Process-wide settings of the core.
extern int _crmode;
extern CRFILTER _crpassflt;
extern PAT_POS _frame;
extern int _small_char_size;
extern int _size_bonus;
extern int _size_penalty;
extern unsigned int _cr_work_size;
extern int _maxctgtblsize;
// Order-free matching: a match of the input put into another stroke order loses this much
// per stroke written before an earlier one, and per stroke drawn from its other end.
extern int _order_penalty;
extern int _reverse_penalty;
// Matching across stroke counts: a match of the input rewritten to a pattern's stroke count
// loses this much per stroke joined and per stroke split.
extern int _count_penalty;

int OpenCRSystem(const char* fn);
void CloseCRSystem(void);
void SetCRMode(int mode);
void SetCRPassFilter(CRFILTERPROC proc, void* param);
// Order filter results: a category is matched in the order written only, also with the
// strokes put into each pattern's order and direction, or only so (its match as written
// is known from elsewhere).
// Added to an order filter result (or alone): the category is also (or only) matched
// across stroke counts, with the input rewritten where it joins or splits strokes; it is
// then matched also when the input has more strokes than any of its patterns (up to
// COUNT_MAXRUN times as many), though not as written.
enum { ORDER_WRITTEN = 0, ORDER_ALSO = 1, ORDER_ONLY = 2, ORDER_COUNTS = 4 };
// Without an order filter (the default) every category is matched as written.
void SetCROrderFilter(CRFILTERPROC proc, void* param);
void SetGuideBoxRect(const PAT_POS* pos);
// The box of the writing as written (input units) when the patterns recognized next are a
// conditioned copy of it on another grid: position-sensitive and small-size categories are
// judged by it. Null returns to the box of the pattern itself.
void SetCRWrittenBox(const PAT_POS* box);
// Limits recognition to the categories of the n codes (the pass filter still decides about
// each), so that a filter accepting only these codes need not be asked about every other
// category; null returns to visiting every category. The codes are looked up at once.
void SetCRCandidateCodes(const uint16_t* codes, int n);

// Recognizes pat into res (n records, falling score order, the rest zero). 0 success,
// 1 out of memory, 2 empty input, 5 a job is running or a null pointer or n below 1.
int RecognizeCP(const PATTERN_W* pat, CR_RESULT* res, int n);

int InitBGRecognize(CRSTATE* crs, const PATTERN_W* pat, CR_RESULT* res, int n);
int BGRecognizeCP(CRSTATE* crs, int budget); // 1 while categories remain, else 0
void CloseBGRecognize(CRSTATE* crs);

// Building blocks of the category matcher.
void InitCatTable(const tagCATEGORY* kj, CAT_DATA* table, int* n);
void InitCatTableSub(const tagCATEGORY* kj, CAT_DATA* table, int* n, int x, int y, int w, int h);
int CopyPatternToBox2(PATTERN_B* dst, const PATTERN_B* src, int x, int y, int sx, int sy);
void AddPattern(PATTERN_B* dst, const PATTERN_B* src);
int CategoryMatching(CATMATCH* cm, PATTERN_B* pat);
int CategoryMatchingSub(CATMATCH* cm, PATTERN_B* pat, int start, int node, const tagREVLIST* rev);
int Matching(CATMATCH* cm, const PATTERN_B* dic, int start);

// Result ring of n nodes after head, best first.
void setresult(tagRESLINK* head, int score, uint32_t code, int ctg_no);

} // extern "C"
