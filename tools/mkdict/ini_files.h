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

// Coarse candidates per recognition (CCOUNT). 50 reads the held-out imitations as well as
// 250 for about a quarter of the work: writing that matches none of them well gets a
// second look at three times as many (docs/classifier.md, "Stroke order and class count").
constexpr int kClassCount = 50;

// Writes VELTAREC.INI and VELTABOX.INI into dir. False with a message.
bool WriteIniFiles(const std::string& dir, const DictionaryNames& names, std::string& error);

// Names the fitted evaluation tables (a file in dir) in dir's VELTAREC.INI as LPDIC,
// keeping everything else (an empty name removes the key). False with a message.
bool NameEvaluationTables(const std::string& dir, const std::string& name, std::string& error);

} // namespace mkdict
