#include "strrec/strokes.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

// Cuts a 32-bit coordinate to the classifier's 16 bits (two's complement wrap).
int16_t Cut16(int32_t v) {
    return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF));
}

int ClampToInt(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

} // namespace

int iGetCityBlockDist(int x1, int y1, int x2, int y2) {
    return ClampToInt(std::llabs(static_cast<long long>(x1) - x2) +
                      std::llabs(static_cast<long long>(y1) - y2));
}

int iCheckRectangle(const tagRECT& rc) {
    if (rc.right < rc.left || rc.bottom < rc.top) return SR_BAD_RECT;
    return RIGHT;
}

int iUpdateRect(tagRECT& Update, const tagRECT& ToBeIncluded) {
    if (iCheckRectangle(ToBeIncluded) != RIGHT) return SR_BAD_RECT;
    Update.left = std::min(Update.left, ToBeIncluded.left);
    Update.top = std::min(Update.top, ToBeIncluded.top);
    Update.right = std::max(Update.right, ToBeIncluded.right);
    Update.bottom = std::max(Update.bottom, ToBeIncluded.bottom);
    return RIGHT;
}

long lGetRectangleArea(const tagRECT& rc) {
    if (iCheckRectangle(rc) != RIGHT) return 0;
    long long w = static_cast<long long>(rc.right) - rc.left;
    long long h = static_cast<long long>(rc.bottom) - rc.top;
    if (w == 0) w = 1;
    if (h == 0) h = 1;
    return static_cast<long>(w * h);
}

long lGetAreaOfOverlappedRect(const tagRECT& rc1, const tagRECT& rc2) {
    long long w =
        static_cast<long long>(std::min(rc1.right, rc2.right)) - std::max(rc1.left, rc2.left);
    long long h =
        static_cast<long long>(std::min(rc1.bottom, rc2.bottom)) - std::max(rc1.top, rc2.top);
    if (w < 0 || h < 0) return 0;
    if (w == 0) w = 1;
    if (h == 0) h = 1;
    return static_cast<long>(w * h);
}

int iGetOverlappingRateOfStrokes(const tagMYSTROKE* stroke1, const tagMYSTROKE* stroke2) {
    if (stroke1 == nullptr || stroke2 == nullptr) return SR_FAIL;
    long overlap = lGetAreaOfOverlappedRect(stroke1->rcBound, stroke2->rcBound);
    long smaller =
        std::min(lGetRectangleArea(stroke1->rcBound), lGetRectangleArea(stroke2->rcBound));
    if (smaller <= 0) return SR_FAIL;
    return static_cast<int>(100L * overlap / smaller);
}

int iGetStrokeLength(const tagPOINT* pSeq, int iPointCount) {
    if (pSeq == nullptr || iPointCount < 1) return SR_FAIL;
    long long len = 0;
    for (int n = 0; n + 1 < iPointCount; ++n)
        len += iGetCityBlockDist(pSeq[n].x, pSeq[n].y, pSeq[n + 1].x, pSeq[n + 1].y);
    return ClampToInt(len);
}

int iGetStrokeBound(tagRECT& rcBound, const tagPOINT* pSeq, int iPointCount) {
    if (pSeq == nullptr || iPointCount < 1) return SR_FAIL;
    rcBound = {pSeq[0].x, pSeq[0].y, pSeq[0].x, pSeq[0].y};
    for (int n = 1; n < iPointCount; ++n) {
        rcBound.left = std::min(rcBound.left, pSeq[n].x);
        rcBound.top = std::min(rcBound.top, pSeq[n].y);
        rcBound.right = std::max(rcBound.right, pSeq[n].x);
        rcBound.bottom = std::max(rcBound.bottom, pSeq[n].y);
    }
    return RIGHT;
}

int iGetStrokeCenter(tagPOINT& pCenter, const tagPOINT* pSeq, int iPointCount) {
    tagRECT rc;
    int r = iGetStrokeBound(rc, pSeq, iPointCount);
    if (r != RIGHT) return r;
    // Division truncates towards zero: the centre of -3..0 is -1.
    pCenter.x = static_cast<int>((static_cast<long long>(rc.left) + rc.right) / 2);
    pCenter.y = static_cast<int>((static_cast<long long>(rc.top) + rc.bottom) / 2);
    return r;
}

int iGetStrokeCenterX(const tagPOINT* posxy, int iPointCount) {
    if (posxy == nullptr || iPointCount < 1) return SR_FAIL;
    long long sum = 0;
    for (int n = 0; n < iPointCount; ++n) sum += posxy[n].x;
    return static_cast<int>(sum / iPointCount);
}

