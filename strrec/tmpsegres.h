// Pre-segmentation of a line's strokes into character elements, with the element
// boundaries that no character may cross, and the geometric parameters it relies on.
#pragma once

#include "strrec/strokes.h"

// Thresholds in percent of the character width.
enum : int { Thresh_Separate = 130, Thresh_Center = 30, Thresh_Ovelap = 30, Thresh_Merge = 50 };

// Horizontal distance of the stroke centres in percent of the character width; 0 when a
// stroke is missing or the width is not positive.
int iGetStrokeDistParam(const tagMYSTROKE* pPrev, const tagMYSTROKE* pNext, const tagSIZE& size);
// Width of a box in percent of the character width.
int iGetBoxParam(const tagRECT& box, const tagSIZE& size);

// 1 definite boundary between the strokes, 2 possible boundary, 0 same character; 1 when
// there is no next stroke, -1 when there is no previous one.
int iIsSeparableStroke(const tagMYSTROKE* pPrev, const tagMYSTROKE* pNext, const tagSIZE& size);
// Horizontal overlap x 100 / (narrower width + 1); an overlap of exactly 0 counts as 1,
// disjoint boxes give 0.
long lGetOvelapRate(const tagRECT& box1, const tagRECT& box2);
bool bIsOverlappded(const tagRECT& box1, const tagRECT& box2);

// One element boundary.
struct CHARELM {
    int m_bOmit;          // 1 = removed by merging
    tagRECT m_rcBound;    // box of the element following this boundary
    tagMYSTROKE* m_pHead; // last stroke before the boundary (boundary 0: the list's dummy head)
};

class TMPSEGRES {
public:
    TMPSEGRES() = default;
    ~TMPSEGRES();
    TMPSEGRES(const TMPSEGRES&) = delete;
    TMPSEGRES& operator=(const TMPSEGRES&) = delete;

    // Cuts the strokes behind the dummy head `listHead` into elements. 0, or 2 when the
    // element array cannot grow (the segmentation is then empty).
    long lTemporarySegment(tagMYSTROKE* listHead, int iStrokeCount, const tagSIZE& size);
    void vClear();

    // Element n counted from 0: *pHead = its first stroke number, *pTail = last + 1.
    long lGetStrokeNoOfNthElm(int n, long* pHead, long* pTail) const;
    long lGetNthElmBound(int n, tagRECT* pBound) const;
    long lGetElmNoHead(long strokeNo) const;
    long lGetElmNoTail(long strokeNo) const;

    int iGetElmCount() const { return m_iElmCount; }
    const CHARELM* pGetElmData() const { return m_pElm; }
    int iGetSegCount() const { return m_iSegCount; }
    int iGetSegData(int n) const { return n >= 0 && n < m_iSegCount ? m_pSegData[n] : -1; }
    bool bIsElmHead(long strokeNo) const { return lGetElmNoHead(strokeNo) >= 0; }
    bool bIsElmTail(long strokeNo) const { return lGetElmNoTail(strokeNo) >= 0; }
    bool bIsSegmented() const { return m_pElm != nullptr && m_iElmCount > 0; }

    // First stroke of element n (from 0) and the stroke after its last one.
    tagMYSTROKE* pElmFirst(int n) const { return m_pElm[n].m_pHead->next; }
    tagMYSTROKE* pElmStop(int n) const { return m_pElm[n + 1].m_pHead->next; }
    // Last stroke of element k (1..N), i.e. the stroke before boundary k.
    tagMYSTROKE* pBoundaryStroke(int k) const { return m_pElm[k].m_pHead; }

private:
    bool bAppendBoundary(tagMYSTROKE* last);
    void m_lModify();
    long lStrokeNumber(const tagMYSTROKE* s) const;

    int m_iElmCount = 0;
    CHARELM* m_pElm = nullptr;
    int m_iElmCapacity = 0;
    int m_iSegCount = 0;
    int* m_pSegData = nullptr;
    tagMYSTROKE* m_pListHead = nullptr;
};
