// The coarse classification dictionary built from model drawings: per character the
// stroke statistics ranges and directional templates that the recognizer's own feature
// computation gives for the drawing and for many imitations of writing it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classifier/coarse.h"
#include "tools/mkdict/ink.h"

namespace mkdict {

struct CoarseOptions {
    int samples = 24;       // distorted writings per character
    uint64_t seed_base = 0; // first seed of the training writings
    int templates = 3;      // directional templates per character (k-means centres)
    int extra_strokes = 0;  // added to the stroke-count group so split strokes still match
    double strength = 1.25; // distortion strength of the training writings
    int travel_margin = 0;  // widens the travel ranges on both sides
    int turn_margin = 0;    // widens the turn ranges on both sides
};

// Features of one writing; false when the recognizer's feature computation fails.
bool WritingFeatures(std::vector<POINT_W>& writing, UDATA& out);

// Collects the entries of the characters, one by one.
class CoarseBuilder {
public:
    explicit CoarseBuilder(const CoarseOptions& o) : options_(o) {}
    // Builds and keeps one character's entry; false when no writing of the drawing gives
    // features.
    bool Add(uint16_t code, const Ink& model);
    // Orders the entries as the classifier scans them and writes them.
    bool Write(const std::string& path, std::string& error) const;
    const std::vector<CoarseDicEntry>& Entries() const { return entries_; }

private:
    CoarseOptions options_;
    std::vector<CoarseDicEntry> entries_;
};

} // namespace mkdict
