// A search for values that score well in their neighbourhood, on a grid of one list of
// values per axis. A score counted on a few hundred training lines is a step function of
// the values: a lone grid point may read two lines more than the points around it, and
// which point that is depends on the lines drawn. The mean score over a point and its
// neighbours changes less from one set of lines to another, so the values it chooses
// move held-out figures less.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <vector>

namespace mkdict {

// One index into each axis.
using GridPoint = std::vector<size_t>;

class SteadyGrid {
public:
    // score(values) is called once per point, with the values of the point's indices.
    SteadyGrid(std::vector<std::vector<double>> axes,
               std::function<double(const std::vector<double>&)> score);

    // The point of the values nearest to values on each axis (values on the grid map to
    // their own indices).
    GridPoint Nearest(const std::vector<double>& values) const;
    std::vector<double> Values(const GridPoint& p) const;

    // The score of p, counted once.
    double Score(const GridPoint& p);
    // The mean score of p and of its neighbours, the points one step away along one axis
    // (fewer at an axis's ends).
    double Steady(const GridPoint& p);

    // From each of the starts in turn, moves one step along an axis to the neighbour of the
    // best steady score while that is higher, at most max_moves times; the point of the
    // highest steady score reached (the earlier start, and the earlier axis, on a tie).
    GridPoint Climb(const std::vector<GridPoint>& starts, int max_moves);

    // The k points of the highest scores counted so far, best first (the earlier counted on
    // a tie).
    std::vector<GridPoint> Best(size_t k) const;

    // Points whose score was counted.
    size_t Counted() const { return order_.size(); }

private:
    std::vector<GridPoint> Neighbours(const GridPoint& p) const;

    std::vector<std::vector<double>> axes_;
    std::function<double(const std::vector<double>&)> score_;
    std::map<GridPoint, double> scores_;
    std::vector<GridPoint> order_; // in the order counted
};

} // namespace mkdict
