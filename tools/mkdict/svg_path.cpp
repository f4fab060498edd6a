#include "tools/mkdict/svg_path.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace mkdict {

namespace {

class Scanner {
public:
    explicit Scanner(std::string_view s) : s_(s) {}

    void SkipSeparators() {
        while (pos_ < s_.size() &&
               (std::isspace(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == ','))
            ++pos_;
    }
    bool AtEnd() {
        SkipSeparators();
        return pos_ >= s_.size();
    }
    size_t Pos() const { return pos_; }
    char Peek() const { return s_[pos_]; }
    char Take() { return s_[pos_++]; }
    bool AtNumber() {
        SkipSeparators();
        if (pos_ >= s_.size()) return false;
        char c = s_[pos_];
        return std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.';
    }

    // One SVG number: sign, digits, fraction, exponent. "0.5.5" reads as 0.5 then .5.
    bool Number(double& v) {
        SkipSeparators();
        size_t start = pos_, p = pos_;
        if (p < s_.size() && (s_[p] == '+' || s_[p] == '-')) ++p;
        size_t digits = 0;
        while (p < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p]))) ++p, ++digits;
        if (p < s_.size() && s_[p] == '.') {
            ++p;
            while (p < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p]))) ++p, ++digits;
        }
        if (digits == 0) return false;
        if (p < s_.size() && (s_[p] == 'e' || s_[p] == 'E')) {
            size_t q = p + 1;
            if (q < s_.size() && (s_[q] == '+' || s_[q] == '-')) ++q;
            if (q < s_.size() && std::isdigit(static_cast<unsigned char>(s_[q]))) {
                while (q < s_.size() && std::isdigit(static_cast<unsigned char>(s_[q]))) ++q;
                p = q;
            }
        }
        std::string text(s_.substr(start, p - start));
        v = std::strtod(text.c_str(), nullptr);
        if (!std::isfinite(v)) return false;
        pos_ = p;
        return true;
    }

private:
    std::string_view s_;
    size_t pos_ = 0;
};

double Dist(PointD a, PointD b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// Number of equal parameter steps that keep every chord within tolerance of the curve:
// a chord over a parameter step h deviates at most |B''| h^2 / 8, where second_diff
// bounds |B''|.
int ChordCount(double second_diff, double tolerance) {
    double n = std::ceil(std::sqrt(second_diff / (8 * tolerance)));
    return static_cast<int>(std::clamp(n, 1.0, 200.0));
}

double Norm(double x, double y) {
    return std::hypot(x, y);
}

void AddCubic(Polyline& line, PointD p0, PointD p1, PointD p2, PointD p3, double tol) {
    double d1 = Norm(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y);
    double d2 = Norm(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y);
    int n = ChordCount(6 * std::max(d1, d2), tol);
    for (int i = 1; i <= n; ++i) {
        double t = static_cast<double>(i) / n, u = 1 - t;
        double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, e = t * t * t;
        line.push_back(
            {a * p0.x + b * p1.x + c * p2.x + e * p3.x, a * p0.y + b * p1.y + c * p2.y + e * p3.y});
    }
}

void AddQuadratic(Polyline& line, PointD p0, PointD p1, PointD p2, double tol) {
    int n = ChordCount(2 * Norm(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y), tol);
    for (int i = 1; i <= n; ++i) {
        double t = static_cast<double>(i) / n, u = 1 - t;
        line.push_back({u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x,
                        u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y});
    }
}

} // namespace

