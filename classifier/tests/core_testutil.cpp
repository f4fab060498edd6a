#include "classifier/tests/core_testutil.h"

#include <cstdlib>
#include <random>
#include <system_error>
#include <unistd.h>

namespace core_test {

std::vector<POINT_W> Ink(const Shape& shape) {
    std::vector<POINT_W> pts;
    for (const Stroke& s : shape) {
        for (size_t i = 0; i < s.size(); ++i) {
            uint8_t a = 0;
            if (i == 0) a |= PT_PENDOWN;
            if (i + 1 == s.size()) a |= PT_PENUP;
            pts.push_back(POINT_W{int16_t(s[i].first), int16_t(s[i].second), a});
        }
    }
    return pts;
}

void FillPattern(PATTERN_B* pat, const Shape& shape, const std::vector<uint8_t>& extra) {
    std::vector<POINT_W> ink = Ink(shape);
    NewPatternPoints(pat, int(ink.size()));
    for (size_t i = 0; i < ink.size(); ++i) {
        pat->data[i].x = uint8_t(ink[i].x);
        pat->data[i].y = uint8_t(ink[i].y);
        pat->data[i].attr = uint8_t(ink[i].attr | (i < extra.size() ? extra[i] : 0));
    }
    SetPatternLength(pat);
}

PATTERN_B Prepared(const Shape& shape) {
    std::vector<POINT_W> ink = Ink(shape);
    PATTERN_W w{ink.data(), int32_t(ink.size())};
    PAT_POS pos;
    PATTERN_B out{};
    createpat(&pos, &w, &out);
    return out;
}

Shape Ell() {
    return {{{20, 10}, {20, 110}, {110, 110}}};
}
Shape Cross() {
    return {{{10, 64}, {118, 64}}, {{64, 10}, {64, 118}}};
}
Shape Kou() {
    return {{{20, 20}, {108, 20}}, {{64, 20}, {64, 108}}, {{10, 108}, {118, 108}}};
}
Shape Bar() {
    return {{{10, 64}, {118, 64}}};
}
Shape Post() {
    return {{{64, 10}, {64, 118}}};
}

Shape Zigzag(int seed) {
    std::mt19937 rng(unsigned(seed) * 2654435761u + 7u);
    std::uniform_int_distribution<int> c(0, 128);
    const int strokes = 2 + seed % 2;
    Shape s;
    for (int k = 0; k < strokes; ++k) {
        Stroke st;
        const int n = 2 + int(rng() % 3);
        for (int i = 0; i < n; ++i) st.push_back({c(rng), c(rng)});
        s.push_back(st);
    }
    return s;
}

Shape Scaled(const Shape& s, int num, int den, int ox, int oy) {
    Shape out = s;
    for (Stroke& st : out)
        for (auto& p : st) p = {p.first * num / den + ox, p.second * num / den + oy};
    return out;
}

int Build(CRDIC* dic, const std::vector<Cat>& cats) {
    int rc = NewCRDictionary(dic, int(cats.size()));
    if (rc) return rc;
    for (size_t i = 0; i < cats.size(); ++i) {
        const Cat& c = cats[i];
        tagCATEGORY* kj = dic->ctg[i + 1];
        kj->code = c.code;
        kj->status = c.status;
        kj->size = c.size;
        for (int k = 0; k < 2; ++k) {
            kj->div[k].part = dic->ctg[c.part[k]];
            kj->div[k].pos = c.pos[k];
            kj->div[k].size = c.psize[k];
        }
        NewCategoryPatterns(kj, int(c.patterns.size()));
        for (size_t k = 0; k < c.patterns.size(); ++k)
            FillPattern(&kj->patdic.pat[k], c.patterns[k]);
    }
    return UpdateCRDictionaryLimits(dic);
}

int Write(const std::string& path, const std::vector<Cat>& cats) {
    CRDIC dic{};
    int rc = Build(&dic, cats);
    if (rc == 0) rc = WriteCRDictionary(path.c_str(), &dic);
    FreeCRDictionary(&dic);
    return rc;
}

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "coretestXXXXXX").string();
    char* p = mkdtemp(tmpl.data());
    path_ = p ? p : tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

} // namespace core_test
