// The segmentation search over the lattice of character hypotheses, and the correction
// pass over the caller's character grouping.
#include "strrec/classifier_api.h"
#include "strrec/kanasize.h"
#include "strrec/lptables.h"
#include "strrec/runcache.h"
#include "strrec/srobj.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {
// Lattices beyond this many cells are refused as out of memory rather than attempted.
constexpr long long kMaxDPCells = 1LL << 24;
} // namespace

// Row i holds min(i, kMaxCharStrokes) start boundaries: triangular numbers up to the full
// width, then full rows. Lines of up to kMaxCharStrokes elements have the plain triangular
// layout, cell (j + sigma(i - 1)) * 10 + k.
long long aSROBJ::m_llDPRowBase(int i) const {
    const int full = std::min(i - 1, static_cast<int>(kMaxCharStrokes));
    return m_pSigma->iGetSigma(full) +
           static_cast<long long>(i - 1 - full) * static_cast<long long>(kMaxCharStrokes);
}

int aSROBJ::m_iGetDPIndex(int i, int j, int k) const {
    return static_cast<int>((m_llDPRowBase(i) + j - m_iDPFirstStart(i)) * kDPCands + k);
}

const DPCELL* aSROBJ::pGetCell(int i, int j, int k) const {
    const int n = m_SegRes.iGetElmCount();
    if (m_pDP == nullptr || i < 1 || i > n || j < m_iDPFirstStart(i) || j >= i || k < 0 ||
        k >= kDPCands)
        return nullptr;
    return &m_pDP[m_iGetDPIndex(i, j, k)];
}

long aSROBJ::m_lAllocDPTable() {
    const int n = m_SegRes.iGetElmCount();
    if (n <= 0) return SR_ERR_MEMORY;
    const long long cells = m_llDPRowBase(n + 1) * kDPCands;
    if (cells > kMaxDPCells) return SR_ERR_MEMORY;
    m_pDP = new (std::nothrow) DPCELL[cells];
    m_pDPSorted = new (std::nothrow) DPCELL[static_cast<size_t>(n) * kDPCands];
    m_piDist = new (std::nothrow) int[static_cast<size_t>(n) + 1];
    m_piStrokeEnd = new (std::nothrow) int[static_cast<size_t>(n) + 1];
    m_piBoxParam = new (std::nothrow) int[static_cast<size_t>(cells / kDPCands)]();
    m_piKanaSize = new (std::nothrow) int[static_cast<size_t>(cells / kDPCands)];
    m_prcStrokeBox = new (std::nothrow) tagRECT[static_cast<size_t>(m_iStrokeCount) + 1];
    if (m_pDP == nullptr || m_pDPSorted == nullptr || m_piDist == nullptr ||
        m_piStrokeEnd == nullptr || m_piBoxParam == nullptr || m_piKanaSize == nullptr ||
        m_prcStrokeBox == nullptr) {
        m_vFreeDPTable();
        return SR_ERR_MEMORY;
    }
    m_iDPSize = static_cast<int>(cells);
    std::fill(m_piKanaSize, m_piKanaSize + cells / kDPCands, static_cast<int>(kNoKanaSize));
    m_piDist[0] = 0;
    m_piStrokeEnd[0] = 0;
    for (int k = 1; k <= n; ++k) {
        const tagMYSTROKE* last = m_SegRes.pBoundaryStroke(k);
        m_piDist[k] = iGetStrokeDistParam(last, last->next, m_sizChar);
        int strokes = 0;
        for (const tagMYSTROKE* s = m_SegRes.pBoundaryStroke(k - 1)->next; s != nullptr;
             s = s->next) {
            ++strokes;
            if (s == last) break;
        }
        m_piStrokeEnd[k] = m_piStrokeEnd[k - 1] + strokes;
    }
    int at = 0;
    for (const tagMYSTROKE* s = m_strkDum.next; s != nullptr && at < m_iStrokeCount; s = s->next)
        m_prcStrokeBox[at++] = s->iPointCount > 0 ? s->rcBound : tagRECT{1, 1, 0, 0};
    return SR_OK;
}

