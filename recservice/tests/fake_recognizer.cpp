// A stand-in recognizer library. Built three ways: with the string recognizer's export
// names (FAKE_STRING_NAMES), with the classifier's (FAKE_CLASSIFIER_NAMES), or with
// neither, so that the service's binding by name can be watched from the outside.
#include "recservice/tests/fake_log.h"

#include <cstdlib>
#include <cstring>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

FakeLog g_log{};

[[maybe_unused]] void RecordOpen(int count, const char* a, const char* b, const char* c) {
    ++g_log.opens;
    g_log.openArgCount = count;
    const char* args[3] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
        g_log.dic[i][0] = 0;
        if (i < count && args[i]) std::strncpy(g_log.dic[i], args[i], sizeof g_log.dic[i] - 1);
    }
}

[[maybe_unused]] int Recognize(const PATTERN_W* pattern, CR_RESULT* results, int capacity) {
    ++g_log.recognizeCalls;
    g_log.recognizeCapacity = capacity;
    g_log.recognizePattern = pattern;
    if (results)
        for (int i = 0; i < g_log.resultCount && i < capacity && i < 32; ++i)
            results[i] = g_log.results[i];
    return g_log.recognizeResult;
}

} // namespace

FAKE_EXPORT FakeLog* FakeGetLog() {
    return &g_log;
}

// Candidates for programs that load the stand-in in a process of their own:
// FAKE_CANDIDATES="code:score,code:score,..." (codes in hex) fills the answers at attach.
void CandidatesFromEnvironment() {
    const char* list = std::getenv("FAKE_CANDIDATES");
    if (!list) return;
    int n = 0;
    while (*list && n < 32) {
        char* end = nullptr;
        const unsigned long code = std::strtoul(list, &end, 16);
        if (*end != ':') break;
        const long score = std::strtol(end + 1, &end, 10);
        g_log.results[n] =
            CR_RESULT{n + 1, static_cast<int32_t>(score), static_cast<uint32_t>(code)};
        ++n;
        if (*end != ',') break;
        list = end + 1;
    }
    g_log.resultCount = n;
    g_log.recognizeResult = n; // a classifier counts its candidates
}

FAKE_EXPORT int DllEntryPoint(void*, unsigned long reason, void*) {
    if (reason == 1 && g_log.attaches == 0) CandidatesFromEnvironment();
    if (reason == 1) ++g_log.attaches;
    if (reason == 0) ++g_log.detaches;
    return 1;
}

#ifdef FAKE_STRING_NAMES

namespace {
int g_object = 0;
}

FAKE_EXPORT int32_t lSROpenSystem(const char* cr, const char* cc, const char* cb) {
    RecordOpen(3, cr, cc, cb);
    return g_log.openResult;
}
FAKE_EXPORT long lSRLoadEvalTables(const char* name) {
    ++g_log.evalLoads;
    g_log.evalDic[0] = 0;
    if (name) std::strncpy(g_log.evalDic, name, sizeof g_log.evalDic - 1);
    return g_log.evalResult;
}
FAKE_EXPORT void vSRSetClassCount(int32_t count) {
    ++g_log.classCountCalls;
    g_log.classCount = count;
}
FAKE_EXPORT void vSRCloseSystem() {
    ++g_log.closes;
}
FAKE_EXPORT void vSRSetRecCategory(int32_t mask) {
    ++g_log.categoryCalls;
    g_log.category = mask;
}
FAKE_EXPORT void vSRSetGuideBox(const tagRECT* box) {
    ++g_log.guideCalls;
    g_log.guide = *box;
}
FAKE_EXPORT int32_t lSRRecognizeCP(PATTERN_W* pattern, CR_RESULT* results, int32_t count) {
    return Recognize(pattern, results, count);
}
FAKE_EXPORT void* hSRCreateNewObject() {
    return &g_object;
}
FAKE_EXPORT int32_t lSRGetStrokeCount(void*) {
    return 3;
}
FAKE_EXPORT int32_t lSRAddStrokeLast(void*, tagPOINT* points, int32_t count) {
    ++g_log.strokeCalls;
    g_log.strokePointCount = count;
    for (int32_t i = 0; i < count && i < 64; ++i) g_log.stroke[i] = points[i];
    return 0;
}
FAKE_EXPORT int32_t lSRGetNthCharBound(void*, int32_t, int32_t, tagRECT* bound) {
    ++g_log.boundCalls;
    if (bound) *bound = tagRECT{-1, -2, -3, -4};
    return g_log.charBoundResult;
}
// A character whose points span x 10..40 and y 5..25, followed by the two trailer
// records that are not counted in num and must not be read as points.
FAKE_EXPORT PATTERN_W* pSRGetPATWOfNthChar(void*, int32_t, int32_t charNo) {
    static const POINT_W points[] = {{25, 5, 2},  {10, 20, 0},      {40, 25, 4},
                                     {30, 12, 6}, {-900, -900, 10}, {900, 900, 0}};
    auto* pattern = static_cast<PATTERN_W*>(std::malloc(sizeof(PATTERN_W)));
    pattern->data = static_cast<POINT_W*>(std::malloc(sizeof points));
    std::memcpy(pattern->data, points, sizeof points);
    pattern->num = charNo == 99 ? 0 : 4; // character 99 has no points
    ++g_log.patternsMade;
    return pattern;
}
FAKE_EXPORT void vSRDestroyPATW(PATTERN_W* pattern) {
    ++g_log.patternsDestroyed;
    std::free(pattern->data);
    std::free(pattern);
}

#endif

#ifdef FAKE_CLASSIFIER_NAMES

FAKE_EXPORT int iOpenClassRecogModule(const char* cr, const char* cc) {
    RecordOpen(2, cr, cc, nullptr);
    return g_log.openResult;
}
FAKE_EXPORT void vSetClassCount(int count) {
    ++g_log.classCountCalls;
    g_log.classCount = count;
}
FAKE_EXPORT void vCloseClassRecogModule() {
    ++g_log.closes;
}
FAKE_EXPORT void vSetRecogCategory(int mask) {
    ++g_log.categoryCalls;
    g_log.category = mask;
}
// The classifier has a guide box of its own, which the service must not call: its guide
// box call has no classifier fallback.
FAKE_EXPORT void vSetGuideBox(const PAT_POS* box) {
    ++g_log.guideCalls;
    g_log.guide = tagRECT{box->maxx, box->maxy, box->minx, box->miny};
}
FAKE_EXPORT int iClassifyRecognize(PATTERN_W* pattern, CR_RESULT* results, int count) {
    return Recognize(pattern, results, count);
}

#endif
