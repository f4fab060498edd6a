// Stroke count: the correspondence of written strokes to a pattern's strokes across
// joined and split strokes, and the input rewritten with the pattern's stroke count.
#include "classifier/strokecount.h"

#include "classifier/crdic.h"
#include "classifier/strokematch.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

// The correspondence prefers one written stroke for one pattern stroke: each join or
// split must bring the strokes this much closer (in the units of paircosts) to be taken.
constexpr int kCountBias = 24;
// Strokes of more points than this are not cut (a stroke of many corner points is not
// two strokes joined; it keeps the search small).
constexpr int kMaxCutPoints = 10;
constexpr int kNone = INT_MAX / 4;

// What the correspondence needs of the input, whatever the pattern: each written stroke's
// point range and key, the keys of its runs of points (for cutting it) and the keys of two
// and three consecutive strokes put end to end, each stroke either way round.
struct InputKeys {
    int strokes = 0;
    STROKE_KEY whole[ORDER_MAXSTROKE];
    // run[s][x * kMaxCutPoints + y]: points x..y of stroke s (x <= y), for strokes short
    // enough to be cut
    std::vector<STROKE_KEY> run;
    // merged[s][k - 2][ways]: strokes s..s+k-1 end to end, stroke t reversed when bit t - s
    // of ways is set
    STROKE_KEY merged[ORDER_MAXSTROKE][2][8];
};

int runcount(const InputKeys& k, int s) {
    return k.whole[s].end - k.whole[s].begin;
}

const STROKE_KEY& runkeyof(const InputKeys& k, int s, int x, int y) {
    return k.run[(size_t(s) * kMaxCutPoints + size_t(x)) * kMaxCutPoints + size_t(y)];
}

// Copies the points of the pieces into out (the first `rev` pieces' points in reverse
// order) with the lengths between them recomputed; returns the count.
int gather(const POINT_B* in, const COUNT_PIECE* pieces, int n, POINT_B* out) {
    int m = 0;
    for (int k = 0; k < n; ++k) {
        const COUNT_PIECE& p = pieces[k];
        for (int i = 0; i < p.end - p.begin; ++i) {
            out[m] = in[p.rev ? p.end - 1 - i : p.begin + i];
            if (m > 0) out[m].l = GetLength(out[m].x - out[m - 1].x, out[m].y - out[m - 1].y);
            ++m;
        }
    }
    return m;
}

void keyofpieces(const PATTERN_B* in, const COUNT_PIECE* pieces, int n, STROKE_KEY* key,
                 std::vector<POINT_B>& work) {
    int total = 0;
    for (int k = 0; k < n; ++k) total += pieces[k].end - pieces[k].begin;
    work.resize(size_t(total));
    runkey(work.data(), gather(in->data, pieces, n, work.data()), key);
}

// The keys of the input last asked about (beside a copy of its points); null when its
// pen-down marks do not describe its strokes, or out of memory.
const InputKeys* inputkeys(const PATTERN_B* in) {
    static std::vector<POINT_B> seen;
    static int seenStrokes = -1;
    static bool seenOk = false;
    static InputKeys keys;
    const size_t n = in->num > 0 ? size_t(in->num) : 0;
    if (seenStrokes == in->stroke && seen.size() == n &&
        (n == 0 || std::memcmp(seen.data(), in->data, n * sizeof(POINT_B)) == 0))
        return seenOk ? &keys : nullptr;
    seenStrokes = -1;
    try {
        seen.assign(in->data, in->data + n);
        seenOk = in->stroke >= 1 && in->stroke <= ORDER_MAXSTROKE && strokekeys(in, keys.whole);
        if (seenOk) {
            const int S = in->stroke;
            keys.strokes = S;
            keys.run.resize(size_t(S) * kMaxCutPoints * kMaxCutPoints);
            std::vector<POINT_B> work;
            for (int s = 0; s < S; ++s) {
                const int b = keys.whole[s].begin, m = runcount(keys, s);
                for (int x = 0; m <= kMaxCutPoints && x < m; ++x)
                    for (int y = x; y < m; ++y) {
                        const COUNT_PIECE p{int16_t(b + x), int16_t(b + y + 1), 0, 0};
                        keyofpieces(
                            in, &p, 1,
                            &keys.run[(size_t(s) * kMaxCutPoints + size_t(x)) * kMaxCutPoints +
                                      size_t(y)],
                            work);
                    }
                for (int k = 2; k <= COUNT_MAXRUN && s + k <= S; ++k)
                    for (int ways = 0; ways < (1 << k); ++ways) {
                        COUNT_PIECE p[COUNT_MAXRUN];
                        for (int t = 0; t < k; ++t)
                            p[t] = COUNT_PIECE{int16_t(keys.whole[s + t].begin),
                                               int16_t(keys.whole[s + t].end),
                                               uint8_t((ways >> t) & 1), uint8_t(t > 0)};
                        keyofpieces(in, p, k, &keys.merged[s][k - 2][ways], work);
                    }
            }
        }
        seenStrokes = in->stroke;
    } catch (const std::bad_alloc&) {
        seen.clear(); // not remembered: made again next time
        seenOk = false;
    }
    return seenOk ? &keys : nullptr;
}

