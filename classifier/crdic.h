// The pattern dictionary: categories with their model patterns, composites built from two
// parts, the binary file format (loader and writer), the length and box-coordinate tables
// that normalized patterns rely on, and the work area of a recognition.
#pragma once

#include "classifier/crpattern.h"

#include <cstddef>
#include <cstdint>

extern "C" {

// Category status flags.
enum : uint8_t {
    CTG_COMPOSITE = 1,   // made of the two parts in div (the first written first)
    CTG_ANYORDER = 2,    // the parts may also be written second part first
    CTG_POSITIONAL = 8,  // must lie in the guide-box region of the first div entry
    CTG_SMALLSIZE = 128, // receives the small-character bonus or penalty
};

// Error codes of the dictionary functions.
enum { CRDIC_OK = 0, CRDIC_NOMEMORY = 1, CRDIC_FILE = 3, CRDIC_BADARG = 5 };

struct tagCATEGORY;

#pragma pack(push, 2)

struct PATDIC {
    int16_t count;
    PATTERN_B* pat;
};

// One part of a composite. pos: upper-left corner (x high nibble, y low nibble);
// size: width high nibble, height low nibble; both box-coordinate indexes.
struct DIVINFO {
    tagCATEGORY* part;
    uint8_t pos;
    uint8_t size;
};

struct tagCATEGORY {
    int16_t ctg_no;
    uint16_t code; // Shift-JIS code; 0 = part only
    uint8_t status;
    uint8_t size; // own box: width index high nibble, height index low nibble
    PATDIC patdic;
    DIVINFO div[2];
};

struct CRDIC {
    tagCATEGORY** ctg;
    int32_t count;         // categories including category 0
    int32_t maxctgtblsize; // largest composition tree
    int32_t maxpointcount; // largest point count of a pattern built for any category
};

#pragma pack(pop)

// Limits a loadable dictionary keeps, so that every buffer sized from it stays bounded.
enum {
    CRDIC_MAX_TREE = 1024,   // nodes of one composition tree
    CRDIC_MAX_POINTS = 4096, // points of one composed pattern
};

extern CRDIC _crdic;                   // the dictionary in use
extern unsigned int _crdic_generation; // changes whenever _crdic is replaced or freed
extern uint8_t** _length_table;        // rows 0..128, row i holding entries 0..i
extern int _xy_table[16];              // box coordinate of each 4-bit index
extern unsigned char* _work_data;      // work area
extern unsigned int _work_size;
extern unsigned int _work_cur;

// Tables.
int MakeLengthTable(void); // 1 out of memory, else 0
void FreeLengthTable(void);
uint8_t GetLength(int dx, int dy);
void calcxytable(void);

// Loads fn (null: the empty dictionary holding only category 0) into dic, or, for a null
// dic, replaces the process dictionary. 0, 1 out of memory, 3 file missing, cut short or
// malformed. On error nothing is replaced.
int LoadCRDictionary(const char* fn, CRDIC* dic);
void FreeCRDictionary(CRDIC* dic);
int GetMaxPointCount(const tagCATEGORY* kj);
int GetMaxStrokeCount(const tagCATEGORY* kj);
int getctsize(const tagCATEGORY* kj);
void SetPatternLength(PATTERN_B* pat);
void setctgnum(CRDIC* dic);

// Building a dictionary in memory (for writing it, or for use as is). Everything allocated
// here is released by FreeCRDictionary.
// Allocates categories 0..n (count n + 1), zeroed, size 255, numbered, parts at category 0.
// 0, 1 out of memory, 5 n outside 0..65535.
int NewCRDictionary(CRDIC* dic, int n);
// Allocates count zeroed patterns for kj (replacing none: kj must have no patterns yet).
int NewCategoryPatterns(tagCATEGORY* kj, int count);
// Allocates num zeroed points for pat (pat must have none yet).
int NewPatternPoints(PATTERN_B* pat, int num);
// Recomputes maxctgtblsize and maxpointcount; 3 when a part cycle or a limit is hit.
int UpdateCRDictionaryLimits(CRDIC* dic);

// Writes categories 1..count-1 of dic in the file format. 0, 1 out of memory, 3 cannot
// write, 5 the dictionary cannot be stored (part outside the table, too many categories,
// patterns or points).
int WriteCRDictionary(const char* fn, const CRDIC* dic);

// Work area: a block with a fill mark; allocation only moves the mark forward.
int InitWork(unsigned int size); // 1 out of memory
void CloseWork(void);
void* AllocWork(unsigned int size); // null when the block is exhausted or absent

} // extern "C"
