// The strict JSON reader and the ink line on top of it, above all on malformed input.
#include "tools/recognize/ink_input.h"
#include "tools/recognize/json_output.h"
#include "tools/recognize/json_reader.h"

#include <gtest/gtest.h>
#include <string>

namespace recognize {
namespace {

TEST(JsonReader, ReadsEveryKindOfValue) {
    JsonResult r = ParseJson(R"( {"a": [1, -2.5e2, true, false, null], "b": {"c": "x\ty"}} )");
    ASSERT_TRUE(r.ok) << r.error;
    const JsonValue* a = r.value.Find("a");
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->items.size(), 5u);
    EXPECT_EQ(a->items[1].number, -250);
    EXPECT_TRUE(a->items[2].boolean);
    EXPECT_EQ(a->items[4].type, JsonValue::Type::Null);
    EXPECT_EQ(r.value.Find("b")->Find("c")->text, "x\ty");
}

TEST(JsonReader, DecodesEscapesAndSurrogatePairs) {
    JsonResult r = ParseJson(R"("\u660e\ud83d\ude00\"\\\/")");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.value.text, "明\xF0\x9F\x98\x80\"\\/");
}

TEST(JsonReader, RefusesMalformedInput) {
    const char* bad[] = {
        "",                     // nothing
        "{",                    // unterminated object
        "[1, 2",                // unterminated array
        "[1,]",                 // trailing comma
        "{\"a\" 1}",            // missing colon
        "{'a': 1}",             // single quotes
        "{\"a\": 1} x",         // trailing garbage
        "01",                   // leading zero
        "1.",                   // no fraction digits
        "-",                    // bare sign
        "1e",                   // no exponent digits
        "NaN",                  // not JSON
        "tru",                  // cut literal
        "\"abc",                // unterminated string
        "\"a\x01\"",            // raw control character
        "\"\\x\"",              // unknown escape
        "\"\\u12\"",            // short \u escape
        "\"\\ud800\"",          // lone high surrogate
        "\"\\udc00\"",          // lone low surrogate
        "\"\xC3\"",             // cut UTF-8 sequence
        "\"\xC0\xAF\"",         // overlong UTF-8
        "\"\xED\xA0\x80\"",     // encoded surrogate
        "\"\xFF\"",             // invalid byte
        "{\"a\": 1, \"a\": 2}", // duplicate member
        "1e999",                // out of range
    };
    for (const char* text : bad) {
        JsonResult r = ParseJson(text);
        EXPECT_FALSE(r.ok) << "accepted: " << text;
        EXPECT_FALSE(r.ok || r.error.empty());
    }
}

TEST(JsonReader, BoundsDepthStringsAndValueCount) {
    JsonLimits limits;
    limits.maxDepth = 4;
    limits.maxStringBytes = 8;
    limits.maxValues = 10;
    EXPECT_TRUE(ParseJson("[[[[1]]]]", limits).ok);
    EXPECT_FALSE(ParseJson("[[[[[1]]]]]", limits).ok);
    EXPECT_TRUE(ParseJson("\"12345678\"", limits).ok);
    EXPECT_FALSE(ParseJson("\"123456789\"", limits).ok);
    EXPECT_TRUE(ParseJson("[1,2,3,4,5,6,7,8,9]", limits).ok);
    EXPECT_FALSE(ParseJson("[1,2,3,4,5,6,7,8,9,10]", limits).ok);
    // Deep nesting under the default limits fails cleanly instead of exhausting the stack.
    EXPECT_FALSE(ParseJson(std::string(100000, '[')).ok);
}

TEST(JsonReader, NestingHasAHardCeilingWhateverTheLimits) {
    JsonLimits limits;
    limits.maxDepth = 1 << 30;
    auto nested = [](int levels) {
        return std::string(static_cast<size_t>(levels), '[') +
               std::string(static_cast<size_t>(levels), ']');
    };
    EXPECT_TRUE(ParseJson(nested(kMaxJsonDepth), limits).ok);
    JsonResult deep = ParseJson(nested(kMaxJsonDepth + 1), limits);
    ASSERT_FALSE(deep.ok);
    EXPECT_NE(deep.error.find("nesting too deep"), std::string::npos) << deep.error;
    // Far deeper than any stack could take, objects and arrays mixed: still a clean refusal.
    std::string hostile;
    for (int i = 0; i < 200000; ++i) hostile += (i % 2) ? "[" : "{\"a\":";
    deep = ParseJson(hostile, limits);
    ASSERT_FALSE(deep.ok);
    EXPECT_NE(deep.error.find("nesting too deep"), std::string::npos) << deep.error;
}

TEST(JsonReader, ObjectMembersKeepInputOrder) {
    JsonResult r = ParseJson(R"({"b":1,"a":{"c":[true]},"d":"x"})");
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.value.members.size(), 3u);
    EXPECT_EQ(r.value.members[0].name, "b");
    EXPECT_EQ(r.value.members[1].name, "a");
    EXPECT_EQ(r.value.members[2].name, "d");
    const JsonValue* a = r.value.Find("a");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a->Find("c"), nullptr);
    EXPECT_TRUE(a->Find("c")->items.at(0).boolean);
    EXPECT_EQ(r.value.Find("c"), nullptr);
}

TEST(JsonReader, ErrorNamesThePosition) {
    JsonResult r = ParseJson("[1, x]");
    ASSERT_FALSE(r.ok);
    EXPECT_NE(r.error.find("byte 5"), std::string::npos) << r.error;
}

