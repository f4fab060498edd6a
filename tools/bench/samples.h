// Bench samples: a character code and its writing as input points. They come from
// KanjiVG drawings with seeded imitations of writing, or from JSON lines of real writing:
//     {"char": "明", "strokes": [[[x, y], ...], ...]}      (y downwards)
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "tessera/records.h"

namespace bench {

struct Sample {
    uint16_t code = 0; // CP932 code of the expected character
    std::vector<POINT_W> points;
    bool with_errors = false;  // imitated with a stroke order or direction error
    int joins = 0, splits = 0; // strokes joined and lifted at corners in the imitation
};

// Parses one JSON line. False with a message for malformed JSON, a missing or unknown
// character, empty strokes or coordinates out of the 16-bit range.
bool ParseSampleLine(const std::string& line, Sample& out, std::string& error);

// The JSON line of a sample (the inverse of ParseSampleLine).
std::string SampleLine(const Sample& s);

// Reads every non-blank line; lines that fail are reported in errors (with their line
// number) and skipped.
std::vector<Sample> ReadSampleLines(std::istream& in, std::vector<std::string>& errors);

// Median and 95th percentile of a set of values (nearest-rank); 0 for an empty set.
double Percentile(std::vector<double> values, double p);

} // namespace bench
