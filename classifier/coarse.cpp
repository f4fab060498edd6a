#include "classifier/coarse.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <sys/stat.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

tagUNION_CC_DIC** _dicptr = nullptr;
int _stnum_max = 30;
int _category_count = 0;
uint16_t* _category = nullptr;
CANDTBL _categtbl = {nullptr, nullptr};
char* _indicfname = nullptr;

namespace {

// Fixed looseness of the compatibility tests.
constexpr int _looseness_k = 1;
constexpr int _looseness_xlen = 50;
constexpr int _looseness_ylen = 50;
constexpr int _looseness_xturn = 5;
constexpr int _looseness_yturn = 5;

constexpr int kGroupStep = 30; // initial size and growth of the group table
constexpr int kTemplateBytes = 72;
constexpr int kMaxTableEntries = 32767; // indexes of a search table are 16-bit
constexpr int kHashSize = 512;

// The entry list of the loaded dictionary (for freeing it in order).
tagUNION_CC_DIC* _dichead = nullptr;

int hash(uint32_t c) {
    c &= 0xFFFF;
    return static_cast<int>((c + (c >> 8)) & 0x1FF);
}

// Everything one dictionary consists of, so that a load can be built aside and only
// replace the loaded dictionary when it succeeded.
struct CoarseDic {
    tagUNION_CC_DIC* head = nullptr;
    tagUNION_CC_DIC** dicptr = nullptr;
    int stnum_max = kGroupStep;
    int category_count = 0;
    uint16_t* category = nullptr;
    CANDTBL categtbl = {nullptr, nullptr};
    char* fname = nullptr;

