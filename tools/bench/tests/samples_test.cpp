#include <gtest/gtest.h>

#include <sstream>

#include "tools/bench/samples.h"

using namespace bench;

TEST(SampleLines, StrokesBecomePointsWithPenFlags) {
    Sample s;
    std::string err;
    ASSERT_TRUE(ParseSampleLine(
        R"({"char": "明", "strokes": [[[1, 2], [3.4, 4.6]], [[5,6]], []], "writer": {"id": [1,2]}})",
        s, err))
        << err;
    EXPECT_EQ(s.code, 0x96BE);
    ASSERT_EQ(s.points.size(), 3u);
    EXPECT_EQ(s.points[0].x, 1);
    EXPECT_EQ(s.points[0].attr, PT_PENDOWN);
    EXPECT_EQ(s.points[1].x, 3); // rounded
    EXPECT_EQ(s.points[1].y, 5);
    EXPECT_EQ(s.points[1].attr, PT_PENUP);
    EXPECT_EQ(s.points[2].attr, PT_PENDOWN | PT_PENUP); // one-point stroke
}

TEST(SampleLines, EscapesAndAsciiCharacters) {
    Sample s;
    std::string err;
    ASSERT_TRUE(ParseSampleLine(R"({"strokes":[[[0,0],[9,9]]],"char":"\u660e"})", s, err)) << err;
    EXPECT_EQ(s.code, 0x96BE);
    ASSERT_TRUE(ParseSampleLine(R"({"char":"A","strokes":[[[0,0]]]})", s, err)) << err;
    EXPECT_EQ(s.code, 0x8260); // the full-width letter the dictionary holds
}

TEST(SampleLines, MalformedLinesAreRefused) {
    const char* bad[] = {
        "",
        "[]",
        R"({"char": "明"})",
        R"({"strokes": [[[1,2]]]})",
        R"({"char": "明日", "strokes": [[[1,2]]]})",
        R"({"char": "明", "strokes": [[[1,2]]] )",
        R"({"char": "明", "strokes": [[[1]]]})",
        R"({"char": "明", "strokes": [[[1,2,3]]]})",
        R"({"char": "明", "strokes": [[[1e9,2]]]})",
        R"({"char": "明", "strokes": []})",
        R"({"char": "明", "strokes": [[[1,2]]]} x)",
        R"({"char": "\ud800", "strokes": [[[1,2]]]})",
    };
    for (const char* line : bad) {
        Sample s;
        std::string err;
        EXPECT_FALSE(ParseSampleLine(line, s, err)) << line;
        EXPECT_FALSE(err.empty()) << line;
    }
}

TEST(SampleLines, ReadingAFileSkipsBadLinesAndReportsThem) {
    std::istringstream in("{\"char\":\"一\",\"strokes\":[[[0,0],[10,0]]]}\n"
                          "\n"
                          "{broken\n"
                          "{\"char\":\"二\",\"strokes\":[[[0,0],[10,0]],[[0,5],[10,5]]]}\n");
    std::vector<std::string> errors;
    auto v = ReadSampleLines(in, errors);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[1].points.size(), 4u);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("line 3:", 0), 0u);
}

TEST(Percentiles, NearestRank) {
    EXPECT_EQ(Percentile({}, 50), 0);
    EXPECT_EQ(Percentile({5}, 95), 5);
    EXPECT_EQ(Percentile({4, 1, 3, 2}, 50), 2);
    std::vector<double> v;
    for (int i = 1; i <= 100; ++i) v.push_back(101 - i);
    EXPECT_EQ(Percentile(v, 50), 50);
    EXPECT_EQ(Percentile(v, 95), 95);
    EXPECT_EQ(Percentile(v, 100), 100);
}

TEST(SampleLines, WrittenLinesReadBack) {
    Sample s;
    s.code = 0x96BE;
    s.points = {{1, 2, PT_PENDOWN}, {3, -4, PT_PENUP}, {5, 6, PT_PENDOWN | PT_PENUP}};
    std::string line = SampleLine(s);
    EXPECT_EQ(line, R"({"char": "明", "strokes": [[[1, 2], [3, -4]], [[5, 6]]]})");
    Sample back;
    std::string err;
    ASSERT_TRUE(ParseSampleLine(line, back, err)) << err;
    ASSERT_EQ(back.points.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back.points[i].x, s.points[i].x);
        EXPECT_EQ(back.points[i].y, s.points[i].y);
        EXPECT_EQ(back.points[i].attr, s.points[i].attr);
    }
}
