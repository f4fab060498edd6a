// The coarse classification dictionary built from model drawings: per character the
// stroke statistics ranges and directional templates that the recognizer's own feature
// computation gives for the drawing and for many imitations of writing it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mkdict/ink.h"

struct UDATA;

namespace mkdict {

struct CoarseOptions {
    int samples = 24;       // distorted writings per character
    uint64_t seed_base = 0; // first seed of the training writings
    int templates = 1;      // directional templates per character: the mean, then clusters
    int extra_strokes = 0;  // added to the stroke-count group so split strokes still match
    double strength = 1.0;  // distortion strength of the training writings
};

// Features of one writing; false when the recognizer's feature computation fails.
bool WritingFeatures(std::vector<POINT_W>& writing, UDATA& out);

// Builds one character's entry (code, ranges, templates) and appends it to entries.
// Entries are in the writer's record type, kept opaque here.
struct CoarseBuilder {
    explicit CoarseBuilder(const CoarseOptions& o) : options(o) {}
    // False when no writing of the drawing gives features.
    bool Add(uint16_t code, const Ink& model);
    // Orders the entries as the classifier scans them and writes them.
    bool Write(const std::string& path, std::string& error);
    size_t Count() const;

    CoarseOptions options;

private:
    struct Entry;
    std::vector<Entry> entries_;

public:
    CoarseBuilder(const CoarseBuilder&) = delete;
    CoarseBuilder& operator=(const CoarseBuilder&) = delete;
    ~CoarseBuilder();
};

} // namespace mkdict