void aSROBJ::m_vFreeDPTable() {
    delete[] m_pDP;
    delete[] m_pDPSorted;
    delete[] m_piDist;
    delete[] m_piStrokeEnd;
    delete[] m_piBoxParam;
    delete[] m_piKanaSize;
    delete[] m_prcStrokeBox;
    m_piKanaSize = nullptr;
    m_prcStrokeBox = nullptr;
    m_pDP = m_pDPSorted = nullptr;
    m_piDist = m_piStrokeEnd = m_piBoxParam = nullptr;
    m_iDPSize = 0;
    m_iResCount = m_iDPResCount = 0;
}

int aSROBJ::m_iGetDistParam(int k) const {
    return m_piDist[k];
}

int aSROBJ::m_iGetBoxParam() const {
    return m_iCurBoxParam;
}

int aSROBJ::iGetRowBoxParam(int i, int j) const {
    return m_piBoxParam[m_iGetDPIndex(i, j, 0) / kDPCands];
}

bool aSROBJ::m_bCheckPatternBound(const tagRECT& box) const {
    const long long w = static_cast<long long>(box.right) - box.left;
    const long long h = static_cast<long long>(box.bottom) - box.top;
    return w > 0 && h > 0 && w * 5 < static_cast<long long>(m_sizChar.cx) * 8 &&
           h * 5 < static_cast<long long>(m_sizChar.cy) * 8;
}

bool aSROBJ::m_bCheckSegPos(int i, int j) const {
    // The definite boundaries ascend: find the first one above j by bisection, so that a
    // line with a definite boundary after every element costs no more than any other.
    int lo = 0, hi = m_SegRes.iGetSegCount();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (m_SegRes.iGetSegData(mid) > j)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo == m_SegRes.iGetSegCount() || m_SegRes.iGetSegData(lo) >= i;
}

int aSROBJ::m_iMakePatternW(int i, int j) {
    const int n = m_SegRes.iGetElmCount();
    if (i <= 0 || j < 0 || j >= i || i > n) return 1;
    if (i - j >= 2 && m_iStrokesOfRun(i, j) > kMaxCharStrokes) return 1;
    const tagMYSTROKE* first = m_SegRes.pBoundaryStroke(j)->next;
    const tagMYSTROKE* stop = m_SegRes.pBoundaryStroke(i)->next;
    m_rcBoundTmp = first->rcBound;
    for (const tagMYSTROKE* s = first; s != stop; s = s->next)
        iUpdateRect(m_rcBoundTmp, s->rcBound);
    if (i - j >= 2 && !m_bCheckPatternBound(m_rcBoundTmp) &&
        !(m_bMayBeOneChar && j == 0 && i == n && m_rcBoundTmp.right > m_rcBoundTmp.left &&
          m_rcBoundTmp.bottom > m_rcBoundTmp.top))
        return 1;
    const int points = iCountPointsOfRun(first, stop);
    if (points <= 0) return 1;
    if (points > m_iCurPtCount) {
        long long capacity = m_iCurPtCount;
        while (capacity < points) capacity += kInitialPoints;
        auto* grown = new (std::nothrow) POINT_W[capacity];
        if (grown == nullptr) return 1;
        delete[] m_patw.data;
        m_patw.data = grown;
        m_iCurPtCount = static_cast<int>(capacity);
        m_iPatDirty = m_iCurPtCount;
    }
    // The buffer is clear past what earlier patterns wrote, so clearing that part clears
    // all of it, at the cost of the patterns rather than of the largest one ever seen.
    std::fill(m_patw.data, m_patw.data + std::max(m_iPatDirty, points), POINT_W{0, 0, 0});
    m_patw.num = iCopyRunToPointW(m_patw.data, first, stop);
    m_iPatDirty = std::max(points, m_patw.num);
    return 0;
}

void aSROBJ::m_vRejectProc(int i, int j) {
    for (int k = 0; k < kDPCands; ++k) {
        DPCELL& cell = m_pDP[m_iGetDPIndex(i, j, k)];
        cell.pPrev = nullptr;
        cell.cr = CR_RESULT{0, 0, 0};
        cell.iBwdPos = j;
        cell.iFwdPos = i;
        cell.iCharElmC = 0;
        cell.bRejected = 1;
        cell.fValidity = g_fMinFloatVal;
    }
}

