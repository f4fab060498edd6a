// Where the service's configuration lives and what it says.
//
// "VELTAREC.INI", section RECOGBOX. The current directory's copy is used only when it
// carries a nonzero RECFLAG; otherwise the system directory's copy is read (a missing
// file gives every key its default). Dictionary paths are the chosen directory, '/', and
// the key's value (an empty value leaves the bare directory prefix); only the optional
// character prior (CPDIC) is left empty without a value, and then not used.
#pragma once

#include <cstdint>
#include <string>

namespace veltarec {

struct ServiceConfig {
    std::string prefix;   // base directory followed by '/'
    std::string file;     // the configuration file every key but RECFLAG comes from
    std::string libName;  // LibName, unchanged
    std::string crDic;    // CRDIC path: character pattern dictionary
    std::string ccDic;    // CCDIC path: coarse classification dictionary
    std::string cbDic;    // CBDIC path: character bigram dictionary
    std::string exDic;    // EXDIC path: model pattern dictionary
    std::string lpDic;    // LPDIC path: fitted evaluation tables; empty when not named
    std::string cpDic;    // CPDIC path: character prior; empty when the key is absent or empty
    int32_t addLastPoint; // AddLastPoint, negative values read as 0
    int32_t getRectFlag;  // GetRectFlag
    int32_t classCount;   // CCOUNT, 250 when absent
};

inline constexpr const char* kConfigFile = "VELTAREC.INI";
inline constexpr const char* kConfigSection = "RECOGBOX";
inline constexpr int32_t kDefaultClassCount = 250;

// Reads the configuration from the current or the system directory as described above.
ServiceConfig ReadServiceConfig();

} // namespace veltarec
