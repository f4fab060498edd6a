// The system directory: where configuration files and dictionaries named without a
// folder are found. $TESSERA_SYSTEM_DIR when set and not empty; otherwise the data folder
// beside the binary that holds this code (<dir>/../share/tessera, which is right both in
// the build tree and under an install prefix); otherwise the data folder of the install
// prefix configured (never a folder of the build tree, so that an installed copy reads
// nothing from it).
#pragma once

#include <string>

namespace platform {

// The system directory, without a trailing '/'.
std::string SystemDirectory();

// file when it names a folder, else SystemDirectory() + "/" + file.
std::string InSystemDirectory(const std::string& file);

// The folder of the binary (program or library) that contains this code.
std::string OwnModuleDirectory();

} // namespace platform
