// The classifier module front end: module state, category filters, the choice between
// recognition over the whole pattern dictionary and over the coarse candidates, and the
// code-to-text conversion.
//
// The same source builds two libraries. GLYPHID_OLD_BUILD selects the older interface:
// every export carries a leading underscore, the open treats the coarse dictionary
// differently and the classify call reports a status instead of a candidate count.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <vector>

#include "classifier/coarse.h"
#include "classifier/crcore.h"
#include "classifier/inkprep.h"
#include "classifier/strokematch.h"

#ifdef GLYPHID_OLD_BUILD
#include "classifier/glyphidold.h"
#define GLYPHID_NAME(name) _##name
#else
#include "tessera/glyphid.h"
#define GLYPHID_NAME(name) name
#endif

namespace {

enum { STATE_CLOSED = 0, STATE_PATTERN = 1, STATE_COARSE = 2 };
constexpr int kAllCategories = 511;

int g_iModuleState = STATE_CLOSED;
int g_iKindForRec = kAllCategories;
int g_iClassCount = 0;
// Matching mode bit: strokes are matched in the order and direction written only.
constexpr int kModeInOrder = 2;
bool g_bInOrder = false;
// Matching mode bit: strokes are matched with the count written only (no joined or split
// strokes looked for).
constexpr int kModeCountAsWritten = 4;
bool g_bCountAsWritten = false;
// Matching mode bit: the writing is prepared as it comes, without the conditioning of
// inkprep.h (smoothing and resampling by the character's size).
constexpr int kModeAsWritten = 8;
bool g_bAsWritten = false;
// Matching mode bit: every coarse candidate whose walk fails is matched by DP, however far
// down the coarse ranking it lies.
constexpr int kModeEveryDP = 16;
bool g_bEveryDP = false;
// Otherwise only the first kDPRanks coarse candidates of the first look are: a walk that
// fails further down is nearly always a wrong character, and its DP fill is half the work
// of a recognition. On the held-out imitations no first candidate and no member of the
// first ten is lost so, in any kind of writing; the tails below them change.
constexpr int kDPRanks = 10;
// Writing whose best candidate, matched in the order written, scores at least this much is
// taken as written; below it the strokes may have come in another order or direction.
// (About 3 % of the standard writing of the held-out imitations scores below it.)
constexpr int kWellMatched = 900;
// The second look at such writing takes this many times the class count, of the writing
// and of the writing with its strokes turned the usual way round,
constexpr int kSecondLook = 3;
// and kFoldedLook times as many again of the writing ranked with each direction of the
// coarse features added to its opposite, which finds characters with strokes drawn from
// either end, curved ones too, that turning strokes by their net direction misses.
constexpr int kFoldedLook = 2;
// Writing whose best candidate, after the second look, scores below this may have strokes
// joined or split: a third look matches across stroke counts. (Reordered matches lose
// points for the strokes moved and turned round, so a wrong character of a similar shape
// can come out above kWellMatched there; 950 keeps one joined sample in 300 more among the
// first ten than 900.)
constexpr int kCountLook = 950;
// Writing that the second look reads at kReorderedRead or more, kReorderedGain more than
// anything the first look found, is taken as written in another order with the count
// right, and gets no third look: on the held-out imitations with order and direction
// errors a third look changed no first candidate, and a third of them stop here; no
// joined or split writing there stops here.
constexpr int kReorderedRead = 880;
constexpr int kReorderedGain = 100;
uint16_t* g_pCands = nullptr;
int g_iCandsSize = 0; // codes of the first look's coarse classification that g_pCands takes
int g_iWideSize = 0;  // codes of each of the second look's first two classifications
// g_pCands has room for the first look's codes and the second look's three classifications
// (the third look's take the place of the second's);
// the buffer never shrinks.
char szBuff[8];

// A pass filter's "accept": the category is matched with the DP fallback.
constexpr int kAccept = MFLAG_WALK_OR_DP;
// A pass filter's "accept, by the walk alone" (any positive flag; 0 refuses).
constexpr int kAcceptWalkOnly = 1;

struct CodeRange {
    uint16_t lo, hi; // inclusive
};

// Code ranges of each category mask bit, in bit order.
struct CategoryClass {
    int bit;
    CodeRange ranges[4];
    int count;
};

// Symbols leave out the punctuation at 0x8145-0x8147 and 0x8165-0x8168.
constexpr CategoryClass kClasses[] = {
    {1, {{0x829F, 0x82F1}}, 1},
    {2, {{0x824F, 0x8258}}, 1},
    {4, {{0x8340, 0x8396}}, 1},
    {8, {{0x8148, 0x8164}, {0x8169, 0x81FC}, {0x8740, 0x879C}, {0x8440, 0x8460}}, 4},
    {8, {{0x8470, 0x8491}}, 1},
    {16, {{0x889F, 0x9872}}, 1},
    {32, {{0x989F, 0xFC4B}}, 1},
    {64, {{0x8260, 0x8279}, {0x8281, 0x829A}}, 2},
    {128, {{0x839F, 0x83B6}, {0x83BF, 0x83D6}}, 2},
    {256, {{0x8141, 0x8147}, {0x8165, 0x8168}}, 2},
};

bool IsWantedCategory(uint16_t code, int mask) {
    if (mask == kAllCategories) return true;
    for (const CategoryClass& c : kClasses) {
        if (!(mask & c.bit)) continue;
        for (int i = 0; i < c.count; ++i)
            if (code >= c.ranges[i].lo && code <= c.ranges[i].hi) return true;
    }
    return false;
}

int fnNormalFilter(uint16_t code, void* /*param*/) {
    return IsWantedCategory(code, g_iKindForRec) ? kAccept : 0;
}

// The coarse path's filter: a category must be a coarse candidate and of a wanted class.
// Candidates from rank kDPRanks on (all those the later looks add) get the walk alone.
int fnClassFilter(uint16_t code, void* param) {
    const auto* table = static_cast<const CANDTBL*>(param);
    const int rank = IsCandidate(table, g_pCands, code);
    if (rank < 0) return 0;
    const int flag = fnNormalFilter(code, nullptr);
    return flag == kAccept && rank >= kDPRanks && !g_bEveryDP ? kAcceptWalkOnly : flag;
}

// During the second look g_pCands holds the first look's codes first, then the further
// candidates of the writing, then those of the writing turned round, then those ranked
// without direction.
int g_iFirstLook = 0;
int g_iWiderLook = 0;

// The second look: candidates of the first look are matched with their strokes reordered
// only, their matches as written being among its results already; so are the candidates
// found only for the writing turned round or ranked without direction, which as written it
// does not resemble; the further candidates of the writing are matched both ways.
int fnSecondLookOrder(uint16_t code, void* param) {
    const int rank = IsCandidate(static_cast<const CANDTBL*>(param), g_pCands, code);
    return rank >= g_iFirstLook && rank < g_iWiderLook ? ORDER_ALSO : ORDER_ONLY;
}

// The third look: its candidates are matched only across stroke counts, with joined and
// split strokes undone.
int fnCountLookOrder(uint16_t /*code*/, void* /*param*/) {
    return ORDER_COUNTS;
}

// Folds the second look's candidates (more) into the first look's (res), n records each,
// falling scores: a code keeps its better score, and on equal scores the first look's
// records stay ahead.
void MergeResults(CR_RESULT* res, const CR_RESULT* more, int n) {
    CR_RESULT* all = new (std::nothrow) CR_RESULT[2 * size_t(n)];
    if (!all) return; // the first look's candidates stand
    int m = 0;
    for (int k = 0; k < n && res[k].score > 0; ++k) all[m++] = res[k];
    const int first = m;
    for (int k = 0; k < n && more[k].score > 0; ++k) {
        int same = -1;
        for (int j = 0; j < first; ++j)
            if (all[j].code == more[k].code) same = j;
        if (same < 0)
            all[m++] = more[k];
        else if (more[k].score > all[same].score)
            all[same] = more[k];
    }
    std::stable_sort(all, all + m,
                     [](const CR_RESULT& a, const CR_RESULT& b) { return a.score > b.score; });
    for (int k = 0; k < n; ++k) res[k] = k < m ? all[k] : CR_RESULT{0, 0, 0};
    delete[] all;
}

// The writing with every stroke that runs against the usual direction (from the top down,
// from left to right; rising ticks go up to the right) drawn from its other end, for the
// coarse classification of writing whose strokes may have come the other way round. Null
// when no stroke turns round, or out of memory; the caller frees it.
POINT_W* UsualDirections(const PATTERN_W* pat) {
    POINT_W* out = nullptr;
    const POINT_W* p = pat->data;
    for (int b = 0; b < pat->num;) {
        int e = b + 1;
        while (e < pat->num && !(p[e].attr & PT_PENDOWN)) ++e;
        const int dx = p[e - 1].x - p[b].x, dy = p[e - 1].y - p[b].y;
        // net direction between 170 and 300 degrees (y downwards): leftwards or upwards
        const double deg = std::atan2(double(dy), double(dx)) * 180.0 / M_PI;
        const double a = deg < 0 ? deg + 360.0 : deg;
        if ((dx || dy) && a > 170.0 && a < 300.0) {
            if (!out) {
                out = new (std::nothrow) POINT_W[size_t(pat->num)];
                if (!out) return nullptr;
                std::memcpy(out, p, sizeof(POINT_W) * size_t(pat->num));
            }
            for (int i = b; i < e; ++i) {
                POINT_W q = p[b + e - 1 - i];
                const uint8_t ends = q.attr & (PT_PENDOWN | PT_PENUP);
                q.attr = uint8_t((q.attr & ~(PT_PENDOWN | PT_PENUP)) |
                                 ((ends & PT_PENDOWN) ? PT_PENUP : 0) |
                                 ((ends & PT_PENUP) ? PT_PENDOWN : 0));
                out[i] = q;
            }
        }
        b = e;
    }
    return out;
}

// Keeps of the m codes behind the n codes of g_pCands those not among the n; returns the
// new count.
int KeepNewCandidates(int n, int m) {
    if (m <= 0) return n;
    uint16_t* more = g_pCands + n;
    CANDTBL known;
    if (InitCandSearchTable(&known, g_pCands, n) != 0) return n;
    int added = 0;
    for (int k = 0; k < m; ++k)
        if (IsCandidate(&known, g_pCands, more[k]) < 0) more[added++] = more[k];
    FreeCandSearchTable(&known);
    return n + added;
}

// Adds the first `wanted` coarse candidates of pat as classify ranks them to the n codes
// of g_pCands, leaving out those already there; returns the new count.
int AddCandidates(const PATTERN_W* pat, int n, int wanted,
                  int (*classify)(const PATTERN_W*, uint16_t*, int32_t*, int) = CoarseClassify) {
    return KeepNewCandidates(n, classify(pat, g_pCands + n, nullptr, wanted));
}

// Adds the first `wanted` coarse candidates of pat with every stroke turned the usual way
// round (see UsualDirections), as classify ranks them, to the n codes of g_pCands; returns
// the new count (n when no stroke turns round).
int AddTurnedCandidates(const PATTERN_W* pat, int n, int wanted,
                        int (*classify)(const PATTERN_W*, uint16_t*, int32_t*, int)) {
    POINT_W* turned = UsualDirections(pat);
    if (!turned) return n;
    const PATTERN_W tp{turned, pat->num};
    n = AddCandidates(&tp, n, wanted, classify);
    delete[] turned;
    return n;
}

// Recognition over the n codes of g_pCands: the first look (as written, no order filter)
// or a later one, with its order filter.
int RecognizeCandidates(const PATTERN_W* pPatW, CR_RESULT* pCRres, int iMaxResultCount, int n,
                        CRFILTERPROC order = nullptr) {
    CANDTBL table;
    if (const int rc = InitCandSearchTable(&table, g_pCands, n); rc != 0) return rc;
    SetCRMode(CRMODE_FILTER);
    SetCRPassFilter(fnClassFilter, &table);
    SetCROrderFilter(order, &table);
    SetCRCandidateCodes(g_pCands, n); // the filter passes none but these
    const int rc = RecognizeCP(pPatW, pCRres, iMaxResultCount);
    // The table dies here; the core must not keep a pointer to it.
    SetCRPassFilter(nullptr, nullptr);
    SetCROrderFilter(nullptr, nullptr);
    SetCRCandidateCodes(nullptr, 0);
    FreeCandSearchTable(&table);
    return rc;
}

int recptw_normal(const PATTERN_W* pPatW, CR_RESULT* pCRres, int iMaxResultCount) {
    if (g_iKindForRec == kAllCategories) {
        SetCRMode(CRMODE_ALL);
    } else {
        SetCRMode(CRMODE_FILTER);
        SetCRPassFilter(fnNormalFilter, nullptr);
    }
    return RecognizeCP(pPatW, pCRres, iMaxResultCount);
}

// The coarse path. The nearest coarse candidates are matched as written. When none of them
// matches well, the strokes may have come in another order or direction, or the character
// lies further out: a second look takes kSecondLook times as many coarse candidates, and as
// many again of the writing with its strokes turned the usual way round, and matches them
// also with the strokes put into each pattern's order and direction.
int recptw_class(const PATTERN_W* pPatW, CR_RESULT* pCRres, int iMaxResultCount) {
    if (!g_pCands) return 1;
    const int wanted = std::min(g_iClassCount, g_iCandsSize);
    const int wide = std::min(wanted * kSecondLook, g_iWideSize);
    // The coarse ranking is one order, cut at the count asked for: the first look's
    // candidates are the first `wanted` of the second look's `wide`. So the writing is
    // ranked once, for as many as a second look takes, and the first look matches the
    // first `wanted` of them.
    const int ranked =
        CoarseClassify(pPatW, g_pCands, nullptr, g_bInOrder ? wanted : std::max(wanted, wide));
    if (ranked < 0) return 1;
    const int n = std::min(ranked, wanted);
    int rc = RecognizeCandidates(pPatW, pCRres, iMaxResultCount, n);
    if (rc != 0 || g_bInOrder || pCRres[0].score >= kWellMatched) return rc;

    int all = KeepNewCandidates(n, ranked - n);
    g_iFirstLook = n;
    g_iWiderLook = all;
    all = AddTurnedCandidates(pPatW, all, wide, CoarseClassify);
    all = AddCandidates(pPatW, all, kFoldedLook * wide, CoarseClassifyAnyDirection);
    CR_RESULT* more = new (std::nothrow) CR_RESULT[size_t(iMaxResultCount)];
    if (!more) return 0; // the candidates as written stand
    rc = RecognizeCandidates(pPatW, more, iMaxResultCount, all, fnSecondLookOrder);
    // The second look counts when it finds a better first candidate; otherwise the writing
    // is read as written, candidate list and all.
    const int asWritten = pCRres[0].score;
    if (rc == 0 && more[0].score > pCRres[0].score) MergeResults(pCRres, more, iMaxResultCount);
    const bool reordered =
        pCRres[0].score >= kReorderedRead && pCRres[0].score - asWritten >= kReorderedGain;
    // Still nothing matches well: the writer may have joined strokes or lifted the pen
    // inside one. A third look matches the first look's candidates, as many ranked over
    // every stroke count (strokes lifted at corners make more strokes than the character
    // has) and kSecondLook times as many ranked so without the direction of travel (the
    // pieces of a joined stroke may come in any order and direction), and as many of the
    // writing with its strokes turned the usual way round ranked over every stroke count
    // (strokes drawn backwards put their pen-up moves where the character has none, which
    // even the ranking without direction does not forgive), with joined and split strokes
    // undone; it counts, as the second, when it finds a better first candidate.
    if (!g_bCountAsWritten && !reordered && pCRres[0].score < kCountLook) {
        int counted = AddCandidates(pPatW, n, wanted, CoarseClassifyAnyCount);
        counted = AddCandidates(pPatW, counted, wide, CoarseClassifyAnyCountAnyDirection);
        counted = AddTurnedCandidates(pPatW, counted, wanted, CoarseClassifyAnyCount);
        rc = RecognizeCandidates(pPatW, more, iMaxResultCount, counted, fnCountLookOrder);
        if (rc == 0 && more[0].score > pCRres[0].score) MergeResults(pCRres, more, iMaxResultCount);
    }
    delete[] more;
    return 0;
}

// Runs one recognition: 0 when it ran (the candidates stand in pCRres), else the failure.
int ClassifyRecognize(const PATTERN_W* pPatW, CR_RESULT* pCRres, int iMaxResultCount, int* count) {
    *count = 0;
    if (g_iModuleState == STATE_CLOSED || !pPatW || !pCRres || iMaxResultCount < 1)
        return CR_BADSTATE;
    std::memset(pCRres, 0, sizeof(CR_RESULT) * size_t(iMaxResultCount));
    // Noisy writing is conditioned, and both paths read the conditioned copy; the place and
    // size of the character stay those of the writing. Writing as pens and mice deliver it
    // is read as it comes, and so is noisy writing whose conditioning fails.
    std::vector<POINT_W> conditioned;
    PATTERN_W prepared = *pPatW;
    if (!g_bAsWritten && IsNoisyInk(pPatW, _inkprep) &&
        ConditionInk(pPatW, _inkprep, conditioned)) {
        PAT_POS box;
        getpatpos(&box, pPatW);
        SetCRWrittenBox(&box);
        prepared = PATTERN_W{conditioned.data(), static_cast<int32_t>(conditioned.size())};
    }
    const int rc = (g_iModuleState == STATE_COARSE && g_iClassCount > 0)
                       ? recptw_class(&prepared, pCRres, iMaxResultCount)
                       : recptw_normal(&prepared, pCRres, iMaxResultCount);
    SetCRWrittenBox(nullptr);
    if (rc != 0) return rc;
    int n = 0;
    while (n < iMaxResultCount && pCRres[n].score >= 1) ++n;
    *count = n;
    return 0;
}

void SetMatchingMode(int iMode) {
    g_bInOrder = iMode >= 0 && (iMode & kModeInOrder);
    // equal stroke counts asked for (crmode 1) leave no room for joined or split strokes
    g_bAsWritten = iMode >= 0 && (iMode & kModeAsWritten);
    g_bCountAsWritten = iMode >= 0 && (iMode & (kModeCountAsWritten | 1));
    g_bEveryDP = iMode >= 0 && (iMode & kModeEveryDP);
    if (iMode >= 0) iMode &= ~(kModeInOrder | kModeCountAsWritten | kModeAsWritten | kModeEveryDP);
    CR_INFO info;
    getcrinfo(&info);
    info.crmode = iMode;
    setcrinfo(&info);
}

#ifdef GLYPHID_OLD_BUILD
bool FileExists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0;
}
#endif

