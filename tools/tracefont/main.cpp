// tessera-tracefont: writing samples traced from a handwriting font, as JSON lines for
// tessera-bench. Each glyph is thinned to a skeleton and the strokes of the character's
// KanjiVG drawing are found on it: KanjiVG decides how the character is cut into strokes
// and in which order and direction they are written, the font decides their shape.
#include <QFile>
#include <QGuiApplication>
#include <QRawFont>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/bench/samples.h"
#include "tools/mkdict/charset.h"
#include "tools/mkdict/kvg_archive.h"
#include "tools/mkdict/kvg_character.h"
#include "tools/tracefont/glyph_raster.h"
#include "tools/tracefont/glyph_trace.h"

namespace {

const char kUsage[] =
    "usage: tessera-tracefont --font PATH.ttf [options]\n"
    "  --kanjivg PATH  KanjiVG release, zip or folder (default: the build's)\n"
    "  --chars FILE    trace the characters of this UTF-8 text file\n"
    "  --all           trace every character KanjiVG and the dictionaries have (default)\n"
    "  --size N        glyph picture side in pixels, 32 to 1024 (128)\n"
    "  --out FILE      write the JSON lines here (default: standard output)\n"
    "  --radius PX     farthest the font's line may lie from the KanjiVG stroke, in\n"
    "                  pixels of a 128-pixel glyph, 4 to 64 (16)\n"
    "  --seed N        seed of the pen's point spacing (1)\n";

struct Options {
    std::string font, kanjivg = TRACEFONT_DEFAULT_KANJIVG, chars, out;
    int size = 128;
    int radius = 16;
    uint64_t seed = 1;
};

bool ParseInt(const std::string& s, long long lo, long long hi, long long& v) {
    char* end = nullptr;
    v = std::strtoll(s.c_str(), &end, 10);
    return !s.empty() && *end == '\0' && v >= lo && v <= hi;
}

bool ParseArgs(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& v) { return i + 1 < argc ? (v = argv[++i], true) : false; };
        bool ok = true;
        std::string v;
        long long n = 0;
        if (a == "--font")
            ok = value(o.font);
        else if (a == "--kanjivg")
            ok = value(o.kanjivg);
        else if (a == "--chars")
            ok = value(o.chars);
        else if (a == "--all")
            o.chars.clear();
        else if (a == "--out")
            ok = value(o.out);
        else if (a == "--size") {
            ok = value(v) && ParseInt(v, 32, 1024, n);
            o.size = static_cast<int>(n);
        } else if (a == "--radius") {
            ok = value(v) && ParseInt(v, 4, 64, n);
            o.radius = static_cast<int>(n);
        } else if (a == "--seed") {
            ok = value(v) && ParseInt(v, 0, INT64_MAX, n);
            o.seed = static_cast<uint64_t>(n);
        } else {
            std::fprintf(stderr, "tessera-tracefont: unknown option %s\n", a.c_str());
            return false;
        }
        if (!ok) {
            std::fprintf(stderr, "tessera-tracefont: bad or missing value for %s\n", a.c_str());
            return false;
        }
    }
    if (o.font.empty()) {
        std::fprintf(stderr, "tessera-tracefont: --font is required\n");
        return false;
    }
    return true;
}

// The code points of a UTF-8 text file, in order of first appearance, blanks left out.
bool ReadChars(const std::string& path, std::vector<char32_t>& out) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return false;
    std::set<char32_t> seen;
    for (char32_t c : QString::fromUtf8(f.readAll()).toUcs4())
        if (!QChar::isSpace(c) && seen.insert(c).second) out.push_back(c);
    return true;
}

// Spacing of the pen's points for one character: 2 to 3 pixels at 128, as a pen moving
// at a steady, writer-dependent speed samples it. SplitMix64 of the seed and the code point.
double PointSpacing(uint64_t seed, char32_t cp, int size) {
    uint64_t z = seed * 0x9E3779B97F4A7C15ull + cp;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    double u = static_cast<double>(z >> 11) / 9007199254740992.0;
    return (2.0 + u) * size / 128.0;
}