// The pattern's stroke keys field by field, with their count.
struct PatternKeys {
    int n = 0;
    KEY_COLUMNS c;
    PatternKeys(const STROKE_KEY* dk, int count) : n(count) { tocolumns(dk, n, c); }
};

// How well a run of written points fits the pattern's nearest stroke (the least of
// paircosts over its strokes), when better than `bound` (else bound).
int fit(const STROKE_KEY& k, const PatternKeys& d, int bound = kNone) {
    int row[ORDER_MAXSTROKE];
    paircosts(k, d.c, d.n, row);
    int best = bound;
    for (int b = 0; b < d.n; ++b) best = row[b] < best ? row[b] : best;
    return best;
}

// The fits of the runs of points x..y of one written stroke, computed when first asked for
// and shared by its cuts into two and into three pieces.
struct PieceFits {
    int fit[kMaxCutPoints][kMaxCutPoints];
    void clear(int m) {
        for (int x = 0; x < m && x < kMaxCutPoints; ++x)
            for (int y = x; y < m && y < kMaxCutPoints; ++y) fit[x][y] = -1;
    }
};

// A place where a written stroke is cut: the last point of the piece before it and the
// first point of the piece after it (the same point when the pen went straight on from
// one stroke into the next, the next point when a pen-up move lies between).
struct Cut {
    int last, first;
};

// The best way to cut a written stroke of m points into k = 2 or 3 pieces, each fitting
// a pattern stroke; its cost, with the cuts in cuts.
int bestcut(const InputKeys& ik, int s, int k, const PatternKeys& dk, PieceFits& piece, Cut* cuts) {
    const int m = runcount(ik, s);
    if (m > kMaxCutPoints || m < k) return kNone;
    auto cost = [&](int x, int y) {
        int& f = piece.fit[x][y];
        if (f < 0) f = fit(runkeyof(ik, s, x, y), dk);
        return f;
    };
    Cut all[2 * kMaxCutPoints];
    int n = 0;
    for (int c = 0; c + 1 < m; ++c) {
        if (c > 0) all[n++] = Cut{c, c};
        all[n++] = Cut{c, c + 1};
    }
    // a piece that ends or starts at a shared point has at least two points
    auto valid = [](int from, int to, bool shared) { return to > from || (to == from && !shared); };
    int best = kNone;
    for (int a = 0; a < n; ++a) {
        const Cut& c1 = all[a];
        if (!valid(0, c1.last, c1.last == c1.first)) continue;
        if (k == 2) {
            if (!valid(c1.first, m - 1, c1.last == c1.first)) continue;
            const int v = cost(0, c1.last) + cost(c1.first, m - 1);
            if (v < best) best = v, cuts[0] = c1;
            continue;
        }
        for (int b = a + 1; b < n; ++b) {
            const Cut& c2 = all[b];
            if (c2.last < c1.first) continue;
            const bool s1 = c1.last == c1.first, s2 = c2.last == c2.first;
            if (!valid(c1.first, c2.last, s1 || s2) || !valid(c2.first, m - 1, s2)) continue;
            const int v = cost(0, c1.last) + cost(c1.first, c2.last) + cost(c2.first, m - 1);
            if (v < best) best = v, cuts[0] = c1, cuts[1] = c2;
        }
    }
    return best;
}

// One step of the correspondence: `written` written strokes for `pattern` pattern strokes
// (one of them 1), with the cuts of a join or the ways round of a split.
struct Step {
    int written = 0, pattern = 0;
    Cut cuts[COUNT_MAXRUN - 1];
    int ways = 0;
};

} // namespace

