// Stroke correspondence matching and evaluation.
#include "classifier/strokematch.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kDirSize = 128;
constexpr int kCosSize = 1024;

int16_t* g_dirtable = nullptr; // [dy][dx], 128 x 128

CR_INFO g_crinfo = {6, 450, 0, 5, 90, 170, 30};
int g_minarc2 = 36;
int g_minedge2 = 900;
int g_tekito = 0;

// atan(dy/dx) in 1024 units per turn, rounded; 256 straight down (and for 0, 0).
int16_t dirvalue(int dy, int dx) {
    if (dx == 0) return 256;
    return static_cast<int16_t>(std::atan(static_cast<double>(dy) / dx) * 512.0 / M_PI + 0.5);
}

inline int dirlookup(int dy, int dx) {
    return g_dirtable ? g_dirtable[dy * kDirSize + dx] : dirvalue(dy, dx);
}

inline int iabs(int v) {
    return v < 0 ? -v : v;
}
inline int imax(int a, int b) {
    return a > b ? a : b;
}
inline int imin(int a, int b) {
    return a < b ? a : b;
}

inline int16_t clamp16(long v) {
    return static_cast<int16_t>(v > 32767 ? 32767 : v);
}

// Rounded Euclidean length, at least 1.
inline uint8_t seglen(int dx, int dy) {
    int v = static_cast<int>(std::sqrt(static_cast<double>(dx * dx + dy * dy)) + 0.5);
    if (v == 0) v = 1;
    return static_cast<uint8_t>(v > 255 ? 255 : v);
}

} // namespace

