// tessera-bench: recognition accuracy and speed of libglyphid.so on imitated or real
// writing. Imitations come from KanjiVG drawings with seeded distortions; the seed set
// "tune" is for adjusting the dictionaries, "heldout" for reporting figures.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/loader.h"
#include "recservice/charprior.h"
#include "tessera/glyphid.h"
#include "tools/bench/device_ink.h"
#include "tools/bench/dictionaries.h"
#include "tools/bench/samples.h"
#include "tools/bench/strokecount.h"
#include "tools/cli_args.h"
#include "tools/mkdict/charset.h"
#include "tools/mkdict/distort.h"
#include "tools/mkdict/ini_files.h"
#include "tools/mkdict/kvg_archive.h"
#include "tools/mkdict/kvg_character.h"
#include "tools/mkdict/seeds.h"
#ifdef BENCH_WITH_COARSE
#include "classifier/coarse.h"
#endif

using namespace bench;

namespace {

const char kUsage[] =
    "usage: tessera-bench [options]\n"
    "  --kanjivg PATH    KanjiVG release to imitate writing from (default: the build's)\n"
    "  --json FILE       read samples as JSON lines instead ({\"char\":..,\"strokes\":..})\n"
    "  --set tune|heldout  seed set of the imitations (default heldout)\n"
    "  --per-char N      imitations per character (1)\n"
    "  --stride K        imitate every K-th character only (1)\n"
    "  --full-stride K   of those, run the full path on every K-th sample only (20)\n"
    "  --strength X      distortion strength (1.0)\n"
    "  --stroke-errors P chance of a stroke split at a corner, and of two strokes joined (0)\n"
    "  --order-errors P  chance per character of one stroke order error: a cross written the\n"
    "                    other way, a vertical before the horizontal it meets, a box closed\n"
    "                    before its inside, or a run of strokes written earlier (0)\n"
    "  --reversed P      chance per stroke that it is drawn from its other end (0)\n"
    "  --joins K         every character written with K pairs of consecutive strokes joined\n"
    "                    (the nearest end-to-start gaps, the pen-up move drawn as ink) (0)\n"
    "  --splits K        every character written with K strokes lifted at their sharpest\n"
    "                    corners (0)\n"
    "  --data DIR        dictionary folder (default: the system directory)\n"
    "  --lib NAME        classifier library (glyphid.dll = libglyphid.so)\n"
    "  --class-count N   coarse candidates of the coarse path (50, as configured)\n"
    "  --coarse-only     skip the full path\n"
    "  --in-order        match strokes only in the order and direction written\n"
    "  --count-as-written  match strokes only with the count written (no joined or split\n"
    "                    strokes looked for)\n"
    "  --ink-as-written  prepare the writing as it comes, without smoothing and resampling\n"
    "                    it by its size first\n"
    "  --every-dp        match every coarse candidate whose walk fails by DP (not only the\n"
    "                    first ten)\n"
    "  --prior FILE      character prior to order the candidates with as the recognition\n"
    "                    service does (default: the configured one; 'none' for none)\n"
    "  --prior-span N    score points the prior may move a candidate (the file's)\n"
    "  --recall          also report where the coarse classifier alone ranks the answer\n"
    "  --dump FILE       write the samples as JSON lines and stop (as the device delivers\n"
    "                    them, with the options below)\n";

struct Options {
    std::string kanjivg = BENCH_DEFAULT_KANJIVG, json, dump, set = "heldout", data,
                lib = "glyphid.dll", prior;
    int per_char = 1, stride = 1, full_stride = 20, class_count = mkdict::kClassCount,
        prior_span = -1, joins = 0, splits = 0;
    DeviceInk device;
    double strength = 1.0, stroke_errors = 0.0, order_errors = 0.0, reversed = 0.0;
    bool coarse_only = false, recall = false, in_order = false, count_as_written = false,
         ink_as_written = false, every_dp = false;
};

bool ParseArgs(int argc, char** argv, Options& o) {
    cli::Args args("tessera-bench", argc, argv);
    while (args.Next()) {
        const std::string& a = args.Option();
        constexpr long kMost = 1000000;
        bool ok = true;
        if (a == "--kanjivg")
            ok = args.Text(o.kanjivg);
        else if (a == "--json")
            ok = args.Text(o.json);
        else if (a == "--dump")
            ok = args.Text(o.dump);
        else if (a == "--set")
            ok = args.Text(o.set) && (o.set == "tune" || o.set == "heldout");
        else if (a == "--per-char")
            ok = args.Int(o.per_char, 1, kMost);
        else if (a == "--stride")
            ok = args.Int(o.stride, 1, kMost);
        else if (a == "--full-stride")
            ok = args.Int(o.full_stride, 1, kMost);
        else if (a == "--class-count")
            ok = args.Int(o.class_count, 1, kMost);
        else if (a == "--prior")
            ok = args.Text(o.prior);
        else if (a == "--prior-span")
            ok = args.Int(o.prior_span, 0, kCharPriorMaxSpan);
        else if (a == "--data")
            ok = args.Text(o.data);
        else if (a == "--lib")
            ok = args.Text(o.lib);
        else if (a == "--strength")
            ok = args.Real(o.strength, 0, 5);
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
        else if (a == "--coarse-only")
            o.coarse_only = true;
        else if (a == "--in-order")
            o.in_order = true;
        else if (a == "--count-as-written")
            o.count_as_written = true;
        else if (a == "--ink-as-written")
            o.ink_as_written = true;
        else if (a == "--every-dp")
            o.every_dp = true;
        else if (a == "--recall")
            o.recall = true;
        else if (!ReadDeviceInkOption(args, o.device, ok))
            return args.Unknown();
        if (!ok) return args.BadValue();
    }
    return true;
}

bool Imitations(const Options& o, std::vector<Sample>& out) {
    std::string err;
    auto archive = mkdict::KvgArchive::Open(o.kanjivg, err);
    if (!archive) {
        std::fprintf(stderr, "tessera-bench: %s\n", err.c_str());
        return false;
    }
    uint64_t base = o.set == "tune" ? mkdict::kTuningSeedBase : mkdict::kHeldOutSeedBase;
    mkdict::DistortionParams params;
    params.strength = o.strength;
    params.split_rate = params.merge_rate = o.stroke_errors;
    params.order_error_rate = o.order_errors;
    params.reverse_rate = o.reversed;
    int index = 0;
    std::vector<uint16_t> seen;
    for (const auto& e : archive->Entries()) {
        auto code = mkdict::DictionaryCodeFor(e.codepoint);
        if (!code) continue;
        if (index++ % o.stride) continue;
        std::string svg;
        mkdict::KvgCharacter ch;
        if (!archive->Read(e, svg, err) || !mkdict::ParseKvgSvg(svg, ch, err)) continue;
        for (int j = 0; j < o.per_char; ++j) {
            Sample s;
            s.code = *code;
            mkdict::WritingErrors made;
            StrokeCountErrors counted;
            s.points = mkdict::DistortedWriting(
                WithStrokeCountErrors(ch.strokes, o.joins, o.splits, &counted),
                base + uint64_t{*code} * 1024 + j, params, &made);
            s.with_errors = made.misordered || made.reversed > 0;
            s.joins = counted.joins;
            s.splits = counted.splits;
            if (!s.points.empty()) out.push_back(std::move(s));
        }
    }
    return true;
}

struct Figures {
    int n = 0, top1 = 0, top10 = 0;
    std::vector<double> ms;

