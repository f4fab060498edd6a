// Recognizing one character against a synthetic dictionary of a few thousand categories,
// with a share of composites built from parts.
#include "classifier/tests/core_testutil.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace core_test;

namespace {

// Categories 1..parts are part-only shapes; then simple categories; then composites of
// two parts side by side (left part written first).
std::vector<Cat> Synthetic(int simple, int composites, int parts) {
    std::vector<Cat> cats;
    for (int k = 0; k < parts; ++k) cats.push_back(Cat{0, {Zigzag(100000 + k)}});
    for (int k = 0; k < simple; ++k) {
        Cat c;
        c.code = uint16_t(0x889F + k);
        c.patterns = {Zigzag(k), Zigzag(k + 50000)};
        cats.push_back(c);
    }
    for (int k = 0; k < composites; ++k) {
        Cat c;
        c.code = uint16_t(0x989F + k);
        c.status = CTG_COMPOSITE | (k % 4 == 0 ? CTG_ANYORDER : 0);
        c.part[0] = 1 + k % parts;
        c.part[1] = 1 + (k * 7 + 3) % parts;
        c.pos[0] = 0x00;
        c.psize[0] = 0x7F;
        c.pos[1] = 0x80;
        c.psize[1] = 0x7F;
        cats.push_back(c);
    }
    return cats;
}

void BM_RecognizeOneCharacter(benchmark::State& state) {
    TempDir dir;
    const std::string f = dir.File("bench.dic");
    const int total = int(state.range(0));
    if (Write(f, Synthetic(total * 3 / 4, total / 4, 200)) != 0 || OpenCRSystem(f.c_str()) != 0) {
        state.SkipWithError("dictionary");
        return;
    }
    std::vector<POINT_W> ink = Ink(Scaled(Zigzag(17), 3, 1, 40, 20));
    PATTERN_W w{ink.data(), int32_t(ink.size())};
    CR_RESULT res[20];
    for (auto _ : state) {
        benchmark::DoNotOptimize(RecognizeCP(&w, res, 20));
        benchmark::ClobberMemory();
    }
    state.counters["categories"] = double(_crdic.count - 1);
    state.counters["best_code"] = double(res[0].code);
    CloseCRSystem();
}

} // namespace

BENCHMARK(BM_RecognizeOneCharacter)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);