// KanjiVG draws the ASCII digits and letters; the dictionaries file them under their
// full-width forms, which is also the glyph a Japanese font draws for such an answer.
char32_t AsciiForm(char32_t cp) {
    return cp >= 0xFF01 && cp <= 0xFF5E ? cp - 0xFEE0 : cp;
}
char32_t FullWidthForm(char32_t cp) {
    return cp >= 0x21 && cp <= 0x7E ? cp + 0xFEE0 : cp;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseArgs(argc, argv, o)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QRawFont font(QString::fromStdString(o.font), 100);
    if (!font.isValid()) {
        std::fprintf(stderr, "tessera-tracefont: %s: not a usable font file\n", o.font.c_str());
        return 1;
    }
    std::string err;
    auto archive = mkdict::KvgArchive::Open(o.kanjivg, err);
    if (!archive) {
        std::fprintf(stderr, "tessera-tracefont: %s\n", err.c_str());
        return 1;
    }
    std::vector<char32_t> chars;
    if (!o.chars.empty()) {
        if (!ReadChars(o.chars, chars)) {
            std::fprintf(stderr, "tessera-tracefont: %s: cannot read\n", o.chars.c_str());
            return 1;
        }
    } else {
        for (const auto& e : archive->Entries()) chars.push_back(e.codepoint);
    }

    std::ofstream file;
    if (!o.out.empty()) {
        file.open(o.out);
        if (!file) {
            std::fprintf(stderr, "tessera-tracefont: %s: cannot write\n", o.out.c_str());
            return 1;
        }
    }
    std::ostream& out = o.out.empty() ? std::cout : file;

    tracefont::TraceParams base;
    base.radius = o.radius;
    const tracefont::TraceParams params = base.ScaledTo(o.size);
    tracefont::TraceTally tally;
    int unreadable = 0;
    for (char32_t cp : chars) {
        const mkdict::KvgEntry* entry = archive->Find(cp);
        if (!entry) entry = archive->Find(AsciiForm(cp));
        auto code = entry ? mkdict::DictionaryCodeFor(entry->codepoint) : std::nullopt;
        if (!code) {
            ++tally.missing_drawing;
            continue;
        }
        std::string svg;
        mkdict::KvgCharacter drawing;
        if (!archive->Read(*entry, svg, err) || !mkdict::ParseKvgSvg(svg, drawing, err)) {
            std::fprintf(stderr, "tessera-tracefont: U+%04X: %s\n", unsigned(cp), err.c_str());
            ++unreadable;
            continue;
        }
        tracefont::Bitmap glyph;
        if (!tracefont::RenderGlyph(font, FullWidthForm(entry->codepoint), o.size, glyph) &&
            !tracefont::RenderGlyph(font, entry->codepoint, o.size, glyph)) {
            ++tally.missing_font;
            continue;
        }
        auto trace = tracefont::TraceGlyph(glyph, drawing.strokes, params);
        bench::Sample sample;
        sample.code = *code;
        sample.points = tracefont::PenInput(trace, PointSpacing(o.seed, cp, o.size));
        tally.Add(trace);
        if (sample.points.empty()) continue;
        out << bench::SampleLine(sample) << '\n';
    }
    out.flush();
    if (!out) {
        std::fprintf(stderr, "tessera-tracefont: %s: write failed\n",
                     o.out.empty() ? "standard output" : o.out.c_str());
        return 1;
    }
    std::fprintf(stderr, "tessera-tracefont: %s", tally.Summary().c_str());
    if (unreadable) std::fprintf(stderr, ", %d drawings unreadable", unreadable);
    std::fputc('\n', stderr);
    return tally.traced > 0 ? 0 : 1;
}
