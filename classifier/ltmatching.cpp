// The point correspondence walk: a greedy monotone pass through both point sequences that
// pairs points by matching degree, takes back one-sided runs that grow too long, rejects
// early when the running mean falls below the threshold, and keeps stroke boundaries
// aligned while the dictionary pattern has no fewer strokes than the input.
#include "classifier/strokematch.h"

namespace {

// Move codes.
enum { MoveIn = 1, MoveDic = 2, MoveBoth = 3, SkipOne = 4, MoveDicSkip = 6 };
// Move inhibitions.
enum { NoDicOnly = 1, NoInOnly = 2, NoBoth = 4 };

inline int imax(int a, int b) {
    return a > b ? a : b;
}

struct Walk {
    const CR_INFO& info;
    const PATTERN_B& dic;
    const PATTERN_B& in;
    NP_TABLE& npt;
    int D, I;
    int d = 0, i = 0, md = 0;
    int ssp_dic = 1, ssp_dic_save = 1, ssp_in = 1, ssp_in_save = 1;
    int cstr_dic, cstr_dic_save, cstr_in, cstr_in_save;
    int nmaxmdr = 0, maxmdr = 0, sc = 0, len = 0, lenr = 0;
    int stop_in_count = 0, stop_dic_count = 0; // dictionary-only / input-only run moves
    int over_ldic = 0, over_lin = 0;
    int ignore_flag = 0;
    int run_first = 0; // table index of the first pair of the open run

    Walk(const CR_INFO& ci, const PATTERN_B& dp, const PATTERN_B& ip, NP_TABLE& t)
        : info(ci), dic(dp), in(ip), npt(t), D(dp.num - 1), I(ip.num - 1), cstr_dic(dp.stroke),
          cstr_dic_save(dp.stroke), cstr_in(ip.stroke), cstr_in_save(ip.stroke) {}

    int ld() const { return dic.data[d].l; }
    int li() const { return in.data[i].l; }
    bool nodir(int k) const { return dic.data[k].attr & PB_NODIR; }

    // Adds to the running score and tells whether the match is rejected.
    bool add(int s, int w) {
        sc += s;
        len += w;
        if (d >= info.rejstart &&
            static_cast<long>(sc) * 1024 < static_cast<long>(len) * info.minsc) {
            sc = 0;
            return true;
        }
        return false;
    }

    void choose(int& move, int& maxmd) const {
        const POINT_B* dp = dic.data;
        const POINT_B* ip = in.data;
        if (d < D && i < I) {
            const bool plain = !nodir(d) && !nodir(d + 1);
            int c3, c1, c2;
            if (plain) {
                c3 = mdcal(dp, ip, d + 1, i + 1);
                c1 = mdcal(dp, ip, d, i + 1);
                c2 = mdcal(dp, ip, d + 1, i);
            } else {
                c3 = mdcalus(dp, ip, d + 1, i + 1);
                c1 = mdcalus(dp, ip, d, i + 1);
                c2 = mdcalus(dp, ip, d + 1, i);
            }
            move = MoveBoth;
            maxmd = (ignore_flag & NoBoth) ? -2048 : c3;
            if (!(ignore_flag & NoInOnly) && c1 > maxmd) {
                move = MoveIn;
                maxmd = c1;
            }
            if (!(ignore_flag & NoDicOnly)) {
                if (c2 > maxmd) {
                    move = MoveDic;
                    maxmd = c2;
                }
                if (!plain && nodir(d + 1) && d + 1 < D) {
                    const int c6 = mdcalus(dp, ip, d + 2, i);
                    if (c6 > maxmd) {
                        move = MoveDicSkip;
                        maxmd = c6;
                    }
                }
            }
        } else if (d < D) {
            move = MoveDic;
            maxmd = (I < 1 || nodir(d + 1)) ? mdcalus(dp, ip, d + 1, i) : mdcal(dp, ip, d + 1, i);
        } else if (i < I) {
            move = MoveIn;
            maxmd = (D < 1 || nodir(d)) ? mdcalus(dp, ip, d, i + 1) : mdcal(dp, ip, d, i + 1);
        } else {
            move = MoveBoth;
            maxmd = 0;
        }
    }