    void free() {
        for (tagUNION_CC_DIC* e = head; e;) {
            tagUNION_CC_DIC* next = e->next;
            delete[] e->offcd;
            delete e;
            e = next;
        }
        head = nullptr;
        delete[] dicptr;
        dicptr = nullptr;
        delete[] category;
        category = nullptr;
        FreeCandSearchTable(&categtbl);
        std::free(fname);
        fname = nullptr;
        category_count = 0;
        stnum_max = kGroupStep;
    }
};

bool _loaded = false;

CoarseDic current() {
    return CoarseDic{_dichead,  _dicptr,   _stnum_max, _category_count,
                     _category, _categtbl, _indicfname};
}

void install(const CoarseDic& d) {
    _dichead = d.head;
    _dicptr = d.dicptr;
    _stnum_max = d.stnum_max;
    _category_count = d.category_count;
    _category = d.category;
    _categtbl = d.categtbl;
    _indicfname = d.fname;
}

// Enlarges the group table by steps of 30 until index k fits.
bool growGroups(CoarseDic& d, int k) {
    int size = d.stnum_max;
    while (k >= size) size += kGroupStep;
    if (size == d.stnum_max) return true;
    auto* grown = new (std::nothrow) tagUNION_CC_DIC*[size]();
    if (!grown) return false;
    std::copy(d.dicptr, d.dicptr + d.stnum_max, grown);
    delete[] d.dicptr;
    d.dicptr = grown;
    d.stnum_max = size;
    return true;
}

// The codes of all entries in list order, and their search table. Every entry counts,
// also those before group 1 or out of order in a file that does not keep the order, so
// that every code the ranking can return is in the table.
int setcategorytbl(CoarseDic& d) {
    if (d.category_count > kMaxTableEntries) return CCDIC_NOMEMORY;
    d.category = new (std::nothrow) uint16_t[std::max(1, d.category_count)]();
    if (!d.category) return CCDIC_NOMEMORY;
    int n = 0;
    for (const tagUNION_CC_DIC* e = d.head; e && n < d.category_count; e = e->next)
        if (e->offcd_num > 0) d.category[n++] = e->jiscode.w;
    if (InitCandSearchTable(&d.categtbl, d.category, n) != 0) return CCDIC_NOMEMORY;
    return CCDIC_OK;
}

bool readBytes(FILE* f, void* buf, size_t n) {
    return std::fread(buf, 1, n, f) == n;
}

int readEntries(FILE* f, long fileSize, CoarseDic& d) {
    tagUNION_CC_DIC* last = nullptr;
    int prevK = 0;
    long pos = 0;
    for (;;) {
        uint8_t code[2];
        if (!readBytes(f, code, 2)) {
            // The file ended between entries; a read error is no end.
            return std::ferror(f) ? CCDIC_SHORT : CCDIC_OK;
        }
        pos += 2;
        ++d.category_count;
        uint8_t head[10];
        if (!readBytes(f, head, sizeof head)) return CCDIC_SHORT;
        pos += sizeof head;
        const int count = head[9];
        if (count == 0) return CCDIC_NOTEMPLATE;
        // The templates must be in the file before they are given memory.
        const long bytes = long(count) * kTemplateBytes;
        if (bytes > fileSize - pos) return CCDIC_SHORT;

        auto* e = new (std::nothrow) tagUNION_CC_DIC{};
        if (!e) return CCDIC_NOMEMORY;
        e->jiscode.w = static_cast<uint16_t>(code[0] | (code[1] << 8));
        std::memcpy(&e->oncd, head, sizeof e->oncd);
        e->offcd_num = static_cast<uint8_t>(count);
        e->order = d.category_count - 1;
        e->previous = last;
        if (last)
            last->next = e;
        else
            d.head = e;
        last = e;
        e->offcd = new (std::nothrow) OFFLINE_CC_DIC[count];
        if (!e->offcd) return CCDIC_NOMEMORY;
        if (!readBytes(f, e->offcd, size_t(bytes))) return CCDIC_SHORT;
        pos += bytes;

        const int k = e->oncd.k_max;
        if (k != prevK) {
            if (!growGroups(d, k)) return CCDIC_NOMEMORY;
            d.dicptr[k] = e;
        }
        prevK = k;
    }
}

int loadInto(const char* fn, CoarseDic& d) {
    if (fn) {
        d.fname = strdup(fn);
        if (!d.fname) return CCDIC_NOMEMORY;
    }
    d.dicptr = new (std::nothrow) tagUNION_CC_DIC*[d.stnum_max]();
    if (!d.dicptr) return CCDIC_NOMEMORY;
    if (fn) {
        // Only a regular file is a dictionary (a folder opens, but cannot be read).
        struct stat st;
        if (stat(fn, &st) != 0 || !S_ISREG(st.st_mode)) return CCDIC_NOFILE;
        FILE* f = std::fopen(fn, "rb");
        if (!f) return CCDIC_NOFILE;
        long size = -1;
        if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
        if (size < 0 || std::fseek(f, 0, SEEK_SET) != 0) {
            std::fclose(f);
            return CCDIC_NOFILE;
        }
        const int rc = readEntries(f, size, d);
        std::fclose(f);
        if (rc != CCDIC_OK) return rc;
    }
    // A group without entries starts where the next non-empty group above starts.
    for (int k = d.stnum_max - 2; k >= 1; --k)
        if (!d.dicptr[k]) d.dicptr[k] = d.dicptr[k + 1];
    return setcategorytbl(d);
}

} // namespace

int LoadCoarseClassificationDic(const char* fn) {
    CoarseDic d;
    const int rc = loadInto(fn, d);
    if (rc != CCDIC_OK) {
        d.free();
        return rc;
    }
    FreeCoarseClassificationDic();
    install(d);
    _loaded = true;
    return CCDIC_OK;
}

void FreeCoarseClassificationDic() {
    CoarseDic d = current();
    d.free();
    install(d);
    _loaded = false;
}

bool IsCoarseClassificationLoaded() {
    return _loaded;
}

int InitCoarseClassification(const char* fn) {
    const bool hadSquares = _puSquareByte != nullptr;
    if (MakeSquareTable() != 0) return 4;
    if (LoadCoarseClassificationDic(fn) != CCDIC_OK) {
        // A dictionary loaded before stays usable; otherwise nothing is left behind.
        if (!_loaded && !hadSquares) FreeSquareTable();
        return 5;
    }
    return 0;
}

void ReleaseCoarseClassification() {
    FreeSquareTable();
    FreeCoarseClassificationDic();
}

