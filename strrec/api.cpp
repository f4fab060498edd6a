// The exported functions of the string recognizer. Every export sets the last error and
// none lets an exception out.
#include "strrec/classifier_api.h"
#include "strrec/lptables.h"
#include "strrec/runcache.h"
#include "strrec/srobj.h"
#include "tessera/seqread.h"

#include <memory>
#include <new>
#include <set>

namespace {

long g_lLastErr = SR_OK;
bool g_bSystemOpen = false;

// Live objects and patterns handed out, so that a stale or foreign handle is refused
// instead of being dereferenced.
std::set<const void*>& LiveObjects() {
    static std::set<const void*> objects;
    return objects;
}
std::set<const void*>& LivePatterns() {
    static std::set<const void*> patterns;
    return patterns;
}

long SetErr(long err) {
    g_lLastErr = err;
    return err;
}

// The object behind a handle for a per-object call, or null with the error set.
aSROBJ* Object(HSROBJ hobj) {
    if (hobj == nullptr || LiveObjects().count(hobj) == 0) {
        SetErr(SR_ERR_ARGUMENT);
        return nullptr;
    }
    if (!g_bSystemOpen) {
        SetErr(SR_ERR_STATE);
        return nullptr;
    }
    return static_cast<aSROBJ*>(hobj);
}

template <class R, class Fn> R Guard(R failure, Fn fn) {
    try {
        return fn();
    } catch (...) {
        SetErr(SR_ERR_MEMORY);
        return failure;
    }
}

PATTERN_W* Register(PATTERN_W* patw) {
    if (patw == nullptr) return nullptr;
    try {
        LivePatterns().insert(patw);
    } catch (...) {
        delete[] patw->data;
        delete patw;
        SetErr(SR_ERR_MEMORY);
        return nullptr;
    }
    return patw;
}

const tagSR_VERINFO kVersion = {115, 196, "", "99-04-27"};

} // namespace