    // Initial imbalance of a one-sided run; own is the moving side's current l, other the
    // standing side's, ownidx/otheridx their indexes.
    static int overstart(int own, int other, int ownidx, int otheridx) {
        if (otheridx == 0 && ownidx == 0) return 0;
        if (otheridx == 0) return own;
        if (ownidx == 0) return -other;
        return own - other;
    }

    void append() { npt.pair[npt.num++] = NODE_PAIR{d, i, 0, md}; }

    // The stroke constraints after a move.
    void constrain(bool dmoved, bool imoved, bool skipped) {
        const int ad = dic.data[d].attr;
        const int ai = in.data[i].attr;
        ignore_flag = 0;
        if (dmoved) {
            if (ad & PB_PENDOWN) --cstr_dic;
            if (skipped && (dic.data[d - 1].attr & PB_PENDOWN)) --cstr_dic;
        }
        if (imoved && (ai & PB_PENDOWN)) --cstr_in;
        const int kd = dic.stroke - cstr_dic;
        const int ki = in.stroke - cstr_in;
        if (kd < ki) {
            ignore_flag = NoInOnly | NoBoth;
        } else if (cstr_dic < cstr_in) {
            ignore_flag = NoDicOnly | NoBoth;
        } else if (!(ai & PB_PENDOWN) && (ai & PB_PENUP)) {
            if ((ad & PB_PENUP) && cstr_dic == cstr_in)
                ignore_flag = same_str ? (NoDicOnly | NoInOnly) : NoInOnly;
            else if (!(ad & PB_PENUP) && (ad & PB_PENDOWN) && ssp_dic)
                ignore_flag = NoInOnly | NoBoth;
        } else if (ai & PB_PENDOWN) {
            if (!(ad & PB_PENDOWN) && !ssp_in) ignore_flag = NoInOnly | NoBoth;
        }
        if (!(ad & PB_PENDOWN)) {
            ssp_dic = 0;
            if (!(ai & PB_PENDOWN)) ssp_in = 0;
        } else if (!(ai & PB_PENDOWN)) {
            ssp_in = 0;
        } else {
            ssp_dic = ssp_in = 1;
        }
    }

    bool same_str = false;
    bool no_inhibit = false;

