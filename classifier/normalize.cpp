#include "classifier/normalize.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <utility>
#include <vector>

const int32_t weight_tl[4][4] = {
    {4, 3, 2, 1},
    {3, 3, 2, 1},
    {2, 2, 2, 1},
    {1, 1, 1, 1},
};

uint32_t* _puSquareByte = nullptr;

namespace {

constexpr int kLinearSize = 128;
constexpr int kNonLinearSize = 64;
constexpr long kMaxArcSqr = 49; // squared distance a corner must reach from its chord
constexpr int kRunThreshold = 7;
constexpr int kBlockSize = 16;

// 16.16 fixed point.
constexpr int32_t kHalf = 0x8000;
constexpr int kShift = 16;

} // namespace

long root(long n) {
    if (n == 0) return 0;
    long r = 2 * n;
    for (int i = 0; i < 10; ++i) {
        const long next = (r + 16 * n / r) / 2;
        if (next == r) break;
        r = next;
    }
    return (r + 2) >> 2;
}

int GetLengthOfObliqueSide(int dx, int dy) {
    return static_cast<int>(root(static_cast<long>(dx) * dx + static_cast<long>(dy) * dy));
}

int MakeSquareTable() {
    if (_puSquareByte) return 0;
    _puSquareByte = new (std::nothrow) uint32_t[256];
    if (!_puSquareByte) return 1;
    for (uint32_t v = 0; v < 256; ++v) _puSquareByte[v] = v * v;
    return 0;
}

void FreeSquareTable() {
    delete[] _puSquareByte;
    _puSquareByte = nullptr;
}

void LinearNormalize(POINT_W* pts, int num, int* sizex, int* sizey) {
    if (num < 1) {
        *sizex = *sizey = 0;
        return;
    }
    int minx = pts[0].x, maxx = pts[0].x, miny = pts[0].y, maxy = pts[0].y;
    int imaxx = 0, imaxy = 0;
    for (int i = 1; i < num; ++i) {
        if (pts[i].x < minx) minx = pts[i].x;
        if (pts[i].x > maxx) {
            maxx = pts[i].x;
            imaxx = i;
        }
        if (pts[i].y < miny) miny = pts[i].y;
        if (pts[i].y > maxy) {
            maxy = pts[i].y;
            imaxy = i;
        }
    }
    const int d = std::max(maxx - minx + 1, maxy - miny + 1);
    for (int i = 0; i < num; ++i) {
        pts[i].x = static_cast<int16_t>(((pts[i].x - minx) * kLinearSize) / d);
        pts[i].y = static_cast<int16_t>(((pts[i].y - miny) * kLinearSize) / d);
        pts[i].attr &= PT_PENDOWN | PT_PENUP;
    }
    *sizex = pts[imaxx].x + 1;
    *sizey = pts[imaxy].y + 1;
}

namespace {

// Marks the corner points strictly between st and ed: the point farthest from the chord
// (squared, truncated) is marked when it lies at least 7 units away, and both halves are
// split again. The halves are independent, so a work list replaces the recursion and a
// long stroke cannot exhaust the stack.
void maxarc(POINT_W* pts, int st, int ed) {
    std::vector<std::pair<int, int>> todo;
    todo.emplace_back(st, ed);
    while (!todo.empty()) {
        auto [s, e] = todo.back();
        todo.pop_back();
        while (e - s >= 2) {
            const long xs = pts[s].x, ys = pts[s].y;
            const long ex = pts[e].x - xs, ey = pts[e].y - ys;
            const long l2 = ex * ex + ey * ey;
            long best = 0;
            int at = -1;
            for (int k = s + 1; k < e; ++k) {
                const long px = pts[k].x - xs, py = pts[k].y - ys;
                long v;
                if (l2 == 0) {
                    v = px * px + py * py;
                } else {
                    const long c = px * ey - py * ex;
                    v = (c * c) / l2;
                }
                if (v > best) {
                    best = v;
                    at = k;
                }
            }
            if (best < kMaxArcSqr) break;
            pts[at].attr |= PT_INTERNAL;
            todo.emplace_back(s, at);
            s = at;
        }
    }
}

} // namespace

