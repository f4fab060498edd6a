// A stand-in for the older classifier build, linked into a test build of the box
// recognizer so that its calls can be watched.
#include "recservice/tests/fake_log.h"

#include <cstring>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
FakeLog g_log{};
}

FAKE_EXPORT FakeLog* FakeGetLog() {
    return &g_log;
}

FAKE_EXPORT int _iOpenClassRecogModule(const char* cr, const char* cc) {
    ++g_log.opens;
    g_log.openArgCount = 2;
    std::strncpy(g_log.dic[0], cr ? cr : "", sizeof g_log.dic[0] - 1);
    std::strncpy(g_log.dic[1], cc ? cc : "", sizeof g_log.dic[1] - 1);
    return g_log.openResult;
}
FAKE_EXPORT void _vSetClassCount(int count) {
    ++g_log.classCountCalls;
    g_log.classCount = count;
}
FAKE_EXPORT int _iClassifyRecognize(PATTERN_W* pattern, CR_RESULT* results, int count) {
    ++g_log.recognizeCalls;
    g_log.recognizeCapacity = count;
    g_log.recognizePattern = pattern;
    if (results)
        for (int i = 0; i < g_log.resultCount && i < count && i < 32; ++i)
            results[i] = g_log.results[i];
    return g_log.recognizeResult;
}
FAKE_EXPORT void _vCloseClassRecogModule() {
    ++g_log.closes;
}
