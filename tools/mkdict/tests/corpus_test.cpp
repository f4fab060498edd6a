#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <iconv.h>
#include <zlib.h>

#include "tools/mkdict/charset.h"
#include "tools/mkdict/corpus.h"

using namespace mkdict;
namespace fs = std::filesystem;

TEST(CorpusDecoding, Utf8EucJpAndCp932) {
    EXPECT_EQ(DecodeJapaneseText("日本語"), "日本語");
    EXPECT_EQ(DecodeJapaneseText("\xC6\xFC\xCB\xDC"), "日本"); // EUC-JP
    EXPECT_EQ(DecodeJapaneseText("\x93\xFA\x96\x7B"), "日本"); // CP932 (not EUC-JP)
    EXPECT_EQ(DecodeJapaneseText("plain"), "plain");
}

TEST(CorpusMarkup, RoffRequestsCommentsAndEscapes) {
    std::string roff = ".\\\" a comment line\n"
                       ".TH LS 1\n"
                       ".SH 名前\n"
                       "ls \\- ディレクトリの\\fB内容\\fRを表示\n"
                       ".B \"太字 の 語\"\n"
                       ".ig\n無視される\n..\n"
                       "文\\(em字\\*(Tm と \\s+2大\\s0 \\\" 注釈\n";
    std::string t = StripRoff(roff);
    EXPECT_EQ(t.find("comment"), std::string::npos);
    EXPECT_EQ(t.find("TH"), std::string::npos);
    EXPECT_NE(t.find("名前"), std::string::npos);
    EXPECT_NE(t.find("ディレクトリの内容を表示"), std::string::npos);
    EXPECT_NE(t.find("太字 の 語"), std::string::npos);
    EXPECT_EQ(t.find("無視"), std::string::npos);
    EXPECT_NE(t.find("文-字"), std::string::npos);
    EXPECT_NE(t.find("と 大"), std::string::npos);
    EXPECT_EQ(t.find("注釈"), std::string::npos);
    EXPECT_EQ(t.find("\\"), std::string::npos);
}

TEST(CorpusMarkup, HtmlTagsScriptsAndEntities) {
    std::string html = "<html><head><style>p{color:red}</style><script>var 変数;</script>"
                       "</head><body><p>漢字&amp;かな</p><!-- 注 --><p>&#x65E5;&#26412;"
                       "<b>語</b></p></body></html>";
    std::string t = StripHtml(html);
    EXPECT_NE(t.find("漢字&かな"), std::string::npos);
    EXPECT_NE(t.find("日本語"), std::string::npos);
    EXPECT_EQ(t.find("変数"), std::string::npos);
    EXPECT_EQ(t.find("color"), std::string::npos);
    EXPECT_EQ(t.find("注"), std::string::npos);
    EXPECT_EQ(t.find('<'), std::string::npos);
    // paragraphs end lines, so no pair spans them
    EXPECT_NE(t.find('\n'), std::string::npos);
}

TEST(CorpusMarkup, KindFromPath) {
    EXPECT_EQ(MarkupOfPath("/usr/share/man/ja/man1/ls.1.gz"), Markup::Roff);
    EXPECT_EQ(MarkupOfPath("/usr/share/man/ja/man5/passwd.5"), Markup::Roff);
    EXPECT_EQ(MarkupOfPath("/x/ch01.ja.html"), Markup::Html);
    EXPECT_EQ(MarkupOfPath("/x/debian-reference.ja.txt.gz"), Markup::Plain);
    EXPECT_EQ(MarkupOfPath("notes.txt"), Markup::Plain);
}

TEST(CorpusCounts, MonogramsAndPairsWithinRuns) {
    CharCounts c;
    c.AddText("日本の日本\nA1 日");
    // 日 本 の 日 本 | Ａ １ | 日
    EXPECT_EQ(c.Total(), 8u);
    const uint16_t hi = 0x93FA, hon = 0x967B, no = 0x82CC, A = 0x8260, one = 0x8250;
    EXPECT_EQ(c.Monograms().at(hi), 3u);
    EXPECT_EQ(c.Monograms().at(hon), 2u);
    EXPECT_EQ(c.Monograms().at(A), 1u);
    EXPECT_EQ(c.Bigrams().at(hi).at(hon), 2u);
    EXPECT_EQ(c.Bigrams().at(hon).at(no), 1u);
    EXPECT_EQ(c.Bigrams().at(no).at(hi), 1u);
    EXPECT_EQ(c.Bigrams().at(A).at(one), 1u);
    // the newline and the blank break the runs
    EXPECT_FALSE(c.Bigrams().at(hon).count(A));
    EXPECT_FALSE(c.Bigrams().count(one));
    EXPECT_EQ(c.PairTotal(), 5u);
    // punctuation ASCII, the ideographic space and characters CP932 lacks break runs too
    CharCounts d;
    d.AddText("字.字　字𠮟字");
    EXPECT_EQ(d.Total(), 4u);
    EXPECT_EQ(d.PairTotal(), 0u);
}

