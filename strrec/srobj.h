// The recognition object: the strokes of a line, its pre-segmentation, the DP lattice of
// character hypotheses with its sorted final column, the result strings, the caller's
// stroke-set information and the corrected per-character candidate lists.
#pragma once

#include "strrec/strokes.h"
#include "strrec/strokeset.h"
#include "strrec/tmpsegres.h"
#include "tessera/records.h"
#include "tessera/seqread.h"

enum : int { kDPCands = 10, kInitialPoints = 1024 };

// The most strokes one character of two or more elements may span. The largest characters
// the dictionaries hold have 30 strokes (驫, 鸞); two more leave room for strokes written
// in two pieces. Longer runs are never tried, so the lattice keeps, for every end
// boundary, only the start boundaries at most this many elements back, and a line costs
// time and memory in proportion to its length. A single element is always tried, however
// many strokes it holds.
enum : int { kMaxCharStrokes = 32 };

// A line less than this many tenths as wide as it is high is also tried as one character,
// however wide against the estimated character size.
enum : int { kOneCharLineTenths = 20 };

// The character size is at least this share (percent) of the height of the line's ink:
// a line's characters stand on a drifting baseline, so the line is a little higher
// than they are, and kana, small marks and flat characters are lower still.
enum : int { kLineHeightShare = 85 };

// One lattice cell: candidate k of the character covering elements iBwdPos+1..iFwdPos.
class DPCELL {
public:
    virtual ~DPCELL() = default;

    DPCELL* pPrev = nullptr; // previous character on the best chain
    int iCharElmC = 0;       // characters on the chain up to this one
    int iBwdPos = 0;         // boundary j
    int iFwdPos = 0;         // boundary i
    CR_RESULT cr = {0, 0, 0};
    float fValidity = 0.0f; // log-probability of the best chain ending here
    int bRejected = 0;
};

// Triangular numbers sigma(0..N) for lattice indexing.
class aSIGMA {
public:
    explicit aSIGMA(int size);
    ~aSIGMA();
    aSIGMA(const aSIGMA&) = delete;
    aSIGMA& operator=(const aSIGMA&) = delete;

    bool bValid() const { return m_pSigma != nullptr || m_iSize == 0; }
    // sigma(index) for 1 <= index <= N, else 0.
    int iGetSigma(int index) const;
    int iGetSize() const { return m_iSize; }

private:
    int m_iSize = 0;
    int* m_pSigma = nullptr;
};

class aSROBJ : public ICharStrokes {
public:
    aSROBJ();
    ~aSROBJ() override;
    aSROBJ(const aSROBJ&) = delete;
    aSROBJ& operator=(const aSROBJ&) = delete;

    bool bValid() const { return m_patw.data != nullptr; }
    bool bRecognized() const { return m_pDP != nullptr; }

    // Strokes.
    long lAddStrokeLast(const tagPOINT* pStroke, long lPointCount);
    long lDeleteStrokeLast();
    tagMYSTROKE* pGetStroke(long n) const;          // null when out of range
    long lStrokeNumber(const tagMYSTROKE* s) const; // position in the list, -1 if absent

    // Recognition (first run: segmentation search; later runs: correction pass).
    long lRecognize();
    // Bounding box of all strokes (empty without points).
    tagRECT rcLineBound() const;
    long m_lDPSearch();
    long m_lMissRecogModifyProc();

    // Results.
    long lGetResultCount() const { return m_iResCount; }
    // Number of candidates of the segmentation search (the result count before a
    // correction pass replaced it with the one corrected string).
    long lGetDPResultCount() const { return m_iDPResCount; }
    // Candidate string; sets *pErr. *pLength receives the length in characters.
    const char* cpGetString(long lCandNo, long* pLength, long* pErr);
    // First and last stroke number of a character (lCandNo -1: of an element).
    long lGetStrokeNoOfNthChar(long lCandNo, long lCharNo, long* pHead, long* pTail) const;
    long lGetNthCharBound(long lCandNo, long lCharNo, tagRECT* pBound) const;
    // A new pattern of strokes lHead..lTail with the two trailer records.
    PATTERN_W* pMakePATW(long lHead, long lTail, POINT_W trailer, long* pErr) const;
    bool bHasCorrection() const { return m_ppCodeScore != nullptr; }
    const CODE_SCORE* pGetCodeScore(int n) const {
        return n >= 0 && n < m_iCodeScoreCount ? m_ppCodeScore[n] : nullptr;
    }
    int iGetCodeScoreCount() const { return m_iCodeScoreCount; }

