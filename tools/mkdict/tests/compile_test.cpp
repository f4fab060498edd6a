// Compiling a handful of real KanjiVG characters and loading the results the way the
// recognizer does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "classifier/coarse.h"
#include "tools/mkdict/bigram_dic.h"
#include "tools/mkdict/charset.h"
#include "tools/mkdict/coarse_dic.h"
#include "tools/mkdict/distort.h"
#include "tools/mkdict/exdic.h"
#include "tools/mkdict/kvg_archive.h"
#include "tools/mkdict/kvg_character.h"
#include "tools/mkdict/seeds.h"
#ifdef MKDICT_WITH_PATTERNS
#include "classifier/crdic.h"
#include "classifier/strokematch.h"
#include "tools/mkdict/pattern_dic.h"
#endif

using namespace mkdict;
namespace fs = std::filesystem;

namespace {

struct Drawing {
    uint16_t code;
    Ink ink;
};

// 明 一 二 三 日 目 あ お 木 本
std::vector<Drawing> LoadSome() {
    std::string err;
    auto a = KvgArchive::Open(MKDICT_TEST_KANJIVG, err);
    EXPECT_TRUE(a) << err;
    std::vector<Drawing> out;
    if (!a) return out;
    for (char32_t cp : {U'明', U'一', U'二', U'三', U'日', U'目', U'あ', U'お', U'木', U'本'}) {
        std::string svg;
        KvgCharacter ch;
        const KvgEntry* e = a->Find(cp);
        EXPECT_NE(e, nullptr);
        if (!e || !a->Read(*e, svg, err) || !ParseKvgSvg(svg, ch, err)) continue;
        out.push_back({*DictionaryCodeFor(cp), ch.strokes});
    }
    return out;
}

fs::path TempDir(const char* name) {
    fs::path d = fs::temp_directory_path() / (std::string(name) + std::to_string(::getpid()));
    fs::create_directories(d);
    return d;
}

} // namespace

TEST(CoarseDictionary, WrittenCharactersSurviveThePreselection) {
    auto chars = LoadSome();
    ASSERT_EQ(chars.size(), 10u);
    CoarseOptions opt;
    opt.seed_base = kTrainingSeedBase;
    CoarseBuilder b(opt);
    for (const auto& c : chars) ASSERT_TRUE(b.Add(c.code, c.ink));
    ASSERT_EQ(b.Entries().size(), 10u);
    for (const auto& e : b.Entries()) {
        EXPECT_LE(e.oncd.xlen_min, e.oncd.xlen_max);
        EXPECT_LE(e.oncd.ylen_min, e.oncd.ylen_max);
        EXPECT_LE(e.oncd.xturn_min, e.oncd.xturn_max);
        EXPECT_GE(e.templates.size(), 1u);
        EXPECT_LE(e.templates.size(), 3u);
    }
    fs::path dir = TempDir("mkdict_coarse_");
    std::string err, path = (dir / "c.ccd").string();
    ASSERT_TRUE(b.Write(path, err)) << err;
    // entries on file: ascending stroke group, then ascending ylen_min
    std::ifstream in(path, std::ios::binary);
    std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t at = 0, entries = 0;
    int prev_k = 0, prev_ymin = 0;
    while (at < s.size()) {
        ASSERT_LE(at + 12, s.size());
        int k = static_cast<unsigned char>(s[at + 2]);
        int ymin = static_cast<unsigned char>(s[at + 6]);
        int templates = static_cast<unsigned char>(s[at + 11]);
        ASSERT_TRUE(k > prev_k || (k == prev_k && ymin >= prev_ymin)) << entries;
        ASSERT_GE(templates, 1);
        prev_k = k, prev_ymin = ymin;
        at += 12 + 72 * static_cast<size_t>(templates);
        ++entries;
    }
    EXPECT_EQ(at, s.size());
    EXPECT_EQ(entries, 10u);
    ASSERT_EQ(InitCoarseClassification(path.c_str()), 0);
    int first = 0, within3 = 0, total = 0;
    for (const auto& c : chars) {
        for (uint64_t j = 0; j < 5; ++j) {
            auto w = DistortedWriting(c.ink, kHeldOutSeedBase + c.code * 1024 + j);
            PATTERN_W p = AsPattern(w);
            uint16_t cands[3];
            int n = CoarseClassify(&p, cands, nullptr, 3);
            ++total;
            for (int k = 0; k < n; ++k)
                if (cands[k] == c.code) {
                    first += k == 0;
                    ++within3;
                }
        }
    }
    ReleaseCoarseClassification();
    EXPECT_GE(within3, total * 9 / 10);
    EXPECT_GE(first, total * 7 / 10);
    fs::remove_all(dir);
}

