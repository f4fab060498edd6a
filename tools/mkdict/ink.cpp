#include "tools/mkdict/ink.h"

#include <algorithm>
#include <cmath>

namespace mkdict {

double PolylineLength(const Polyline& line) {
    double len = 0;
    for (size_t i = 1; i < line.size(); ++i)
        len += Distance(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y);
    return len;
}

Polyline Resample(const Polyline& line, double step) {
    if (line.size() < 2 || step <= 0) return line;
    Polyline out{line.front()};
    double carry = 0; // distance walked since the last output point
    for (size_t i = 1; i < line.size(); ++i) {
        PointD a = line[i - 1], b = line[i];
        double seg = Distance(b.x - a.x, b.y - a.y);
        double pos = step - carry; // distance along this segment of the next sample
        while (pos <= seg) {
            double t = pos / seg;
            out.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
            pos += step;
        }
        carry = seg - (pos - step);
    }
    PointD last = line.back();
    if (Distance(out.back().x - last.x, out.back().y - last.y) > step * 0.25)
        out.push_back(last);
    else
        out.back() = last;
    return out;
}

std::vector<POINT_W> ToPoints(const Ink& ink, double scale) {
    std::vector<POINT_W> pts;
    auto conv = [scale](double v) {
        double r = std::round(v * scale);
        return static_cast<int16_t>(std::clamp(r, -32768.0, 32767.0));
    };
    for (const auto& stroke : ink) {
        size_t first = pts.size();
        for (const auto& p : stroke) {
            POINT_W w{conv(p.x), conv(p.y), 0};
            if (pts.size() > first && pts.back().x == w.x && pts.back().y == w.y) continue;
            pts.push_back(w);
        }
        if (pts.size() == first) continue;
        pts[first].attr |= PT_PENDOWN;
        pts.back().attr |= PT_PENUP;
    }
    return pts;
}

} // namespace mkdict
