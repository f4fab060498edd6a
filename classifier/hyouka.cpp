// Evaluation of a point correspondence: the pair table is cut into corresponding
// segments, each scored by arc-length-synchronized direction agreement, endpoint
// position agreement and length agreement, with one fixed penalty for stroke-structure
// violations.
#include "classifier/strokematch.h"

namespace {

constexpr int kPenalty = 102;
constexpr int kMaxDist2 = MaxDist * MaxDist; // 32761

inline int iabs(int v) {
    return v < 0 ? -v : v;
}
inline int imax(int a, int b) {
    return a > b ? a : b;
}
inline int imin(int a, int b) {
    return a < b ? a : b;
}

struct Extents {
    int dmx, dmy; // input
    int ddx, ddy; // dictionary, at least 1
    int dcx, dcy; // centering offsets
};

// Centered offset plus scaled offset of dictionary point p and input point q, halved.
int deviation(const Extents& e, const POINT_B& p, const POINT_B& q) {
    const int centered = iabs(e.dcx - q.x + p.x) + iabs(e.dcy - q.y + p.y);
    const int scaled = iabs(e.dmx * p.x / e.ddx - q.x) + iabs(e.dmy * p.y / e.ddy - q.y);
    return (centered + scaled) >> 1;
}

// Direction agreement of dic[ds+1..de] and in[is+1..ie], walked by length shares.
int agreement(const PATTERN_B* dic, const PATTERN_B* in, int ds, int de, int is, int ie, int Ld,
              int Li) {
    int a = 0;
    int k = ds + 1, j = is + 1;
    int fd = (dic->data[k].l * 1024) / Ld;
    int fi = (in->data[j].l * 1024) / Li;
    while (k <= de && j <= ie) {
        const POINT_B& p = dic->data[k];
        const POINT_B& q = in->data[j];
        const int o = imin(fd, fi);
        int term;
        if (p.attr & PB_NODIR) {
            const int dy = p.y - q.y, dx = p.x - q.x;
            term = o * (kMaxDist2 - dy * dy - dx * dx) / kMaxDist2;
        } else {
            term = (o * getcosine(p.dir - q.dir)) >> 10;
        }
        if (term > 0) a += term;
        if (fd < fi) {
            fi -= fd;
            if (++k <= de) fd = (dic->data[k].l * 1024) / Ld;
        } else {
            fd -= fi;
            if (++j <= ie) fi = (in->data[j].l * 1024) / Li;
        }
    }
    return a;
}

} // namespace

