// Imitated lines of handwriting: characters imitated from their KanjiVG drawings and laid
// out left to right as people write a line, with varying character sizes, gaps and
// baselines, kana written a little smaller than kanji, small kana (ゃ, ッ) at about half a
// kana's size on the baseline, and one device (pen or mouse) for the whole line. Also the texts
// such lines are written from: pieces of running text, random kanji strings, single characters.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tessera/records.h"
#include "tools/mkdict/distort.h"

namespace mkdict {

struct LineLayoutParams {
    double min_size = 50, max_size = 140;              // character size of the line, device pixels
    double size_sd = 0.10;                             // sd of the log of a character's size factor
    double kana_scale_lo = 0.75, kana_scale_hi = 0.95; // kana against kanji
    // The ink of a small kana against that of a full-size kana written in its place (the
    // larger extent of each); the drawings' own small forms are about 0.8 of their twins.
    double small_kana_lo = 0.50, small_kana_hi = 0.70;
    double gap_mean = 0.14, gap_sd = 0.08; // gap after a character, in character sizes
    double baseline_sd = 0.04;             // per-character baseline drift, character sizes
    double slope_sd = 0.03;                // sd of the line's slope
    DistortionParams character;            // imitation of each character
};

// One written line: strokes in writing order and where each character ends.
struct WrittenLine {
    std::vector<uint16_t> codes;                // the characters, CP932 codes
    std::vector<std::vector<tagPOINT>> strokes; // device pixels, y downwards
    std::vector<int> char_end;                  // per character: its last stroke + 1
};

// Model drawings by CP932 code.
using ModelSet = std::map<uint16_t, Ink>;

// Reads the drawings of the wanted codes (all codes the dictionary holds when wanted is
// empty) from a KanjiVG release. False with a message when the release does not open.
bool ReadModels(const std::string& kanjivg, const std::vector<uint16_t>& wanted, ModelSet& out,
                std::string& error);

// Writes the codes as one line; the seed fixes every choice. False when a code has no
// model or no ink. A small kana takes its size from a random source of its own, so that
// every other character of the line is written as it would be without the small size.
// The long-vowel mark and punctuation keep the size and place their drawings give them
// in the character's box (ー at mid-height, 、 and 。 small at the foot).
bool WriteLine(const ModelSet& models, const std::vector<uint16_t>& codes, uint64_t seed,
               const LineLayoutParams& params, WrittenLine& out);

// Pieces of running text (UTF-8) to write as lines: runs of characters that the models
// hold, cut into pieces of min_len to max_len characters, count of them chosen evenly
// over the text (fewer when the text is short). The seed fixes the choice.
std::vector<std::vector<uint16_t>> TextPieces(const std::string& utf8, const ModelSet& models,
                                              int min_len, int max_len, size_t count,
                                              uint64_t seed);

// Strings of min_len to max_len kanji drawn from the models' kanji.
std::vector<std::vector<uint16_t>> RandomKanjiStrings(const ModelSet& models, int min_len,
                                                      int max_len, size_t count, uint64_t seed);

// The seed of line n of a set of lines (set 0, 1, 2, ...) in a seed range (seeds.h).
inline uint64_t LineSeed(uint64_t base, int set, uint64_t n) {
    return base + (uint64_t{1} << 39) + (static_cast<uint64_t>(set) << 32) + n;
}

// Levenshtein distance of two code strings.
size_t EditDistance(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b);

// The CP932 codes of a Shift-JIS string (a lead byte and its trail byte give one code).
std::vector<uint16_t> CodesOfSjis(const char* text);

} // namespace mkdict
