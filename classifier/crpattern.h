// Normalized patterns: model strokes of the pattern dictionary and prepared input patterns,
// both on the 0..128 square with per-point segment lengths and direction codes.
#pragma once

#include "tessera/records.h"

#include <cstddef>
#include <cstdint>

extern "C" {

// Point flags of POINT_B::attr.
enum : uint8_t {
    PB_CROSSCHECK = 0x01, // a crossing check is asked for at this point (partner in bits 3-4)
    PB_PENDOWN = 0x02,    // first point of a stroke
    PB_PENUP = 0x04,      // last point of a stroke
    PB_FEATURE = 0x08,    // feature point (only while a pattern is prepared)
    PB_PARTNER_MASK = 0x18,
    PB_SEGSTART = 0x20, // segment boundaries are looked for at stroke starts
    PB_NODIR = 0x80     // the segment ending here has no usable direction
};

#pragma pack(push, 2)

// One point of a normalized pattern.
struct POINT_B {
    uint8_t x;
    uint8_t y;
    uint8_t l;    // length of the segment from the previous point
    uint8_t attr; // point flags
    int16_t dir;  // direction code of the segment from the previous point (1024 per turn)
    int16_t score;
};

// One normalized pattern.
struct PATTERN_B {
    POINT_B* data;
    PAT_POS pos;
    uint16_t code;
    int16_t num;    // point count
    int16_t len;    // sum of l over every point but the first
    int16_t stroke; // number of strokes
};

#pragma pack(pop)

} // extern "C"

static_assert(sizeof(POINT_B) == 8 && offsetof(POINT_B, l) == 2 && offsetof(POINT_B, attr) == 3 &&
              offsetof(POINT_B, dir) == 4 && offsetof(POINT_B, score) == 6);
static_assert(offsetof(PATTERN_B, pos) == sizeof(void*) &&
              offsetof(PATTERN_B, code) == sizeof(void*) + 16 &&
              offsetof(PATTERN_B, num) == sizeof(void*) + 18 &&
              offsetof(PATTERN_B, stroke) == sizeof(void*) + 22 &&
              sizeof(PATTERN_B) == sizeof(void*) + 24);