#ifdef MKDICT_WITH_PATTERNS
TEST(PatternDictionary, LoadsInTheClassifierAndMatchesWriting) {
    ASSERT_TRUE(OpenPatternTables());
    auto chars = LoadSome();
    ASSERT_EQ(chars.size(), 10u);
    std::vector<PatternCategory> cats;
    PatternOptions opt;
    for (const auto& c : chars) {
        PatternCategory cat;
        cat.code = c.code;
        cat.patterns.push_back(PreparePattern(c.ink, opt));
        ASSERT_FALSE(cat.patterns.back().empty());
        cats.push_back(cat);
    }
    fs::path dir = TempDir("mkdict_crd_");
    std::string err, path = (dir / "p.crd").string();
    ASSERT_TRUE(WritePatternDictionary(path, cats, err)) << err;
    CRDIC dic{};
    ASSERT_EQ(LoadCRDictionary(path.c_str(), &dic), 0);
    ASSERT_EQ(dic.count, 11);
    for (size_t i = 0; i < chars.size(); ++i) {
        const tagCATEGORY* kj = dic.ctg[i + 1];
        EXPECT_EQ(kj->code, chars[i].code);
        ASSERT_EQ(kj->patdic.count, 1);
        const PATTERN_B& pb = kj->patdic.pat[0];
        EXPECT_EQ(pb.stroke, static_cast<int>(chars[i].ink.size())) << i;
        EXPECT_EQ(pb.num, static_cast<int>(cats[i].patterns[0].size()));
        // the pattern fills the square on its longer side
        int mx = 0, my = 0;
        for (int k = 0; k < pb.num; ++k)
            mx = std::max<int>(mx, pb.data[k].x), my = std::max<int>(my, pb.data[k].y);
        EXPECT_EQ(std::max(mx, my), 128);
        EXPECT_EQ(kj->size, SizeNibbles(cats[i].patterns[0]));
    }
    // the drawing written at another size prepares to the same pattern, and scores high
    for (size_t i = 0; i < chars.size(); ++i) {
        auto w = CleanWriting(chars[i].ink, 90);
        PATTERN_W in = AsPattern(w);
        PAT_POS pos;
        PATTERN_B pb{};
        ASSERT_EQ(createpat(&pos, &in, &pb), 0);
        const PATTERN_B& d = dic.ctg[i + 1]->patdic.pat[0];
        std::vector<NODE_PAIR> pairs(static_cast<size_t>(pb.num + d.num + 1));
        NP_TABLE npt{0, pairs.data()};
        EXPECT_GT(evaluate(&npt, &d, &pb), 900) << i;
        releasepat(&pb);
    }
    FreeCRDictionary(&dic);
    ClosePatternTables();
    fs::remove_all(dir);
}
#endif

TEST(CompilerTool, WritesEveryFileForAFewCharacters) {
    fs::path dir = TempDir("mkdict_tool_");
    fs::path text = dir / "text.txt";
    std::ofstream(text) << "明日は一日中あいている。\n";
    std::string cmd = std::string(MKDICT_TOOL) + " --kanjivg '" + MKDICT_TEST_KANJIVG +
                      "' --out '" + dir.string() +
                      "' --no-system-text --samples 4 --only '明一あA' '" + text.string() +
                      "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    for (const char* f : {"glyphs.ccd", "models.exd", "bigram.cbg", "VELTAREC.INI", "VELTABOX.INI",
                          "KANJIVG-LICENSE"})
        EXPECT_TRUE(fs::exists(dir / f)) << f;
    std::vector<ModelEntry> models;
    uint16_t w, h;
    std::string err;
    ASSERT_TRUE(ReadModelDictionary((dir / "models.exd").string(), models, w, h, err)) << err;
    ASSERT_EQ(models.size(), 4u); // Ａ, あ, 一, 明 by code
    EXPECT_EQ(models[0].code, 0x8260);
    EXPECT_EQ(models[1].code, 0x82A0);
    EXPECT_EQ(models[3].code, 0x96BE);
    EXPECT_EQ(models[3].strokes.size(), 8u);
    BigramTables t;
    ASSERT_TRUE(ReadBigramDictionary((dir / "bigram.cbg").string(), t, err)) << err;
    EXPECT_GT(t.pairs, 5);
    std::ifstream lic(dir / "KANJIVG-LICENSE");
    std::string l((std::istreambuf_iterator<char>(lic)), std::istreambuf_iterator<char>());
    EXPECT_NE(l.find("Ulrich Apel"), std::string::npos);
    EXPECT_NE(l.find("Attribution-Share"), std::string::npos);
