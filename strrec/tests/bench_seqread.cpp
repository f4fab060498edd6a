// Recognizing a written line of 10 characters with the compiled dictionaries.
#include "tessera/seqread.h"
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
    // わたしはまいにちほん
    const std::vector<uint16_t> wanted = {0x82ED, 0x82BD, 0x82B5, 0x82CD, 0x82DC,
                                          0x82A2, 0x82C9, 0x82BF, 0x82D9, 0x82F1};
    auto line = dictline::LineFromDictionary(dicts.pattern, wanted, 10);
    if (line.size() != wanted.size()) {
        state.SkipWithError("the pattern dictionary lacks plain hiragana of the line");
        return;
    }
    if (lSROpenSystem(dicts.pattern.c_str(), dicts.coarse.c_str(), dicts.bigram.c_str()) != SR_OK) {
        state.SkipWithError("the dictionaries do not open");
        return;
    }
    vSRSetRecCategory(1); // hiragana
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