bool turn_ok(const tagUNION_CC_DIC* e, const STDATA* s) {
    const ONLINE_CC_DIC& o = e->oncd;
    if (s->xturn > o.xturn_max + _looseness_xturn) return false;
    if (s->xturn + _looseness_xturn < o.xturn_min) return false;
    if (s->yturn > o.yturn_max + _looseness_yturn) return false;
    if (s->yturn + _looseness_yturn < o.yturn_min) return false;
    if (s->xlen > o.xlen_max + _looseness_xlen) return false;
    if (s->xlen + _looseness_xlen < o.xlen_min) return false;
    if (s->ylen > o.ylen_max + _looseness_ylen) return false;
    return true;
}

namespace {

// The squares are those of the square table, multiplied out so that the compiler can do
// the 72 bytes in vector registers: this is the hottest loop of coarse classification.
int32_t lDfvEuclidDistance(const DFV& t, const DFV& v) {
    int32_t sum = 0;
    for (int i = 0; i < 72; ++i) {
        const int32_t d = int32_t(t.v[i]) - int32_t(v.v[i]);
        sum += d * d;
    }
    return sum;
}

} // namespace

namespace {

// The template's feature with each direction added to its opposite (cell * 8 + direction
// becomes cell * 4 + direction % 4): a stroke drawn from either end gives the same.
void FoldDirections(const DFV& t, int32_t* f) {
    for (int c = 0; c < 9; ++c)
        for (int k = 0; k < 4; ++k) f[c * 4 + k] = int32_t(t.v[c * 8 + k]) + t.v[c * 8 + k + 4];
}

// The input's folded feature as 16-bit lanes, four lanes of zeros behind the last cell so
// that the distance below can take the cells two at a time. Folded values are at most
// 2 * 255, their differences at most 510 in magnitude and a difference's square below
// 2^18: the 16-bit differences and the 32-bit pair sums of their squares are exact.
struct FoldedInput {
    alignas(16) int16_t f[40];
};

FoldedInput foldedinput(const DFV& v) {
    int32_t f[36];
    FoldDirections(v, f);
    FoldedInput in{};
    for (int i = 0; i < 36; ++i) in.f[i] = static_cast<int16_t>(f[i]);
    return in;
}

// Squared distance between the folded template t and the folded input f.
int32_t foldedsquare(const DFV& t, const FoldedInput& f) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i acc = zero;
    // Two cells of eight directions (16 bytes) give eight folded lanes: the first four
    // directions of each cell plus the last four.
    auto cells = [&](__m128i bytes16, int at) {
        const __m128i lo = _mm_unpacklo_epi8(bytes16, zero); // cell c, 8 lanes
        const __m128i hi = _mm_unpackhi_epi8(bytes16, zero); // cell c + 1
        const __m128i folded =
            _mm_add_epi16(_mm_unpacklo_epi64(lo, hi), _mm_unpackhi_epi64(lo, hi));
        const __m128i d =
            _mm_sub_epi16(folded, _mm_load_si128(reinterpret_cast<const __m128i*>(f.f + at)));
        acc = _mm_add_epi32(acc, _mm_madd_epi16(d, d));
    };
    for (int c = 0; c < 8; c += 2)
        cells(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t.v + c * 8)), c * 4);
    // the ninth cell alone, beside zeros (the input's padding is zero too)
    cells(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(t.v + 64)), 32);
    acc = _mm_add_epi32(acc, _mm_shuffle_epi32(acc, _MM_SHUFFLE(1, 0, 3, 2)));
    acc = _mm_add_epi32(acc, _mm_shuffle_epi32(acc, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtsi128_si32(acc);
#else
    int32_t t4[36];
    FoldDirections(t, t4);
    int32_t sum = 0;
    for (int i = 0; i < 36; ++i) sum += (t4[i] - f.f[i]) * (t4[i] - f.f[i]);
    return sum;
#endif
}

// Smallest squared distance between the folded input f and the entry's folded templates.
int32_t FoldedDistance(const tagUNION_CC_DIC* e, const FoldedInput& f) {
    int32_t best = INT32_MAX;
    for (int k = 0; k < e->offcd_num; ++k) best = std::min(best, foldedsquare(e->offcd[k].dfv, f));
    return best;
}

} // namespace

