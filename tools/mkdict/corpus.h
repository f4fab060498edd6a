// Japanese running text and word lists for the character statistics: reading files (gzip
// or plain), decoding their encoding, stripping roff and HTML markup, reading the EDICT
// word list and KANJIDIC's frequency ranks, and counting characters and character pairs
// under their CP932 codes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace mkdict {

enum class Markup { Plain, Roff, Html };

// Reads a file, unpacking it when it is gzip-compressed. False with a message on error.
bool ReadMaybeGzip(const std::string& path, std::string& out, std::string& error);

// The text as UTF-8: kept when it is valid UTF-8, else decoded from EUC-JP or CP932
// (whichever decodes the whole text). Nothing when no encoding fits.
std::optional<std::string> DecodeJapaneseText(const std::string& bytes);

// The markup a file carries, from its name (man pages are roff, .html is HTML).
Markup MarkupOfPath(const std::string& path);

// The text of a file as UTF-8: read (unpacked when gzip-compressed) and decoded. Nothing,
// with the reason in error, when the file cannot be read or its encoding is unknown.
std::optional<std::string> TextOfFile(const std::string& path, std::string& error);
// The same with the file's markup stripped, as its name tells: its running text.
std::optional<std::string> RunningTextOfFile(const std::string& path, std::string& error);

// Plain text of a roff source: requests and comments dropped (the text arguments of font
// and heading macros kept), escapes removed or replaced by the character they stand for.
std::string StripRoff(const std::string& text);
// Plain text of an HTML page: tags, scripts and styles dropped, entities decoded.
std::string StripHtml(const std::string& text);

// Character and pair counts. A pair is two characters next to each other in a line;
// anything that is not a double-byte CP932 character (ASCII digits and letters count as
// their full-width forms) breaks the run.
class CharCounts {
public:
    // Adds the characters of UTF-8 text, each occurrence counting `weight` times.
    void AddText(const std::string& utf8, uint64_t weight = 1);

    uint64_t Total() const { return total_; }
    uint64_t PairTotal() const { return pair_total_; }
    const std::map<uint16_t, uint64_t>& Monograms() const { return mono_; }
    // pairs: first code -> (second code -> count)
    const std::map<uint16_t, std::map<uint16_t, uint64_t>>& Bigrams() const { return bi_; }

private:
    std::optional<uint16_t> CodeOf(char32_t cp);
    std::unordered_map<char32_t, int32_t> cache_; // code point -> code, -1 = none
    std::map<uint16_t, uint64_t> mono_;
    std::map<uint16_t, std::map<uint16_t, uint64_t>> bi_;
    uint64_t total_ = 0;
    uint64_t pair_total_ = 0;
};

// Adds the words of an EDICT word list (UTF-8 text, one entry a line: "headword [reading]
// /gloss/.../", the reading left out for words written in kana; "(P)" among the glosses
// marks a common word): each headword written with kanji, as a run of its own, so that
// pairs form only inside words; common words count `common_weight` times. Words written
// in kana alone and the readings are left out: the kana of running text (particles,
// endings) are better counted from running text, and a word list would swamp them with
// pairs from inside words. Returns the number of entries read.
size_t AddEdictWords(CharCounts& counts, const std::string& utf8, uint64_t common_weight = 4);

// KANJIDIC's kanji (UTF-8 text, one kanji a line followed by its fields; "F<n>" is the
// kanji's rank by frequency in newspaper text, 1 the most frequent): CP932 code -> rank,
// 0 for a kanji listed without a rank. Comment lines (starting with '#') are skipped.
std::map<uint16_t, int> ReadKanjidicRanks(const std::string& utf8);

// Where the Debian packages edict and kanjidic put their files.
inline constexpr const char* kSystemEdict = "/usr/share/edict/edict";
inline constexpr const char* kSystemKanjidic = "/usr/share/edict/kanjidic";

// The Japanese text files the system's packages ship: manual pages under
// /usr/share/man/ja and the Debian reference under /usr/share/doc/debian-reference-ja
// (its plain-text edition when present, else its HTML pages).
std::vector<std::string>
SystemCorpusFiles(const std::string& man_root = "/usr/share/man/ja",
                  const std::string& reference_root = "/usr/share/doc/debian-reference-ja");

} // namespace mkdict
