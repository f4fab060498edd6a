// tessera-linebench: line recognition through the recognition service (and the string
// recognizer VELTAREC.INI names) on imitated lines: pieces of running text that the
// dictionaries were not made from, random kanji strings, and single characters written
// as lines, which are also read through the service's character path for comparison.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/loader.h"
#include "strrec/kanatwins.h"
#include "tessera/seqread.h"
#include "tessera/veltarec.h"
#include "tools/bench/device_ink.h"
#include "tools/bench/samples.h"
#include "tools/bench/strokecount.h"
#include "tools/cli_args.h"
#include "tools/mkdict/charset.h"
#include "tools/mkdict/corpus.h"
#include "tools/mkdict/lines.h"
#include "tools/mkdict/seeds.h"
#include "tools/service_exports.h"

namespace {

const char kUsage[] =
    "usage: tessera-linebench [options]\n"
    "  --kanjivg PATH    KanjiVG release to imitate writing from (default: the build's)\n"
    "  --data DIR        dictionary folder with VELTAREC.INI (default: the system directory)\n"
    "  --set tune|heldout  seed set of the imitations (default heldout)\n"
    "  --text FILE       running text for the natural lines (default: the Debian FAQ,\n"
    "                    " LINEBENCH_DEFAULT_TEXT ")\n"
    "  --lines N         lines of running text and of random kanji (200 each)\n"
    "  --min-len N, --max-len N  characters of a running-text line (2, 8)\n"
    "  --single-stride K every K-th dictionary character as a line of its own (20)\n"
    "  --only NAME       one set only: natural, random or single\n"
    "  --stroke-errors P chance of a character written with a stroke split at a corner, and\n"
    "                    of one with two strokes joined (0: standard writing)\n"
    "  --order-errors P  chance per character of one stroke order error (as tessera-bench)\n"
    "  --reversed P      chance per stroke that it is drawn from its other end\n"
    "  --joins K         every character written with K pairs of consecutive strokes joined\n"
    "                    (as tessera-bench) (0)\n"
    "  --splits K        every character written with K strokes lifted at corners (0)\n"
    "  --correct         also mark the best string's characters and run the correction pass\n"
    "  --show N          print the first N wrong lines of each set\n"
    "  --dump FILE       write every line's result strings (all candidates, the corrected\n"
    "                    one, the character path's) to FILE, to compare two builds\n";

struct Options {
    std::string kanjivg = BENCH_DEFAULT_KANJIVG, data, set = "heldout",
                text = LINEBENCH_DEFAULT_TEXT, only, dump;
    int lines = 200, min_len = 2, max_len = 8, single_stride = 20, show = 0, joins = 0, splits = 0;
    double stroke_errors = 0, order_errors = 0, reversed = 0;
    bench::DeviceInk device;
    bool correct = false;
};

bool ParseArgs(int argc, char** argv, Options& o) {
    cli::Args args("tessera-linebench", argc, argv);
    while (args.Next()) {
        const std::string& a = args.Option();
        constexpr long kMost = 1000000;
        bool ok = true;
        if (a == "--kanjivg")
            ok = args.Text(o.kanjivg);
        else if (a == "--data")
            ok = args.Text(o.data);
        else if (a == "--set")
            ok = args.Text(o.set) && (o.set == "tune" || o.set == "heldout");
        else if (a == "--text")
            ok = args.Text(o.text);
        else if (a == "--dump")
            ok = args.Text(o.dump);
        else if (a == "--lines")
            ok = args.Int(o.lines, 1, kMost);
        else if (a == "--min-len")
            ok = args.Int(o.min_len, 1, kMost);
        else if (a == "--max-len")
            ok = args.Int(o.max_len, 1, kMost);
        else if (a == "--single-stride")
            ok = args.Int(o.single_stride, 1, kMost);
        else if (a == "--show")
            ok = args.Int(o.show, 0, kMost);
        else if (a == "--only")
            ok = args.Text(o.only) &&
                 (o.only == "natural" || o.only == "random" || o.only == "single");
        else if (a == "--stroke-errors")
            ok = args.Real(o.stroke_errors, 0, 1);
        else if (a == "--order-errors")
            ok = args.Real(o.order_errors, 0, 1);
        else if (a == "--reversed")
            ok = args.Real(o.reversed, 0, 1);
        else if (a == "--joins")
            ok = args.Int(o.joins, 0, 8);
        else if (a == "--splits")
            ok = args.Int(o.splits, 0, 8);
        else if (a == "--correct")
            o.correct = true;
        else if (!bench::ReadDeviceInkOption(args, o.device, ok))
            return args.Unknown();
        if (!ok) return args.BadValue();
    }
    if (o.min_len > o.max_len) {
        std::fprintf(stderr, "tessera-linebench: --min-len above --max-len\n");
        return false;
    }
    return true;
}

std::string Utf8(const std::vector<uint16_t>& codes) {
    std::string s;
    for (uint16_t c : codes) s += mkdict::Utf8OfCp932Code(c);
    return s;
}

// Small kana and their full-size forms in lines read with the right character count: how
// many of each, and how many of each came back as the small form.
struct SmallKana {
    int small = 0, small_read_small = 0, full = 0, full_read_small = 0;

