// tessera-confusions: which characters a set of samples (JSON lines, as tessera-bench
// reads them) is most often mistaken for by libglyphid.so, with the stroke counts of
// both characters' KanjiVG drawings and of the sample, to tell stroke-count trouble
// from shape trouble.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/loader.h"
#include "tessera/glyphid.h"
#include "tools/bench/dictionaries.h"
#include "tools/bench/samples.h"
#include "tools/mkdict/charset.h"
#include "tools/mkdict/kvg_archive.h"
#include "tools/mkdict/kvg_character.h"
#include "tools/tracefont/confusion_table.h"

namespace {

const char kUsage[] = "usage: tessera-confusions --json FILE [options]\n"
                      "  --kanjivg PATH     KanjiVG release for the stroke counts (default: the "
                      "build's)\n"
                      "  --data DIR         dictionary folder (default: the system directory)\n"
                      "  --class-count N    coarse candidates, 0 for the full path (250)\n"
                      "  --top N            pairs to list (20)\n";

int Strokes(const std::vector<POINT_W>& pts) {
    int n = 0;
    for (const auto& p : pts) n += (p.attr & PT_PENDOWN) != 0;
    return n;
}

// Stroke count of a character's KanjiVG drawing, -1 when there is none.
int DrawingStrokes(const mkdict::KvgArchive* archive, uint16_t code) {
    if (!archive || !code) return -1;
    std::string svg, err;
    for (const auto& e : archive->Entries()) {
        auto c = mkdict::DictionaryCodeFor(e.codepoint);
        if (!c || *c != code) continue;
        mkdict::KvgCharacter ch;
        if (!archive->Read(e, svg, err) || !mkdict::ParseKvgSvg(svg, ch, err)) return -1;
        return static_cast<int>(ch.strokes.size());
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    std::string json, kanjivg = TRACEFONT_DEFAULT_KANJIVG, data;
    int class_count = 250, top = 20;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (i + 1 >= argc) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        std::string v = argv[++i];
        char* end = nullptr;
        if (a == "--json")
            json = v;
        else if (a == "--kanjivg")
            kanjivg = v;
        else if (a == "--data")
            data = v;
        else if (a == "--class-count" || a == "--top") {
            long n = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end || n < 0 || n > 100000) {
                std::fprintf(stderr, "tessera-confusions: bad value for %s\n", a.c_str());
                return 2;
            }
            (a == "--top" ? top : class_count) = static_cast<int>(n);
        } else {
            std::fprintf(stderr, "tessera-confusions: unknown option %s\n%s", a.c_str(), kUsage);
            return 2;
        }
    }
    if (json.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::ifstream in(json);
    if (!in) {
        std::fprintf(stderr, "tessera-confusions: %s: cannot open\n", json.c_str());
        return 1;
    }
    std::vector<std::string> errors;
    auto samples = bench::ReadSampleLines(in, errors);
    for (const auto& e : errors) std::fprintf(stderr, "tessera-confusions: %s\n", e.c_str());
    if (samples.empty()) {
        std::fprintf(stderr, "tessera-confusions: no samples\n");
        return 1;
    }
    std::string err;
    auto archive = mkdict::KvgArchive::Open(kanjivg, err); // optional: only for the counts

    // the dictionaries the recognition service is configured with
    const bench::ClassifierFiles files = bench::ConfiguredClassifierFiles(data);
    const std::string &crd = files.crd, &ccd = files.ccd;

    platform::ModuleHandle lib = platform::LoadLibrary("glyphid.dll");
    if (!lib) {
        std::fprintf(stderr, "tessera-confusions: cannot load glyphid.dll\n");
        return 1;
    }
    auto open = platform::GetProc<PFN_iOpenClassRecogModule>(lib, "iOpenClassRecogModule");
    auto close = platform::GetProc<PFN_vCloseClassRecogModule>(lib, "vCloseClassRecogModule");
    auto classify = platform::GetProc<PFN_iClassifyRecognize>(lib, "iClassifyRecognize");
    auto count = platform::GetProc<PFN_vSetClassCount>(lib, "vSetClassCount");
    if (!open || !close || !classify || !count || open(crd.c_str(), ccd.c_str()) != 0) {
        std::fprintf(stderr, "tessera-confusions: the classifier does not open %s\n", crd.c_str());
        platform::FreeLibrary(lib);
        return 1;
    }
    count(class_count);
    tracefont::ConfusionTable table;
    std::vector<int> sample_strokes(65536, -1);
    int wrong = 0;
    for (auto& s : samples) {
        PATTERN_W p{s.points.data(), static_cast<int32_t>(s.points.size())};
        CR_RESULT res[1] = {};
        int n = classify(&p, res, 1);
        uint16_t got = n > 0 ? static_cast<uint16_t>(res[0].code & 0xFFFF) : 0;
        if (got == s.code) continue;
        ++wrong;
        table.Add(s.code, got);
        sample_strokes[s.code] = Strokes(s.points);
    }
    close();
    platform::FreeLibrary(lib);

    std::printf("%d of %zu samples recognized wrongly (%s path); most common:\n", wrong,
                samples.size(), class_count ? "coarse" : "full");
    std::printf("count  expected -> got   strokes: sample, drawing of expected, of got\n");
    for (const auto& c : table.Top(static_cast<size_t>(top))) {
        std::string e = mkdict::Utf8OfCp932Code(c.expected);
        std::string g = c.got ? mkdict::Utf8OfCp932Code(c.got) : "(none)";
        std::printf("%5d  %s -> %s   %d, %d, %d\n", c.count, e.c_str(), g.c_str(),
                    sample_strokes[c.expected], DrawingStrokes(archive.get(), c.expected),
                    DrawingStrokes(archive.get(), c.got));
    }
    return 0;
}