extern "C" {

int strokecount(const PATTERN_B* dic, const PATTERN_B* in, STROKE_COUNT* map) {
    map->joins = map->splits = map->pieces = map->points = map->moves = 0;
    const int I = in->stroke, D = dic->stroke;
    if (I == D || I < 1 || D < 1 || I > ORDER_MAXSTROKE || D > ORDER_MAXSTROKE) return 0;
    if (D > COUNT_MAXRUN * I || I > COUNT_MAXRUN * D) return 0;
    if (D > I + COUNT_MOSTCHANGES || I > D + COUNT_MOSTCHANGES) return 0;
    STROKE_KEY* dk = map->dic;
    if (!strokekeys(dic, dk)) return 0;
    const InputKeys* ik = inputkeys(in);
    if (!ik) return 0;
    const PatternKeys pk(dk, D);
    // Joins when the pattern has more strokes, splits when it has fewer; three strokes
    // for one only when the counts lie that far apart.
    const int joinrun = D > I + 1 ? COUNT_MAXRUN : D > I ? 2 : 1;
    const int splitrun = I > D + 1 ? COUNT_MAXRUN : I > D ? 2 : 1;

    // cost[i][j]: the best correspondence of the first i written strokes to the first j
    // pattern strokes; step[i][j] its last step.
    static int cost[ORDER_MAXSTROKE + 1][ORDER_MAXSTROKE + 1];
    static Step step[ORDER_MAXSTROKE + 1][ORDER_MAXSTROKE + 1];
    for (int i = 0; i <= I; ++i)
        for (int j = 0; j <= D; ++j) cost[i][j] = kNone;
    cost[0][0] = 0;
    for (int i = 0; i < I; ++i) {
        // A piece may fit any of the pattern's strokes: composed patterns need not keep the
        // order of writing, and the pieces of one stroke come in the order the pen took.
        const int whole = fit(ik->whole[i], pk);
        Step cut[COUNT_MAXRUN + 1];
        int cutcost[COUNT_MAXRUN + 1];
        PieceFits pieces;
        if (joinrun > 1) pieces.clear(runcount(*ik, i));
        for (int k = 2; k <= joinrun; ++k) {
            cut[k].written = 1, cut[k].pattern = k;
            cutcost[k] = bestcut(*ik, i, k, pk, pieces, cut[k].cuts);
        }
        Step merge[COUNT_MAXRUN + 1];
        int mergecost[COUNT_MAXRUN + 1];
        for (int k = 2; k <= splitrun && i + k <= I; ++k) {
            merge[k].written = k, merge[k].pattern = 1;
            mergecost[k] = kNone;
            // only a way round that beats the ways before it counts
            for (int ways = 0; ways < (1 << k); ++ways) {
                const int v = fit(ik->merged[i][k - 2][ways], pk, mergecost[k]);
                if (v < mergecost[k]) mergecost[k] = v, merge[k].ways = ways;
            }
        }
        for (int j = 0; j < D; ++j) {
            const int at = cost[i][j];
            if (at >= kNone) continue;
            auto offer = [&](int ti, int tj, int v, const Step& s) {
                if (v >= kNone || at + v >= cost[ti][tj]) return;
                cost[ti][tj] = at + v;
                step[ti][tj] = s;
            };
            Step one;
            one.written = one.pattern = 1;
            offer(i + 1, j + 1, whole, one);
            for (int k = 2; k <= joinrun && j + k <= D; ++k)
                offer(i + 1, j + k, cutcost[k] + kCountBias * (k - 1), cut[k]);
            for (int k = 2; k <= splitrun && i + k <= I; ++k)
                offer(i + k, j + 1, mergecost[k] + kCountBias * (k - 1), merge[k]);
        }
    }
    if (cost[I][D] >= kNone) return 0;

    // The steps from the last back to the first, then the pieces in the order written.
    Step path[2 * ORDER_MAXSTROKE];
    int steps = 0;
    for (int i = I, j = D; i > 0 || j > 0; ++steps) {
        path[steps] = step[i][j];
        i -= path[steps].written;
        j -= path[steps].pattern;
    }
    int stroke = 0, made = 0;
    for (int t = steps - 1; t >= 0; --t) {
        const Step& s = path[t];
        const STROKE_KEY& w = ik->whole[stroke];
        if (s.pattern > 1) { // one written stroke cut into s.pattern pieces
            map->joins += s.pattern - 1;
            int from = 0;
            for (int c = 0; c < s.pattern; ++c) {
                const int to = c + 1 < s.pattern ? s.cuts[c].last : w.end - w.begin - 1;
                map->piece[map->pieces++] =
                    COUNT_PIECE{int16_t(w.begin + from), int16_t(w.begin + to + 1), 0, 0};
                map->written[made] = int8_t(stroke);
                map->cut[made] = 1;
                map->key[made++] = runkeyof(*ik, stroke, from, to);
                if (c + 1 < s.pattern && s.cuts[c].first != s.cuts[c].last) {
                    // the pen-up move drawn between this piece and the next is left out
                    const POINT_B& a = in->data[w.begin + s.cuts[c].last];
                    const POINT_B& b = in->data[w.begin + s.cuts[c].first];
                    map->move[map->moves++] =
                        COUNT_MOVE{int8_t(made - 1), int16_t(GetLength(b.x - a.x, b.y - a.y))};
                }
                if (c + 1 < s.pattern) from = s.cuts[c].first;
            }
        } else {
            map->splits += s.written - 1;
            for (int c = 0; c < s.written; ++c) {
                const STROKE_KEY& piece = ik->whole[stroke + c];
                map->piece[map->pieces++] = COUNT_PIECE{int16_t(piece.begin), int16_t(piece.end),
                                                        uint8_t((s.ways >> c) & 1), uint8_t(c > 0)};
            }
            map->written[made] = int8_t(stroke);
            map->cut[made] = 0;
            map->key[made++] = s.written > 1 ? ik->merged[stroke][s.written - 2][s.ways] : w;
        }
        stroke += s.written;
    }
    for (int k = 0; k < map->pieces; ++k) map->points += map->piece[k].end - map->piece[k].begin;
    return 1;
}

int leftoutink(const STROKE_COUNT* map, const STROKE_ORDER* order) {
    // turned[g]: rewritten stroke g is drawn from its other end
    bool turned[ORDER_MAXSTROKE] = {};
    if (order)
        for (int b = 0; b < order->num; ++b) turned[order->src[b]] = order->rev[b];
    int ink = 0;
    for (int k = 0; k < map->moves; ++k) {
        const int g = map->move[k].stroke;
        if (turned[g] || turned[g + 1]) ink += map->move[k].len;
    }
    return ink;
}

void countedorder(const STROKE_COUNT* map, const STROKE_ORDER* order, int* moved, int* reversed) {
    *moved = *reversed = 0;
    if (!order || order->num < 1) return;
    // the written stroke of each pattern stroke, in pattern order: the longest run that
    // does not fall stays in place
    int best[ORDER_MAXSTROKE];
    int longest = 0;
    for (int b = 0; b < order->num; ++b) {
        const int w = map->written[order->src[b]];
        best[b] = 1;
        for (int a = 0; a < b; ++a)
            if (map->written[order->src[a]] <= w && best[a] + 1 > best[b]) best[b] = best[a] + 1;
        if (best[b] > longest) longest = best[b];
        if (order->rev[b] && !map->cut[order->src[b]]) ++*reversed;
    }
    *moved = order->num - longest;
}

void countedpattern(PATTERN_B* dst, const PATTERN_B* in, const STROKE_COUNT* map,
                    const STROKE_ORDER* order) {
    // first[g]: the first piece of rewritten stroke g
    int first[ORDER_MAXSTROKE + 1];
    int strokes = 0;
    for (int k = 0; k < map->pieces; ++k)
        if (!map->piece[k].cont && strokes < ORDER_MAXSTROKE) first[strokes++] = k;
    first[strokes] = map->pieces;
    const bool reorder = order && order->num == strokes;
    POINT_B* out = dst->data;
    int m = 0;
    for (int b = 0; b < strokes; ++b) {
        const int g = reorder ? order->src[b] : b;
        const bool rev = reorder && order->rev[b];
        const int start = m;
        const int n = first[g + 1] - first[g];
        for (int t = 0; t < n; ++t) {
            COUNT_PIECE p = map->piece[first[g] + (rev ? n - 1 - t : t)];
            p.rev = uint8_t(p.rev ^ rev);
            m += gather(in->data, &p, 1, out + m);
        }
        for (int i = start; i < m; ++i) out[i].attr &= uint8_t(~(PB_PENDOWN | PB_PENUP));
        if (m > start) {
            out[start].attr |= PB_PENDOWN;
            out[m - 1].attr |= PB_PENUP;
        }
    }
    dst->pos = in->pos;
    dst->code = in->code;
    dst->num = static_cast<int16_t>(m);
    setfeature(dst);
}

} // extern "C"
