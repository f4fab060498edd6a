// The recognition calls: each looks its function up in the loaded recognizer by name and
// passes the arguments on; a missing function gives a fixed result.
#include "recservice/service_state.h"
#include "tessera/veltarec.h"

#include <cstdlib>
#include <cstring>

using veltarec::Bind;
using veltarec::State;

namespace {

// Results when the recognizer lacks the function (or none is loaded).
constexpr int32_t kMissing = 1;
// AddStrokeLast when the enlarged copy of the stroke cannot be made: the string
// recognizer's own code for a failed operation.
constexpr int32_t kCopyFailed = 5;

} // namespace

SRHANDLE CreateNewObject(void) {
    auto fn = Bind<SRHANDLE (*)()>("hSRCreateNewObject");
    return fn ? fn() : nullptr;
}

void DestroyObject(SRHANDLE hobj) {
    if (auto fn = Bind<void (*)(SRHANDLE)>("vSRDestroyObject")) fn(hobj);
}

int32_t AddStrokeLast(SRHANDLE hobj, const tagPOINT* pStroke, int32_t lPointCount) {
    using Fn = long (*)(SRHANDLE, tagPOINT*, long);
    auto fn = Bind<Fn>("lSRAddStrokeLast");
    if (!fn) return kMissing;
    const int32_t extra = State().extraEndPoints;
    // Without points (or without an array) there is no last point to repeat; the
    // recognizer judges the call as it stands.
    if (lPointCount <= 0 || !pStroke || extra <= 0)
        return fn(hobj, const_cast<tagPOINT*>(pStroke), lPointCount);
    const long long total = static_cast<long long>(lPointCount) + extra;
    if (total > INT32_MAX) return kCopyFailed;
    auto* copy = static_cast<tagPOINT*>(std::malloc(static_cast<size_t>(total) * sizeof(tagPOINT)));
    if (!copy) return kCopyFailed;
    std::memcpy(copy, pStroke, static_cast<size_t>(lPointCount) * sizeof(tagPOINT));
    for (long long i = lPointCount; i < total; ++i) copy[i] = pStroke[lPointCount - 1];
    const int32_t result = fn(hobj, copy, static_cast<int32_t>(total));
    std::free(copy);
    return result;
}

int32_t DeleteStrokeLast(SRHANDLE hobj) {
    auto fn = Bind<long (*)(SRHANDLE)>("lSRDeleteStrokeLast");
    return fn ? fn(hobj) : kMissing;
}

int32_t GetStrokeCount(SRHANDLE hobj) {
    auto fn = Bind<long (*)(SRHANDLE)>("lSRGetStrokeCount");
    return fn ? fn(hobj) : 0;
}

tagPOINT* GetNthStroke(SRHANDLE hobj, int32_t lStrokeNo, int32_t* pPointCount) {
    auto fn = Bind<tagPOINT* (*)(SRHANDLE, long, long*)>("pSRGetNthStroke");
    if (!fn) return nullptr;
    // The recognizer counts in its own long; the service's callers in 32 bits.
    long count = 0;
    tagPOINT* points = fn(hobj, lStrokeNo, &count);
    if (pPointCount) *pPointCount = static_cast<int32_t>(count);
    return points;
}

int32_t RecognizeNF(SRHANDLE hobj) {
    auto fn = Bind<long (*)(SRHANDLE)>("lSRRecognize");
    return fn ? fn(hobj) : kMissing;
}

int32_t GetResultCount(SRHANDLE hobj) {
    auto fn = Bind<long (*)(SRHANDLE)>("lSRGetResultCount");
    return fn ? fn(hobj) : 0;
}

char* GetString(SRHANDLE hobj, int32_t lCandNo, int32_t* pStringLength) {
    auto fn = Bind<char* (*)(SRHANDLE, long, long*)>("cpSRGetString");
    if (!fn) return nullptr;
    long length = 0;
    char* text = fn(hobj, lCandNo, &length);
    if (pStringLength) *pStringLength = static_cast<int32_t>(length);
    return text;
}

int32_t GetCharSize(SRHANDLE hobj, tagSIZE* psizChar) {
    auto fn = Bind<long (*)(SRHANDLE, tagSIZE*)>("lSRGetCharSize");
    return fn ? fn(hobj, psizChar) : kMissing;
}

int32_t GetParagraphHead(SRHANDLE hobj, void* pBuffer, int32_t lBuffSize) {
    auto fn = Bind<long (*)(SRHANDLE, void*, long)>("lSRGetParagraphHead");
    return fn ? fn(hobj, pBuffer, lBuffSize) : kMissing;
}

int32_t GetStrokeNoOfNthChar(SRHANDLE hobj, int32_t lCandNo, int32_t lCharNo, int32_t* pHead,
                             int32_t* pTail) {
    using Fn = long (*)(SRHANDLE, long, long, long*, long*);
    auto fn = Bind<Fn>("lSRGetStrokeNoOfNthChar");
    if (!fn) return kMissing;
    long head = 0, tail = 0;
    const long result =
        fn(hobj, lCandNo, lCharNo, pHead ? &head : nullptr, pTail ? &tail : nullptr);
    if (pHead) *pHead = static_cast<int32_t>(head);
    if (pTail) *pTail = static_cast<int32_t>(tail);
    return static_cast<int32_t>(result);
}

