#include "classifier/coarse.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<POINT_W> Strokes(const std::vector<std::vector<std::pair<int, int>>>& strokes) {
    std::vector<POINT_W> pts;
    for (const auto& s : strokes) {
        for (size_t i = 0; i < s.size(); ++i) {
            uint8_t attr = 0;
            if (i == 0) attr |= PT_PENDOWN;
            if (i + 1 == s.size()) attr |= PT_PENUP;
            pts.push_back(POINT_W{int16_t(s[i].first), int16_t(s[i].second), attr});
        }
    }
    return pts;
}

// Ranges that accept every input.
ONLINE_CC_DIC Open(uint8_t k) {
    return ONLINE_CC_DIC{k, 255, 0, 255, 0, 255, 0, 255, 0};
}

CoarseDicEntry Entry(uint16_t code, uint8_t k, std::vector<DFV> templates) {
    CoarseDicEntry e;
    e.code = code;
    e.oncd = Open(k);
    e.templates = std::move(templates);
    return e;
}

// A template at squared distance d*d from v (one byte moved by d).
DFV Away(const DFV& v, int d, int at = 0) {
    DFV t = v;
    t.v[at] = static_cast<uint8_t>(t.v[at] + d <= 255 ? t.v[at] + d : t.v[at] - d);
    return t;
}

class Coarse : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("coarse_test_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        // The input used throughout: a three-stroke character.
        input_ = Strokes({{{20, 20}, {100, 20}}, {{60, 20}, {60, 110}}, {{10, 110}, {110, 110}}});
        PATTERN_W p{input_.data(), int32_t(input_.size())};
        ASSERT_EQ(UnionData(&p, &udata_), 0);
        ASSERT_EQ(udata_.stdata.stnum, 3);
    }
    void TearDown() override {
        ReleaseCoarseClassification();
        fs::remove_all(dir_);
    }

    std::string Write(const std::string& name, const std::vector<CoarseDicEntry>& entries) {
        const std::string path = (dir_ / name).string();
        EXPECT_EQ(WriteCoarseClassificationDic(path, entries), 0);
        return path;
    }
    std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }
    static std::vector<uint8_t> Read(const std::string& path) {
        std::ifstream f(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
    }

    int Classify(std::vector<uint16_t>& codes, std::vector<int32_t>& dists, int num,
                 bool any_direction = false) {
        codes.assign(size_t(std::max(num, 1)), 0);
        dists.assign(size_t(std::max(num, 1)), -1);
        PATTERN_W p{input_.data(), int32_t(input_.size())};
        const int n = any_direction
                          ? CoarseClassifyAnyDirection(&p, codes.data(), dists.data(), num)
                          : CoarseClassify(&p, codes.data(), dists.data(), num);
        if (n >= 0) {
            codes.resize(size_t(n));
            dists.resize(size_t(n));
        }
        return n;
    }

    fs::path dir_;
    std::vector<POINT_W> input_;
    UDATA udata_{};
};

TEST_F(Coarse, WriterProducesTheFileLayout) {
    DFV t{};
    for (int i = 0; i < 72; ++i) t.v[i] = uint8_t(i);
    CoarseDicEntry e{0x889F, ONLINE_CC_DIC{3, 90, 10, 80, 20, 6, 1, 5, 2}, {t, t}};
    const std::string path = Write("layout.dic", {e});
    const auto bytes = Read(path);
    ASSERT_EQ(bytes.size(), 2u + 9 + 1 + 2 * 72);
    EXPECT_EQ(bytes[0], 0x9F);
    EXPECT_EQ(bytes[1], 0x88);
    const std::vector<uint8_t> oncd(bytes.begin() + 2, bytes.begin() + 11);
    EXPECT_EQ(oncd, (std::vector<uint8_t>{3, 90, 10, 80, 20, 6, 1, 5, 2}));
    EXPECT_EQ(bytes[11], 2);
    EXPECT_EQ(bytes[12 + 71], 71);
    EXPECT_EQ(bytes[12 + 72], 0);
}

