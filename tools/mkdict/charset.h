// Which KanjiVG characters become dictionary categories, and under which code: the
// Shift-JIS (CP932) double-byte code of the character, with ASCII digits and letters
// taken as their full-width forms.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace mkdict {

// UTF-8 text of one code point (empty for an invalid code point).
std::string Utf8Of(char32_t cp);

// The double-byte CP932 code (first byte high) under which the character is recognized,
// or nothing when it has none or lies outside the classes the recognizer offers
// (hiragana, katakana, digits, Latin and Greek letters, symbols, punctuation, kanji).
std::optional<uint16_t> DictionaryCodeFor(char32_t cp);

// The CP932 code of one UTF-8 character (a double-byte code, or a single byte), or
// nothing when the text is not exactly one CP932 character.
std::optional<uint16_t> Cp932CodeOfUtf8(const std::string& utf8);

// The UTF-8 text of a CP932 code (double-byte or single byte), empty when invalid.
std::string Utf8OfCp932Code(uint16_t code);

// True for a code inside one of the recognizer's character classes.
bool IsInRecognizerClass(uint16_t code);

// Small kana (ぁ, っ, ャ, ヵ, ...), written smaller than their full-size forms.
bool IsSmallKana(uint16_t code);

} // namespace mkdict
