// The pattern dictionary: tables, in-memory model, limits and the work area.
#include "classifier/crdic.h"

#include "classifier/strokematch.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" {

CRDIC _crdic = {nullptr, 0, 0, 0};
unsigned int _crdic_generation = 0;
uint8_t** _length_table = nullptr;
int _xy_table[16];
unsigned char* _work_data = nullptr;
unsigned int _work_size = 0;
unsigned int _work_cur = 0;

} // extern "C"

namespace {

constexpr int kLenRows = 129;

inline uint8_t lengthvalue(int i, int j) {
    if (i == 0 && j == 0) return 1;
    return static_cast<uint8_t>(std::sqrt(static_cast<double>(i * i + j * j)) + 0.5);
}

inline int16_t clamp16(long v) {
    return static_cast<int16_t>(v > 32767 ? 32767 : v);
}

// Saturating addition of non-negative counts.
inline int satadd(int a, int b, int cap) {
    long s = static_cast<long>(a) + b;
    return s > cap ? cap : static_cast<int>(s);
}

} // namespace

extern "C" {

int MakeLengthTable(void) {
    if (_length_table) return 0;
    const size_t entries = kLenRows * (kLenRows + 1) / 2;
    void* block = std::malloc(sizeof(uint8_t*) * kLenRows + entries);
    if (!block) return 1;
    auto** rows = static_cast<uint8_t**>(block);
    uint8_t* cell = reinterpret_cast<uint8_t*>(rows + kLenRows);
    for (int i = 0; i < kLenRows; ++i) {
        rows[i] = cell;
        for (int j = 0; j <= i; ++j) cell[j] = lengthvalue(i, j);
        cell += i + 1;
    }
    _length_table = rows;
    return 0;
}

void FreeLengthTable(void) {
    std::free(_length_table);
    _length_table = nullptr;
}

uint8_t GetLength(int dx, int dy) {
    int a = dx < 0 ? -dx : dx;
    int b = dy < 0 ? -dy : dy;
    if (a > 128) a = 128;
    if (b > 128) b = 128;
    const int hi = a > b ? a : b;
    const int lo = a > b ? b : a;
    return _length_table ? _length_table[hi][lo] : lengthvalue(hi, lo);
}

void calcxytable(void) {
    for (int k = 0; k < 16; ++k) _xy_table[k] = (k * 128) / 15;
}

void SetPatternLength(PATTERN_B* pat) {
    POINT_B* p = pat->data;
    long len = 0;
    int strokes = 0;
    for (int i = 0; i < pat->num; ++i) {
        if (i == 0) {
            p[0].l = GetLength(p[0].x, p[0].y);
        } else {
            const int dx = p[i].x - p[i - 1].x;
            const int dy = p[i].y - p[i - 1].y;
            p[i].l = GetLength(dx, dy);
            p[i].dir = static_cast<int16_t>(getdirection(dx, dy));
            len += p[i].l;
        }
        if (p[i].attr & PB_PENUP) ++strokes;
    }
    if (pat->num > 0) p[0].dir = pat->num > 1 ? p[1].dir : 0;
    pat->len = clamp16(len);
    pat->stroke = static_cast<int16_t>(strokes);
}

void setctgnum(CRDIC* dic) {
    if (!dic->ctg) return;
    tagCATEGORY* zero = dic->ctg[0];
    for (int i = 0; i < dic->count; ++i) {
        tagCATEGORY* kj = dic->ctg[i];
        kj->ctg_no = static_cast<int16_t>(i);
        for (DIVINFO& dv : kj->div)
            if (!dv.part) dv.part = zero;
    }
}

int GetMaxPointCount(const tagCATEGORY* kj) {
    if (!kj) return 0;
    int a = 0;
    if (kj->status & CTG_COMPOSITE)
        a = GetMaxPointCount(kj->div[0].part) + GetMaxPointCount(kj->div[1].part);
    int b = 0;
    for (int k = 0; k < kj->patdic.count; ++k)
        if (kj->patdic.pat[k].num > b) b = kj->patdic.pat[k].num;
    return a > b ? a : b;
}

int GetMaxStrokeCount(const tagCATEGORY* kj) {
    if (!kj) return 0;
    int a = 0;
    if (kj->status & CTG_COMPOSITE)
        a = GetMaxStrokeCount(kj->div[0].part) + GetMaxStrokeCount(kj->div[1].part);
    int b = 0;
    for (int k = 0; k < kj->patdic.count; ++k)
        if (kj->patdic.pat[k].stroke > b) b = kj->patdic.pat[k].stroke;
    return a > b ? a : b;
}

int getctsize(const tagCATEGORY* kj) {
    if (!kj) return 0;
    if (!(kj->status & CTG_COMPOSITE)) return 1;
    return 1 + getctsize(kj->div[0].part) + getctsize(kj->div[1].part);
}

static int updatelimits(CRDIC* dic) {
    dic->maxctgtblsize = 0;
    dic->maxpointcount = 0;
    const int n = dic->count;
    if (n <= 1 || !dic->ctg) return 0;
    // Post-order over the part graph with an explicit stack: a part reached again while
    // it is still open is a cycle. Sizes saturate just above the limits, so a shared part
    // used many times cannot make the count explode.
    enum : uint8_t { Fresh, Open, Done };
    std::vector<uint8_t> state(n, Fresh);
    std::vector<int> tree(n, 1), points(n, 0);
    std::vector<int> stack;
    for (int root = 1; root < n; ++root) {
        if (state[root] == Done) continue;
        stack.push_back(root);
        while (!stack.empty()) {
            const int c = stack.back();
            const tagCATEGORY* kj = dic->ctg[c];
            const bool comp = kj->status & CTG_COMPOSITE;
            if (state[c] == Fresh) {
                state[c] = Open;
                if (comp) {
                    for (const DIVINFO& dv : kj->div) {
                        const int p = dv.part ? dv.part->ctg_no : 0;
                        if (p < 0 || p >= n || dic->ctg[p] != dv.part) return CRDIC_FILE;
                        if (state[p] == Open) return CRDIC_FILE;
                        if (state[p] == Fresh) stack.push_back(p);
                    }
                }
                continue;
            }
            stack.pop_back();
            if (state[c] == Done) continue;
            int own = 0;
            for (int k = 0; k < kj->patdic.count; ++k)
                if (kj->patdic.pat[k].num > own) own = kj->patdic.pat[k].num;
            int t = 1, pts = 0;
            if (comp) {
                const int p0 = kj->div[0].part->ctg_no;
                const int p1 = kj->div[1].part->ctg_no;
                t = satadd(satadd(1, tree[p0], CRDIC_MAX_TREE + 1), tree[p1], CRDIC_MAX_TREE + 1);
                pts = satadd(points[p0], points[p1], CRDIC_MAX_POINTS + 1);
            }
            tree[c] = t;
            points[c] = own > pts ? own : pts;
            state[c] = Done;
        }
    }
    for (int c = 1; c < n; ++c) {
        if (tree[c] > CRDIC_MAX_TREE || points[c] > CRDIC_MAX_POINTS) return CRDIC_FILE;
        if (tree[c] > dic->maxctgtblsize) dic->maxctgtblsize = tree[c];
        if (points[c] > dic->maxpointcount) dic->maxpointcount = points[c];
    }
    return 0;
}

int UpdateCRDictionaryLimits(CRDIC* dic) {
    try {
        return updatelimits(dic);
    } catch (...) {
        return CRDIC_NOMEMORY;
    }
}

void FreeCRDictionary(CRDIC* dic) {
    if (!dic || !dic->ctg) return;
    if (dic == &_crdic) ++_crdic_generation;
    for (int i = 0; i < dic->count; ++i) {
        tagCATEGORY* kj = dic->ctg[i];
        if (!kj) continue;
        for (int k = 0; k < kj->patdic.count; ++k) std::free(kj->patdic.pat[k].data);
        std::free(kj->patdic.pat);
        kj->patdic.pat = nullptr;
        kj->patdic.count = 0;
    }
    std::free(dic->ctg[0]); // every category record lives in one block
    std::free(dic->ctg);
    dic->ctg = nullptr;
    dic->count = 0;
    dic->maxctgtblsize = 0;
    dic->maxpointcount = 0;
}

int NewCRDictionary(CRDIC* dic, int n) {
    if (!dic || n < 0 || n > 65535) return CRDIC_BADARG;
    auto** table = static_cast<tagCATEGORY**>(std::calloc(n + 1, sizeof(tagCATEGORY*)));
    auto* block = static_cast<tagCATEGORY*>(std::calloc(n + 1, sizeof(tagCATEGORY)));
    if (!table || !block) {
        std::free(table);
        std::free(block);
        return CRDIC_NOMEMORY;
    }
    for (int i = 0; i <= n; ++i) {
        table[i] = &block[i];
        block[i].size = 255;
    }
    *dic = CRDIC{table, n + 1, 0, 0};
    setctgnum(dic);
    return 0;
}

int NewCategoryPatterns(tagCATEGORY* kj, int count) {
    if (!kj || count < 0 || count > 32767 || kj->patdic.pat) return CRDIC_BADARG;
    if (count == 0) return 0;
    auto* pats = static_cast<PATTERN_B*>(std::calloc(count, sizeof(PATTERN_B)));
    if (!pats) return CRDIC_NOMEMORY;
    kj->patdic.pat = pats;
    kj->patdic.count = static_cast<int16_t>(count);
    return 0;
}

int NewPatternPoints(PATTERN_B* pat, int num) {
    if (!pat || num < 0 || num > 32767 || pat->data) return CRDIC_BADARG;
    if (num == 0) return 0;
    auto* pts = static_cast<POINT_B*>(std::calloc(num, sizeof(POINT_B)));
    if (!pts) return CRDIC_NOMEMORY;
    pat->data = pts;
    pat->num = static_cast<int16_t>(num);
    return 0;
}

int InitWork(unsigned int size) {
    _work_cur = 0;
    if (_work_data && _work_size == size) return 0;
    std::free(_work_data);
    _work_data = nullptr;
    _work_size = 0;
    _work_data = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    if (!_work_data) return 1;
    _work_size = size;
    return 0;
}

void CloseWork(void) {
    std::free(_work_data);
    _work_data = nullptr;
    _work_size = 0;
    _work_cur = 0;
}

void* AllocWork(unsigned int size) {
    if (!_work_data) return nullptr;
    const unsigned int start = (_work_cur + 7u) & ~7u; // keep every block 8-byte aligned
    if (start > _work_size || size > _work_size - start) return nullptr;
    _work_cur = start + size;
    return _work_data + start;
}

} // extern "C"
