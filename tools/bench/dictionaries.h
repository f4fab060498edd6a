// Where the classifier's dictionaries are: the files the recognition service is configured
// with (VELTAREC.INI, section RECOGBOX) in a dictionary folder.
#pragma once

#include <string>

namespace bench {

struct ClassifierFiles {
    std::string dir; // the folder, ending in '/' (empty when there is none)
    std::string crd; // pattern dictionary
    std::string ccd; // coarse classification dictionary
    std::string cpd; // character prior (CPDIC), empty when none is configured
};

// The files in folder data, or in the system directory when data is empty.
ClassifierFiles ConfiguredClassifierFiles(const std::string& data);

} // namespace bench
