// Category matching: the flattened composition tree of a category, the part patterns
// placed into their boxes, and the search over all compositions of the category's
// variants, pruned by the position at which the correspondence broke.
#include "classifier/crcore.h"
#include "classifier/strokecount.h"
#include "classifier/strokeorder.h"

#include <cstring>

namespace {

inline int imax(int a, int b) {
    return a > b ? a : b;
}
inline int16_t clamp16(long v) {
    return static_cast<int16_t>(v > 32767 ? 32767 : v);
}

// The highest evaluation a match can get.
constexpr long kBestScore = 1024;

// Table capacity for the dictionary in use.
int tablecapacity() {
    return imax(_maxctgtblsize, _crdic.maxctgtblsize);
}

// Pre-order fill of one part's subtree. Returns false when the table is full.
bool addpart(const tagCATEGORY* kj, CAT_DATA* table, int* n, int cap, int x, int y, int w, int h) {
    if (!kj || *n >= cap) return false;
    const int self = *n;
    CAT_DATA& e = table[self];
    std::memset(static_cast<void*>(&e), 0, sizeof(e));
    e.status = kj->status;
    e.patdic.count = kj->patdic.count;
    if (kj->patdic.count > 0) {
        e.x = static_cast<uint8_t>(x);
        e.y = static_cast<uint8_t>(y);
        e.sx = static_cast<uint8_t>((w * 128) / imax(1, _xy_table[kj->size >> 4]));
        e.sy = static_cast<uint8_t>((h * 128) / imax(1, _xy_table[kj->size & 15]));
        e.org_pat = kj->patdic.pat;
        const unsigned bytes = static_cast<unsigned>(sizeof(PATTERN_B)) * kj->patdic.count;
        e.patdic.pat = static_cast<PATTERN_B*>(AllocWork(bytes));
        if (e.patdic.pat) std::memset(static_cast<void*>(e.patdic.pat), 0, bytes);
    }
    ++*n;
    bool ok = true;
    if (kj->status & CTG_COMPOSITE) {
        for (const DIVINFO& dv : kj->div) {
            ok =
                ok && addpart(dv.part, table, n, cap, x + (w * _xy_table[dv.pos >> 4]) / 128,
                              y + (h * _xy_table[dv.pos & 15]) / 128,
                              _xy_table[dv.size >> 4] * w / 128, _xy_table[dv.size & 15] * h / 128);
        }
    }
    table[self].next_step = *n - self;
    return ok;
}

// Outcome of one call below, folded into the state of the caller's loop. Returns true
// when the caller must return r at once.
struct Fold {
    bool dp = false;
    int last;
    explicit Fold(int nothing) : last(nothing) {}
    bool add(int r, int fixed, int& start) {
        if (r == -2) return true;
        if (r == -1) {
            dp = true;
            start = fixed;
        } else if (r >= 0 && r < fixed) {
            return true;
        }
        last = r;
        return false;
    }
    int result() const { return dp ? -1 : last; }
};

int composite(CATMATCH* cm, PATTERN_B* pat, int start, int node, const tagREVLIST* rev,
              Fold& fold) {
    const CAT_DATA* t = cm->cat_data;
    const int c1 = node + 1;
    const int c2 = c1 < cm->table_size ? c1 + t[c1].next_step : cm->table_size;
    const tagREVLIST first{c2, rev};
    int r = CategoryMatchingSub(cm, pat, start, c1, &first);
    if (fold.add(r, pat->num, start)) return r;
    if (t[node].status & CTG_ANYORDER) {
        const tagREVLIST second{c1, rev};
        r = CategoryMatchingSub(cm, pat, start, c2, &second);
        if (fold.add(r, pat->num, start)) return r;
    }
    return fold.result();
}

// Matches dic against in (the category's input, or that input rewritten), filling the
// grid mdt from row start when DP matching runs. The evaluation of a match that succeeded
// goes to *score. Returns the failure position.
int matchpattern(CATMATCH* cm, const PATTERN_B* dic, const PATTERN_B& in, MDTBL* mdt, int start,
                 int* score) {
    *score = 0;
    const uint8_t rootstatus = cm->table_size > 0 ? cm->cat_data[0].status : 0;
    if (!(rootstatus & CTG_POSITIONAL)) {
        if (in.len >= 2 * dic->len || dic->len >= (5 * in.len) >> 1) return dic->num;
    }
    if (dic->num <= 0) return 0;
    CR_INFO info;
    getcrinfo(&info);
    bool ok = false;
    int failpos = dic->num;
    bool dp = cm->mflag == MFLAG_DP;
    if (!dp) {
        ok = ltmatching(&cm->npt, dic, &in) >= info.minsc;
        if (ok || cm->mflag >= 0)
            failpos = cm->npt.num > 0 ? cm->npt.pair[cm->npt.num - 1].dic : dic->num;
        else
            dp = true;
    }
    if (dp) {
        cm->npt.num = 0;
        if (mkmdtbl(mdt, dic, start, &in) > 0) mdttonpt(&cm->npt, mdt, dic->num, in.num);
        ok = cm->npt.num > 0;
        failpos = -1;
    }
    if (ok) *score = hyouka(&cm->npt, dic, &in);
    return failpos;
}

// Matches dic against the input rewritten (re): its evaluation less penalty counts when it
// beats the category's best so far. The strokes of re come in the pattern's order, so the
// walk finds a correspondence that is there; DP matching runs only for a category that
// asks for it, on the grid of rewritten inputs (that of the writing is not touched).
void matchrewritten(CATMATCH* cm, const PATTERN_B* dic, const PATTERN_B& re, long penalty) {
    int score = 0;
    const int mflag = cm->mflag;
    if (mflag == MFLAG_WALK_OR_DP) cm->mflag = MFLAG_WALK;
    matchpattern(cm, dic, re, cm->mdt_order, 0, &score);
    cm->mflag = mflag;
    if (score > 0 && score - penalty > cm->score) cm->score = static_cast<int>(score - penalty);
}

// The input put into dic's stroke order and direction, when they differ from the
// writing: its evaluation, less the penalties for the strokes moved and turned round,
// counts when it beats the category's best so far. The grid of the writing is not touched.
void matchreordered(CATMATCH* cm, const PATTERN_B* dic) {
    if (!cm->order_buf || !cm->mdt_order) return;
    STROKE_ORDER order;
    if (!strokeorder(dic, &cm->in, &order)) return;
    const long penalty =
        long{_order_penalty} * order.moved + long{_reverse_penalty} * order.reversed;
    if (kBestScore - penalty <= cm->score) return; // cannot beat what the category has
    PATTERN_B re{};
    re.data = cm->order_buf;
    reorderpattern(&re, &cm->in, &order);
    matchrewritten(cm, dic, re, penalty);
}

// The input rewritten to dic's stroke count, where the writer joined or split strokes,
// and then put into dic's stroke order and direction: its evaluation, less the penalties
// for the joins and splits and for the strokes moved and turned round, counts when it
// beats the category's best so far.
void matchcounted(CATMATCH* cm, const PATTERN_B* dic) {
    if (!cm->count_buf || cm->mflag == MFLAG_DP) return;
    STROKE_COUNT map;
    if (!strokecount(dic, &cm->in, &map) || map.points > cm->count_size) return;
    long penalty = long{_count_penalty} * (map.joins + map.splits);
    if (kBestScore - penalty <= cm->score) return;
    STROKE_ORDER order;
    const bool reorder = strokeorderkeys(map.dic, map.key, dic->stroke, &order);
    int moved = 0, reversed = 0;
    countedorder(&map, reorder ? &order : nullptr, &moved, &reversed);
    penalty += long{_order_penalty} * moved + long{_reverse_penalty} * reversed;
    // ink left out that is no pen-up move of the pattern counts as ink that does not match
    penalty += leftoutink(&map, reorder ? &order : nullptr);
    if (kBestScore - penalty <= cm->score) return;
    PATTERN_B counted{};
    counted.data = cm->count_buf;
    countedpattern(&counted, &cm->in, &map, reorder ? &order : nullptr);
    matchrewritten(cm, dic, counted, penalty);
}

} // namespace

