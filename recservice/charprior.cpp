#include "recservice/charprior.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr char kMagic[4] = {'T', 'C', 'P', 'R'};
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderSize = 12;
constexpr size_t kEntrySize = 5;
constexpr int32_t kOrdered = 256; // candidates a list is ordered over

uint16_t Read16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Read32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void Put16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

// The whole file, or false when it cannot be read or is larger than any prior can be.
bool ReadFile(const char* name, std::vector<unsigned char>& out) {
    std::FILE* f = std::fopen(name, "rb");
    if (!f) return false;
    constexpr size_t kLargest = kHeaderSize + kEntrySize * 65536;
    unsigned char buffer[4096];
    size_t got;
    bool ok = true;
    while (ok && (got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        out.insert(out.end(), buffer, buffer + got);
        ok = out.size() <= kLargest;
    }
    ok = ok && !std::ferror(f);
    std::fclose(f);
    return ok;
}

} // namespace

int iLoadCharPrior(const char* cpFile, CHAR_PRIOR* pPrior) {
    if (!pPrior) return CHARPRIOR_ARGUMENT;
    vFreeCharPrior(pPrior);
    if (!cpFile) return CHARPRIOR_ARGUMENT;
    std::vector<unsigned char> data;
    if (!ReadFile(cpFile, data) || data.size() < kHeaderSize ||
        std::memcmp(data.data(), kMagic, 4) != 0 || Read16(&data[4]) != kVersion)
        return CHARPRIOR_FILE;
    const int32_t span = Read16(&data[6]);
    const uint32_t count = Read32(&data[8]);
    if (span > kCharPriorMaxSpan || count > 65536 ||
        data.size() != kHeaderSize + kEntrySize * size_t{count})
        return CHARPRIOR_FILE;
    auto* codes = static_cast<uint16_t*>(std::malloc(sizeof(uint16_t) * (count ? count : 1)));
    auto* weights = static_cast<uint8_t*>(std::malloc(count ? count : 1));
    auto* groups = static_cast<uint16_t*>(std::malloc(sizeof(uint16_t) * (count ? count : 1)));
    CHAR_PRIOR loaded{static_cast<int32_t>(count), span, codes, weights, groups};
    if (!codes || !weights || !groups) {
        vFreeCharPrior(&loaded);
        return CHARPRIOR_NOMEMORY;
    }
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* e = &data[kHeaderSize + kEntrySize * i];
        codes[i] = Read16(e);
        weights[i] = e[2];
        groups[i] = Read16(e + 3);
        if ((i > 0 && codes[i] <= codes[i - 1]) || groups[i] == 0) {
            vFreeCharPrior(&loaded);
            return CHARPRIOR_FILE;
        }
    }
    *pPrior = loaded;
    return CHARPRIOR_OK;
}

void vFreeCharPrior(CHAR_PRIOR* pPrior) {
    if (!pPrior) return;
    std::free(pPrior->pCodes);
    std::free(pPrior->pWeights);
    std::free(pPrior->pGroups);
    *pPrior = CHAR_PRIOR{0, 0, nullptr, nullptr, nullptr};
}

namespace {

// The entry of a code, or -1.
long EntryOf(const CHAR_PRIOR* pPrior, uint32_t code) {
    if (!pPrior || pPrior->iCount <= 0 || !pPrior->pCodes) return -1;
    const uint16_t key = static_cast<uint16_t>(code & 0xFFFF);
    const uint16_t* begin = pPrior->pCodes;
    const uint16_t* end = begin + pPrior->iCount;
    const uint16_t* at = std::lower_bound(begin, end, key);
    return at != end && *at == key ? at - begin : -1;
}

} // namespace

int iCharPriorWeight(const CHAR_PRIOR* pPrior, uint32_t code) {
    const long at = EntryOf(pPrior, code);
    return at < 0 ? 0 : pPrior->pWeights[at];
}

int iCharPriorGroup(const CHAR_PRIOR* pPrior, uint32_t code) {
    const long at = EntryOf(pPrior, code);
    return at < 0 ? 0 : pPrior->pGroups[at];
}

int iWriteCharPrior(const char* cpFile, int32_t iSpan, const uint16_t* pCodes,
                    const uint8_t* pWeights, const uint16_t* pGroups, int32_t iCount) {
    if (!cpFile || iCount < 0 || iCount > 65536 ||
        (iCount > 0 && (!pCodes || !pWeights || !pGroups)) || iSpan < 0 ||
        iSpan > kCharPriorMaxSpan)
        return CHARPRIOR_ARGUMENT;
    std::vector<unsigned char> out(kMagic, kMagic + 4);
    Put16(out, kVersion);
    Put16(out, static_cast<uint32_t>(iSpan));
    Put16(out, static_cast<uint32_t>(iCount) & 0xFFFF);
    Put16(out, static_cast<uint32_t>(iCount) >> 16);
    for (int32_t i = 0; i < iCount; ++i) {
        if ((i > 0 && pCodes[i] <= pCodes[i - 1]) || pGroups[i] == 0) return CHARPRIOR_ARGUMENT;
        Put16(out, pCodes[i]);
        out.push_back(pWeights[i]);
        Put16(out, pGroups[i]);
    }
    std::FILE* f = std::fopen(cpFile, "wb");
    if (!f) return CHARPRIOR_FILE;
    const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    const bool closed = std::fclose(f) == 0;
    if (written && closed) return CHARPRIOR_OK;
    std::remove(cpFile);
    return CHARPRIOR_FILE;
}

int iApplyCharPrior(const CHAR_PRIOR* pPrior, int32_t iSpan, CR_RESULT* pRes, int32_t iCount) {
    if (!pRes || iCount <= 0) return 0;
    int32_t n = 0;
    while (n < iCount && pRes[n].score >= 1) ++n;
    if (!pPrior || pPrior->iCount <= 0 || iSpan <= 0 || n < 2) return n;
    // Only the leading candidates are ordered, in fixed work arrays (callers ask for 10 or 20).
    const int32_t m = std::min(n, kOrdered);
    struct Keyed {
        int64_t key;
        CR_RESULT res;
    };
    int group[kOrdered];
    bool done[kOrdered] = {};
    int32_t places[kOrdered];
    Keyed members[kOrdered];
    for (int32_t i = 0; i < m; ++i) group[i] = iCharPriorGroup(pPrior, pRes[i].code);
    bool moved = false;
    for (int32_t i = 0; i < m; ++i) {
        if (group[i] == 0 || done[i]) continue;
        int32_t count = 0;
        for (int32_t j = i; j < m; ++j) {
            if (group[j] != group[i]) continue;
            done[j] = true;
            places[count] = j;
            members[count++] = {int64_t{pRes[j].score} * 255 +
                                    int64_t{iSpan} * iCharPriorWeight(pPrior, pRes[j].code),
                                pRes[j]};
        }
        std::stable_sort(members, members + count,
                         [](const Keyed& a, const Keyed& b) { return a.key > b.key; });
        for (int32_t k = 0; k < count; ++k) {
            moved = moved || members[k].res.code != pRes[places[k]].code ||
                    members[k].res.pat_no != pRes[places[k]].pat_no;
            pRes[places[k]] = members[k].res;
        }
    }
    if (moved)
        for (int32_t i = 1; i < m; ++i)
            if (pRes[i].score > pRes[i - 1].score) pRes[i].score = pRes[i - 1].score;
    return n;
}
