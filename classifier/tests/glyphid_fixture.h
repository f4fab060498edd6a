// Helpers of the classifier library tests: ink, small pattern and coarse dictionaries.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "classifier/coarse.h"
#include "tessera/records.h"

namespace glyphid_test {

using Stroke = std::vector<std::pair<int, int>>;
using Shape = std::vector<Stroke>;

// Points of the strokes with pen-down and pen-up flags.
std::vector<POINT_W> Ink(const Shape& shape);

// Shapes on the 0..128 square, usable both as dictionary patterns and as input.
Shape Cross(); // a horizontal and a vertical stroke crossing in the middle
Shape Ell();   // one stroke: down, then right
Shape Kou();   // three strokes: top bar, middle post, bottom bar
Shape Slash(); // one diagonal stroke
Shape Scaled(const Shape& s, int num, int den, int ox = 0, int oy = 0);

struct Category {
    uint16_t code = 0;
    std::vector<Shape> patterns;
    uint8_t status = 0;
    uint8_t size = 0xFF;
    // Parts of a composite (status flag 1): category numbers with their box.
    int part[2] = {0, 0};
    uint8_t pos[2] = {0, 0};
    uint8_t partSize[2] = {0xFF, 0xFF};
};

// Writes categories 1..n; true on success.
bool WritePatternDictionary(const std::string& path, const std::vector<Category>& cats);

// Coarse entries matching an ink exactly, at distance d*d, in group k.
CoarseDicEntry CoarseEntry(uint16_t code, const std::vector<POINT_W>& ink, int d = 0);
bool WriteCoarse(const std::string& path, std::vector<CoarseDicEntry> entries);

// A fresh folder removed at destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace glyphid_test
