// The pattern dictionary: tables, the file format round trip, and the loader's refusals.
#include "classifier/tests/core_testutil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

using namespace core_test;

namespace {

std::vector<unsigned char> ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(f), {});
}

void WriteAll(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

class DicTest : public ::testing::Test {
protected:
    void SetUp() override {
        initcrlib();
        calcxytable();
        MakeLengthTable();
    }
    void TearDown() override {
        FreeCRDictionary(&_crdic);
        FreeLengthTable();
        closecrlib();
    }
    TempDir dir;
};

} // namespace

TEST_F(DicTest, LengthTableRoundsAndClamps) {
    EXPECT_EQ(GetLength(0, 0), 1);
    EXPECT_EQ(GetLength(3, 4), 5);
    EXPECT_EQ(GetLength(-4, 3), 5);
    EXPECT_EQ(GetLength(200, 0), 128);
    EXPECT_EQ(GetLength(0, -300), 128);
    EXPECT_EQ(GetLength(128, 128), 181);
    EXPECT_EQ(GetLength(1, 1), 1); // 1.414 rounds down
    EXPECT_EQ(GetLength(1, 2), 2); // 2.236
    EXPECT_EQ(GetLength(5, 5), 7); // 7.07
    EXPECT_EQ(GetLength(2, 3), 4); // 3.606 rounds up
    // The same values without the table (used before the core opens).
    FreeLengthTable();
    EXPECT_EQ(GetLength(0, 0), 1);
    EXPECT_EQ(GetLength(128, 128), 181);
    EXPECT_EQ(GetLength(2, 3), 4);
}

TEST_F(DicTest, BoxCoordinateTable) {
    const int expect[16] = {0, 8, 17, 25, 34, 42, 51, 59, 68, 76, 85, 93, 102, 110, 119, 128};
    for (int k = 0; k < 16; ++k) EXPECT_EQ(_xy_table[k], expect[k]) << k;
}

TEST_F(DicTest, DerivedPatternValues) {
    PATTERN_B p{};
    FillPattern(&p, {{{3, 4}, {3, 14}, {13, 14}}, {{0, 0}}});
    EXPECT_EQ(p.num, 4);
    EXPECT_EQ(p.data[0].l, 5); // from the box origin
    EXPECT_EQ(p.data[1].l, 10);
    EXPECT_EQ(p.data[1].dir, 256);
    EXPECT_EQ(p.data[2].dir, 0);
    EXPECT_EQ(p.data[0].dir, 256); // takes the second point's direction
    EXPECT_EQ(p.data[3].l, 19);    // the jump to the next stroke counts like any segment
    EXPECT_EQ(p.len, 10 + 10 + 19);
    EXPECT_EQ(p.stroke, 2);
    std::free(p.data);

    PATTERN_B one{};
    FillPattern(&one, {{{7, 9}}});
    EXPECT_EQ(one.data[0].dir, 0);
    EXPECT_EQ(one.len, 0);
    EXPECT_EQ(one.stroke, 1);
    std::free(one.data);
}

TEST_F(DicTest, EmptyDictionaries) {
    const std::string f = dir.File("empty.dic");
    WriteAll(f, {0, 0});
    CRDIC d{};
    ASSERT_EQ(LoadCRDictionary(f.c_str(), &d), 0);
    EXPECT_EQ(d.count, 1);
    EXPECT_EQ(d.maxctgtblsize, 0);
    EXPECT_EQ(d.maxpointcount, 0);
    EXPECT_EQ(d.ctg[0]->code, 0);
    EXPECT_EQ(d.ctg[0]->patdic.count, 0);
    FreeCRDictionary(&d);
    EXPECT_EQ(Val(d.ctg), nullptr);
    EXPECT_EQ(d.count, 0);

    ASSERT_EQ(LoadCRDictionary(nullptr, &d), 0);
    EXPECT_EQ(d.count, 1);
    FreeCRDictionary(&d);
    FreeCRDictionary(&d); // a dictionary without table is left alone
}

