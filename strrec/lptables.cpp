#include "strrec/lptables.h"

#include "strrec/charkind.h"

#include <algorithm>

aSRLP g_srlp;

aSRLP::aSRLP()
    : m_fSimX{1024, 900, 884, 868, 852, 844, 836, 828, 820, 812, 804,
              788,  772, 756, 740, 724, 708, 676, 644, 612, 500, 0},
      m_fSimV{0.0f,    -0.26f,  -0.3f,   -0.427f, -0.612f, -0.726f, -0.879f, -1.047f,
              -1.231f, -1.467f, -1.665f, -2.16f,  -2.68f,  -3.151f, -3.531f, -3.954f,
              -4.291f, -4.959f, -5.097f, -5.645f, -6.0f,   -9.999f} {
    m_fSimV[21] = _fLnZero;
    m_bgc.SetBigramDictionary(&m_bgt);
}

float aSRLP::fGetSimLP(int score) const {
    float value = _fLnZero;
    const float s = static_cast<float>(score);
    for (int n = 0; n < 21; ++n) {
        const float xn = m_fSimX[n], xn1 = m_fSimX[n + 1], vn = m_fSimV[n], vn1 = m_fSimV[n + 1];
        if (s >= xn1 && s <= xn) value = ((vn1 - vn) * s + xn1 * vn - xn * vn1) / (xn1 - xn);
    }
    return value;
}

float aSRLP::fGetBoxLP(int box, uint32_t code) const {
    return lptables::kBoxLP[std::clamp(box, 0, 160)][iTellCharCodeKind(code)];
}

float aSRLP::fGetDivLP(int dist) const {
    return lptables::kDivLP[std::clamp(dist, 10, 200) - 10];
}

float aSRLP::fGetCmbLP(int dist) const {
    return lptables::kCmbLP[std::clamp(dist, -100, 110) + 100];
}

float aSRLP::fGetMgrLP(uint32_t code) const {
    return static_cast<float>(m_bgt.dGetLP(static_cast<uint16_t>(code)));
}

float aSRLP::fGetBgrLP(uint32_t prevCode, uint32_t code) const {
    return static_cast<float>(
        m_bgt.dGetLP(static_cast<uint16_t>(prevCode), static_cast<uint16_t>(code), 1));
}
