#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tools/mkdict/kvg_archive.h"
#include "tools/mkdict/kvg_character.h"

using namespace mkdict;
namespace fs = std::filesystem;

TEST(KvgFileNames, PlainCharacterFilesOnly) {
    EXPECT_EQ(CodepointFromFileName("kanji/0660e.svg"), 0x660Eu);
    EXPECT_EQ(CodepointFromFileName("0660E.svg"), 0x660Eu);
    EXPECT_EQ(CodepointFromFileName("kanji/20b9f.svg"), 0x20B9Fu);
    EXPECT_EQ(CodepointFromFileName("kanji/05b57-Kaisho.svg"), 0u);
    EXPECT_EQ(CodepointFromFileName("kanji/05b57-Vt1.svg"), 0u);
    EXPECT_EQ(CodepointFromFileName("kanji/0660e.xml"), 0u);
    EXPECT_EQ(CodepointFromFileName("kanji/README"), 0u);
    EXPECT_EQ(CodepointFromFileName("kanji/zzzzz.svg"), 0u);
}

TEST(KvgSvg, ReadsStrokesInOrder) {
    const char* svg = R"(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="109" height="109">
<g id="kvg:StrokePaths_04e8c" kvg:element="二" xmlns:kvg="http://kanjivg.tagaini.net">
  <path id="s1" kvg:type="㇐" d="M30,30 L70,30"/>
  <g kvg:element="x"><path id="s2" d="M10,70c20,0 60,0 80,0"/></g>
</g>
<g id="kvg:StrokeNumbers_04e8c"><text>1</text><text>2</text></g>
</svg>)";
    KvgCharacter ch;
    std::string err;
    ASSERT_TRUE(ParseKvgSvg(svg, ch, err)) << err;
    ASSERT_EQ(ch.strokes.size(), 2u);
    EXPECT_DOUBLE_EQ(ch.strokes[0].front().x, 30);
    EXPECT_DOUBLE_EQ(ch.strokes[0].back().x, 70);
    EXPECT_DOUBLE_EQ(ch.strokes[1].front().y, 70);
    EXPECT_NEAR(ch.strokes[1].back().x, 90, 1e-9);
}

TEST(KvgSvg, RefusesBrokenDrawings) {
    KvgCharacter ch;
    std::string err;
    EXPECT_FALSE(ParseKvgSvg("<svg><path d='M0,0 L", ch, err)); // XML cut short
    EXPECT_NE(err.find("XML"), std::string::npos);
    EXPECT_FALSE(ParseKvgSvg("<svg><path d='M0,0 Q1'/></svg>", ch, err));
    EXPECT_NE(err.find("quadratic"), std::string::npos);
    EXPECT_FALSE(ParseKvgSvg("<svg><path id='p'/></svg>", ch, err));
    EXPECT_FALSE(ParseKvgSvg("<svg><g/></svg>", ch, err));
    EXPECT_NE(err.find("no strokes"), std::string::npos);
    EXPECT_TRUE(ch.strokes.empty());
}

TEST(KvgArchive, RealReleaseZip) {
    std::string err;
    auto a = KvgArchive::Open(MKDICT_TEST_KANJIVG, err);
    ASSERT_TRUE(a) << err;
    EXPECT_GT(a->Entries().size(), 6500u);
    for (size_t i = 1; i < a->Entries().size(); ++i)
        ASSERT_LT(a->Entries()[i - 1].codepoint, a->Entries()[i].codepoint);
    // 明: two components of four strokes each, the first a downstroke at the left
    const KvgEntry* e = a->Find(0x660E);
    ASSERT_NE(e, nullptr);
    std::string svg;
    ASSERT_TRUE(a->Read(*e, svg, err)) << err;
    KvgCharacter ch;
    ASSERT_TRUE(ParseKvgSvg(svg, ch, err)) << err;
    ASSERT_EQ(ch.strokes.size(), 8u);
    EXPECT_LT(ch.strokes[0].front().x, 30);
    EXPECT_GT(ch.strokes[0].back().y, ch.strokes[0].front().y + 30);
    for (const auto& s : ch.strokes)
        for (auto p : s) {
            EXPECT_GE(p.x, -5);
            EXPECT_LE(p.x, 114);
        }
    // 一 is one stroke, 二 two
    for (auto [cp, n] : {std::pair{0x4E00u, 1u}, std::pair{0x4E8Cu, 2u}}) {
        ASSERT_TRUE(a->Read(*a->Find(cp), svg, err));
        ASSERT_TRUE(ParseKvgSvg(svg, ch, err));
        EXPECT_EQ(ch.strokes.size(), n);
    }
    EXPECT_EQ(a->Find(0x1), nullptr);
}

TEST(KvgArchive, UnpackedFolderSkipsVariants) {
    fs::path dir = fs::temp_directory_path() / ("mkdict_kvg_" + std::to_string(::getpid()));
    fs::create_directories(dir / "kanji");
    const char* svg = "<svg><path d='M0,0 L10,0'/></svg>";
    for (const char* n : {"04e00.svg", "04e8c.svg", "04e00-Kaisho.svg", "notes.txt"})
        std::ofstream(dir / "kanji" / n) << svg;
    std::string err;
    auto a = KvgArchive::Open(dir.string(), err); // the folder holding kanji/
    ASSERT_TRUE(a) << err;
    ASSERT_EQ(a->Entries().size(), 2u);
    EXPECT_EQ(a->Entries()[0].codepoint, 0x4E00u);
    std::string text;
    ASSERT_TRUE(a->Read(a->Entries()[1], text, err));
    EXPECT_EQ(text, svg);
    auto b = KvgArchive::Open((dir / "kanji").string(), err); // kanji/ itself
    ASSERT_TRUE(b);
    EXPECT_EQ(b->Entries().size(), 2u);
    fs::remove_all(dir / "kanji");
    fs::create_directories(dir / "empty");
    EXPECT_FALSE(KvgArchive::Open((dir / "empty").string(), err));
    EXPECT_NE(err.find("no KanjiVG"), std::string::npos);
    EXPECT_FALSE(KvgArchive::Open((dir / "missing.zip").string(), err));
    EXPECT_FALSE(err.empty());
    fs::remove_all(dir);
}