    // one sample: where the answer ranked (-1 for not among the candidates) and the time
    void Add(int rank, double millis) {
        ++n;
        top1 += rank == 0;
        top10 += rank >= 0 && rank < 10;
        ms.push_back(millis);
    }
};

// A path's figures over all samples, and apart over those in standard writing, those
// imitated with order or direction errors and those with strokes joined or lifted at
// corners (whatever else they have); each as the classifier ranks the candidates and as
// the character prior then orders them.
struct PathFigures {
    Figures all, standard, with_errors, counted;
    Figures all_prior, standard_prior, with_errors_prior, counted_prior;

    void Add(const Sample& s, int rank, double millis, bool prior) {
        (prior ? all_prior : all).Add(rank, millis);
        Figures& kind = s.joins > 0 || s.splits > 0 ? (prior ? counted_prior : counted)
                        : s.with_errors             ? (prior ? with_errors_prior : with_errors)
                                                    : (prior ? standard_prior : standard);
        kind.Add(rank, millis);
    }
};

// Where the sample's answer ranks among n candidates, -1 when it is not among them.
int RankOf(const Sample& s, const CR_RESULT* res, int n) {
    for (int k = 0; k < n; ++k)
        if ((res[k].code & 0xFFFF) == s.code) return k;
    return -1;
}

void Report(const char* name, const Figures& f) {
    if (f.n == 0) return;
    double sum = 0;
    for (double m : f.ms) sum += m;
    std::printf("%-22s %6d samples  top-1 %6.2f %%  top-10 %6.2f %%  mean %7.3f ms  "
                "median %7.3f ms  p95 %7.3f ms\n",
                name, f.n, 100.0 * f.top1 / f.n, 100.0 * f.top10 / f.n, sum / f.n,
                Percentile(f.ms, 50), Percentile(f.ms, 95));
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseArgs(argc, argv, o)) {
        std::fputs(kUsage, stderr);
        std::fputs(kDeviceInkUsage, stderr);
        return 2;
    }
    std::vector<Sample> samples;
    if (!o.json.empty()) {
        std::ifstream in(o.json);
        if (!in) {
            std::fprintf(stderr, "tessera-bench: %s: cannot open\n", o.json.c_str());
            return 1;
        }
        std::vector<std::string> errors;
        samples = ReadSampleLines(in, errors);
        for (const auto& e : errors)
            std::fprintf(stderr, "tessera-bench: %s: %s\n", o.json.c_str(), e.c_str());
    } else if (!Imitations(o, samples)) {
        return 1;
    }
    if (samples.empty()) {
        std::fprintf(stderr, "tessera-bench: no samples\n");
        return 1;
    }
    // the same samples as the device delivers them, measured beside the writing as imitated
    std::vector<Sample> delivered = samples;
    for (size_t i = 0; i < delivered.size(); ++i)
        delivered[i].points =
            DeviceCharacter(samples[i].points, o.device, uint64_t{samples[i].code} << 20 | i);
    if (!o.dump.empty()) {
        std::ofstream out(o.dump);
        for (const auto& s : delivered) out << SampleLine(s) << "\n";
        out.close();
        if (!out) {
            std::fprintf(stderr, "tessera-bench: %s: cannot write\n", o.dump.c_str());
            return 1;
        }
        return 0;
    }
    // the dictionaries the recognition service is configured with
    const bench::ClassifierFiles files = bench::ConfiguredClassifierFiles(o.data);
    const std::string &dir = files.dir, &crd = files.crd, &ccd = files.ccd;

#ifdef BENCH_WITH_COARSE
    if (o.recall) {
        if (InitCoarseClassification(ccd.c_str()) != 0) {
            std::fprintf(stderr, "tessera-bench: %s does not load\n", ccd.c_str());
            return 1;
        }
        std::vector<uint16_t> cands(static_cast<size_t>(o.class_count));
        std::vector<uint16_t> all(20000);
        std::vector<double> compatible;
        int in1 = 0, in10 = 0, inall = 0;
        std::vector<double> ms;
        for (auto& s : samples) {
            PATTERN_W p{s.points.data(), static_cast<int32_t>(s.points.size())};
            auto t0 = std::chrono::steady_clock::now();
            int n = CoarseClassify(&p, cands.data(), nullptr, o.class_count);
            compatible.push_back(CoarseClassify(&p, all.data(), nullptr, 20000));
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                    .count());
            for (int k = 0; k < n; ++k)
                if (cands[static_cast<size_t>(k)] == s.code) {
                    in1 += k == 0, in10 += k < 10, ++inall;
                    break;
                }
        }
        double n = static_cast<double>(samples.size());
        std::printf("coarse classifier alone: answer first %.2f %%, in the first 10 %.2f %%, "
                    "in the first %d %.2f %%; median %.3f ms; median %.0f compatible entries\n",
                    100 * in1 / n, 100 * in10 / n, o.class_count, 100 * inall / n,
                    Percentile(ms, 50), Percentile(compatible, 50));
        ReleaseCoarseClassification();
    }
