#include "strrec/tmpsegres.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {
constexpr int kElmBlock = 48;

int ClampToInt(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}
} // namespace

int iGetStrokeDistParam(const tagMYSTROKE* pPrev, const tagMYSTROKE* pNext, const tagSIZE& size) {
    if (pPrev == nullptr || pNext == nullptr || size.cx <= 0) return 0;
    long long dx = static_cast<long long>(pNext->xyCenter.x) - pPrev->xyCenter.x;
    return ClampToInt(dx * 100 / size.cx);
}

int iGetBoxParam(const tagRECT& box, const tagSIZE& size) {
    if (size.cx <= 0) return 0;
    long long w = static_cast<long long>(box.right) - box.left;
    return ClampToInt(w * 100 / size.cx);
}

int iIsSeparableStroke(const tagMYSTROKE* pPrev, const tagMYSTROKE* pNext, const tagSIZE& size) {
    if (pNext == nullptr) return 1;
    if (pPrev == nullptr) return -1;
    int d = iGetStrokeDistParam(pPrev, pNext, size);
    if (std::abs(static_cast<long long>(d)) > Thresh_Separate) return 1;
    if (d > Thresh_Center && iGetOverlappingRateOfStrokes(pPrev, pNext) < Thresh_Ovelap) return 2;
    return 0;
}

long lGetOvelapRate(const tagRECT& box1, const tagRECT& box2) {
    long long overlap =
        static_cast<long long>(std::min(box1.right, box2.right)) - std::max(box1.left, box2.left);
    if (overlap < 0) return 0;
    if (overlap == 0) overlap = 1;
    long long narrower = std::min(static_cast<long long>(box1.right) - box1.left,
                                  static_cast<long long>(box2.right) - box2.left);
    return static_cast<long>(overlap * 100 / (narrower + 1));
}

bool bIsOverlappded(const tagRECT& box1, const tagRECT& box2) {
    return lGetOvelapRate(box1, box2) > Thresh_Merge;
}

TMPSEGRES::~TMPSEGRES() {
    vClear();
}

void TMPSEGRES::vClear() {
    delete[] m_pElm;
    delete[] m_pSegData;
    m_pElm = nullptr;
    m_pSegData = nullptr;
    m_iElmCount = m_iElmCapacity = m_iSegCount = 0;
    m_pListHead = nullptr;
}

// Appends boundary m_iElmCount + 1 behind stroke `last`, growing the array by a block.
bool TMPSEGRES::bAppendBoundary(tagMYSTROKE* last) {
    int index = m_iElmCount + 1;
    if (index >= m_iElmCapacity) {
        if (m_iElmCapacity > INT32_MAX - kElmBlock) return false;
        int capacity = m_iElmCapacity + kElmBlock;
        auto* grown = new (std::nothrow) CHARELM[capacity]();
        if (grown == nullptr) return false;
        std::copy(m_pElm, m_pElm + m_iElmCapacity, grown);
        delete[] m_pElm;
        m_pElm = grown;
        m_iElmCapacity = capacity;
    }
    m_pElm[index] = CHARELM{0, {0, 0, 0, 0}, last};
    m_iElmCount = index;
    return true;
}

long TMPSEGRES::lTemporarySegment(tagMYSTROKE* listHead, int iStrokeCount, const tagSIZE& size) {
    (void)iStrokeCount; // the list itself is walked
    vClear();
    if (listHead == nullptr) return 0;
    m_pElm = new (std::nothrow) CHARELM[kElmBlock]();
    if (m_pElm == nullptr) return 2;
    m_iElmCapacity = kElmBlock;
    m_pElm[0] = CHARELM{0, {0, 0, 0, 0}, listHead};
    m_pListHead = listHead;

    // A stroke that begins right of all the ink of the element so far may also begin a
    // new character, however close the two strokes' centres are: a voiced mark or the
    // right-hand stroke of a character lies at its right edge, next to the left edge of
    // the following character. The search joins the elements again where they are one.
    long long right = INT64_MIN;
    for (tagMYSTROKE* s = listHead->next; s != nullptr; s = s->next) {
        int sep = iIsSeparableStroke(s, s->next, size);
        right = std::max<long long>(right, s->rcBound.right);
        if (sep == 0 && s->next != nullptr && s->next->rcBound.left > right) sep = 2;
        if (sep == 1 || sep == 2) {
            if (!bAppendBoundary(s)) {
                vClear();
                return 2;
            }
            right = INT64_MIN;
        }
    }
    m_lModify();

    m_pSegData = new (std::nothrow) int[std::max(m_iElmCount, 1)];
    if (m_pSegData == nullptr) {
        vClear();
        return 2;
    }
    for (int k = 1; k <= m_iElmCount; ++k) {
        tagMYSTROKE* last = m_pElm[k].m_pHead;
        if (iIsSeparableStroke(last, last->next, size) == 1) m_pSegData[m_iSegCount++] = k;
    }
    return 0;
}

