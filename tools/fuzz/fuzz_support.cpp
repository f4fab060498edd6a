#include "tools/fuzz/fuzz_support.h"

#include "classifier/coarse.h"
#include "classifier/crdic.h"
#include "classifier/normalize.h"
#include "strrec/bigram.h"

// The decoder needs libFuzzer's data provider (clang); the dictionaries and shapes below
// also serve the benchmark of the normal build.
#if __has_include(<fuzzer/FuzzedDataProvider.h>)
#include <fuzzer/FuzzedDataProvider.h>
#define TESSERA_FUZZ_DECODER 1
#endif

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fuzz {

std::string ScratchPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("tessera_fuzz_" + std::to_string(getpid()) + "_" + name))
        .string();
}

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

namespace {

// A small deterministic generator, so that one fuzz input always means the same ink.
struct Lcg {
    uint32_t s;
    uint32_t next() {
        s = s * 1664525u + 1013904223u;
        return s >> 8;
    }
    int in(int lo, int hi) { // lo..hi inclusive
        return lo + static_cast<int>(next() % static_cast<uint32_t>(hi - lo + 1));
    }
};

using Shape = std::vector<std::vector<std::pair<int, int>>>;

const std::vector<Shape>& Shapes() {
    static const std::vector<Shape> shapes = {
        {{{10, 64}, {118, 64}}},                                                 // bar
        {{{64, 10}, {64, 118}}},                                                 // post
        {{{10, 64}, {118, 64}}, {{64, 10}, {64, 118}}},                          // cross
        {{{20, 20}, {108, 20}}, {{64, 20}, {64, 108}}, {{10, 108}, {118, 108}}}, // kou
        {{{24, 24}, {24, 104}}, {{24, 24}, {104, 24}, {104, 104}}, {{24, 104}, {104, 104}}},
        {{{30, 40}, {98, 40}}, {{16, 96}, {112, 96}}}, // two bars
        {{{40, 60}, {70, 50}, {88, 70}, {60, 100}}},   // small hook
        {{{20, 10}, {20, 110}, {110, 110}}},           // ell
    };
    return shapes;
}

// Appends a shape scaled into a w x h box at (ox, oy).
void AddShape(std::vector<Stroke>& out, const Shape& s, long ox, long oy, long w, long h) {
    for (const auto& st : s) {
        Stroke o;
        for (auto [x, y] : st)
            o.push_back(tagPOINT{static_cast<int32_t>(ox + x * w / 128),
                                 static_cast<int32_t>(oy + y * h / 128)});
        out.push_back(std::move(o));
    }
}

#ifdef TESSERA_FUZZ_DECODER
int32_t Extreme(FuzzedDataProvider& in) {
    static const int32_t v[] = {INT32_MIN,
                                INT32_MIN + 1,
                                -1000000000,
                                -65536,
                                -32769,
                                INT16_MIN,
                                -1,
                                0,
                                1,
                                127,
                                128,
                                255,
                                32767,
                                32768,
                                65535,
                                1000000000,
                                INT32_MAX - 1,
                                INT32_MAX};
    if (in.ConsumeBool()) return in.ConsumeIntegral<int32_t>();
    return v[in.ConsumeIntegralInRange<size_t>(0, sizeof v / sizeof v[0] - 1)];
}

#endif
} // namespace
#ifdef TESSERA_FUZZ_DECODER

