// The model pattern dictionary: every character's strokes as byte pairs, for showing a
// model drawing and scoring writing against it.
//
// File (little-endian): header of 12 bytes -- data base u32, entry count u16, format
// version u16, reference width u16, reference height u16 -- then the index of 10-byte
// entries sorted by code (code u16, data offset u32 relative to the data base, data size
// u32), then the data: (x, y) byte pairs, (255, 255) after every stroke but the last and
// (254, 254) after the last.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mkdict/ink.h"

namespace mkdict {

// Coordinates of the stored models run from 0 to this value (the KanjiVG box doubled).
constexpr int kModelBoxSize = 218;
constexpr uint16_t kModelFormatVersion = 1;

struct ModelEntry {
    uint16_t code = 0;
    std::vector<std::vector<std::pair<uint8_t, uint8_t>>> strokes;
};

// The model of a KanjiVG drawing: strokes scaled into the model box and thinned to the
// points that keep the shape within half a unit. Strokes never come out empty.
ModelEntry MakeModelEntry(uint16_t code, const Ink& ink);

// Writes the dictionary (entries in any order; they are sorted by code, and of equal
// codes the first is kept). False with a message when nothing valid can be written.
bool WriteModelDictionary(const std::string& path, std::vector<ModelEntry> entries,
                          std::string& error);

// Reads a dictionary written above back (for checks); false with a message on a bad file.
bool ReadModelDictionary(const std::string& path, std::vector<ModelEntry>& entries,
                         uint16_t& ref_width, uint16_t& ref_height, std::string& error);

} // namespace mkdict