TEST_F(Coarse, WriterRefusesEntriesWithoutTemplates) {
    const std::string path = (dir_ / "none.dic").string();
    EXPECT_EQ(WriteCoarseClassificationDic(path, {Entry(0x8140, 1, {})}), CCDIC_NOTEMPLATE);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(WriteCoarseClassificationDic(path, {Entry(0x8140, 1, std::vector<DFV>(256))}),
              CCDIC_NOTEMPLATE);
    EXPECT_EQ(WriteCoarseClassificationDic((dir_ / "no" / "such" / "x.dic").string(),
                                           {Entry(0x8140, 1, {DFV{}})}),
              CCDIC_NOFILE);
}

TEST_F(Coarse, SortingOrdersGroupsAndKeepsTies) {
    std::vector<CoarseDicEntry> es = {Entry(1, 3, {DFV{}}), Entry(2, 1, {DFV{}}),
                                      Entry(3, 3, {DFV{}}), Entry(4, 1, {DFV{}})};
    es[0].oncd.ylen_min = 40;
    es[2].oncd.ylen_min = 10;
    SortCoarseDicEntries(es);
    std::vector<uint16_t> order;
    for (const auto& e : es) order.push_back(e.code);
    EXPECT_EQ(order, (std::vector<uint16_t>{2, 4, 3, 1}));
}

TEST_F(Coarse, LoadBuildsGroupsAndCategoryTable) {
    const std::string path =
        Write("groups.dic", {Entry(0x8141, 1, {DFV{}}), Entry(0x8142, 1, {DFV{}}),
                             Entry(0x8143, 3, {DFV{}, DFV{}})});
    ASSERT_EQ(InitCoarseClassification(path.c_str()), 0);
    EXPECT_TRUE(IsCoarseClassificationLoaded());
    EXPECT_EQ(_category_count, 3);
    EXPECT_EQ(_stnum_max, 30);
    ASSERT_NE(_dicptr[1], nullptr);
    EXPECT_EQ(_dicptr[1]->jiscode.w, 0x8141);
    EXPECT_EQ(_dicptr[1]->next->jiscode.w, 0x8142);
    // The empty group 2 starts where group 3 starts; nothing lies above group 3.
    EXPECT_EQ(_dicptr[2], _dicptr[3]);
    EXPECT_EQ(_dicptr[3]->jiscode.w, 0x8143);
    EXPECT_EQ(_dicptr[3]->offcd_num, 2);
    EXPECT_EQ(_dicptr[3]->previous, _dicptr[1]->next);
    EXPECT_EQ(_dicptr[4], nullptr);
    EXPECT_EQ(_dicptr[29], nullptr);
    EXPECT_EQ(_category[0], 0x8141);
    EXPECT_EQ(_category[2], 0x8143);
    EXPECT_EQ(IsCandidate(&_categtbl, _category, 0x8142), 1);
    EXPECT_STREQ(_indicfname, path.c_str());
}

TEST_F(Coarse, EveryEntryIsInTheCategoryTableWhateverItsGroup) {
    // A group-0 entry first and groups out of order: every code the ranking can return
    // must be found in the search table, and no slot of the table is left unset.
    const std::string path =
        Write("unordered.dic", {Entry(0x8141, 0, {DFV{}}), Entry(0x8142, 3, {DFV{}}),
                                Entry(0x8143, 1, {DFV{}}), Entry(0x8144, 1, {udata_.dfv})});
    ASSERT_EQ(InitCoarseClassification(path.c_str()), 0);
    ASSERT_EQ(_category_count, 4);
    for (uint16_t code : {0x8141, 0x8142, 0x8143, 0x8144})
        EXPECT_GE(IsCandidate(&_categtbl, _category, code), 0) << std::hex << code;
    EXPECT_EQ(_category[0], 0x8141);
    EXPECT_EQ(_category[3], 0x8144);

    std::vector<POINT_W> bar = {POINT_W{0, 50, PT_PENDOWN}, POINT_W{100, 50, PT_PENUP}};
    PATTERN_W p{bar.data(), int32_t(bar.size())};
    uint16_t codes[8];
    const int n = CoarseClassify(&p, codes, nullptr, 8);
    ASSERT_GT(n, 0);
    for (int i = 0; i < n; ++i) EXPECT_GE(IsCandidate(&_categtbl, _category, codes[i]), 0);
}

