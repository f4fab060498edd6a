// The character bigram dictionary: monogram log-probabilities per character and the
// conditional log-probabilities log P(second | first) of the pairs seen in the text,
// each pair's value quantized to a one-byte tag into a 256-entry table of values.
//
// File (little-endian): "CBG1.1", flags u8 (1 = monogram log counts present, 2 = the
// tags hold conditional probabilities), 256 float32 tag values (ascending; tag 0 is the
// floor for a pair not in the table), total count i32, pair count i32, n i16, n first
// codes u16 ascending, n float32 monogram log-probabilities, then per first code: m u16,
// m second codes u16 ascending, m tags u8.
#pragma once

#include <array>
#include <cstdint>
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

// Natural logs throughout. Pairs seen fewer than min_pair_count times are left out
// (they take the floor value).
BigramTables MakeBigramTables(const CharCounts& counts, int min_pair_count = 1);

// The tag (1..255) whose table value lies nearest to v.
uint8_t QuantizeLogProb(const std::array<float, 256>& prob, double v);

bool WriteBigramDictionary(const std::string& path, const BigramTables& t, std::string& error);
bool ReadBigramDictionary(const std::string& path, BigramTables& t, std::string& error);

} // namespace mkdict
