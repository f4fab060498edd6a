#include "tools/mkdict/lines.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "strrec/charkind.h"
#include "tools/mkdict/charset.h"
#include "tools/mkdict/kvg_archive.h"
#include "tools/mkdict/kvg_character.h"

namespace mkdict {

namespace {

// Code points of UTF-8 text (invalid bytes are skipped).
std::vector<char32_t> CodePoints(const std::string& s) {
    std::vector<char32_t> out;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) {
            ++i;
            continue;
        }
        char32_t cp = n == 1 ? c : c & (0x7F >> n);
        for (int k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += static_cast<size_t>(n);
    }
    return out;
}

// A full-size kana's drawing in its box: the larger extent of its ink, and the margin
// below its ink (averages over the KanjiVG drawings of kana that have small forms).
constexpr double kKanaInk = 0.66, kKanaFoot = 0.17;

// The size of the small kana at place n of a line, against a full-size kana's ink: from
// a random source of its own, so that the line's other characters draw what they would
// draw without it.
double SmallKanaShare(uint64_t seed, size_t n, const LineLayoutParams& p) {
    Random rnd(seed ^ 0x736D616C6C6B616EULL ^ (uint64_t{n} << 24));
    return rnd.Uniform(p.small_kana_lo, p.small_kana_hi);
}

struct Box {
    double minx = 1e9, miny = 1e9, maxx = -1e9, maxy = -1e9;
    void Add(const PointD& p) {
        minx = std::min(minx, p.x), maxx = std::max(maxx, p.x);
        miny = std::min(miny, p.y), maxy = std::max(maxy, p.y);
    }
};

} // namespace

bool ReadModels(const std::string& kanjivg, const std::vector<uint16_t>& wanted, ModelSet& out,
                std::string& error) {
    auto archive = KvgArchive::Open(kanjivg, error);
    if (!archive) return false;
    const std::set<uint16_t> want(wanted.begin(), wanted.end());
    for (const auto& e : archive->Entries()) {
        auto code = DictionaryCodeFor(e.codepoint);
        if (!code || (!want.empty() && want.count(*code) == 0) || out.count(*code)) continue;
        std::string svg, err;
        KvgCharacter ch;
        if (!archive->Read(e, svg, err) || !ParseKvgSvg(svg, ch, err)) continue;
        out[*code] = std::move(ch.strokes);
    }
    return true;
}

bool WriteLine(const ModelSet& models, const std::vector<uint16_t>& codes, uint64_t seed,
               const LineLayoutParams& p, WrittenLine& out) {
    out = WrittenLine{};
    Random rnd(seed);
    const double size = rnd.Uniform(p.min_size, p.max_size);
    const bool mouse = rnd.Uniform() < p.character.mouse_share;
    const double step = mouse ? rnd.Uniform(2.0, 7.0) : rnd.Uniform(1.0, 3.0);
    const double slope = p.slope_sd * rnd.Normal();
    const double top = size; // the line's top margin
    double x = size * rnd.Uniform(0.2, 1.0), baseline = 0;
    Ink line;
    for (uint16_t code : codes) {
        auto it = models.find(code);
        if (it == models.end()) return false;
        // each character's order and direction errors drawn for the line and its place
        Ink ink = DistortedInk(
            WithWritingErrors(it->second, seed ^ (uint64_t{out.codes.size()} << 48), p.character),
            rnd, p.character);
        double f = std::exp(p.size_sd * rnd.Normal());
        const int kind = iTellCharCodeKind(code);
        if (kind == CK_KANA) f *= rnd.Uniform(p.kana_scale_lo, p.kana_scale_hi);
        double scale = size * f / kKvgBoxSize;
        // Small characters sit on the line's baseline or float up towards its middle, as
        // writers place them; the drawing keeps where in its box a mark such as 。 lies.
        const double lift = (1 - f) * size * rnd.Uniform(0.0, 0.5);
        baseline += p.baseline_sd * size * rnd.Normal();
        Box box;
        for (const auto& s : ink)
            for (const auto& q : s) box.Add(q);
        if (box.maxx < box.minx) return false;
        // The ink point that lands on `bottom`: the foot of the box, or for a small kana
        // the foot of its ink, which stands where a full-size kana's ink would end.
        double foot = kKvgBoxSize, bottom = top + size + baseline - lift;
        if (IsSmallKana(code)) {
            const double extent = std::max({box.maxx - box.minx, box.maxy - box.miny, 1.0});
            scale = SmallKanaShare(seed, out.codes.size(), p) * kKanaInk * size * f / extent;
            foot = box.maxy;
            bottom = top + size + baseline - kKanaFoot * size * f;
        }
        const double left = x - box.minx * scale;
        for (auto& s : ink)
            for (auto& q : s) {
                const double px = left + q.x * scale;
                q = {px, bottom - (foot - q.y) * scale + slope * px};
            }
        x += (box.maxx - box.minx) * scale +
             size * std::max(0.0, p.gap_mean + p.gap_sd * rnd.Normal());
        for (auto& s : ink) line.push_back(SampleLikeDevice(s, step, mouse, rnd));
        out.codes.push_back(code);
        out.char_end.push_back(static_cast<int>(line.size()));
    }
    // Integer pixels, as the device reports them; a stroke whose points fall together
    // stays a stroke of one point.
    size_t stroke = 0;
    std::vector<int> ends;
    for (size_t c = 0; c < out.char_end.size(); ++c) {
        for (; stroke < static_cast<size_t>(out.char_end[c]); ++stroke) {
            std::vector<tagPOINT> pts;
            for (const auto& q : line[stroke]) {
                tagPOINT t{static_cast<int32_t>(std::lround(q.x)),
                           static_cast<int32_t>(std::lround(q.y))};
                if (!pts.empty() && pts.back().x == t.x && pts.back().y == t.y) continue;
                pts.push_back(t);
            }
            if (!pts.empty()) out.strokes.push_back(std::move(pts));
        }
        ends.push_back(static_cast<int>(out.strokes.size()));
        if (ends.back() == (c ? ends[c - 1] : 0)) return false; // a character without ink
    }
    out.char_end = ends;
    return true;
}

