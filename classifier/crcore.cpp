// The recognition core: open and close, settings, the incremental recognition job and the
// ranked result ring.
#include "classifier/crcore.h"

#include "classifier/strokecount.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

extern "C" {

int _crmode = CRMODE_ALL;
CRFILTER _crpassflt = {nullptr, nullptr};
PAT_POS _frame = {100, 100, 0, 0};
int _small_char_size = 0;
int _size_bonus = 10;
int _size_penalty = 10;
unsigned int _cr_work_size = 32768;
int _maxctgtblsize = 50;
int _order_penalty = 20;
int _reverse_penalty = 20;
int _count_penalty = 20;

} // extern "C"

namespace {

// The box of the writing as written, when the pattern recognized is a conditioned copy on
// a grid of its own; the place and size of the character are judged by it.
bool _written_box_set = false;
PAT_POS _written_box = {0, 0, 0, 0};

// The composed pattern buffer holds at least this many points.
constexpr int kMinComposedPoints = 150;

MDTBL* _mdt = nullptr;       // DP grid of the running job
MDTBL* _mdt_order = nullptr; // its grid for order-free matches
CRFILTER _crorderflt = {nullptr, nullptr};

// The dictionary's categories by code (code, category number), ascending, made for the
// dictionary of generation _ctg_indexed; and the categories a recognition is limited to
// (ascending numbers) while a caller has named its candidate codes.
std::vector<std::pair<uint16_t, int>> _ctg_by_code;
unsigned int _ctg_indexed = 0;
bool _ctg_index_valid = false;
std::vector<int> _ctg_list;
bool _ctg_listed = false;

// False when out of memory (the index is then left empty and invalid).
bool indexcategories() {
    if (_ctg_index_valid && _ctg_indexed == _crdic_generation) return true;
    _ctg_index_valid = false;
    _ctg_by_code.clear();
    try {
        for (int i = 0; i < _crdic.count; ++i)
            if (_crdic.ctg[i] && _crdic.ctg[i]->code != 0)
                _ctg_by_code.emplace_back(static_cast<uint16_t>(_crdic.ctg[i]->code & 0xFFFF), i);
    } catch (const std::bad_alloc&) {
        _ctg_by_code.clear();
        return false;
    }
    std::sort(_ctg_by_code.begin(), _ctg_by_code.end());
    _ctg_indexed = _crdic_generation;
    _ctg_index_valid = true;
    return true;
}

inline int imax(int a, int b) {
    return a > b ? a : b;
}

// A guide-box coordinate: the box spans 0..128.
int toguide(long v, long lo, long hi) {
    long span = hi + 1 - lo;
    if (span < 1) span = 1;
    long r = ((((v - lo) * 256) / span) + 1) >> 1;
    if (r > 1000000) r = 1000000; // far outside the box; keeps later squares in range
    if (r < -1000000) r = -1000000;
    return static_cast<int>(r);
}

void initcrres(CRSTATE* crs) {
    tagRESLINK* ring = crs->reslink;
    const int n = crs->res_count;
    for (int k = 0; k <= n; ++k) {
        ring[k].res = CR_RESULT{0, 0, 0};
        ring[k].next = &ring[k == n ? 0 : k + 1];
        ring[k].prev = &ring[k == 0 ? n : k - 1];
    }
}

void copyresult(CRSTATE* crs) {
    const tagRESLINK* head = crs->reslink;
    const tagRESLINK* node = head->next;
    for (int k = 0; k < crs->res_count; ++k, node = node->next) crs->res_buf[k] = node->res;
}

void freejob(CRSTATE* crs) {
    releasepat(&crs->inpd);
    std::free(crs->npt_pair);
    std::free(crs->table);
    std::free(crs->tmp_dic_data);
    std::free(crs->reslink);
    std::free(_mdt);
    std::free(_mdt_order);
    std::free(crs->order_buf);
    crs->order_buf = nullptr;
    std::free(crs->count_buf);
    crs->count_buf = nullptr;
    _mdt_order = nullptr;
    crs->npt_pair = nullptr;
    crs->table = nullptr;
    crs->tmp_dic_data = nullptr;
    crs->reslink = nullptr;
    _mdt = nullptr;
    CloseWork();
}

// Score change of a position-sensitive category: the input box against the region of the
// category's first part entry, in guide-box units.
long positionadjust(const tagCATEGORY* kj, const PAT_POS& in) {
    const DIVINFO& dv = kj->div[0];
    const long left = _xy_table[dv.pos >> 4];
    const long top = _xy_table[dv.pos & 15];
    const long right = left + _xy_table[dv.size >> 4];
    const long bottom = top + _xy_table[dv.size & 15];
    const long dy = ((top + bottom) >> 1) - ((static_cast<long>(in.maxy) + in.miny) >> 1);
    const long dx = ((left + right) >> 1) - ((static_cast<long>(in.maxx) + in.minx) >> 1);
    long bonus = (7680 - dy * dy - dx * dx) / 30;
    if (bonus < 0) bonus = 0;
    const long width = static_cast<long>(in.maxx) - in.minx;
    const long height = static_cast<long>(in.maxy) - in.miny;
    if (width <= right - left && height <= bottom - top) return bonus;
    long adj = -250;
    if (width > (right - left) + 12) adj -= 100;
    if (width > (right - left) + 25) adj -= 100;
    return adj;
}

} // namespace