    int run() {
        same_str = dic.stroke == in.stroke;
        npt.num = 0;
        if (info.crmode == 1 && !same_str) return 0;
        no_inhibit = dic.stroke < in.stroke;
        const int tekito = gettekitoflag();
        md = (I < 1 || D < 1) ? mdcalus(dic.data, in.data, 0, 0) : mdcal(dic.data, in.data, 0, 0);

        while (d <= D) {
            append();
            int move, maxmd;
            choose(move, maxmd);

            // Score the pair being left.
            bool rejected = false;
            if (stop_dic_count == 0 && stop_in_count == 0 && move == MoveBoth) {
                const int w = imax(ld(), li());
                rejected = add((md * w) >> 10, w);
            } else if ((stop_dic_count > 0 && (move & MoveDic)) ||
                       (stop_in_count > 0 && (move & MoveIn))) {
                const bool inrun = stop_dic_count > 0;
                const int lo = inrun ? ld() : li();
                const int o = inrun ? d : i;
                if (lenr > 0 && ((lenr < lo && o != 0) || (lo < lenr && o == 0)))
                    rejected = add((maxmdr * lo) / lenr, lo);
                else
                    rejected = add(maxmdr, lenr);
            }
            if (rejected) break;
            if (move == MoveBoth && d >= D) break;

            bool takenback = false;
            if ((move & MoveDic) && !(move & MoveIn)) {
                if (stop_in_count == 0) {
                    maxmdr = (ld() * md) >> 10;
                    nmaxmdr = md;
                    lenr = ld();
                    ssp_dic_save = ssp_dic;
                    cstr_dic_save = cstr_dic;
                    if (stop_dic_count == 0)
                        over_ldic = overstart(ld(), li(), d, i);
                    else
                        over_ldic = over_lin < 1 ? 0 : -over_lin;
                    run_first = npt.num - 1;
                }
                ++stop_in_count;
                const int nl = dic.data[(move & SkipOne) ? d + 2 : d + 1].l;
                over_ldic = (ignore_flag & NoInOnly) ? 0 : over_ldic + nl;
                if (!tekito && over_ldic > info.overlen && i < I) {
                    npt.num = run_first + 1;
                    const int d0 = npt.pair[run_first].dic;
                    const int w = imax(dic.data[d0].l, li());
                    sc += (nmaxmdr * w) >> 10;
                    len += w;
                    d = d0;
                    ++i;
                    md = mdcal(dic.data, in.data, d, i);
                    ssp_dic = ssp_dic_save;
                    cstr_dic = cstr_dic_save;
                    over_ldic = 0;
                    stop_in_count = stop_dic_count = 0;
                    takenback = true;
                } else if (!tekito && over_ldic > info.lastover && i >= I) {
                    sc = 0;
                    len = 1;
                    break;
                } else {
                    maxmdr += (maxmd * nl) >> 10;
                    lenr += nl;
                }
            } else if (move == MoveIn) {
                if (stop_dic_count == 0) {
                    maxmdr = (li() * md) >> 10;
                    nmaxmdr = md;
                    lenr = li();
                    ssp_in_save = ssp_in;
                    cstr_in_save = cstr_in;
                    if (stop_in_count == 0)
                        over_lin = overstart(li(), ld(), i, d);
                    else
                        over_lin = over_ldic < 1 ? 0 : -over_ldic;
                    run_first = npt.num - 1;
                }
                ++stop_dic_count;
                const int nl = in.data[i + 1].l;
                over_lin = (ignore_flag & NoDicOnly) ? 0 : over_lin + nl;
                if (!tekito && over_lin > info.overlen && d < D) {
                    npt.num = run_first + 1;
                    const int i0 = npt.pair[run_first].in;
                    const int w = imax(ld(), in.data[i0].l);
                    sc += (nmaxmdr * w) >> 10;
                    len += w;
                    ++d;
                    i = i0;
                    md = mdcal(dic.data, in.data, d, i);
                    ssp_in = ssp_in_save;
                    cstr_in = cstr_in_save;
                    over_lin = 0;
                    stop_in_count = stop_dic_count = 0;
                    takenback = true;
                } else if (!tekito && over_lin > info.lastover && d >= D) {
                    sc = 0;
                    len = 1;
                    break;
                } else {
                    maxmdr += (maxmd * nl) >> 10;
                    lenr += nl;
                }
            }

            bool dmoved = false, imoved = false;
            if (!takenback) {
                if (move & MoveIn) {
                    ++i;
                    stop_in_count = 0;
                    imoved = true;
                }
                if (move & MoveDic) {
                    d += (move & SkipOne) ? 2 : 1;
                    stop_dic_count = 0;
                    dmoved = true;
                }
                md = maxmd;
            }
            if (!no_inhibit) constrain(dmoved, imoved, dmoved && (move & SkipOne));
            if (i > I) break;
        }
        if (len == 0) len = 1;
        if (sc < 0) return 0;
        return static_cast<int>((static_cast<long>(sc) * 1024) / len);
    }
};

} // namespace

extern "C" int ltmatching(NP_TABLE* pl, const PATTERN_B* dic, const PATTERN_B* in) {
    pl->num = 0;
    if (dic->num <= 0 || in->num <= 0) return 0;
    CR_INFO info;
    getcrinfo(&info);
    Walk w(info, *dic, *in, *pl);
    return w.run();
}
