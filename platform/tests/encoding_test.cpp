#include "platform/encoding.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Encoding, RoundTripsJapaneseText) {
    const std::string sjis = "\x96\xBE\x82\xA0\x83\x41\x82\x60" "A"; // 明あアＡA
    auto utf8 = Cp932ToUtf8(sjis);
    ASSERT_TRUE(utf8.has_value());
    EXPECT_EQ(*utf8, "明あアＡA");
    auto back = Utf8ToCp932(*utf8);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, sjis);
}

TEST(Encoding, Cp932ExtensionsAreKnown) {
    // NEC row 13 (①) and the IBM extension (髙) are CP932, not plain Shift-JIS.
    EXPECT_EQ(Cp932ToUtf8("\x87\x40").value_or("?"), "①");
    EXPECT_EQ(Cp932ToUtf8("\xFB\xFC").value_or("?"), "髙");
    EXPECT_EQ(Utf8ToCp932("～").value_or("?"), "\x81\x60");
}

TEST(Encoding, InvalidInputIsReportedNotGuessed) {
    EXPECT_FALSE(Cp932ToUtf8("\x82").has_value());        // lead byte cut off
    EXPECT_FALSE(Cp932ToUtf8("\x82\x20").has_value());    // bad trail byte
    EXPECT_FALSE(Utf8ToCp932("\xE6\x98").has_value());    // cut-off UTF-8
    EXPECT_FALSE(Utf8ToCp932("\xC0\xAF").has_value());    // overlong form
    EXPECT_FALSE(Utf8ToCp932("😀").has_value());          // not in CP932
    EXPECT_EQ(Cp932ToUtf8("").value_or("?"), "");
}

TEST(Encoding, Utf8Validation) {
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("明日 😀"));
    EXPECT_FALSE(IsValidUtf8("\x96\xBE")); // Shift-JIS 明
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")); // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE6\x98"));
}