int iGetStrokeCenterY(const tagPOINT* posxy, int iPointCount) {
    if (posxy == nullptr || iPointCount < 1) return SR_FAIL;
    long long sum = 0;
    for (int n = 0; n < iPointCount; ++n) sum += posxy[n].y;
    return static_cast<int>(sum / iPointCount);
}

tagPOINT* pAllocPointSeq(int iPointCount) {
    if (iPointCount <= 0) return nullptr;
    return new (std::nothrow) tagPOINT[iPointCount];
}

void vFreePointSeq(tagPOINT* pStroke) {
    delete[] pStroke;
}

int iSetStrokeAddInfo(tagMYSTROKE* stroke, tagPOINT* posxy, int iPointCount) {
    if (stroke == nullptr || posxy == nullptr || iPointCount < 1) return SR_FAIL;
    stroke->iPointCount = iPointCount;
    stroke->iStrokeLen = iGetStrokeLength(posxy, iPointCount);
    if (stroke->iStrokeLen < 0) return SR_FAIL;
    if (iGetStrokeBound(stroke->rcBound, posxy, iPointCount) != RIGHT) return SR_FAIL;
    if (iGetStrokeCenter(stroke->xyCenter, posxy, iPointCount) != RIGHT) return SR_FAIL;
    stroke->xyStart = posxy[0];
    stroke->xyEnd = posxy[iPointCount - 1];
    stroke->pxyData = posxy;
    stroke->next = nullptr;
    return RIGHT;
}

tagMYSTROKE* pAddStroke(tagMYSTROKE* pPrev, const tagPOINT* pSeq, int iptc) {
    if (pPrev == nullptr || pSeq == nullptr || iptc <= 0) return nullptr;
    tagPOINT* copy = pAllocPointSeq(iptc);
    if (copy == nullptr) return nullptr;
    std::copy(pSeq, pSeq + iptc, copy);
    auto* stroke = new (std::nothrow) tagMYSTROKE{};
    if (stroke == nullptr || iSetStrokeAddInfo(stroke, copy, iptc) != RIGHT) {
        delete stroke;
        vFreePointSeq(copy);
        return nullptr;
    }
    stroke->next = pPrev->next;
    pPrev->next = stroke;
    return stroke;
}

int unDeleteStroke(tagMYSTROKE* prevstroke) {
    if (prevstroke == nullptr || prevstroke->next == nullptr) return SR_FAIL;
    tagMYSTROKE* gone = prevstroke->next;
    prevstroke->next = gone->next;
    int no = gone->unStrokeNo;
    vFreePointSeq(gone->pxyData);
    delete gone;
    return no;
}

int iGetStrokeCountOfList(const tagMYSTROKE* strHead) {
    int n = 0;
    for (; strHead != nullptr; strHead = strHead->next) ++n;
    return n;
}

void vFreeStrokeList(tagMYSTROKE* strokeList) {
    while (strokeList != nullptr) {
        tagMYSTROKE* next = strokeList->next;
        vFreePointSeq(strokeList->pxyData);
        delete strokeList;
        strokeList = next;
    }
}

int iSetPatternAddInfo(tagMYPATTERN* pattern, tagMYSTROKE* strokelist) {
    if (pattern == nullptr || strokelist == nullptr) return SR_FAIL;
    pattern->unCode = 0;
    pattern->head = strokelist;
    pattern->rcBound = strokelist->rcBound;
    pattern->iStrokeCount = 0;
    tagMYSTROKE* last = strokelist;
    for (tagMYSTROKE* s = strokelist; s != nullptr; s = s->next) {
        if (iUpdateRect(pattern->rcBound, s->rcBound) != RIGHT) return SR_FAIL;
        ++pattern->iStrokeCount;
        last = s;
    }
    pattern->tail = &last->next;
    pattern->next = nullptr;
    return RIGHT;
}

namespace {

// Calls fn for every stroke of the pattern's run; false for a malformed pattern.
template <class Fn> bool ForEachStroke(const tagMYPATTERN* pattern, Fn fn) {
    if (pattern == nullptr) return false;
    if (pattern->head == nullptr || pattern->tail == nullptr) return pattern->iStrokeCount == 0;
    const tagMYSTROKE* stop = *pattern->tail;
    for (const tagMYSTROKE* s = pattern->head; s != stop; s = s->next) {
        if (s == nullptr) return false; // the run never reached its end
        fn(*s);
    }
    return true;
}

} // namespace

int iGetStrokeCountOfPattern(const tagMYPATTERN* pattern) {
    int n = 0;
    ForEachStroke(pattern, [&](const tagMYSTROKE&) { ++n; });
    return n;
}