int GetFp(POINT_W* pts, int num) {
    for (int i = 0; i < num; ++i)
        if (pts[i].attr & (PT_PENDOWN | PT_PENUP)) pts[i].attr |= PT_INTERNAL;
    // Pairs of consecutive stroke ends; marks added by maxarc lie strictly inside a pair.
    int prev = -1;
    for (int i = 0; i < num; ++i) {
        if (!(pts[i].attr & (PT_PENDOWN | PT_PENUP))) continue;
        if (prev >= 0 && i - prev >= 2) maxarc(pts, prev, i);
        prev = i;
    }
    int n = 0;
    for (int i = 0; i < num; ++i) {
        if (!(pts[i].attr & PT_INTERNAL)) continue;
        pts[n] = pts[i];
        pts[n].attr &= ~PT_INTERNAL;
        ++n;
    }
    return n;
}

namespace {

// One axis of the run counting: a run is a maximal sequence of moves of one sign.
struct RunCounter {
    int run = 0;
    int turns = 0;

    void move(int d) {
        if (d == 0) return;
        if (run == 0 || (d > 0) != (run > 0)) {
            finish();
            run = d;
        } else {
            run += d;
        }
    }
    void finish() {
        if (std::abs(run) >= kRunThreshold) ++turns;
    }
};

} // namespace

void StData(const POINT_W* pts, int num, STDATA* st) {
    *st = STDATA{};
    if (num < 1) return;
    RunCounter xr, yr;
    int px = pts[0].x, py = pts[0].y;
    for (int i = 0; i < num; ++i) {
        const int dx = pts[i].x - px, dy = pts[i].y - py;
        xr.move(dx);
        yr.move(dy);
        if (pts[i].attr & PT_PENDOWN) {
            ++st->stnum;
        } else {
            st->xlen += std::abs(dx);
            st->ylen += std::abs(dy);
        }
        px = pts[i].x;
        py = pts[i].y;
    }
    xr.finish();
    yr.finish();
    st->xturn = xr.turns;
    st->yturn = yr.turns;
    st->xlen = std::min(255, st->xlen >> 3);
    st->ylen = std::min(255, st->ylen >> 3);
}

int NonLinearNormalize(POINT_W* pts, int num) {
    if (num < 1) return 0;
    int size = 0;
    for (int i = 0; i < num; ++i) size = std::max({size, int(pts[i].x), int(pts[i].y)});
    size += 1;
    std::unique_ptr<int32_t[]> tx(new (std::nothrow) int32_t[size]());
    std::unique_ptr<int32_t[]> ty(new (std::nothrow) int32_t[size]());
    if (!tx || !ty) return 1;
    auto clampIndex = [size](int32_t v) { return std::clamp(v, 0, size - 1); };

    if (num == 1) {
        tx[pts[0].x] = 1;
        ty[pts[0].y] = 1;
    } else {
        for (int i = 0; i + 1 < num; ++i) {
            const int dx = pts[i + 1].x - pts[i].x, dy = pts[i + 1].y - pts[i].y;
            const int n = std::max(1, GetLengthOfObliqueSide(dx, dy));
            const int32_t sx = (dx * 65536) / n, sy = (dy * 65536) / n;
            int32_t x = (int32_t(pts[i].x) << kShift) + kHalf;
            int32_t y = (int32_t(pts[i].y) << kShift) + kHalf;
            for (int k = 0; k < n; ++k) {
                ++tx[clampIndex(x >> kShift)];
                ++ty[clampIndex(y >> kShift)];
                x += sx;
                y += sy;
            }
        }
    }

    auto midCumulate = [size](int32_t* t) {
        int32_t s = 0;
        for (int k = 0; k < size; ++k) {
            s += t[k];
            t[k] = s - (t[k] >> 1);
        }
        return s;
    };
    const int32_t acc = midCumulate(tx.get());
    midCumulate(ty.get());
    for (int i = 0; i < num; ++i) {
        pts[i].x = static_cast<int16_t>(((kNonLinearSize - 1) * tx[pts[i].x]) / acc);
        pts[i].y = static_cast<int16_t>(((kNonLinearSize - 1) * ty[pts[i].y]) / acc);
    }
    return 0;
}

