// DP matching over the grid of point pairs.
#include "classifier/dpmatch.h"

#include "classifier/strokematch.h"

#include <type_traits>
#include <vector>

namespace {

DPM_PARAM g_dpm = {350, 7, 179};

inline bool reachable(const MDTBL& c) {
    return c.dir != MDT_NONE;
}

void unreachable_from(MDTBL* row, int from, int width) {
    for (int i = from; i < width; ++i) row[i].dir = MDT_NONE;
}

// The cosine table by direction difference, taken once from the matcher's table.
const int16_t* costable() {
    static const std::vector<int16_t> table = [] {
        std::vector<int16_t> t(1024);
        for (int k = 0; k < 1024; ++k)
            t[static_cast<size_t>(k)] = static_cast<int16_t>(getcosine(k));
        return t;
    }();
    return table.data();
}

// Truncating division of a path score by its pair count, by multiplication with a
// reciprocal: for |x| < 2^20 and 1 <= n < 1024, x * ceil(2^41 / n) >> 41 overshoots x / n
// by less than 2^-21 < 1/n, so the quotient is exact. Other operands divide directly.
constexpr int kRecipShift = 41;
constexpr int kRecipCount = 1024;
const uint64_t* reciprocals() {
    static const std::vector<uint64_t> table = [] {
        std::vector<uint64_t> t(kRecipCount, 0);
        for (uint64_t n = 1; n < kRecipCount; ++n)
            t[n] = ((uint64_t{1} << kRecipShift) + n - 1) / n;
        return t;
    }();
    return table.data();
}

// With kSmall the caller guarantees the operands' range. A matching degree is at most 1024
// times max(1, city-block distance / 256) in magnitude, and point coordinates are bytes,
// so below 2048; a grid with Dn + In <= kSmallGrid has paths of n < 512 pairs, so that
// |x| < 2048 n < 2^20 and n < kRecipCount.
constexpr int kSmallGrid = 512;
template <bool kSmall> inline int divmean(int x, int n, const uint64_t* recip) {
    if (kSmall || (n >= 1 && n < kRecipCount && x > -(1 << 20) && x < (1 << 20))) {
        if (x >= 0) return static_cast<int>((static_cast<uint64_t>(x) * recip[n]) >> kRecipShift);
        return -static_cast<int>((static_cast<uint64_t>(-x) * recip[n]) >> kRecipShift);
    }
    return x / n;
}

// The grid fill of mkmdtbl; kSmall when the grid is small enough for the quick division.
template <bool kSmall>
int fillgrid(MDTBL* mdt, const PATTERN_B* dic, int start_dic, const PATTERN_B* in) {
    const int Dn = dic->num;
    const int In = in->num;
    const POINT_B* dp = dic->data;
    const POINT_B* ip = in->data;
    const DPM_PARAM prm = g_dpm;

    if (start_dic == 0) {
        MDTBL* row = mdt;
        row[0] = MDTBL{0, 0, MDT_IN, 0, 0, 0, 1};
        long L = 0;
        int strokes = 1;
        int i = 1;
        for (; i < In; ++i) {
            L += ip[i].l;
            if (L >= prm.maxoverlen) break;
            if (ip[i].attr & PB_PENDOWN) {
                if (++strokes > row[0].dic_stroke + 1) break;
            }
            const int m = Dn < 2 ? mdcalus(dp, ip, 0, i) : mdcal(dp, ip, 0, i);
            row[i].score = row[i - 1].score + m;
            row[i].dir = MDT_IN;
            row[i].np_num = static_cast<int16_t>(i);
            row[i].overlen = static_cast<int16_t>(L);
            row[i].dic_stroke = 1;
        }
        unreachable_from(row, i, In);
    }

    // Strokes begun up to the row before the first one computed.
    const int first = start_dic > 1 ? start_dic : 1;
    int rs = 1;
    for (int d = 1; d < first && d < Dn; ++d)
        if (dp[d].attr & PB_PENDOWN) ++rs;

    // Input strokes begun up to each column, counting the first as 1.
    static thread_local std::vector<int> s_instr;
    if (s_instr.size() < static_cast<size_t>(In)) s_instr.resize(static_cast<size_t>(In));
    int* instr = s_instr.data();
    instr[0] = 1;
    for (int i = 1; i < In; ++i) instr[i] = instr[i - 1] + ((ip[i].attr & PB_PENDOWN) ? 1 : 0);
    const int16_t* cost = costable();
    const uint64_t* recip = reciprocals();

    // Reachable span [lo, hi] of the previous row; cells outside it are unreachable, so a
    // row only needs the columns from lo up to where the input-only chain past hi + 1 ends.
    int lo = In, hi = -1;
    if (first < Dn) {
        const MDTBL* prev = mdt + static_cast<long>(first - 1) * In;
        for (int i = 0; i < In; ++i)
            if (reachable(prev[i])) {
                if (lo == In) lo = i;
                hi = i;
            }
    }
    int cut = 1; // first column whose stroke count exceeds the row's limit
    const int rej = prm.rej_start, minsc = prm.min_score, maxover = prm.maxoverlen;

    for (int d = first; d < Dn; ++d) {
        const MDTBL* prev = mdt + static_cast<long>(d - 1) * In;
        MDTBL* row = mdt + static_cast<long>(d) * In;
        if (hi < lo) {
            for (int k = d; k < Dn; ++k) unreachable_from(mdt + static_cast<long>(k) * In, 0, In);
            break;
        }
        if (dp[d].attr & PB_PENDOWN) ++rs;
        while (cut < In && instr[cut] <= rs + 1) ++cut;
        const int ld = dp[d].l;
        const int ddir = dp[d].dir, dx = dp[d].x, dy = dp[d].y;
        const bool cutting = d >= rej;
        int nlo = In, nhi = -1;

        // Column 0: only from the cell above.
        const MDTBL& up0 = prev[0];
        if (!reachable(up0) || up0.overlen + ld >= maxover) {
            row[0].dir = MDT_NONE;
        } else {
            const int m = In < 2 ? mdcalus(dp, ip, d, 0) : mdcal(dp, ip, d, 0);
            MDTBL c{};
            c.score = up0.score + m;
            c.np_num = static_cast<int16_t>(up0.np_num + 1);
            c.overlen = static_cast<int16_t>(up0.overlen + ld);
            c.dir = MDT_DIC;
            c.dic_stroke = static_cast<int16_t>(rs);
            if (cutting && c.score / c.np_num < minsc) c.dir = MDT_NONE;
            if (c.dir == MDT_NONE) {
                row[0].dir = MDT_NONE;
            } else {
                row[0] = c;
                nlo = nhi = 0;
            }
        }

        // Columns before the previous row's span have no source but the cell to the left.
        const int from = lo > 1 ? lo : 1;
        const int to = cut; // exclusive
        unreachable_from(row, 1, from < to ? from : to);
        // The row's columns, built once for rows under the running threshold and once for
        // the rows before it, so that neither tests which it is cell by cell; and once for
        // the columns up to one past the previous row's span, once for those after it, where
        // the cells above and above to the left are unreachable, so that only the cell to
        // the left offers and the row ends where that chain does.
        int i = from;
        auto fill = [&](auto kCutting, auto kTail, int end) {
            constexpr bool kPastSpan = decltype(kTail)::value;
            for (; i < end; ++i) {
                if (kPastSpan && !reachable(row[i - 1])) break;
                const POINT_B& q = ip[i];
                const int cv = cost[(ddir - q.dir < 0 ? q.dir - ddir : ddir - q.dir) & 1023];
                const int dist =
                    (dy - q.y < 0 ? q.y - dy : dy - q.y) + (dx - q.x < 0 ? q.x - dx : dx - q.x);
                const int m = cv >= 0 ? (cv * (256 - dist)) >> 8 : (cv * dist) >> 8;
                const int li = q.l;
                // The best of the admissible offers, in the order a, b, c; b wins ties. An offer
                // whose mean falls below the running threshold is never taken: it could only
                // replace another such offer, and a cell reached by none is unreachable.
                bool have = false;
                int bestMean = 0, bestScore = 0, bestNp = 0, bestImb = 0, bestDir = MDT_NONE;

                auto offer = [&](const MDTBL& src, int dir, int imb, bool ties) {
                    const int mean = divmean<kSmall>(src.score + m, src.np_num + 1, recip);
                    if (decltype(kCutting)::value && mean < minsc) return;
                    if (have && (ties ? mean < bestMean : mean <= bestMean)) return;
                    have = true;
                    bestMean = mean;
                    bestScore = src.score + m;
                    bestNp = src.np_num + 1;
                    bestImb = imb;
                    bestDir = dir;
                };

                if (!kPastSpan) {
                    const MDTBL& a = prev[i];
                    if (reachable(a)) {
                        int imb = ld;
                        if (a.dir == MDT_DIC)
                            imb += a.overlen;
                        else if (a.dir == MDT_BOTH)
                            imb -= a.overlen;
                        else if (a.overlen >= 1)
                            imb -= a.overlen;
                        if (imb < maxover) offer(a, MDT_DIC, imb, false);
                    }
                    const MDTBL& b = prev[i - 1];
                    if (reachable(b)) offer(b, MDT_BOTH, li - ld, true);
                }
                const MDTBL& c = row[i - 1];
                if (reachable(c)) {
                    int imb = li;
                    if (c.dir == MDT_IN || c.dir == MDT_BOTH)
                        imb += c.overlen;
                    else if (c.overlen >= 1)
                        imb -= c.overlen;
                    if (imb < maxover) offer(c, MDT_IN, imb, false);
                }
                if (have) {
                    row[i].score = bestScore;
                    row[i].dir = static_cast<int16_t>(bestDir);
                    row[i].np_num = static_cast<int16_t>(bestNp);
                    row[i].overlen = static_cast<int16_t>(bestImb);
                    row[i].dic_stroke = static_cast<int16_t>(rs);
                    if (nlo == In) nlo = i;
                    nhi = i;
                } else {
                    row[i].dir = MDT_NONE;
                }
            }
        };
        const int spanEnd = to < hi + 2 ? to : hi + 2;
        if (cutting) {
            fill(std::true_type{}, std::false_type{}, spanEnd);
            fill(std::true_type{}, std::true_type{}, to);
        } else {
            fill(std::false_type{}, std::false_type{}, spanEnd);
            fill(std::false_type{}, std::true_type{}, to);
        }
        unreachable_from(row, i, In);
        lo = nlo;
        hi = nhi;
    }

    const MDTBL& last = mdt[static_cast<long>(Dn - 1) * In + (In - 1)];
    if (!reachable(last)) return 0;
    // A single pair has no steps: its mean is the position agreement of the two points.
    const int mean = last.np_num > 0 ? last.score / last.np_num : mdcalus(dp, ip, 0, 0);
    return mean < prm.min_score ? 0 : mean;
}

} // namespace

