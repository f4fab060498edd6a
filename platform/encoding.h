// Shift-JIS (code page 932) <-> UTF-8 at the edges of the system.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The UTF-8 text of CP932 bytes, or nothing when the bytes are not valid CP932.
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);

// The CP932 bytes of UTF-8 text, or nothing when the text is not valid UTF-8 or holds a
// character CP932 cannot encode.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// True when the bytes are valid UTF-8.
bool IsValidUtf8(std::string_view bytes);

} // namespace platform
