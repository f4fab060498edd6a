#include <gtest/gtest.h>

#include "tools/mkdict/charset.h"

using namespace mkdict;

TEST(Charset, AsciiDigitsAndLettersTakeFullWidthCodes) {
    EXPECT_EQ(DictionaryCodeFor('0'), 0x824F);
    EXPECT_EQ(DictionaryCodeFor('9'), 0x8258);
    EXPECT_EQ(DictionaryCodeFor('A'), 0x8260);
    EXPECT_EQ(DictionaryCodeFor('Z'), 0x8279);
    EXPECT_EQ(DictionaryCodeFor('a'), 0x8281);
    EXPECT_EQ(DictionaryCodeFor('z'), 0x829A);
    // other ASCII has no category
    for (char32_t c : {U'!', U',', U'.', U'?', U':', U';', U' '})
        EXPECT_FALSE(DictionaryCodeFor(c)) << static_cast<int>(c);
}

TEST(Charset, JapaneseCharactersTakeTheirCp932Codes) {
    EXPECT_EQ(DictionaryCodeFor(U'明'), 0x96BE); // first-level kanji
    EXPECT_EQ(DictionaryCodeFor(U'亜'), 0x889F); // first code of level 1
    EXPECT_EQ(DictionaryCodeFor(U'弌'), 0x989F); // first code of level 2
    EXPECT_EQ(DictionaryCodeFor(U'あ'), 0x82A0);
    EXPECT_EQ(DictionaryCodeFor(U'ン'), 0x8393);
    EXPECT_EQ(DictionaryCodeFor(U'ヴ'), 0x8394);
    EXPECT_EQ(DictionaryCodeFor(U'、'), 0x8141); // punctuation
    EXPECT_EQ(DictionaryCodeFor(U'ー'), 0x815B);
    EXPECT_EQ(DictionaryCodeFor(U'々'), 0x8158);
    EXPECT_EQ(DictionaryCodeFor(U'！'), 0x8149);
}

TEST(Charset, CharactersCp932LacksAreLeftOut) {
    EXPECT_FALSE(DictionaryCodeFor(U'ゔ')); // hiragana vu
    EXPECT_FALSE(DictionaryCodeFor(U'ヷ'));
    EXPECT_FALSE(DictionaryCodeFor(0x20B9F)); // 𠮟 outside the BMP
    EXPECT_FALSE(DictionaryCodeFor(0x2E8C));  // a radical form
    EXPECT_FALSE(DictionaryCodeFor(0xD800));  // not a character
}

TEST(Charset, CodeConversionsBothWays) {
    EXPECT_EQ(Cp932CodeOfUtf8("明"), 0x96BE);
    EXPECT_EQ(Cp932CodeOfUtf8("A"), 0x41);
    EXPECT_FALSE(Cp932CodeOfUtf8("明日"));
    EXPECT_FALSE(Cp932CodeOfUtf8(""));
    EXPECT_EQ(Utf8OfCp932Code(0x96BE), "明");
    EXPECT_EQ(Utf8OfCp932Code(0x824F), "０");
    EXPECT_EQ(Utf8OfCp932Code(0x41), "A");
    EXPECT_EQ(Utf8Of(0x660E), "明");
    EXPECT_EQ(Utf8Of(0x20B9F), "\xF0\xA0\xAE\x9F");
}

TEST(Charset, ClassesAndSmallKana) {
    EXPECT_TRUE(IsInRecognizerClass(0x82A0));
    EXPECT_TRUE(IsInRecognizerClass(0xFC4B));
    EXPECT_FALSE(IsInRecognizerClass(0xFC4C));
    EXPECT_FALSE(IsInRecognizerClass(0x8140)); // the ideographic space
    EXPECT_FALSE(IsInRecognizerClass(0x41));
    for (const char* s : {"ぁ", "っ", "ゃ", "ゅ", "ょ", "ゎ", "ァ", "ッ", "ャ", "ヮ", "ヵ", "ヶ"})
        EXPECT_TRUE(IsSmallKana(*Cp932CodeOfUtf8(s))) << s;
    for (const char* s : {"あ", "つ", "や", "ア", "ツ", "カ", "明", "ー"})
        EXPECT_FALSE(IsSmallKana(*Cp932CodeOfUtf8(s))) << s;
}
