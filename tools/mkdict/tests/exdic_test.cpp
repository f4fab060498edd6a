#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tools/mkdict/exdic.h"

using namespace mkdict;
namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
unsigned U(const std::string& s, size_t at, int n) {
    unsigned v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

} // namespace

TEST(ModelEntry, ScalesThinsAndClamps) {
    // a straight stroke with many collinear points keeps only its ends
    Polyline line;
    for (int i = 0; i <= 50; ++i) line.push_back({10.0 + i, 20});
    Ink ink{line, {{0, 0}, {54.5, 109}, {200, -5}}};
    ModelEntry e = MakeModelEntry(0x96BE, ink);
    ASSERT_EQ(e.strokes.size(), 2u);
    ASSERT_EQ(e.strokes[0].size(), 2u);
    EXPECT_EQ(e.strokes[0][0], (std::pair<uint8_t, uint8_t>{20, 40}));
    EXPECT_EQ(e.strokes[0][1], (std::pair<uint8_t, uint8_t>{120, 40}));
    ASSERT_EQ(e.strokes[1].size(), 3u);
    EXPECT_EQ(e.strokes[1][1], (std::pair<uint8_t, uint8_t>{109, 218}));
    EXPECT_EQ(e.strokes[1][2], (std::pair<uint8_t, uint8_t>{218, 0})); // clamped, no marker
}

TEST(ModelDictionary, FileLayout) {
    ModelEntry a{0x9000, {{{10, 10}, {20, 20}}, {{30, 30}}}};
    ModelEntry b{0x82A0, {{{1, 2}}}};
    fs::path p = fs::temp_directory_path() / ("mkdict_exdic_" + std::to_string(::getpid()));
    std::string err;
    ASSERT_TRUE(WriteModelDictionary(p.string(), {a, b, a}, err)) << err;
    std::string s = ReadAll(p);
    // header
    EXPECT_EQ(U(s, 0, 4), 12u + 2 * 10); // data base after the index
    EXPECT_EQ(U(s, 4, 2), 2u);           // duplicate code kept once
    EXPECT_EQ(U(s, 8, 2), unsigned(kModelBoxSize));
    EXPECT_EQ(U(s, 10, 2), unsigned(kModelBoxSize));
    // index sorted by code
    EXPECT_EQ(U(s, 12, 2), 0x82A0u);
    EXPECT_EQ(U(s, 14, 4), 0u);
    EXPECT_EQ(U(s, 22, 2), 0x9000u);
    EXPECT_EQ(U(s, 24, 4), 4u); // after b's point and end marker
    // data: b = (1,2)(254,254); a = (10,10)(20,20)(255,255)(30,30)(254,254)
    const unsigned char expect[] = {1, 2, 254, 254, 10, 10, 20, 20, 255, 255, 30, 30, 254, 254};
    ASSERT_EQ(s.size(), 32u + sizeof expect);
    for (size_t i = 0; i < sizeof expect; ++i)
        EXPECT_EQ(static_cast<unsigned char>(s[32 + i]), expect[i]) << i;
    std::vector<ModelEntry> back;
    uint16_t w = 0, h = 0;
    ASSERT_TRUE(ReadModelDictionary(p.string(), back, w, h, err)) << err;
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[1].code, 0x9000);
    EXPECT_EQ(back[1].strokes, a.strokes);
    // cut inside the data: refused
    std::ofstream(p, std::ios::binary | std::ios::trunc) << s.substr(0, s.size() - 2);
    EXPECT_FALSE(ReadModelDictionary(p.string(), back, w, h, err));
    fs::remove(p);
}

TEST(ModelDictionary, NothingToWriteIsAnError) {
    std::string err;
    fs::path p = fs::temp_directory_path() / ("mkdict_exdic0_" + std::to_string(::getpid()));
    EXPECT_FALSE(WriteModelDictionary(p.string(), {}, err));
    EXPECT_FALSE(WriteModelDictionary(p.string(), {ModelEntry{0x82A0, {}}}, err));
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(fs::exists(p));
}
