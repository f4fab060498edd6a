#include "strrec/context.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {
int32_t SatAdd(int32_t a, int32_t b) {
    long long s = static_cast<long long>(a) + b;
    return static_cast<int32_t>(std::clamp<long long>(s, INT32_MIN, INT32_MAX));
}
} // namespace

int aBigramContextProcess::iLoadDictionary(const char* fileName) {
    if (BLP == nullptr || BLP->iLoad(fileName) != 0) return 2;
    return 0;
}

void aBigramContextProcess::InitDictionary() {
    if (auto* table = dynamic_cast<CBigramTable*>(BLP)) table->vClear();
}

int aBigramContextProcess::iCorrectResult(CODE_SCORE** lists, int iCharCount, int iMaxCand) {
    if (iCharCount <= 1) return 0;
    if (lists == nullptr || iMaxCand < 1 || BLP == nullptr) return 1;
    for (int t = 0; t < iCharCount; ++t)
        if (lists[t] == nullptr) return 1;
    try {
        const size_t K = static_cast<size_t>(iMaxCand);
        std::vector<int> count(iCharCount);
        std::vector<ACC_PROBABILITY> acc(static_cast<size_t>(iCharCount) * K);
        std::vector<int> back(static_cast<size_t>(iCharCount) * K, 0);
        // The first entry always counts; the list ends before the first score of 0.
        for (int t = 0; t < iCharCount; ++t) {
            int c = 1;
            while (c < iMaxCand && lists[t][c].score != 0) ++c;
            count[t] = c;
        }
        for (int k = 0; k < count[0]; ++k) acc[k] = {lists[0][k].score, 0.0, 0.0};
        for (int t = 1; t < iCharCount; ++t) {
            const ACC_PROBABILITY* prev = &acc[(t - 1) * K];
            for (int k = 0; k < count[t]; ++k) {
                const uint16_t w = static_cast<uint16_t>(lists[t][k].code);
                ACC_PROBABILITY best{};
                int bestJ = 0;
                for (int j = 0; j < count[t - 1]; ++j) {
                    int32_t g = SatAdd(prev[j].liScore, lists[t][k].score);
                    double h = static_cast<double>(BLP->dGetLP(
                                   static_cast<uint16_t>(lists[t - 1][j].code), w, m_iProbMode)) +
                               prev[j].dLP;
                    double total = g + dWeight * h;
                    if (j == 0 || total > best.dScore) {
                        best = {g, total, h};
                        bestJ = j;
                    }
                }
                acc[t * K + k] = best;
                back[t * K + k] = bestJ;
            }
        }
        const int last = iCharCount - 1;
        int b = 0;
        double bestTotal = 0;
        for (int k = 0; k < count[last]; ++k) {
            const ACC_PROBABILITY& a = acc[last * K + k];
            double total = a.liScore + dWeight * a.dLP;
            if (k == 0 || total > bestTotal) {
                bestTotal = total;
                b = k;
            }
        }
        for (int t = last; t >= 0; --t) {
            int from = back[t * K + b];
            CODE_SCORE chosen = lists[t][b];
            std::copy_backward(lists[t], lists[t] + b, lists[t] + b + 1);
            lists[t][0] = chosen;
            b = from;
        }
        return 0;
    } catch (const std::bad_alloc&) {
        return 1;
    }
}
