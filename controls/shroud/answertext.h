// The answer the effects control hides: at most one double-byte character of the
// Shift-JIS text the host gives it.
#pragma once

#include <QString>

namespace shroud {

// The longest head of text that takes at most 2 bytes in Shift-JIS: one double-byte
// character, or up to two single-byte ones. A double-byte character is never split:
// "a" followed by a kanji keeps only "a". A character Shift-JIS cannot encode counts
// as two bytes.
QString CutAnswer(const QString& text);

} // namespace shroud
