// Model pattern requests: stroke count, the model scaled to a box, and the score of a
// written character against the model.
#include "recservice/model_dictionary.h"
#include "recservice/service_state.h"
#include "recservice/shape_score.h"
#include "tessera/veltarec.h"

#include <cmath>
#include <cstdlib>

using veltarec::ModelReader;

namespace {

// The box GetScore scales the model into, and the candidates it asks for.
constexpr int32_t kScoreBox = 120;
constexpr int32_t kScoreCandidates = 20;

int16_t ClampToInt16(double v) {
    if (!(v > -32768.0)) return -32768; // also NaN
    if (v > 32767.0) return 32767;
    return static_cast<int16_t>(v); // truncation toward zero
}

int16_t ClampToInt16(long v) {
    if (v < -32768) return -32768;
    if (v > 32767) return 32767;
    return static_cast<int16_t>(v);
}

} // namespace

int32_t GetTehonNum(uint32_t code) {
    ModelReader reader;
    if (!reader.Open(code)) return 0;
    int32_t strokes = 0;
    uint8_t x, y;
    while (reader.Next(x, y)) {
        if (!ModelReader::IsMarker(x, y)) continue;
        ++strokes;
        if (ModelReader::IsEnd(x, y)) return strokes;
    }
    return 0; // the model's end marker is missing: the data is unreadable
}

PATTERN_W* GetTehonPattern(uint32_t code, int32_t width, int32_t height, int32_t* pStrokeCount) {
    if (pStrokeCount) *pStrokeCount = 0;
    ModelReader reader;
    if (!reader.Open(code)) return nullptr;

    // First pass: the extent, at least the reference size, and the number of points.
    long maxX = veltarec::ModelReferenceWidth();
    long maxY = veltarec::ModelReferenceHeight();
    long points = 0;
    uint8_t x, y;
    bool ended = false;
    while (!ended && reader.Next(x, y)) {
        if (ModelReader::IsMarker(x, y)) {
            ended = ModelReader::IsEnd(x, y);
            continue;
        }
        if (x > maxX) maxX = x;
        if (y > maxY) maxY = y;
        ++points;
    }
    if (!ended || !reader.Rewind()) return nullptr;

    auto* pattern = static_cast<PATTERN_W*>(std::calloc(1, sizeof(PATTERN_W)));
    if (!pattern) return nullptr;
    if (points > 0) {
        pattern->data =
            static_cast<POINT_W*>(std::calloc(static_cast<size_t>(points), sizeof(POINT_W)));
        if (!pattern->data) {
            std::free(pattern);
            return nullptr;
        }
    }
    // A model drawn entirely on x = 0 (or y = 0) with no reference size has no extent;
    // it keeps its coordinate 0 instead of dividing by zero.
    const double sx = static_cast<double>(width) / static_cast<double>(maxX > 0 ? maxX : 1);
    const double sy = static_cast<double>(height) / static_cast<double>(maxY > 0 ? maxY : 1);

    // Second pass: the scaled points with their stroke attributes.
    int32_t strokes = 0;
    long n = 0;
    bool strokeStart = true;
    ended = false;
    while (!ended && reader.Next(x, y)) {
        if (ModelReader::IsMarker(x, y)) {
            ++strokes;
            if (n > 0) pattern->data[n - 1].attr = PT_PENUP;
            strokeStart = true;
            ended = ModelReader::IsEnd(x, y);
            continue;
        }
        if (n >= points) break; // the file changed between the passes
        POINT_W& p = pattern->data[n++];
        p.x = ClampToInt16(x * sx);
        p.y = ClampToInt16(y * sy);
        p.attr = strokeStart ? PT_PENDOWN : 0;
        strokeStart = false;
    }
    if (!ended || n != points) {
        ReleaseTehonPattern(pattern);
        return nullptr;
    }
    pattern->num = static_cast<int32_t>(points);
    if (pStrokeCount) *pStrokeCount = strokes;
    return pattern;
}

void ReleaseTehonPattern(PATTERN_W* pPatW) {
    if (!pPatW) return;
    std::free(pPatW->data);
    std::free(pPatW);
}

int32_t GetScore(PATTERN_W* pPatW, uint32_t code, int16_t* pStrokeDiff, int16_t* pShapeScore,
                 int16_t* pRecogScore) {
    if (pStrokeDiff) *pStrokeDiff = 0;
    if (pShapeScore) *pShapeScore = 0;
    if (pRecogScore) *pRecogScore = 0;
    // Without a written pattern there is nothing to score.
    if (!pPatW || pPatW->num < 0 || (pPatW->num > 0 && !pPatW->data)) return 0;

    int32_t modelStrokes = 0;
    PATTERN_W* model = GetTehonPattern(code, kScoreBox, kScoreBox, &modelStrokes);
    if (!model) return 0;

    int shape = 0;
    if (veltarec::State().matcherReady) shape = veltarec::ShapeScore(*pPatW, *model);
    if (pShapeScore) *pShapeScore = ClampToInt16(static_cast<long>(shape));
    ReleaseTehonPattern(model);

    long penUps = 0;
    for (int32_t i = 0; i < pPatW->num; ++i)
        if (pPatW->data[i].attr == PT_PENUP) ++penUps;
    if (pStrokeDiff) *pStrokeDiff = ClampToInt16(static_cast<long>(modelStrokes) - penUps);

    CR_RESULT candidates[kScoreCandidates] = {};
    if (RecognizeF(pPatW, candidates, kScoreCandidates) != 0) return 1;
    for (const CR_RESULT& c : candidates)
        if (static_cast<uint16_t>(c.code) == static_cast<uint16_t>(code) && pRecogScore)
            *pRecogScore = ClampToInt16(static_cast<long>(c.score));
    return 1;
}
