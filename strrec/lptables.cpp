#include "strrec/lptables.h"

#include "strrec/charkind.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

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

void aSRLP::vSetEvalTables(const EVALTABLES* tables) {
    m_bFitted = tables != nullptr;
    if (tables != nullptr) m_fit = *tables;
    m_bgc.SetWeight(tables != nullptr ? tables->fCorrectWeight : D_DEFAULT_WEIGHT);
}

float aSRLP::fGetSimLP(int score) const {
    if (m_bFitted) return m_fit.fSim[std::clamp(score, 0, 1024)];
    float value = _fLnZero;
    const float s = static_cast<float>(score);
    for (int n = 0; n < 21; ++n) {
        const float xn = m_fSimX[n], xn1 = m_fSimX[n + 1], vn = m_fSimV[n], vn1 = m_fSimV[n + 1];
        if (s >= xn1 && s <= xn) value = ((vn1 - vn) * s + xn1 * vn - xn * vn1) / (xn1 - xn);
    }
    return value;
}

float aSRLP::fGetBoxLP(int box, uint32_t code) const {
    const int b = std::clamp(box, 0, 160), kind = iTellCharCodeKind(code);
    return m_bFitted ? m_fit.fBox[b][kind] : lptables::kBoxLP[b][kind];
}

float aSRLP::fGetDivLP(int dist) const {
    const int d = std::clamp(dist, 10, 200) - 10;
    return m_bFitted ? m_fit.fDiv[d] : lptables::kDivLP[d];
}

float aSRLP::fGetCmbLP(int dist) const {
    const int d = std::clamp(dist, -100, 110) + 100;
    return m_bFitted ? m_fit.fCmb[d] : lptables::kCmbLP[d];
}

float aSRLP::fWeighLangLP(double lp) const {
    const float v = static_cast<float>(lp);
    return m_bFitted ? m_fit.fLangWeight * std::max(v, m_fit.fLangFloor) : v;
}

float aSRLP::fGetMgrLP(uint32_t code) const {
    return fWeighLangLP(m_bgt.dGetLP(static_cast<uint16_t>(code)));
}

float aSRLP::fGetBgrLP(uint32_t prevCode, uint32_t code) const {
    return fWeighLangLP(
        m_bgt.dGetLP(static_cast<uint16_t>(prevCode), static_cast<uint16_t>(code), 1));
}

namespace {

bool Valid(const EVALTABLES& t) {
    const float* v = reinterpret_cast<const float*>(&t);
    for (size_t n = 0; n < sizeof t / sizeof(float); ++n)
        if (!std::isfinite(v[n])) return false;
    return t.fLangWeight >= 0 && t.fCorrectWeight >= 0 && t.fLangFloor <= 0;
}

} // namespace

int iLoadEvalTables(const char* fileName, EVALTABLES& out) {
    if (fileName == nullptr) return 3;
    std::FILE* f = std::fopen(fileName, "rb");
    if (f == nullptr) return 3;
    char magic[sizeof EVALTABLES_VERSION];
    EVALTABLES t;
    t.fLangFloor = kNoLangFloor;
    char extra;
    bool ok = std::fread(magic, sizeof magic, 1, f) == 1;
    if (ok && std::memcmp(magic, EVALTABLES_VERSION, sizeof magic) == 0)
        ok = std::fread(&t, sizeof t, 1, f) == 1;
    else if (ok && std::memcmp(magic, EVALTABLES_VERSION_1_0, sizeof magic) == 0)
        ok = std::fread(&t, EVALTABLES_FILE_SIZE_1_0 - sizeof magic, 1, f) == 1;
    else
        ok = false;
    ok = ok && std::fread(&extra, 1, 1, f) == 0;
    std::fclose(f);
    if (!ok || !Valid(t)) return 3;
    out = t;
    return 0;
}

int iSaveEvalTables(const char* fileName, const EVALTABLES& tables) {
    if (fileName == nullptr || !Valid(tables)) return 3;
    std::FILE* f = std::fopen(fileName, "wb");
    if (f == nullptr) return 3;
    bool ok = std::fwrite(EVALTABLES_VERSION, sizeof EVALTABLES_VERSION, 1, f) == 1 &&
              std::fwrite(&tables, sizeof tables, 1, f) == 1;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::remove(fileName);
    return ok ? 0 : 3;
}
