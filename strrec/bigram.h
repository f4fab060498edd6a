// Character-pair statistics: a monogram table (sorted codes with a one-byte tag each) and
// the bigram table (for each first code a monogram table of second codes, tags indexing
// a 256-entry log-probability table), with their binary file format.
//
// Bigram file (little-endian):
//   offset 0     6 bytes   magic "CBG1.1" (no terminator)
//          6     1 byte    version flags (BGT_FLAG_*)
//          7     1024      256 IEEE 32-bit floats: log-probability of each tag value,
//                          ascending; entry 0 is the floor for pairs not in the table
//          1031  4         total count of the training text (int32)
//          1035  4         number of pairs (int32)
//          1039  2         n = number of first codes (int16)
//          1041  2n        first codes (uint16), ascending
//          ...   4n        monogram log-probability per first code (float), only with
//                          BGT_FLAG_LOGCOUNT
//          ...             n second-code tables in first-code order, each:
//                          m (int16), m codes (uint16, ascending), m tags (uint8)
//
// With BGT_FLAG_BACKOFF (and conditional tags) a pair backs off to the monograms: the
// pairs after a first code c leave it the mass a(c) = 1 - sum of exp(their values), and
// the conditional log-probability of c followed by d is at least log a(c) + monogram of d
// (exactly that when the pair is not in the table, instead of the floor entry 0). A
// first code not in the table leaves all its mass, a = 1. Without the flag every pair
// not in the table takes the floor.
// Monogram file: magic "CMG1.0" then one second-code table as above.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <vector>

#define BIGRAM_VERSION "CBG1.1"
#define MONOGRAM_VERSION "CMG1.0"

enum : uint8_t {
    BGT_FLAG_LOGCOUNT = 1,    // per-first-code monogram log-probabilities present
    BGT_FLAG_CONDITIONAL = 2, // tags hold log P(second | first), else log P(first, second)
    BGT_FLAG_BACKOFF = 4,     // pairs back off to the monograms (see above)
    BGT_FLAG_RAW = 8          // mode 2 returns the stored value unchanged
};

// Result codes of loading and saving.
enum : int {
    BGT_OK = 0,
    BGT_ERR_READ = 1, // a table is truncated or inconsistent with the file size
    BGT_ERR_MEMORY = 2,
    BGT_ERR_BIGRAM_OPEN = 4, // bigram file cannot be opened or has another magic
    BGT_ERR_BIGRAM_CREATE = 5,
    BGT_ERR_ARGUMENT = 6,
    BGT_ERR_MONO_OPEN = 7, // monogram file cannot be opened (or created, when saving)
    BGT_ERR_MONO_MAGIC = 8
};

// True for a double-byte Shift-JIS code (lead 0x81-0x9F or 0xE0-0xFC, trail 0x40-0xFC
// except 0x7F).
bool IsSJIS(uint16_t wc);

class CMonogramTable {
public:
    int16_t iCategoryNumber = 0;
    std::vector<uint16_t> wcpCode; // ascending
    std::vector<uint8_t> cpTag;    // parallel to wcpCode

    // iMode 0: index of code or -1; iMode 1: index, or the insertion position.
    int iSearch(uint16_t code, int iMode = 0) const;
    uint8_t cGetTagValue(uint16_t code) const;
    // Sets (inserting when absent) the tag of code; 0, or 1 when the table is full.
    int iSetTagValue(uint16_t code, uint8_t tag);
    // Removes code; 0, or 1 when it was absent.
    int iRemove(uint16_t code);

    // One table in the file layout. Loading checks the count against `remaining` bytes of
    // the file (when non-negative) before allocating.
    int iLoad(std::FILE* fp, long remaining = -1);
    int iSave(std::FILE* fp) const;
    // Stand-alone monogram file with its magic.
    int iLoad(const char* fileName);
    int iSave(const char* fileName) const;

    CMonogramTable& operator<<=(const CMonogramTable& other); // merge: other's tags win
};

std::ostream& operator<<(std::ostream& os, const CMonogramTable& table);

// Abstract bigram table.
class CBigTbl {
public:
    virtual ~CBigTbl() = default;
    virtual long double dGetLP(uint16_t wc1, uint16_t wc2, int iMode) const = 0;
    virtual long double dGetLP(uint16_t wc) const = 0;
    virtual int iLoad(const char* fileName) = 0;
};

class CBigramTable : public CBigTbl {
public:
    uint8_t m_cVerFlag = 0;
    int16_t iCategoryNumber = 0;
    std::vector<uint16_t> wcpCode;             // first codes, ascending
    std::vector<float> m_fpCount;              // with BGT_FLAG_LOGCOUNT, parallel to wcpCode
    std::vector<CMonogramTable> opSecondCodes; // parallel to wcpCode
    int32_t liTotalCount = 0;
    int32_t liBigramCategoryNumber = 0;
    float m_fpProbTable[256] = {};

    long double dGetLP(uint16_t wc1, uint16_t wc2, int iMode) const override;
    long double dGetLP(uint16_t wc) const override;
    long double dGetLPOfTag(uint8_t tag) const { return m_fpProbTable[tag]; }
    int iLoad(const char* fileName) override;
    int iSave(const char* fileName) const;

    int iSearch(uint16_t code, int iMode = 0) const;
    uint8_t ucGetTagValue(uint16_t wc1, uint16_t wc2) const;
    uint8_t cProb2TagVal(double lp) const;

    // Building a table in memory. Codes that are not double-byte Shift-JIS are refused
    // (result 1); 2 when a table is full.
    int iSetTagValue(uint16_t wc1, uint16_t wc2, uint8_t tag);
    int iSetProb(uint16_t wc1, uint16_t wc2, double lp) {
        return iSetTagValue(wc1, wc2, cProb2TagVal(lp));
    }
    // The 256 values must be ascending; 1 otherwise.
    int iSetProbTable(const float* table);
    // Monogram log-probability of a first code (added when absent); sets BGT_FLAG_LOGCOUNT.
    int iSetLogCount(uint16_t wc, float lp);
    void SetTotalCount(int32_t count) { liTotalCount = count; }
    void SetVersionFlags(uint8_t flags) { m_cVerFlag = flags; }
    void DeleteLogCountTable();
    void vClear();

    // The conditional log-probability that a pair of first code wc1 and second code wc2
    // backs off to: log a(wc1) + monogram of wc2 (see above).
    long double dGetBackoffLP(uint16_t wc1, uint16_t wc2) const;

private:
    int iAddFirstCode(uint16_t wc);
    // The conditional value of a pair with tag t, backed off when the flags ask for it.
    long double dConditional(int first, uint8_t t, uint16_t wc2) const;
    // log a(c) per first code, derived from the tags; rebuilt after any change.
    void vMakeBackoff() const;
    mutable std::vector<float> m_fpBackoff;
    mutable bool m_bBackoffStale = true;
    // Position of every first code in wcpCode (-1 when absent), for the lookups of the
    // segmentation search, which ask for millions of pairs; rebuilt after any change.
    void vMakeFirstIndex() const;
    mutable std::vector<int16_t> m_iFirstOfCode;
    mutable bool m_bFirstIndexStale = true;
};