TEST_F(Coarse, StrokeGroupBeyondTheTableGrowsIt) {
    // Group 75 lies past even one enlargement by 30.
    const std::string path =
        Write("big.dic", {Entry(0x8141, 2, {DFV{}}), Entry(0x8150, 75, {DFV{}})});
    ASSERT_EQ(InitCoarseClassification(path.c_str()), 0);
    EXPECT_EQ(_stnum_max, 90);
    ASSERT_NE(_dicptr[75], nullptr);
    EXPECT_EQ(_dicptr[75]->jiscode.w, 0x8150);
    EXPECT_EQ(_dicptr[40], _dicptr[75]);

    // A 76-stroke input starts at group 75 and finds the entry.
    std::vector<POINT_W> dots;
    for (int i = 0; i < 76; ++i)
        dots.push_back(POINT_W{int16_t(i % 9 * 10), int16_t(i / 9 * 10), PT_PENDOWN | PT_PENUP});
    PATTERN_W p{dots.data(), int32_t(dots.size())};
    uint16_t code = 0;
    ASSERT_EQ(CoarseClassify(&p, &code, nullptr, 5), 1);
    EXPECT_EQ(code, 0x8150);
}

TEST_F(Coarse, FileEndingAfterAnEntryLoads) {
    const std::string path = Write("one.dic", {Entry(0x8141, 1, {DFV{}})});
    EXPECT_EQ(LoadCoarseClassificationDic(path.c_str()), CCDIC_OK);
    EXPECT_EQ(_category_count, 1);
}

TEST_F(Coarse, FileEndingInsideAnEntryFails) {
    const std::string path =
        Write("full.dic", {Entry(0x8141, 1, {DFV{}}), Entry(0x8142, 2, {DFV{}, DFV{}})});
    const auto bytes = Read(path);
    const size_t first = 2 + 9 + 1 + 72;
    // Cut inside the statistics, right after the count byte, and inside the templates.
    for (size_t cut : {first + 2, first + 5, first + 12, first + 12 + 72, bytes.size() - 1}) {
        const std::string cutPath =
            WriteBytes("cut.dic", {bytes.begin(), bytes.begin() + long(cut)});
        EXPECT_EQ(LoadCoarseClassificationDic(cutPath.c_str()), CCDIC_SHORT) << cut;
        EXPECT_FALSE(IsCoarseClassificationLoaded());
        EXPECT_EQ(InitCoarseClassification(cutPath.c_str()), 5);
        EXPECT_EQ(_puSquareByte, nullptr) << "a failed start leaves nothing behind";
    }
}

TEST_F(Coarse, AStrayByteAfterTheLastEntryEndsTheFile) {
    auto bytes = Read(Write("one.dic", {Entry(0x8141, 1, {DFV{}})}));
    bytes.push_back(0x42);
    EXPECT_EQ(LoadCoarseClassificationDic(WriteBytes("stray.dic", bytes).c_str()), CCDIC_OK);
    EXPECT_EQ(_category_count, 1);
}

TEST_F(Coarse, MoreEntriesThanASearchTableIndexesAreRefused) {
    std::vector<CoarseDicEntry> es(32768, Entry(0x8141, 1, {DFV{}}));
    const std::string path = Write("huge.dic", es);
    EXPECT_EQ(LoadCoarseClassificationDic(path.c_str()), CCDIC_NOMEMORY);
    EXPECT_FALSE(IsCoarseClassificationLoaded());
    es.pop_back();
    EXPECT_EQ(LoadCoarseClassificationDic(Write("largest.dic", es).c_str()), CCDIC_OK);
    EXPECT_EQ(_category_count, 32767);
}

TEST_F(Coarse, TemplateCountBeyondTheFileIsRefusedBeforeAllocating) {
    // Count 255 with a handful of template bytes behind it.
    std::vector<uint8_t> bytes = {0x41, 0x81, 1, 255, 0, 255, 0, 255, 0, 255, 0, 255, 1, 2, 3};
    const std::string path = WriteBytes("count.dic", bytes);
    EXPECT_EQ(LoadCoarseClassificationDic(path.c_str()), CCDIC_SHORT);
}