std::vector<Stroke> DecodeStrokes(FuzzedDataProvider& in, size_t max_points) {
    std::vector<Stroke> out;
    size_t total = 0;
    auto room = [&] { return total < max_points; };
    const int mode = in.ConsumeIntegralInRange<int>(0, 7);
    switch (mode) {
    case 0: // raw samples, stroke lengths from the data
        while (in.remaining_bytes() > 0 && room()) {
            Stroke s;
            const int n = in.ConsumeIntegralInRange<int>(1, 64);
            for (int i = 0; i < n && in.remaining_bytes() > 0 && room(); ++i, ++total)
                s.push_back({in.ConsumeIntegral<int16_t>(), in.ConsumeIntegral<int16_t>()});
            out.push_back(std::move(s));
        }
        break;
    case 1: { // structured strokes: a start point and small moves
        while (in.remaining_bytes() > 0 && room()) {
            Stroke s;
            int32_t x = in.ConsumeIntegralInRange<int32_t>(-2000, 2000);
            int32_t y = in.ConsumeIntegralInRange<int32_t>(-2000, 2000);
            const int n = in.ConsumeIntegralInRange<int>(1, 200);
            for (int i = 0; i < n && room(); ++i, ++total) {
                s.push_back({x, y});
                x += in.ConsumeIntegral<int8_t>();
                y += in.ConsumeIntegral<int8_t>();
            }
            out.push_back(std::move(s));
        }
        break;
    }
    case 2: { // very long strokes
        const size_t n = in.ConsumeIntegralInRange<size_t>(0, max_points);
        const int strokes = in.ConsumeIntegralInRange<int>(1, 3);
        const int step = in.ConsumeIntegralInRange<int>(0, 40);
        Lcg g{in.ConsumeIntegral<uint32_t>()};
        int32_t x = 500, y = 500;
        for (int k = 0; k < strokes; ++k) {
            Stroke s;
            const size_t m = n / strokes;
            for (size_t i = 0; i < m; ++i) {
                x = std::clamp(x + g.in(-step, step), -30000, 30000);
                y = std::clamp(y + g.in(-step, step), -30000, 30000);
                s.push_back({x, y});
            }
            total += m;
            out.push_back(std::move(s));
        }
        break;
    }
    case 3: { // very many short strokes, one-point ones among them
        const int k = in.ConsumeIntegralInRange<int>(0, 5000);
        const int range = in.ConsumeIntegralInRange<int>(0, 5000);
        const int longest = in.ConsumeIntegralInRange<int>(1, 3);
        Lcg g{in.ConsumeIntegral<uint32_t>()};
        for (int i = 0; i < k && room(); ++i) {
            Stroke s;
            const int m = g.in(1, longest);
            for (int j = 0; j < m; ++j, ++total) s.push_back({g.in(0, range), g.in(0, range)});
            out.push_back(std::move(s));
        }
        break;
    }
    case 4: { // a long line of characters written left to right
        const int chars = in.ConsumeIntegralInRange<int>(1, 400);
        const int w = in.ConsumeIntegralInRange<int>(1, 400);
        const int gap = in.ConsumeIntegralInRange<int>(-w, w);
        const int jitter = in.ConsumeIntegralInRange<int>(0, 30);
        Lcg g{in.ConsumeIntegral<uint32_t>()};
        const auto& shapes = Shapes();
        for (int i = 0; i < chars && room(); ++i) {
            const Shape& s = shapes[g.next() % shapes.size()];
            AddShape(out, s, static_cast<long>(i) * (w + gap) + g.in(0, jitter), g.in(0, jitter), w,
                     w);
            for (const auto& st : s) total += st.size();
        }
        break;
    }
    case 5: // extreme coordinates
        while (in.remaining_bytes() > 0 && room()) {
            Stroke s;
            const int n = in.ConsumeIntegralInRange<int>(1, 8);
            for (int i = 0; i < n && in.remaining_bytes() > 0; ++i, ++total)
                s.push_back({Extreme(in), Extreme(in)});
            out.push_back(std::move(s));
        }
        break;
    case 6: // nothing, or strokes without points
        out.resize(in.ConsumeIntegralInRange<size_t>(0, 3));
        break;
    default: { // one point repeated: a character without extent
        const size_t n = in.ConsumeIntegralInRange<size_t>(1, std::min<size_t>(max_points, 20000));
        const int strokes = in.ConsumeIntegralInRange<int>(1, 50);
        const tagPOINT p{Extreme(in), Extreme(in)};
        for (int k = 0; k < strokes; ++k) out.push_back(Stroke(n / strokes + 1, p));
        break;
    }
    }
    return out;
}

#endif // TESSERA_FUZZ_DECODER

std::vector<POINT_W> ToPoints(const std::vector<Stroke>& strokes) {
    std::vector<POINT_W> pts;
    for (const Stroke& s : strokes) {
        for (size_t i = 0; i < s.size(); ++i) {
            uint8_t a = 0;
            if (i == 0) a |= PT_PENDOWN;
            if (i + 1 == s.size()) a |= PT_PENUP;
            pts.push_back(POINT_W{
                static_cast<int16_t>(std::clamp<int32_t>(s[i].x, INT16_MIN, INT16_MAX)),
                static_cast<int16_t>(std::clamp<int32_t>(s[i].y, INT16_MIN, INT16_MAX)), a});
        }
    }
    return pts;
}

