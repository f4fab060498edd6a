// Strokes of a recognition object as a singly linked list, groups of consecutive strokes
// (patterns) that point into that list, the geometry computed on them, and the
// conversion of a stroke run into the classifier's input pattern.
#pragma once

#include "tessera/records.h"

#include <cstdint>

enum : int { RIGHT = 0, SR_FAIL = -1, SR_BAD_RECT = -100 };

struct tagMYSTROKE {
    uint16_t unStrokeNo;
    int32_t iPointCount;
    int32_t iStrokeLen;
    tagRECT rcBound;
    tagPOINT xyCenter;
    tagPOINT xyStart;
    tagPOINT xyEnd;
    tagPOINT* pxyData; // owned
    tagMYSTROKE* next;
};

// A pattern is the run of the shared stroke list from head up to (not including) the
// stroke stored in *tail, where tail is the address of the run's last `next` field.
struct tagMYPATTERN {
    uint16_t unCode;
    int32_t iStrokeCount;
    tagRECT rcBound;
    tagMYSTROKE* head;
    tagMYSTROKE** tail;
    tagMYPATTERN* next;
};

// Geometry.
int iGetCityBlockDist(int x1, int y1, int x2, int y2);
int iCheckRectangle(const tagRECT& rc);
int iUpdateRect(tagRECT& Update, const tagRECT& ToBeIncluded);
long lGetRectangleArea(const tagRECT& rc);
long lGetAreaOfOverlappedRect(const tagRECT& rc1, const tagRECT& rc2);
int iGetOverlappingRateOfStrokes(const tagMYSTROKE* stroke1, const tagMYSTROKE* stroke2);

// Point sequences (pSeq non-null, iPointCount >= 1; violations give SR_FAIL).
int iGetStrokeLength(const tagPOINT* pSeq, int iPointCount);
int iGetStrokeBound(tagRECT& rcBound, const tagPOINT* pSeq, int iPointCount);
int iGetStrokeCenter(tagPOINT& pCenter, const tagPOINT* pSeq, int iPointCount);
int iGetStrokeCenterX(const tagPOINT* posxy, int iPointCount);
int iGetStrokeCenterY(const tagPOINT* posxy, int iPointCount);
tagPOINT* pAllocPointSeq(int iPointCount);
void vFreePointSeq(tagPOINT* pStroke);

// Stroke records and lists.
int iSetStrokeAddInfo(tagMYSTROKE* stroke, tagPOINT* posxy, int iPointCount);
tagMYSTROKE* pAddStroke(tagMYSTROKE* pPrev, const tagPOINT* pSeq, int iptc);
int unDeleteStroke(tagMYSTROKE* prevstroke);
int iGetStrokeCountOfList(const tagMYSTROKE* strHead);
void vFreeStrokeList(tagMYSTROKE* strokeList);

// Pattern records and lists.
int iSetPatternAddInfo(tagMYPATTERN* pattern, tagMYSTROKE* strokelist);
int iGetStrokeCountOfPattern(const tagMYPATTERN* pattern);
int iGetPointCountOfPattern(const tagMYPATTERN* pattern);
int iGetTotalStrokeLenOfPattern(const tagMYPATTERN* pattern);
int iGetPatternBound(tagRECT* rcBound, const tagMYPATTERN* pattern);
tagMYPATTERN* pAddPattern(tagMYPATTERN* prevpat, tagMYSTROKE* strokeList);
void vDeletePattern(tagMYPATTERN* prevpat);
int iGetPatternCountOfList(const tagMYPATTERN* patHead);
void vFreePatternList(tagMYPATTERN* patList);

// Classifier input. The point array carries three zero points behind the num counted.
PATTERN_W* pTransMYPATtoPATW(const tagMYPATTERN* ppat);
void vDeletePATW(PATTERN_W* pat_w);

// Writes the points of the stroke run [first, stop) into dst as classifier points: x and y
// cut to 16 bits, attr 2 on each stroke's first point and bit 4 on its last. Returns the
// number of points written; dst must hold iCountPointsOfRun(first, stop) points.
int iCountPointsOfRun(const tagMYSTROKE* first, const tagMYSTROKE* stop);
int iCopyRunToPointW(POINT_W* dst, const tagMYSTROKE* first, const tagMYSTROKE* stop);
