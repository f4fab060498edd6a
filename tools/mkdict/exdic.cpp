#include "tools/mkdict/exdic.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace mkdict {

namespace {

// Douglas-Peucker thinning of a polyline: keeps the points farther than tol from the
// chord of their neighbours.
void Thin(const Polyline& line, size_t a, size_t b, double tol, std::vector<bool>& keep) {
    if (b <= a + 1) return;
    double dx = line[b].x - line[a].x, dy = line[b].y - line[a].y, n = std::hypot(dx, dy);
    double best = -1;
    size_t at = a;
    for (size_t i = a + 1; i < b; ++i) {
        double d = n > 0
                       ? std::fabs((line[i].x - line[a].x) * dy - (line[i].y - line[a].y) * dx) / n
                       : std::hypot(line[i].x - line[a].x, line[i].y - line[a].y);
        if (d > best) best = d, at = i;
    }
    if (best <= tol) return;
    keep[at] = true;
    Thin(line, a, at, tol, keep);
    Thin(line, at, b, tol, keep);
}

void Put16(std::string& s, uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}
void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}
uint32_t Get(const std::string& s, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

} // namespace

ModelEntry MakeModelEntry(uint16_t code, const Ink& ink) {
    ModelEntry e;
    e.code = code;
    const double scale = kModelBoxSize / kKvgBoxSize;
    for (const auto& stroke : ink) {
        if (stroke.empty()) continue;
        Polyline line;
        for (auto p : stroke) line.push_back({p.x * scale, p.y * scale});
        std::vector<bool> keep(line.size(), false);
        keep.front() = keep.back() = true;
        Thin(line, 0, line.size() - 1, 0.5, keep);
        std::vector<std::pair<uint8_t, uint8_t>> pts;
        for (size_t i = 0; i < line.size(); ++i) {
            if (!keep[i]) continue;
            auto c = [](double v) {
                return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, long{kModelBoxSize}));
            };
            std::pair<uint8_t, uint8_t> q{c(line[i].x), c(line[i].y)};
            if (pts.empty() || pts.back() != q) pts.push_back(q);
        }
        e.strokes.push_back(std::move(pts));
    }
    return e;
}

bool WriteModelDictionary(const std::string& path, std::vector<ModelEntry> entries,
                          std::string& error) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const ModelEntry& a, const ModelEntry& b) { return a.code < b.code; });
    entries.erase(
        std::unique(entries.begin(), entries.end(),
                    [](const ModelEntry& a, const ModelEntry& b) { return a.code == b.code; }),
        entries.end());
    std::erase_if(entries, [](const ModelEntry& e) { return e.strokes.empty(); });
    if (entries.empty()) {
        error = "no model patterns to write";
        return false;
    }
    if (entries.size() > 0xFFFF) {
        error = "too many model patterns";
        return false;
    }
    std::string index, data;
    for (const auto& e : entries) {
        size_t offset = data.size();
        for (size_t s = 0; s < e.strokes.size(); ++s) {
            for (auto [x, y] : e.strokes[s]) {
                data += static_cast<char>(x);
                data += static_cast<char>(y);
            }
            bool last = s + 1 == e.strokes.size();
            data += static_cast<char>(last ? 254 : 255);
            data += static_cast<char>(last ? 254 : 255);
        }
        Put16(index, e.code);
        Put32(index, static_cast<uint32_t>(offset));
        Put32(index, static_cast<uint32_t>(data.size() - offset));
    }
    std::string head;
    Put32(head, static_cast<uint32_t>(12 + index.size()));
    Put16(head, static_cast<uint16_t>(entries.size()));
    Put16(head, kModelFormatVersion);
    Put16(head, kModelBoxSize);
    Put16(head, kModelBoxSize);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << head << index << data;
    out.close();
    if (!out) {
        error = path + ": cannot write";
        std::remove(path.c_str());
        return false;
    }
    return true;
}

bool ReadModelDictionary(const std::string& path, std::vector<ModelEntry>& entries,
                         uint16_t& ref_width, uint16_t& ref_height, std::string& error) {
    entries.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open";
        return false;
    }
    std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (s.size() < 12) {
        error = path + ": too short";
        return false;
    }
    uint32_t base = Get(s, 0, 4);
    uint32_t n = Get(s, 4, 2);
    ref_width = static_cast<uint16_t>(Get(s, 8, 2));
    ref_height = static_cast<uint16_t>(Get(s, 10, 2));
    if (12 + 10 * static_cast<size_t>(n) > s.size()) {
        error = path + ": index cut short";
        return false;
    }
    for (uint32_t i = 0; i < n; ++i) {
        size_t at = 12 + 10 * static_cast<size_t>(i);
        ModelEntry e;
        e.code = static_cast<uint16_t>(Get(s, at, 2));
        size_t p = static_cast<size_t>(base) + Get(s, at + 2, 4);
        std::vector<std::pair<uint8_t, uint8_t>> stroke;
        while (true) {
            if (p + 2 > s.size()) {
                error = path + ": pattern data cut short";
                return false;
            }
            auto x = static_cast<uint8_t>(s[p]), y = static_cast<uint8_t>(s[p + 1]);
            p += 2;
            if (x >= 254 && y >= 254) {
                e.strokes.push_back(std::move(stroke));
                stroke.clear();
                if (x == 254 && y == 254) break;
            } else {
                stroke.push_back({x, y});
            }
        }
        entries.push_back(std::move(e));
    }
    return true;
}

} // namespace mkdict
