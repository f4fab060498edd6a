// The character bigram dictionary: monogram log-probabilities per character and the
// conditional log-probabilities log P(second | first) of the pairs seen in the text,
// each pair's value quantized to a one-byte tag into a 256-entry table of values.
//
// File (little-endian): "CBG1.1", flags u8 (1 = monogram log counts present, 2 = the
// tags hold conditional probabilities, 4 = a pair not in the table backs off to the
// monograms), 256 float32 tag values (ascending; tag 0 is the floor for a pair not in
// the table), total count i32, pair count i32, n i16, n first codes u16 ascending, n
// float32 monogram log-probabilities, then per first code: m u16, m second codes u16
// ascending, m tags u8.
//
// Smoothing: the seen pairs are discounted (absolute discounting), so that the pairs
// after a first character leave it the probability mass 1 - sum of their values; the
// reader gives a pair not in the table (and at least that to one in it) that mass times
// the monogram probability of the second character. A reader that ignores flag 4 gives
// every unseen pair the floor, as for a table made without smoothing.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/mkdict/corpus.h"

namespace mkdict {

struct BigramTables {
    uint8_t flags = 0;
    std::array<float, 256> prob{}; // value of each tag
    int32_t total = 0;
    int32_t pairs = 0;
    struct First {
        uint16_t code = 0;
        float logp = 0; // monogram log-probability
        std::vector<uint16_t> seconds;
        std::vector<uint8_t> tags;
    };
    std::vector<First> firsts; // ascending codes
};

inline constexpr uint8_t kBigramLogCount = 1, kBigramConditional = 2, kBigramBackoff = 4;

struct BigramOptions {
    // Pairs seen fewer times are left out.
    int min_pair_count = 1;
    // Discounted pair values and flag 4 (see above). Off: relative frequencies, and the
    // floor for every pair not in the table.
    bool backoff = true;
    // Kanji frequency ranks (ReadKanjidicRanks): the kanji's monograms blend the counted
    // frequencies with an estimate from the ranks; rank_weight (0..1) is the share of the
    // rank estimate. Kanji listed there but absent from the text get a monogram too.
    const std::map<uint16_t, int>* ranks = nullptr;
    double rank_weight = 0.5;
};

// Relative frequency of the kanji of rank r among all kanji of running text, for the
// ranks of ReadKanjidicRanks (0 = listed without a rank); the values over all listed
// kanji sum to 1. Shaped after newspaper counts: the first 100 ranks cover about 44 %
// of the text, 500 about 83 %, 1000 about 94 %, 2000 over 99 %.
std::map<uint16_t, double> RankFrequencies(const std::map<uint16_t, int>& ranks);

// Natural logs throughout.
BigramTables MakeBigramTables(const CharCounts& counts, const BigramOptions& options = {});

// What a bigram dictionary is made from: running text files, an EDICT word list and
// KANJIDIC's frequency ranks (an empty path is not read).
struct BigramSources {
    std::vector<std::string> files;
    std::string edict, kanjidic;
};

// What MakeBigramsFromSources read, and the files it could not read.
struct BigramSourceReport {
    int files = 0;           // text files read
    uint64_t characters = 0; // characters of running text
    size_t words = 0;        // word-list entries
    size_t ranked = 0;       // kanji with a KANJIDIC entry
    std::vector<std::string> warnings;
};

// Counts the sources and makes the tables, the kanji monograms blended with the ranks
// read (options.ranks is replaced by them).
BigramTables MakeBigramsFromSources(const BigramSources& sources, BigramOptions options,
                                    BigramSourceReport& report);

// The tag (1..255) whose table value lies nearest to v.
uint8_t QuantizeLogProb(const std::array<float, 256>& prob, double v);

bool WriteBigramDictionary(const std::string& path, const BigramTables& t, std::string& error);
bool ReadBigramDictionary(const std::string& path, BigramTables& t, std::string& error);

} // namespace mkdict
