#include "tests/fake_classifier.h"

#include "strrec/classifier_api.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {
fake::Handler g_handler;
int g_calls = 0;
int g_openResult = 0;
bool g_open = false;
char g_text[8];
} // namespace

namespace fake {
void SetHandler(Handler handler) {
    g_handler = std::move(handler);
}
int CallCount() {
    return g_calls;
}
void ResetCallCount() {
    g_calls = 0;
}
void SetOpenResult(int result) {
    g_openResult = result;
}
bool IsOpen() {
    return g_open;
}

int StrokeCount(const PATTERN_W& patw) {
    int strokes = 0;
    bool inStroke = false;
    for (int n = 0; n < patw.num; ++n) {
        const uint8_t a = patw.data[n].attr;
        if (a & PT_PENDOWN) {
            if (inStroke) return -1;
            inStroke = true;
            ++strokes;
        } else if (!inStroke) {
            return -1;
        }
        if (a & PT_PENUP) inStroke = false;
    }
    return inStroke ? -1 : strokes;
}

int MinX(const PATTERN_W& patw) {
    int x = INT_MAX;
    for (int n = 0; n < patw.num; ++n) x = std::min<int>(x, patw.data[n].x);
    return x;
}
} // namespace fake

extern "C" {
int iOpenClassRecogModule(const char*, const char*) {
    if (g_open) return 1;
    if (g_openResult == 0) g_open = true;
    return g_openResult;
}
void vCloseClassRecogModule(void) {
    g_open = false;
}
int iClassifyRecognize(const PATTERN_W* pPatW, CR_RESULT* pCRres, int iMaxResultCount) {
    ++g_calls;
    if (!g_open || pPatW == nullptr || pCRres == nullptr || iMaxResultCount < 1) return 0;
    std::fill(pCRres, pCRres + iMaxResultCount, CR_RESULT{0, 0, 0});
    if (!g_handler || pPatW->num <= 0) return 0;
    return g_handler(*pPatW, pCRres, iMaxResultCount);
}
void vSetClassCount(int) {}
void vSetRecogCategory(int) {}
void vSetGuideBox(const PAT_POS*) {}
void vSetMatchingMode(int) {}
const char* cpCRREStoString(const CR_RESULT* pCRres) {
    if (pCRres == nullptr) return nullptr;
    const unsigned h = (pCRres->code >> 8) & 0xFF, l = pCRres->code & 0xFF;
    if (h < 0x80) {
        g_text[0] = static_cast<char>(l);
        g_text[1] = 0;
    } else {
        g_text[0] = static_cast<char>(h);
        g_text[1] = static_cast<char>(l);
        g_text[2] = 0;
    }
    return g_text;
}
}
