#include <gtest/gtest.h>

#include "tools/bench/strokecount.h"

using namespace bench;

namespace {

mkdict::Polyline Line(std::initializer_list<mkdict::PointD> pts) {
    return mkdict::Polyline(pts);
}

// A box drawn as 口 is: the left side, the top and right side in one stroke with a corner,
// the bottom (starting a little in, so that the right side's end is nearest to it).
const mkdict::Ink kBox = {Line({{0, 0}, {0, 50}}), Line({{0, 0}, {50, 0}, {50, 50}}),
                          Line({{10, 50}, {50, 50}})};

} // namespace

TEST(StrokeCountErrors, JoinsAtNearestGapsAndSplitsAtCorners) {
    struct Case {
        int joins, splits;
        size_t strokes;
        int made_joins, made_splits;
        mkdict::PointD first_of_last; // first point of the last stroke
    };
    const Case cases[] = {
        {0, 0, 3, 0, 0, {10, 50}}, {1, 0, 2, 1, 0, {0, 0}},   // right side's end to bottom
        {2, 0, 1, 2, 0, {0, 0}},   {5, 0, 1, 2, 0, {0, 0}},   // no more strokes to join
        {0, 1, 4, 0, 1, {10, 50}}, {0, 2, 4, 0, 1, {10, 50}}, // one corner only
        {1, 1, 3, 1, 1, {50, 0}}, // the lifted pair is left apart: the right side joins the bottom
    };
    for (const Case& c : cases) {
        StrokeCountErrors made;
        const mkdict::Ink ink = WithStrokeCountErrors(kBox, c.joins, c.splits, &made);
        SCOPED_TRACE(testing::Message() << c.joins << " joins, " << c.splits << " splits");
        ASSERT_EQ(ink.size(), c.strokes);
        EXPECT_EQ(made.joins, c.made_joins);
        EXPECT_EQ(made.splits, c.made_splits);
        EXPECT_NEAR(ink.back().front().x, c.first_of_last.x, 1e-9);
        EXPECT_NEAR(ink.back().front().y, c.first_of_last.y, 1e-9);
        size_t points = 0, model_points = 0;
        for (const auto& s : ink) points += s.size();
        for (const auto& s : kBox) model_points += s.size();
        if (c.splits == 0) {
            EXPECT_EQ(points, model_points); // joins keep every point
        }
    }
}
