// Helpers shared by the fuzz programs: scratch files, a pen-input decoder that reaches
// the pathological shapes recognizers must survive, and small dictionaries written with
// the libraries' own writers.
#pragma once

#include "tessera/records.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class FuzzedDataProvider;

namespace fuzz {

// A per-process scratch file name under the temporary directory.
std::string ScratchPath(const std::string& name);
// Writes the bytes to path; false when the file cannot be written.
bool WriteFile(const std::string& path, const uint8_t* data, size_t size);

// Strokes in the string recognizer's units.
using Stroke = std::vector<tagPOINT>;

// Decodes pen input from fuzz data. The first byte picks a shape family: raw samples,
// structured strokes, very long strokes (up to 100,000 points), very many strokes (one-
// point ones included), long lines of characters, extreme coordinates, or nothing at all.
std::vector<Stroke> DecodeStrokes(FuzzedDataProvider& in, size_t max_points = 100000);

// The strokes as one classifier input, coordinates clamped to 16 bits; every stroke gets
// its pen-down and pen-up marks unless raw attributes were asked for.
std::vector<POINT_W> ToPoints(const std::vector<Stroke>& strokes);

// A plain three-stroke character that every small dictionary below can match.
std::vector<POINT_W> FixedCharacter();

// Small dictionaries written once per process: a pattern dictionary with single,
// multi-pattern and composite categories (parts, any-order and positional ones), a coarse
// dictionary of the same characters and a bigram dictionary over their codes.
struct SmallDictionaries {
    std::string pattern; // empty when it could not be written
    std::string coarse;
    std::string bigram;
};
const SmallDictionaries& Small();

// The compiled dictionaries named by TESSERA_FUZZ_DICTS (a folder holding glyphs.crd,
// glyphs.ccd and bigram.cbg), or empty names when the variable is unset or a file is
// missing.
SmallDictionaries Installed();

} // namespace fuzz
