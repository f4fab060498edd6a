#include "tools/mkdict/kvg_archive.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <zip.h>

namespace mkdict {

namespace fs = std::filesystem;

struct KvgArchive::Zip {
    zip_t* archive = nullptr;
    ~Zip() {
        if (archive) zip_discard(archive);
    }
};

KvgArchive::~KvgArchive() = default;

char32_t CodepointFromFileName(const std::string& name) {
    std::string base = name;
    if (auto slash = base.find_last_of('/'); slash != std::string::npos)
        base = base.substr(slash + 1);
    if (base.size() < 5 || base.size() > 10 || !base.ends_with(".svg")) return 0;
    std::string stem = base.substr(0, base.size() - 4);
    if (stem.size() < 4 || stem.size() > 6) return 0;
    char32_t cp = 0;
    for (char c : stem) {
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else
            return 0; // a dash or letters: a variant drawing or another file
        cp = cp * 16 + static_cast<char32_t>(v);
    }
    return cp > 0x10FFFF ? 0 : cp;
}

std::unique_ptr<KvgArchive> KvgArchive::Open(const std::string& path, std::string& error) {
    std::unique_ptr<KvgArchive> result(new KvgArchive);
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        fs::path dir = path;
        if (fs::is_directory(dir / "kanji", ec)) dir /= "kanji";
        for (const auto& item : fs::directory_iterator(dir, ec)) {
            if (!item.is_regular_file(ec)) continue;
            char32_t cp = CodepointFromFileName(item.path().filename().string());
            if (cp) result->entries_.push_back({cp, item.path().string()});
        }
        if (ec) {
            error = path + ": cannot list the folder: " + ec.message();
            return nullptr;
        }
    } else {
        int zerr = 0;
        zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &zerr);
        if (!archive) {
            zip_error_t ze;
            zip_error_init_with_code(&ze, zerr);
            error = path + ": cannot open as a KanjiVG zip: " + zip_error_strerror(&ze);
            zip_error_fini(&ze);
            return nullptr;
        }
        result->zip_ = std::make_unique<Zip>();
        result->zip_->archive = archive;
        zip_int64_t n = zip_get_num_entries(archive, 0);
        for (zip_int64_t i = 0; i < n; ++i) {
            const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
            if (!name) continue;
            std::string s = name;
            // Character files live in a kanji/ folder (possibly below a top folder).
            if (s.find("kanji/") == std::string::npos) continue;
            char32_t cp = CodepointFromFileName(s);
            if (cp) result->entries_.push_back({cp, s});
        }
    }
    if (result->entries_.empty()) {
        error = path + ": no KanjiVG character files (kanji/xxxxx.svg) found";
        return nullptr;
    }
    std::sort(result->entries_.begin(), result->entries_.end(),
              [](const KvgEntry& a, const KvgEntry& b) { return a.codepoint < b.codepoint; });
    // A release holds one file per code point; should a folder hold two spellings of one
    // name, the first is kept.
    result->entries_.erase(std::unique(result->entries_.begin(), result->entries_.end(),
                                       [](const KvgEntry& a, const KvgEntry& b) {
                                           return a.codepoint == b.codepoint;
                                       }),
                           result->entries_.end());
    return result;
}

const KvgEntry* KvgArchive::Find(char32_t codepoint) const {
    auto it = std::lower_bound(entries_.begin(), entries_.end(), codepoint,
                               [](const KvgEntry& e, char32_t cp) { return e.codepoint < cp; });
    return it != entries_.end() && it->codepoint == codepoint ? &*it : nullptr;
}

bool KvgArchive::Read(const KvgEntry& entry, std::string& out, std::string& error) const {
    out.clear();
    if (!zip_) {
        std::ifstream in(entry.name, std::ios::binary);
        if (!in) {
            error = entry.name + ": cannot open";
            return false;
        }
        std::ostringstream ss;
        ss << in.rdbuf();
        out = ss.str();
        return true;
    }
    zip_stat_t st;
    if (zip_stat(zip_->archive, entry.name.c_str(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
        error = entry.name + ": not in the zip";
        return false;
    }
    zip_file_t* f = zip_fopen(zip_->archive, entry.name.c_str(), 0);
    if (!f) {
        error = entry.name + ": cannot open in the zip";
        return false;
    }
    out.resize(static_cast<size_t>(st.size));
    zip_int64_t got = zip_fread(f, out.data(), st.size);
    zip_fclose(f);
    if (got < 0 || static_cast<zip_uint64_t>(got) != st.size) {
        error = entry.name + ": cannot read from the zip";
        out.clear();
        return false;
    }
    return true;
}

} // namespace mkdict
