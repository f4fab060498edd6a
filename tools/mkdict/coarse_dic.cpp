#include "tools/mkdict/coarse_dic.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "classifier/coarse.h"
#include "classifier/normalize.h"
#include "tools/mkdict/distort.h"

namespace mkdict {

bool WritingFeatures(std::vector<POINT_W>& writing, UDATA& out) {
    if (writing.empty()) return false;
    PATTERN_W p = AsPattern(writing);
    return UnionData(&p, &out) == 0;
}

namespace {

uint8_t Clamp8(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

long Dist2(const std::array<double, 72>& a, const DFV& b) {
    double s = 0;
    for (int i = 0; i < 72; ++i) s += (a[i] - b.v[i]) * (a[i] - b.v[i]);
    return static_cast<long>(s);
}

DFV Round(const std::array<double, 72>& m) {
    DFV d;
    for (int i = 0; i < 72; ++i) d.v[i] = Clamp8(static_cast<int>(std::lround(m[i])));
    return d;
}

// k-means over the feature vectors, started from the mean split along the farthest
// samples; returns k rounded centres (fewer when the samples do not spread).
std::vector<DFV> Templates(const std::vector<DFV>& v, int k) {
    std::array<double, 72> mean{};
    for (const auto& d : v)
        for (int i = 0; i < 72; ++i) mean[i] += d.v[i];
    for (auto& m : mean) m /= static_cast<double>(v.size());
    if (k <= 1 || v.size() < 4) return {Round(mean)};
    std::vector<std::array<double, 72>> centres{mean};
    // farthest-point seeding
    while (static_cast<int>(centres.size()) < k) {
        long best = -1;
        size_t at = 0;
        for (size_t j = 0; j < v.size(); ++j) {
            long near = -1;
            for (auto& c : centres) {
                long d = Dist2(c, v[j]);
                if (near < 0 || d < near) near = d;
            }
            if (near > best) best = near, at = j;
        }
        std::array<double, 72> c;
        for (int i = 0; i < 72; ++i) c[i] = v[at].v[i];
        centres.push_back(c);
    }
    std::vector<int> owner(v.size(), 0);
    for (int iter = 0; iter < 8; ++iter) {
        for (size_t j = 0; j < v.size(); ++j) {
            long near = -1;
            for (size_t c = 0; c < centres.size(); ++c) {
                long d = Dist2(centres[c], v[j]);
                if (near < 0 || d < near) near = d, owner[j] = static_cast<int>(c);
            }
        }
        for (size_t c = 0; c < centres.size(); ++c) {
            std::array<double, 72> s{};
            int n = 0;
            for (size_t j = 0; j < v.size(); ++j)
                if (owner[j] == static_cast<int>(c)) {
                    ++n;
                    for (int i = 0; i < 72; ++i) s[i] += v[j].v[i];
                }
            if (n == 0) continue;
            for (auto& x : s) x /= n;
            centres[c] = s;
        }
    }
    std::vector<DFV> out;
    for (auto& c : centres) out.push_back(Round(c));
    return out;
}

} // namespace

bool CoarseBuilder::Add(uint16_t code, const Ink& model) {
    std::vector<UDATA> feats;
    {
        std::vector<POINT_W> clean = CleanWriting(model, 128);
        UDATA u;
        if (WritingFeatures(clean, u)) feats.push_back(u);
    }
    DistortionParams params;
    params.strength = options_.strength;
    for (int j = 0; j < options_.samples; ++j) {
        uint64_t seed = options_.seed_base + static_cast<uint64_t>(code) * 1024 + j;
        std::vector<POINT_W> w = DistortedWriting(model, seed, params);
        UDATA u;
        if (WritingFeatures(w, u)) feats.push_back(u);
    }
    if (feats.empty()) return false;
    CoarseDicEntry e;
    e.code = code;
    int xl_max = 0, xl_min = 255, yl_max = 0, yl_min = 255, xt_max = 0, xt_min = 255, yt_max = 0,
        yt_min = 255;
    for (const auto& u : feats) {
        const STDATA& s = u.stdata;
        xl_max = std::max(xl_max, s.xlen), xl_min = std::min(xl_min, s.xlen);
        yl_max = std::max(yl_max, s.ylen), yl_min = std::min(yl_min, s.ylen);
        xt_max = std::max(xt_max, s.xturn), xt_min = std::min(xt_min, s.xturn);
        yt_max = std::max(yt_max, s.yturn), yt_min = std::min(yt_min, s.yturn);
    }
    e.oncd.k_max = Clamp8(static_cast<int>(model.size()) + options_.extra_strokes);
    const int tm = options_.travel_margin, nm = options_.turn_margin;
    e.oncd.xlen_max = Clamp8(xl_max + tm), e.oncd.xlen_min = Clamp8(xl_min - tm);
    e.oncd.ylen_max = Clamp8(yl_max + tm), e.oncd.ylen_min = Clamp8(yl_min - tm);
    e.oncd.xturn_max = Clamp8(xt_max + nm), e.oncd.xturn_min = Clamp8(xt_min - nm);
    e.oncd.yturn_max = Clamp8(yt_max + nm), e.oncd.yturn_min = Clamp8(yt_min - nm);
    std::vector<DFV> v;
    for (const auto& u : feats) v.push_back(u.dfv);
    e.templates = Templates(v, options_.templates);
    entries_.push_back(std::move(e));
    return true;
}

bool CoarseBuilder::Write(const std::string& path, std::string& error) const {
    std::vector<CoarseDicEntry> all = entries_;
    SortCoarseDicEntries(all);
    int r = WriteCoarseClassificationDic(path, all);
    if (r != 0) {
        error = path + ": cannot write the coarse dictionary (" + std::to_string(r) + ")";
        return false;
    }
    return true;
}

} // namespace mkdict
