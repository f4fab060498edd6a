// The language-probability model of the segmentation search: the bigram table, the
// context corrector attached to it, and the fixed tables of similarity, box, division and
// combination log-probabilities (natural logarithms).
#pragma once

#include "strrec/bigram.h"
#include "strrec/context.h"

#include <cstdint>

namespace lptables {
extern const float kBoxLP[161][6];
extern const float kDivLP[191];
extern const float kCmbLP[211];
} // namespace lptables

constexpr float g_fMinFloatVal = -9999.0f;
constexpr float _fLnZero = -9.999f;

// Evaluation tables fitted to a dictionary set (file written by the dictionary
// compiler's fit step). Little-endian file: the magic "CLP1.1" (6 bytes, no terminator),
// then IEEE 32-bit floats: similarity by classifier score 0..1024 (1,025), box by width
// 0..160 and character kind (161 rows of 6), division by distance 10..200 (191),
// combination by distance -100..110 (211), the weight of the monogram and bigram terms
// in the segmentation search, the weight of the correction pass (replacing 9.0), and the
// floor of the language terms: the least log-probability a monogram or bigram term
// counts with in the segmentation search, before its weight. The floor keeps the
// rarity of a character out of the search below a point, so that a rare kanji written
// clearly is not read as a common one of similar shape, while the language model still
// decides between common characters. Files of version "CLP1.0" end before the floor and
// load without one (kNoLangFloor).
struct EVALTABLES {
    float fSim[1025];
    float fBox[161][6];
    float fDiv[191];
    float fCmb[211];
    float fLangWeight;
    float fCorrectWeight;
    float fLangFloor;
};
constexpr char EVALTABLES_VERSION[6] = {'C', 'L', 'P', '1', '.', '1'};
constexpr char EVALTABLES_VERSION_1_0[6] = {'C', 'L', 'P', '1', '.', '0'};
constexpr long EVALTABLES_FILE_SIZE = 6 + static_cast<long>(sizeof(EVALTABLES));
constexpr long EVALTABLES_FILE_SIZE_1_0 = EVALTABLES_FILE_SIZE - 4;
static_assert(sizeof(EVALTABLES) == 4 * (1025 + 161 * 6 + 191 + 211 + 3));
// A floor that no log-probability reaches: the language terms count in full.
constexpr float kNoLangFloor = -1.0e30f;

// Reads or writes a table file: 0, 3 when it cannot be opened, read or written, or is not
// such a file (wrong magic or size, a value that is not finite, a weight below 0, a floor
// above 0). Writing always writes the current version.
int iLoadEvalTables(const char* fileName, EVALTABLES& out);
int iSaveEvalTables(const char* fileName, const EVALTABLES& tables);

class aSRLP {
public:
    aSRLP();

    // Fitted tables replace the fixed ones (and the correction's weight); null returns
    // to the fixed tables and the default weight.
    void vSetEvalTables(const EVALTABLES* tables);
    bool bFitted() const { return m_bFitted; }

    float fGetSimLP(int score) const;
    float fGetBoxLP(int box, uint32_t code) const;
    float fGetDivLP(int dist) const;
    float fGetCmbLP(int dist) const;
    float fGetMgrLP(uint32_t code) const;
    float fGetBgrLP(uint32_t prevCode, uint32_t code) const;

    CBigramTable m_bgt;
    aBigramContextProcess m_bgc;

private:
    // A monogram or bigram log-probability as the search counts it: with the fitted
    // tables, raised to their floor and weighted; with the fixed ones, as it is.
    float fWeighLangLP(double lp) const;

    float m_fSimX[22];
    float m_fSimV[22];
    bool m_bFitted = false;
    EVALTABLES m_fit{};
};

// The process-wide model.
extern aSRLP g_srlp;
