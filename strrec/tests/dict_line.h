// Helpers of the tests and the benchmark that use the compiled dictionaries: finding them
// through VELTAREC.INI, and writing lines of characters from the pattern dictionary's
// own model strokes.
#pragma once

#include "tessera/records.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dictline {

struct Dictionaries {
    std::string pattern, coarse, bigram;
};

// The dictionaries named in the system directory's VELTAREC.INI; false with the reason
// when the file or any dictionary is missing.
bool Find(Dictionaries& dicts, std::string& why);

using Stroke = std::vector<tagPOINT>;

struct Character {
    uint16_t code;
    std::vector<Stroke> strokes;
};

// The first model pattern of each wanted code (up to count of them) that the dictionary
// holds as a plain (not composed) category, drawn into a 100-unit box at x = 130 * its
// position in the line.
std::vector<Character> LineFromDictionary(const std::string& patternDic,
                                          const std::vector<uint16_t>& wanted, size_t count);

// Shift-JIS text of the codes.
std::string Text(const std::vector<Character>& chars);

} // namespace dictline
