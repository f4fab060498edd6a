// Time and memory of recognition on pathological pen input: very long strokes, very many
// strokes, one-point strokes, extreme coordinates and long lines, against the small
// dictionaries the fuzz programs use. The peak resident size is reported per case.
#include "tessera/glyphid.h"
#include "tessera/seqread.h"
#include "tools/fuzz/fuzz_support.h"

#include <benchmark/benchmark.h>

#include <climits>
#include <cstdlib>
#include <sys/resource.h>
#include <vector>

namespace {

long PeakRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

bool Open() {
    static const bool open = [] {
        const fuzz::SmallDictionaries& d = fuzz::Small();
        if (d.pattern.empty() || d.coarse.empty() || d.bigram.empty()) return false;
        if (lSROpenSystem(d.pattern.c_str(), d.coarse.c_str(), d.bigram.c_str()) != SR_OK)
            return false;
        std::atexit(vSRCloseSystem);
        return true;
    }();
    return open;
}

// A random walk of n points in one stroke.
std::vector<fuzz::Stroke> LongStroke(long n) {
    fuzz::Stroke s;
    uint32_t r = 12345;
    int x = 500, y = 500;
    for (long i = 0; i < n; ++i) {
        r = r * 1664525u + 1013904223u;
        x += static_cast<int>((r >> 8) % 41) - 20;
        r = r * 1664525u + 1013904223u;
        y += static_cast<int>((r >> 8) % 41) - 20;
        s.push_back({x, y});
    }
    return {s};
}

// k one-point strokes scattered over a 160-unit square.
std::vector<fuzz::Stroke> Dots(long k) {
    std::vector<fuzz::Stroke> out;
    uint32_t r = 777;
    for (long i = 0; i < k; ++i) {
        r = r * 1664525u + 1013904223u;
        const int x = static_cast<int>((r >> 8) % 160);
        r = r * 1664525u + 1013904223u;
        out.push_back({{x, static_cast<int>((r >> 8) % 160)}});
    }
    return out;
}

// c three-stroke characters side by side, 100 units wide.
std::vector<fuzz::Stroke> Line(long c) {
    std::vector<fuzz::Stroke> out;
    for (long i = 0; i < c; ++i) {
        const int ox = static_cast<int>(i * 120);
        out.push_back({{ox + 10, 10}, {ox + 90, 10}});
        out.push_back({{ox + 50, 10}, {ox + 50, 90}});
        out.push_back({{ox + 5, 90}, {ox + 95, 90}});
    }
    return out;
}

std::vector<fuzz::Stroke> Extremes(long k) {
    std::vector<fuzz::Stroke> out;
    const int32_t v[] = {INT32_MIN, -32768, 0, 32767, INT32_MAX};
    for (long i = 0; i < k; ++i)
        out.push_back({{v[i % 5], v[(i * 3 + 1) % 5]}, {v[(i + 2) % 5], v[(i * 7) % 5]}});
    return out;
}

void Classify(benchmark::State& state, const std::vector<fuzz::Stroke>& strokes) {
    if (!Open()) {
        state.SkipWithError("the small dictionaries do not open");
        return;
    }
    std::vector<POINT_W> pts = fuzz::ToPoints(strokes);
    PATTERN_W pat{pts.data(), static_cast<int32_t>(pts.size())};
    CR_RESULT res[10];
    for (auto _ : state) benchmark::DoNotOptimize(iClassifyRecognize(&pat, res, 10));
    state.counters["points"] = static_cast<double>(pts.size());
    state.counters["peak_rss_kb"] = static_cast<double>(PeakRssKb());
}

void RecognizeLine(benchmark::State& state, const std::vector<fuzz::Stroke>& strokes) {
    if (!Open()) {
        state.SkipWithError("the small dictionaries do not open");
        return;
    }
    long rc = SR_OK;
    for (auto _ : state) {
        HSROBJ h = hSRCreateNewObject();
        for (const fuzz::Stroke& s : strokes)
            lSRAddStrokeLast(h, s.data(), static_cast<long>(s.size()));
        rc = lSRRecognize(h);
        benchmark::DoNotOptimize(lSRGetResultCount(h));
        vSRDestroyObject(h);
    }
    state.counters["strokes"] = static_cast<double>(strokes.size());
    state.counters["recognized"] = rc == SR_OK ? 1 : 0;
    state.counters["peak_rss_kb"] = static_cast<double>(PeakRssKb());
}

void BM_ClassifyLongStroke(benchmark::State& state) {
    Classify(state, LongStroke(state.range(0)));
}
BENCHMARK(BM_ClassifyLongStroke)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ClassifyDots(benchmark::State& state) {
    Classify(state, Dots(state.range(0)));
}
BENCHMARK(BM_ClassifyDots)->Arg(1)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_ClassifyExtremes(benchmark::State& state) {
    Classify(state, Extremes(state.range(0)));
}
BENCHMARK(BM_ClassifyExtremes)->Arg(1)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ClassifyNothing(benchmark::State& state) {
    Classify(state, {});
}
BENCHMARK(BM_ClassifyNothing);

void BM_LineOfCharacters(benchmark::State& state) {
    RecognizeLine(state, Line(state.range(0)));
}
BENCHMARK(BM_LineOfCharacters)->Arg(10)->Arg(40)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

void BM_LineOfDots(benchmark::State& state) {
    RecognizeLine(state, Dots(state.range(0)));
}
BENCHMARK(BM_LineOfDots)->Arg(100)->Arg(200)->Arg(400)->Arg(800)->Unit(benchmark::kMillisecond);

// Long lines of dots: a character spans a bounded number of strokes, so the time grows
// with the length of the line, not with its square or cube.
void BM_LongLineOfDots(benchmark::State& state) {
    RecognizeLine(state, Dots(state.range(0)));
}
BENCHMARK(BM_LongLineOfDots)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);

void BM_LineLongStroke(benchmark::State& state) {
    RecognizeLine(state, LongStroke(state.range(0)));
}
BENCHMARK(BM_LineLongStroke)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