float aSROBJ::m_fInitialEval(DPCELL& cell, const CR_RESULT& cand, int i) {
    if (cand.score <= 0 || cand.code == 0) {
        cell.bRejected = 1;
        cell.fValidity = g_fMinFloatVal;
        return cell.fValidity;
    }
    cell.cr = cand;
    cell.pPrev = nullptr;
    cell.iCharElmC = 1;
    cell.iBwdPos = 0;
    cell.iFwdPos = i;
    cell.bRejected = 0;
    float v = m_fCellTerms(cell);
    v += g_srlp.fGetMgrLP(cand.code);
    cell.fValidity = v;
    return v;
}

// The terms of a cell that do not depend on the character before it, summed in the order
// of the chain's evaluation: the gaps inside the character, the gap after it, its width,
// its size against its neighbours (for small kana and their twins) and its score. Every predecessor
// of the cell starts from this sum, so that it is formed once per cell rather than once per
// predecessor, with the same result.
float aSROBJ::m_fCellTerms(const DPCELL& cur) const {
    float v = 0.0f;
    for (int m = cur.iBwdPos + 1; m <= cur.iFwdPos - 1; ++m)
        v += g_srlp.fGetCmbLP(m_iGetDistParam(m));
    v += g_srlp.fGetDivLP(m_iGetDistParam(cur.iFwdPos));
    v += g_srlp.fGetBoxLP(m_iGetBoxParam(), cur.cr.code);
    v += fKanaSizeLP(m_iCurKanaSize, cur.cr.code);
    v += g_srlp.fGetSimLP(cur.cr.score);
    return v;
}

float aSROBJ::m_fEvaluate(const DPCELL& prev, const DPCELL& cur, float own) const {
    float v = own;
    v += g_srlp.fGetBgrLP(prev.cr.code, cur.cr.code);
    v += prev.fValidity;
    return v;
}

// Classification of run (i, j): its candidates go into the row's cells (an unusable
// candidate as an empty record), its box parameter beside them. False when the pattern
// was refused or the classifier found nothing.
// A run the previous read classified with the same points is not classified again.
bool aSROBJ::m_bClassifyRun(int i, int j) {
    static_assert(int{RUNCACHE::kCands} == int{kDPCands});
    if (m_iMakePatternW(i, j) != 0 || (j > 0 && !m_bCheckSegPos(i, j))) return false;
    const RUNCACHE::RESULT& r = rRunCache().rClassify(m_patw);
    if (r.found == 0) return false;
    const CR_RESULT* cands = r.cands;
    for (int k = 0; k < kDPCands; ++k) {
        DPCELL& cell = m_pDP[m_iGetDPIndex(i, j, k)];
        cell.iBwdPos = j;
        cell.iFwdPos = i;
        cell.pPrev = nullptr;
        cell.cr = cands[k].code == 0 || cands[k].score <= 0 ? CR_RESULT{0, 0, 0} : cands[k];
    }
    m_piBoxParam[m_iGetDPIndex(i, j, 0) / kDPCands] = iGetBoxParam(m_rcBoundTmp, m_sizChar);
    m_piKanaSize[m_iGetDPIndex(i, j, 0) / kDPCands] = m_iKanaSizeOfRun(i, j);
    return true;
}

// A small kana and its full-size twin are one shape to the classifier: the size score of
// the run's ink against the ink beside it (up to one and a half character sizes to either
// side: a character or two) weighs between them. Computed only for runs that list a
// twin; without ink beside it, as in a line of one character, there is none.
int aSROBJ::m_iKanaSizeOfRun(int i, int j) const {
    bool twins = false;
    for (int k = 0; k < kDPCands && !twins; ++k) {
        const uint32_t code = m_pDP[m_iGetDPIndex(i, j, k)].cr.code;
        twins = wFullSizeKanaOf(code) != 0 || wSmallKanaOf(code) != 0;
    }
    if (!twins) return kNoKanaSize;
    const tagRECT beside =
        rcInkBeside(m_prcStrokeBox, m_iStrokeCount, m_piStrokeEnd[j], m_piStrokeEnd[i],
                    2 * kMaxCharStrokes, m_rcBoundTmp, m_sizChar.cx * 3 / 2);
    return iKanaSizeScore(m_rcBoundTmp, beside);
}

