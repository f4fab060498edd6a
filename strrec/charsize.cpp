#include "strrec/charsize.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Histograms have one counter per coordinate unit; beyond this many units the input is
// not a handwritten line in any sensible unit and no estimate is made.
constexpr int kMaxHistogram = 65536 + 10;

int16_t Sat16(long v) {
    return static_cast<int16_t>(std::clamp<long>(v, INT16_MIN, INT16_MAX));
}

void SetCharSize(TYPESIZE& ts) {
    std::fill(std::begin(ts.DataWide), std::end(ts.DataWide), int16_t{0});
    std::fill(std::begin(ts.DataHigh), std::end(ts.DataHigh), int16_t{0});
    ts.WideCount = ts.HighCount = 0;
    ts.nHistXData = ts.nHistYData = nullptr;
    ts.nStStroke = ts.nEdStroke = ts.nMojiSize = 0;
    ts.MatSize = {0, 0};
}

void dpChangeMinusToZero(DrawPoint& node) {
    node.PrePoint.x = std::max(node.PrePoint.x, 0);
    node.PrePoint.y = std::max(node.PrePoint.y, 0);
    node.ForPoint.x = std::max(node.ForPoint.x, 0);
    node.ForPoint.y = std::max(node.ForPoint.y, 0);
}

// First non-zero counter at or after pos, -1 if none.
int PreSegmentSearch(const int16_t* hist, int len, int pos) {
    for (int n = std::max(pos, 0); n < len; ++n)
        if (hist[n] != 0) return n;
    return -1;
}

// First zero counter at or after pos, -1 if none.
int ForSegmentSearch(const int16_t* hist, int len, int pos) {
    for (int n = std::max(pos, 0); n < len; ++n)
        if (hist[n] == 0) return n;
    return -1;
}

void AddRange(int16_t* hist, int len, int a, int b) {
    int lo = std::clamp(std::min(a, b), 0, len - 1);
    int hi = std::clamp(std::max(a, b), 0, len - 1);
    for (int n = lo; n <= hi; ++n)
        if (hist[n] < INT16_MAX) ++hist[n];
}

// Projects the nodes [from, stop) onto one axis: within a stroke every node adds the span
// from the end reached so far to its end point; the first node of a stroke only sets the
// start (its start point).
template <class Axis, class Keep>
void Project(int16_t* hist, int len, const DrawPoint* from, const DrawPoint* stop, Axis axis,
             Keep keep) {
    std::fill(hist, hist + len, int16_t{0});
    int last = 0;
    const DrawPoint* prev = nullptr;
    for (const DrawPoint* n = from; n != stop && keep(*n); n = n->forward) {
        if (prev == nullptr || prev->StrokeNum != n->StrokeNum) {
            last = axis(n->PrePoint);
        } else {
            AddRange(hist, len, last, axis(n->ForPoint));
            last = axis(n->ForPoint);
        }
        prev = n;
    }
}

// Height of the ink of strokes up to nEdStroke from the current start.
void TrdSearch(TYPESIZE& ts, const DrawPoint* cur, const DrawPoint* stop) {
    const int16_t ed = ts.nEdStroke;
    Project(
        ts.nHistYData, ts.MatSize.y, cur, stop, [](const tagPOINT& p) { return p.y; },
        [ed](const DrawPoint& n) { return n.StrokeNum <= ed; });
    int lo = PreSegmentSearch(ts.nHistYData, ts.MatSize.y, 0);
    if (lo < 0) return;
    int hi = ForSegmentSearch(ts.nHistYData, ts.MatSize.y, lo);
    if (hi < 0) return;
    if (ts.HighCount < kSizeSlots) ts.DataHigh[ts.HighCount++] = Sat16(hi - lo);
}

// Ink runs along x of one group, each with the height of the strokes that make it.
void SecSearch(TYPESIZE& ts, const DrawPoint* start, const DrawPoint* stop) {
    const DrawPoint* cur = start;
    int pos = 0;
    for (;;) {
        int lo = PreSegmentSearch(ts.nHistXData, ts.MatSize.x, pos);
        if (lo < 0) break;
        int hi = ForSegmentSearch(ts.nHistXData, ts.MatSize.x, lo);
        if (hi < 0) break;
        if (ts.WideCount < kSizeSlots) ts.DataWide[ts.WideCount++] = Sat16(hi - lo);
        bool found = false;
        for (const DrawPoint* n = cur; n != stop; n = n->forward) {
            if (n->PrePoint.x <= hi) {
                ts.nEdStroke = n->StrokeNum;
                found = true;
            }
        }
        if (found) {
            TrdSearch(ts, cur, stop);
            while (cur != stop && cur->StrokeNum <= ts.nEdStroke) cur = cur->forward;
        }
        pos = hi;
    }
}

