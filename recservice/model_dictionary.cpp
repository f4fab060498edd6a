#include "recservice/model_dictionary.h"

#include <climits>
#include <vector>

namespace veltarec {
namespace {

constexpr long kHeaderSize = 12;
constexpr long kEntrySize = 10;

struct ModelIndex {
    bool loaded = false;
    std::string path;
    uint32_t dataBase = 0;
    uint16_t count = 0;
    std::vector<uint16_t> codes;
    uint16_t refWidth = 0;
    uint16_t refHeight = 0;
};

ModelIndex& Index() {
    static ModelIndex index;
    return index;
}

bool ReadU16(std::FILE* f, uint16_t& v) {
    unsigned char b[2];
    if (std::fread(b, 1, 2, f) != 2) return false;
    v = static_cast<uint16_t>(b[0] | (b[1] << 8));
    return true;
}

bool ReadU32(std::FILE* f, uint32_t& v) {
    unsigned char b[4];
    if (std::fread(b, 1, 4, f) != 4) return false;
    v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
        (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return true;
}

// Binary search over the ascending code array; -1 when the code is not indexed.
long FindCode(uint16_t code) {
    const ModelIndex& index = Index();
    if (!index.loaded) return -1;
    long low = 0;
    long high = static_cast<long>(index.count) - 1;
    while (low <= high) {
        const long mid = (low + high) / 2;
        if (index.codes[static_cast<size_t>(mid)] == code) return mid;
        if (index.codes[static_cast<size_t>(mid)] < code)
            low = mid + 1;
        else
            high = mid - 1;
    }
    return -1;
}

} // namespace

bool LoadModelIndex(const std::string& path) {
    ModelIndex& index = Index();
    if (index.loaded) return true;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    ModelIndex fresh;
    uint16_t unused = 0;
    bool ok = ReadU32(f, fresh.dataBase) && ReadU16(f, fresh.count) && ReadU16(f, unused) &&
              ReadU16(f, fresh.refWidth) && ReadU16(f, fresh.refHeight) && fresh.count > 0;
    if (ok) {
        fresh.codes.resize(fresh.count);
        for (uint16_t i = 0; ok && i < fresh.count; ++i)
            ok = ReadU16(f, fresh.codes[i]) && std::fseek(f, kEntrySize - 2, SEEK_CUR) == 0;
    }
    // The last entry's skipped bytes must exist as well: a file cut short inside the
    // index is unreadable.
    if (ok) {
        std::fseek(f, -1, SEEK_CUR);
        unsigned char last;
        ok = std::fread(&last, 1, 1, f) == 1;
    }
    std::fclose(f);
    if (!ok) return false;
    fresh.path = path;
    fresh.loaded = true;
    index = std::move(fresh);
    return true;
}

void ReleaseModelIndex() {
    Index() = ModelIndex{};
}

uint16_t ModelReferenceWidth() {
    return Index().refWidth;
}
uint16_t ModelReferenceHeight() {
    return Index().refHeight;
}

ModelReader::~ModelReader() {
    if (file_) std::fclose(file_);
}

bool ModelReader::Open(uint32_t code) {
    const long at = FindCode(static_cast<uint16_t>(code & 0xFFFF));
    if (at < 0) return false;
    const ModelIndex& index = Index();
    file_ = std::fopen(index.path.c_str(), "rb");
    if (!file_) return false;
    uint32_t offset = 0;
    if (std::fseek(file_, kHeaderSize + kEntrySize * at + 2, SEEK_SET) != 0 ||
        !ReadU32(file_, offset))
        return false;
    const unsigned long long start =
        static_cast<unsigned long long>(index.dataBase) + static_cast<unsigned long long>(offset);
    if (start > static_cast<unsigned long long>(LONG_MAX)) return false;
    start_ = static_cast<long>(start);
    return Rewind();
}

bool ModelReader::Next(uint8_t& x, uint8_t& y) {
    unsigned char pair[2];
    if (!file_ || std::fread(pair, 1, 2, file_) != 2) return false;
    x = pair[0];
    y = pair[1];
    return true;
}

bool ModelReader::Rewind() {
    return file_ && std::fseek(file_, start_, SEEK_SET) == 0;
}

} // namespace veltarec