// Coarse classification at open. The current build goes without it when the file does not
// load; the older build runs with an empty coarse dictionary when the file is missing and
// refuses one that exists but cannot be read.
int OpenCoarse(const char* cpClassDic) {
#ifdef GLYPHID_OLD_BUILD
    if (!cpClassDic || !FileExists(cpClassDic))
        return InitCoarseClassification(nullptr) == 0 ? STATE_COARSE : -1;
    return InitCoarseClassification(cpClassDic) == 0 ? STATE_COARSE : -1;
#else
    if (cpClassDic && InitCoarseClassification(cpClassDic) == 0) return STATE_COARSE;
    return STATE_PATTERN;
#endif
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int
DllEntryPoint(void* /*instance*/, unsigned long /*reason*/, void* /*reserved*/) {
    return 1;
}

int GLYPHID_NAME(iOpenClassRecogModule)(const char* cpCRdic, const char* cpClassDic) {
    if (g_iModuleState != STATE_CLOSED) return 1;
    if (const int rc = OpenCRSystem(cpCRdic); rc != 0) return rc;
    const int state = OpenCoarse(cpClassDic);
    if (state < 0) {
        CloseCRSystem();
        return 5;
    }
    g_iModuleState = state;
    SetMatchingMode(0);
    return 0;
}

void GLYPHID_NAME(vCloseClassRecogModule)(void) {
    if (g_iModuleState == STATE_CLOSED) return;
    CloseCRSystem();
    if (g_iModuleState == STATE_COARSE) ReleaseCoarseClassification();
    delete[] g_pCands;
    g_pCands = nullptr;
    g_iCandsSize = 0;
    g_iWideSize = 0;
    g_iKindForRec = kAllCategories;
    g_iClassCount = 0;
    g_iModuleState = STATE_CLOSED;
}

int GLYPHID_NAME(iClassifyRecognize)(const PATTERN_W* pPatW, CR_RESULT* pCRres,
                                     int iMaxResultCount) {
    int count = 0;
    const int rc = ClassifyRecognize(pPatW, pCRres, iMaxResultCount, &count);
#ifdef GLYPHID_OLD_BUILD
    return rc;
#else
    return rc == 0 ? count : 0;
#endif
}

void GLYPHID_NAME(vSetClassCount)(int iNewClassCount) {
    if (g_iModuleState != STATE_COARSE || iNewClassCount < 0) return;
    // More codes than the coarse dictionary holds can never come back, so the buffer is
    // sized to at most that many.
    const int most = std::max(_category_count, 1);
    const int needed = std::min(iNewClassCount, most);
    if (needed > g_iCandsSize) {
        const int wide = static_cast<int>(std::min<long>(long{needed} * kSecondLook, most));
        delete[] g_pCands;
        g_pCands = new (std::nothrow)
            uint16_t[size_t(std::max(needed, 1)) + (2 + kFoldedLook) * size_t(wide)];
        g_iCandsSize = g_pCands ? needed : 0;
        g_iWideSize = g_pCands ? wide : 0;
    }
    g_iClassCount = iNewClassCount;
}

void GLYPHID_NAME(vSetRecogCategory)(int iRKflag) {
    if (g_iModuleState == STATE_CLOSED) return;
    if (iRKflag < 0 || iRKflag > kAllCategories) return;
    g_iKindForRec = iRKflag;
}

void GLYPHID_NAME(vSetGuideBox)(const PAT_POS* pPos) {
    if (pPos) SetGuideBoxRect(pPos);
}

void GLYPHID_NAME(vSetMatchingMode)(int iMode) {
    SetMatchingMode(iMode);
}

const char* GLYPHID_NAME(cpCRREStoString)(const CR_RESULT* pCRres) {
    if (!pCRres) return nullptr;
    const auto high = static_cast<char>((pCRres->code >> 8) & 0xFF);
    const auto low = static_cast<char>(pCRres->code & 0xFF);
    if (static_cast<unsigned char>(high) < 0x80) {
        szBuff[0] = low;
        szBuff[1] = 0;
    } else {
        szBuff[0] = high;
        szBuff[1] = low;
        szBuff[2] = 0;
    }
    return szBuff;
}

} // extern "C"
