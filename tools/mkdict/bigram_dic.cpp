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

std::map<uint16_t, double> RankFrequencies(const std::map<uint16_t, int>& ranks) {
    // 1/(r + 50) with an exponential fall beyond the first thousand ranks; a kanji
    // without a rank counts as rank 3000.
    auto shape = [](int r) { return std::exp(-r / 800.0) / (r + 50.0); };
    std::map<uint16_t, double> f;
    double sum = 0;
    for (const auto& [code, rank] : ranks) {
        double v = shape(rank > 0 ? rank : 3000);
        f[code] = v;
        sum += v;
    }
    for (auto& [code, v] : f) v /= sum;
    return f;
}

namespace {

// Monogram probabilities: the counted relative frequencies, the kanji's blended with
// the rank estimate inside the share of kanji that the text has (all of it when the
// text has none), so that kana and the other characters keep their counted share.
std::map<uint16_t, double> MonogramProbabilities(const CharCounts& counts, const BigramOptions& o) {
    std::map<uint16_t, double> p;
    const double total = static_cast<double>(counts.Total());
    for (const auto& [code, n] : counts.Monograms()) p[code] = static_cast<double>(n) / total;
    if (!o.ranks || o.ranks->empty()) return p;
    const double w = std::clamp(o.rank_weight, 0.0, 1.0);
    double kanji = 0;
    for (const auto& [code, rank] : *o.ranks)
        if (auto it = p.find(code); it != p.end()) kanji += it->second;
    const bool text_kanji = kanji > 0;
    if (!text_kanji) kanji = p.empty() ? 1.0 : 0.0;
    if (kanji == 0) return p; // text without a single kanji: nothing to blend into
    for (const auto& [code, f] : RankFrequencies(*o.ranks)) {
        auto it = p.find(code);
        const double counted = it == p.end() ? 0.0 : it->second;
        const double v = text_kanji ? (1 - w) * counted + w * kanji * f : f;
        if (v > 0) p[code] = v;
    }
    return p;
}

// Absolute discount of the pair counts (Ney's estimate n1 / (n1 + 2 n2)).
double PairDiscount(const CharCounts& counts) {
    double n1 = 0, n2 = 0;
    for (const auto& [first, seconds] : counts.Bigrams())
        for (const auto& [second, n] : seconds) {
            n1 += n == 1;
            n2 += n == 2;
        }
    double d = n1 + 2 * n2 > 0 ? n1 / (n1 + 2 * n2) : 0.5;
    return std::clamp(d, 0.3, 0.9);
}

} // namespace

BigramTables MakeBigramTables(const CharCounts& counts, const BigramOptions& o) {
    BigramTables t;
    t.flags = kBigramLogCount | kBigramConditional | (o.backoff ? kBigramBackoff : 0);
    uint64_t total = std::max<uint64_t>(counts.Total(), 1);
    const double discount = o.backoff ? PairDiscount(counts) : 0.0;
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
            if (n < static_cast<uint64_t>(std::max(1, o.min_pair_count))) continue;
            double lp = std::log((static_cast<double>(n) - discount) / static_cast<double>(after));
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
    double least = 1;
    for (const auto& [code, p] : MonogramProbabilities(counts, o)) {
        BigramTables::First f;
        f.code = code;
        f.logp = static_cast<float>(std::log(p));
        t.firsts.push_back(std::move(f));
        least = std::min(least, p);
    }
    // A character not in the table takes -log(total): keep that below every character in
    // it, also where the ranks brought in kanji rarer than one count of the text.
    const double floor_total = std::min(std::ceil(1 / least * (1 - 1e-9)),
                                        static_cast<double>(std::numeric_limits<int32_t>::max()));
    total = std::max(total, static_cast<uint64_t>(floor_total));
    t.total = static_cast<int32_t>(std::min<uint64_t>(total, std::numeric_limits<int32_t>::max()));
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

BigramTables MakeBigramsFromSources(const BigramSources& sources, BigramOptions options,
                                    BigramSourceReport& report) {
    report = BigramSourceReport{};
    CharCounts counts;
    std::string error;
    for (const auto& f : sources.files) {
        if (auto text = RunningTextOfFile(f, error)) {
            counts.AddText(*text);
            ++report.files;
        } else {
            report.warnings.push_back(error);
        }
    }
    report.characters = counts.Total();
    // The word list and the ranks are text without markup, whatever their names.
    auto read = [&](const std::string& path) {
        auto text = TextOfFile(path, error);
        if (!text) report.warnings.push_back(error);
        return text;
    };
    if (!sources.edict.empty())
        if (auto text = read(sources.edict)) report.words = AddEdictWords(counts, *text);
    std::map<uint16_t, int> ranks;
    if (!sources.kanjidic.empty())
        if (auto text = read(sources.kanjidic)) ranks = ReadKanjidicRanks(*text);
    report.ranked = ranks.size();
    options.ranks = &ranks;
    return MakeBigramTables(counts, options);
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
