// Records shared by the recognition libraries (libglyphid, libseqread, libveltarec) and
// their callers. Their layout is the interface between those binaries: fields stay in
// this order with natural alignment. Usable from C (C11 or later) and C++.
//
// Conventions of every library:
//   - all exports have C linkage and the platform's default calling convention;
//   - integers are the fixed-width types given, except where a header says "long";
//   - characters are Shift-JIS (code page 932) codes and byte strings;
//   - coordinates are the caller's units (pixels, tablet units), y grows downwards;
//   - whoever allocates a record releases it: a library frees only what it returned
//     with a matching release call;
//   - the libraries keep process-wide state and take no locks: one caller at a time.
#ifndef TESSERA_RECORDS_H
#define TESSERA_RECORDS_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Point attribute bits of POINT_W::attr.
enum {
    PT_PENDOWN = 2, // first point of a stroke
    PT_PENUP = 4,   // last point of a stroke (a one-point stroke carries both)
    PT_INTERNAL = 8 // reserved for the classifier; 0 on input
};

// One input pen sample, in the caller's units, y downwards.
typedef struct POINT_W {
    int16_t x;
    int16_t y;
    uint8_t attr;
} POINT_W;

// One input pattern: num consecutive points, strokes in writing order. Owned by its creator.
typedef struct PATTERN_W {
    POINT_W* data;
    int32_t num;
} PATTERN_W;

// One recognition candidate. code holds a Shift-JIS double-byte code with the first
// byte in bits 8-15; a single-byte code has bits 8-15 clear. All zero = empty slot.
typedef struct CR_RESULT {
    int32_t pat_no;
    int32_t score;
    uint32_t code;
} CR_RESULT;

// A rectangle, used for the guide box.
typedef struct PAT_POS {
    int32_t maxx;
    int32_t maxy;
    int32_t minx;
    int32_t miny;
} PAT_POS;

// A point of a stroke given to the string recognizer and the service.
typedef struct tagPOINT {
    int32_t x;
    int32_t y;
} tagPOINT;

// A rectangle: character bounds, the guide box of the string recognizer.
typedef struct tagRECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
} tagRECT;

// A size: the estimated character size of a line.
typedef struct tagSIZE {
    int32_t cx;
    int32_t cy;
} tagSIZE;

#ifdef __cplusplus
} // extern "C"
#define TESSERA_STATIC_ASSERT(x) static_assert(x, #x)
#else
#define TESSERA_STATIC_ASSERT(x) _Static_assert(x, #x)
#endif

TESSERA_STATIC_ASSERT(sizeof(POINT_W) == 6 && offsetof(POINT_W, x) == 0 &&
                      offsetof(POINT_W, y) == 2 && offsetof(POINT_W, attr) == 4);
TESSERA_STATIC_ASSERT(offsetof(PATTERN_W, data) == 0 && offsetof(PATTERN_W, num) == sizeof(void*) &&
                      sizeof(PATTERN_W) == 2 * sizeof(void*));
TESSERA_STATIC_ASSERT(sizeof(CR_RESULT) == 12 && offsetof(CR_RESULT, pat_no) == 0 &&
                      offsetof(CR_RESULT, score) == 4 && offsetof(CR_RESULT, code) == 8);
TESSERA_STATIC_ASSERT(sizeof(PAT_POS) == 16 && offsetof(PAT_POS, maxx) == 0 &&
                      offsetof(PAT_POS, maxy) == 4 && offsetof(PAT_POS, minx) == 8 &&
                      offsetof(PAT_POS, miny) == 12);
TESSERA_STATIC_ASSERT(sizeof(tagPOINT) == 8 && offsetof(tagPOINT, y) == 4);
TESSERA_STATIC_ASSERT(sizeof(tagRECT) == 16 && offsetof(tagRECT, top) == 4 &&
                      offsetof(tagRECT, right) == 8 && offsetof(tagRECT, bottom) == 12);
TESSERA_STATIC_ASSERT(sizeof(tagSIZE) == 8 && offsetof(tagSIZE, cy) == 4);

#endif // TESSERA_RECORDS_H
