// The model pattern dictionary: reference drawings of characters, one per code.
//
// File layout (little-endian): data base (u32), entry count N (u16), a field the service
// does not read (u16), reference width and height (u16 each), then N index entries of
// 10 bytes sorted by code: code (u16), data offset (u32, from the data base), 4 bytes the
// service does not read. A model is a run of (x, y) byte pairs; a pair whose bytes are
// both 254 or more ends the current stroke, and (254, 254) ends the model.
//
// Only the codes stay in memory; every request reopens the file and reads its entry.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace veltarec {

// Loads the code index from path; true at once when an index is already loaded. Fails
// for a missing or unreadable file and for an entry count of 0.
bool LoadModelIndex(const std::string& path);
void ReleaseModelIndex();

uint16_t ModelReferenceWidth();
uint16_t ModelReferenceHeight();

// Reads the pairs of one model from the file, start to end, as often as asked.
class ModelReader {
public:
    ModelReader() = default;
    ModelReader(const ModelReader&) = delete;
    ModelReader& operator=(const ModelReader&) = delete;
    ~ModelReader();

    // Opens the model of code (only the low 16 bits count). False when the code has no
    // model or the file cannot be read.
    bool Open(uint32_t code);
    // The next pair; false at the end of the file or on a read error (a model whose
    // final marker is missing).
    bool Next(uint8_t& x, uint8_t& y);
    // Back to the model's first pair.
    bool Rewind();

    static bool IsMarker(uint8_t x, uint8_t y) { return x >= 254 && y >= 254; }
    static bool IsEnd(uint8_t x, uint8_t y) { return x == 254 && y == 254; }

private:
    std::FILE* file_ = nullptr;
    long start_ = 0;
};

} // namespace veltarec
