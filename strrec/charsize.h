// Estimation of the size of one character of a written line, in the writer's units, from
// the x extents of the ink runs and the heights of the ink under them.
#pragma once

#include "strrec/strokes.h"

#include <cstdint>

enum : int { CharSizeTmp = 50 }; // size used when the estimate is not positive

// One ink segment of the working list.
struct DrawPoint {
    DrawPoint* previous;
    DrawPoint* forward;
    tagPOINT ForPoint; // end point
    tagPOINT PrePoint; // start point
    int16_t StrokeNum;
};

constexpr int kSizeSlots = 200;

struct TYPESIZE {
    int16_t DataWide[kSizeSlots];
    int16_t DataHigh[kSizeSlots];
    int16_t WideCount;
    int16_t HighCount;
    int16_t* nHistXData;
    int16_t* nHistYData;
    int16_t nStStroke;
    int16_t nEdStroke;
    int16_t nMojiSize;
    tagPOINT MatSize;
};

// The estimated character size of the stroke list starting at `first` (linked through
// next); 0 when no stroke has two points or the coordinates are too large to histogram.
int nGetCharacterSize(const tagMYSTROKE* first);

// Size from collected widths and heights: spread of the widths plus the outlier-filtered
// average of widths and heights (exposed for tests).
int GetCharSize(TYPESIZE& ts);
int GetAverage(const TYPESIZE& ts);
