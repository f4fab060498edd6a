#include "tools/mkdict/steady_grid.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace mkdict {

SteadyGrid::SteadyGrid(std::vector<std::vector<double>> axes,
                       std::function<double(const std::vector<double>&)> score)
    : axes_(std::move(axes)), score_(std::move(score)) {}

GridPoint SteadyGrid::Nearest(const std::vector<double>& values) const {
    GridPoint p(axes_.size(), 0);
    for (size_t a = 0; a < axes_.size() && a < values.size(); ++a)
        for (size_t i = 1; i < axes_[a].size(); ++i)
            if (std::abs(axes_[a][i] - values[a]) < std::abs(axes_[a][p[a]] - values[a])) p[a] = i;
    return p;
}

std::vector<double> SteadyGrid::Values(const GridPoint& p) const {
    std::vector<double> v(axes_.size(), 0.0);
    for (size_t a = 0; a < axes_.size(); ++a)
        if (!axes_[a].empty()) v[a] = axes_[a][std::min(p[a], axes_[a].size() - 1)];
    return v;
}

double SteadyGrid::Score(const GridPoint& p) {
    auto it = scores_.find(p);
    if (it != scores_.end()) return it->second;
    const double s = score_(Values(p));
    scores_.emplace(p, s);
    order_.push_back(p);
    return s;
}

std::vector<GridPoint> SteadyGrid::Neighbours(const GridPoint& p) const {
    std::vector<GridPoint> out;
    for (size_t a = 0; a < axes_.size(); ++a) {
        if (p[a] > 0) {
            out.push_back(p);
            --out.back()[a];
        }
        if (p[a] + 1 < axes_[a].size()) {
            out.push_back(p);
            ++out.back()[a];
        }
    }
    return out;
}

double SteadyGrid::Steady(const GridPoint& p) {
    double sum = Score(p);
    const std::vector<GridPoint> around = Neighbours(p);
    for (const GridPoint& q : around) sum += Score(q);
    return sum / static_cast<double>(around.size() + 1);
}

GridPoint SteadyGrid::Climb(const std::vector<GridPoint>& starts, int max_moves) {
    GridPoint best;
    double best_value = 0;
    for (const GridPoint& start : starts) {
        GridPoint p = start;
        double value = Steady(p);
        for (int move = 0; move < max_moves; ++move) {
            GridPoint next;
            double next_value = value;
            for (const GridPoint& q : Neighbours(p)) {
                const double v = Steady(q);
                if (v > next_value + 1e-9) next = q, next_value = v;
            }
            if (next.empty()) break;
            p = std::move(next), value = next_value;
        }
        if (best.empty() || value > best_value + 1e-9) best = p, best_value = value;
    }
    return best;
}

std::vector<GridPoint> SteadyGrid::Best(size_t k) const {
    std::vector<GridPoint> out = order_;
    std::stable_sort(out.begin(), out.end(), [this](const GridPoint& a, const GridPoint& b) {
        return scores_.at(a) > scores_.at(b);
    });
    if (out.size() > k) out.resize(k);
    return out;
}

} // namespace mkdict
