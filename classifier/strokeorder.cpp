// Stroke order and direction: the assignment of written strokes to a pattern's strokes
// and the input rewritten in the pattern's order.
#include "classifier/strokeorder.h"

#include "classifier/strokematch.h"

#include <climits>
#include <cstring>
#include <new>
#include <vector>

namespace {

inline int iabs(int v) {
    return v < 0 ? -v : v;
}

} // namespace

bool strokekeys(const PATTERN_B* pat, STROKE_KEY* keys) {
    const int n = pat->stroke;
    const POINT_B* p = pat->data;
    if (pat->num < 1 || !(p[0].attr & PB_PENDOWN)) return false;
    int k = -1;
    for (int i = 0; i < pat->num; ++i) {
        if (p[i].attr & PB_PENDOWN) {
            if (++k >= n) return false;
            if (k > 0) keys[k - 1].end = i;
            keys[k].begin = i;
        }
    }
    if (k != n - 1) return false;
    keys[k].end = pat->num;
    for (int s = 0; s < n; ++s) runkey(p + keys[s].begin, keys[s].end - keys[s].begin, &keys[s]);
    return true;
}

namespace {

// The keys of the input last asked about, beside a copy of its points: a recognition
// offers the same input with every pattern. Null when its pen-down marks do not describe
// its strokes (or out of memory for the copy, and the keys could not be made).
const STROKE_KEY* inputkeys(const PATTERN_B* in) {
    static std::vector<POINT_B> seen;
    static int seenStrokes = -1;
    static bool seenOk = false;
    static STROKE_KEY keys[ORDER_MAXSTROKE];
    const size_t n = in->num > 0 ? static_cast<size_t>(in->num) : 0;
    if (seenStrokes == in->stroke && seen.size() == n &&
        (n == 0 || std::memcmp(seen.data(), in->data, n * sizeof(POINT_B)) == 0))
        return seenOk ? keys : nullptr;
    seenStrokes = -1;
    seenOk = in->stroke >= 1 && in->stroke <= ORDER_MAXSTROKE && strokekeys(in, keys);
    try {
        seen.assign(in->data, in->data + n);
        seenStrokes = in->stroke;
    } catch (const std::bad_alloc&) {
        seen.clear(); // not remembered: made again next time
    }
    return seenOk ? keys : nullptr;
}

inline int forwardcost(const STROKE_KEY& a, const STROKE_KEY& b) {
    return iabs(a.sx - b.sx) + iabs(a.sy - b.sy) + iabs(a.ex - b.ex) + iabs(a.ey - b.ey) +
           iabs(a.mx - b.mx) + iabs(a.my - b.my) + iabs(a.qx - b.qx) + iabs(a.qy - b.qy) +
           iabs(a.tx - b.tx) + iabs(a.ty - b.ty);
}

inline int reversecost(const STROKE_KEY& a, const STROKE_KEY& b) {
    return iabs(a.sx - b.ex) + iabs(a.sy - b.ey) + iabs(a.ex - b.sx) + iabs(a.ey - b.sy) +
           iabs(a.mx - b.mx) + iabs(a.my - b.my) + iabs(a.qx - b.tx) + iabs(a.qy - b.ty) +
           iabs(a.tx - b.qx) + iabs(a.ty - b.qy) + kReverseBias;
}

} // namespace

void runkey(const POINT_B* p, int n, STROKE_KEY* key) {
    const POINT_B& a = p[0];
    const POINT_B& b = p[n - 1];
    key->sx = a.x, key->sy = a.y, key->ex = b.x, key->ey = b.y;
    long total = 0;
    for (int i = 1; i < n; ++i) total += p[i].l;
    // the points a quarter, half and three quarters along
    int* const at[3][2] = {{&key->qx, &key->qy}, {&key->mx, &key->my}, {&key->tx, &key->ty}};
    long acc = 0;
    int q = 0;
    for (int i = 1; i < n && q < 3; ++i) {
        const int dx = p[i].x - p[i - 1].x, dy = p[i].y - p[i - 1].y;
        const long l = p[i].l;
        while (q < 3 && acc + l >= total * (q + 1) / 4) {
            const long t = total * (q + 1) / 4 - acc;
            *at[q][0] = static_cast<int>(p[i - 1].x + (l > 0 ? dx * t / l : 0));
            *at[q][1] = static_cast<int>(p[i - 1].y + (l > 0 ? dy * t / l : 0));
            ++q;
        }
        acc += l;
    }
    for (; q < 3; ++q) *at[q][0] = b.x, *at[q][1] = b.y;
}

