// Helpers of the recognition core tests and benchmark: shapes, ink, and small pattern
// dictionaries built with the dictionary writer.
#pragma once

#include "classifier/crcore.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace core_test {

// The value of a member of a packed record (test macros bind references, which a packed
// pointer member cannot take).
template <class T> T Val(T v) {
    return v;
}

using Stroke = std::vector<std::pair<int, int>>;
using Shape = std::vector<Stroke>;

// Points of the strokes with pen-down (2) and pen-up (4) flags.
std::vector<POINT_W> Ink(const Shape& shape);
// A dictionary pattern of the strokes (lengths and directions derived as on loading).
// extra[i], when given, is or-ed into the attr of point i.
void FillPattern(PATTERN_B* pat, const Shape& shape, const std::vector<uint8_t>& extra = {});
// The prepared input pattern of a shape (as the recognizer prepares it).
PATTERN_B Prepared(const Shape& shape);

Shape Ell();   // one stroke: down, then right
Shape Cross(); // a horizontal and a vertical stroke
Shape Kou();   // three strokes
Shape Bar();   // one horizontal stroke
Shape Post();  // one vertical stroke
Shape Zigzag(int seed);
// Every coordinate times num / den, then moved by (ox, oy).
Shape Scaled(const Shape& s, int num, int den, int ox = 0,
             int oy = 0); // a two- or three-stroke shape that varies with seed

struct Cat {
    uint16_t code = 0;
    std::vector<Shape> patterns;
    uint8_t status = 0;
    uint8_t size = 0xFF;
    int part[2] = {0, 0};
    uint8_t pos[2] = {0, 0};
    uint8_t psize[2] = {0xFF, 0xFF};
};

// Builds categories 1..n in memory (0 on success); caller frees with FreeCRDictionary.
int Build(CRDIC* dic, const std::vector<Cat>& cats);
// Builds and writes; 0 on success.
int Write(const std::string& path, const std::vector<Cat>& cats);

class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace core_test