// Merges neighbouring elements whose boxes overlap horizontally by more than half of the
// narrower one. After a merge the grown element is compared again with the element
// before it, so a chain of overlapping elements collapses into one.
void TMPSEGRES::m_lModify() {
    const int n = m_iElmCount;
    if (n == 0) return;
    for (int b = 0; b < n; ++b) {
        tagMYSTROKE* s = m_pElm[b].m_pHead->next;
        tagMYSTROKE* stop = m_pElm[b + 1].m_pHead->next;
        m_pElm[b].m_rcBound = s->rcBound;
        for (; s != stop; s = s->next) iUpdateRect(m_pElm[b].m_rcBound, s->rcBound);
    }
    auto nextOf = [&](int b) {
        for (int k = b + 1; k < n; ++k)
            if (!m_pElm[k].m_bOmit) return k;
        return -1;
    };
    auto prevOf = [&](int b) {
        for (int k = b - 1; k >= 0; --k)
            if (!m_pElm[k].m_bOmit) return k;
        return -1;
    };
    auto merge = [&](int into, int from) {
        m_pElm[from].m_bOmit = 1;
        iUpdateRect(m_pElm[into].m_rcBound, m_pElm[from].m_rcBound);
    };
    int cur = 0;
    for (;;) {
        int nxt = nextOf(cur);
        if (nxt < 0) break;
        if (!bIsOverlappded(m_pElm[cur].m_rcBound, m_pElm[nxt].m_rcBound)) {
            cur = nxt;
            continue;
        }
        merge(cur, nxt);
        for (int prev = prevOf(cur);
             prev >= 0 && bIsOverlappded(m_pElm[prev].m_rcBound, m_pElm[cur].m_rcBound);
             prev = prevOf(cur)) {
            merge(prev, cur);
            cur = prev;
        }
    }
    // Squeeze out the removed boundaries. A removed boundary k (start of element k+1) means
    // element k+1 now belongs to the element before it, so its start entry disappears.
    int w = 0;
    for (int b = 0; b < n; ++b) {
        if (m_pElm[b].m_bOmit) continue;
        CHARELM e = m_pElm[b];
        m_pElm[w++] = e;
    }
    // The ends: entry w-1 is the start of the last element; entry w is the line's end.
    m_pElm[w] = CHARELM{0, {0, 0, 0, 0}, m_pElm[n].m_pHead};
    // Each kept start entry's m_pHead is the stroke before that element; those are right.
    m_iElmCount = w;
}

long TMPSEGRES::lStrokeNumber(const tagMYSTROKE* s) const {
    long no = 0;
    for (const tagMYSTROKE* p = m_pListHead->next; p != nullptr; p = p->next, ++no)
        if (p == s) return no;
    return -1;
}

long TMPSEGRES::lGetStrokeNoOfNthElm(int n, long* pHead, long* pTail) const {
    if (!bIsSegmented()) return 1;
    if (n < 0 || n >= m_iElmCount || pHead == nullptr || pTail == nullptr) return 4;
    *pHead = lStrokeNumber(pElmFirst(n));
    *pTail = lStrokeNumber(m_pElm[n + 1].m_pHead) + 1;
    return 0;
}

long TMPSEGRES::lGetNthElmBound(int n, tagRECT* pBound) const {
    if (!bIsSegmented()) return 1;
    if (n < 0 || n >= m_iElmCount || pBound == nullptr) return 4;
    tagMYSTROKE* s = pElmFirst(n);
    tagMYSTROKE* stop = pElmStop(n);
    if (s == nullptr || s == stop) return 5;
    *pBound = s->rcBound;
    for (; s != stop; s = s->next)
        if (iUpdateRect(*pBound, s->rcBound) != RIGHT) return 5;
    return 0;
}

long TMPSEGRES::lGetElmNoHead(long strokeNo) const {
    if (!bIsSegmented() || strokeNo < 0) return -1;
    for (int n = 0; n < m_iElmCount; ++n)
        if (lStrokeNumber(pElmFirst(n)) == strokeNo) return n;
    return -1;
}

long TMPSEGRES::lGetElmNoTail(long strokeNo) const {
    if (!bIsSegmented() || strokeNo < 0) return -1;
    for (int n = 0; n < m_iElmCount; ++n)
        if (lStrokeNumber(m_pElm[n + 1].m_pHead) == strokeNo) return n;
    return -1;
}
