// Cost of the coarse description of one character and of one coarse classification over
// a dictionary of the size a full character set gives.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "classifier/coarse.h"

namespace {

std::vector<POINT_W> Character() {
    // Five strokes of 20 samples each, in tablet units.
    std::vector<POINT_W> pts;
    for (int s = 0; s < 5; ++s)
        for (int i = 0; i < 20; ++i) {
            uint8_t attr = i == 0 ? PT_PENDOWN : (i == 19 ? PT_PENUP : 0);
            pts.push_back(
                POINT_W{int16_t(100 + s * 120 + i * 3), int16_t(50 + i * 30 + s * 7), attr});
        }
    return pts;
}

void BM_UnionData(benchmark::State& state) {
    std::vector<POINT_W> pts = Character();
    PATTERN_W p{pts.data(), int32_t(pts.size())};
    UDATA u;
    for (auto _ : state) {
        UnionData(&p, &u);
        benchmark::DoNotOptimize(u);
    }
}
BENCHMARK(BM_UnionData);

void BM_CoarseClassify(benchmark::State& state) {
    const int entries = int(state.range(0));
    std::mt19937 rng(7);
    std::vector<CoarseDicEntry> es;
    for (int i = 0; i < entries; ++i) {
        CoarseDicEntry e;
        e.code = uint16_t(0x889F + i);
        const uint8_t k = uint8_t(1 + i % 20);
        e.oncd = ONLINE_CC_DIC{k, 255, 0, 255, uint8_t(rng() % 40), 255, 0, 255, 0};
        for (int t = 0; t < 2; ++t) {
            DFV d;
            for (auto& b : d.v) b = uint8_t(rng() % 64);
            e.templates.push_back(d);
        }
        es.push_back(e);
    }
    SortCoarseDicEntries(es);
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("coarse_bench_" + std::to_string(getpid()) + ".dic"))
                                 .string();
    WriteCoarseClassificationDic(path, es);
    if (InitCoarseClassification(path.c_str()) != 0) {
        state.SkipWithError("dictionary did not load");
        return;
    }
    std::filesystem::remove(path);
    std::vector<POINT_W> pts = Character();
    PATTERN_W p{pts.data(), int32_t(pts.size())};
    uint16_t cands[250];
    for (auto _ : state) benchmark::DoNotOptimize(CoarseClassify(&p, cands, nullptr, 250));
    ReleaseCoarseClassification();
}
BENCHMARK(BM_CoarseClassify)->Arg(1000)->Arg(6500);

} // namespace