TEST_F(Coarse, EntryWithoutTemplatesFailsTheWholeFile) {
    auto bytes = Read(Write("ok.dic", {Entry(0x8141, 1, {DFV{}})}));
    const std::vector<uint8_t> empty = {0x42, 0x81, 2, 255, 0, 255, 0, 255, 0, 255, 0, 0};
    bytes.insert(bytes.end(), empty.begin(), empty.end());
    const std::string path = WriteBytes("zero.dic", bytes);
    EXPECT_EQ(LoadCoarseClassificationDic(path.c_str()), CCDIC_NOTEMPLATE);
    EXPECT_FALSE(IsCoarseClassificationLoaded());
}

TEST_F(Coarse, MissingFileAndEmptyDictionary) {
    const std::string missing = (dir_ / "missing.dic").string();
    EXPECT_EQ(LoadCoarseClassificationDic(missing.c_str()), CCDIC_NOFILE);
    // A folder opens for reading on this system but is no dictionary.
    EXPECT_EQ(LoadCoarseClassificationDic((dir_.string() + "/").c_str()), CCDIC_NOFILE);
    EXPECT_FALSE(IsCoarseClassificationLoaded());
    EXPECT_EQ(InitCoarseClassification(missing.c_str()), 5);
    std::vector<uint16_t> codes;
    std::vector<int32_t> dists;
    EXPECT_EQ(Classify(codes, dists, 5), -1);

    // An empty file, and no file name at all, give a dictionary without entries.
    const std::string empty = WriteBytes("empty.dic", {});
    ASSERT_EQ(InitCoarseClassification(empty.c_str()), 0);
    EXPECT_EQ(_category_count, 0);
    EXPECT_EQ(Classify(codes, dists, 5), 0);
    ReleaseCoarseClassification();
    ASSERT_EQ(InitCoarseClassification(nullptr), 0);
    EXPECT_EQ(Classify(codes, dists, 5), 0);
}

TEST_F(Coarse, FailedLoadKeepsThePreviousDictionary) {
    const std::string good = Write("good.dic", {Entry(0x8141, 2, {udata_.dfv})});
    ASSERT_EQ(InitCoarseClassification(good.c_str()), 0);
    const std::string bad = WriteBytes("bad.dic", {0x41, 0x81, 2, 3});
    EXPECT_EQ(LoadCoarseClassificationDic(bad.c_str()), CCDIC_SHORT);
    EXPECT_EQ(InitCoarseClassification(bad.c_str()), 5);
    ASSERT_TRUE(IsCoarseClassificationLoaded());
    std::vector<uint16_t> codes;
    std::vector<int32_t> dists;
    ASSERT_EQ(Classify(codes, dists, 5), 1);
    EXPECT_EQ(codes[0], 0x8141);
    EXPECT_EQ(dists[0], 0);
    EXPECT_STREQ(_indicfname, good.c_str());
}

TEST_F(Coarse, ThreeStrokesAreComparedFromGroupTwoUp) {
    const DFV& v = udata_.dfv;
    const std::string path =
        Write("strokes.dic", {Entry(0x0101, 1, {v}), Entry(0x0202, 2, {Away(v, 3)}),
                              Entry(0x0303, 3, {Away(v, 2)}), Entry(0x0909, 9, {Away(v, 1)})});
    ASSERT_EQ(InitCoarseClassification(path.c_str()), 0);
    std::vector<uint16_t> codes;
    std::vector<int32_t> dists;
    ASSERT_EQ(Classify(codes, dists, 10), 3);
    EXPECT_EQ(codes, (std::vector<uint16_t>{0x0909, 0x0303, 0x0202}));
    EXPECT_EQ(dists, (std::vector<int32_t>{1, 4, 9}));

    // A one-stroke input sees group 1 as well.
    input_ = Strokes({{{0, 0}, {100, 0}}});
    ASSERT_EQ(Classify(codes, dists, 10), 4);
    EXPECT_NE(std::find(codes.begin(), codes.end(), 0x0101), codes.end());
}

