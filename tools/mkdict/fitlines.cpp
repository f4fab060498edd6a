// tessera-fitlines: fits the string recognizer's evaluation tables (similarity, box,
// division, combination, and the weights of the language terms) to a compiled dictionary
// set, on imitated lines written with the training seeds, and names the table file in
// the set's VELTAREC.INI. Runs after tessera-mkdict in the build.
//
// The lines are pieces of the training text, random kanji strings and single characters.
// They are read with a bigram model made as the compiler makes the set's, but without the
// files the training text comes from: the set's own model has seen every pair of that
// text, and would make the language terms look more certain than they are on text a
// writer brings (fitted with it, the weights read new text worse).
// A third of each kind is written as KanjiVG draws the characters; a third with strokes
// split at a corner or two strokes joined, a third with strokes in another order or
// direction, as people write (fitted on the standard writing alone, the weights lean on
// scores that writers' errors lower, and such lines are read worse). Each is recognized once, which
// classifies every admissible run of its elements; the tables then come from the runs and gaps of
// the true segmentation (log densities of the gaps inside and between characters, of the box widths
// by character kind, of the right character's score), and the weights (of the score, language,
// gap and box terms, a cost per character, and the floor of the language terms) from a search that
// re-evaluates the classified lattices and keeps the values that read the most lines right. The
// correction pass's weight is then chosen on what the pass is handed in use: the candidate lists of
// the characters that the fitted search reads.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/profile.h"
#include "strrec/charkind.h"
#include "strrec/lptables.h"
#include "strrec/srobj.h"
#include "tessera/seqread.h"
#include "tools/cli_args.h"
#include "tools/mkdict/bigram_dic.h"
#include "tools/mkdict/corpus.h"
#include "tools/mkdict/correction_weight.h"
#include "tools/mkdict/ini_files.h"
#include "tools/mkdict/lines.h"
#include "tools/mkdict/seeds.h"
#include "tools/mkdict/steady_grid.h"

