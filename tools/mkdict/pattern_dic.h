// The character pattern dictionary built from model drawings: each drawing is prepared
// exactly as the recognizer prepares written input (scaled on its own bounding box and
// reduced to feature points), so that dictionary and input agree point for point.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mkdict/ink.h"

namespace mkdict {

struct PatternPoint {
    uint8_t x = 0, y = 0, attr = 0;
};
using PreparedPattern = std::vector<PatternPoint>;

struct PatternOptions {
    // Segments inside a stroke shorter than this (0..128 units) carry no reliable
    // direction and are matched by position only; 0 switches this off.
    int nodir_below = 0;
};

// The feature-point pattern of a drawing (the recognizer's own input preparation), with
// the dictionary-only point bits of options added. Empty when the drawing has no points.
PreparedPattern PreparePattern(const Ink& ink, const PatternOptions& options);

struct PatternCategory {
    uint16_t code = 0;
    uint8_t status = 0; // small-size class etc.
    std::vector<PreparedPattern> patterns;
};

// Box-coordinate nibbles (width high, height low) of a pattern's extent.
uint8_t SizeNibbles(const PreparedPattern& pattern);

// Opens the recognizer tables the preparation needs; false when out of memory.
bool OpenPatternTables();
void ClosePatternTables();

// Writes the categories in the given order as categories 1..n. False with a message.
bool WritePatternDictionary(const std::string& path, const std::vector<PatternCategory>& cats,
                            std::string& error);

} // namespace mkdict
