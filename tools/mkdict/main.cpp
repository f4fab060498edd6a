// tessera-mkdict: compiles the recognizer's dictionaries from a KanjiVG release and from
// Japanese text, and writes the configuration files that name them.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "recservice/charprior.h"
#include "tools/cli_args.h"
#include "tools/mkdict/bigram_dic.h"
#include "tools/mkdict/charset.h"
#include "tools/mkdict/coarse_dic.h"
#include "tools/mkdict/corpus.h"
#include "tools/mkdict/distort.h"
#include "tools/mkdict/exdic.h"
#include "tools/mkdict/ini_files.h"
#include "tools/mkdict/kanjidic.h"
#include "tools/mkdict/kvg_archive.h"
#include "tools/mkdict/kvg_character.h"
#include "tools/mkdict/pattern_dic.h"
#include "tools/mkdict/same_shape.h"
#include "tools/mkdict/seeds.h"

namespace fs = std::filesystem;
using namespace mkdict;

namespace {

const char kUsage[] =
    "usage: tessera-mkdict --kanjivg PATH --out DIR [options] [TEXT...]\n"
    "  --kanjivg PATH     KanjiVG main release: a zip or an unpacked kanji/ folder\n"
    "  --out DIR          folder for the dictionaries and the configuration files\n"
    "  --license FILE     KanjiVG's COPYING (default: beside the release)\n"
    "  --no-split-variants  no variant with the sharpest-cornered stroke in two\n"
    "  --no-system-text   do not read the Japanese manual pages, Debian reference, EDICT\n"
    "                     and KANJIDIC that the system's packages install\n"
    "  --edict FILE       EDICT word list to read (EUC-JP or UTF-8, may be gzipped)\n"
    "  --kanjidic FILE    KANJIDIC, whose frequency ranks blend into the kanji's monograms\n"
    "                     and whose grades and ranks make the character prior (default\n"
    "                     /usr/share/edict/kanjidic, from the Debian package kanjidic)\n"
    "  --rank-weight X    share of the rank estimate in those monograms, 0..1 (0.5)\n"
    "  --no-backoff       pair values as counted, every unseen pair at the floor value\n"
    "                     (by default seen pairs are discounted and unseen ones back off\n"
    "                     to the monograms)\n"
    "  --only CHARS       compile only these characters (UTF-8), for quick checks\n"
    "  --samples N        distorted writings per character for the coarse ranges (24)\n"
    "  --templates N      directional templates per character (3)\n"
    "  --extra-strokes N  stroke-count group slack of the coarse entries (0)\n"
    "  --strength X      distortion strength of those writings (1.25)\n"
    "  --travel-margin N, --turn-margin N  widen the coarse ranges (0)\n"
    "  --nodir N          segments shorter than N carry no direction (0 = off)\n"