    // ICharStrokes: characters of a DP candidate.
    long lCharCountOfCand(long lCandNo) const override;
    bool bStrokesOfChar(long lCandNo, long n, long* plHead, long* plTail) const override;

    // Lattice access (tests and the correction pass). Row i holds the start boundaries
    // m_iDPFirstStart(i) ... i-1; pGetCell gives null for any other (i, j).
    int m_iGetDPIndex(int i, int j, int k) const;
    const DPCELL* pGetCell(int i, int j, int k) const;
    static int m_iDPFirstStart(int i) { return i > kMaxCharStrokes ? i - kMaxCharStrokes : 0; }
    const DPCELL* pGetSorted(int c) const;
    // The chain search again over the classified lattice (after the evaluation tables
    // changed); 0, 5 when no chain reaches the end, 1 before recognition. A correction
    // is dropped.
    long m_lChainSearch();
    // Box parameter of run (i, j) of the lattice; distance parameter of boundary k.
    int iGetRowBoxParam(int i, int j) const;
    int iGetDistParam(int k) const { return m_piDist[k]; }

    int m_iStrokeCount = 0;
    tagMYSTROKE m_strkDum{};
    tagMYSTROKE* m_pstrkCur = nullptr;
    tagSIZE m_sizChar = {0, 0};
    TMPSEGRES m_SegRes;
    int m_iDPSize = 0;
    int m_iResCount = 0;
    DPCELL* m_pDP = nullptr;
    DPCELL* m_pDPSorted = nullptr;
    char m_szString[256] = {};
    STROKESETINFO* m_pSetInfo = nullptr;
    CODE_SCORE** m_ppCodeScore = nullptr;
    int m_iCurPtCount = 0;
    PATTERN_W m_patw = {nullptr, 0};
    tagRECT m_rcBoundTmp = {0, 0, 0, 0};
    aSIGMA* m_pSigma = nullptr;

protected:
    long m_lAllocDPTable();
    void m_vFreeDPTable();
    int m_iMakePatternW(int i, int j);
    bool m_bCheckPatternBound(const tagRECT& box) const;
    bool m_bCheckSegPos(int i, int j) const;
    bool m_bClassifyRun(int i, int j);
    long m_lReadKeptAcrossCounts();
    void m_iEval_k_(int i);
    bool m_iEval_j_(int i, int j);
    float m_fInitialEval(DPCELL& cell, const CR_RESULT& cand, int i);
    float m_fCellTerms(const DPCELL& cur) const;
    // Value of the chain through prev ending with cur, whose own terms sum to own.
    float m_fEvaluate(const DPCELL& prev, const DPCELL& cur, float own) const;
    int m_iGetDistParam(int k) const;
    // Cells of the rows before row i, over kDPCands.
    long long m_llDPRowBase(int i) const;
    // Strokes of elements j+1 ... i.
    int m_iStrokesOfRun(int i, int j) const { return m_piStrokeEnd[i] - m_piStrokeEnd[j]; }
    int m_iGetBoxParam() const;
    int m_iKanaSizeOfRun(int i, int j) const;
    void m_vRejectProc(int i, int j);
    int m_iSetResultCount(int max);
    bool m_lAllocCODESCORE(int count);
    void m_vFreeCODESCORE();
    // The DP cell of character n of sorted candidate c, or null.
    const DPCELL* pCellOfChar(long lCandNo, long n) const;
    // Stroke numbers of a lattice cell's character.
    void vStrokesOfCell(const DPCELL& cell, long* plHead, long* plTail) const;
    bool bStrokeRangeOk(long lHead, long lTail) const {
        return lHead >= 0 && lHead <= lTail && lTail < m_iStrokeCount;
    }

    int m_iCodeScoreCount = 0;
    int m_iDPResCount = 0;
    int* m_piDist = nullptr;           // distance parameters of boundaries 0..N (0 unused)
    int* m_piStrokeEnd = nullptr;      // strokes up to the end of element k, k = 0..N
    int m_iPatDirty = 0;               // leading points of m_patw.data that may be non-zero
    int* m_piBoxParam = nullptr;       // box parameter of every run of the lattice
    int* m_piKanaSize = nullptr;       // size score of every run (kNoKanaSize: none)
    int m_iCurKanaSize = 0;            // that of the run being evaluated
    tagRECT* m_prcStrokeBox = nullptr; // box of every stroke (empty: no points), in order
    int m_iCurBoxParam = 0;            // that of the run being evaluated
    bool m_bMayBeOneChar = false;      // the whole line is tried as one character
};