int32_t GetNthCharBound(SRHANDLE hobj, int32_t lCandNo, int32_t lCharNo, tagRECT* pBound) {
    if (State().boundFromPattern == 0) {
        auto fn = Bind<long (*)(SRHANDLE, long, long, tagRECT*)>("lSRGetNthCharBound");
        return fn ? fn(hobj, lCandNo, lCharNo, pBound) : kMissing;
    }
    // The bounds from the character's own pattern: inclusive extremes of its points.
    PATTERN_W* pattern = GetPatternWOfNthChar(hobj, lCandNo, lCharNo);
    if (!pattern) return kMissing;
    if (pattern->num <= 0 || !pattern->data || !pBound) {
        DestroyPatternW(pattern);
        return kMissing;
    }
    tagRECT bound{pattern->data[0].x, pattern->data[0].y, pattern->data[0].x, pattern->data[0].y};
    for (int32_t i = 1; i < pattern->num; ++i) {
        const POINT_W& p = pattern->data[i];
        if (p.x < bound.left) bound.left = p.x;
        if (p.y < bound.top) bound.top = p.y;
        if (p.x > bound.right) bound.right = p.x;
        if (p.y > bound.bottom) bound.bottom = p.y;
    }
    *pBound = bound;
    DestroyPatternW(pattern);
    return 0;
}

int32_t GiveStrokeSetInfo(SRHANDLE hobj, int32_t lCandNo, int32_t lHeadPos, int32_t lTailPos) {
    auto fn = Bind<long (*)(SRHANDLE, long, long, long)>("lSRGiveStrokeSetInfo");
    return fn ? fn(hobj, lCandNo, lHeadPos, lTailPos) : kMissing;
}

PATTERN_W* GetPatternW(SRHANDLE hobj, int32_t lHeadPos, int32_t lTailPos) {
    auto fn = Bind<PATTERN_W* (*)(SRHANDLE, long, long)>("pSRGetPATW");
    return fn ? fn(hobj, lHeadPos, lTailPos) : nullptr;
}

PATTERN_W* GetPatternWOfNthChar(SRHANDLE hobj, int32_t lCandNo, int32_t lCharNo) {
    auto fn = Bind<PATTERN_W* (*)(SRHANDLE, long, long)>("pSRGetPATWOfNthChar");
    return fn ? fn(hobj, lCandNo, lCharNo) : nullptr;
}

void DestroyPatternW(PATTERN_W* pPatW) {
    if (auto fn = Bind<void (*)(PATTERN_W*)>("vSRDestroyPATW")) fn(pPatW);
}

int32_t ContextProcess(CODE_SCORE** ppCS, int32_t lCharCount, int32_t lMaxCRCandCount) {
    auto fn = Bind<long (*)(CODE_SCORE**, long, long)>("lSRContextProcess");
    return fn ? fn(ppCS, lCharCount, lMaxCRCandCount) : kMissing;
}

int32_t GetLastErrorRS(void) {
    auto fn = Bind<long (*)()>("lSRGetLastError");
    return fn ? fn() : 0;
}

void GetVersionInfo(tagSR_VERINFO* pvinfo) {
    if (auto fn = Bind<void (*)(tagSR_VERINFO*)>("vSRGetVersion")) fn(pvinfo);
}

void SetClassCount(int32_t lCandCount) {
    if (auto fn = Bind<void (*)(long)>("vSRSetClassCount")) fn(lCandCount);
}

void SetGuideBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    tagRECT box{x1, y1, x2, y2};
    if (auto fn = Bind<void (*)(tagRECT*)>("vSRSetGuideBox")) fn(&box);
}

void SetRecCategory(int32_t lSRKFlag) {
    if (auto fn = Bind<void (*)(long)>("vSRSetRecCategory"))
        fn(lSRKFlag);
    else if (auto fallback = Bind<void (*)(int)>("vSetRecogCategory"))
        fallback(lSRKFlag);
}

namespace {

// The recognizer's single-character result, before the character prior.
int32_t RecognizeByShape(PATTERN_W* pPatW, CR_RESULT* pCRRes, int32_t lResultCount) {
    if (auto fn = Bind<long (*)(PATTERN_W*, CR_RESULT*, long)>("lSRRecognizeCP"))
        return fn(pPatW, pCRRes, lResultCount);
    // The classifier counts its candidates; none found is the failure.
    if (auto classify = Bind<int (*)(PATTERN_W*, CR_RESULT*, int)>("iClassifyRecognize"))
        return classify(pPatW, pCRRes, lResultCount) != 0 ? 0 : 1;
    return kMissing;
}

} // namespace

int32_t RecognizeF(PATTERN_W* pPatW, CR_RESULT* pCRRes, int32_t lResultCount) {
    const int32_t result = RecognizeByShape(pPatW, pCRRes, lResultCount);
    // Characters of the same shape (口 and 囗, 力 and カ) score alike; among candidates
    // whose scores lie close together the commoner one comes first. The recognizer's
    // category mask has already decided which characters are in the list at all.
    const CHAR_PRIOR& prior = State().prior;
    if (result == 0) iApplyCharPrior(&prior, prior.iSpan, pCRRes, lResultCount);
    return result;
}