    "  --prior-span N     score points the commonest character's prior is worth (100)\n"
    "  --same-shape X     shape distance up to which characters count as the same shape\n"
    "                     and are ordered by the prior (0.12; drawings of up to 4 strokes)\n"
    "  TEXT...            more Japanese text files (UTF-8 or CP932, may be gzipped)\n";

struct Options {
    std::string kanjivg, out, license, only;
    std::string edict, kanjidic; // empty: the system's files
    int prior_span = kDefaultPriorSpan;
    double same_shape = kSameShapeDistance;
    bool system_text = true;
    BigramOptions bigram;
    bool split_variants = true;
    std::vector<std::string> texts;
    CoarseOptions coarse;
    PatternOptions pattern;
};

bool ParseArgs(int argc, char** argv, Options& o) {
    cli::Args args("tessera-mkdict", argc, argv);
    while (args.Next()) {
        const std::string& a = args.Option();
        constexpr long kMost = 100000;
        bool ok = true;
        if (a == "--kanjivg")
            ok = args.Text(o.kanjivg);
        else if (a == "--out")
            ok = args.Text(o.out);
        else if (a == "--license")
            ok = args.Text(o.license);
        else if (a == "--only")
            ok = args.Text(o.only);
        else if (a == "--prior-span")
            ok = args.Int(o.prior_span, 0, kCharPriorMaxSpan);
        else if (a == "--same-shape")
            ok = args.Real(o.same_shape, 0, 1);
        else if (a == "--no-split-variants")
            o.split_variants = false;
        else if (a == "--no-system-text")
            o.system_text = false;
        else if (a == "--edict")
            ok = args.Text(o.edict);
        else if (a == "--kanjidic")
            ok = args.Text(o.kanjidic);
        else if (a == "--no-backoff")
            o.bigram.backoff = false;
        else if (a == "--rank-weight")
            ok = args.Real(o.bigram.rank_weight, 0, 1);
        else if (a == "--samples")
            ok = args.Int(o.coarse.samples, 0, kMost);
        else if (a == "--templates")
            ok = args.Int(o.coarse.templates, 1, 255);
        else if (a == "--travel-margin")
            ok = args.Int(o.coarse.travel_margin, 0, kMost);
        else if (a == "--turn-margin")
            ok = args.Int(o.coarse.turn_margin, 0, kMost);
        else if (a == "--extra-strokes")
            ok = args.Int(o.coarse.extra_strokes, 0, kMost);
        else if (a == "--strength")
            ok = args.Real(o.coarse.strength, 0, 5) && o.coarse.strength > 0;
        else if (a == "--nodir")
            ok = args.Int(o.pattern.nodir_below, 0, kMost);
        else if (a == "--help" || a == "-h")
            return false;
        else if (!a.empty() && a[0] == '-')
            return args.Unknown();
        else
            o.texts.push_back(a);
        if (!ok) return args.BadValue();
    }
    return !o.kanjivg.empty() && !o.out.empty();
}

bool WriteLicense(const Options& o, std::string& error) {
    std::string copying = o.license;
    if (copying.empty()) copying = (fs::path(o.kanjivg).parent_path() / "COPYING").string();
    std::ostringstream text;
    text << "The dictionaries in this folder (the pattern, coarse classification and model\n"
            "pattern dictionaries) are derived from KanjiVG, copyright Ulrich Apel,\n"
            "http://kanjivg.tagaini.net, released under the Creative Commons\n"
            "Attribution-Share Alike 3.0 licence\n"
            "(http://creativecommons.org/licenses/by-sa/3.0/). The KanjiVG drawings were\n"
            "flattened, normalized and reduced to feature points; the derived dictionaries\n"
            "are distributed under the same licence.\n";
    std::ifstream in(copying, std::ios::binary);
    if (in) {
        text << "\nThe licence as shipped with KanjiVG:\n\n" << in.rdbuf();
    } else {
        std::fprintf(stderr,
                     "tessera-mkdict: warning: %s not found; the licence file holds the "
                     "attribution only\n",
                     copying.c_str());
    }
    std::ofstream out(fs::path(o.out) / "KANJIVG-LICENSE", std::ios::binary | std::ios::trunc);
    out << text.str();
    if (!out) {
        error = "cannot write KANJIVG-LICENSE";
        return false;
    }
    return true;
}

// The character prior from KANJIDIC, and its attribution. Without KANJIDIC the prior is
// empty (the classifier's order stands) and the build says why.
bool BuildPrior(const Options& o, const std::string& path, const std::vector<uint16_t>& codes,
                const std::vector<Ink>& drawings, std::string& error) {
    std::map<char32_t, KanjiInfo> kanjidic;
    std::string why;
    const bool have =
        ReadKanjidic(o.kanjidic.empty() ? kSystemKanjidic : o.kanjidic, kanjidic, why);
    if (!have)
        std::fprintf(stderr,
                     "tessera-mkdict: warning: %s; the character prior is empty, so characters "
                     "of the same shape keep the classifier's order (install the Debian "
                     "package kanjidic, or pass --kanjidic FILE)\n",
                     why.c_str());
    else
        std::printf("prior: %zu KANJIDIC entries\n", kanjidic.size());
    if (!WriteCharPriorFile(path, codes, drawings, have ? &kanjidic : nullptr, o.prior_span,
                            o.same_shape, error))
        return false;
    std::ofstream out(fs::path(o.out) / "KANJIDIC-LICENSE", std::ios::binary | std::ios::trunc);
    out << "The character prior in this folder (prior.cpd: school grades and frequency ranks\n"
           "of kanji) is derived from KANJIDIC, the property of the Electronic Dictionary\n"
           "Research and Development Group (http://www.edrdg.org/), used in conformance with\n"
           "the Group's licence, the Creative Commons Attribution-ShareAlike licence (V3.0)\n"
           "(http://creativecommons.org/licenses/by-sa/3.0/); the prior is distributed\n"
           "under the same licence.\n";
    if (!have) out << "\nThis build found no KANJIDIC: the prior is empty.\n";
    if (!out) {
        error = "cannot write KANJIDIC-LICENSE";
        return false;
    }
    return true;
}

bool BuildBigrams(const Options& o, const std::string& path, std::string& error) {
    auto started = std::chrono::steady_clock::now();
    BigramSources sources;
    if (o.system_text) sources.files = SystemCorpusFiles();
    sources.files.insert(sources.files.end(), o.texts.begin(), o.texts.end());
    // The word list and the ranks: the ones named, else the system's when installed.
    auto pick = [&](const std::string& given, const char* system, const char* package) {
        if (!given.empty() || !o.system_text) return given;
        if (fs::exists(system)) return std::string(system);
        std::fprintf(stderr, "tessera-mkdict: warning: no %s (install the package %s)\n", system,
                     package);
        return std::string();
    };
    sources.edict = pick(o.edict, kSystemEdict, "edict");
    sources.kanjidic = pick(o.kanjidic, kSystemKanjidic, "kanjidic");
    BigramSourceReport report;
    BigramTables t = MakeBigramsFromSources(sources, o.bigram, report);
    for (const auto& w : report.warnings)
        std::fprintf(stderr, "tessera-mkdict: warning: %s\n", w.c_str());
    // a file named on the command line must be read; the system's may be missing
    if (!o.edict.empty() && !report.words) {
        error = o.edict + ": no EDICT entries read";
        return false;
    }
    if (!o.kanjidic.empty() && !report.ranked) {
        error = o.kanjidic + ": no KANJIDIC kanji read";
        return false;
    }
    if (report.characters == 0 && report.ranked == 0)
        std::fprintf(stderr, "tessera-mkdict: warning: no Japanese text read; the bigram "
                             "dictionary is empty (install manpages-ja, debian-reference-ja, "
                             "edict and kanjidic, or give text files)\n");
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("text: %d files, %llu characters; %zu word-list entries; %zu ranked kanji; "
                "%zu distinct, %d pairs; %.1f s\n",
                report.files, static_cast<unsigned long long>(report.characters), report.words,
                report.ranked, t.firsts.size(), t.pairs, secs);
    return WriteBigramDictionary(path, t, error);
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseArgs(argc, argv, o)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    auto started = std::chrono::steady_clock::now();
    std::string error;
    auto archive = KvgArchive::Open(o.kanjivg, error);
    if (!archive) {
        std::fprintf(stderr, "tessera-mkdict: %s\n", error.c_str());
        return 1;
    }
    std::error_code ec;
    fs::create_directories(o.out, ec);
#ifdef MKDICT_WITH_PATTERNS
    if (!OpenPatternTables()) {
        std::fprintf(stderr, "tessera-mkdict: out of memory\n");
        return 1;
    }
#endif
    // --only limits the characters (by code point)
    std::vector<char32_t> only;
    if (!o.only.empty()) {
        for (size_t i = 0; i < o.only.size();) {
            auto b = static_cast<unsigned char>(o.only[i]);
            size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
            std::string ch = o.only.substr(i, n);
            i += n;
            for (const auto& e : archive->Entries())
                if (Utf8Of(e.codepoint) == ch) only.push_back(e.codepoint);
        }
    }

    std::vector<PatternCategory> cats;
    std::map<uint16_t, size_t> cat_of_code;
    std::vector<ModelEntry> models;
    std::vector<Ink> drawings; // the first drawing of each category, for the prior
    o.coarse.seed_base = kTrainingSeedBase;
    CoarseBuilder coarse(o.coarse);
    int skipped = 0, failed = 0;
    for (const auto& entry : archive->Entries()) {
        if (!only.empty() && std::find(only.begin(), only.end(), entry.codepoint) == only.end())
            continue;
        auto code = DictionaryCodeFor(entry.codepoint);
        if (!code) {
            ++skipped;
            continue;
        }
        std::string svg, why;
        KvgCharacter ch;
        if (!archive->Read(entry, svg, why) || !ParseKvgSvg(svg, ch, why)) {
            std::fprintf(stderr, "tessera-mkdict: warning: %s: %s\n", entry.name.c_str(),
                         why.c_str());
            ++failed;
            continue;
        }
#ifdef MKDICT_WITH_PATTERNS
        PreparedPattern pat = PreparePattern(ch.strokes, o.pattern);
        if (pat.empty()) {
            std::fprintf(stderr, "tessera-mkdict: warning: %s: no points\n", entry.name.c_str());
            ++failed;
            continue;
        }
#endif
        auto [it, fresh] = cat_of_code.emplace(*code, cats.size());
        if (fresh) {
            PatternCategory c;
            c.code = *code;
            if (IsSmallKana(*code)) c.status |= 128;
            cats.push_back(std::move(c));
            models.push_back(MakeModelEntry(*code, ch.strokes));
            drawings.push_back(ch.strokes);
            if (!coarse.Add(*code, ch.strokes))
                std::fprintf(stderr, "tessera-mkdict: warning: %s: no coarse features\n",
                             entry.name.c_str());
        }
#ifdef MKDICT_WITH_PATTERNS
        // a second drawing under the same code is one more variant of that category
        cats[it->second].patterns.push_back(std::move(pat));
        if (o.split_variants) {
            // the same drawing with its sharpest-cornered stroke written in two: lets
            // writing that lifts the pen at a corner match the character
            Ink split = SplitAtSharpestCorner(ch.strokes);
            if (split.size() > ch.strokes.size()) {
                PreparedPattern v = PreparePattern(split, o.pattern);
                if (!v.empty()) cats[it->second].patterns.push_back(std::move(v));
            }
        }
#endif
    }
    if (cats.empty()) {
        std::fprintf(stderr, "tessera-mkdict: no characters to compile\n");
        return 1;
    }
    DictionaryNames names;
    fs::path out = o.out;
#ifdef MKDICT_WITH_PATTERNS
    bool ok = WritePatternDictionary((out / names.pattern).string(), cats, error);
#else
    bool ok = true;
    std::fprintf(stderr, "tessera-mkdict: warning: built without the recognition core: no "
                         "pattern dictionary\n");
#endif
    std::vector<uint16_t> codes;
    for (const auto& c : cats) codes.push_back(c.code);
    ok = ok && coarse.Write((out / names.coarse).string(), error) &&
         BuildPrior(o, (out / names.prior).string(), codes, drawings, error) &&
         WriteModelDictionary((out / names.model).string(), models, error) &&
         BuildBigrams(o, (out / names.bigram).string(), error) &&
         WriteIniFiles(o.out, names, error) && WriteLicense(o, error);
#ifdef MKDICT_WITH_PATTERNS
    ClosePatternTables();
#endif
    if (!ok) {
        std::fprintf(stderr, "tessera-mkdict: %s\n", error.c_str());
        return 1;
    }
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("characters: %zu compiled, %d without a CP932 category, %d unreadable; %.1f s\n",
                cats.size(), skipped, failed, secs);
    return 0;
}