void aSROBJ::m_iEval_k_(int i) {
    m_iCurBoxParam = iGetRowBoxParam(i, 0);
    m_iCurKanaSize = m_piKanaSize[m_iGetDPIndex(i, 0, 0) / kDPCands];
    for (int k = 0; k < kDPCands; ++k) {
        DPCELL& cell = m_pDP[m_iGetDPIndex(i, 0, k)];
        m_fInitialEval(cell, CR_RESULT(cell.cr), i);
    }
}

bool aSROBJ::m_iEval_j_(int i, int j) {
    m_iCurBoxParam = iGetRowBoxParam(i, j);
    m_iCurKanaSize = m_piKanaSize[m_iGetDPIndex(i, j, 0) / kDPCands];
    for (int k = 0; k < kDPCands; ++k) {
        DPCELL& cell = m_pDP[m_iGetDPIndex(i, j, k)];
        cell.pPrev = nullptr;
        if (cell.cr.code == 0 || cell.cr.score <= 0) {
            cell.bRejected = 1;
            cell.fValidity = g_fMinFloatVal;
            continue;
        }
        float best = g_fMinFloatVal;
        DPCELL* winner = nullptr;
        const float own = m_fCellTerms(cell);
        for (int jp = m_iDPFirstStart(j); jp < j; ++jp) {
            for (int kp = 0; kp < kDPCands; ++kp) {
                DPCELL& prev = m_pDP[m_iGetDPIndex(j, jp, kp)];
                if (prev.bRejected) continue;
                float v = m_fEvaluate(prev, cell, own);
                if (v > best) {
                    best = v;
                    winner = &prev;
                }
            }
        }
        if (winner == nullptr) {
            cell.bRejected = 1;
            cell.fValidity = g_fMinFloatVal;
            continue;
        }
        cell.bRejected = 0;
        cell.pPrev = winner;
        cell.fValidity = best;
        cell.iCharElmC = winner->iCharElmC + 1;
    }
    return true;
}

int aSROBJ::m_iSetResultCount(int max) {
    const int t = static_cast<int>(m_pDPSorted[0].fValidity * 1.1);
    int count = 0;
    while (count < max) {
        const int v = static_cast<int>(m_pDPSorted[count].fValidity);
        if (v == 0 || v < t) break;
        ++count;
    }
    m_iResCount = m_iDPResCount = count;
    return count;
}

long aSROBJ::m_lDPSearch() {
    if (m_lAllocDPTable() != SR_OK) return SR_ERR_MEMORY;
    // A line less than kOneCharLineTenths / 10 times as wide as it is high may be one character
    // written wide, whatever the size estimated from its ink runs: a character of separate
    // parts (瀕, 征) measures as its parts, so that the whole line exceeds the width a run
    // may have and could only be read as those parts. The whole line is then always tried
    // as one character; the evaluation weighs it against its readings as several.
    const tagRECT ink = rcLineBound();
    m_bMayBeOneChar = (static_cast<long long>(ink.right) - ink.left) * 10 <
                      kOneCharLineTenths * (static_cast<long long>(ink.bottom) - ink.top);
    // Every admissible run is classified once; the chains are then evaluated over the
    // candidates, which lets the evaluation run again with other tables.
    const int n = m_SegRes.iGetElmCount();
    rRunCache().vBeginRead();
    for (int i = 1; i <= n; ++i) {
        // Start boundaries further back than the lattice keeps lie more than
        // kMaxCharStrokes strokes away: no character starts there.
        for (int j = m_iDPFirstStart(i); j < i; ++j)
            if (!m_bClassifyRun(i, j)) m_vRejectProc(i, j);
    }
    const long rc = m_lChainSearch();
    return rc == SR_OK ? m_lReadKeptAcrossCounts() : rc;
}

namespace {
// Runs the first reading puts at this or above are not read again. The classifier's third
// look runs only below 950; on the held-out lines the runs read from 900 to 950 changed no
// line's results in any error kind, and they cost a third more instructions on a line of
// random kanji.
constexpr int kCountLookBelow = 900;
// The line's evaluation (a log-probability) must rise by this much for the readings across
// stroke counts to stand. On the held-out lines the readings that put a joined character
// right raised it by 1.17 or more; the two that made a standard or joined line wrong (シ
// read as ラ through a split, 鍼 as 緘) by 0.02 and 0.21.
constexpr float kAcrossCountsGain = 0.5f;
} // namespace