TEST_F(Coarse, RanksTheFiveNearestOfEight) {
    const DFV& v = udata_.dfv;
    const int d[8] = {7, 3, 12, 1, 9, 5, 2, 20};
    std::vector<CoarseDicEntry> es;
    for (int i = 0; i < 8; ++i) es.push_back(Entry(uint16_t(0x8200 + i), 3, {Away(v, d[i], i)}));
    ASSERT_EQ(InitCoarseClassification(Write("eight.dic", es).c_str()), 0);
    std::vector<uint16_t> codes;
    std::vector<int32_t> dists;
    ASSERT_EQ(Classify(codes, dists, 5), 5);
    EXPECT_EQ(codes, (std::vector<uint16_t>{0x8203, 0x8206, 0x8201, 0x8205, 0x8200}));
    EXPECT_EQ(dists, (std::vector<int32_t>{1, 4, 9, 25, 49}));

    // The outputs are optional.
    PATTERN_W p{input_.data(), int32_t(input_.size())};
    EXPECT_EQ(CoarseClassify(&p, nullptr, nullptr, 5), 5);
    EXPECT_EQ(CoarseClassify(&p, nullptr, nullptr, 0), 0);
}

TEST_F(Coarse, OnlyCompatibleEntriesAreRanked) {
    const DFV& v = udata_.dfv;
    std::vector<CoarseDicEntry> es;
    for (int i = 0; i < 8; ++i) es.push_back(Entry(uint16_t(0x8200 + i), 3, {Away(v, i + 1)}));
    // Five entries want more horizontal turns than the input can have.
    for (int i : {0, 2, 3, 5, 7}) es[size_t(i)].oncd.xturn_min = 200;
    ASSERT_EQ(InitCoarseClassification(Write("three.dic", es).c_str()), 0);
    std::vector<uint16_t> codes;
    std::vector<int32_t> dists;
    ASSERT_EQ(Classify(codes, dists, 5), 3);
    EXPECT_EQ(codes, (std::vector<uint16_t>{0x8201, 0x8204, 0x8206}));
}

TEST_F(Coarse, EqualDistancesPutTheLaterEntryFirst) {
    const DFV& v = udata_.dfv;
    const std::string path =
        Write("ties.dic", {Entry(0x8301, 3, {Away(v, 4)}), Entry(0x8302, 3, {Away(v, 2)}),
                           Entry(0x8303, 3, {Away(v, 4, 5)}), Entry(0x8304, 4, {Away(v, 4, 9)})});
    ASSERT_EQ(InitCoarseClassification(path.c_str()), 0);
    std::vector<uint16_t> codes;
    std::vector<int32_t> dists;
    ASSERT_EQ(Classify(codes, dists, 4), 4);
    EXPECT_EQ(codes, (std::vector<uint16_t>{0x8302, 0x8304, 0x8303, 0x8301}));
}

TEST_F(Coarse, NearestTemplateOfAnEntryCounts) {
    const DFV& v = udata_.dfv;
    const std::string path =
        Write("multi.dic", {Entry(0x8401, 3, {Away(v, 10), Away(v, 3, 4), Away(v, 6)}),
                            Entry(0x8402, 3, {Away(v, 4)})});
    ASSERT_EQ(InitCoarseClassification(path.c_str()), 0);
    std::vector<uint16_t> codes;
    std::vector<int32_t> dists;
    ASSERT_EQ(Classify(codes, dists, 2), 2);
    EXPECT_EQ(codes[0], 0x8401);
    EXPECT_EQ(dists[0], 9);
}

TEST_F(Coarse, VerticalTravelBoundSkipsTheRestOfAGroup) {
    const DFV& v = udata_.dfv;
    const int ylen = udata_.stdata.ylen;
    ASSERT_LT(ylen + 51, 255);
    std::vector<CoarseDicEntry> es = {Entry(0x8501, 3, {v}), Entry(0x8502, 3, {v}),
                                      Entry(0x8503, 3, {v}), Entry(0x8504, 4, {v})};
    es[1].oncd.ylen_min = uint8_t(ylen + 51); // out of reach: ends group 3
    es[2].oncd.ylen_min = 0;                  // not in ylen order, never looked at
    ASSERT_EQ(InitCoarseClassification(Write("skip.dic", es).c_str()), 0);
    std::vector<uint16_t> codes;
    std::vector<int32_t> dists;
    ASSERT_EQ(Classify(codes, dists, 10), 2);
    EXPECT_EQ(codes, (std::vector<uint16_t>{0x8504, 0x8501}));

    // Right at the bound the entry is still compared.
    es[1].oncd.ylen_min = uint8_t(ylen + 50);
    ASSERT_EQ(InitCoarseClassification(Write("edge.dic", es).c_str()), 0);
    EXPECT_EQ(Classify(codes, dists, 10), 4);
}

