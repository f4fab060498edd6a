// The candidate list of a handwriting box: the character classes a box accepts, the
// category mask sent to the recognizer, the filter applied to returned candidates,
// stepping through candidates and moving a chosen one to the head.
//
// Candidate characters are Shift-JIS byte strings: the high byte of a code followed by
// its low byte.
#pragma once

#include "tessera/records.h"

#include <cstdint>
#include <string>

namespace quillbox {

constexpr int kCandidateCount = 20;

// Character classes allowed in results; every class is allowed by default.
struct CategoryFlags {
    bool alphaLower = true; // full-width a..z
    bool alphaUpper = true; // full-width A..Z
    bool hira = true;
    bool kana = true;
    bool kanji1 = true;
    bool kanji2 = true;
    bool num = true;
    bool other = true; // symbols and Greek letters
    bool punc = true;
    bool smallAO = true; // small ぁぃぅぇぉ
};

// The recognizer's category mask for the flags (511 = every class). The small-kana
// flag has no bit of its own: it only acts in FilterCandidates.
uint32_t CategoryMask(const CategoryFlags& flags);

// The text of a candidate code: two bytes (high, low); a code with an empty high byte
// gives its single low byte; code 0 gives the empty string.
std::string CandidateText(uint32_t code);

// The code of a one- or two-byte Shift-JIS character (the inverse of CandidateText), or
// 0 for any other text.
uint32_t CandidateCode(const std::string& text);

// A score as the result list shows it: decimal, padded with spaces to 4 characters
// (longer numbers are kept whole).
std::string ScoreText(int32_t score);

// True for the small kana that are drawn small in the box's corner
// (ぁぃぅぇぉっゃゅょァィゥェォッャュョ).
bool IsSmallKana(uint32_t code);

struct FilteredCandidates {
    std::string chars;  // the kept characters in rank order
    std::string scores; // their ScoreText, concatenated
};

// Removes in place, keeping order, the candidates of letter cases and small kana the
// flags do not allow. The walk ends at the first code 0 or after kCandidateCount
// entries. When anything was removed, the entry after the last kept one is emptied so
// that the list ends there.
FilteredCandidates FilterCandidates(CR_RESULT* list, const CategoryFlags& flags);

// The index of the candidate a click in result mode shows after `current`, stepping
// through the first selectNum entries and wrapping to the first. An empty entry is
// never chosen: the step then wraps to entry 0. -1 when there is nothing to choose
// (selectNum below 1 or an empty list).
int NextCandidate(const CR_RESULT* list, int selectNum, const std::string& current);

// Moves the candidate whose text is `result` to the head of the list; the entries
// before it move one place down. When it is not in the list it is inserted at the
// head and the last entry falls off. The head takes the score of the former head.
void MoveToHead(CR_RESULT* list, const std::string& result);

} // namespace quillbox
