// Recognizing a written line of 10 characters with the compiled dictionaries.
#include "strrec/seqread.h"
#include "tests/dict_line.h"

#include <benchmark/benchmark.h>

namespace {

void BM_RecognizeLineOf10(benchmark::State& state) {
    dictline::Dictionaries dicts;
    std::string why;
    if (!dictline::Find(dicts, why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    const std::vector<uint16_t> wanted = {0x82A0, 0x82A9, 0x82B3, 0x82BD, 0x82C8,
                                          0x82CD, 0x82DC, 0x82E2, 0x82E7, 0x82ED,
                                          0x82C2, 0x82CC, 0x82AD, 0x82B5, 0x82EB};
    auto line = dictline::LineFromDictionary(dicts.pattern, wanted, 10);
    if (line.size() < 10) {
        state.SkipWithError("the pattern dictionary holds fewer than 10 plain hiragana");
        return;
    }
    if (lSROpenSystem(dicts.pattern.c_str(), dicts.coarse.c_str(), dicts.bigram.c_str()) != SR_OK) {
        state.SkipWithError("the dictionaries do not open");
        return;
    }
    for (auto _ : state) {
        HSROBJ obj = hSRCreateNewObject();
        for (const auto& ch : line)
            for (const auto& s : ch.strokes)
                lSRAddStrokeLast(obj, s.data(), static_cast<long>(s.size()));
        benchmark::DoNotOptimize(lSRRecognize(obj));
        vSRDestroyObject(obj);
    }
    vSRCloseSystem();
}
BENCHMARK(BM_RecognizeLineOf10)->Unit(benchmark::kMillisecond);

} // namespace