extern "C" {

void getdpmparam(DPM_PARAM* param) {
    *param = g_dpm;
}
void setdpmparam(const DPM_PARAM* param) {
    g_dpm = *param;
}

int mkmdtbl(MDTBL* mdt, const PATTERN_B* dic, int start_dic, const PATTERN_B* in) {
    const int Dn = dic->num;
    const int In = in->num;
    if (Dn <= 0 || In <= 0) return 0;
    if (start_dic < 0) start_dic = 0;
    if (start_dic > Dn) start_dic = Dn;
    return Dn + In <= kSmallGrid ? fillgrid<true>(mdt, dic, start_dic, in)
                                 : fillgrid<false>(mdt, dic, start_dic, in);
}

int mdtsharedrows(const PATTERN_B* a, const PATTERN_B* b) {
    if (!a || !b || !a->data || !b->data || a->num < 2 || b->num < 2) return 0;
    const int n = a->num < b->num ? a->num : b->num;
    int k = 0;
    for (; k < n; ++k) {
        const POINT_B& p = a->data[k];
        const POINT_B& q = b->data[k];
        if (p.x != q.x || p.y != q.y || p.l != q.l || p.dir != q.dir ||
            ((p.attr ^ q.attr) & PB_PENDOWN))
            break;
    }
    return k;
}

void mdttonpt(NP_TABLE* npt, const MDTBL* mdt, int dic_num, int in_num) {
    npt->num = 0;
    if (dic_num <= 0 || in_num <= 0) return;
    int d = dic_num - 1, i = in_num - 1;
    const MDTBL* cell = &mdt[static_cast<long>(d) * in_num + i];
    if (!reachable(*cell)) return;
    const int count = cell->np_num + 1;
    if (count < 1 || count > dic_num + in_num - 1) return;
    for (int k = count - 1; k >= 0; --k) {
        cell = &mdt[static_cast<long>(d) * in_num + i];
        if (!reachable(*cell)) return;
        int pd = d, pi = i;
        if (k > 0) {
            switch (cell->dir) {
            case MDT_DIC:
                --pd;
                break;
            case MDT_IN:
                --pi;
                break;
            default:
                --pd, --pi;
                break;
            }
            if (pd < 0 || pi < 0) return;
        }
        const int prevScore = k > 0 ? mdt[static_cast<long>(pd) * in_num + pi].score : 0;
        npt->pair[k] = NODE_PAIR{d, i, 0, cell->score - prevScore};
        d = pd;
        i = pi;
    }
    if (d != 0 || i != 0) return; // the path does not lead back to the first pair
    npt->num = count;
}

} // extern "C"
