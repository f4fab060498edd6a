// Recognizing imitated five-character lines (held-out seeds) through the recognition
// service, with the evaluation tables its configuration names: a line of kanji and kana
// of running text, and lines of random kanji, each read once after all its strokes; and the
// text line read as a writing box reads it, again after each added stroke (a new object
// with the strokes so far): the time of the whole line, and per_stroke that per added stroke.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/loader.h"
#include "tessera/veltarec.h"
#include "tools/mkdict/lines.h"
#include "tools/mkdict/seeds.h"
#include "tools/service_exports.h"

namespace {

void Run(benchmark::State& state, bool random, bool incremental = false) {
    mkdict::ModelSet models;
    std::string err;
    // 今日は晴れ
    const std::vector<uint16_t> text = {0x8DA1, 0x93FA, 0x82CD, 0x90B0, 0x82EA};
    if (!mkdict::ReadModels(BENCH_DEFAULT_KANJIVG, random ? std::vector<uint16_t>{} : text, models,
                            err)) {
        state.SkipWithError(err.c_str());
        return;
    }
    std::vector<std::vector<uint16_t>> texts =
        random ? mkdict::RandomKanjiStrings(models, 5, 5, 8, mkdict::kHeldOutSeedBase + 5)
               : std::vector<std::vector<uint16_t>>(8, text);
    std::vector<mkdict::WrittenLine> lines;
    for (size_t n = 0; n < texts.size(); ++n) {
        mkdict::WrittenLine line;
        if (mkdict::WriteLine(models, texts[n], mkdict::LineSeed(mkdict::kHeldOutSeedBase, 9, n),
                              {}, line))
            lines.push_back(std::move(line));
    }
    platform::ModuleHandle lib = lines.empty() ? nullptr : platform::LoadLibrary("veltarec.dll");
    veltarec::Exports sv;
    if (!lib || !sv.Bind(lib)) {
        state.SkipWithError("no lines, or the recognition service does not load");
        return;
    }
    size_t n = 0, strokes = 0;
    for (auto _ : state) {
        const mkdict::WrittenLine& line = lines[n++ % lines.size()];
        const size_t all = line.strokes.size();
        for (size_t written = incremental ? 1 : all; written <= all; ++written) {
            SRHANDLE h = sv.createObject();
            for (size_t s = 0; s < written; ++s)
                sv.addStroke(h, line.strokes[s].data(),
                             static_cast<int32_t>(line.strokes[s].size()));
            benchmark::DoNotOptimize(sv.recognizeNF(h));
            sv.destroyObject(h);
        }
        strokes += all;
    }
    if (incremental)
        state.counters["per_stroke"] =
            benchmark::Counter(static_cast<double>(strokes),
                               benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    platform::FreeLibrary(lib);
}

void BM_FiveCharacterTextLine(benchmark::State& state) {
    Run(state, false);
}
void BM_FiveRandomKanjiLine(benchmark::State& state) {
    Run(state, true);
}
void BM_TextLineStrokeByStroke(benchmark::State& state) {
    Run(state, false, true);
}
BENCHMARK(BM_FiveCharacterTextLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiveRandomKanjiLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextLineStrokeByStroke)->Unit(benchmark::kMillisecond);

} // namespace