int iGetPointCountOfPattern(const tagMYPATTERN* pattern) {
    long long n = 0;
    ForEachStroke(pattern, [&](const tagMYSTROKE& s) { n += s.iPointCount; });
    return ClampToInt(n);
}

int iGetTotalStrokeLenOfPattern(const tagMYPATTERN* pattern) {
    long long n = 0;
    ForEachStroke(pattern, [&](const tagMYSTROKE& s) { n += s.iStrokeLen; });
    return ClampToInt(n);
}

int iGetPatternBound(tagRECT* rcBound, const tagMYPATTERN* pattern) {
    if (rcBound == nullptr || pattern == nullptr || pattern->head == nullptr) return SR_FAIL;
    *rcBound = pattern->head->rcBound;
    bool ok =
        ForEachStroke(pattern, [&](const tagMYSTROKE& s) { iUpdateRect(*rcBound, s.rcBound); });
    return ok ? RIGHT : SR_FAIL;
}

tagMYPATTERN* pAddPattern(tagMYPATTERN* prevpat, tagMYSTROKE* strokeList) {
    if (prevpat == nullptr || prevpat->tail == nullptr || strokeList == nullptr) return nullptr;
    auto* pat = new (std::nothrow) tagMYPATTERN{};
    if (pat == nullptr) return nullptr;
    if (iSetPatternAddInfo(pat, strokeList) != RIGHT) {
        delete pat;
        return nullptr;
    }
    // Splice the new run in behind prevpat's run: its last stroke takes over what
    // followed prevpat's run, and prevpat's last stroke now leads into the new run.
    *pat->tail = *prevpat->tail;
    *prevpat->tail = strokeList;
    pat->next = prevpat->next;
    prevpat->next = pat;
    return pat;
}

void vDeletePattern(tagMYPATTERN* prevpat) {
    if (prevpat == nullptr || prevpat->next == nullptr || prevpat->tail == nullptr) return;
    tagMYPATTERN* gone = prevpat->next;
    tagMYSTROKE* follow = gone->tail != nullptr ? *gone->tail : nullptr;
    tagMYSTROKE* s = gone->head;
    *prevpat->tail = follow;
    prevpat->next = gone->next;
    while (s != nullptr && s != follow) {
        tagMYSTROKE* next = s->next;
        vFreePointSeq(s->pxyData);
        delete s;
        s = next;
    }
    delete gone;
}

int iGetPatternCountOfList(const tagMYPATTERN* patHead) {
    int n = 0;
    for (; patHead != nullptr; patHead = patHead->next) ++n;
    return n;
}

void vFreePatternList(tagMYPATTERN* patList) {
    while (patList != nullptr) {
        tagMYPATTERN* next = patList->next;
        delete patList;
        patList = next;
    }
}

int iCountPointsOfRun(const tagMYSTROKE* first, const tagMYSTROKE* stop) {
    long long n = 0;
    for (const tagMYSTROKE* s = first; s != nullptr && s != stop; s = s->next) n += s->iPointCount;
    return ClampToInt(n);
}

int iCopyRunToPointW(POINT_W* dst, const tagMYSTROKE* first, const tagMYSTROKE* stop) {
    int k = 0;
    for (const tagMYSTROKE* s = first; s != nullptr && s != stop; s = s->next) {
        for (int n = 0; n < s->iPointCount; ++n) {
            POINT_W& p = dst[k++];
            p.x = Cut16(s->pxyData[n].x);
            p.y = Cut16(s->pxyData[n].y);
            p.attr = 0;
            if (n == 0) p.attr = PT_PENDOWN;
            if (n == s->iPointCount - 1) p.attr |= PT_PENUP;
        }
    }
    return k;
}

PATTERN_W* pTransMYPATtoPATW(const tagMYPATTERN* ppat) {
    if (ppat == nullptr) return nullptr;
    auto* patw = new (std::nothrow) PATTERN_W{nullptr, 0};
    if (patw == nullptr) return nullptr;
    const tagMYSTROKE* stop = ppat->tail != nullptr ? *ppat->tail : nullptr;
    int num = ppat->head != nullptr ? iCountPointsOfRun(ppat->head, stop) : 0;
    if (num > 0) {
        patw->data = new (std::nothrow) POINT_W[static_cast<size_t>(num) + 3]();
        if (patw->data == nullptr) {
            delete patw;
            return nullptr;
        }
        patw->num = iCopyRunToPointW(patw->data, ppat->head, stop);
    }
    return patw;
}

void vDeletePATW(PATTERN_W* pat_w) {
    if (pat_w == nullptr) return;
    delete[] pat_w->data;
    delete pat_w;
}