extern "C" {

int16_t* _cos_table = nullptr;

int initdirtable(void) {
    if (g_dirtable) return 0;
    auto* t = static_cast<int16_t*>(std::malloc(sizeof(int16_t) * kDirSize * kDirSize));
    if (!t) return 1;
    for (int dy = 0; dy < kDirSize; ++dy)
        for (int dx = 0; dx < kDirSize; ++dx) t[dy * kDirSize + dx] = dirvalue(dy, dx);
    g_dirtable = t;
    return 0;
}

int initcostable(void) {
    if (_cos_table) return 0;
    auto* t = static_cast<int16_t*>(std::malloc(sizeof(int16_t) * kCosSize));
    if (!t) return 1;
    for (int i = 0; i < kCosSize; ++i) t[i] = static_cast<int16_t>(cosvalue(i));
    _cos_table = t;
    return 0;
}

void closedirtable(void) {
    std::free(g_dirtable);
    g_dirtable = nullptr;
}

void closecostable(void) {
    std::free(_cos_table);
    _cos_table = nullptr;
}

int initcrlib(void) {
    int a = initdirtable();
    int b = initcostable();
    return a || b;
}

void closecrlib(void) {
    closedirtable();
    closecostable();
}

int getdirection(int dx, int dy) {
    int ax = iabs(dx) > 127 ? 127 : iabs(dx);
    int ay = iabs(dy) > 127 ? 127 : iabs(dy);
    if (dx >= 0 && dy >= 0) return dirlookup(ay, ax);
    if (dx < 0 && dy >= 0) return 512 - dirlookup(ay, ax);
    if (dx < 0) return 512 + dirlookup(ay, ax);
    return 1024 - dirlookup(ay, ax);
}

int cosvalue(int i) {
    return static_cast<int16_t>(std::cos(i * 2.0 * M_PI / kCosSize) * 1024.0 + 0.5);
}

void setlen(PATTERN_B* pat) {
    long len = 0;
    int px = 0, py = 0;
    for (int i = 0; i < pat->num; ++i) {
        POINT_B& p = pat->data[i];
        p.l = seglen(p.x - px, p.y - py);
        if (i > 0) len += p.l;
        px = p.x;
        py = p.y;
    }
    pat->len = clamp16(len);
}

void getstroke(PATTERN_B* pat) {
    int n = 0;
    for (int i = 0; i < pat->num; ++i)
        if (pat->data[i].attr & PB_PENDOWN) ++n;
    pat->stroke = static_cast<int16_t>(n);
}

void setdirection(PATTERN_B* pat) {
    POINT_B* p = pat->data;
    for (int i = 1; i < pat->num; ++i)
        p[i].dir = static_cast<int16_t>(getdirection(p[i].x - p[i - 1].x, p[i].y - p[i - 1].y));
    if (pat->num > 1)
        p[0].dir = p[1].dir;
    else if (pat->num == 1)
        p[0].dir = 0;
}

void setfeature(PATTERN_B* pat) {
    setlen(pat);
    getstroke(pat);
    setdirection(pat);
}

void getpatpos(PAT_POS* pos, const PATTERN_W* pat) {
    if (pat->num <= 0) {
        *pos = PAT_POS{0, 0, 0, 0};
        return;
    }
    PAT_POS r{pat->data[0].x, pat->data[0].y, pat->data[0].x, pat->data[0].y};
    for (int i = 1; i < pat->num; ++i) {
        const POINT_W& p = pat->data[i];
        r.maxx = imax(r.maxx, p.x);
        r.maxy = imax(r.maxy, p.y);
        r.minx = imin(r.minx, p.x);
        r.miny = imin(r.miny, p.y);
    }
    *pos = r;
}

void seikika(const PAT_POS* pos, const PATTERN_W* in, PATTERN_W* out) {
    int size = imax(pos->maxx - pos->minx, pos->maxy - pos->miny);
    if (size == 0) size = 1;
    for (int i = 0; i < in->num; ++i) {
        const POINT_W& p = in->data[i];
        POINT_W& q = out->data[i];
        q.x = static_cast<int16_t>((((p.x - pos->minx) * 256) / size + 1) >> 1);
        q.y = static_cast<int16_t>((((p.y - pos->miny) * 256) / size + 1) >> 1);
        q.attr = p.attr & (PT_PENDOWN | PT_PENUP);
    }
    out->num = in->num;
}

void normalize(PAT_POS* pos, const PATTERN_W* in, PATTERN_W* out) {
    getpatpos(pos, in);
    seikika(pos, in, out);
}

void maxarc(POINT_W* p, int from, int to) {
    while (to - from >= 2) {
        const long sx = p[from].x, sy = p[from].y;
        const long ex = p[to].x, ey = p[to].y;
        const long dx = ex - sx, dy = ey - sy;
        const long l2 = dx * dx + dy * dy;
        long best = -1;
        int bestk = -1;
        for (int k = from + 1; k < to; ++k) {
            const long px = p[k].x - sx, py = p[k].y - sy;
            long d;
            if (l2 > 0) {
                const long c = px * dy - py * dx;
                d = (2 * c * c / l2 + 1) >> 1;
            } else {
                d = px * px + py * py;
            }
            if (d < g_minarc2) {
                const long dot1 = px * dx + py * dy;
                const long qx = p[k].x - ex, qy = p[k].y - ey;
                const long dot2 = qx * dx + qy * dy;
                if (dot1 == 0 || dot2 == 0 || (dot1 > 0) == (dot2 > 0)) {
                    const long ds = px * px + py * py;
                    const long de = qx * qx + qy * qy;
                    d = ds < de ? ds : de;
                    if (d < g_minedge2) d = 0;
                } else {
                    d = 0;
                }
            }
            if (d > best) {
                best = d;
                bestk = k;
            }
        }
        if (best < g_minarc2) return;
        p[bestk].attr |= PB_FEATURE;
        maxarc(p, from, bestk);
        from = bestk;
    }
}

void setchptattr(PATTERN_W* pat) {
    for (int i = 0; i < pat->num; ++i)
        if (pat->data[i].attr & (PT_PENDOWN | PT_PENUP)) pat->data[i].attr |= PB_FEATURE;
    int prev = -1;
    for (int i = 0; i < pat->num; ++i) {
        if (!(pat->data[i].attr & PB_FEATURE)) continue;
        if (prev >= 0) maxarc(pat->data, prev, i);
        prev = i;
    }
}

int createpat(PAT_POS* pos, const PATTERN_W* id, PATTERN_B* out) {
    if (!id || !id->data || id->num <= 0) return 2;
    auto* work = static_cast<POINT_W*>(std::malloc(sizeof(POINT_W) * id->num));
    if (!work) return 1;
    PATTERN_W tmp{work, 0};
    normalize(pos, id, &tmp);
    setchptattr(&tmp);

    int kept = 0;
    for (int i = 0; i < tmp.num; ++i)
        if (tmp.data[i].attr & PB_FEATURE) tmp.data[kept++] = tmp.data[i];
    if (kept == 0) {
        std::free(work);
        return 2;
    }
    if (kept > 32767) {
        std::free(work);
        return 1;
    }
    PATTERN_W feat{work, kept};
    PAT_POS fpos;
    normalize(&fpos, &feat, &feat);

    auto* pts = static_cast<POINT_B*>(std::calloc(kept, sizeof(POINT_B)));
    if (!pts) {
        std::free(work);
        return 1;
    }
    for (int i = 0; i < kept; ++i) {
        pts[i].x = static_cast<uint8_t>(feat.data[i].x);
        pts[i].y = static_cast<uint8_t>(feat.data[i].y);
        pts[i].attr = feat.data[i].attr & (PT_PENDOWN | PT_PENUP);
    }
    std::free(work);
    std::memset(static_cast<void*>(out), 0, sizeof(*out));
    out->data = pts;
    out->num = static_cast<int16_t>(kept);
    setfeature(out);
    return 0;
}

void releasepat(PATTERN_B* pat) {
    if (!pat) return;
    std::free(pat->data);
    pat->data = nullptr;
    pat->num = 0;
}

int mdcalus(const POINT_B* dic, const POINT_B* in, int d, int i) {
    const POINT_B& a = dic[d];
    const POINT_B& b = in[i];
    return (256 - iabs(a.y - b.y) - iabs(a.x - b.x)) * 4;
}

void setcrinfo(const CR_INFO* info) {
    g_crinfo = *info;
    g_minarc2 = info->minarc * info->minarc;
    g_minedge2 = info->minedge * info->minedge;
}

void getcrinfo(CR_INFO* info) {
    *info = g_crinfo;
}

int settekitoflag(int flag) {
    int prev = g_tekito;
    g_tekito = flag;
    return prev;
}

int gettekitoflag(void) {
    return g_tekito;
}

} // extern "C"
