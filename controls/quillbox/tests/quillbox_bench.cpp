// How long the box takes per pen sample (store and draw), to redraw a full box of ink,
// and to filter a candidate list. Run offscreen.
#include "box_helpers.h"

#include "controls/quillbox/candidates.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

void BM_PenMove(benchmark::State& state) {
    std::unique_ptr<quillbox::QuillboxCtrl> box(quillbox::QuillboxCtrl::create());
    if (!box) {
        state.SkipWithError("the recognition service cannot be loaded");
        return;
    }
    box->resize(300, 300);
    box->setLineWidth(static_cast<int>(state.range(0)));
    int i = 0;
    boxtest::Message(box.get(), quillbox::QuillboxCtrl::kPenDown, {0, 0});
    for (auto _ : state) {
        ++i;
        boxtest::Message(box.get(), quillbox::QuillboxCtrl::kPenMove, {i % 300, (i / 300) % 300});
        if (i % 5000 == 0) { // keep the ink from growing without end
            state.PauseTiming();
            box->Clear();
            boxtest::Message(box.get(), quillbox::QuillboxCtrl::kPenDown, {0, 0});
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PenMove)->Arg(2)->Arg(8);

void BM_RedrawInk(benchmark::State& state) {
    std::unique_ptr<quillbox::QuillboxCtrl> box(quillbox::QuillboxCtrl::create());
    if (!box) {
        state.SkipWithError("the recognition service cannot be loaded");
        return;
    }
    box->resize(300, 300);
    std::vector<QPoint> pts;
    for (int k = 0; k < state.range(0); ++k) pts.push_back({(k * 7) % 300, (k * 13) % 300});
    boxtest::PenStroke(box.get(), pts);
    uint color = 0;
    for (auto _ : state) box->setLineColor(++color & 0xFFFFFF); // redraws every stored point
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RedrawInk)->Arg(600)->Arg(3000);

void BM_FilterCandidates(benchmark::State& state) {
    CR_RESULT source[quillbox::kCandidateCount];
    for (int i = 0; i < quillbox::kCandidateCount; ++i)
        source[i] = CR_RESULT{i, 1000 - i, i % 3 ? 0x8260u + i : 0x906Cu + i};
    quillbox::CategoryFlags flags;
    flags.alphaUpper = false;
    for (auto _ : state) {
        CR_RESULT list[quillbox::kCandidateCount];
        std::copy(std::begin(source), std::end(source), list);
        benchmark::DoNotOptimize(quillbox::FilterCandidates(list, flags));
    }
}
BENCHMARK(BM_FilterCandidates);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