namespace {

// Direction bins and squared amounts of the segment (dx, dy); len is its length.
void addvec(int dx, int dy, int len, DIRECT8* d8) {
    const int ux = (dx * 16) / len, uy = (dy * 16) / len;
    d8->d[0] = ux > 0 ? 0 : 4;
    d8->d[1] = uy > 0 ? 6 : 2;
    d8->d[2] = ux > -uy ? 7 : 3;
    d8->d[3] = ux > uy ? 5 : 1;
    const int a = (ux * 14142) / 20000, b = (uy * 14142) / 20000;
    const int amounts[4] = {std::abs(ux), std::abs(uy), std::abs(a + b), std::abs(a - b)};
    for (int k = 0; k < 4; ++k) d8->amount[k] = uint32_t(amounts[k]) * uint32_t(amounts[k]);
}

// Hands the weights of block (bx, by) to the up to four feature cells containing it.
void addcell8dir(DFVDATA* acc, int bx, int by, const WEIGHT& w, const DIRECT8& d8) {
    const struct {
        int col, row, weight;
    } cells[4] = {
        {bx - 1, by - 1, w.ul},
        {bx, by - 1, w.ur},
        {bx - 1, by, w.ll},
        {bx, by, w.lr},
    };
    for (const auto& c : cells) {
        if (c.col < 0 || c.col > 2 || c.row < 0 || c.row > 2) continue;
        uint32_t* cell = acc->v + (c.row * 3 + c.col) * 8;
        for (int k = 0; k < 4; ++k) cell[d8.d[k]] += uint32_t(c.weight) * d8.amount[k];
    }
}

// Samples the segment from p along len steps and spreads its contribution over the blocks
// it passes through.
void Subst8Direction(DFVDATA* acc, const POINT_W& p, int dx, int dy, int len, const DIRECT8& d8) {
    const int32_t sx = (dx * 65536) / len, sy = (dy * 65536) / len;
    int32_t x = (int32_t(p.x) << kShift) + kHalf;
    int32_t y = (int32_t(p.y) << kShift) + kHalf;
    WEIGHT w{};
    int cbx = -1, cby = -1;
    for (int k = 0; k < len; ++k) {
        const int ix = std::clamp(x >> kShift, 0, kNonLinearSize - 1);
        const int iy = std::clamp(y >> kShift, 0, kNonLinearSize - 1);
        const int bx = ix / kBlockSize, by = iy / kBlockSize;
        if (bx != cbx || by != cby) {
            if (cbx >= 0) addcell8dir(acc, cbx, cby, w, d8);
            w = WEIGHT{};
            cbx = bx;
            cby = by;
        }
        const int qx = (ix / 4) % 4, qy = (iy / 4) % 4;
        w.ul += weight_tl[qy][qx];
        w.ur += weight_tl[qy][3 - qx];
        w.ll += weight_tl[3 - qy][qx];
        w.lr += weight_tl[3 - qy][3 - qx];
        x += sx;
        y += sy;
    }
    if (cbx >= 0) addcell8dir(acc, cbx, cby, w, d8);
}

} // namespace

void DfData8Direction(const POINT_W* pts, int num, DFV* dfv) {
    DFVDATA acc{};
    for (int i = 0; i + 1 < num; ++i) {
        const int dx = pts[i + 1].x - pts[i].x, dy = pts[i + 1].y - pts[i].y;
        const int len = std::max(1, GetLengthOfObliqueSide(dx, dy));
        DIRECT8 d8;
        addvec(dx, dy, len, &d8);
        Subst8Direction(&acc, pts[i], dx, dy, len, d8);
    }
    for (int k = 0; k < 72; ++k)
        dfv->v[k] = static_cast<uint8_t>(std::min<uint32_t>(255, acc.v[k] / 256));
}

int UnionData(const PATTERN_W* ptnw, UDATA* udata) {
    if (!ptnw || !ptnw->data || ptnw->num < 1 || !udata) return 1;
    const int num = ptnw->num;
    std::unique_ptr<POINT_W[]> work(new (std::nothrow) POINT_W[num]);
    if (!work) return 1;
    std::copy(ptnw->data, ptnw->data + num, work.get());

    int sizex = 0, sizey = 0;
    LinearNormalize(work.get(), num, &sizex, &sizey);
    const int n = GetFp(work.get(), num);
    STDATA st;
    StData(work.get(), n, &st);
    if (NonLinearNormalize(work.get(), n) != 0) return 1;
    DfData8Direction(work.get(), n, &udata->dfv);
    st.xlen = (st.xlen * 128) / (sizex + 1);
    st.ylen = (st.ylen * 128) / (sizey + 1);
    udata->stdata = st;
    return 0;
}