namespace {

// Minimum-cost assignment of the rows of the n x n matrix cost (row-major) to its columns
// (Hungarian method with potentials); col[r] receives the column of row r.
void assign(const int* cost, int n, int* col) {
    // 1-based potentials and matching, column 0 is the free start
    int u[ORDER_MAXSTROKE + 1] = {}, v[ORDER_MAXSTROKE + 1] = {};
    int match[ORDER_MAXSTROKE + 1] = {}, way[ORDER_MAXSTROKE + 1] = {};
    for (int r = 1; r <= n; ++r) {
        match[0] = r;
        int j0 = 0;
        int minv[ORDER_MAXSTROKE + 1];
        bool used[ORDER_MAXSTROKE + 1];
        for (int j = 0; j <= n; ++j) minv[j] = INT_MAX, used[j] = false;
        do {
            used[j0] = true;
            const int r0 = match[j0];
            int delta = INT_MAX, j1 = 0;
            for (int j = 1; j <= n; ++j) {
                if (used[j]) continue;
                const int cur = cost[(r0 - 1) * n + (j - 1)] - u[r0] - v[j];
                if (cur < minv[j]) minv[j] = cur, way[j] = j0;
                if (minv[j] < delta) delta = minv[j], j1 = j;
            }
            for (int j = 0; j <= n; ++j) {
                if (used[j]) {
                    u[match[j]] += delta;
                    v[j] -= delta;
                } else {
                    minv[j] -= delta;
                }
            }
            j0 = j1;
        } while (match[j0] != 0);
        do {
            const int j1 = way[j0];
            match[j0] = match[j1];
            j0 = j1;
        } while (j0);
    }
    for (int j = 1; j <= n; ++j) col[match[j] - 1] = j - 1;
}

// Length of the longest increasing run (not necessarily contiguous) of src[0..n).
int longestkept(const int8_t* src, int n) {
    int best[ORDER_MAXSTROKE];
    int longest = 0;
    for (int k = 0; k < n; ++k) {
        best[k] = 1;
        for (int j = 0; j < k; ++j)
            if (src[j] < src[k] && best[j] + 1 > best[k]) best[k] = best[j] + 1;
        if (best[k] > longest) longest = best[k];
    }
    return longest;
}

} // namespace

extern "C" {

int strokeorder(const PATTERN_B* dic, const PATTERN_B* in, STROKE_ORDER* order) {
    const int n = in->stroke;
    order->num = 0;
    order->moved = order->reversed = 0;
    if (n < 1 || n > ORDER_MAXSTROKE || dic->stroke != n) return 0;
    STROKE_KEY dk[ORDER_MAXSTROKE];
    if (!strokekeys(dic, dk)) return 0;
    const STROKE_KEY* ik = inputkeys(in);
    if (!ik) return 0;
    return strokeorderkeys(dk, ik, n, order);
}

// Built twice, for the machines with AVX2 (the cost rows twice as wide) and for the rest,
// and the copy for the machine picked at load (the helpers built into each); the integer
// results are the same.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default"), flatten))
#endif
int strokeorderkeys(const STROKE_KEY* dk, const STROKE_KEY* ik, int n, STROKE_ORDER* order) {
    order->num = 0;
    order->moved = order->reversed = 0;
    if (n < 1 || n > ORDER_MAXSTROKE) return 0;
    // cost[a][b]: input stroke a as pattern stroke b, the cheaper way round
    int cost[ORDER_MAXSTROKE * ORDER_MAXSTROKE];
    KEY_COLUMNS columns;
    tocolumns(dk, n, columns);
    bool asWritten = true;
    for (int a = 0; a < n; ++a) {
        int* row = cost + a * n;
        paircosts(ik[a], columns, n, row);
        const int own = forwardcost(ik[a], dk[a]);
        for (int b = 0; b < n && asWritten; ++b)
            if (row[b] < own) asWritten = false;
    }
    // Every written stroke at its cheapest place as written: no other assignment costs less.
    if (asWritten) return 0;

    int col[ORDER_MAXSTROKE];
    assign(cost, n, col);
    long best = 0, written = 0;
    for (int a = 0; a < n; ++a) {
        best += cost[a * n + col[a]];
        written += forwardcost(ik[a], dk[a]);
    }
    if (best >= written) return 0;

    order->num = n;
    for (int a = 0; a < n; ++a) {
        const int b = col[a];
        order->src[b] = static_cast<int8_t>(a);
        order->rev[b] = reversecost(ik[a], dk[b]) < forwardcost(ik[a], dk[b]) ? 1 : 0;
        order->reversed += order->rev[b];
    }
    order->moved = n - longestkept(order->src, n);
    return 1;
}

void reorderpattern(PATTERN_B* dst, const PATTERN_B* in, const STROKE_ORDER* order) {
    POINT_B* out = dst->data;
    const STROKE_KEY* keys = order->num == in->stroke ? inputkeys(in) : nullptr;
    const bool ok = keys != nullptr;
    int m = 0;
    if (!ok) { // not a correspondence of this input: a plain copy
        std::memcpy(out, in->data, sizeof(POINT_B) * size_t(in->num));
        m = in->num;
    }
    for (int k = 0; ok && k < order->num; ++k) {
        const STROKE_KEY& s = keys[order->src[k]];
        if (!order->rev[k]) {
            for (int i = s.begin; i < s.end; ++i) out[m++] = in->data[i];
            continue;
        }
        for (int i = s.end - 1; i >= s.begin; --i) {
            POINT_B p = in->data[i];
            const uint8_t ends = p.attr & (PB_PENDOWN | PB_PENUP);
            const uint8_t swapped = static_cast<uint8_t>(((ends & PB_PENDOWN) ? PB_PENUP : 0) |
                                                         ((ends & PB_PENUP) ? PB_PENDOWN : 0));
            p.attr = static_cast<uint8_t>((p.attr & ~(PB_PENDOWN | PB_PENUP)) | swapped);
            out[m++] = p;
        }
    }
    dst->pos = in->pos;
    dst->code = in->code;
    dst->num = static_cast<int16_t>(m);
    setfeature(dst);
}

} // extern "C"