bool FlattenPathData(std::string_view d, std::vector<Polyline>& out, std::string& error,
                     double tolerance) {
    out.clear();
    Scanner sc(d);
    PointD cur, start;
    PointD last_ctrl; // reflected by S / T
    char prev_cmd = 0;
    char cmd = 0;
    auto fail = [&](const std::string& why) {
        error = "path data at offset " + std::to_string(sc.Pos()) + ": " + why;
        out.clear();
        return false;
    };
    while (!sc.AtEnd()) {
        char c = sc.Peek();
        if (std::isalpha(static_cast<unsigned char>(c))) {
            sc.Take();
            cmd = c;
        } else if (cmd == 0) {
            return fail("path data must start with a moveto");
        } else if (cmd == 'Z' || cmd == 'z') {
            return fail("numbers after a closepath");
        }
        // else: repetition of the previous command with new arguments
        if (out.empty() && cmd != 'M' && cmd != 'm')
            return fail("path data must start with a moveto");
        bool rel = std::islower(static_cast<unsigned char>(cmd));
        char up = static_cast<char>(std::toupper(static_cast<unsigned char>(cmd)));
        double v[6];
        auto read = [&](int n) {
            for (int i = 0; i < n; ++i)
                if (!sc.Number(v[i])) return false;
            return true;
        };
        auto at = [&](double x, double y) {
            return rel ? PointD{cur.x + x, cur.y + y} : PointD{x, y};
        };
        switch (up) {
        case 'M': {
            if (!read(2)) return fail("moveto needs two numbers");
            cur = at(v[0], v[1]);
            start = cur;
            if (prev_cmd == 'Z')
                out.back() = {cur}; // replaces the closepath's leftover
            else
                out.push_back({cur});
            // Further pairs after a moveto are linetos of the same kind.
            cmd = rel ? 'l' : 'L';
            last_ctrl = cur;
            prev_cmd = 'M';
            continue;
        }
        case 'L':
            if (!read(2)) return fail("lineto needs two numbers");
            cur = at(v[0], v[1]);
            out.back().push_back(cur);
            break;
        case 'H':
            if (!read(1)) return fail("horizontal lineto needs a number");
            cur.x = rel ? cur.x + v[0] : v[0];
            out.back().push_back(cur);
            break;
        case 'V':
            if (!read(1)) return fail("vertical lineto needs a number");
            cur.y = rel ? cur.y + v[0] : v[0];
            out.back().push_back(cur);
            break;
        case 'C': {
            if (!read(6)) return fail("curveto needs six numbers");
            PointD p1 = at(v[0], v[1]), p2 = at(v[2], v[3]), p3 = at(v[4], v[5]);
            AddCubic(out.back(), cur, p1, p2, p3, tolerance);
            last_ctrl = p2;
            cur = p3;
            prev_cmd = 'C';
            continue;
        }
        case 'S': {
            if (!read(4)) return fail("smooth curveto needs four numbers");
            PointD p1 =
                prev_cmd == 'C' ? PointD{2 * cur.x - last_ctrl.x, 2 * cur.y - last_ctrl.y} : cur;
            PointD p2 = at(v[0], v[1]), p3 = at(v[2], v[3]);
            AddCubic(out.back(), cur, p1, p2, p3, tolerance);
            last_ctrl = p2;
            cur = p3;
            prev_cmd = 'C';
            continue;
        }
        case 'Q': {
            if (!read(4)) return fail("quadratic curveto needs four numbers");
            PointD p1 = at(v[0], v[1]), p2 = at(v[2], v[3]);
            AddQuadratic(out.back(), cur, p1, p2, tolerance);
            last_ctrl = p1;
            cur = p2;
            prev_cmd = 'Q';
            continue;
        }
        case 'T': {
            if (!read(2)) return fail("smooth quadratic curveto needs two numbers");
            PointD p1 =
                prev_cmd == 'Q' ? PointD{2 * cur.x - last_ctrl.x, 2 * cur.y - last_ctrl.y} : cur;
            PointD p2 = at(v[0], v[1]);
            AddQuadratic(out.back(), cur, p1, p2, tolerance);
            last_ctrl = p1;
            cur = p2;
            prev_cmd = 'Q';
            continue;
        }
        case 'Z':
            if (Dist(cur, start) > 0) out.back().push_back(start);
            cur = start;
            // A command after a closepath without a moveto starts at the subpath start.
            out.push_back({cur});
            break;
        case 'A':
            return fail("elliptic arcs are not supported in stroke data");
        default:
            return fail(std::string("unknown path command '") + cmd + "'");
        }
        prev_cmd = up;
    }
    // A closepath leaves a one-point polyline behind for a following command; drop it
    // when nothing followed.
    if (!out.empty() && out.back().size() == 1 && out.size() > 1 && (prev_cmd == 'Z'))
        out.pop_back();
    if (out.empty()) {
        error = "empty path data";
        return false;
    }
    return true;
}

} // namespace mkdict
