// The search for values good in their neighbourhood: a lone high point loses to a broad
// one, the climb goes uphill, and each point is scored once.
#include "tools/mkdict/steady_grid.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using mkdict::GridPoint;
using mkdict::SteadyGrid;

const std::vector<double> kTen = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

TEST(SteadyGrid, ChoosesTheBroadHighGroundOverALoneHighPoint) {
    const struct {
        const char* name;
        std::vector<double> scores; // along one axis of ten points
        size_t starts;
        size_t chosen;
    } cases[] = {
        {"a spike beside a plateau", {0, 0, 1.0, 0, 0, 0, 0.9, 0.9, 0.9, 0}, 4, 7},
        {"a plateau at the axis's end", {0.8, 0.8, 0, 0, 0, 1.0, 0, 0, 0, 0}, 3, 0},
        {"a slope climbed from its foot", {0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.6, 0.5}, 1, 7},
        {"a tie keeps the earlier start", {0, 0.5, 0.5, 0.5, 0, 0, 0.5, 0.5, 0.5, 0}, 6, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int calls = 0;
        SteadyGrid grid({kTen}, [&](const std::vector<double>& v) {
            ++calls;
            return c.scores[static_cast<size_t>(v[0])];
        });
        // the search first scores the points its coarse steps try
        for (size_t i = 0; i < 10; i += c.starts == 1 ? 10 : 1) grid.Score({i});
        const GridPoint chosen = grid.Climb(grid.Best(c.starts), 20);
        ASSERT_EQ(chosen.size(), 1u);
        EXPECT_EQ(chosen[0], c.chosen);
        EXPECT_EQ(static_cast<size_t>(calls), grid.Counted()); // every point scored once
    }
}

TEST(SteadyGrid, AveragesOverTheNeighboursAlongEveryAxis) {
    // score x + 10 y on a 10 x 10 grid: the mean over a cross is the centre's score inside,
    // and leans inwards at the edges and corners
    SteadyGrid grid({kTen, kTen}, [](const std::vector<double>& v) { return v[0] + 10 * v[1]; });
    EXPECT_DOUBLE_EQ(grid.Steady({4, 5}), 54);
    EXPECT_DOUBLE_EQ(grid.Steady({0, 5}), (50 + 51 + 40 + 60) / 4.0);
    EXPECT_DOUBLE_EQ(grid.Steady({9, 9}), (99 + 98 + 89) / 3.0);
    EXPECT_EQ(grid.Counted(), 5u + 4u + 3u);
    // the climb goes up the steeper axis first and ends beside the corner of the highest
    // scores, whose thinner neighbourhood counts its lower neighbours more
    EXPECT_EQ(grid.Climb({{0, 0}}, 100), (GridPoint{8, 9}));
    EXPECT_EQ(grid.Climb({{0, 0}}, 3), (GridPoint{0, 3}));
}

TEST(SteadyGrid, MapsValuesToTheNearestPoint) {
    SteadyGrid grid({{-1e30, -8, -7}, {0.25, 0.5, 1}},
                    [](const std::vector<double>&) { return 0; });
    EXPECT_EQ(grid.Nearest({-1e30, 0.5}), (GridPoint{0, 1}));
    EXPECT_EQ(grid.Nearest({-7.4, 2}), (GridPoint{2, 2}));
    EXPECT_EQ(grid.Values({1, 0}), (std::vector<double>{-8, 0.25}));
    EXPECT_TRUE(grid.Best(3).empty());
}

} // namespace
