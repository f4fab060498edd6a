// Reading a KanjiVG release: either a release zip (holding kanji/xxxxx.svg) or an
// unpacked folder of such files. Only the plain character files are listed; variant
// drawings (file names with a dash, such as 05b57-Kaisho.svg) are left out.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace mkdict {

struct KvgEntry {
    char32_t codepoint = 0; // from the file name (five hex digits)
    std::string name;       // name inside the zip or path inside the folder
};

class KvgArchive {
public:
    ~KvgArchive();
    KvgArchive(const KvgArchive&) = delete;
    KvgArchive& operator=(const KvgArchive&) = delete;

    // Opens a zip file or a folder (the kanji/ folder itself or a folder holding kanji/).
    // Null with a message in error when nothing usable is there.
    static std::unique_ptr<KvgArchive> Open(const std::string& path, std::string& error);

    // The character files, sorted by code point.
    const std::vector<KvgEntry>& Entries() const { return entries_; }
    // The entry for a code point, or null.
    const KvgEntry* Find(char32_t codepoint) const;
    // Reads an entry's bytes; false with a message when it cannot be read.
    bool Read(const KvgEntry& entry, std::string& out, std::string& error) const;

private:
    KvgArchive() = default;
    struct Zip;
    std::unique_ptr<Zip> zip_; // null for a folder
    std::vector<KvgEntry> entries_;
};

// The code point named by a character file name ("kanji/0660e.svg" -> 0x660E), or 0
// when the name is not a plain character file (variants, other files).
char32_t CodepointFromFileName(const std::string& name);

} // namespace mkdict