extern "C" {

int OpenCRSystem(const char* fn) {
    if (_length_table) return CR_BADSTATE;
    calcxytable();
    int rc = 0;
    if (initcostable() || initdirtable() || MakeLengthTable()) rc = CR_NOMEMORY;
    if (rc == 0) rc = LoadCRDictionary(fn, nullptr);
    if (rc) CloseCRSystem();
    return rc;
}

void CloseCRSystem(void) {
    closecostable();
    closedirtable();
    FreeCRDictionary(&_crdic);
    FreeLengthTable();
    SetCRCandidateCodes(nullptr, 0);
}

void SetCRCandidateCodes(const uint16_t* codes, int n) {
    _ctg_listed = false;
    _ctg_list.clear();
    // Without the index (out of memory) every category is visited, as without the codes.
    if (!codes || n < 0 || !indexcategories()) return;
    try {
        for (int k = 0; k < n; ++k) {
            auto at = std::lower_bound(_ctg_by_code.begin(), _ctg_by_code.end(),
                                       std::make_pair(codes[k], -1));
            for (; at != _ctg_by_code.end() && at->first == codes[k]; ++at)
                _ctg_list.push_back(at->second);
        }
    } catch (const std::bad_alloc&) {
        _ctg_list.clear();
        return; // every category is visited, as without the codes
    }
    std::sort(_ctg_list.begin(), _ctg_list.end());
    _ctg_list.erase(std::unique(_ctg_list.begin(), _ctg_list.end()), _ctg_list.end());
    _ctg_listed = true;
}

void SetCRWrittenBox(const PAT_POS* box) {
    _written_box_set = box != nullptr;
    if (box) _written_box = *box;
}

void SetCRMode(int mode) {
    _crmode = mode;
}

void SetCRPassFilter(CRFILTERPROC proc, void* param) {
    _crpassflt = CRFILTER{proc, param};
}

void SetCROrderFilter(CRFILTERPROC proc, void* param) {
    _crorderflt = CRFILTER{proc, param};
}

void SetGuideBoxRect(const PAT_POS* pos) {
    if (!pos) return;
    PAT_POS f = *pos;
    if (f.maxx < f.minx) {
        const int t = f.maxx;
        f.maxx = f.minx;
        f.minx = t;
    }
    if (f.maxy < f.miny) {
        const int t = f.maxy;
        f.maxy = f.miny;
        f.miny = t;
    }
    _frame = f;
}

void setresult(tagRESLINK* head, int score, uint32_t code, int ctg_no) {
    if (head->next == head) return; // a ring without nodes keeps nothing
    tagRESLINK* worst = head->prev;
    tagRESLINK* node = worst;
    tagRESLINK* same = nullptr;
    while (node != head && score > node->res.score) {
        if (node->res.code == code) same = node;
        node = node->prev;
    }
    if (node != head && node == worst) return;
    tagRESLINK* victim = same ? same : worst;
    victim->prev->next = victim->next;
    victim->next->prev = victim->prev;
    victim->prev = node;
    victim->next = node->next;
    node->next->prev = victim;
    node->next = victim;
    victim->res = CR_RESULT{ctg_no, score, code};
}

int InitBGRecognize(CRSTATE* crs, const PATTERN_W* pat, CR_RESULT* res, int n) {
    if (_work_data) return CR_BADSTATE;
    if (!crs || !pat || !res || n < 1) return CR_BADSTATE;
    std::memset(static_cast<void*>(crs), 0, sizeof(*crs));
    const int rc = createpat(&crs->pos, pat, &crs->inpd);
    if (rc) return rc;
    if (_written_box_set) crs->pos = _written_box;
    crs->pat_size = imax(crs->pos.maxx - crs->pos.minx, crs->pos.maxy - crs->pos.miny);

    std::memset(static_cast<void*>(res), 0, sizeof(CR_RESULT) * n);
    crs->res_count = n;
    crs->reslink = static_cast<tagRESLINK*>(std::malloc(sizeof(tagRESLINK) * (n + 1L)));
    if (crs->reslink) initcrres(crs);

    const int inpts = crs->inpd.num;
    crs->tmp_dic_size = imax(kMinComposedPoints, _crdic.maxpointcount);
    crs->table_cap = imax(_maxctgtblsize, _crdic.maxctgtblsize);
    const bool anyorder = _crorderflt.proc != nullptr;
    // An input rewritten to a pattern's stroke count may repeat a point at each cut, at
    // most one a pattern point; the pair table then holds as many more pairs.
    crs->count_size = anyorder ? inpts + crs->tmp_dic_size : 0;
    crs->npt_pair = static_cast<NODE_PAIR*>(std::malloc(
        sizeof(NODE_PAIR) * (static_cast<size_t>(inpts) + crs->tmp_dic_size + crs->count_size)));
    crs->table = static_cast<CAT_DATA*>(std::calloc(crs->table_cap, sizeof(CAT_DATA)));
    crs->tmp_dic_data = static_cast<POINT_B*>(std::calloc(crs->tmp_dic_size, sizeof(POINT_B)));
    _mdt = static_cast<MDTBL*>(
        std::malloc(sizeof(MDTBL) * static_cast<size_t>(crs->tmp_dic_size) * inpts));
    const int werr = InitWork(_cr_work_size);
    if (anyorder) {
        crs->count_buf =
            static_cast<POINT_B*>(std::malloc(sizeof(POINT_B) * size_t(crs->count_size)));
        _mdt_order = static_cast<MDTBL*>(
            std::malloc(sizeof(MDTBL) * static_cast<size_t>(crs->tmp_dic_size) * inpts));
        crs->order_buf = static_cast<POINT_B*>(std::malloc(sizeof(POINT_B) * size_t(inpts)));
    }

    PAT_POS& p = crs->pos;
    p.maxx = toguide(p.maxx, _frame.minx, _frame.maxx);
    p.minx = toguide(p.minx, _frame.minx, _frame.maxx);
    p.maxy = toguide(p.maxy, _frame.miny, _frame.maxy);
    p.miny = toguide(p.miny, _frame.miny, _frame.maxy);

    if (!crs->reslink || !crs->npt_pair || !crs->table || !crs->tmp_dic_data || !_mdt || werr ||
        (anyorder && (!_mdt_order || !crs->order_buf || !crs->count_buf))) {
        freejob(crs);
        return CR_NOMEMORY;
    }
    crs->ctg_no = 1;
    crs->res_buf = res;
    return CR_OK;
}

int BGRecognizeCP(CRSTATE* crs, int budget) {
    if (!_work_data || !crs || !crs->reslink) return 0;
    if (budget < 1) budget = 1;
    int used = 0;
    // With candidate codes named, only their categories from crs->ctg_no on are visited,
    // in the same order as over the whole dictionary.
    const int end = _ctg_listed ? static_cast<int>(_ctg_list.size()) : _crdic.count;
    int at =
        _ctg_listed
            ? static_cast<int>(std::lower_bound(_ctg_list.begin(), _ctg_list.end(), crs->ctg_no) -
                               _ctg_list.begin())
            : crs->ctg_no;
    for (; at < end; ++at) {
        const int i = _ctg_listed ? _ctg_list[static_cast<size_t>(at)] : at;
        const tagCATEGORY* kj = _crdic.ctg[i];
        int mflag = MFLAG_WALK;
        if (kj->code == 0) continue;
        if (_crmode == CRMODE_FILTER) {
            if (!_crpassflt.proc) continue;
            mflag = _crpassflt.proc(kj->code, _crpassflt.param);
            if (mflag == 0) continue;
        }
        int order =
            _crorderflt.proc && crs->order_buf ? _crorderflt.proc(kj->code, _crorderflt.param) : 0;
        const bool counts = order & ORDER_COUNTS;
        order &= ~ORDER_COUNTS;
        const int most = GetMaxStrokeCount(kj);
        if (crs->inpd.stroke > most) {
            // more strokes than any pattern: only as split strokes, never as written
            if (!counts || crs->inpd.stroke > COUNT_MAXRUN * most) continue;
            if (order == ORDER_ALSO) order = ORDER_ONLY;
        }
        if (used >= budget) break;
        ++used;

        _work_cur = 0;
        CATMATCH cm{};
        InitCatTable(kj, crs->table, &cm.table_size);
        cm.mdt = _mdt;
        cm.npt = NP_TABLE{0, crs->npt_pair};
        cm.in = crs->inpd;
        cm.cat_data = crs->table;
        cm.score = 0;
        cm.mflag = mflag;
        cm.buf = crs->tmp_dic_data;
        cm.buf_size = crs->tmp_dic_size;
        if (order == ORDER_ALSO || order == ORDER_ONLY || counts) {
            // across stroke counts alone: no match as written, none in another order
            cm.anyorder = order == ORDER_ALSO ? ORDER_ALSO : ORDER_ONLY;
            cm.mdt_order = _mdt_order;
            if (order != ORDER_WRITTEN) cm.order_buf = crs->order_buf;
            if (counts) {
                cm.count_buf = crs->count_buf;
                cm.count_size = crs->count_size;
            }
        }
        PATTERN_B composed{};
        composed.data = crs->tmp_dic_data;

        const bool positional = kj->status & CTG_POSITIONAL;
        const int tekito = positional ? settekitoflag(1) : 0;
        CategoryMatching(&cm, &composed);
        if (positional) settekitoflag(tekito);

        long score = cm.score;
        if (score > 0) { // adjustments apply to categories that matched
            if (positional) score += positionadjust(kj, crs->pos);
            if (kj->status & CTG_SMALLSIZE)
                score += crs->pat_size > _small_char_size ? -_size_penalty : _size_bonus;
        }
        if (score > 0) setresult(crs->reslink, static_cast<int>(score), kj->code, i);
    }
    crs->ctg_no = !_ctg_listed ? at : at < end ? _ctg_list[static_cast<size_t>(at)] : _crdic.count;
    if (at < end) return 1;
    copyresult(crs);
    return 0;
}

void CloseBGRecognize(CRSTATE* crs) {
    if (!_work_data || !crs) return;
    freejob(crs);
}

int RecognizeCP(const PATTERN_W* pat, CR_RESULT* res, int n) {
    CRSTATE crs;
    const int rc = InitBGRecognize(&crs, pat, res, n);
    if (rc) return rc;
    while (BGRecognizeCP(&crs, imax(1, _crdic.count))) {
    }
    CloseBGRecognize(&crs);
    return CR_OK;
}

} // extern "C"
