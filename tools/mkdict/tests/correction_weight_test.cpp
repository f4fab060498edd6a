// The choice of the correction pass's weight over recognized lines of several kinds.
#include "tools/mkdict/correction_weight.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using mkdict::ChooseCorrectionWeight;
using mkdict::CorrectionCase;

// A line of one character per list whose first candidate is `first` and second `second`.
CorrectionCase Line(std::vector<std::pair<uint16_t, uint16_t>> chars, std::vector<uint16_t> truth,
                    int kind) {
    CorrectionCase c;
    for (auto [a, b] : chars) c.lists.push_back({{a, 900}, {b, 890}, {0, 0}});
    c.truth = std::move(truth);
    c.kind = kind;
    return c;
}

// Stands in for the bigram pass: from a weight of `from` on, every list's second
// candidate goes first (the language model overruling the shapes).
auto SwapFrom(double from) {
    return [from](CODE_SCORE** lists, int count, int, double weight) {
        if (weight < from) return;
        for (int t = 0; t < count; ++t) std::swap(lists[t][0], lists[t][1]);
    };
}

TEST(CorrectionWeight, EachKindOfLineWeighsTheSame) {
    // Three text lines that the pass repairs, one random line that it spoils, and one
    // random line that it leaves wrong: repairing 3/3 text lines outweighs spoiling 1/2 of
    // the random lines (1 + 0 against 0 + 0.5).
    std::vector<CorrectionCase> cases;
    for (int n = 0; n < 3; ++n) cases.push_back(Line({{1, 2}, {3, 4}}, {2, 4}, 0));
    cases.push_back(Line({{5, 6}, {7, 8}}, {5, 7}, 1));
    cases.push_back(Line({{5, 6}, {7, 8}}, {9, 9}, 1));
    EXPECT_EQ(ChooseCorrectionWeight(cases, {0, 4, 8}, SwapFrom(4)), 4);

    // One text line repaired against five random lines spoiled: counted by lines the pass
    // would lose 1 : 5; counted by kind it is a tie (1 + 0 against 0 + 1), and the smaller
    // weight stays.
    cases.clear();
    cases.push_back(Line({{1, 2}, {3, 4}}, {2, 4}, 0));
    for (int n = 0; n < 5; ++n) cases.push_back(Line({{5, 6}, {7, 8}}, {5, 7}, 1));
    EXPECT_EQ(ChooseCorrectionWeight(cases, {0, 4, 8}, SwapFrom(4)), 0);

    // Two text lines repaired, of three random lines one spoiled and two repaired:
    // 1 + 2/3 beats 0 + 1/3.
    cases.clear();
    for (int n = 0; n < 2; ++n) cases.push_back(Line({{1, 2}, {3, 4}}, {2, 4}, 0));
    cases.push_back(Line({{5, 6}, {7, 8}}, {5, 7}, 1));
    for (int n = 0; n < 2; ++n) cases.push_back(Line({{5, 6}, {7, 8}}, {6, 8}, 1));
    EXPECT_EQ(ChooseCorrectionWeight(cases, {0, 2, 4, 8}, SwapFrom(2)), 2);
}

TEST(CorrectionWeight, LinesReadWithTheWrongCountNeverCount) {
    // The search read two characters where there are three: no weight makes it right, so
    // the grid's smallest weight stays even though the pass changes the lists.
    std::vector<CorrectionCase> cases = {Line({{1, 2}, {3, 4}}, {2, 4, 4}, 0)};
    EXPECT_EQ(ChooseCorrectionWeight(cases, {1, 5}, SwapFrom(5)), 1);
    // An empty line and a kind out of range are passed over, as is an empty grid.
    cases.push_back(CorrectionCase{});
    cases.push_back(Line({{1, 2}}, {2}, 7));
    EXPECT_EQ(ChooseCorrectionWeight(cases, {1, 5}, SwapFrom(5)), 1);
    EXPECT_EQ(ChooseCorrectionWeight(cases, {}, SwapFrom(5)), 0);
}

} // namespace