TEST_F(Coarse, GroupsThatAreNotContiguousDoNotLoopTheScan) {
    const DFV& v = udata_.dfv;
    std::vector<CoarseDicEntry> es = {Entry(0x8601, 1, {v}), Entry(0x8602, 2, {v}),
                                      Entry(0x8603, 1, {v}), Entry(0x8604, 3, {v})};
    es[2].oncd.ylen_min = 255; // forces a jump to group 2, which lies before it
    ASSERT_EQ(InitCoarseClassification(Write("split.dic", es).c_str()), 0);
    EXPECT_EQ(_dicptr[1]->jiscode.w, 0x8603); // the later run heads group 1
    input_ = Strokes({{{0, 0}, {100, 0}}});
    std::vector<uint16_t> codes;
    std::vector<int32_t> dists;
    ASSERT_EQ(Classify(codes, dists, 10), 1);
    EXPECT_EQ(codes[0], 0x8604);
}

TEST_F(Coarse, ClassifyResults) {
    std::vector<uint16_t> codes;
    std::vector<int32_t> dists;
    EXPECT_EQ(Classify(codes, dists, 3), -1) << "no dictionary";
    ASSERT_EQ(InitCoarseClassification(Write("r.dic", {Entry(0x8141, 3, {DFV{}})}).c_str()), 0);
    PATTERN_W none{input_.data(), 0};
    EXPECT_EQ(CoarseClassify(&none, nullptr, nullptr, 3), 0);
    EXPECT_EQ(CoarseClassify(nullptr, nullptr, nullptr, 3), 0);
    EXPECT_EQ(Classify(codes, dists, 3), 1);
    ReleaseCoarseClassification();
    EXPECT_FALSE(IsCoarseClassificationLoaded());
    EXPECT_EQ(_puSquareByte, nullptr);
    EXPECT_EQ(_dicptr, nullptr);
    EXPECT_EQ(Classify(codes, dists, 3), -1);
}

// v with every direction's amount moved to the opposite direction: the features of the
// same strokes drawn from their other ends.
DFV Opposite(const DFV& v) {
    DFV t;
    for (int c = 0; c < 9; ++c)
        for (int k = 0; k < 8; ++k) t.v[c * 8 + k] = v.v[c * 8 + (k + 4) % 8];
    return t;
}

TEST_F(Coarse, RankingWithoutDirectionFindsStrokesDrawnTheOtherWay) {
    const DFV& v = udata_.dfv;
    const DFV turned = Opposite(v);
    ASSERT_NE(std::vector<uint8_t>(turned.v, turned.v + 72), std::vector<uint8_t>(v.v, v.v + 72));
    // 0x8702 lies 30 away in one feature, 0x8703 as far in the sum of two opposite ones.
    DFV both = v;
    ASSERT_LE(std::max(v.v[0], v.v[4]), 225);
    both.v[0] = uint8_t(v.v[0] + 15), both.v[4] = uint8_t(v.v[4] + 15);
    std::vector<CoarseDicEntry> es = {Entry(0x8701, 3, {turned}), Entry(0x8702, 3, {Away(v, 30)}),
                                      Entry(0x8703, 3, {both})};
    ASSERT_EQ(InitCoarseClassification(Write("dir.dic", es).c_str()), 0);
    std::vector<uint16_t> codes;
    std::vector<int32_t> dists;
    // With the direction of travel the turned template is the farthest.
    ASSERT_EQ(Classify(codes, dists, 3), 3);
    EXPECT_EQ(codes, (std::vector<uint16_t>{0x8703, 0x8702, 0x8701}));
    EXPECT_EQ(dists[0], 450);
    EXPECT_EQ(dists[1], 900);
    // Without it the turned template matches exactly; a change spread over two opposite
    // directions counts as their sum.
    ASSERT_EQ(Classify(codes, dists, 3, true), 3);
    EXPECT_EQ(codes, (std::vector<uint16_t>{0x8701, 0x8703, 0x8702}));
    EXPECT_EQ(dists, (std::vector<int32_t>{0, 900, 900}));
}

