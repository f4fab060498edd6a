// Private profile (INI) files with the Windows semantics the configuration files rely
// on: case-insensitive section and key names, blanks around names and values trimmed,
// one pair of surrounding quotes removed, ';' comment lines, values cut to the buffer
// size less one, the default for a missing file or key, and bare file names looked up
// in the system directory. Values are raw bytes (Shift-JIS passes through untouched).
#pragma once

#include <string>

namespace platform {

// The path a profile file name stands for: a name without a folder lives in the system
// directory.
std::string ProfilePath(const char* file);

// Copies the value of key in section into out (at most size - 1 bytes and a 0) and
// returns the number of bytes copied, without the 0. A missing file, section or key
// gives def (null counts as empty). A null key lists the section's key names, a null
// section lists the section names, each followed by a 0 and the list by another 0.
unsigned long GetPrivateProfileString(const char* section, const char* key, const char* def,
                                      char* out, unsigned long size, const char* file);

// The value of key read as a decimal integer (leading blanks and sign allowed, reading
// stops at the first non-digit; no digits reads as 0), or def when the key is missing.
int GetPrivateProfileInt(const char* section, const char* key, int def, const char* file);

// Sets key in section to value, creating the file, the section or the key as needed and
// keeping every other line. A null value removes the key; a null key removes the whole
// section. Returns false when the file cannot be read or written.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* file);

} // namespace platform