TEST_F(DicTest, RoundTripKeepsEverythingStored) {
    const std::string f = dir.File("rt.dic");
    std::vector<Cat> cats(4);
    cats[0].code = 0x82A0;
    cats[0].patterns = {Ell(), Cross()};
    cats[0].size = 0x8F;
    cats[1].code = 0; // part only
    cats[1].patterns = {Kou()};
    cats[2].code = 0x889F;
    cats[2].status = CTG_COMPOSITE | CTG_ANYORDER | CTG_SMALLSIZE;
    cats[2].part[0] = 4; // a later category
    cats[2].part[1] = 2;
    cats[2].pos[1] = 0x08;
    cats[2].psize[0] = 0xF8;
    cats[2].psize[1] = 0xF7;
    cats[3].code = 0x41; // no patterns at all
    ASSERT_EQ(Write(f, cats), 0);

    CRDIC src{};
    ASSERT_EQ(Build(&src, cats), 0);
    CRDIC d{};
    ASSERT_EQ(LoadCRDictionary(f.c_str(), &d), 0);
    ASSERT_EQ(d.count, 5);
    for (int i = 1; i < 5; ++i) {
        const tagCATEGORY* a = src.ctg[i];
        const tagCATEGORY* b = d.ctg[i];
        EXPECT_EQ(b->ctg_no, i);
        EXPECT_EQ(b->code, a->code);
        EXPECT_EQ(b->status, a->status);
        EXPECT_EQ(b->size, a->size);
        ASSERT_EQ(b->patdic.count, a->patdic.count);
        for (int k = 0; k < a->patdic.count; ++k) {
            const PATTERN_B& pa = a->patdic.pat[k];
            const PATTERN_B& pb = b->patdic.pat[k];
            ASSERT_EQ(pb.num, pa.num);
            EXPECT_EQ(pb.len, pa.len);
            EXPECT_EQ(pb.stroke, pa.stroke);
            for (int j = 0; j < pa.num; ++j) {
                EXPECT_EQ(pb.data[j].x, pa.data[j].x);
                EXPECT_EQ(pb.data[j].y, pa.data[j].y);
                EXPECT_EQ(pb.data[j].attr, pa.data[j].attr);
                EXPECT_EQ(pb.data[j].l, pa.data[j].l);
                EXPECT_EQ(pb.data[j].dir, pa.data[j].dir);
                EXPECT_EQ(pb.data[j].score, 0);
            }
        }
    }
    // Parts resolve to the table entries, unused parts to category 0.
    EXPECT_EQ(Val(d.ctg[3]->div[0].part), d.ctg[4]);
    EXPECT_EQ(Val(d.ctg[3]->div[1].part), d.ctg[2]);
    EXPECT_EQ(d.ctg[3]->div[1].pos, 0x08);
    EXPECT_EQ(d.ctg[3]->div[1].size, 0xF7);
    EXPECT_EQ(Val(d.ctg[1]->div[0].part), d.ctg[0]);
    // Category 3 = category 4 (no patterns) + category 2 (Kou, 6 points, 3 strokes).
    EXPECT_EQ(getctsize(d.ctg[3]), 3);
    EXPECT_EQ(GetMaxPointCount(d.ctg[3]), 6);
    EXPECT_EQ(GetMaxStrokeCount(d.ctg[3]), 3);
    EXPECT_EQ(GetMaxPointCount(d.ctg[1]), 4); // the larger of Ell (3) and Cross (4)
    EXPECT_EQ(GetMaxStrokeCount(d.ctg[1]), 2);
    EXPECT_EQ(GetMaxPointCount(nullptr), 0);
    EXPECT_EQ(d.maxctgtblsize, 3);
    EXPECT_EQ(d.maxpointcount, 6);
    FreeCRDictionary(&d);
    FreeCRDictionary(&src);
}

TEST_F(DicTest, CompositeSumsItsParts) {
    std::vector<Cat> cats(3);
    cats[0].patterns = {Ell()}; // 3 points, 1 stroke
    cats[1].patterns = {Kou()}; // 6 points, 3 strokes
    cats[2].code = 0x8A9F;
    cats[2].status = CTG_COMPOSITE;
    cats[2].part[0] = 1;
    cats[2].part[1] = 2;
    cats[2].patterns = {Cross()}; // its own pattern is smaller than the sum
    CRDIC d{};
    ASSERT_EQ(Build(&d, cats), 0);
    EXPECT_EQ(GetMaxPointCount(d.ctg[3]), 9);
    EXPECT_EQ(GetMaxStrokeCount(d.ctg[3]), 4);
    EXPECT_EQ(getctsize(d.ctg[3]), 3);
    EXPECT_EQ(d.maxpointcount, 9);
    FreeCRDictionary(&d);
}

