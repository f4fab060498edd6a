// Kinds of character codes used by the string recognizer's evaluation.
#pragma once

#include <cstdint>

enum : int {
    CK_ALNUM = 0,       // Latin letter or digit
    CK_KANA = 1,        // hiragana or katakana
    CK_PUNCT = 2,       // punctuation
    CK_SIMPLEKANJI = 3, // one of the simple first-level kanji
    CK_KANJI = 4,       // any other kanji
    CK_OTHER = 5
};

bool isalph(uint32_t code);
bool isnum(uint32_t code);
bool ishiragana(uint32_t code);
bool iskatakana(uint32_t code);
bool iskutou(uint32_t code);
bool isjis1kanji(uint32_t code);
bool isjis2kanji(uint32_t code);
bool issymplekanji(uint32_t code);
int iTellCharCodeKind(uint32_t code);

// The table of simple kanji (ascending Shift-JIS codes) and its length.
extern const uint16_t g_wSimpleKanji[];
extern const int g_iSimpleKanjiCount;