TEST_F(Coarse, RankingWithoutDirectionKeepsTheStrokeStatisticsTest) {
    const DFV& v = udata_.dfv;
    std::vector<uint16_t> codes;
    std::vector<int32_t> dists;
    EXPECT_EQ(Classify(codes, dists, 3, true), -1) << "no dictionary";
    std::vector<CoarseDicEntry> es = {Entry(0x8801, 3, {Opposite(v)}), Entry(0x8802, 3, {v}),
                                      Entry(0x8803, 9, {Away(v, 5)})};
    es[0].oncd.xturn_min = 200; // wants more horizontal turns than the input has
    ASSERT_EQ(InitCoarseClassification(Write("stat.dic", es).c_str()), 0);
    ASSERT_EQ(Classify(codes, dists, 10, true), 2);
    EXPECT_EQ(codes, (std::vector<uint16_t>{0x8802, 0x8803}));
    EXPECT_EQ(dists, (std::vector<int32_t>{0, 25}));
    PATTERN_W none{input_.data(), 0};
    EXPECT_EQ(CoarseClassifyAnyDirection(&none, nullptr, nullptr, 3), 0);
}

TEST(TurnOk, LoosenessBoundsAreInclusive) {
    tagUNION_CC_DIC e{};
    e.oncd = ONLINE_CC_DIC{3, 100, 60, 90, 40, 4, 2, 6, 3};
    const STDATA mid{3, 80, 60, 3, 4};
    EXPECT_TRUE(turn_ok(&e, &mid));
    auto with = [&](auto change) {
        STDATA s = mid;
        change(s);
        return turn_ok(&e, &s);
    };
    EXPECT_TRUE(with([](STDATA& s) { s.xturn = 9; }));
    EXPECT_FALSE(with([](STDATA& s) { s.xturn = 10; }));
    EXPECT_TRUE(with([](STDATA& s) { s.yturn = 0; })); // 0 + 5 >= 3
    EXPECT_TRUE(with([](STDATA& s) { s.yturn = 11; }));
    EXPECT_FALSE(with([](STDATA& s) { s.yturn = 12; }));
    EXPECT_TRUE(with([](STDATA& s) { s.xlen = 150; }));
    EXPECT_FALSE(with([](STDATA& s) { s.xlen = 151; }));
    EXPECT_TRUE(with([](STDATA& s) { s.xlen = 10; }));
    EXPECT_FALSE(with([](STDATA& s) { s.xlen = 9; }));
    EXPECT_TRUE(with([](STDATA& s) { s.ylen = 140; }));
    EXPECT_FALSE(with([](STDATA& s) { s.ylen = 141; }));
    // The lower vertical bound belongs to the group scan, not to this test.
    EXPECT_TRUE(with([](STDATA& s) { s.ylen = 0; }));
    e.oncd.xturn_min = 9;
    EXPECT_FALSE(with([](STDATA& s) { s.xturn = 3; }));
    e.oncd.yturn_min = 10;
    e.oncd.xturn_min = 0;
    EXPECT_FALSE(with([](STDATA& s) { s.yturn = 4; }));
}