TEST_F(DicTest, LoadReplacesTheProcessDictionaryOnlyOnSuccess) {
    const std::string good = dir.File("good.dic");
    std::vector<Cat> cats(2);
    cats[0].code = 0x8250;
    cats[0].patterns = {Ell()};
    cats[1].code = 0x8251;
    cats[1].patterns = {Kou(), Cross()};
    ASSERT_EQ(Write(good, cats), 0);
    ASSERT_EQ(LoadCRDictionary(good.c_str(), nullptr), 0);
    ASSERT_EQ(_crdic.count, 3);
    tagCATEGORY** table = _crdic.ctg;

    const std::vector<unsigned char> bytes = ReadAll(good);
    // Cut inside the last point list, and at every other length short of the whole file.
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        const std::string bad = dir.File("cut.dic");
        WriteAll(bad, std::vector<unsigned char>(bytes.begin(), bytes.begin() + long(cut)));
        EXPECT_EQ(LoadCRDictionary(bad.c_str(), nullptr), 3) << "cut at " << cut;
        EXPECT_EQ(Val(_crdic.ctg), table);
        EXPECT_EQ(_crdic.count, 3);
    }
    EXPECT_EQ(LoadCRDictionary(dir.File("missing.dic").c_str(), nullptr), 3);
    EXPECT_EQ(Val(_crdic.ctg), table);
    EXPECT_EQ(_crdic.ctg[2]->patdic.pat[0].num, 6); // still readable

    ASSERT_EQ(LoadCRDictionary(nullptr, nullptr), 0);
    EXPECT_EQ(_crdic.count, 1);
}

TEST_F(DicTest, InflatedCountsAreRefused) {
    const std::string f = dir.File("inflated.dic");
    // 60000 categories claimed, one present.
    WriteAll(f, {0x60, 0xEA, 0x50, 0x82, 0, 0xFF, 0});
    CRDIC d{};
    EXPECT_EQ(LoadCRDictionary(f.c_str(), &d), 3);
    EXPECT_EQ(Val(d.ctg), nullptr);
    // A pattern claiming 30000 points with three present.
    WriteAll(f, {1, 0, 0x50, 0x82, 0, 0xFF, 1, 0x30, 0x75, 1, 2, 6, 3, 4, 4, 5, 6, 4});
    EXPECT_EQ(LoadCRDictionary(f.c_str(), &d), 3);
    // More points than a pattern can hold.
    WriteAll(f, {1, 0, 0x50, 0x82, 0, 0xFF, 1, 0xFF, 0xFF});
    EXPECT_EQ(LoadCRDictionary(f.c_str(), &d), 3);
    // 255 patterns claimed, one present.
    WriteAll(f, {1, 0, 0x50, 0x82, 0, 0xFF, 0xFF, 1, 0, 1, 2, 6});
    EXPECT_EQ(LoadCRDictionary(f.c_str(), &d), 3);
    // The same file with the right counts loads.
    WriteAll(f, {1, 0, 0x50, 0x82, 0, 0xFF, 1, 1, 0, 1, 2, 6});
    ASSERT_EQ(LoadCRDictionary(f.c_str(), &d), 0);
    EXPECT_EQ(d.ctg[1]->patdic.pat[0].num, 1);
    FreeCRDictionary(&d);
}