std::vector<POINT_W> FixedCharacter() {
    std::vector<Stroke> s;
    AddShape(s, Shapes()[3], 100, 100, 256, 256);
    return ToPoints(s);
}

namespace {

// Shift-JIS codes of the small dictionaries' characters.
constexpr uint16_t kIchi = 0x88EA, kJuu = 0x8F5C, kKou = 0x8D48, kKuchi = 0x8CFB, kNi = 0x93F1,
                   kTsu = 0x82C1, kTsuchi = 0x9379, kChouon = 0x815B, kRe = 0x82EA;

void FillPattern(PATTERN_B* pat, const Shape& shape) {
    std::vector<Stroke> s;
    AddShape(s, shape, 0, 0, 128, 128);
    const std::vector<POINT_W> ink = ToPoints(s);
    if (NewPatternPoints(pat, static_cast<int>(ink.size()))) return;
    for (size_t i = 0; i < ink.size(); ++i) {
        pat->data[i].x = static_cast<uint8_t>(ink[i].x);
        pat->data[i].y = static_cast<uint8_t>(ink[i].y);
        pat->data[i].attr = ink[i].attr;
    }
    SetPatternLength(pat);
}

struct Cat {
    uint16_t code;
    std::vector<int> shapes;
    uint8_t status = 0;
    uint8_t size = 0xFF;
    int part[2] = {0, 0};
    uint8_t pos[2] = {0, 0};
    uint8_t psize[2] = {0xFF, 0xFF};
};

bool WritePatternDictionary(const std::string& path) {
    const std::vector<Cat> cats = {
        {0, {0}},                                                               // 1: bar part
        {0, {1}},                                                               // 2: post part
        {kJuu, {}, CTG_COMPOSITE | CTG_ANYORDER, 0xFF, {1, 2}},                 // 3
        {kIchi, {0}},                                                           // 4
        {kKou, {3, 2}},                                                         // 5
        {kKuchi, {4}},                                                          // 6
        {kTsu, {6}, CTG_SMALLSIZE, 0x88},                                       // 7
        {kNi, {5}},                                                             // 8
        {kTsuchi, {}, CTG_COMPOSITE, 0xFF, {3, 1}, {0x00, 0x0C}, {0xFB, 0xF3}}, // 9
        {kChouon, {0}, CTG_POSITIONAL, 0xFF, {0, 0}, {0x04, 0}, {0xF8, 0xFF}},  // 10
        {kRe, {7}},                                                             // 11
    };
    const bool own_tables = _length_table == nullptr;
    if (own_tables) {
        calcxytable();
        if (MakeLengthTable()) return false;
    }
    CRDIC dic{};
    int rc = NewCRDictionary(&dic, static_cast<int>(cats.size()));
    for (size_t i = 0; rc == 0 && i < cats.size(); ++i) {
        const Cat& c = cats[i];
        tagCATEGORY* kj = dic.ctg[i + 1];
        kj->code = c.code;
        kj->status = c.status;
        kj->size = c.size;
        for (int k = 0; k < 2; ++k) {
            kj->div[k].part = dic.ctg[c.part[k]];
            kj->div[k].pos = c.pos[k];
            kj->div[k].size = c.psize[k];
        }
        if (!c.shapes.empty()) rc = NewCategoryPatterns(kj, static_cast<int>(c.shapes.size()));
        for (size_t k = 0; rc == 0 && k < c.shapes.size(); ++k)
            FillPattern(&kj->patdic.pat[k], Shapes()[c.shapes[k]]);
    }
    if (rc == 0) rc = UpdateCRDictionaryLimits(&dic);
    if (rc == 0) rc = WriteCRDictionary(path.c_str(), &dic);
    FreeCRDictionary(&dic);
    if (own_tables) FreeLengthTable();
    return rc == 0;
}

bool WriteCoarseDictionary(const std::string& path) {
    const std::pair<uint16_t, int> chars[] = {{kIchi, 0}, {kJuu, 2}, {kKou, 3}, {kKuchi, 4},
                                              {kNi, 5},   {kTsu, 6}, {kRe, 7},  {kChouon, 0}};
    if (MakeSquareTable()) return false;
    std::vector<CoarseDicEntry> entries;
    for (auto [code, shape] : chars) {
        std::vector<Stroke> s;
        AddShape(s, Shapes()[shape], 0, 0, 128, 128);
        std::vector<POINT_W> ink = ToPoints(s);
        PATTERN_W w{ink.data(), static_cast<int32_t>(ink.size())};
        UDATA u{};
        if (UnionData(&w, &u)) continue;
        auto lo = [](int32_t v, int margin) {
            return static_cast<uint8_t>(std::clamp(v - margin, 0, 255));
        };
        auto hi = [](int32_t v, int margin) {
            return static_cast<uint8_t>(std::clamp(v + margin, 0, 255));
        };
        CoarseDicEntry e;
        e.code = code;
        e.oncd = ONLINE_CC_DIC{static_cast<uint8_t>(std::clamp(u.stdata.stnum, 1, 255)),
                               hi(u.stdata.xlen, 40),
                               lo(u.stdata.xlen, 40),
                               hi(u.stdata.ylen, 40),
                               lo(u.stdata.ylen, 40),
                               hi(u.stdata.xturn, 2),
                               lo(u.stdata.xturn, 2),
                               hi(u.stdata.yturn, 2),
                               lo(u.stdata.yturn, 2)};
        e.templates.push_back(u.dfv);
        DFV shifted = u.dfv;
        for (uint8_t& v : shifted.v) v = static_cast<uint8_t>(v / 2 + 8);
        e.templates.push_back(shifted);
        entries.push_back(std::move(e));
    }
    SortCoarseDicEntries(entries);
    return WriteCoarseClassificationDic(path, entries) == CCDIC_OK;
}

bool WriteBigramDictionary(const std::string& path) {
    CBigramTable t;
    float table[256];
    for (int i = 0; i < 256; ++i) table[i] = -20.0f + static_cast<float>(i) * (19.0f / 255);
    if (t.iSetProbTable(table)) return false;
    const uint16_t codes[] = {kIchi, kJuu, kKou, kKuchi, kNi, kTsu, kTsuchi, kChouon, kRe};
    int tag = 17;
    for (uint16_t a : codes)
        for (uint16_t b : codes) {
            tag = (tag * 37 + 11) % 256;
            if (t.iSetTagValue(a, b, static_cast<uint8_t>(tag))) return false;
        }
    for (uint16_t a : codes) t.iSetLogCount(a, -3.5f);
    t.SetTotalCount(1000);
    t.SetVersionFlags(BGT_FLAG_LOGCOUNT | BGT_FLAG_CONDITIONAL);
    return t.iSave(path.c_str()) == BGT_OK;
}

} // namespace