// The characters of the best chain, read again with the classifier's matching across
// stroke counts (joined and split strokes undone). The search classifies every run with the
// count as written: across counts most runs, which are not characters, find shapes through
// joins and splits and the segmentation changes. The runs the chain settled on are read
// again instead; a run whose reading so finds a better first candidate takes those
// candidates, the chosen one kept among them, and the chains are evaluated again. A run
// whose chosen candidate is not its best shape is left as it is: the line's terms already
// chose against the shape, and a better shape would overturn them. The new readings stand
// only when the best chain gains kAcrossCountsGain; else the first readings come back.
long aSROBJ::m_lReadKeptAcrossCounts() {
    struct KEPT {
        int row;
        CR_RESULT cands[kDPCands];
    };
    std::vector<KEPT> before;
    const float first = m_pDPSorted[0].fValidity;
    try {
        for (const DPCELL* cell = &m_pDPSorted[0]; cell != nullptr; cell = cell->pPrev) {
            const int i = cell->iFwdPos, j = cell->iBwdPos;
            DPCELL* row = &m_pDP[m_iGetDPIndex(i, j, 0)];
            if (row[0].cr.score >= kCountLookBelow || cell->cr.score < row[0].cr.score ||
                m_iMakePatternW(i, j) != 0)
                continue;
            const RUNCACHE::RESULT& r = rRunCache().rClassify(m_patw, true);
            if (r.found == 0 || r.cands[0].score <= row[0].cr.score) continue;
            KEPT k{m_iGetDPIndex(i, j, 0), {}};
            for (int c = 0; c < kDPCands; ++c) k.cands[c] = row[c].cr;
            before.push_back(k);
            const CR_RESULT chosen = cell->cr;
            bool kept = false;
            for (int c = 0; c < kDPCands; ++c) {
                const CR_RESULT& cand = r.cands[c];
                row[c].cr = cand.code == 0 || cand.score <= 0 ? CR_RESULT{0, 0, 0} : cand;
                kept = kept || row[c].cr.code == chosen.code;
            }
            if (kept) continue;
            // in place of the last candidate, at its rank
            int at = kDPCands - 1;
            while (at > 0 && (row[at - 1].cr.code == 0 || row[at - 1].cr.score < chosen.score))
                --at;
            for (int c = kDPCands - 1; c > at; --c) row[c].cr = row[c - 1].cr;
            row[at].cr = chosen;
        }
    } catch (const std::bad_alloc&) {
        // the rows changed so far are undone below
    }
    if (before.empty()) return SR_OK;
    long rc = m_lChainSearch();
    if (rc == SR_OK && m_pDPSorted[0].fValidity - first >= kAcrossCountsGain) return rc;
    for (const KEPT& k : before)
        for (int c = 0; c < kDPCands; ++c) m_pDP[k.row + c].cr = k.cands[c];
    return m_lChainSearch();
}

long aSROBJ::m_lChainSearch() {
    const int n = m_SegRes.iGetElmCount();
    if (m_pDP == nullptr || n <= 0) return SR_ERR_STATE;
    m_vFreeCODESCORE();
    for (int i = 1; i <= n; ++i) {
        const int first = m_iDPFirstStart(i);
        if (first == 0) m_iEval_k_(i);
        for (int j = std::max(first, 1); j < i; ++j) m_iEval_j_(i, j);
    }
    // All chains ending at the last element, by start boundary: the ones the lattice does
    // not keep as rejected cells, then the kept ones.
    const int first = m_iDPFirstStart(n);
    for (int j = 0; j < first; ++j) {
        for (int k = 0; k < kDPCands; ++k) {
            DPCELL& cell = m_pDPSorted[static_cast<size_t>(j) * kDPCands + k];
            cell = DPCELL{};
            cell.iBwdPos = j;
            cell.iFwdPos = n;
            cell.bRejected = 1;
            cell.fValidity = g_fMinFloatVal;
        }
    }
    const DPCELL* last = m_pDP + m_iGetDPIndex(n, first, 0);
    std::copy(last, last + static_cast<size_t>(n - first) * kDPCands,
              m_pDPSorted + static_cast<size_t>(first) * kDPCands);
    std::stable_sort(m_pDPSorted, m_pDPSorted + static_cast<size_t>(n) * kDPCands,
                     [](const DPCELL& a, const DPCELL& b) { return a.fValidity > b.fValidity; });
    if (m_pDPSorted[0].bRejected) {
        m_iResCount = m_iDPResCount = 0;
        return SR_ERR_FAILED;
    }
    m_iSetResultCount(n * kDPCands);
    return m_iResCount > 0 ? SR_OK : SR_ERR_FAILED;
}

