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

class aSRLP {
public:
    aSRLP();

    float fGetSimLP(int score) const;
    float fGetBoxLP(int box, uint32_t code) const;
    float fGetDivLP(int dist) const;
    float fGetCmbLP(int dist) const;
    float fGetMgrLP(uint32_t code) const;
    float fGetBgrLP(uint32_t prevCode, uint32_t code) const;

    CBigramTable m_bgt;
    aBigramContextProcess m_bgc;

private:
    float m_fSimX[22];
    float m_fSimV[22];
};

// The process-wide model.
extern aSRLP g_srlp;