TEST_F(DicTest, BadPartsAreRefused) {
    const std::string f = dir.File("parts.dic");
    CRDIC d{};
    // Category 1 composite with part 2 in a dictionary of one category.
    WriteAll(f, {1, 0, 0x50, 0x82, 1, 2, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0});
    EXPECT_EQ(LoadCRDictionary(f.c_str(), &d), 3);
    // Part 1 is the category itself.
    WriteAll(f, {1, 0, 0x50, 0x82, 1, 1, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0});
    EXPECT_EQ(LoadCRDictionary(f.c_str(), &d), 3);
    // Two categories made of each other.
    WriteAll(f, {2,    0,    0x50, 0x82, 1, 2, 0,    0, 0xFF, 0, 0,    0,    0xFF, 0xFF, 0, //
                 0x51, 0x82, 1,    1,    0, 0, 0xFF, 0, 0,    0, 0xFF, 0xFF, 0});
    EXPECT_EQ(LoadCRDictionary(f.c_str(), &d), 3);
    // Part 0 (the reserved empty category) and a proper part load.
    WriteAll(f, {2, 0, 0x50, 0x82, 1, 2, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0, //
                 0, 0, 0,    0xFF, 1, 1, 0, 5, 5,    6});
    ASSERT_EQ(LoadCRDictionary(f.c_str(), &d), 0);
    EXPECT_EQ(Val(d.ctg[1]->div[0].part), d.ctg[2]);
    EXPECT_EQ(Val(d.ctg[1]->div[1].part), d.ctg[0]);
    FreeCRDictionary(&d);
}

TEST_F(DicTest, HugeCompositionTreesAreRefusedQuickly) {
    // Category k is made of category k-1 twice: the tree doubles with every level.
    std::vector<Cat> cats(40);
    cats[0].patterns = {Ell()};
    for (int k = 1; k < 40; ++k) {
        cats[k].code = uint16_t(0x8800 + k);
        cats[k].status = CTG_COMPOSITE;
        cats[k].part[0] = cats[k].part[1] = k; // category numbers start at 1
    }
    CRDIC d{};
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(Build(&d, cats), 3);
    const std::string f = dir.File("tree.dic");
    EXPECT_EQ(WriteCRDictionary(f.c_str(), &d), 0);
    FreeCRDictionary(&d);
    EXPECT_EQ(LoadCRDictionary(f.c_str(), &d), 3);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));

    // Nine levels stay within the limits and load.
    cats.resize(9);
    ASSERT_EQ(Write(f, cats), 0);
    ASSERT_EQ(LoadCRDictionary(f.c_str(), &d), 0);
    EXPECT_EQ(d.maxctgtblsize, 511);
    EXPECT_EQ(d.maxpointcount, 3 * 256);
    FreeCRDictionary(&d);
}

TEST_F(DicTest, WriterRefusesWhatTheFormatCannotHold) {
    CRDIC d{};
    ASSERT_EQ(NewCRDictionary(&d, 1), 0);
    tagCATEGORY stray{};
    d.ctg[1]->status = CTG_COMPOSITE;
    d.ctg[1]->div[0].part = &stray; // not in the table
    EXPECT_EQ(WriteCRDictionary(dir.File("x.dic").c_str(), &d), 5);
    d.ctg[1]->div[0].part = d.ctg[0];
    EXPECT_EQ(WriteCRDictionary(dir.File("x.dic").c_str(), &d), 0);
    EXPECT_EQ(WriteCRDictionary(dir.File("no/such/dir/x.dic").c_str(), &d), 3);
    EXPECT_EQ(NewCategoryPatterns(d.ctg[1], 300), 0);
    EXPECT_EQ(WriteCRDictionary(dir.File("x.dic").c_str(), &d), 5); // at most 255 variants
    EXPECT_EQ(NewCategoryPatterns(d.ctg[1], 1), 5);                 // already has patterns
    FreeCRDictionary(&d);
}

TEST_F(DicTest, WorkAreaMovesOnlyForward) {
    ASSERT_EQ(InitWork(64), 0);
    unsigned char* block = _work_data;
    void* a = AllocWork(10);
    void* b = AllocWork(20);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_GE(static_cast<unsigned char*>(b), static_cast<unsigned char*>(a) + 10);
    EXPECT_EQ(AllocWork(64), nullptr); // would pass the end
    ASSERT_EQ(InitWork(64), 0);        // same size: the block is kept, the mark reset
    EXPECT_EQ(_work_data, block);
    EXPECT_EQ(AllocWork(64), block);
    EXPECT_EQ(AllocWork(1), nullptr);
    CloseWork();
    EXPECT_EQ(_work_data, nullptr);
    EXPECT_EQ(_work_size, 0u);
    EXPECT_EQ(AllocWork(1), nullptr);
}