void FstSearch(TYPESIZE& ts, const DrawPoint* start, const DrawPoint* stop) {
    Project(
        ts.nHistXData, ts.MatSize.x, start, stop, [](const tagPOINT& p) { return p.x; },
        [](const DrawPoint&) { return true; });
    SecSearch(ts, start, stop);
}

// Closes the group that began at `start`: its nodes are those before the first node whose
// stroke number reaches `limit`.
void CloseGroup(TYPESIZE& ts, const DrawPoint* start, int limit) {
    const DrawPoint* stop = start;
    while (stop != nullptr && stop->StrokeNum < limit) stop = stop->forward;
    if (stop != start) FstSearch(ts, start, stop);
}

void CharSegment(TYPESIZE& ts, DrawPoint* head) {
    int maxX = head->PrePoint.x, maxY = head->PrePoint.y;
    for (const DrawPoint* n = head; n != nullptr; n = n->forward) {
        maxX = std::max(maxX, n->ForPoint.x);
        maxY = std::max(maxY, n->ForPoint.y);
    }
    if (maxX > kMaxHistogram - 10 || maxY > kMaxHistogram - 10) return;
    ts.MatSize = {maxX + 10, maxY + 10};
    std::vector<int16_t> histX(ts.MatSize.x), histY(ts.MatSize.y);
    ts.nHistXData = histX.data();
    ts.nHistYData = histY.data();

    const DrawPoint* groupStart = head;
    for (const DrawPoint* n = head; n != nullptr; n = n->forward) {
        ts.nEdStroke = n->StrokeNum;
        if (n->previous != nullptr &&
            std::abs(n->PrePoint.x - n->previous->PrePoint.x) > ts.MatSize.x / 3) {
            CloseGroup(ts, groupStart, ts.nEdStroke);
            groupStart = n;
        }
    }
    CloseGroup(ts, groupStart, INT32_MAX);
    ts.nHistXData = ts.nHistYData = nullptr;
}

// One filter pass: drops every width and height at or above 2.5 times the average or at
// or below the average divided by 1.2. True when something was dropped.
bool sakusakulib(TYPESIZE& ts, int average) {
    bool cleared = false;
    auto pass = [&](int16_t* data) {
        for (int n = 0; n < kSizeSlots; ++n) {
            int w = data[n];
            if (w == 0) continue;
            if (w >= 2.5 * average || average >= 1.2 * w) {
                data[n] = 0;
                cleared = true;
            }
        }
    };
    pass(ts.DataWide);
    pass(ts.DataHigh);
    return cleared;
}

} // namespace

int GetAverage(const TYPESIZE& ts) {
    int16_t sum = 0; // a 16-bit sum, as the collected values are
    int count = 0;
    for (int n = 0; n < kSizeSlots; ++n) {
        if (ts.DataWide[n] != 0) {
            sum = static_cast<int16_t>(sum + ts.DataWide[n]);
            ++count;
        }
        if (ts.DataHigh[n] != 0) {
            sum = static_cast<int16_t>(sum + ts.DataHigh[n]);
            ++count;
        }
    }
    return sum / (count + 1);
}

int GetCharSize(TYPESIZE& ts) {
    double sum = 0, squares = 0;
    for (int n = 0; n < kSizeSlots; ++n) {
        sum += ts.DataWide[n];
        squares += static_cast<double>(ts.DataWide[n]) * ts.DataWide[n];
    }
    double mean = sum / kSizeSlots;
    double spread = std::sqrt(std::max(0.0, squares / kSizeSlots - mean * mean));
    int average = GetAverage(ts);
    while (sakusakulib(ts, average)) average = GetAverage(ts);
    ts.nMojiSize = Sat16(static_cast<long>(average + spread));
    return static_cast<int>(average + spread);
}

int nGetCharacterSize(const tagMYSTROKE* first) {
    std::vector<DrawPoint> nodes;
    int16_t strokeNum = 0;
    for (const tagMYSTROKE* s = first; s != nullptr; s = s->next, ++strokeNum) {
        for (int n = 0; n + 1 < s->iPointCount; ++n) {
            DrawPoint a{nullptr, nullptr, s->pxyData[n + 1], s->pxyData[n], strokeNum};
            DrawPoint b{nullptr, nullptr, s->pxyData[n + 1], s->pxyData[n + 1], strokeNum};
            dpChangeMinusToZero(a);
            dpChangeMinusToZero(b);
            nodes.push_back(a);
            nodes.push_back(b);
        }
    }
    if (nodes.empty()) return 0;
    for (size_t n = 0; n < nodes.size(); ++n) {
        nodes[n].previous = n > 0 ? &nodes[n - 1] : nullptr;
        nodes[n].forward = n + 1 < nodes.size() ? &nodes[n + 1] : nullptr;
    }
    TYPESIZE ts;
    SetCharSize(ts);
    CharSegment(ts, nodes.data());
    if (ts.WideCount == 0) return 0;
    return GetCharSize(ts);
}