int32_t DfvDistance(const tagUNION_CC_DIC* e, const DFV* v) {
    int32_t best = INT32_MAX;
    for (int k = 0; k < e->offcd_num; ++k)
        best = std::min(best, lDfvEuclidDistance(e->offcd[k].dfv, *v));
    return best;
}

bool registcand(tagCAND_LIST** root, tagCAND_LIST* node, int num, uint32_t code, int32_t distance) {
    int r = 0;
    tagCAND_LIST** place = root;
    while (*place) {
        tagCAND_LIST* n = *place;
        if (n->cand.distance < distance) {
            r += n->smaller_num + 1;
            place = &n->larger;
            if (r > num) return false;
        } else {
            ++n->smaller_num;
            place = &n->smaller;
        }
    }
    if (r >= num) return false;
    node->smaller = node->larger = nullptr;
    node->cand.distance = distance;
    node->cand.jiscode.w = static_cast<uint16_t>(code & 0xFFFF);
    node->cand.dummy = 0;
    node->smaller_num = 0;
    *place = node;
    return true;
}

int ctreetobuf(const tagCAND_LIST* root, uint16_t* cands, int32_t* dist, int num) {
    // In-order walk with an explicit stack: a tree built from falling distances is a chain.
    std::vector<const tagCAND_LIST*> stack;
    int n = 0;
    const tagCAND_LIST* node = root;
    while (n < num && (node || !stack.empty())) {
        while (node) {
            stack.push_back(node);
            node = node->smaller;
        }
        node = stack.back();
        stack.pop_back();
        if (cands) cands[n] = node->cand.jiscode.w;
        if (dist) dist[n] = node->cand.distance;
        ++n;
        node = node->larger;
    }
    return n;
}

namespace {

// Offers every compatible entry from the input's stroke group (with anycount from the
// first group) up to the ranking tree, ranked by the directional templates, or with fold
// by the templates folded (direction of travel left out).
// Built twice, for the machines with AVX2 (the distance loops twice as wide) and for the
// rest, and the copy for the machine picked at load; the integer results are the same.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default")))
#endif
int unionclass2(const UDATA& u, uint16_t* cands, int32_t* dist, int num, bool fold = false,
                bool anycount = false) {
    const STDATA& s = u.stdata;
    const FoldedInput folded = fold ? foldedinput(u.dfv) : FoldedInput{};
    const int g = !anycount && s.stnum > _looseness_k ? s.stnum - _looseness_k : 1;
    if (g >= _stnum_max || !_dicptr[g]) return 0;
    std::unique_ptr<tagCAND_LIST[]> nodes(new (std::nothrow) tagCAND_LIST[_category_count]);
    if (!nodes) return 0;
    tagCAND_LIST* root = nullptr;
    int used = 0;
    const tagUNION_CC_DIC* e = _dicptr[g];
    while (e && used < _category_count) {
        if (s.ylen + _looseness_ylen < e->oncd.ylen_min) {
            // The rest of the group needs even more vertical travel: go on with the next
            // group. A group met again further down the file (groups not contiguous) is
            // not jumped back to; the scan then simply goes on in file order.
            const int k = e->oncd.k_max + 1;
            if (k >= _stnum_max) break;
            const tagUNION_CC_DIC* to = _dicptr[k];
            e = (to && to->order > e->order) ? to : e->next;
            continue;
        }
        if (e->offcd_num > 0 && turn_ok(e, &s)) {
            const int32_t d = fold ? FoldedDistance(e, folded) : DfvDistance(e, &u.dfv);
            if (registcand(&root, &nodes[used], num, e->jiscode.w, d)) ++used;
        }
        e = e->next;
    }
    return ctreetobuf(root, cands, dist, num);
}

} // namespace