extern "C" {

long lSRGetLastError(void) {
    return g_lLastErr;
}

long lSROpenSystem(const char* cpCRDic, const char* cpClassDic, const char* cpBigramDic) {
    if (cpCRDic == nullptr || cpClassDic == nullptr || cpBigramDic == nullptr)
        return SetErr(SR_ERR_ARGUMENT);
    // A second open would find the classifier busy and leave everything unusable.
    if (g_bSystemOpen) return SetErr(SR_ERR_STATE);
    rRunCache().vClear();
    return Guard<long>(SR_ERR_MEMORY, [&]() -> long {
        if (iOpenClassRecogModule(cpCRDic, cpClassDic) != 0) return SetErr(SR_ERR_DICTIONARY);
        if (g_srlp.m_bgt.iLoad(cpBigramDic) != 0) return SetErr(SR_ERR_DICTIONARY);
        g_srlp.m_bgc.SetBigramDictionary(&g_srlp.m_bgt);
        g_bSystemOpen = true;
        return SetErr(SR_OK);
    });
}

long lSRLoadEvalTables(const char* cpEvalDic) {
    // A name of nothing returns to the fixed tables; a file that does not load leaves
    // the fixed tables in use.
    if (cpEvalDic == nullptr || *cpEvalDic == '\0') {
        g_srlp.vSetEvalTables(nullptr);
        return SetErr(SR_OK);
    }
    return Guard<long>(SR_ERR_MEMORY, [&]() -> long {
        auto tables = std::make_unique<EVALTABLES>();
        const bool loaded = iLoadEvalTables(cpEvalDic, *tables) == 0;
        g_srlp.vSetEvalTables(loaded ? tables.get() : nullptr);
        return SetErr(loaded ? SR_OK : SR_ERR_DICTIONARY);
    });
}

void vSRCloseSystem(void) {
    // Closing the classifier is harmless when it is closed, and also releases one that
    // stayed open after a failed bigram load.
    vCloseClassRecogModule();
    rRunCache().vClear();
    g_srlp.vSetEvalTables(nullptr);
    SetErr(g_bSystemOpen ? SR_OK : SR_ERR_STATE);
    g_bSystemOpen = false;
}

void vSRGetVersion(tagSR_VERINFO* pvinfo) {
    if (pvinfo == nullptr) {
        SetErr(SR_ERR_ARGUMENT);
        return;
    }
    *pvinfo = kVersion;
    SetErr(SR_OK);
}

void** ppSRGetTmpSegRes(HSROBJ, long* pCount) {
    if (pCount != nullptr) *pCount = 0;
    SetErr(SR_ERR_STATE);
    return nullptr;
}

int bSRReRecognizeDialog(HSROBJ, void*) {
    SetErr(SR_ERR_STATE);
    return 0;
}

HSROBJ hSRCreateNewObject(void) {
    return Guard<HSROBJ>(nullptr, []() -> HSROBJ {
        auto* obj = new (std::nothrow) aSROBJ;
        if (obj == nullptr || !obj->bValid()) {
            delete obj;
            SetErr(SR_ERR_MEMORY);
            return nullptr;
        }
        try {
            LiveObjects().insert(obj);
        } catch (...) {
            delete obj;
            SetErr(SR_ERR_MEMORY);
            return nullptr;
        }
        SetErr(SR_OK);
        return obj;
    });
}

void vSRDestroyObject(HSROBJ hobj) {
    if (hobj == nullptr || LiveObjects().erase(hobj) == 0) {
        SetErr(SR_ERR_ARGUMENT);
        return;
    }
    delete static_cast<aSROBJ*>(hobj);
    SetErr(SR_OK);
}

long lSRAddStrokeLast(HSROBJ hobj, const tagPOINT* pStroke, long lPointCount) {
    aSROBJ* obj = Object(hobj);
    if (obj == nullptr) return g_lLastErr;
    return SetErr(obj->lAddStrokeLast(pStroke, lPointCount));
}

long lSRDeleteStrokeLast(HSROBJ hobj) {
    aSROBJ* obj = Object(hobj);
    if (obj == nullptr) return g_lLastErr;
    return SetErr(obj->lDeleteStrokeLast());
}

long lSRGetStrokeCount(HSROBJ hobj) {
    aSROBJ* obj = Object(hobj);
    if (obj == nullptr) return 0;
    SetErr(obj->m_iStrokeCount == 0 ? SR_ERR_STATE : SR_OK);
    return obj->m_iStrokeCount;
}

tagPOINT* pSRGetNthStroke(HSROBJ hobj, long lStrokeNo, long* pPointCount) {
    if (pPointCount != nullptr) *pPointCount = 0;
    aSROBJ* obj = Object(hobj);
    if (obj == nullptr) return nullptr;
    if (obj->m_iStrokeCount == 0) {
        SetErr(SR_ERR_STATE);
        return nullptr;
    }
    tagMYSTROKE* s = obj->pGetStroke(lStrokeNo);
    if (s == nullptr) {
        SetErr(SR_ERR_ARGUMENT);
        return nullptr;
    }
    if (pPointCount != nullptr) *pPointCount = s->iPointCount;
    SetErr(SR_OK);
    return s->pxyData;
}

long lSRRecognize(HSROBJ hobj) {
    aSROBJ* obj = Object(hobj);
    if (obj == nullptr) return g_lLastErr;
    return Guard<long>(SR_ERR_MEMORY, [&] { return SetErr(obj->lRecognize()); });
}

long lSRGetResultCount(HSROBJ hobj) {
    aSROBJ* obj = Object(hobj);
    if (obj == nullptr) return 0;
    if (!obj->bRecognized()) {
        SetErr(SR_ERR_STATE);
        return 0;
    }
    SetErr(SR_OK);
    return obj->lGetResultCount();
}

const char* cpSRGetString(HSROBJ hobj, long lCandNo, long* pStringLength) {
    if (pStringLength != nullptr) *pStringLength = 0;
    aSROBJ* obj = Object(hobj);
    if (obj == nullptr) return nullptr;
    long err = SR_OK;
    const char* text = obj->cpGetString(lCandNo, pStringLength, &err);
    SetErr(err);
    return text;
}

long lSRGetCharSize(HSROBJ hobj, tagSIZE* psizChar) {
    aSROBJ* obj = Object(hobj);
    if (obj == nullptr) return g_lLastErr;
    if (psizChar == nullptr) return SetErr(SR_ERR_ARGUMENT);
    if (!obj->bRecognized()) {
        *psizChar = {0, 0};
        return SetErr(SR_ERR_STATE);
    }
    *psizChar = obj->m_sizChar;
    return SetErr(SR_OK);
}

long lSRGetParagraphHead(HSROBJ hobj, long* pBuffer, long lBuffSize) {
    aSROBJ* obj = Object(hobj);
    if (obj == nullptr) return g_lLastErr;
    if (obj->bRecognized()) return SetErr(SR_ERR_FAILED);
    if (pBuffer != nullptr)
        for (long n = 0; n < lBuffSize; ++n) pBuffer[n] = 0;
    return SetErr(SR_ERR_STATE);
}

long lSRGetStrokeNoOfNthChar(HSROBJ hobj, long lCandNo, long lCharNo, long* pHead, long* pTail) {
    aSROBJ* obj = Object(hobj);
    if (obj == nullptr) return g_lLastErr;
    return SetErr(obj->lGetStrokeNoOfNthChar(lCandNo, lCharNo, pHead, pTail));
}

long lSRGetNthCharBound(HSROBJ hobj, long lCandNo, long lCharNo, tagRECT* pBound) {
    aSROBJ* obj = Object(hobj);
    if (obj == nullptr) return g_lLastErr;
    return SetErr(obj->lGetNthCharBound(lCandNo, lCharNo, pBound));
}

long lSRGiveStrokeSetInfo(HSROBJ hobj, long lCandNo, long lHeadPos, long lTailPos) {
    aSROBJ* obj = Object(hobj);
    if (obj == nullptr) return g_lLastErr;
    if (!obj->bRecognized() || obj->m_pSetInfo == nullptr) return SetErr(SR_ERR_STATE);
    if (lHeadPos < 0 || lTailPos < 0 || lHeadPos > lTailPos || lCandNo < 0 ||
        lCandNo >= obj->lGetDPResultCount())
        return SetErr(SR_ERR_ARGUMENT);
    if (!obj->m_pSetInfo->bGiveStrokeInfo(lCandNo, lHeadPos, lTailPos))
        return SetErr(SR_ERR_FAILED);
    return SetErr(SR_OK);
}

long lSRDeleteLastStrokeSetInfo(HSROBJ hobj) {
    aSROBJ* obj = Object(hobj);
    if (obj == nullptr) return g_lLastErr;
    if (!obj->bRecognized() || obj->m_pSetInfo == nullptr) return SetErr(SR_ERR_STATE);
    return SetErr(obj->m_pSetInfo->bUndoPrevAction() ? SR_OK : SR_ERR_FAILED);
}

PATTERN_W* pSRGetPATW(HSROBJ hobj, long lHeadPos, long lTailPos) {
    aSROBJ* obj = Object(hobj);
    if (obj == nullptr) return nullptr;
    return Guard<PATTERN_W*>(nullptr, [&] {
        long err = SR_OK;
        const POINT_W trailer{static_cast<int16_t>(lHeadPos), static_cast<int16_t>(lTailPos),
                              SR_TRAILER_RANGE};
        PATTERN_W* patw = Register(obj->pMakePATW(lHeadPos, lTailPos, trailer, &err));
        if (patw != nullptr || err != SR_OK) SetErr(err);
        return patw;
    });
}

PATTERN_W* pSRGetPATWOfNthChar(HSROBJ hobj, long lCandNo, long lCharNo) {
    aSROBJ* obj = Object(hobj);
    if (obj == nullptr) return nullptr;
    return Guard<PATTERN_W*>(nullptr, [&]() -> PATTERN_W* {
        long head = 0, tail = 0;
        long r = obj->lGetStrokeNoOfNthChar(lCandNo, lCharNo, &head, &tail);
        if (r != SR_OK) {
            SetErr(r);
            return nullptr;
        }
        long err = SR_OK;
        const POINT_W trailer{static_cast<int16_t>(lCandNo), static_cast<int16_t>(lCharNo),
                              SR_TRAILER_CHAR};
        PATTERN_W* patw = Register(obj->pMakePATW(head, tail, trailer, &err));
        if (patw != nullptr || err != SR_OK) SetErr(err);
        return patw;
    });
}

void vSRDestroyPATW(PATTERN_W* pPatW) {
    if (pPatW == nullptr || LivePatterns().erase(pPatW) == 0) {
        SetErr(SR_ERR_ARGUMENT);
        return;
    }
    delete[] pPatW->data;
    delete pPatW;
    SetErr(SR_OK);
}

void vSRSetClassCount(long lCandCount) {
    if (lCandCount < 0 || lCandCount > INT32_MAX) {
        SetErr(SR_ERR_ARGUMENT);
        return;
    }
    vSetClassCount(static_cast<int>(lCandCount));
    rRunCache().vNoteSetting(0, {lCandCount, 0, 0, 0});
    SetErr(SR_OK);
}

void vSRSetRecCategory(long lSRKFlag) {
    rRunCache().vNoteSetting(1, {lSRKFlag, 0, 0, 0});
    vSetRecogCategory(lSRKFlag < INT32_MIN || lSRKFlag > INT32_MAX ? -1
                                                                   : static_cast<int>(lSRKFlag));
    SetErr(SR_OK);
}

void vSRSetGuideBox(PAT_POS* pPos) {
    if (pPos == nullptr) {
        SetErr(SR_ERR_ARGUMENT);
        return;
    }
    vSetGuideBox(pPos);
    rRunCache().vNoteSetting(2, {pPos->maxx, pPos->maxy, pPos->minx, pPos->miny});
    SetErr(SR_OK);
}

long lSRRecognizeCP(PATTERN_W* pPatW, CR_RESULT* pCRRes, long lResultCount) {
    if (pPatW == nullptr || pCRRes == nullptr || lResultCount < 1 || lResultCount > INT32_MAX)
        return SetErr(SR_ERR_ARGUMENT);
    if (!g_bSystemOpen) return SetErr(SR_ERR_STATE);
    int found = iClassifyRecognize(pPatW, pCRRes, static_cast<int>(lResultCount));
    return SetErr(found > 0 ? SR_OK : SR_ERR_FAILED);
}

long lSRContextProcess(CODE_SCORE** ppCS, long lCharCount, long lMaxCRCandCount) {
    if (ppCS == nullptr || lCharCount < 0 || lMaxCRCandCount < 1 || lCharCount > INT32_MAX ||
        lMaxCRCandCount > INT32_MAX)
        return SetErr(SR_ERR_ARGUMENT);
    for (long n = 0; n < lCharCount; ++n)
        if (ppCS[n] == nullptr) return SetErr(SR_ERR_ARGUMENT);
    if (!g_bSystemOpen) return SetErr(SR_ERR_STATE);
    // The result is the correction's own: 0, or 1 when memory was short (the lists are
    // then unchanged); the last error tells the cause.
    const int r = g_srlp.m_bgc.iCorrectResult(ppCS, static_cast<int>(lCharCount),
                                              static_cast<int>(lMaxCRCandCount));
    SetErr(r == 0 ? SR_OK : SR_ERR_MEMORY);
    return r == 0 ? 0 : 1;
}

int DllEntryPoint(void*, unsigned long, void*) {
    return 1;
}

} // extern "C"