TEST(CorpusFiles, GzipAndPlainFilesRead) {
    fs::path dir = fs::temp_directory_path() / ("mkdict_corpus_" + std::to_string(::getpid()));
    fs::create_directories(dir / "man" / "man1");
    std::string text = ".SH 名前\n圧縮された本文\n";
    gzFile g = gzopen((dir / "man" / "man1" / "x.1.gz").c_str(), "wb");
    ASSERT_TRUE(g);
    gzwrite(g, text.data(), static_cast<unsigned>(text.size()));
    gzclose(g);
    std::ofstream(dir / "plain.txt") << "平文";
    std::string out, err;
    ASSERT_TRUE(ReadMaybeGzip((dir / "man" / "man1" / "x.1.gz").string(), out, err)) << err;
    EXPECT_EQ(out, text);
    ASSERT_TRUE(ReadMaybeGzip((dir / "plain.txt").string(), out, err));
    EXPECT_EQ(out, "平文");
    EXPECT_FALSE(ReadMaybeGzip((dir / "missing").string(), out, err));
    EXPECT_FALSE(err.empty());
    auto files = SystemCorpusFiles((dir / "man").string(), (dir / "none").string());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(files[0].find("x.1.gz"), std::string::npos);
    fs::remove_all(dir);
}

TEST(CorpusFiles, RunningTextOfAFileByItsMarkup) {
    fs::path dir = fs::temp_directory_path() / ("mkdict_running_" + std::to_string(::getpid()));
    fs::create_directories(dir / "man" / "man1");
    std::ofstream(dir / "man" / "man1" / "ls.1") << ".SH 名前\n一覧を\\fB表示\\fRする\n";
    std::ofstream(dir / "page.ja.html") << "<p>説明&amp;<b>例</b></p><script>x()</script>";
    std::ofstream(dir / "note.txt") << "<p>そのまま</p>";
    std::ofstream(dir / "latin1.txt") << "\xFF\xFE\xFD\x80";
    std::string err;
    auto roff = RunningTextOfFile((dir / "man" / "man1" / "ls.1").string(), err);
    ASSERT_TRUE(roff) << err;
    EXPECT_NE(roff->find("一覧を表示する"), std::string::npos);
    EXPECT_EQ(roff->find(".SH"), std::string::npos);
    auto html = RunningTextOfFile((dir / "page.ja.html").string(), err);
    ASSERT_TRUE(html) << err;
    EXPECT_NE(html->find("説明&例"), std::string::npos);
    EXPECT_EQ(html->find("x()"), std::string::npos);
    EXPECT_EQ(RunningTextOfFile((dir / "note.txt").string(), err), "<p>そのまま</p>");
    // neither UTF-8 nor a Japanese encoding, and a file that is not there: nothing, and why
    err.clear();
    EXPECT_FALSE(RunningTextOfFile((dir / "latin1.txt").string(), err));
    EXPECT_NE(err.find("latin1.txt"), std::string::npos);
    err.clear();
    EXPECT_FALSE(RunningTextOfFile((dir / "missing.txt").string(), err));
    EXPECT_FALSE(err.empty());
    fs::remove_all(dir);
}

namespace {
uint64_t CountOf(const CharCounts& c, const char* utf8) {
    auto code = Cp932CodeOfUtf8(utf8);
    auto it = code ? c.Monograms().find(*code) : c.Monograms().end();
    return it == c.Monograms().end() ? 0 : it->second;
}
uint64_t PairOf(const CharCounts& c, const char* a, const char* b) {
    auto x = Cp932CodeOfUtf8(a), y = Cp932CodeOfUtf8(b);
    auto it = x ? c.Bigrams().find(*x) : c.Bigrams().end();
    if (it == c.Bigrams().end()) return 0;
    auto jt = it->second.find(*y);
    return jt == it->second.end() ? 0 : jt->second;
}
} // namespace