#ifdef MKDICT_WITH_PATTERNS
    CRDIC dic{};
    ASSERT_EQ(LoadCRDictionary((dir / "glyphs.crd").string().c_str(), &dic), 0);
    EXPECT_EQ(dic.count, 5);
    FreeCRDictionary(&dic);
#endif
    // a missing release is a clear failure, not a crash
    std::string bad = std::string(MKDICT_TOOL) + " --kanjivg /nonexistent.zip --out '" +
                      dir.string() + "' > /dev/null 2>&1";
    EXPECT_NE(std::system(bad.c_str()), 0);
    fs::remove_all(dir);
}

TEST(CompilerTool, ReadsTheWordListAndTheKanjiRanks) {
    fs::path dir = TempDir("mkdict_words_");
    // EUC-JP like the packages' files: 電車 [でんしゃ] /(n) train/(P)/ and
    // 沢山 [たくさん] /(adv) (uk) many/
    std::ofstream(dir / "edict", std::ios::binary)
        << "\xC5\xC5\xBC\xD6 [\xA4\xC7\xA4\xF3\xA4\xB7\xA4\xE3] /(n) train/(P)/\n"
           "\xC2\xF4\xBB\xB3 [\xA4\xBF\xA4\xAF\xA4\xB5\xA4\xF3] /(adv) (uk) many/\n";
    // 川 (rank 100) and 電 (rank 300)
    std::ofstream(dir / "kanjidic") << "# KANJIDIC\n川 3021 G1 F100 {river}\n電 4545 G2 F300\n";
    auto run = [&](const std::string& extra) {
        std::string cmd = std::string(MKDICT_TOOL) + " --kanjivg '" + MKDICT_TEST_KANJIVG +
                          "' --out '" + dir.string() + "' --no-system-text --samples 2 --only 明 " +
                          extra + " > /dev/null 2>&1";
        return std::system(cmd.c_str());
    };
    const std::string sources = "--edict '" + (dir / "edict").string() + "' --kanjidic '" +
                                (dir / "kanjidic").string() + "'";
    ASSERT_EQ(run(sources), 0);
    BigramTables t;
    std::string err;
    ASSERT_TRUE(ReadBigramDictionary((dir / "bigram.cbg").string(), t, err)) << err;
    EXPECT_EQ(t.flags, 1 | 2 | 4);
    auto first = [&](const char* ch) -> const BigramTables::First* {
        for (const auto& f : t.firsts)
            if (f.code == *Cp932CodeOfUtf8(ch)) return &f;
        return nullptr;
    };
    ASSERT_NE(first("電"), nullptr);
    ASSERT_NE(first("川"), nullptr); // from the ranks alone
    EXPECT_EQ(first("で"), nullptr); // readings are not read
    EXPECT_EQ(first("電")->seconds, std::vector<uint16_t>{*Cp932CodeOfUtf8("車")});
    EXPECT_GT(first("川")->logp, -std::log(static_cast<double>(t.total)));
    EXPECT_EQ(t.pairs, 2); // 電車, 沢山
    // counted pairs only, and ranks left out
    ASSERT_EQ(run(sources + " --no-backoff --rank-weight 0"), 0);
    ASSERT_TRUE(ReadBigramDictionary((dir / "bigram.cbg").string(), t, err)) << err;
    EXPECT_EQ(t.flags, 1 | 2);
    EXPECT_EQ(first("川"), nullptr);
    EXPECT_NE(first("電"), nullptr);
    // named sources that cannot be read, and bad weights, are refused
    EXPECT_NE(run("--edict '" + (dir / "missing").string() + "'"), 0);
    EXPECT_NE(run("--kanjidic '" + (dir / "edict").string() + "'"), 0);
    EXPECT_NE(run(sources + " --rank-weight 1.5"), 0);
    EXPECT_NE(run(sources + " --rank-weight x"), 0);
    fs::remove_all(dir);
}
