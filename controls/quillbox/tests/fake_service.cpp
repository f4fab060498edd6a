// A stand-in for the recognition service with the three functions the handwriting box
// binds. It answers every recognition from a candidate table the test sets, and records
// what it was called with so that tests can check the box's side of the exchange.
#include "tessera/records.h"

#include <cstring>
#include <string>
#include <vector>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::vector<CR_RESULT> g_table;
int32_t g_result = 0;
int32_t g_guide[4] = {-1, -1, -1, -1};
int32_t g_mask = -1;
std::string g_log;
std::vector<POINT_W> g_lastPattern;

} // namespace

#ifndef FAKE_ATTACH_RESULT
#define FAKE_ATTACH_RESULT 1
#endif

EXPORT int DllEntryPoint(void*, unsigned long, void*) {
    return FAKE_ATTACH_RESULT;
}

#ifndef FAKE_WITHOUT_GUIDEBOX
EXPORT void SetGuideBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    g_guide[0] = x1;
    g_guide[1] = y1;
    g_guide[2] = x2;
    g_guide[3] = y2;
    g_log += 'G';
}
#endif

EXPORT void SetRecCategory(int32_t mask) {
    g_mask = mask;
    g_log += 'C';
}

EXPORT int32_t RecognizeF(PATTERN_W* pat, CR_RESULT* list, int32_t count) {
    g_log += 'R';
    g_lastPattern.assign(pat->data, pat->data + pat->num);
    if (count > 0) std::memset(list, 0, sizeof(CR_RESULT) * static_cast<size_t>(count));
    for (size_t i = 0; i < g_table.size() && i < static_cast<size_t>(count); ++i)
        list[i] = g_table[i];
    return g_result;
}

// --- test controls ---

EXPORT void FakeSetTable(const CR_RESULT* list, int32_t n, int32_t result) {
    g_table.assign(list, list + n);
    g_result = result;
}

EXPORT void FakeReset() {
    g_table.clear();
    g_result = 0;
    for (int32_t& v : g_guide) v = -1;
    g_mask = -1;
    g_log.clear();
    g_lastPattern.clear();
}

EXPORT const int32_t* FakeGuideBox() {
    return g_guide;
}
EXPORT int32_t FakeMask() {
    return g_mask;
}
EXPORT const char* FakeLog() {
    return g_log.c_str();
}
EXPORT int32_t FakePatternSize() {
    return static_cast<int32_t>(g_lastPattern.size());
}
EXPORT const POINT_W* FakePattern() {
    return g_lastPattern.data();
}
