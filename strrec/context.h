// Viterbi re-ranking of per-character candidate lists with bigram log-probabilities:
// the candidates of the most probable character sequence move to the front of their lists.
#pragma once

#include "strrec/bigram.h"
#include "tessera/seqread.h"

constexpr double D_DEFAULT_WEIGHT = 9.0;

class aContextProcess {
public:
    virtual ~aContextProcess() = default;
    // Reorders lists[0..iCharCount) in place. 0, or 1 when memory is short (lists unchanged).
    virtual int iCorrectResult(CODE_SCORE** lists, int iCharCount, int iMaxCand) = 0;
};

class aBigramContextProcess : public aContextProcess {
public:
    struct ACC_PROBABILITY {
        int32_t liScore; // summed classifier scores of the best path to the candidate
        double dScore;   // total of the best path (work field)
        double dLP;      // summed log-probabilities of that path
    };

    void SetBigramDictionary(CBigTbl* table) { BLP = table; }
    CBigTbl* GetBigramDictionary() const { return BLP; }
    int iLoadDictionary(const char* fileName);
    void InitDictionary();
    void SetWeight(double weight) { dWeight = weight; }
    double GetWeight() const { return dWeight; }
    void SetProbabilityMode(int mode) { m_iProbMode = mode; }

    int iCorrectResult(CODE_SCORE** lists, int iCharCount, int iMaxCand) override;

private:
    CBigTbl* BLP = nullptr;
    double dWeight = D_DEFAULT_WEIGHT;
    int m_iProbMode = 0;
};