extern "C" {

void InitCatTableSub(const tagCATEGORY* kj, CAT_DATA* table, int* n, int x, int y, int w, int h) {
    addpart(kj, table, n, tablecapacity(), x, y, w, h);
}

void InitCatTable(const tagCATEGORY* kj, CAT_DATA* table, int* n) {
    const int cap = tablecapacity();
    *n = 0;
    if (!kj || cap < 1) return;
    const bool comp = kj->status & CTG_COMPOSITE;
    if (kj->patdic.count <= 0 && !comp) return;
    CAT_DATA& root = table[0];
    std::memset(static_cast<void*>(&root), 0, sizeof(root));
    root.status = kj->status;
    root.patdic.count = kj->patdic.count;
    root.org_pat = kj->patdic.pat;
    *n = 1;
    if (comp) {
        const int W = _xy_table[kj->size >> 4];
        const int H = _xy_table[kj->size & 15];
        bool ok = true;
        for (const DIVINFO& dv : kj->div) {
            ok =
                ok && addpart(dv.part, table, n, cap, (_xy_table[dv.pos >> 4] * W) >> 7,
                              (H * _xy_table[dv.pos & 15]) >> 7, (_xy_table[dv.size >> 4] * W) >> 7,
                              (_xy_table[dv.size & 15] * H) >> 7);
        }
        if (!ok) { // a tree larger than the table: match the category's own patterns only
            root.status &= static_cast<uint8_t>(~CTG_COMPOSITE);
            *n = 1;
        }
    }
    root.next_step = *n;
}

int CopyPatternToBox2(PATTERN_B* dst, const PATTERN_B* src, int x, int y, int sx, int sy) {
    *dst = *src;
    dst->data = nullptr;
    dst->num = 0;
    if (src->num <= 0) return 0;
    auto* pts = static_cast<POINT_B*>(AllocWork(static_cast<unsigned>(sizeof(POINT_B)) * src->num));
    if (!pts) return 1;
    for (int i = 0; i < src->num; ++i) {
        pts[i] = src->data[i];
        pts[i].x = static_cast<uint8_t>(x + (sx * src->data[i].x) / 128);
        pts[i].y = static_cast<uint8_t>(y + (sy * src->data[i].y) / 128);
    }
    dst->data = pts;
    dst->num = src->num;
    SetPatternLength(dst);
    dst->stroke = src->stroke;
    return 0;
}

void AddPattern(PATTERN_B* dst, const PATTERN_B* src) {
    if (src->num <= 0) return;
    if (dst->num <= 0) {
        std::memcpy(dst->data, src->data, sizeof(POINT_B) * src->num);
        dst->num = src->num;
        dst->len = src->len;
        dst->stroke = src->stroke;
        return;
    }
    POINT_B* first = dst->data + dst->num;
    std::memcpy(first, src->data, sizeof(POINT_B) * src->num);
    const POINT_B& last = dst->data[dst->num - 1];
    const int dx = first->x - last.x;
    const int dy = first->y - last.y;
    first->l = GetLength(dx, dy);
    first->dir = static_cast<int16_t>(getdirection(dx, dy));
    dst->len = clamp16(static_cast<long>(dst->len) + src->len + first->l);
    dst->stroke = static_cast<int16_t>(dst->stroke + src->stroke);
    dst->num = static_cast<int16_t>(dst->num + src->num);
}

int Matching(CATMATCH* cm, const PATTERN_B* dic, int start) {
    if (cm->anyorder == ORDER_ONLY) { // nothing to prune by: no walk as written
        matchreordered(cm, dic);
        matchcounted(cm, dic);
        return dic->num;
    }
    int score = 0;
    const int failpos = matchpattern(cm, dic, cm->in, cm->mdt, start, &score);
    if (score > 0 && score > cm->score) cm->score = score;
    if (cm->anyorder) {
        matchreordered(cm, dic);
        matchcounted(cm, dic);
    }
    return failpos;
}

int CategoryMatchingSub(CATMATCH* cm, PATTERN_B* pat, int start, int node, const tagREVLIST* rev) {
    if (node >= cm->table_size) return Matching(cm, pat, start);
    CAT_DATA& cd = cm->cat_data[node];
    const bool comp = cd.status & CTG_COMPOSITE;
    Fold fold(pat->num);
    if (node == 0) {
        // Variants of a character often agree on their first strokes: the grid rows of
        // the last pattern matched by DP are kept for the points the next one shares.
        const PATTERN_B* inGrid = nullptr;
        for (int k = 0; k < cd.patdic.count; ++k) {
            PATTERN_B* p = &cd.org_pat[k];
            const int reuse = inGrid ? mdtsharedrows(inGrid, p) : 0;
            const int r = CategoryMatchingSub(cm, p, reuse, cm->table_size, rev);
            if (r == -2) return r;
            if (r == -1) {
                fold.dp = true;
                inGrid = p;
            }
        }
        if (comp) return composite(cm, pat, start, node, rev, fold);
        return fold.result();
    }
    if (cd.patdic.count <= 0) {
        if (comp) return composite(cm, pat, start, node, rev, fold);
        return CategoryMatchingSub(cm, pat, start, rev->next_p, rev->next);
    }
    if (!cd.patdic.pat) return -2; // no room for the work copies
    for (int k = 0; k < cd.patdic.count; ++k) {
        PATTERN_B& copy = cd.patdic.pat[k];
        const PATTERN_B& org = cd.org_pat[k];
        if (!copy.data && org.num > 0 &&
            CopyPatternToBox2(&copy, &org, cd.x, cd.y, cd.sx, cd.sy) != 0)
            return -2;
        if (pat->num + copy.num > cm->buf_size) return -2;
        PATTERN_B composed = *pat;
        AddPattern(&composed, &copy);
        const int r = CategoryMatchingSub(cm, &composed, start, rev->next_p, rev->next);
        if (fold.add(r, pat->num, start)) return r;
    }
    if (comp) return composite(cm, pat, start, node, rev, fold);
    return fold.result();
}

int CategoryMatching(CATMATCH* cm, PATTERN_B* pat) {
    const tagREVLIST outer{cm->table_size, nullptr};
    return CategoryMatchingSub(cm, pat, 0, 0, &outer);
}

} // extern "C"
