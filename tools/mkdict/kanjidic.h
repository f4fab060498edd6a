// The character prior from KANJIDIC (the Debian package kanjidic): how commonly each
// character of the dictionaries is meant, from the school grade (G field) and the
// newspaper frequency rank (F field) of kanji, for ranking characters of the same shape.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/mkdict/ink.h"

namespace mkdict {

// Score points the heaviest weight is worth when candidates are ordered by the prior.
inline constexpr int kDefaultPriorSpan = 100;

struct KanjiInfo {
    int grade = 0;     // 1-6 elementary school, 8 secondary, 9-10 for names; 0 none
    int frequency = 0; // rank among the 2,500 commonest in newspapers; 0 none
};

// Frequency ranks longer than this read as this.
inline constexpr int kMaxKanjidicRank = 100000;

// One line of KANJIDIC: the character it starts with, its code point from the U field (0
// when the line has none), its grade (G) and its frequency rank (F, all digits). Fields
// among the meanings ({...}) do not count.
struct KanjidicEntry {
    std::string character;
    char32_t code_point = 0;
    KanjiInfo info;
};

// The entries of KANJIDIC text (decoded to UTF-8) in file order; comment lines (starting
// with '#') and empty lines are skipped.
std::vector<KanjidicEntry> KanjidicEntries(const std::string& utf8);

// The entries of KANJIDIC text by code point; lines without a U field are left out.
std::map<char32_t, KanjiInfo> ParseKanjidic(const std::string& utf8);

// Reads and decodes a KANJIDIC file (EUC-JP, or UTF-8; may be gzipped). False with a message.
bool ReadKanjidic(const std::string& path, std::map<char32_t, KanjiInfo>& out, std::string& error);

// The prior weight (0..255) of a dictionary code: a kanji's from its grade and frequency
// (0 when KANJIDIC has neither), every other character's a fixed weight that ranks common
// kanji above kana of the same shape and kana above rare kanji.
uint8_t PriorWeight(uint16_t code, const KanjiInfo* info);

// Writes the prior of the given dictionary codes (distinct) and their drawings to path:
// the characters that have another of the same shape (a shape distance of at most
// same_shape), with their groups and weights. Without KANJIDIC (null) it writes an empty
// prior, under which candidates keep the classifier's order. False with a message.
bool WriteCharPriorFile(const std::string& path, const std::vector<uint16_t>& codes,
                        const std::vector<Ink>& drawings,
                        const std::map<char32_t, KanjiInfo>* kanjidic, int span, double same_shape,
                        std::string& error);

} // namespace mkdict
