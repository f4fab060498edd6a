// The dictionary file: a u16 category count, then the category records of categories
// 1..N, each with its optional two part entries and its pattern records. Little-endian,
// read field by field. The whole file is read first, so that every count in it can be
// checked against the bytes that are really there before anything is allocated for it.
#include "classifier/crdic.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Reader {
    const unsigned char* p;
    size_t left;

    bool u8(uint8_t& v) {
        if (left < 1) return false;
        v = *p++;
        --left;
        return true;
    }
    bool u16(uint16_t& v) {
        if (left < 2) return false;
        v = static_cast<uint16_t>(p[0] | (p[1] << 8));
        p += 2;
        left -= 2;
        return true;
    }
};

// Smallest record sizes, used to refuse counts the remaining bytes cannot hold.
constexpr size_t kMinCategoryBytes = 5; // code, status, size, pattern count
constexpr size_t kMinPatternBytes = 2;  // point count
constexpr size_t kPointBytes = 3;

// Reads the whole file into a malloc'd block. 0, 1 out of memory, 3 unreadable.
int readfile(const char* fn, unsigned char** data, size_t* size) {
    FILE* f = std::fopen(fn, "rb");
    if (!f) return CRDIC_FILE;
    int rc = CRDIC_FILE;
    long n = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) n = std::ftell(f);
    if (n >= 0 && std::fseek(f, 0, SEEK_SET) == 0) {
        auto* buf = static_cast<unsigned char*>(std::malloc(n > 0 ? static_cast<size_t>(n) : 1));
        if (!buf) {
            rc = CRDIC_NOMEMORY;
        } else if (std::fread(buf, 1, static_cast<size_t>(n), f) != static_cast<size_t>(n)) {
            std::free(buf);
        } else {
            *data = buf;
            *size = static_cast<size_t>(n);
            rc = 0;
        }
    }
    std::fclose(f);
    return rc;
}

void freepatterns(tagCATEGORY* kj) {
    for (int k = 0; k < kj->patdic.count; ++k) std::free(kj->patdic.pat[k].data);
    std::free(kj->patdic.pat);
    kj->patdic.pat = nullptr;
    kj->patdic.count = 0;
}

} // namespace

// One pattern record. On failure the pattern holds no points.
static int ReadPatternData(Reader& r, PATTERN_B* pat) {
    uint16_t m;
    if (!r.u16(m)) return CRDIC_FILE;
    if (m > 32767 || r.left < static_cast<size_t>(m) * kPointBytes) return CRDIC_FILE;
    std::memset(static_cast<void*>(pat), 0, sizeof(*pat));
    if (m == 0) return 0;
    auto* pts = static_cast<POINT_B*>(std::calloc(m, sizeof(POINT_B)));
    if (!pts) return CRDIC_NOMEMORY;
    for (int i = 0; i < m; ++i) {
        r.u8(pts[i].x);
        r.u8(pts[i].y);
        r.u8(pts[i].attr);
    }
    pat->data = pts;
    pat->num = static_cast<int16_t>(m);
    SetPatternLength(pat);
    return 0;
}

// One category record. Part numbers are resolved against the table at once, so parts may
// refer to later categories; a number outside the table is refused.
static int ReadCategoryData(Reader& r, CRDIC* dic, tagCATEGORY* kj) {
    uint8_t status, size, npat;
    if (!r.u16(kj->code) || !r.u8(status)) return CRDIC_FILE;
    kj->status = status;
    if (status & CTG_COMPOSITE) {
        for (DIVINFO& dv : kj->div) {
            uint16_t part;
            if (!r.u16(part) || !r.u8(dv.pos) || !r.u8(dv.size)) return CRDIC_FILE;
            if (part >= dic->count) return CRDIC_FILE;
            dv.part = dic->ctg[part];
        }
    }
    if (!r.u8(size) || !r.u8(npat)) return CRDIC_FILE;
    kj->size = size;
    if (npat == 0) return 0;
    if (r.left < static_cast<size_t>(npat) * kMinPatternBytes) return CRDIC_FILE;
    auto* pats = static_cast<PATTERN_B*>(std::calloc(npat, sizeof(PATTERN_B)));
    if (!pats) return CRDIC_NOMEMORY;
    kj->patdic.pat = pats;
    for (int k = 0; k < npat; ++k) {
        const int rc = ReadPatternData(r, &pats[k]);
        if (rc) {
            kj->patdic.count = static_cast<int16_t>(k);
            freepatterns(kj);
            return rc;
        }
    }
    kj->patdic.count = npat;
    return 0;
}