#endif

    platform::ModuleHandle lib = platform::LoadLibrary(o.lib.c_str());
    if (!lib) {
        std::fprintf(stderr, "tessera-bench: cannot load %s\n", o.lib.c_str());
        return 1;
    }
    auto open = platform::GetProc<PFN_iOpenClassRecogModule>(lib, "iOpenClassRecogModule");
    auto close = platform::GetProc<PFN_vCloseClassRecogModule>(lib, "vCloseClassRecogModule");
    auto classify = platform::GetProc<PFN_iClassifyRecognize>(lib, "iClassifyRecognize");
    auto count = platform::GetProc<PFN_vSetClassCount>(lib, "vSetClassCount");
    if (!open || !close || !classify || !count) {
        std::fprintf(stderr, "tessera-bench: %s lacks the classifier functions\n", o.lib.c_str());
        return 1;
    }
    int r = open(crd.c_str(), ccd.c_str());
    if (r != 0) {
        std::fprintf(stderr, "tessera-bench: the classifier does not open %s (%d)\n", crd.c_str(),
                     r);
        return 1;
    }
    if (o.in_order || o.count_as_written || o.ink_as_written || o.every_dp) {
        auto mode = platform::GetProc<PFN_vSetMatchingMode>(lib, "vSetMatchingMode");
        if (!mode) {
            std::fprintf(stderr, "tessera-bench: %s lacks vSetMatchingMode\n", o.lib.c_str());
            close();
            return 1;
        }
        // bit 2: strokes in the order written only; bit 4: with the count written only;
        // bit 8: the writing prepared as it comes; bit 16: every candidate may take DP
        mode((o.in_order ? 2 : 0) | (o.count_as_written ? 4 : 0) | (o.ink_as_written ? 8 : 0) |
             (o.every_dp ? 16 : 0));
    }
    std::printf("%zu samples (%s), dictionaries in %s\n", samples.size(),
                o.json.empty() ? (o.set + " imitations").c_str() : o.json.c_str(), dir.c_str());
    // the character prior the recognition service orders the candidates with
    CHAR_PRIOR prior{};
    const std::string prior_file = o.prior.empty() ? files.cpd : o.prior == "none" ? "" : o.prior;
    if (!prior_file.empty() && iLoadCharPrior(prior_file.c_str(), &prior) != CHARPRIOR_OK) {
        std::fprintf(stderr, "tessera-bench: the character prior %s does not load\n",
                     prior_file.c_str());
        close();
        return 1;
    }
    const int span = o.prior_span >= 0 ? o.prior_span : prior.iSpan;
    const bool with_prior = prior.iCount > 0 && span > 0;
    if (with_prior)
        std::printf("character prior %s: %d characters, span %d\n", prior_file.c_str(),
                    prior.iCount, span);
    auto run = [&](const std::vector<Sample>& set, int class_count, int stride) {
        count(class_count);
        PathFigures f;
        CR_RESULT res[10];
        for (size_t i = 0; i < set.size(); i += static_cast<size_t>(stride)) {
            const Sample& s = set[i];
            PATTERN_W p{const_cast<POINT_W*>(s.points.data()),
                        static_cast<int32_t>(s.points.size())};
            auto t0 = std::chrono::steady_clock::now();
            int n = classify(&p, res, 10);
            auto t1 = std::chrono::steady_clock::now();
            double millis = std::chrono::duration<double, std::milli>(t1 - t0).count();
            f.Add(s, RankOf(s, res, n), millis, false);
            if (!with_prior) continue;
            iApplyCharPrior(&prior, span, res, n);
            f.Add(s, RankOf(s, res, n), millis, true);
        }
        return f;
    };
    // with writers' errors imitated, the samples that got one are shown apart by kind
    const bool apart =
        o.json.empty() && (o.order_errors > 0 || o.reversed > 0 || o.joins > 0 || o.splits > 0);
    auto report = [&](const std::string& name, const PathFigures& f) {
        Report(name.c_str(), f.all);
        Report("  + character prior", f.all_prior);
        if (!apart) return;
        Report("  standard writing", f.standard);
        Report("    + character prior", f.standard_prior);
        Report("  order/direction err.", f.with_errors);
        Report("    + character prior", f.with_errors_prior);
        Report("  joined/split strokes", f.counted);
        Report("    + character prior", f.counted_prior);
    };
    // with a device, each path reads the samples as imitated and then as delivered
    auto paths = [&](const std::string& name, int class_count, int stride) {
        report(name, run(samples, class_count, stride));
        if (o.device.Any())
            report(name + ", " + o.device.Describe(), run(delivered, class_count, stride));
    };
    paths("coarse path (" + std::to_string(o.class_count) + ")", o.class_count, 1);
    if (!o.coarse_only) paths("full path", 0, o.full_stride);
    close();
    platform::FreeLibrary(lib);
    vFreeCharPrior(&prior);
    return 0;
}
