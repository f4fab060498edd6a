// Coarse classification: preselects the dictionary characters whose stroke statistics are
// compatible with a written pattern and whose directional templates lie nearest to it.
//
// Dictionary file (little-endian, no header, entries until the end of the file):
//   code u16, ONLINE_CC_DIC 9 bytes, template count u8 (1..255), count x 72 template bytes.
// Entries are stored in ascending k_max and, within one k_max, ascending ylen_min.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classifier/normalize.h"
#include "tessera/records.h"

// Stroke statistics ranges of one entry, in file order.
struct ONLINE_CC_DIC {
    uint8_t k_max; // stroke count group
    uint8_t xlen_max;
    uint8_t xlen_min;
    uint8_t ylen_max;
    uint8_t ylen_min;
    uint8_t xturn_max;
    uint8_t xturn_min;
    uint8_t yturn_max;
    uint8_t yturn_min;
};
static_assert(sizeof(ONLINE_CC_DIC) == 9);

// One directional template.
struct OFFLINE_CC_DIC {
    DFV dfv;
};

// A 16-bit character code (Shift-JIS, first byte high).
struct jchar {
    uint16_t w;
    uint8_t low() const { return static_cast<uint8_t>(w & 0xFF); }
    uint8_t high() const { return static_cast<uint8_t>(w >> 8); }
};

// One dictionary entry; the entries form a list in file order.
struct tagUNION_CC_DIC {
    OFFLINE_CC_DIC* offcd; // offcd_num templates
    ONLINE_CC_DIC oncd;
    tagUNION_CC_DIC* previous;
    tagUNION_CC_DIC* next;
    jchar jiscode;
    uint8_t offcd_num;
    int32_t order; // position in the file, 0 for the first entry
};

struct CANDIDATE {
    int32_t distance;
    jchar jiscode;
    uint16_t dummy;
};

// Node of the ranking tree.
struct tagCAND_LIST {
    tagCAND_LIST* smaller;
    tagCAND_LIST* larger;
    CANDIDATE cand;
    int16_t smaller_num; // nodes counted in the smaller subtree
};

// Hashed search table over an array of n codes.
struct CANDTBL {
    int16_t* linktbl; // n chain links
    int16_t* hashtbl; // 512 bucket heads, -1 = empty
};

// Loader results.
enum : int {
    CCDIC_OK = 0,
    CCDIC_NOFILE = 1,   // the file cannot be opened
    CCDIC_NOMEMORY = 2, // out of memory (or more entries than a search table can index)
    CCDIC_SHORT = 3,    // the file ends inside an entry
    CCDIC_NOTEMPLATE = 4
};

// Process-wide dictionary state.
extern tagUNION_CC_DIC** _dicptr; // heads of the stroke count groups (index 0 unused)
extern int _stnum_max;            // entries of _dicptr
extern int _category_count;       // entries read
extern uint16_t* _category;       // codes of the entries, in list order
extern CANDTBL _categtbl;         // search table over _category
extern char* _indicfname;         // copy of the file name

// Loads the coarse dictionary (the square table must exist). A null file name makes an
// empty dictionary. On failure the dictionary loaded before stays in use.
int LoadCoarseClassificationDic(const char* fn);
// Frees the dictionary entries, group table, category table and file name copy.
void FreeCoarseClassificationDic();
// True while a dictionary (possibly empty) is loaded.
bool IsCoarseClassificationLoaded();

// Builds the square table and loads the file: 0, 4 (no memory for the square table) or
// 5 (the dictionary does not load). A null file name gives an empty dictionary. On any
// error everything is released.
int InitCoarseClassification(const char* fn);
void ReleaseCoarseClassification();

// Writes up to num codes (and distances) of the entries nearest to pat, in ascending
// distance; cands and dist may be null. Returns the count, 0 for an input without points,
// -1 without a dictionary, -2 when the features cannot be computed, -3 out of memory.
int CoarseClassify(const PATTERN_W* pat, uint16_t* cands, int32_t* dist, int num);

// CoarseClassify with each direction of the templates and of the input added to its
// opposite, so that strokes drawn from their other end lie as near as those drawn the
// usual way.
int CoarseClassifyAnyDirection(const PATTERN_W* pat, uint16_t* cands, int32_t* dist, int num);

// CoarseClassify over the entries of every stroke count group, so that writing with
// strokes lifted at corners (more strokes than the character has) finds it too. The
// directional features take in the pen-up moves between strokes as well, so they change
// little when strokes are joined or split.
int CoarseClassifyAnyCount(const PATTERN_W* pat, uint16_t* cands, int32_t* dist, int num);

// CoarseClassifyAnyCount ranked as CoarseClassifyAnyDirection ranks: without the direction
// of travel, for writing whose strokes may be joined in any order and direction.
int CoarseClassifyAnyCountAnyDirection(const PATTERN_W* pat, uint16_t* cands, int32_t* dist,
                                       int num);

// Stroke statistics test of an entry against an input, with the fixed looseness.
bool turn_ok(const tagUNION_CC_DIC* e, const STDATA* s);
// Smallest squared Euclidean distance between v and the entry's templates.
int32_t DfvDistance(const tagUNION_CC_DIC* e, const DFV* v);

// Ranking tree keeping the num smallest distances; node is a free node for the new entry.
// Returns true when the entry took the node.
bool registcand(tagCAND_LIST** root, tagCAND_LIST* node, int num, uint32_t code, int32_t distance);
// Writes up to num candidates in ascending distance (ties: the later offered first).
int ctreetobuf(const tagCAND_LIST* root, uint16_t* cands, int32_t* dist, int num);

// Candidate search table: 0 or 1 (out of memory, or n beyond a 16-bit index).
int InitCandSearchTable(CANDTBL* ht, const uint16_t* codes, int n);
// Index of code (low 16 bits) in codes, or -1.
int IsCandidate(const CANDTBL* ht, const uint16_t* codes, uint32_t code);
void FreeCandSearchTable(CANDTBL* ht);

// Writing dictionaries (for the dictionary compiler and tests).
struct CoarseDicEntry {
    uint16_t code = 0;
    ONLINE_CC_DIC oncd{};
    std::vector<DFV> templates; // 1..255
};

// Orders entries as the scan expects: ascending k_max, then ascending ylen_min, keeping the
// given order of equal keys.
void SortCoarseDicEntries(std::vector<CoarseDicEntry>& entries);
// Writes the entries in the given order: 0, 1 (cannot create the file), 3 (write error),
// 4 (an entry with 0 or more than 255 templates; nothing is written).
int WriteCoarseClassificationDic(const std::string& path,
                                 const std::vector<CoarseDicEntry>& entries);
