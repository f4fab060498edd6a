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
    std::string prior = "prior.cpd";    // character prior (empty: none named)
};

// Writes VELTAREC.INI and VELTABOX.INI into dir. False with a message.
bool WriteIniFiles(const std::string& dir, const DictionaryNames& names, std::string& error);

} // namespace mkdict
