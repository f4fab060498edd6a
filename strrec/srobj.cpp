#include "strrec/srobj.h"

#include "strrec/charsize.h"
#include "strrec/classifier_api.h"

#include <algorithm>
#include <cstring>
#include <new>

aSIGMA::aSIGMA(int size) {
    if (size <= 0) return;
    m_pSigma = new (std::nothrow) int[static_cast<size_t>(size) + 1];
    if (m_pSigma == nullptr) return;
    m_iSize = size;
    m_pSigma[0] = 0;
    for (int i = 1; i <= size; ++i) m_pSigma[i] = m_pSigma[i - 1] + i;
}

aSIGMA::~aSIGMA() {
    delete[] m_pSigma;
}

int aSIGMA::iGetSigma(int index) const {
    if (m_pSigma == nullptr || index < 1 || index > m_iSize) return 0;
    return m_pSigma[index];
}

aSROBJ::aSROBJ() {
    m_pstrkCur = &m_strkDum;
    m_patw.data = new (std::nothrow) POINT_W[kInitialPoints]();
    if (m_patw.data != nullptr) m_iCurPtCount = kInitialPoints;
}

aSROBJ::~aSROBJ() {
    m_vFreeCODESCORE();
    m_vFreeDPTable();
    delete m_pSetInfo;
    delete m_pSigma;
    delete[] m_patw.data;
    vFreeStrokeList(m_strkDum.next);
}

long aSROBJ::lAddStrokeLast(const tagPOINT* pStroke, long lPointCount) {
    if (bRecognized()) return SR_ERR_STATE;
    if (pStroke == nullptr || lPointCount <= 0 || lPointCount > INT32_MAX) return SR_ERR_ARGUMENT;
    tagMYSTROKE* s = pAddStroke(m_pstrkCur, pStroke, static_cast<int>(lPointCount));
    if (s == nullptr) return SR_ERR_FAILED;
    s->unStrokeNo = static_cast<uint16_t>(m_iStrokeCount);
    m_pstrkCur = s;
    ++m_iStrokeCount;
    return SR_OK;
}

long aSROBJ::lDeleteStrokeLast() {
    if (bRecognized()) return SR_ERR_STATE;
    if (m_iStrokeCount == 0) return SR_OK;
    tagMYSTROKE* prev = &m_strkDum;
    while (prev->next != m_pstrkCur) prev = prev->next;
    unDeleteStroke(prev);
    m_pstrkCur = prev;
    --m_iStrokeCount;
    return SR_OK;
}

tagMYSTROKE* aSROBJ::pGetStroke(long n) const {
    if (n < 0 || n >= m_iStrokeCount) return nullptr;
    tagMYSTROKE* s = m_strkDum.next;
    while (n-- > 0) s = s->next;
    return s;
}

long aSROBJ::lStrokeNumber(const tagMYSTROKE* s) const {
    long no = 0;
    for (const tagMYSTROKE* p = m_strkDum.next; p != nullptr; p = p->next, ++no)
        if (p == s) return no;
    return -1;
}

tagRECT aSROBJ::rcLineBound() const {
    tagRECT box{0, 0, 0, 0};
    bool any = false;
    for (const tagMYSTROKE* s = m_strkDum.next; s != nullptr; s = s->next) {
        if (s->iPointCount <= 0) continue;
        if (any)
            iUpdateRect(box, s->rcBound);
        else
            box = s->rcBound;
        any = true;
    }
    return box;
}