namespace {

const char kUsage[] =
    "usage: tessera-fitlines --kanjivg PATH --data DIR [options]\n"
    "  --kanjivg PATH  KanjiVG release the dictionaries were compiled from\n"
    "  --data DIR      the compiled dictionaries and their VELTAREC.INI\n"
    "  --out NAME      table file written into DIR and named in VELTAREC.INI (evaluation.clp)\n"
    "  --lines N       training lines of each kind (text, random kanji; 150)\n"
    "  --singles N     single characters written as lines (150)\n"
    "  --standard      write every line in KanjiVG's stroke order, without writers' errors\n"
    "  --lone-best     keep the weight set that reads the most training lines itself,\n"
    "                  not the best in its neighbourhood\n"
    "  --seed N        training seed set 0..7 (0, the build's; the others show how much the\n"
    "                  fitted weights depend on the lines drawn)\n"
    "  --text FILE     training text (repeatable; default: the dictionary compiler's)\n"
    "  --set-bigrams   read the lines with the set's own bigram dictionary (default with\n"
    "                  --text; otherwise one made without the training text's files)\n";

constexpr float kFloor = -14.99f;

// Weight sets whose neighbourhoods the steady search starts from (those that read the most
// lines), and the most steps it takes from each.
constexpr size_t kSteadyStarts = 4;
constexpr int kSteadyMoves = 8;

struct Options {
    std::string kanjivg, data, out = "evaluation.clp";
    std::vector<std::string> text;
    int lines = 150, singles = 150, seed = 0;
    bool standard = false, set_bigrams = false, lone_best = false;
};

// The writing of training line n: standard, with stroke errors, with order and direction
// errors, in turn (the rates of the line bench's figures with writers' errors).
mkdict::LineLayoutParams WritingOfLine(size_t n, bool standard) {
    mkdict::LineLayoutParams params;
    if (standard) return params;
    if (n % 3 == 1) params.character.split_rate = params.character.merge_rate = 0.3;
    if (n % 3 == 2) params.character.order_error_rate = 0.3, params.character.reverse_rate = 0.2;
    return params;
}

bool ParseArgs(int argc, char** argv, Options& o) {
    cli::Args args("tessera-fitlines", argc, argv);
    while (args.Next()) {
        const std::string& a = args.Option();
        bool ok = true;
        if (a == "--kanjivg")
            ok = args.Text(o.kanjivg);
        else if (a == "--data")
            ok = args.Text(o.data);
        else if (a == "--out")
            ok = args.Text(o.out) && !o.out.empty() && o.out.find('/') == std::string::npos;
        else if (a == "--lines")
            ok = args.Int(o.lines, 1, 100000);
        else if (a == "--singles")
            ok = args.Int(o.singles, 1, 100000);
        else if (a == "--lone-best")
            o.lone_best = true;
        else if (a == "--seed")
            ok = args.Int(o.seed, 0, 7);
        else if (a == "--standard")
            o.standard = true;
        else if (a == "--set-bigrams")
            o.set_bigrams = true;
        else if (a == "--text") {
            std::string t;
            ok = args.Text(t);
            o.text.push_back(t);
        } else
            return args.Unknown();
        if (!ok) return args.BadValue();
    }
    if (o.kanjivg.empty() || o.data.empty()) {
        std::fprintf(stderr, "tessera-fitlines: --kanjivg and --data are needed\n");
        return false;
    }
    return true;
}

// Running text of the training files: every k-th file, up to about max_bytes of text. The
// files read go to used.
std::string TrainingText(const std::vector<std::string>& files, size_t max_bytes,
                         std::vector<std::string>& used) {
    std::string all, error;
    const size_t step = std::max<size_t>(1, files.size() / 200);
    for (size_t n = 0; n < files.size() && all.size() < max_bytes; n += step) {
        auto text = mkdict::RunningTextOfFile(files[n], error);
        if (!text) continue;
        all += *text;
        all += '\n';
        used.push_back(files[n]);
    }
    return all;
}

// Writes to path a bigram dictionary made as the dictionary compiler makes its own from the
// system's text, word list and ranks, but without the files in left_out.
bool WriteBigramsWithout(const std::vector<std::string>& left_out, const std::string& path,
                         std::string& error) {
    mkdict::BigramSources sources;
    const std::set<std::string> skip(left_out.begin(), left_out.end());
    for (const auto& f : mkdict::SystemCorpusFiles())
        if (skip.count(f) == 0) sources.files.push_back(f);
    for (auto [file, field] : {std::pair{mkdict::kSystemEdict, &sources.edict},
                               std::pair{mkdict::kSystemKanjidic, &sources.kanjidic}})
        if (std::filesystem::exists(file)) *field = file;
    mkdict::BigramSourceReport report;
    const mkdict::BigramTables t = mkdict::MakeBigramsFromSources(sources, {}, report);
    return mkdict::WriteBigramDictionary(path, t, error);
}

// A histogram smoothed with a Gaussian kernel, as probabilities over its bins.
std::vector<double> Smoothed(const std::vector<double>& counts, double width, double extra) {
    const int n = static_cast<int>(counts.size());
    std::vector<double> out(counts.size(), 0.0);
    const int reach = static_cast<int>(std::ceil(3 * width));
    double total = 0;
    for (int i = 0; i < n; ++i) {
        if (counts[static_cast<size_t>(i)] == 0) continue;
        double norm = 0;
        for (int d = -reach; d <= reach; ++d)
            if (i + d >= 0 && i + d < n) norm += std::exp(-0.5 * d * d / (width * width));
        for (int d = -reach; d <= reach; ++d)
            if (i + d >= 0 && i + d < n)
                out[static_cast<size_t>(i + d)] += counts[static_cast<size_t>(i)] *
                                                   std::exp(-0.5 * d * d / (width * width)) / norm;
        total += counts[static_cast<size_t>(i)];
    }
    for (auto& v : out) v = (v + extra) / (total + extra * n);
    return out;
}

std::string FloorName(double floor) {
    return floor == kNoLangFloor ? "none" : std::to_string(static_cast<int>(floor));
}

float LogOf(double p) {
    return static_cast<float>(std::max(static_cast<double>(kFloor), std::log(p)));
}

struct TrainLine {
    int set = 0; // 0 text, 1 random kanji, 2 single characters
    mkdict::WrittenLine line;
    std::unique_ptr<aSROBJ> obj;
    std::vector<int> elm_end; // strokes up to the end of element k (k = 0..N)
    // element boundaries of the true characters, when the pre-segmentation allows them
    std::vector<int> true_bound;
};

// The string of the best chain of a recognized object.
std::vector<uint16_t> BestString(aSROBJ& obj) {
    long len = 0, err = 0;
    const char* text = obj.lGetResultCount() > 0 ? obj.cpGetString(0, &len, &err) : nullptr;
    return mkdict::CodesOfSjis(text);
}

// Shape statistics of the training lines.
struct Stats {
    std::vector<double> between = std::vector<double>(191), inside = std::vector<double>(211);
    std::vector<std::vector<double>> box =
        std::vector<std::vector<double>>(6, std::vector<double>(161));
    std::vector<double> sim = std::vector<double>(1025);
};

struct Weights {
    double sim = 1, lang = 0.3, perchar = 0, gap = 1, box = 1, correct = 9;
    double floor = kNoLangFloor; // of the language terms
};

EVALTABLES Tables(const Stats& st, const Weights& w) {
    EVALTABLES t{};
    double nb = 0, ni = 0;
    for (double v : st.between) nb += v;
    for (double v : st.inside) ni += v;
    const double all = std::max(1.0, nb + ni);
    // Joint log-probabilities of the kind of boundary and its distance: at every element
    // boundary exactly one of the two applies.
    auto div = Smoothed(st.between, 4, 0.02), cmb = Smoothed(st.inside, 4, 0.02);
    for (int d = 0; d < 191; ++d)
        t.fDiv[d] = std::max(kFloor, static_cast<float>(w.gap) *
                                         LogOf(div[static_cast<size_t>(d)] * nb / all));
    for (int d = 0; d < 211; ++d)
        t.fCmb[d] = std::max(kFloor, static_cast<float>(w.gap) *
                                         LogOf(cmb[static_cast<size_t>(d)] * ni / all));
    // Widths by kind, drawn towards the widths of all kinds where a kind has few samples.
    std::vector<double> pooled(161, 0.0);
    for (const auto& k : st.box)
        for (size_t b = 0; b < 161; ++b) pooled[b] += k[b];
    auto pooled_p = Smoothed(pooled, 4, 0.02);
    for (int kind = 0; kind < 6; ++kind) {
        double n = 0;
        for (double v : st.box[static_cast<size_t>(kind)]) n += v;
        auto p = Smoothed(st.box[static_cast<size_t>(kind)], 4, 0.02);
        const double m = 50; // samples' worth of the pooled widths
        for (int b = 0; b < 161; ++b) {
            const double q =
                (p[static_cast<size_t>(b)] * n + pooled_p[static_cast<size_t>(b)] * m) / (n + m);
            t.fBox[b][kind] = std::max(kFloor, static_cast<float>(w.box) * LogOf(q) +
                                                   static_cast<float>(w.perchar));
        }
    }
    // The right character's score: a log density, never falling with the score, 0 at best.
    auto s = Smoothed(st.sim, 6, 0.001);
    double run = -1e9;
    std::vector<double> mono(1025);
    for (size_t i = 0; i < 1025; ++i) mono[i] = run = std::max(run, std::log(s[i]));
    for (size_t i = 0; i < 1025; ++i)
        t.fSim[i] = std::max(kFloor, static_cast<float>(w.sim * (mono[i] - run)));
    t.fLangWeight = static_cast<float>(w.lang);
    t.fLangFloor = static_cast<float>(w.floor);
    t.fCorrectWeight = static_cast<float>(w.correct);
    return t;
}

// Share of lines read exactly right and of characters right, each averaged over the
// three kinds of line, and the two averaged.
double Accuracy(std::vector<TrainLine>& lines, int* right = nullptr) {
    int hit[3] = {}, n[3] = {};
    size_t chars[3] = {}, edits[3] = {};
    for (auto& l : lines) {
        ++n[l.set];
        chars[l.set] += l.line.codes.size();
        const std::vector<uint16_t> got =
            l.obj->m_lChainSearch() == SR_OK ? BestString(*l.obj) : std::vector<uint16_t>{};
        hit[l.set] += got == l.line.codes;
        edits[l.set] += std::min(mkdict::EditDistance(got, l.line.codes), l.line.codes.size());
    }
    double acc = 0;
    int kinds = 0;
    for (int k = 0; k < 3; ++k)
        if (n[k]) {
            acc += static_cast<double>(hit[k]) / n[k] + 1.0 -
                   static_cast<double>(edits[k]) / static_cast<double>(chars[k]);
            ++kinds;
        }
    if (right) std::copy(hit, hit + 3, right);
    return kinds ? acc / (2 * kinds) : 0;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseArgs(argc, argv, o)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();
    std::string dir = o.data;
    if (dir.back() != '/') dir += '/';
    const std::string ini = dir + "VELTAREC.INI";
    auto key = [&](const char* name) {
        char value[512];
        platform::GetPrivateProfileString("RECOGBOX", name, "", value, sizeof value, ini.c_str());
        return dir + value;
    };
    std::string err;
    mkdict::ModelSet models;
    if (!mkdict::ReadModels(o.kanjivg, {}, models, err)) {
        std::fprintf(stderr, "tessera-fitlines: %s\n", err.c_str());
        return 1;
    }
    const auto files = o.text.empty() ? mkdict::SystemCorpusFiles() : o.text;
    std::vector<std::string> text_files;
    const std::string training_text = TrainingText(files, 4 << 20, text_files);
    // The bigram model the lines are read with, and the file it was written to for the
    // string recognizer to load (removed once loaded).
    std::string bigrams = key("CBDIC"), made;
    if (!o.set_bigrams && o.text.empty()) {
        made = (std::filesystem::temp_directory_path() /
                ("tessera-fitlines-" + std::to_string(getpid()) + ".cbg"))
                   .string();
        if (!WriteBigramsWithout(text_files, made, err)) {
            std::fprintf(stderr, "tessera-fitlines: %s\n", err.c_str());
            return 1;
        }
        bigrams = made;
    }
    const long opened = lSROpenSystem(key("CRDIC").c_str(), key("CCDIC").c_str(), bigrams.c_str());
    if (!made.empty()) std::remove(made.c_str());
    if (opened != 0) {
        std::fprintf(stderr, "tessera-fitlines: the dictionaries named in %s do not open\n",
                     ini.c_str());
        return 1;
    }
    vSRSetClassCount(platform::GetPrivateProfileInt("RECOGBOX", "CCOUNT", 250, ini.c_str()));
    // Seed sets 2^36 apart stay below the tuning seeds whatever the line's kind and number.
    const uint64_t base = mkdict::kTrainingSeedBase + (static_cast<uint64_t>(o.seed) << 36);
    std::vector<std::vector<uint16_t>> texts[3];
    texts[0] =
        mkdict::TextPieces(training_text, models, 2, 8, static_cast<size_t>(o.lines), base + 1);
    texts[1] = mkdict::RandomKanjiStrings(models, 2, 6, static_cast<size_t>(o.lines), base + 2);
    {
        const size_t stride = std::max<size_t>(1, models.size() / static_cast<size_t>(o.singles));
        size_t k = 0;
        for (const auto& [code, ink] : models)
            if (k++ % stride == stride / 2) texts[2].push_back({code});
    }

    // Recognize every line once with the fixed tables: the lattice keeps the candidates.
    g_srlp.vSetEvalTables(nullptr);
    std::vector<TrainLine> lines;
    Stats st;
    for (int set = 0; set < 3; ++set) {
        for (size_t n = 0; n < texts[set].size(); ++n) {
            TrainLine t;
            t.set = set;
            if (!mkdict::WriteLine(models, texts[set][n], mkdict::LineSeed(base, set, n),
                                   WritingOfLine(n, o.standard), t.line))
                continue;
            t.obj = std::make_unique<aSROBJ>();
            for (const auto& s : t.line.strokes)
                t.obj->lAddStrokeLast(s.data(), static_cast<long>(s.size()));
            if (t.obj->lRecognize() != SR_OK) continue;
            const int elms = t.obj->m_SegRes.iGetElmCount();
            t.elm_end.push_back(0);
            for (int k = 0; k < elms; ++k) {
                long head = 0, tail = 0;
                t.obj->lGetStrokeNoOfNthChar(-1, k, &head, &tail);
                t.elm_end.push_back(static_cast<int>(tail) + 1);
            }
            std::set<int> ends(t.line.char_end.begin(), t.line.char_end.end());
            for (int k = 1; k <= elms; ++k)
                if (ends.count(t.elm_end[static_cast<size_t>(k)])) t.true_bound.push_back(k);
            // gaps: every boundary inside the line is one between characters or one inside
            for (int k = 1; k < elms; ++k) {
                const int d = t.obj->iGetDistParam(k);
                if (ends.count(t.elm_end[static_cast<size_t>(k)]))
                    st.between[static_cast<size_t>(std::clamp(d, 10, 200) - 10)] += 1;
                else
                    st.inside[static_cast<size_t>(std::clamp(d, -100, 110) + 100)] += 1;
            }
            // the true characters that the pre-segmentation allows: width and score
            if (t.true_bound.size() == t.line.codes.size()) {
                int prev = 0;
                for (size_t c = 0; c < t.true_bound.size(); ++c) {
                    const int i = t.true_bound[c];
                    const DPCELL* cell = t.obj->pGetCell(i, prev, 0);
                    if (cell != nullptr) {
                        const uint16_t code = t.line.codes[c];
                        int score = 0;
                        for (int k = 0; k < kDPCands; ++k) {
                            const DPCELL* ck = t.obj->pGetCell(i, prev, k);
                            if ((ck->cr.code & 0xFFFF) == code) score = ck->cr.score;
                        }
                        if (score > 0) {
                            st.sim[static_cast<size_t>(std::clamp(score, 0, 1024))] += 1;
                            st.box[static_cast<size_t>(iTellCharCodeKind(code))]
                                  [static_cast<size_t>(
                                      std::clamp(t.obj->iGetRowBoxParam(i, prev), 0, 160))] += 1;
                        }
                    }
                    prev = i;
                }
            }
            lines.push_back(std::move(t));
        }
    }
    if (lines.empty()) {
        std::fprintf(stderr, "tessera-fitlines: no training line could be read\n");
        return 1;
    }
    int right[3] = {};
    const double fixed = Accuracy(lines, right);
    std::printf(
        "tessera-fitlines: %zu training lines; fixed tables: score %.1f %%; lines right: text %d, "
        "random %d, single %d\n",
        lines.size(), 100 * fixed, right[0], right[1], right[2]);

    // The weights. The language weight, its floor and the cost per character trade against
    // each other (a floor lets the weight rise without burying rare characters, and the
    // cost balances what the language terms take per character), so they are first
    // searched together on a coarse grid; then each weight moves along a finer grid of its
    // own while the others stay (the language weight and the cost together), until none
    // moves. Last, the search climbs from the best few of the sets read to the one whose
    // neighbourhood (one grid step along each weight) reads the most lines on average.
    // Grids wide enough that no fitted weight has ended on an edge of its own.
    const std::vector<double> sims = {0.25, 0.5, 0.75, 1, 1.25, 1.5, 1.75, 2, 2.5, 3, 4, 5, 6};
    const std::vector<double> scales = {0, 0.1, 0.2, 0.35, 0.5, 0.75, 1, 1.25, 1.5, 2, 2.5, 3};
    const std::vector<double> langs = {0,   0.05, 0.1, 0.15, 0.2, 0.25, 0.3, 0.4,
                                       0.5, 0.6,  0.7, 0.8,  1,   1.2,  1.5, 2};
    const std::vector<double> floors = {kNoLangFloor, -14, -13, -12, -11, -10, -9, -8, -7, -6};
    const std::vector<double> costs = {-2, -1, -0.5, 0, 0.5, 1, 1.5, 2, 3, 4, 5, 6, 7, 8, 10, 12};
    // Every weight set tried lies on these grids (the coarse one's values among them), and
    // each is read once.
    auto values_of = [](const Weights& c) {
        return std::vector<double>{c.sim, c.lang, c.floor, c.perchar, c.gap, c.box};
    };
    auto weights_of = [](const std::vector<double>& v) {
        Weights c;
        c.sim = v[0], c.lang = v[1], c.floor = v[2], c.perchar = v[3], c.gap = v[4], c.box = v[5];
        return c;
    };
    mkdict::SteadyGrid grid({sims, langs, floors, costs, scales, scales},
                            [&](const std::vector<double>& v) {
                                EVALTABLES t = Tables(st, weights_of(v));
                                g_srlp.vSetEvalTables(&t);
                                return Accuracy(lines);
                            });
    Weights w;
    auto score = [&](const Weights& cand) { return grid.Score(grid.Nearest(values_of(cand))); };
    double best = score(w);
    auto consider = [&](const Weights& c) {
        const double a = score(c);
        const bool better = a > best + 1e-9;
        if (better) best = a, w = c;
        return better;
    };
    for (double lang : {0.2, 0.3, 0.4, 0.5, 0.6, 0.8, 1.0, 1.2})
        for (double floor : {static_cast<double>(kNoLangFloor), -12.0, -10.0, -9.0, -8.0, -7.0})
            for (double cost : {0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 10.0}) {
                Weights c = w;
                c.lang = lang, c.floor = floor, c.perchar = cost;
                consider(c);
            }
    for (int round = 0; round < 3; ++round) {
        bool moved = false;
        auto along = [&](double Weights::*field, const std::vector<double>& grid) {
            for (double v : grid) {
                Weights c = w;
                c.*field = v;
                moved = consider(c) || moved;
            }
        };
        for (double lang : langs)
            for (double cost : costs) {
                Weights c = w;
                c.lang = lang, c.perchar = cost;
                moved = consider(c) || moved;
            }
        along(&Weights::floor, floors);
        along(&Weights::sim, sims);
        along(&Weights::gap, scales);
        along(&Weights::box, scales);
        if (!moved) break;
    }

    // Of the weight sets that read the most lines, the one best in its neighbourhood: a lone
    // grid point that reads a line or two more than those around it is the lines' chance,
    // and another draw of lines puts it elsewhere.
    if (!o.lone_best) {
        const Weights lone = w;
        w = weights_of(grid.Values(grid.Climb(grid.Best(kSteadyStarts), kSteadyMoves)));
        std::printf("tessera-fitlines: the best single weight set: score %.2f, language %.2f, "
                    "floor %s, per character %.1f, gaps %.2f, box %.2f (%.1f %%, around it "
                    "%.1f %%); %zu weight sets read\n",
                    lone.sim, lone.lang, FloorName(lone.floor).c_str(), lone.perchar, lone.gap,
                    lone.box, 100 * best, 100 * grid.Steady(grid.Nearest(values_of(lone))),
                    grid.Counted());
    }

    // The correction pass's weight, on what the pass is handed in use: the candidate lists
    // of the characters of the best chain that the fitted search finds. A line counts when
    // the corrected string is right, so that a weight is judged by the lines it repairs
    // against those it spoils that the search had read right.
    {
        EVALTABLES fitted = Tables(st, w);
        g_srlp.vSetEvalTables(&fitted);
        std::vector<mkdict::CorrectionCase> cases;
        for (auto& l : lines) {
            if (l.line.codes.size() < 2 || l.obj->m_lChainSearch() != SR_OK) continue;
            mkdict::CorrectionCase c;
            for (const DPCELL* cell = l.obj->pGetSorted(0); cell != nullptr; cell = cell->pPrev) {
                std::vector<CODE_SCORE> list(kDPCands, CODE_SCORE{0, 0});
                for (int k = 0; k < kDPCands; ++k)
                    if (const DPCELL* ck = l.obj->pGetCell(cell->iFwdPos, cell->iBwdPos, k))
                        list[static_cast<size_t>(k)] = {ck->cr.code, ck->cr.score};
                c.lists.insert(c.lists.begin(), list);
            }
            c.truth = l.line.codes;
            c.kind = l.set;
            cases.push_back(std::move(c));
        }
        w.correct = mkdict::ChooseCorrectionWeight(
            cases, {0.0, 1.0, 2.0, 4.0, 6.0, 9.0, 12.0, 16.0, 24.0, 32.0, 48.0},
            [](CODE_SCORE** lists, int count, int width, double weight) {
                aBigramContextProcess bc;
                bc.SetBigramDictionary(&g_srlp.m_bgt);
                bc.SetWeight(weight);
                bc.iCorrectResult(lists, count, width);
            });
    }

    EVALTABLES t = Tables(st, w);
    g_srlp.vSetEvalTables(&t);
    const double fitted = Accuracy(lines, right);
    vSRCloseSystem();
    // The configuration first, the tables last: the build sees the table file as newer
    // than everything it was made from. A file that cannot be written is not left named.
    const std::string out = dir + o.out;
    if (!mkdict::NameEvaluationTables(dir, o.out, err)) {
        std::fprintf(stderr, "tessera-fitlines: %s\n", err.c_str());
        return 1;
    }
    if (iSaveEvalTables(out.c_str(), t) != 0) {
        mkdict::NameEvaluationTables(dir, "", err);
        std::fprintf(stderr, "tessera-fitlines: %s: cannot write\n", out.c_str());
        return 1;
    }
    std::printf("tessera-fitlines: fitted tables: score %.1f %%; lines right: text %d, random %d, "
                "single %d; weights: score %.2f, language %.2f, floor %s, per character %.1f, "
                "gaps %.2f, box %.2f, correction %.1f; %.0f s\n",
                100 * fitted, right[0], right[1], right[2], w.sim, w.lang,
                FloorName(w.floor).c_str(), w.perchar, w.gap, w.box, w.correct,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    return 0;
}