TEST(InkLine, ReadsStrokesAndIgnoresOtherMembers) {
    InkLine ink = ParseInkLine(
        R"({"id": "q1", "strokes": [[[10, 20], [30, 40.0]], [[-5, 7]]], "extra": {"x": [1]}})");
    ASSERT_TRUE(ink.ok) << ink.error;
    ASSERT_EQ(ink.strokes.size(), 2u);
    EXPECT_EQ(ink.strokes[0][1].x, 30);
    EXPECT_EQ(ink.strokes[0][1].y, 40);
    EXPECT_EQ(ink.strokes[1][0].x, -5);
}

TEST(InkLine, FractionalCoordinatesAreRoundedToNearest) {
    // As browsers and tablets deliver them: halves go away from zero.
    InkLine ink = ParseInkLine(
        R"({"strokes": [[[10.4, 20.5], [-3.5, -2.49], [0.5e1, 1.25e2], [32767.49, -32768.4]]]})");
    ASSERT_TRUE(ink.ok) << ink.error;
    ASSERT_EQ(ink.strokes.size(), 1u);
    const InkStroke& s = ink.strokes[0];
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0].x, 10);
    EXPECT_EQ(s[0].y, 21);
    EXPECT_EQ(s[1].x, -4);
    EXPECT_EQ(s[1].y, -2);
    EXPECT_EQ(s[2].x, 5);
    EXPECT_EQ(s[2].y, 125);
    EXPECT_EQ(s[3].x, 32767);
    EXPECT_EQ(s[3].y, -32768);
}

TEST(InkLine, NoStrokesIsAValidEmptyInk) {
    InkLine ink = ParseInkLine(R"({"strokes": []})");
    ASSERT_TRUE(ink.ok);
    EXPECT_TRUE(ink.strokes.empty());
}

TEST(InkLine, RefusesInkThatIsNotStrokesOfPoints) {
    const char* bad[] = {
        "[1, 2]",                              // not an object
        R"({"points": []})",                   // no strokes
        R"({"strokes": {}})",                  // strokes not an array
        R"({"strokes": [5]})",                 // stroke not an array
        R"({"strokes": [[]]})",                // empty stroke
        R"({"strokes": [[[1]]]})",             // point with one coordinate
        R"({"strokes": [[[1, 2, 3]]]})",       // point with three
        R"({"strokes": [[["1", 2]]]})",        // string coordinate
        R"({"strokes": [[[32767.5, 2]]]})",    // rounds beyond 16 bits
        R"({"strokes": [[[1, -32768.5]]]})",   // rounds beyond 16 bits
        R"({"strokes": [[[1e300, 2]]]})",      // far beyond
        R"({"strokes": [[[40000, 2]]]})",      // beyond 16 bits
        R"({"strokes": [[[1, -32769]]]})",     // beyond 16 bits
        R"({"strokes": [[[1, 2]]]} trailing)", // not JSON
    };
    for (const char* text : bad) {
        InkLine ink = ParseInkLine(text);
        EXPECT_FALSE(ink.ok) << "accepted: " << text;
        EXPECT_FALSE(ink.error.empty()) << text;
    }
}

TEST(InkLine, BoundsStrokeAndPointCounts) {
    std::string many = R"({"strokes": [)";
    for (size_t i = 0; i <= kMaxStrokes; ++i) many += std::string(i ? "," : "") + "[[1,1]]";
    many += "]}";
    EXPECT_FALSE(ParseInkLine(many).ok);
}

TEST(JsonOutput, EscapesTextAndOmitsScoresOfLineResults) {
    EXPECT_EQ(JsonString("a\"b\\c\n明"), "\"a\\\"b\\\\c\\u000a明\"");
    std::vector<Candidate> c = {{"明", 912, true}, {"一二", 0, false}};
    EXPECT_EQ(CandidatesLine(c),
              "{\"candidates\": [{\"text\": \"明\", \"score\": 912}, {\"text\": \"一二\"}]}");
    EXPECT_EQ(ErrorLine("bad \"x\""), "{\"error\": \"bad \\\"x\\\"\"}");
}

TEST(JsonOutput, LineResultsGiveTheBestStringsCharacters) {
    LineResult line;
    line.strings = {{"一二", 0, false}, {"一ニ", 0, false}};
    line.chars = {{"一", 0, 0, {{"一", 955, true}, {"ー", 940, true}}},
                  {"二", 1, 2, {{"二", 930, true}}}};
    EXPECT_EQ(LineResultLine(line),
              "{\"candidates\": [{\"text\": \"一二\"}, {\"text\": \"一ニ\"}], \"chars\": ["
              "{\"text\": \"一\", \"first\": 0, \"last\": 0, \"candidates\": "
              "[{\"text\": \"一\", \"score\": 955}, {\"text\": \"ー\", \"score\": 940}]}, "
              "{\"text\": \"二\", \"first\": 1, \"last\": 2, \"candidates\": "
              "[{\"text\": \"二\", \"score\": 930}]}]}");
    EXPECT_EQ(LineResultLine(LineResult{}), "{\"candidates\": [], \"chars\": []}");
}

TEST(SjisText, SplitsIntoCharacters) {
    // 一 (88 EA), "A", ｱ (B1, single-byte katakana), あ (82 A0), and a cut lead byte.
    EXPECT_EQ(SplitSjis("\x88\xEA"
                        "A"
                        "\xB1"
                        "\x82\xA0"),
              (std::vector<std::string>{"\x88\xEA", "A", "\xB1", "\x82\xA0"}));
    EXPECT_EQ(SplitSjis("A\x88"), (std::vector<std::string>{"A", "\x88"}));
    EXPECT_TRUE(SplitSjis("").empty());
}

} // namespace
} // namespace recognize
