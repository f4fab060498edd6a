#include "tools/mkdict/bigram_dic.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

namespace mkdict {

namespace {

constexpr char kMagic[] = "CBG1.1";

template <class T> void Put(std::string& s, T v) {
    char b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T)); // the format is little-endian, as this machine
    s.append(b, sizeof(T));
}

template <class T> bool Take(const std::string& s, size_t& at, T& v) {
    if (at + sizeof(T) > s.size()) return false;
    std::memcpy(&v, s.data() + at, sizeof(T));
    at += sizeof(T);
    return true;
}

} // namespace

uint8_t QuantizeLogProb(const std::array<float, 256>& prob, double v) {
    auto it = std::lower_bound(prob.begin() + 1, prob.end(), static_cast<float>(v));
    if (it == prob.end()) return 255;
    if (it == prob.begin() + 1) return 1;
    size_t i = static_cast<size_t>(it - prob.begin());
    return static_cast<uint8_t>(v - prob[i - 1] <= prob[i] - v ? i - 1 : i);
}

BigramTables MakeBigramTables(const CharCounts& counts, int min_pair_count) {
    BigramTables t;
    t.flags = 1 | 2;
    uint64_t total = std::max<uint64_t>(counts.Total(), 1);
    t.total = static_cast<int32_t>(std::min<uint64_t>(total, std::numeric_limits<int32_t>::max()));
    // Conditional log-probabilities of the kept pairs, and their range.
    double lo = 0, hi = -std::numeric_limits<double>::infinity();
    struct Pair {
        uint16_t first, second;
        double logp;
    };
    std::vector<Pair> kept;
    for (const auto& [first, seconds] : counts.Bigrams()) {
        uint64_t after = 0;
        for (const auto& [second, n] : seconds) after += n;
        for (const auto& [second, n] : seconds) {
            if (n < static_cast<uint64_t>(std::max(1, min_pair_count))) continue;
            double lp = std::log(static_cast<double>(n) / static_cast<double>(after));
            kept.push_back({first, second, lp});
            lo = std::min(lo, lp);
            hi = std::max(hi, lp);
        }
    }
    if (kept.empty()) hi = 0, lo = -1;
    if (hi - lo < 1e-6) lo = hi - 1;
    // Tags 1..255 spread evenly over the seen range; tag 0, the floor, lies one step of
    // natural log below the least likely seen pair.
    t.prob[0] = static_cast<float>(lo - 1.0);
    for (int i = 1; i < 256; ++i) t.prob[i] = static_cast<float>(lo + (hi - lo) * (i - 1) / 254.0);
    for (const auto& [code, n] : counts.Monograms()) {
        BigramTables::First f;
        f.code = code;
        f.logp = static_cast<float>(std::log(static_cast<double>(n) / static_cast<double>(total)));
        t.firsts.push_back(std::move(f));
    }
    // counts keep their maps sorted, so pairs come ordered by first, then second code
    size_t fi = 0;
    for (const auto& p : kept) {
        while (t.firsts[fi].code != p.first) ++fi;
        t.firsts[fi].seconds.push_back(p.second);
        t.firsts[fi].tags.push_back(QuantizeLogProb(t.prob, p.logp));
    }
    t.pairs = static_cast<int32_t>(kept.size());
    return t;
}

bool WriteBigramDictionary(const std::string& path, const BigramTables& t, std::string& error) {
    if (t.firsts.size() > 0x7FFF) {
        error = "too many characters for the bigram table";
        return false;
    }
    std::string s(kMagic, 6);
    Put<uint8_t>(s, t.flags);
    for (float v : t.prob) Put<float>(s, v);
    Put<int32_t>(s, t.total);
    Put<int32_t>(s, t.pairs);
    Put<int16_t>(s, static_cast<int16_t>(t.firsts.size()));
    for (const auto& f : t.firsts) Put<uint16_t>(s, f.code);
    if (t.flags & 1)
        for (const auto& f : t.firsts) Put<float>(s, f.logp);
    for (const auto& f : t.firsts) {
        if (f.seconds.size() > 0x7FFF || f.tags.size() != f.seconds.size()) {
            error = "bad second-code table";
            return false;
        }
        Put<uint16_t>(s, static_cast<uint16_t>(f.seconds.size()));
        for (uint16_t c : f.seconds) Put<uint16_t>(s, c);
        s.append(reinterpret_cast<const char*>(f.tags.data()), f.tags.size());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << s;
    out.close();
    if (!out) {
        error = path + ": cannot write";
        std::remove(path.c_str());
        return false;
    }
    return true;
}

bool ReadBigramDictionary(const std::string& path, BigramTables& t, std::string& error) {
    t = BigramTables{};
    std::ifstream in(path, std::ios::binary);
    std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        error = path + ": cannot read";
        return false;
    }
    if (s.size() < 6 || s.compare(0, 6, kMagic) != 0) {
        error = path + ": not a bigram dictionary";
        return false;
    }
    size_t at = 6;
    int16_t n = 0;
    bool ok = Take(s, at, t.flags);
    for (auto& v : t.prob) ok = ok && Take(s, at, v);
    ok = ok && Take(s, at, t.total) && Take(s, at, t.pairs) && Take(s, at, n) && n >= 0;
    if (ok) t.firsts.resize(static_cast<size_t>(n));
    for (auto& f : t.firsts) ok = ok && Take(s, at, f.code);
    if (t.flags & 1)
        for (auto& f : t.firsts) ok = ok && Take(s, at, f.logp);
    for (auto& f : t.firsts) {
        uint16_t m = 0;
        ok = ok && Take(s, at, m);
        if (!ok) break;
        f.seconds.resize(m);
        f.tags.resize(m);
        for (auto& c : f.seconds) ok = ok && Take(s, at, c);
        for (auto& g : f.tags) ok = ok && Take(s, at, g);
    }
    if (!ok) {
        error = path + ": cut short";
        return false;
    }
    return true;
}

} // namespace mkdict
