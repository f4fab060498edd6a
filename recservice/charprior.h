// The character prior: for characters of the same shape (口 and 囗, 力 and カ, 工 and エ),
// how commonly each is meant, as a weight from 0 (rare or unknown) to 255 (the commonest),
// so that they are ranked as writers mean them. Characters of one shape share a group
// number. In a candidate list the members of one group are reordered among the places
// they hold by score plus span * weight / 255: one passes another only when their scores
// lie less than span apart. Candidates of no group, or alone of theirs in the list, keep
// their places; with equal weights, a span of 0 or no prior the order stays as it was.
//
// File (little-endian): "TCPR", version (16 bits, 1), span (16 bits), count (32 bits),
// then count entries of a character code (16 bits, Shift-JIS with the first byte high),
// its weight (8 bits) and its group (16 bits, not 0), in strictly rising code order.
// Codes not listed belong to no group.
#pragma once

#include "tessera/records.h"

#include <cstdint>

struct CHAR_PRIOR {
    int32_t iCount;    // entries
    int32_t iSpan;     // score points the heaviest weight is worth
    uint16_t* pCodes;  // iCount codes, rising
    uint8_t* pWeights; // their weights
    uint16_t* pGroups; // their groups of the same shape (never 0)
};

enum {
    CHARPRIOR_OK = 0,
    CHARPRIOR_NOMEMORY = 1,
    CHARPRIOR_FILE = 3,    // file missing, unreadable or malformed
    CHARPRIOR_ARGUMENT = 5 // null argument, codes not rising, span out of range
};

// Largest span a prior may carry.
inline constexpr int32_t kCharPriorMaxSpan = 1000;

// Loads a prior file into pPrior (which is emptied first). On failure pPrior stays empty.
int iLoadCharPrior(const char* cpFile, CHAR_PRIOR* pPrior);

// Frees what iLoadCharPrior allocated and empties the record; harmless on an empty one.
void vFreeCharPrior(CHAR_PRIOR* pPrior);

// The weight of a code (its low 16 bits); 0 for codes not listed or a null prior.
int iCharPriorWeight(const CHAR_PRIOR* pPrior, uint32_t code);

// The group of a code (its low 16 bits); 0 (no group) for codes not listed or a null prior.
int iCharPriorGroup(const CHAR_PRIOR* pPrior, uint32_t code);

// Writes a prior file: iCount codes in strictly rising order with their weights and
// groups (none 0).
int iWriteCharPrior(const char* cpFile, int32_t iSpan, const uint16_t* pCodes,
                    const uint8_t* pWeights, const uint16_t* pGroups, int32_t iCount);

// Reorders the candidates of pRes (the leading records of the iCount given with a score of
// at least 1; of those, the first 256): the members of each group, among the places they hold, by
// score * 255 + iSpan * weight, highest first, equal keys in their old order. A candidate that
// another passed takes that one's score when its own is higher, so that the scores still fall along
// the list and none rises. A null prior, a span of 0 or less leaves the list as it is. Returns the
// number of candidates.
int iApplyCharPrior(const CHAR_PRIOR* pPrior, int32_t iSpan, CR_RESULT* pRes, int32_t iCount);