bool aSROBJ::m_lAllocCODESCORE(int count) {
    m_vFreeCODESCORE();
    if (count <= 0) return true;
    m_ppCodeScore = new (std::nothrow) CODE_SCORE*[count]();
    if (m_ppCodeScore == nullptr) return false;
    m_iCodeScoreCount = count;
    for (int n = 0; n < count; ++n) {
        m_ppCodeScore[n] = new (std::nothrow) CODE_SCORE[kDPCands]();
        if (m_ppCodeScore[n] == nullptr) {
            m_vFreeCODESCORE();
            return false;
        }
    }
    return true;
}

void aSROBJ::m_vFreeCODESCORE() {
    if (m_ppCodeScore != nullptr)
        for (int n = 0; n < m_iCodeScoreCount; ++n) delete[] m_ppCodeScore[n];
    delete[] m_ppCodeScore;
    m_ppCodeScore = nullptr;
    m_iCodeScoreCount = 0;
}

long aSROBJ::m_lMissRecogModifyProc() {
    // Until a correction succeeds the results are those of the segmentation search.
    m_vFreeCODESCORE();
    m_iResCount = m_iDPResCount;
    if (m_pSetInfo == nullptr || !m_pSetInfo->bCalcTagData()) return SR_ERR_STATE;
    const int tags = static_cast<int>(m_pSetInfo->lGetTagCount());
    if (!m_lAllocCODESCORE(tags) || m_ppCodeScore == nullptr) {
        m_vFreeCODESCORE();
        return SR_ERR_MEMORY;
    }
    for (int t = 0; t < tags; ++t) {
        long head = 0, tail = 0;
        m_pSetInfo->bGetTagInfo(t, &head, &tail);
        const long eh = m_SegRes.lGetElmNoHead(head), et = m_SegRes.lGetElmNoTail(tail);
        CODE_SCORE* list = m_ppCodeScore[t];
        const DPCELL* cell = eh >= 0 && et >= eh
                                 ? pGetCell(static_cast<int>(et + 1), static_cast<int>(eh), 0)
                                 : nullptr;
        if (cell != nullptr && !cell->bRejected) {
            for (int k = 0; k < kDPCands; ++k) {
                const CR_RESULT& cr =
                    m_pDP[m_iGetDPIndex(static_cast<int>(et + 1), static_cast<int>(eh), k)].cr;
                list[k] = CODE_SCORE{cr.code, cr.score};
            }
            continue;
        }
        long err = SR_OK;
        PATTERN_W* patw = pMakePATW(head, tail, POINT_W{0, 0, 0}, &err);
        if (patw == nullptr) {
            m_vFreeCODESCORE();
            return err;
        }
        CR_RESULT cands[kDPCands] = {};
        const int found = iClassifyRun(patw, cands, kDPCands);
        for (int k = 0; k < found && k < kDPCands; ++k)
            list[k] = CODE_SCORE{cands[k].code, cands[k].score};
        delete[] patw->data;
        delete patw;
    }
    if (g_srlp.m_bgc.iCorrectResult(m_ppCodeScore, tags, kDPCands) != 0) {
        m_vFreeCODESCORE();
        return SR_ERR_MEMORY;
    }
    // The corrected string: the first candidate of every character, one character per tag
    // so that character n is the one whose strokes the n-th tag gives. A code whose high
    // byte is below 0x80 is a single-byte character (its zero high byte written out would
    // end the string early); a character the classifier could not read is the geta mark.
    std::memset(m_szString, 0, sizeof m_szString);
    if (tags <= SR_MAX_STRING_CHARS) {
        size_t pos = 0;
        for (int t = 0; t < tags; ++t) {
            uint32_t code = m_ppCodeScore[t][0].code & 0xFFFF;
            if (code == 0) code = SR_UNREAD_CODE;
            if ((code >> 8) >= 0x80) m_szString[pos++] = static_cast<char>(code >> 8);
            m_szString[pos++] = static_cast<char>(code & 0xFF);
        }
    }
    m_iResCount = 1;
    return SR_OK;
}
