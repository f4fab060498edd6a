// The configuration files that name the dictionaries: VELTAREC.INI for the recognition
// service and VELTABOX.INI for the box recognizer. ASCII only, hence valid CP932.
#pragma once

#include <string>

namespace mkdict {

struct DictionaryNames {
    std::string pattern = "glyphs.crd"; // character pattern dictionary
    std::string coarse = "glyphs.ccd";  // coarse classification dictionary
    std::string bigram = "bigram.cbg";  // character bigram dictionary
    std::string model = "models.exd";   // model pattern dictionary
};

// Coarse candidates per recognition (CCOUNT). With 50, writing that matches a candidate
// well costs a fifth of the time it costs with 250, at the same accuracy on the held-out
// imitations: writing that matches none well gets a second look at three times as many
// (README, "Class count").
constexpr int kClassCount = 50;

// Writes VELTAREC.INI and VELTABOX.INI into dir. False with a message.
bool WriteIniFiles(const std::string& dir, const DictionaryNames& names, std::string& error);

} // namespace mkdict