const SmallDictionaries& Small() {
    static const SmallDictionaries dics = [] {
        SmallDictionaries d;
        d.pattern = ScratchPath("small.crd");
        d.coarse = ScratchPath("small.ccd");
        d.bigram = ScratchPath("small.cbg");
        if (!WritePatternDictionary(d.pattern)) d.pattern.clear();
        if (!WriteCoarseDictionary(d.coarse)) d.coarse.clear();
        if (!WriteBigramDictionary(d.bigram)) d.bigram.clear();
        std::atexit([] {
            for (const char* n : {"small.crd", "small.ccd", "small.cbg"})
                std::remove(ScratchPath(n).c_str());
        });
        return d;
    }();
    return dics;
}

SmallDictionaries Installed() {
    SmallDictionaries d;
    const char* dir = std::getenv("TESSERA_FUZZ_DICTS");
    if (!dir || !*dir) return d;
    const std::filesystem::path p(dir);
    std::error_code ec;
    if (!std::filesystem::exists(p / "glyphs.crd", ec) ||
        !std::filesystem::exists(p / "glyphs.ccd", ec) ||
        !std::filesystem::exists(p / "bigram.cbg", ec))
        return d;
    d.pattern = (p / "glyphs.crd").string();
    d.coarse = (p / "glyphs.ccd").string();
    d.bigram = (p / "bigram.cbg").string();
    return d;
}

} // namespace fuzz