namespace {

int Classify(const PATTERN_W* pat, uint16_t* cands, int32_t* dist, int num, bool fold,
             bool anycount = false) {
    if (!_loaded || !_dicptr || !_puSquareByte) return -1;
    if (!pat || !pat->data || pat->num < 1) return 0;
    if (num < 1) return 0;
    UDATA u;
    if (UnionData(pat, &u) != 0) return -2;
    std::unique_ptr<CANDIDATE[]> buf(new (std::nothrow) CANDIDATE[size_t(_category_count) + 1]);
    if (!buf) return -3;
    return unionclass2(u, cands, dist, num, fold, anycount);
}

} // namespace

int CoarseClassify(const PATTERN_W* pat, uint16_t* cands, int32_t* dist, int num) {
    return Classify(pat, cands, dist, num, false);
}

int CoarseClassifyAnyDirection(const PATTERN_W* pat, uint16_t* cands, int32_t* dist, int num) {
    return Classify(pat, cands, dist, num, true);
}

int CoarseClassifyAnyCount(const PATTERN_W* pat, uint16_t* cands, int32_t* dist, int num) {
    return Classify(pat, cands, dist, num, false, true);
}

int CoarseClassifyAnyCountAnyDirection(const PATTERN_W* pat, uint16_t* cands, int32_t* dist,
                                       int num) {
    return Classify(pat, cands, dist, num, true, true);
}

int InitCandSearchTable(CANDTBL* ht, const uint16_t* codes, int n) {
    ht->linktbl = nullptr;
    ht->hashtbl = nullptr;
    if (n < 0 || n > kMaxTableEntries) return 1;
    if (n > 0) {
        ht->linktbl = new (std::nothrow) int16_t[n];
        if (!ht->linktbl) return 1;
    }
    ht->hashtbl = new (std::nothrow) int16_t[kHashSize];
    if (!ht->hashtbl) {
        FreeCandSearchTable(ht);
        return 1;
    }
    std::fill(ht->hashtbl, ht->hashtbl + kHashSize, int16_t(-1));
    for (int i = 0; i < n; ++i) {
        const int h = hash(codes[i]);
        ht->linktbl[i] = ht->hashtbl[h];
        ht->hashtbl[h] = static_cast<int16_t>(i);
    }
    return 0;
}

int IsCandidate(const CANDTBL* ht, const uint16_t* codes, uint32_t code) {
    if (!ht || !ht->hashtbl) return -1;
    const uint16_t c = static_cast<uint16_t>(code & 0xFFFF);
    int i = ht->hashtbl[hash(c)];
    while (i >= 0 && codes[i] != c) i = ht->linktbl[i];
    return i < 0 ? -1 : i;
}

void FreeCandSearchTable(CANDTBL* ht) {
    if (!ht) return;
    delete[] ht->linktbl;
    delete[] ht->hashtbl;
    ht->linktbl = nullptr;
    ht->hashtbl = nullptr;
}

void SortCoarseDicEntries(std::vector<CoarseDicEntry>& entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const CoarseDicEntry& a, const CoarseDicEntry& b) {
                         if (a.oncd.k_max != b.oncd.k_max) return a.oncd.k_max < b.oncd.k_max;
                         return a.oncd.ylen_min < b.oncd.ylen_min;
                     });
}

int WriteCoarseClassificationDic(const std::string& path,
                                 const std::vector<CoarseDicEntry>& entries) {
    for (const auto& e : entries)
        if (e.templates.empty() || e.templates.size() > 255) return CCDIC_NOTEMPLATE;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return CCDIC_NOFILE;
    bool ok = true;
    for (const auto& e : entries) {
        const uint8_t code[2] = {static_cast<uint8_t>(e.code & 0xFF),
                                 static_cast<uint8_t>(e.code >> 8)};
        const uint8_t count = static_cast<uint8_t>(e.templates.size());
        ok = ok && std::fwrite(code, 1, 2, f) == 2;
        ok = ok && std::fwrite(&e.oncd, 1, sizeof e.oncd, f) == sizeof e.oncd;
        ok = ok && std::fwrite(&count, 1, 1, f) == 1;
        for (const DFV& t : e.templates) ok = ok && std::fwrite(t.v, 1, 72, f) == 72;
    }
    if (std::fclose(f) != 0) ok = false;
    return ok ? CCDIC_OK : CCDIC_SHORT;
}
