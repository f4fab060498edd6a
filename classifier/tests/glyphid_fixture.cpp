#include "glyphid_fixture.h"

#include <atomic>
#include <unistd.h>

#include "classifier/crdic.h"
#include "classifier/normalize.h"

namespace glyphid_test {

std::vector<POINT_W> Ink(const Shape& shape) {
    std::vector<POINT_W> pts;
    for (const Stroke& s : shape) {
        for (size_t i = 0; i < s.size(); ++i) {
            uint8_t attr = 0;
            if (i == 0) attr |= PT_PENDOWN;
            if (i + 1 == s.size()) attr |= PT_PENUP;
            pts.push_back(POINT_W{int16_t(s[i].first), int16_t(s[i].second), attr});
        }
    }
    return pts;
}

Shape Cross() {
    return {{{0, 64}, {128, 64}}, {{64, 0}, {64, 128}}};
}
Shape Ell() {
    return {{{0, 0}, {0, 128}, {128, 128}}};
}
Shape Kou() {
    return {{{16, 0}, {112, 0}}, {{64, 0}, {64, 128}}, {{0, 128}, {128, 128}}};
}
Shape Slash() {
    return {{{128, 0}, {0, 128}}};
}

Shape Scaled(const Shape& s, int num, int den, int ox, int oy) {
    Shape out = s;
    for (Stroke& st : out)
        for (auto& p : st) p = {ox + p.first * num / den, oy + p.second * num / den};
    return out;
}

bool WritePatternDictionary(const std::string& path, const std::vector<Category>& cats) {
    CRDIC dic{};
    if (NewCRDictionary(&dic, int(cats.size())) != 0) return false;
    bool ok = true;
    for (size_t c = 0; c < cats.size() && ok; ++c) {
        const Category& src = cats[c];
        tagCATEGORY* kj = dic.ctg[c + 1];
        kj->code = src.code;
        kj->status = src.status;
        kj->size = src.size;
        if (src.status & CTG_COMPOSITE) {
            for (int k = 0; k < 2; ++k) {
                kj->div[k].part = dic.ctg[src.part[k]];
                kj->div[k].pos = src.pos[k];
                kj->div[k].size = src.partSize[k];
            }
        }
        if (src.patterns.empty()) continue;
        if (NewCategoryPatterns(kj, int(src.patterns.size())) != 0) {
            ok = false;
            break;
        }
        for (size_t p = 0; p < src.patterns.size() && ok; ++p) {
            const std::vector<POINT_W> ink = Ink(src.patterns[p]);
            PATTERN_B* pat = &kj->patdic.pat[p];
            if (NewPatternPoints(pat, int(ink.size())) != 0) {
                ok = false;
                break;
            }
            for (size_t i = 0; i < ink.size(); ++i) {
                pat->data[i].x = uint8_t(ink[i].x);
                pat->data[i].y = uint8_t(ink[i].y);
                pat->data[i].attr = ink[i].attr;
            }
            SetPatternLength(pat);
        }
    }
    ok = ok && UpdateCRDictionaryLimits(&dic) == 0 && WriteCRDictionary(path.c_str(), &dic) == 0;
    FreeCRDictionary(&dic);
    return ok;
}

CoarseDicEntry CoarseEntry(uint16_t code, const std::vector<POINT_W>& ink, int d) {
    std::vector<POINT_W> copy = ink;
    PATTERN_W p{copy.data(), int32_t(copy.size())};
    UDATA u{};
    UnionData(&p, &u);
    CoarseDicEntry e;
    e.code = code;
    e.oncd = ONLINE_CC_DIC{uint8_t(u.stdata.stnum), 255, 0, 255, 0, 255, 0, 255, 0};
    DFV t = u.dfv;
    t.v[0] = uint8_t(t.v[0] + d <= 255 ? t.v[0] + d : t.v[0] - d);
    e.templates = {t};
    return e;
}

bool WriteCoarse(const std::string& path, std::vector<CoarseDicEntry> entries) {
    SortCoarseDicEntries(entries);
    return WriteCoarseClassificationDic(path, entries) == 0;
}

TempDir::TempDir() {
    static std::atomic<int> serial{0};
    path_ = std::filesystem::temp_directory_path() /
            ("glyphid_test_" + std::to_string(getpid()) + "_" + std::to_string(serial++));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

} // namespace glyphid_test