std::vector<std::vector<uint16_t>> TextPieces(const std::string& utf8, const ModelSet& models,
                                              int min_len, int max_len, size_t count,
                                              uint64_t seed) {
    // Runs of characters the models hold; everything else (ASCII, spaces, line ends,
    // characters without a drawing) ends a run.
    std::vector<std::vector<uint16_t>> runs(1);
    for (char32_t cp : CodePoints(utf8)) {
        auto code = cp >= 0x80 ? DictionaryCodeFor(cp) : std::nullopt;
        if (code && models.count(*code)) {
            runs.back().push_back(*code);
        } else if (!runs.back().empty()) {
            runs.emplace_back();
        }
    }
    std::vector<std::vector<uint16_t>> pieces;
    Random rnd(seed);
    for (const auto& run : runs) {
        for (size_t at = 0; at + static_cast<size_t>(min_len) <= run.size();) {
            const int len = min_len + static_cast<int>(rnd.Next() % (max_len - min_len + 1));
            const size_t n = std::min(run.size() - at, static_cast<size_t>(len));
            if (n >= static_cast<size_t>(min_len))
                pieces.emplace_back(run.begin() + static_cast<long>(at),
                                    run.begin() + static_cast<long>(at + n));
            at += n;
        }
    }
    if (pieces.size() <= count) return pieces;
    std::vector<std::vector<uint16_t>> chosen;
    for (size_t k = 0; k < count; ++k) chosen.push_back(pieces[k * pieces.size() / count]);
    return chosen;
}

std::vector<std::vector<uint16_t>> RandomKanjiStrings(const ModelSet& models, int min_len,
                                                      int max_len, size_t count, uint64_t seed) {
    std::vector<uint16_t> kanji;
    for (const auto& [code, ink] : models) {
        const int kind = iTellCharCodeKind(code);
        if (kind == CK_KANJI || kind == CK_SIMPLEKANJI) kanji.push_back(code);
    }
    std::vector<std::vector<uint16_t>> out;
    if (kanji.empty()) return out;
    Random rnd(seed);
    for (size_t k = 0; k < count; ++k) {
        const int len = min_len + static_cast<int>(rnd.Next() % (max_len - min_len + 1));
        std::vector<uint16_t> s;
        for (int n = 0; n < len; ++n) s.push_back(kanji[rnd.Next() % kanji.size()]);
        out.push_back(std::move(s));
    }
    return out;
}

size_t EditDistance(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diag = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diag + (a[i - 1] != b[j - 1])});
            diag = up;
        }
    }
    return row[b.size()];
}

std::vector<uint16_t> CodesOfSjis(const char* text) {
    std::vector<uint16_t> out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); p && *p; ++p) {
        const bool lead = (*p >= 0x81 && *p <= 0x9F) || (*p >= 0xE0 && *p <= 0xFC);
        if (lead && p[1] != 0) {
            out.push_back(static_cast<uint16_t>(*p << 8 | p[1]));
            ++p;
        } else {
            out.push_back(*p);
        }
    }
    return out;
}

} // namespace mkdict