long aSROBJ::lRecognize() {
    if (bRecognized()) {
        if (m_pSetInfo == nullptr) return SR_ERR_STATE;
        return m_lMissRecogModifyProc();
    }
    if (m_iStrokeCount == 0) return SR_ERR_STATE;
    if (m_pSetInfo == nullptr) {
        m_pSetInfo = new (std::nothrow) STROKESETINFO(m_iStrokeCount, this);
        if (m_pSetInfo == nullptr || !m_pSetInfo->bValid()) {
            delete m_pSetInfo;
            m_pSetInfo = nullptr;
            return SR_ERR_MEMORY;
        }
    }
    int size = nGetCharacterSize(m_strkDum.next);
    if (size <= 0) size = CharSizeTmp;
    // The widths of the ink runs underestimate the size of a character written in
    // separate parts (a left and a right part); in a line too short to hold two
    // characters side by side that character is the line, as high as the line.
    const tagRECT ink = rcLineBound();
    const long long w = static_cast<long long>(ink.right) - ink.left,
                    h = static_cast<long long>(ink.bottom) - ink.top;
    if (w * 5 < h * 8 && h < INT32_MAX / 200) size = std::max(size, static_cast<int>(h));
    // In any line the characters are nearly as high as the line: a line of kana whose
    // strokes stand apart (ル, い, に) has runs far narrower than its characters, and an
    // estimate from them would make those characters too wide to be tried whole and cut
    // them at the gaps between their strokes.
    if (h < INT32_MAX / 200) size = std::max(size, static_cast<int>(h * kLineHeightShare / 100));
    m_sizChar = {size, size};
    if (m_SegRes.lTemporarySegment(&m_strkDum, m_iStrokeCount, m_sizChar) != 0)
        return SR_ERR_MEMORY;
    delete m_pSigma;
    // The lattice indexes triangular numbers up to its band width only; a table as long as
    // the line would also overflow them on lines of tens of thousands of elements.
    m_pSigma = new (std::nothrow)
        aSIGMA(std::min(m_SegRes.iGetElmCount(), static_cast<int>(kMaxCharStrokes)));
    if (m_pSigma == nullptr || !m_pSigma->bValid()) {
        delete m_pSigma;
        m_pSigma = nullptr;
        return SR_ERR_MEMORY;
    }
    return m_lDPSearch();
}

const DPCELL* aSROBJ::pGetSorted(int c) const {
    if (m_pDPSorted == nullptr || c < 0 || c >= m_SegRes.iGetElmCount() * kDPCands) return nullptr;
    return &m_pDPSorted[c];
}

const DPCELL* aSROBJ::pCellOfChar(long lCandNo, long n) const {
    if (lCandNo < 0 || lCandNo >= m_iDPResCount) return nullptr;
    const DPCELL* cell = pGetSorted(static_cast<int>(lCandNo));
    if (cell == nullptr || n < 0 || n >= cell->iCharElmC) return nullptr;
    for (long step = cell->iCharElmC - n - 1; step > 0 && cell != nullptr; --step)
        cell = cell->pPrev;
    return cell;
}

void aSROBJ::vStrokesOfCell(const DPCELL& cell, long* plHead, long* plTail) const {
    *plHead = lStrokeNumber(m_SegRes.pBoundaryStroke(cell.iBwdPos)->next);
    *plTail = lStrokeNumber(m_SegRes.pBoundaryStroke(cell.iFwdPos));
}

long aSROBJ::lCharCountOfCand(long lCandNo) const {
    const DPCELL* cell =
        lCandNo >= 0 && lCandNo < m_iDPResCount ? pGetSorted(static_cast<int>(lCandNo)) : nullptr;
    return cell == nullptr ? -1 : cell->iCharElmC;
}

bool aSROBJ::bStrokesOfChar(long lCandNo, long n, long* plHead, long* plTail) const {
    const DPCELL* cell = pCellOfChar(lCandNo, n);
    if (cell == nullptr) return false;
    vStrokesOfCell(*cell, plHead, plTail);
    return true;
}

const char* aSROBJ::cpGetString(long lCandNo, long* pLength, long* pErr) {
    auto fail = [&](long err, long length) -> const char* {
        if (pLength != nullptr) *pLength = length;
        *pErr = err;
        return nullptr;
    };
    if (!bRecognized()) return fail(SR_ERR_STATE, 0);
    if (bHasCorrection()) {
        long chars = m_iCodeScoreCount;
        if (chars > SR_MAX_STRING_CHARS) return fail(SR_ERR_FAILED, chars);
        if (pLength != nullptr) *pLength = chars;
        *pErr = SR_OK;
        return m_szString;
    }
    if (lCandNo == -1) {
        long elements = m_SegRes.iGetElmCount();
        return fail(elements == 0 ? SR_ERR_STATE : SR_OK, elements);
    }
    if (lCandNo < 0 || lCandNo >= m_iResCount) return fail(SR_ERR_ARGUMENT, 0);
    const DPCELL* cell = pGetSorted(static_cast<int>(lCandNo));
    long chars = cell->iCharElmC;
    // Two bytes per character at most, and the terminator: longer strings do not fit.
    if (chars > SR_MAX_STRING_CHARS) return fail(SR_ERR_FAILED, chars);
    char* p = m_szString + sizeof m_szString - 1;
    *p = '\0';
    for (; cell != nullptr; cell = cell->pPrev) {
        CR_RESULT cr = cell->cr;
        const char* text = cpCRREStoString(&cr);
        size_t len = text != nullptr ? std::strlen(text) : 0;
        len = std::min<size_t>(len, 2);
        p -= len;
        std::memcpy(p, text, len);
    }
    if (pLength != nullptr) *pLength = chars;
    *pErr = SR_OK;
    return p;
}