    void Add(const std::vector<uint16_t>& truth, const std::vector<uint16_t>& got) {
        if (got.size() != truth.size()) return;
        for (size_t n = 0; n < truth.size(); ++n) {
            if (mkdict::IsSmallKana(truth[n])) {
                ++small;
                small_read_small += got[n] == truth[n];
            } else if (const uint16_t s = wSmallKanaOf(truth[n])) {
                ++full;
                full_read_small += got[n] == s;
            }
        }
    }
};

struct Figures {
    SmallKana kana;
    int lines = 0, exact = 0, corrected = 0, count_right = 0, segmented = 0, char_path = 0;
    size_t chars = 0, edits = 0;
    std::vector<double> ms, ms5; // every line; lines of five characters
    int shown = 0;
};

// Reads one line through the service; adds to the figures, and writes its results to dump
// when that is open.
void Measure(const veltarec::Exports& sv, const mkdict::WrittenLine& line, const Options& o,
             Figures& f, std::FILE* dump) {
    using clock = std::chrono::steady_clock;
    const auto t0 = clock::now();
    SRHANDLE h = sv.createObject();
    if (h == nullptr) return;
    for (const auto& s : line.strokes) sv.addStroke(h, s.data(), static_cast<int32_t>(s.size()));
    const int32_t r = sv.recognizeNF(h);
    int32_t length = 0;
    const char* text = r == 0 ? sv.getString(h, 0, &length) : nullptr;
    const std::vector<uint16_t> got = mkdict::CodesOfSjis(text);
    f.ms.push_back(std::chrono::duration<double, std::milli>(clock::now() - t0).count());
    if (line.codes.size() == 5) f.ms5.push_back(f.ms.back());
    ++f.lines;
    f.chars += line.codes.size();
    f.edits += std::min(mkdict::EditDistance(got, line.codes), line.codes.size());
    const bool exact = got == line.codes;
    f.kana.Add(line.codes, got);
    f.exact += exact;
    f.count_right += got.size() == line.codes.size();
    bool segmented = got.size() == line.codes.size();
    for (size_t n = 0; segmented && n < got.size(); ++n) {
        int32_t head = -1, tail = -1;
        const int first = n ? line.char_end[n - 1] : 0;
        segmented = sv.strokesOfChar(h, 0, static_cast<int32_t>(n), &head, &tail) == 0 &&
                    head == first && tail == line.char_end[n] - 1;
    }
    f.segmented += segmented;
    if (dump != nullptr) {
        std::fprintf(dump, "%s |", Utf8(line.codes).c_str());
        const int32_t results = r == 0 ? sv.resultCount(h) : 0;
        for (int32_t c = 0; c < results; ++c)
            std::fprintf(dump, " %s",
                         Utf8(mkdict::CodesOfSjis(sv.getString(h, c, &length))).c_str());
        std::fprintf(dump, " | strokes");
        for (size_t n = 0; n < got.size(); ++n) {
            int32_t head = -1, tail = -1;
            sv.strokesOfChar(h, 0, static_cast<int32_t>(n), &head, &tail);
            std::fprintf(dump, " %d-%d", head, tail);
        }
    }
    std::vector<uint16_t> fixed = got;
    if (o.correct && r == 0 && !got.empty()) {
        for (size_t n = 0; n < got.size(); ++n) {
            int32_t head = -1, tail = -1;
            if (sv.strokesOfChar(h, 0, static_cast<int32_t>(n), &head, &tail) == 0)
                sv.giveStrokeSet(h, 0, head, tail);
        }
        if (sv.recognizeNF(h) == 0) fixed = mkdict::CodesOfSjis(sv.getString(h, 0, &length));
        f.corrected += fixed == line.codes;
        if (dump != nullptr) std::fprintf(dump, " | corrected %s", Utf8(fixed).c_str());
    }
    sv.destroyObject(h);
    if (line.codes.size() == 1) {
        // the same ink through the service's character path
        std::vector<POINT_W> pts;
        for (const auto& s : line.strokes)
            for (size_t k = 0; k < s.size(); ++k)
                pts.push_back({static_cast<int16_t>(s[k].x), static_cast<int16_t>(s[k].y),
                               static_cast<uint8_t>((k == 0 ? PT_PENDOWN : 0) |
                                                    (k + 1 == s.size() ? PT_PENUP : 0))});
        PATTERN_W p{pts.data(), static_cast<int32_t>(pts.size())};
        CR_RESULT res[10] = {};
        const bool read = sv.recognizeF(&p, res, 10) == 0;
        if (read && (res[0].code & 0xFFFF) == line.codes[0]) ++f.char_path;
        if (dump != nullptr) {
            std::fprintf(dump, " | character path");
            for (int k = 0; read && k < 10 && res[k].score > 0; ++k)
                std::fprintf(dump, " %s:%d",
                             Utf8({static_cast<uint16_t>(res[k].code & 0xFFFF)}).c_str(),
                             res[k].score);
        }
    }
    if (dump != nullptr) std::fprintf(dump, "\n");
    if ((!exact || fixed != line.codes) && f.shown < o.show) {
        ++f.shown;
        std::printf("  %s -> %s%s%s\n", Utf8(line.codes).c_str(), Utf8(got).c_str(),
                    o.correct ? " -> " : "", o.correct ? Utf8(fixed).c_str() : "");
    }
}

void Report(const std::string& name, const Figures& f, const Options& o) {
    if (f.lines == 0) return;
    const double n = f.lines;
    std::printf("%-8s %5d lines  exact %6.2f %%", name.c_str(), f.lines, 100 * f.exact / n);
    if (o.correct) std::printf("  corrected %6.2f %%", 100 * f.corrected / n);
    std::printf("  chars %6.2f %%  count %6.2f %%  segmentation %6.2f %%",
                100.0 * (1.0 - static_cast<double>(f.edits) / static_cast<double>(f.chars)),
                100 * f.count_right / n, 100 * f.segmented / n);
    if (name.rfind("single", 0) == 0)
        std::printf("  character path %6.2f %%", 100 * f.char_path / n);
    std::printf("  median %7.2f ms  p95 %7.2f ms", bench::Percentile(f.ms, 50),
                bench::Percentile(f.ms, 95));
    if (!f.ms5.empty())
        std::printf("  (5 characters: %zu lines, median %.2f ms)", f.ms5.size(),
                    bench::Percentile(f.ms5, 50));
    std::printf("\n");
    const SmallKana& k = f.kana;
    if (k.small > 0)
        std::printf("%-8s small kana %d: read small %6.2f %%; their full-size forms %d: read "
                    "small %6.2f %% (lines read with the right count)\n",
                    "", k.small, 100.0 * k.small_read_small / k.small, k.full,
                    k.full ? 100.0 * k.full_read_small / k.full : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseArgs(argc, argv, o)) {
        std::fputs(kUsage, stderr);
        std::fputs(bench::kDeviceInkUsage, stderr);
        return 2;
    }
    if (!o.data.empty()) setenv("TESSERA_SYSTEM_DIR", o.data.c_str(), 1);
    std::string err;
    mkdict::ModelSet models;
    if (!mkdict::ReadModels(o.kanjivg, {}, models, err)) {
        std::fprintf(stderr, "tessera-linebench: %s\n", err.c_str());
        return 1;
    }
    if (o.joins > 0 || o.splits > 0) // every character written with them
        for (auto& [code, ink] : models)
            ink = bench::WithStrokeCountErrors(ink, o.joins, o.splits, nullptr);
    platform::ModuleHandle lib = platform::LoadLibrary("veltarec.dll");
    veltarec::Exports sv;
    if (!lib || !sv.Bind(lib)) {
        std::fprintf(stderr, "tessera-linebench: the recognition service does not load (check "
                             "VELTAREC.INI and its dictionaries)\n");
        return 1;
    }
    const uint64_t base = o.set == "tune" ? mkdict::kTuningSeedBase : mkdict::kHeldOutSeedBase;
    mkdict::LineLayoutParams params;
    params.character.split_rate = params.character.merge_rate = o.stroke_errors;
    params.character.order_error_rate = o.order_errors;
    params.character.reverse_rate = o.reversed;
    std::FILE* dump = nullptr;
    if (!o.dump.empty() && (dump = std::fopen(o.dump.c_str(), "w")) == nullptr) {
        std::fprintf(stderr, "tessera-linebench: cannot write %s\n", o.dump.c_str());
        return 1;
    }
    auto run = [&](const char* name, int set, const std::vector<std::vector<uint16_t>>& texts) {
        if (!o.only.empty() && o.only != name) return;
        Figures f, fd; // as imitated, and as the device delivers the same lines
        for (size_t n = 0; n < texts.size(); ++n) {
            mkdict::WrittenLine line;
            if (dump != nullptr) std::fprintf(dump, "%s %zu: ", name, n);
            const uint64_t seed = mkdict::LineSeed(base, set, n);
            if (!mkdict::WriteLine(models, texts[n], seed, params, line)) {
                if (dump != nullptr) std::fprintf(dump, "not written\n");
                continue;
            }
            Measure(sv, line, o, f, dump);
            if (!o.device.Any()) continue;
            bench::DeviceLine(line.strokes, line.char_end, o.device, seed);
            if (dump != nullptr)
                std::fprintf(dump, "%s %zu, %s: ", name, n, o.device.Describe().c_str());
            Measure(sv, line, o, fd, dump);
        }
        Report(name, f, o);
        Report(std::string(name) + ", " + o.device.Describe(), fd, o);
    };
    if (o.only.empty() || o.only == "natural") {
        std::string bytes;
        if (!mkdict::ReadMaybeGzip(o.text, bytes, err)) {
            std::fprintf(stderr, "tessera-linebench: %s\n", err.c_str());
            return 1;
        }
        auto utf8 = mkdict::DecodeJapaneseText(bytes);
        if (!utf8) {
            std::fprintf(stderr, "tessera-linebench: %s: not Japanese text\n", o.text.c_str());
            return 1;
        }
        run("natural", 0,
            mkdict::TextPieces(*utf8, models, o.min_len, o.max_len, static_cast<size_t>(o.lines),
                               base + 1));
    }
    run("random", 1,
        mkdict::RandomKanjiStrings(models, 2, 6, static_cast<size_t>(o.lines), base + 2));
    std::vector<std::vector<uint16_t>> singles;
    size_t k = 0;
    for (const auto& [code, ink] : models)
        if (k++ % static_cast<size_t>(o.single_stride) == 0) singles.push_back({code});
    run("single", 2, singles);
    platform::FreeLibrary(lib);
    if (dump != nullptr && std::fclose(dump) != 0) {
        std::fprintf(stderr, "tessera-linebench: cannot write %s\n", o.dump.c_str());
        return 1;
    }
    return 0;
}
