#include "strrec/strokeset.h"

#include <algorithm>
#include <new>

STROKESETINFO::STROKESETINFO(long lStrokeCount, const ICharStrokes* pobj) : m_pobj(pobj) {
    if (lStrokeCount > 0) {
        m_p_lTag = new (std::nothrow) long[lStrokeCount];
        if (m_p_lTag != nullptr) m_lTagSize = lStrokeCount;
    }
    vInitialize();
}

STROKESETINFO::~STROKESETINFO() {
    delete[] m_p_lTag;
}

void STROKESETINFO::vInitialize() {
    m_lCandNo = kNone;
    m_lTagCount = 0;
    m_lSP = 0;
    std::fill(m_p_lTag, m_p_lTag + m_lTagSize, long{kNone});
}

int STROKESETINFO::bGiveStrokeInfo(long lCandNo, long lHeadNo, long lTailNo) {
    if (lHeadNo < 0 || lTailNo < lHeadNo || lTailNo >= m_lTagSize) return 0;
    if (m_lCandNo != kNone && m_lCandNo != lCandNo) return 0;
    if (m_lSP + 2 > kStackSize) return 0;
    m_lCandNo = lCandNo;
    m_p_lStack[m_lSP++] = lHeadNo;
    m_p_lStack[m_lSP++] = lTailNo;
    return 1;
}

int STROKESETINFO::bUndoPrevAction() {
    if (m_lSP < 2) return 0;
    m_lSP -= 2;
    if (m_lSP == 0) m_lCandNo = kNone;
    return 1;
}

int STROKESETINFO::bCalcTagData() {
    if (m_lCandNo == kNone || m_pobj == nullptr || !bValid()) return 0;
    std::fill(m_p_lTag, m_p_lTag + m_lTagSize, long{kNone});
    long count = 0;
    // Newest statement first: a later statement wins over the strokes of an older one.
    // An older statement cut by a newer one becomes one character per untagged piece,
    // each with a tag of its own, so that every tag handed out is one run of strokes.
    for (long sp = m_lSP - 2; sp >= 0; sp -= 2) {
        const long tail = m_p_lStack[sp + 1];
        for (long s = m_p_lStack[sp]; s <= tail; ++s) {
            if (m_p_lTag[s] != kNone) continue;
            m_p_lTag[s] = count;
            if (s == tail || m_p_lTag[s + 1] != kNone) ++count;
        }
    }
    // The candidate's own characters fill the rest; a character cut by a statement
    // becomes one character per untagged piece.
    long chars = m_pobj->lCharCountOfCand(m_lCandNo);
    if (chars < 0) return 0;
    for (long c = 0; c < chars; ++c) {
        long head = 0, tail = -1;
        if (!m_pobj->bStrokesOfChar(m_lCandNo, c, &head, &tail)) return 0;
        head = std::max(head, 0L);
        tail = std::min(tail, m_lTagSize - 1);
        for (long s = head; s <= tail; ++s) {
            if (m_p_lTag[s] != kNone) continue;
            m_p_lTag[s] = count;
            if (s == tail || m_p_lTag[s + 1] != kNone) ++count;
        }
    }
    // Every piece got its own tag, so the tags handed out are the characters, and the
    // n-th run of equal tags in stroke order is character n.
    m_lTagCount = count;
    return 1;
}

int STROKESETINFO::bGetTagInfo(long n, long* plHead, long* plTail) const {
    if (n < 0 || n >= m_lTagCount || plHead == nullptr || plTail == nullptr) return 0;
    long run = -1;
    for (long s = 0; s < m_lTagSize; ++s) {
        if (s == 0 || m_p_lTag[s] != m_p_lTag[s - 1]) {
            if (run == n) break;
            ++run;
            if (run == n) *plHead = s;
        }
        if (run == n) *plTail = s;
    }
    return run == n ? 1 : 0;
}