long aSROBJ::lGetStrokeNoOfNthChar(long lCandNo, long lCharNo, long* pHead, long* pTail) const {
    if (!bRecognized()) return SR_ERR_STATE;
    if (pHead == nullptr || pTail == nullptr) return SR_ERR_ARGUMENT;
    if (bHasCorrection() && m_pSetInfo != nullptr)
        return m_pSetInfo->bGetTagInfo(lCharNo, pHead, pTail) ? SR_OK : SR_ERR_ARGUMENT;
    if (lCandNo == -1) {
        if (lCharNo < 0 || lCharNo > INT32_MAX) return SR_ERR_ARGUMENT;
        long head, stop;
        long r = m_SegRes.lGetStrokeNoOfNthElm(static_cast<int>(lCharNo), &head, &stop);
        if (r != 0) return r;
        *pHead = head;
        *pTail = stop - 1;
        return SR_OK;
    }
    if (lCandNo < 0 || lCandNo >= m_iResCount) return SR_ERR_ARGUMENT;
    return bStrokesOfChar(lCandNo, lCharNo, pHead, pTail) ? SR_OK : SR_ERR_ARGUMENT;
}

long aSROBJ::lGetNthCharBound(long lCandNo, long lCharNo, tagRECT* pBound) const {
    if (!bRecognized()) return SR_ERR_STATE;
    if (pBound == nullptr) return SR_ERR_ARGUMENT;
    if (lCandNo == -1 && !bHasCorrection()) {
        if (lCharNo < 0 || lCharNo > INT32_MAX) return SR_ERR_ARGUMENT;
        return m_SegRes.lGetNthElmBound(static_cast<int>(lCharNo), pBound);
    }
    long head, tail;
    long r = lGetStrokeNoOfNthChar(lCandNo, lCharNo, &head, &tail);
    if (r != SR_OK) return r;
    const tagMYSTROKE* s = pGetStroke(head);
    if (s == nullptr || !bStrokeRangeOk(head, tail)) return SR_ERR_FAILED;
    tagRECT box = s->rcBound;
    for (long n = head; n <= tail && s != nullptr; ++n, s = s->next)
        if (iUpdateRect(box, s->rcBound) != RIGHT) return SR_ERR_FAILED;
    *pBound = box;
    return SR_OK;
}

PATTERN_W* aSROBJ::pMakePATW(long lHead, long lTail, POINT_W trailer, long* pErr) const {
    if (!bStrokeRangeOk(lHead, lTail)) {
        *pErr = SR_ERR_ARGUMENT;
        return nullptr;
    }
    const tagMYSTROKE* first = pGetStroke(lHead);
    const tagMYSTROKE* stop = pGetStroke(lTail)->next;
    const int num = iCountPointsOfRun(first, stop);
    auto* patw = new (std::nothrow) PATTERN_W{nullptr, 0};
    POINT_W* data = new (std::nothrow) POINT_W[static_cast<size_t>(num) + 2]();
    if (patw == nullptr || data == nullptr) {
        delete patw;
        delete[] data;
        *pErr = SR_ERR_MEMORY;
        return nullptr;
    }
    patw->data = data;
    patw->num = iCopyRunToPointW(data, first, stop);
    data[num] = trailer;
    const auto handle = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this));
    data[num + 1] =
        POINT_W{static_cast<int16_t>(handle >> 16), static_cast<int16_t>(handle & 0xFFFF), 0};
    *pErr = SR_OK;
    return patw;
}
