// Records shared by the recognition libraries, the recognition service and the
// handwriting box. Their layout is the interface between those binaries: fields stay
// in this order with natural alignment.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

// Point attribute bits of POINT_W::attr.
enum : uint8_t {
    PT_PENDOWN = 2, // first point of a stroke
    PT_PENUP = 4,   // last point of a stroke (a one-point stroke carries both)
    PT_INTERNAL = 8 // reserved for the classifier; 0 on input
};

// One input pen sample, in the caller's units, y downwards.
struct POINT_W {
    int16_t x;
    int16_t y;
    uint8_t attr;
};

// One input pattern: num consecutive points, strokes in writing order. Owned by its creator.
struct PATTERN_W {
    POINT_W* data;
    int32_t num;
};

// One recognition candidate. code holds a Shift-JIS double-byte code with the first
// byte in bits 8-15; a single-byte code has bits 8-15 clear. All zero = empty slot.
struct CR_RESULT {
    int32_t pat_no;
    int32_t score;
    uint32_t code;
};

// A rectangle, used for the guide box.
struct PAT_POS {
    int32_t maxx;
    int32_t maxy;
    int32_t minx;
    int32_t miny;
};

struct tagPOINT {
    int32_t x;
    int32_t y;
};

struct tagRECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct tagSIZE {
    int32_t cx;
    int32_t cy;
};

} // extern "C"

static_assert(sizeof(POINT_W) == 6 && offsetof(POINT_W, x) == 0 && offsetof(POINT_W, y) == 2 &&
              offsetof(POINT_W, attr) == 4);
static_assert(offsetof(PATTERN_W, data) == 0 && offsetof(PATTERN_W, num) == sizeof(void*) &&
              sizeof(PATTERN_W) == 2 * sizeof(void*));
static_assert(sizeof(CR_RESULT) == 12 && offsetof(CR_RESULT, pat_no) == 0 &&
              offsetof(CR_RESULT, score) == 4 && offsetof(CR_RESULT, code) == 8);
static_assert(sizeof(PAT_POS) == 16 && offsetof(PAT_POS, maxx) == 0 &&
              offsetof(PAT_POS, maxy) == 4 && offsetof(PAT_POS, minx) == 8 &&
              offsetof(PAT_POS, miny) == 12);
static_assert(sizeof(tagPOINT) == 8 && offsetof(tagPOINT, y) == 4);
static_assert(sizeof(tagRECT) == 16 && offsetof(tagRECT, top) == 4 &&
              offsetof(tagRECT, right) == 8 && offsetof(tagRECT, bottom) == 12);
static_assert(sizeof(tagSIZE) == 8 && offsetof(tagSIZE, cy) == 4);
