#include "strrec/bigram.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iomanip>
#include <memory>
#include <new>

namespace {

struct FileCloser {
    void operator()(std::FILE* fp) const { std::fclose(fp); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool ReadExact(std::FILE* fp, void* buf, size_t size) {
    return size == 0 || std::fread(buf, 1, size, fp) == size;
}
bool WriteExact(std::FILE* fp, const void* buf, size_t size) {
    return size == 0 || std::fwrite(buf, 1, size, fp) == size;
}

template <class T> bool ReadLE(std::FILE* fp, T& v) {
    unsigned char b[sizeof(T)];
    if (!ReadExact(fp, b, sizeof b)) return false;
    std::make_unsigned_t<T> u = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        u |= static_cast<std::make_unsigned_t<T>>(b[i]) << (8 * i);
    v = static_cast<T>(u);
    return true;
}
template <class T> bool WriteLE(std::FILE* fp, T v) {
    unsigned char b[sizeof(T)];
    auto u = static_cast<std::make_unsigned_t<T>>(v);
    for (size_t i = 0; i < sizeof(T); ++i) b[i] = static_cast<unsigned char>(u >> (8 * i));
    return WriteExact(fp, b, sizeof b);
}
bool ReadFloat(std::FILE* fp, float& f) {
    uint32_t u;
    if (!ReadLE(fp, u)) return false;
    std::memcpy(&f, &u, sizeof f);
    return true;
}
bool WriteFloat(std::FILE* fp, float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return WriteLE(fp, u);
}

// Bytes from the current position to the end of the file, or -1.
long Remaining(std::FILE* fp) {
    long pos = std::ftell(fp);
    if (pos < 0 || std::fseek(fp, 0, SEEK_END) != 0) return -1;
    long end = std::ftell(fp);
    if (std::fseek(fp, pos, SEEK_SET) != 0 || end < pos) return -1;
    return end - pos;
}

int BinarySearch(const std::vector<uint16_t>& codes, uint16_t code, int iMode) {
    auto it = std::lower_bound(codes.begin(), codes.end(), code);
    int pos = static_cast<int>(it - codes.begin());
    if (it != codes.end() && *it == code) return pos;
    return iMode == 1 ? pos : -1;
}

} // namespace

bool IsSJIS(uint16_t wc) {
    unsigned lead = wc >> 8, trail = wc & 0xFF;
    bool leadOk = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    bool trailOk = trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
    return leadOk && trailOk;
}

// ---- CMonogramTable ----

int CMonogramTable::iSearch(uint16_t code, int iMode) const {
    return BinarySearch(wcpCode, code, iMode);
}

uint8_t CMonogramTable::cGetTagValue(uint16_t code) const {
    int i = iSearch(code, 0);
    return i < 0 ? 0 : cpTag[i];
}

int CMonogramTable::iSetTagValue(uint16_t code, uint8_t tag) {
    int i = iSearch(code, 1);
    if (i < static_cast<int>(wcpCode.size()) && wcpCode[i] == code) {
        cpTag[i] = tag;
        return 0;
    }
    if (wcpCode.size() >= INT16_MAX) return 1;
    wcpCode.insert(wcpCode.begin() + i, code);
    cpTag.insert(cpTag.begin() + i, tag);
    iCategoryNumber = static_cast<int16_t>(wcpCode.size());
    return 0;
}

int CMonogramTable::iRemove(uint16_t code) {
    int i = iSearch(code, 0);
    if (i < 0) return 1;
    wcpCode.erase(wcpCode.begin() + i);
    cpTag.erase(cpTag.begin() + i);
    iCategoryNumber = static_cast<int16_t>(wcpCode.size());
    return 0;
}

int CMonogramTable::iLoad(std::FILE* fp, long remaining) {
    int16_t m;
    if (fp == nullptr) return BGT_ERR_ARGUMENT;
    if (!ReadLE(fp, m) || m < 0) return BGT_ERR_READ;
    if (remaining >= 0 && 2 + 3L * m > remaining) return BGT_ERR_READ;
    std::vector<uint16_t> codes(m);
    std::vector<uint8_t> tags(m);
    for (auto& c : codes)
        if (!ReadLE(fp, c)) return BGT_ERR_READ;
    if (!ReadExact(fp, tags.data(), tags.size())) return BGT_ERR_READ;
    for (size_t i = 1; i < codes.size(); ++i)
        if (codes[i - 1] >= codes[i]) return BGT_ERR_READ; // binary search needs ascending codes
    wcpCode = std::move(codes);
    cpTag = std::move(tags);
    iCategoryNumber = m;
    return BGT_OK;
}

int CMonogramTable::iSave(std::FILE* fp) const {
    if (fp == nullptr) return BGT_ERR_ARGUMENT;
    if (!WriteLE(fp, static_cast<int16_t>(wcpCode.size()))) return BGT_ERR_READ;
    for (uint16_t c : wcpCode)
        if (!WriteLE(fp, c)) return BGT_ERR_READ;
    return WriteExact(fp, cpTag.data(), cpTag.size()) ? BGT_OK : BGT_ERR_READ;
}

int CMonogramTable::iLoad(const char* fileName) {
    if (fileName == nullptr) return BGT_ERR_MONO_OPEN;
    File fp(std::fopen(fileName, "rb"));
    if (!fp) return BGT_ERR_MONO_OPEN;
    char magic[6];
    if (!ReadExact(fp.get(), magic, 6) || std::memcmp(magic, MONOGRAM_VERSION, 6) != 0)
        return BGT_ERR_MONO_MAGIC;
    try {
        return iLoad(fp.get(), Remaining(fp.get()));
    } catch (const std::bad_alloc&) {
        return BGT_ERR_MEMORY;
    }
}

int CMonogramTable::iSave(const char* fileName) const {
    if (fileName == nullptr) return BGT_ERR_MONO_OPEN;
    File fp(std::fopen(fileName, "wb"));
    if (!fp) return BGT_ERR_MONO_OPEN;
    if (!WriteExact(fp.get(), MONOGRAM_VERSION, 6)) return BGT_ERR_READ;
    int r = iSave(fp.get());
    if (r == BGT_OK && std::fclose(fp.release()) != 0) return BGT_ERR_READ;
    return r;
}

CMonogramTable& CMonogramTable::operator<<=(const CMonogramTable& other) {
    for (size_t i = 0; i < other.wcpCode.size(); ++i)
        iSetTagValue(other.wcpCode[i], other.cpTag[i]);
    return *this;
}

std::ostream& operator<<(std::ostream& os, const CMonogramTable& table) {
    os << table.wcpCode.size() << " codes\n";
    for (size_t i = 0; i < table.wcpCode.size(); ++i)
        os << std::hex << std::setw(4) << std::setfill('0') << table.wcpCode[i] << std::dec << ' '
           << static_cast<int>(table.cpTag[i]) << '\n';
    return os;
}

// ---- CBigramTable ----

int CBigramTable::iSearch(uint16_t code, int iMode) const {
    if (iMode != 0) return BinarySearch(wcpCode, code, iMode);
    if (m_bFirstIndexStale) vMakeFirstIndex();
    return m_iFirstOfCode[code];
}

void CBigramTable::vMakeFirstIndex() const {
    m_iFirstOfCode.assign(0x10000, -1);
    // At most INT16_MAX first codes (iAddFirstCode and the file's count see to that).
    for (size_t i = 0; i < wcpCode.size(); ++i)
        m_iFirstOfCode[wcpCode[i]] = static_cast<int16_t>(i);
    m_bFirstIndexStale = false;
}

uint8_t CBigramTable::ucGetTagValue(uint16_t wc1, uint16_t wc2) const {
    int i = iSearch(wc1, 0);
    return i < 0 ? 0 : opSecondCodes[i].cGetTagValue(wc2);
}

long double CBigramTable::dGetLP(uint16_t wc) const {
    if (!(m_cVerFlag & BGT_FLAG_LOGCOUNT)) return 0;
    int i = iSearch(wc, 0);
    if (i < 0 || i >= static_cast<int>(m_fpCount.size()))
        return -std::log(static_cast<long double>(std::max<int32_t>(liTotalCount, 1)));
    return m_fpCount[i];
}

long double CBigramTable::dGetLP(uint16_t wc1, uint16_t wc2, int iMode) const {
    const int first = iSearch(wc1, 0);
    const uint8_t t = first < 0 ? 0 : opSecondCodes[first].cGetTagValue(wc2);
    const long double p0 = m_fpProbTable[0], pt = m_fpProbTable[t];
    constexpr uint8_t kBackoff = BGT_FLAG_BACKOFF | BGT_FLAG_CONDITIONAL | BGT_FLAG_LOGCOUNT;
    if ((m_cVerFlag & kBackoff) == kBackoff) {
        const long double c = dConditional(first, t, wc2);
        if (iMode == 1) return c;
        if (iMode == 2) return (m_cVerFlag & BGT_FLAG_RAW) ? pt : dGetLP(wc1) + 2 * c;
        return dGetLP(wc1) + c;
    }
    const bool conditional = (m_cVerFlag & BGT_FLAG_CONDITIONAL) != 0;
    if (iMode == 1) {
        if (t == 0) return p0;
        return conditional ? pt : pt - dGetLP(wc1);
    }
    if (iMode == 2) {
        if (m_cVerFlag & BGT_FLAG_RAW) return pt;
        if (t == 0) return 2 * p0;
        return conditional ? dGetLP(wc1) + 2 * pt : 2 * pt - dGetLP(wc1);
    }
    if (t == 0) return p0;
    return conditional ? dGetLP(wc1) + pt : pt;
}

namespace {
// The least mass a first code leaves to the pairs not in the table (the quantized values
// of its pairs may add up to about 1).
constexpr double kMinBackoffMass = 1e-4;
} // namespace

void CBigramTable::vMakeBackoff() const {
    m_fpBackoff.assign(wcpCode.size(), 0.0f);
    for (size_t i = 0; i < wcpCode.size() && i < opSecondCodes.size(); ++i) {
        double seen = 0;
        for (uint8_t tag : opSecondCodes[i].cpTag)
            seen += std::exp(static_cast<double>(m_fpProbTable[tag]));
        m_fpBackoff[i] = static_cast<float>(std::log(std::max(1.0 - seen, kMinBackoffMass)));
    }
    m_bBackoffStale = false;
}

long double CBigramTable::dGetBackoffLP(uint16_t wc1, uint16_t wc2) const {
    return dConditional(iSearch(wc1, 0), 0, wc2);
}

long double CBigramTable::dConditional(int first, uint8_t t, uint16_t wc2) const {
    long double backoff = dGetLP(wc2);
    if (first >= 0) {
        if (m_bBackoffStale || m_fpBackoff.size() != wcpCode.size()) vMakeBackoff();
        backoff += m_fpBackoff[first];
    }
    return t == 0 ? backoff : std::max<long double>(m_fpProbTable[t], backoff);
}

uint8_t CBigramTable::cProb2TagVal(double lp) const {
    int i = 0;
    while (i < 256 && !(m_fpProbTable[i] > lp)) ++i;
    if (i == 256) return 255;
    if (i > 1) {
        double mid = (static_cast<double>(m_fpProbTable[i - 1]) + m_fpProbTable[i]) / 2;
        return static_cast<uint8_t>(lp <= mid ? i - 1 : i);
    }
    return static_cast<uint8_t>(i);
}

int CBigramTable::iAddFirstCode(uint16_t wc) {
    int i = iSearch(wc, 1);
    if (i < static_cast<int>(wcpCode.size()) && wcpCode[i] == wc) return i;
    if (wcpCode.size() >= INT16_MAX) return -1;
    wcpCode.insert(wcpCode.begin() + i, wc);
    opSecondCodes.insert(opSecondCodes.begin() + i, CMonogramTable{});
    if (m_cVerFlag & BGT_FLAG_LOGCOUNT) m_fpCount.insert(m_fpCount.begin() + i, 0.0f);
    iCategoryNumber = static_cast<int16_t>(wcpCode.size());
    m_bBackoffStale = true;
    m_bFirstIndexStale = true;
    return i;
}

int CBigramTable::iSetTagValue(uint16_t wc1, uint16_t wc2, uint8_t tag) {
    if (!IsSJIS(wc1) || !IsSJIS(wc2)) return 1;
    int i = iAddFirstCode(wc1);
    if (i < 0) return 2;
    CMonogramTable& second = opSecondCodes[i];
    bool isNew = second.iSearch(wc2, 0) < 0;
    if (second.iSetTagValue(wc2, tag) != 0) return 2;
    if (isNew) ++liBigramCategoryNumber;
    m_bBackoffStale = true;
    return 0;
}

int CBigramTable::iSetProbTable(const float* table) {
    if (table == nullptr) return 1;
    for (int i = 1; i < 256; ++i)
        if (table[i] < table[i - 1]) return 1;
    std::copy(table, table + 256, m_fpProbTable);
    m_bBackoffStale = true;
    return 0;
}

int CBigramTable::iSetLogCount(uint16_t wc, float lp) {
    if (!(m_cVerFlag & BGT_FLAG_LOGCOUNT)) {
        m_fpCount.assign(wcpCode.size(), 0.0f);
        m_cVerFlag |= BGT_FLAG_LOGCOUNT;
    }
    int i = iAddFirstCode(wc);
    if (i < 0) return 2;
    m_fpCount[i] = lp;
    return 0;
}

void CBigramTable::DeleteLogCountTable() {
    m_fpCount.clear();
    m_cVerFlag &= static_cast<uint8_t>(~BGT_FLAG_LOGCOUNT);
}

void CBigramTable::vClear() {
    CBigramTable empty;
    *this = std::move(empty);
}

int CBigramTable::iLoad(const char* fileName) {
    if (fileName == nullptr) return BGT_ERR_BIGRAM_OPEN;
    File fp(std::fopen(fileName, "rb"));
    if (!fp) return BGT_ERR_BIGRAM_OPEN;
    char magic[6];
    if (!ReadExact(fp.get(), magic, 6) || std::memcmp(magic, BIGRAM_VERSION, 6) != 0)
        return BGT_ERR_BIGRAM_OPEN;
    try {
        CBigramTable t;
        if (!ReadLE(fp.get(), t.m_cVerFlag)) return BGT_ERR_READ;
        for (float& f : t.m_fpProbTable)
            if (!ReadFloat(fp.get(), f)) return BGT_ERR_READ;
        int16_t n;
        if (!ReadLE(fp.get(), t.liTotalCount) || !ReadLE(fp.get(), t.liBigramCategoryNumber) ||
            !ReadLE(fp.get(), n) || n < 0)
            return BGT_ERR_READ;
        // Every first code needs its code, its log count and at least an empty table.
        long remaining = Remaining(fp.get());
        long perCode = 2 + 2 + ((t.m_cVerFlag & BGT_FLAG_LOGCOUNT) ? 4 : 0);
        if (remaining < 0 || perCode * n > remaining) return BGT_ERR_READ;
        t.wcpCode.resize(n);
        for (auto& c : t.wcpCode)
            if (!ReadLE(fp.get(), c)) return BGT_ERR_READ;
        for (int i = 1; i < n; ++i)
            if (t.wcpCode[i - 1] >= t.wcpCode[i]) return BGT_ERR_READ;
        if (t.m_cVerFlag & BGT_FLAG_LOGCOUNT) {
            t.m_fpCount.resize(n);
            for (float& f : t.m_fpCount)
                if (!ReadFloat(fp.get(), f)) return BGT_ERR_READ;
        }
        t.opSecondCodes.resize(n);
        for (auto& second : t.opSecondCodes) {
            int r = second.iLoad(fp.get(), Remaining(fp.get()));
            if (r != BGT_OK) return r;
        }
        t.iCategoryNumber = n;
        *this = std::move(t);
        return BGT_OK;
    } catch (const std::bad_alloc&) {
        return BGT_ERR_MEMORY;
    }
}

int CBigramTable::iSave(const char* fileName) const {
    if (fileName == nullptr) return BGT_ERR_BIGRAM_CREATE;
    File fp(std::fopen(fileName, "wb"));
    if (!fp) return BGT_ERR_BIGRAM_CREATE;
    std::FILE* f = fp.get();
    bool ok = WriteExact(f, BIGRAM_VERSION, 6) && WriteLE(f, m_cVerFlag);
    for (float p : m_fpProbTable) ok = ok && WriteFloat(f, p);
    ok = ok && WriteLE(f, liTotalCount) && WriteLE(f, liBigramCategoryNumber) &&
         WriteLE(f, static_cast<int16_t>(wcpCode.size()));
    for (uint16_t c : wcpCode) ok = ok && WriteLE(f, c);
    if (m_cVerFlag & BGT_FLAG_LOGCOUNT)
        for (size_t i = 0; i < wcpCode.size(); ++i)
            ok = ok && WriteFloat(f, i < m_fpCount.size() ? m_fpCount[i] : 0.0f);
    for (const auto& second : opSecondCodes) ok = ok && second.iSave(f) == BGT_OK;
    if (!ok) return BGT_ERR_READ;
    return std::fclose(fp.release()) == 0 ? BGT_OK : BGT_ERR_READ;
}