static int loaddicfile(const unsigned char* data, size_t size, CRDIC* out) {
    Reader r{data, size};
    uint16_t n;
    if (!r.u16(n)) return CRDIC_FILE;
    if (r.left < static_cast<size_t>(n) * kMinCategoryBytes) return CRDIC_FILE;
    CRDIC dic{};
    int rc = NewCRDictionary(&dic, n);
    if (rc) return rc;
    for (int i = 1; i <= n && rc == 0; ++i) rc = ReadCategoryData(r, &dic, dic.ctg[i]);
    setctgnum(&dic);
    if (rc == 0) rc = UpdateCRDictionaryLimits(&dic);
    if (rc) {
        FreeCRDictionary(&dic);
        return rc;
    }
    *out = dic;
    return 0;
}

extern "C" {

int LoadCRDictionary(const char* fn, CRDIC* dic) {
    CRDIC loaded{};
    int rc;
    if (!fn) {
        rc = NewCRDictionary(&loaded, 0);
    } else {
        unsigned char* data = nullptr;
        size_t size = 0;
        rc = readfile(fn, &data, &size);
        if (rc == 0) {
            rc = loaddicfile(data, size, &loaded);
            std::free(data);
        }
    }
    if (rc) return rc;
    if (dic) {
        *dic = loaded;
    } else {
        FreeCRDictionary(&_crdic);
        _crdic = loaded;
        ++_crdic_generation;
    }
    return 0;
}

static int writedic(const char* fn, const CRDIC* dic) {
    if (!fn || !dic || !dic->ctg || dic->count < 1 || dic->count > 65536) return CRDIC_BADARG;
    std::vector<unsigned char> out;
    auto u8 = [&](unsigned v) { out.push_back(static_cast<unsigned char>(v & 0xFF)); };
    auto u16 = [&](unsigned v) {
        u8(v);
        u8(v >> 8);
    };
    auto partno = [&](const tagCATEGORY* part) -> long {
        if (!part) return 0;
        if (part->ctg_no >= 0 && part->ctg_no < dic->count && dic->ctg[part->ctg_no] == part)
            return part->ctg_no;
        for (int k = 0; k < dic->count; ++k)
            if (dic->ctg[k] == part) return k;
        return -1;
    };
    u16(static_cast<unsigned>(dic->count - 1));
    for (int i = 1; i < dic->count; ++i) {
        const tagCATEGORY* kj = dic->ctg[i];
        if (!kj) return CRDIC_BADARG;
        const PATDIC& pd = kj->patdic;
        if (pd.count < 0 || pd.count > 255 || (pd.count > 0 && !pd.pat)) return CRDIC_BADARG;
        u16(kj->code);
        u8(kj->status);
        if (kj->status & CTG_COMPOSITE) {
            for (const DIVINFO& dv : kj->div) {
                const long p = partno(dv.part);
                if (p < 0) return CRDIC_BADARG;
                u16(static_cast<unsigned>(p));
                u8(dv.pos);
                u8(dv.size);
            }
        }
        u8(kj->size);
        u8(static_cast<unsigned>(pd.count));
        for (int k = 0; k < pd.count; ++k) {
            const PATTERN_B& pat = pd.pat[k];
            if (pat.num < 0 || (pat.num > 0 && !pat.data)) return CRDIC_BADARG;
            u16(static_cast<unsigned>(pat.num));
            for (int j = 0; j < pat.num; ++j) {
                u8(pat.data[j].x);
                u8(pat.data[j].y);
                u8(pat.data[j].attr);
            }
        }
    }
    FILE* f = std::fopen(fn, "wb");
    if (!f) return CRDIC_FILE;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    const bool closed = std::fclose(f) == 0;
    return ok && closed ? 0 : CRDIC_FILE;
}

int WriteCRDictionary(const char* fn, const CRDIC* dic) {
    try {
        return writedic(fn, dic);
    } catch (...) {
        return CRDIC_NOMEMORY;
    }
}

} // extern "C"