TEST(CorpusWordList, EdictHeadwordsWithKanjiAreWordsOfTheirOwn) {
    // The file as the package ships it: EUC-JP, a description line first.
    const std::string utf8 = "\u3000？？？ /EDICT, EDICT_SUB(P), EDICT2 Japanese-English/\n"
                             "電車 [でんしゃ] /(n) train/electric train/(P)/\n"
                             "汽車 [きしゃ] /(n) train (esp. steam train)/\n"
                             "ありがとう /(int) thank you/(P)/\n"
                             "日本;日本(oK) [にほん;にっぽん] /(n) Japan/\n"
                             "お茶;御茶 [おちゃ] /(n) tea/(P)/\n"
                             "沢山;たくさん [たくさん] /(adv) (uk) many/(P)/\n"
                             "壊れた行 [こわれ\n"
                             "見出しだけ\n";
    auto euc = [](const std::string& s) {
        iconv_t cd = iconv_open("EUC-JP", "UTF-8");
        std::string out(s.size() * 2, '\0');
        char* in = const_cast<char*>(s.data());
        char* o = out.data();
        size_t inleft = s.size(), oleft = out.size();
        EXPECT_NE(iconv(cd, &in, &inleft, &o, &oleft), static_cast<size_t>(-1));
        iconv_close(cd);
        out.resize(out.size() - oleft);
        return out;
    };
    auto text = DecodeJapaneseText(euc(utf8));
    ASSERT_TRUE(text);
    CharCounts c;
    EXPECT_EQ(AddEdictWords(c, *text, 5), 6u);
    // common words count five times, the others once
    EXPECT_EQ(PairOf(c, "電", "車"), 5u);
    EXPECT_EQ(PairOf(c, "汽", "車"), 1u);
    EXPECT_EQ(CountOf(c, "車"), 6u);
    // alternatives are words of their own, their markers dropped; kana inside a word
    // written with kanji count
    EXPECT_EQ(PairOf(c, "日", "本"), 2u);
    EXPECT_EQ(PairOf(c, "お", "茶"), 5u);
    EXPECT_EQ(PairOf(c, "御", "茶"), 5u);
    EXPECT_EQ(PairOf(c, "沢", "山"), 5u);
    // words in kana alone and readings are left out
    EXPECT_EQ(CountOf(c, "が"), 0u);
    EXPECT_EQ(CountOf(c, "し"), 0u);
    EXPECT_EQ(CountOf(c, "く"), 0u);
    EXPECT_EQ(CountOf(c, "ち"), 0u);
    // nothing from the glosses, the description line or lines that are not entries
    EXPECT_EQ(CountOf(c, "ｔ"), 0u);
    EXPECT_EQ(CountOf(c, "ａ"), 0u);
    EXPECT_EQ(CountOf(c, "？"), 0u);
    EXPECT_EQ(CountOf(c, "壊"), 0u);
    EXPECT_EQ(CountOf(c, "見"), 0u);
    EXPECT_EQ(AddEdictWords(c, ""), 0u);
}

TEST(CorpusWordList, KanjidicFrequencyRanks) {
    const std::string text = "# KANJIDIC JIS X 0208 Kanji Information File/\n"
                             "日 467C U65e5 B72 G1 S4 F1 N2097 Yri4 ニチ ジツ ひ {day} {sun}\n"
                             "亜 3021 U4e9c B1 C7 G8 S7 XJ05033 F1509 DF1032 ア {Asia}\n"
                             "唖 3022 U5516 B30 S10 N939 ア アク おし {mute} {F1}\n"
                             "x 0000 F3\n"
                             "鬱 5D31 F99999999999999999999\n"
                             "\n";
    auto ranks = ReadKanjidicRanks(text);
    ASSERT_EQ(ranks.size(), 4u);
    EXPECT_EQ(ranks.at(*Cp932CodeOfUtf8("鬱")), 100000); // clamped
    EXPECT_EQ(ranks.at(*Cp932CodeOfUtf8("日")), 1);
    EXPECT_EQ(ranks.at(*Cp932CodeOfUtf8("亜")), 1509); // not the DF field
    EXPECT_EQ(ranks.at(*Cp932CodeOfUtf8("唖")), 0);    // listed without a rank
    EXPECT_TRUE(ReadKanjidicRanks("").empty());
}