TEST(RankingTree, KeepsTheSmallestInOrder) {
    std::vector<tagCAND_LIST> nodes(20);
    tagCAND_LIST* root = nullptr;
    const int dist[12] = {50, 10, 40, 10, 90, 5, 60, 30, 10, 70, 1, 45};
    int used = 0;
    for (int i = 0; i < 12; ++i)
        if (registcand(&root, &nodes[size_t(used)], 4, 0x10000 | uint32_t(i), dist[i])) ++used;
    uint16_t codes[6] = {};
    int32_t ds[6] = {};
    ASSERT_EQ(ctreetobuf(root, codes, ds, 6), std::min(used, 6));
    ASSERT_GE(used, 4);
    // 1, then the three 10s with the latest offered first; only the low 16 bits are kept.
    EXPECT_EQ(std::vector<int32_t>(ds, ds + 4), (std::vector<int32_t>{1, 5, 10, 10}));
    EXPECT_EQ(std::vector<uint16_t>(codes, codes + 4), (std::vector<uint16_t>{10, 5, 8, 3}));
    EXPECT_EQ(ctreetobuf(root, codes, nullptr, 4), 4);
    EXPECT_EQ(ctreetobuf(nullptr, codes, ds, 4), 0);
}

TEST(RankingTree, FallingDistancesBuildALongChain) {
    std::vector<tagCAND_LIST> nodes(5000);
    tagCAND_LIST* root = nullptr;
    for (int i = 0; i < 5000; ++i)
        ASSERT_TRUE(registcand(&root, &nodes[size_t(i)], 3, uint32_t(i), 5000 - i));
    uint16_t codes[3];
    int32_t ds[3];
    ASSERT_EQ(ctreetobuf(root, codes, ds, 3), 3);
    EXPECT_EQ(ds[0], 1);
    EXPECT_EQ(codes[2], 4997);
}

TEST(CandSearchTable, FindsEveryCodeAndNothingElse) {
    // 0x0002, 0x0200 and 0x03FF share one bucket.
    const std::vector<uint16_t> codes = {0x82A0, 0x0002, 0x889F, 0x0200, 0x0041, 0x9872};
    CANDTBL t;
    ASSERT_EQ(InitCandSearchTable(&t, codes.data(), int(codes.size())), 0);
    for (size_t i = 0; i < codes.size(); ++i)
        EXPECT_EQ(IsCandidate(&t, codes.data(), codes[i]), int(i));
    EXPECT_EQ(IsCandidate(&t, codes.data(), 0x03FF), -1);
    EXPECT_EQ(IsCandidate(&t, codes.data(), 0x82A1), -1);
    EXPECT_EQ(IsCandidate(&t, codes.data(), 0x7F0082A0), 0) << "only the low 16 bits count";
    FreeCandSearchTable(&t);
    EXPECT_EQ(t.hashtbl, nullptr);
    EXPECT_EQ(IsCandidate(&t, codes.data(), 0x82A0), -1);
}

TEST(CandSearchTable, EmptyAndOversizedTables) {
    CANDTBL t;
    ASSERT_EQ(InitCandSearchTable(&t, nullptr, 0), 0);
    for (uint32_t c : {0u, 0x41u, 0x82A0u}) EXPECT_EQ(IsCandidate(&t, nullptr, c), -1);
    FreeCandSearchTable(&t);
    std::vector<uint16_t> many(40000, 1);
    EXPECT_EQ(InitCandSearchTable(&t, many.data(), int(many.size())), 1);
    EXPECT_EQ(InitCandSearchTable(&t, many.data(), -1), 1);
}

} // namespace

TEST_F(Coarse, BothRankingsCountEveryCellAndDirection) {
    // One entry a template away from the input in each of the 72 features, by 3 to 7: both
    // rankings give it the square of that, whichever cell and direction it is in.
    const DFV& v = udata_.dfv;
    std::vector<CoarseDicEntry> es;
    for (int at = 0; at < 72; ++at)
        es.push_back(Entry(uint16_t(0x8900 + at), 3, {Away(v, 3 + at % 5, at)}));
    ASSERT_EQ(InitCoarseClassification(Write("every.dic", es).c_str()), 0);
    for (const bool anyDirection : {false, true}) {
        std::vector<uint16_t> codes;
        std::vector<int32_t> dists;
        ASSERT_EQ(Classify(codes, dists, 72, anyDirection), 72);
        for (size_t k = 0; k < codes.size(); ++k) {
            const int d = 3 + (codes[k] - 0x8900) % 5;
            EXPECT_EQ(dists[k], d * d) << "feature " << codes[k] - 0x8900 << ", " << anyDirection;
        }
    }
}
