// Recognizing imitated five-character lines (held-out seeds) through the recognition
// service, with the evaluation tables its configuration names: a line of kanji and kana
// of running text, and lines of random kanji.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/loader.h"
#include "recservice/veltarec.h"
#include "tools/mkdict/lines.h"
#include "tools/mkdict/seeds.h"

namespace {

struct Service {
    platform::ModuleHandle lib = nullptr;
    veltarec::CreateNewObjectFn create = nullptr;
    veltarec::DestroyObjectFn destroy = nullptr;
    veltarec::AddStrokeLastFn add = nullptr;
    veltarec::RecognizeNFFn recognize = nullptr;
};

bool Load(Service& sv) {
    sv.lib = platform::LoadLibrary("veltarec.dll");
    if (!sv.lib) return false;
    sv.create = platform::GetProc<veltarec::CreateNewObjectFn>(sv.lib, "CreateNewObject");
    sv.destroy = platform::GetProc<veltarec::DestroyObjectFn>(sv.lib, "DestroyObject");
    sv.add = platform::GetProc<veltarec::AddStrokeLastFn>(sv.lib, "AddStrokeLast");
    sv.recognize = platform::GetProc<veltarec::RecognizeNFFn>(sv.lib, "RecognizeNF");
    return sv.create && sv.destroy && sv.add && sv.recognize;
}

void Run(benchmark::State& state, bool random) {
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
    Service sv;
    if (lines.empty() || !Load(sv)) {
        state.SkipWithError("no lines, or the recognition service does not load");
        return;
    }
    size_t n = 0;
    for (auto _ : state) {
        const mkdict::WrittenLine& line = lines[n++ % lines.size()];
        SRHANDLE h = sv.create();
        for (const auto& s : line.strokes) sv.add(h, s.data(), static_cast<int32_t>(s.size()));
        benchmark::DoNotOptimize(sv.recognize(h));
        sv.destroy(h);
    }
    platform::FreeLibrary(sv.lib);
}

void BM_FiveCharacterTextLine(benchmark::State& state) {
    Run(state, false);
}
void BM_FiveRandomKanjiLine(benchmark::State& state) {
    Run(state, true);
}
BENCHMARK(BM_FiveCharacterTextLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiveRandomKanjiLine)->Unit(benchmark::kMillisecond);

} // namespace