extern "C" {

int hyouka(NP_TABLE* npt, const PATTERN_B* dic, const PATTERN_B* in) {
    const int n = npt->num;
    if (n <= 0 || dic->num <= 0 || in->num <= 0) return 0;
    NODE_PAIR* pr = npt->pair;
    const POINT_B* dp = dic->data;
    const POINT_B* ip = in->data;
    const int D = dic->num - 1;
    const int I = in->num - 1;
    const int tekito = gettekitoflag();

    pr[n - 1].attr = 1;
    Extents ex{0, 0, 0, 0, 0, 0};
    for (int k = 0; k < in->num; ++k) {
        ex.dmx = imax(ex.dmx, ip[k].x);
        ex.dmy = imax(ex.dmy, ip[k].y);
    }
    for (int k = 0; k < dic->num; ++k) {
        ex.ddx = imax(ex.ddx, dp[k].x);
        ex.ddy = imax(ex.ddy, dp[k].y);
    }
    ex.dcx = (ex.dmx - ex.ddx + 1) >> 1;
    ex.dcy = (ex.dmy - ex.ddy + 1) >> 1;
    ex.ddx = imax(ex.ddx, 1);
    ex.ddy = imax(ex.ddy, 1);

    long total = 0, wsum = 0;
    int penalty = 0;
    bool first = true;
    int e = n - 1;
    while (e >= 1) {
        const int dE = pr[e].dic;
        const int iE = pr[e].in;
        int s = e - 1;
        if (first) {
            if (pr[s].in == I) {
                const int dd = pr[s].dic;
                while (s > 0 && pr[s].dic == dd) --s;
            } else if (pr[s].dic == D) {
                const int ii = pr[s].in;
                while (s > 0 && pr[s].in == ii) --s;
            }
        }
        while (s > 0 && pr[s].in == iE) --s;
        while (s > 0 && pr[s].dic == dE) --s;
        while (s >= 1) {
            const int ad = dp[pr[s].dic].attr & 6;
            const int ai = ip[pr[s].in].attr & 6;
            if ((ad == 2 && ai == 4) || (ad == 4 && ai == 2))
                --s;
            else
                break;
        }
        int sidx = s;
        const int b = (dp[pr[s].dic].attr & PB_SEGSTART) ? PB_PENDOWN : PB_PENUP;
        if (dp[pr[s].dic].attr & b) {
            for (int k = s; k >= 0 && pr[k].dic == pr[s].dic; --k) {
                if (ip[pr[k].in].attr & b) {
                    sidx = k;
                    break;
                }
            }
        }
        int dS = pr[sidx].dic;
        int iS = pr[sidx].in;
        if (dS == 0 || iS == 0) {
            dS = iS = 0;
            sidx = 0;
        }
        pr[sidx].attr = 1;

        int Li = 0, Pi = 0, Ld = 0, Pd = 0;
        bool F = false;
        for (int k = iS + 1; k <= iE; ++k) {
            Li += ip[k].l;
            if (!(ip[k].attr & PB_PENDOWN)) Pi += ip[k].l;
        }
        for (int k = dS + 1; k <= dE; ++k) {
            Ld += dp[k].l;
            if (!(dp[k].attr & PB_PENDOWN)) Pd += dp[k].l;
            if (dp[k].attr & PB_SEGSTART) F = true;
        }

        const int A = (Li > 0 && Ld > 0) ? agreement(dic, in, dS, dE, iS, iE, Ld, Li) : 0;
        const int endDev = deviation(ex, dp[dE], ip[iE]);
        const int dev = endDev + (dS == 0 ? deviation(ex, dp[0], ip[0]) : endDev);
        int sg = (A * (512 - dev)) >> 9;

        if (!tekito && dS == 0 && Li + 64 < Ld && sg > 0) {
            sg = sg * Li / Ld;
        } else if (!tekito && Ld + 85 < Li && sg > 0) {
            sg = sg * Ld / Li;
        } else if (F && Pi == Li) {
            penalty = kPenalty;
            sg = 0;
        } else if (Pd == Ld && Pi < Li) {
            penalty = kPenalty;
        } else if (dp[dE].attr & PB_CROSSCHECK) {
            const int partner = dE + 2 + ((dp[dE].attr >> 3) & 3);
            for (int m = 0; m < n && penalty == 0; ++m) {
                if (pr[m].dic != partner) continue;
                for (int k = iS + 1; k <= iE; ++k) {
                    if (iscross(in, k, pr[m].in)) {
                        penalty = kPenalty;
                        break;
                    }
                }
            }
        }

        const int W = imax(Ld, Li);
        total += (static_cast<long>(sg) * W) >> 10;
        wsum += W;
        e = sidx;
        first = false;
    }
    if (wsum == 0) wsum = 1;
    return static_cast<int>((total * 1024) / wsum) - penalty;
}

int evaluate(NP_TABLE* npt, const PATTERN_B* dic, const PATTERN_B* in) {
    CR_INFO info;
    getcrinfo(&info);
    if (ltmatching(npt, dic, in) < info.minsc) return 0;
    const int s = hyouka(npt, dic, in);
    return s >= info.minsc ? s : 0;
}

namespace {

inline long cross(long ax, long ay, long bx, long by) {
    return ax * by - ay * bx;
}

// Whether point (px, py) lies within one unit of the segment (ax, ay)-(bx, by).
bool nearsegment(long px, long py, long ax, long ay, long bx, long by) {
    const long dx = bx - ax, dy = by - ay;
    const long l2 = dx * dx + dy * dy;
    const long qx = px - ax, qy = py - ay;
    if (l2 == 0) return qx * qx + qy * qy <= 1;
    const long t = qx * dx + qy * dy;
    if (t <= 0) return qx * qx + qy * qy <= 1;
    if (t >= l2) {
        const long rx = px - bx, ry = py - by;
        return rx * rx + ry * ry <= 1;
    }
    const long c = cross(dx, dy, qx, qy);
    return c * c <= l2; // squared distance c^2 / l2 at most 1
}

} // namespace

int iscross(const PATTERN_B* in, int p1, int p2) {
    if (p1 < 1 || p2 < 1 || p1 >= in->num || p2 >= in->num) return 0;
    const POINT_B* p = in->data;
    const long ax = p[p1 - 1].x, ay = p[p1 - 1].y, bx = p[p1].x, by = p[p1].y;
    const long cx = p[p2 - 1].x, cy = p[p2 - 1].y, dx = p[p2].x, dy = p[p2].y;
    const long ux = bx - ax, uy = by - ay, vx = dx - cx, vy = dy - cy;
    const long den = cross(ux, uy, vx, vy);
    if (den == 0) {
        // Parallel: only collinear overlapping segments meet.
        if (cross(ux, uy, cx - ax, cy - ay) != 0 || cross(vx, vy, ax - cx, ay - cy) != 0) return 0;
        const long lo1x = ax < bx ? ax : bx, hi1x = ax < bx ? bx : ax;
        const long lo1y = ay < by ? ay : by, hi1y = ay < by ? by : ay;
        const long lo2x = cx < dx ? cx : dx, hi2x = cx < dx ? dx : cx;
        const long lo2y = cy < dy ? cy : dy, hi2y = cy < dy ? dy : cy;
        return lo1x <= hi2x && lo2x <= hi1x && lo1y <= hi2y && lo2y <= hi1y;
    }
    const long o1 = cross(ux, uy, cx - ax, cy - ay);
    const long o2 = cross(ux, uy, dx - ax, dy - ay);
    const long o3 = cross(vx, vy, ax - cx, ay - cy);
    const long o4 = cross(vx, vy, bx - cx, by - cy);
    if (((o1 <= 0 && o2 >= 0) || (o1 >= 0 && o2 <= 0)) &&
        ((o3 <= 0 && o4 >= 0) || (o3 >= 0 && o4 <= 0)))
        return 1;
    // One unit of tolerance at the ends.
    return nearsegment(ax, ay, cx, cy, dx, dy) || nearsegment(bx, by, cx, cy, dx, dy) ||
           nearsegment(cx, cy, ax, ay, bx, by) || nearsegment(dx, dy, ax, ay, bx, by);
}

} // extern "C"
