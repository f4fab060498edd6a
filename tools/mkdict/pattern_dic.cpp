#include "tools/mkdict/pattern_dic.h"

#include <algorithm>

#include "classifier/crdic.h"
#include "classifier/strokematch.h"
#include "tools/mkdict/distort.h"

namespace mkdict {

PreparedPattern PreparePattern(const Ink& ink, const PatternOptions& options) {
    // A dense, even rendering of the drawing in a box four times the drawing's size.
    std::vector<POINT_W> pts = CleanWriting(ink, 4 * kKvgBoxSize);
    PreparedPattern out;
    if (pts.empty()) return out;
    PATTERN_W in = AsPattern(pts);
    PAT_POS pos{};
    PATTERN_B pb{};
    if (createpat(&pos, &in, &pb) != 0) return out;
    out.resize(static_cast<size_t>(pb.num));
    for (int i = 0; i < pb.num; ++i) {
        const POINT_B& p = pb.data[i];
        uint8_t attr = p.attr & (PB_PENDOWN | PB_PENUP);
        if (options.nodir_below > 0 && i > 0 && !(p.attr & PB_PENDOWN) && p.l < options.nodir_below)
            attr |= PB_NODIR;
        out[static_cast<size_t>(i)] = {p.x, p.y, attr};
    }
    releasepat(&pb);
    return out;
}

uint8_t SizeNibbles(const PreparedPattern& pattern) {
    int w = 0, h = 0;
    for (const auto& p : pattern) w = std::max<int>(w, p.x), h = std::max<int>(h, p.y);
    // the box-coordinate index whose coordinate (k * 128 / 15) lies nearest the extent
    auto index = [](int v) { return std::clamp((v * 15 + 64) / 128, 0, 15); };
    return static_cast<uint8_t>((index(w) << 4) | index(h));
}

bool OpenPatternTables() {
    if (initcrlib() != 0) return false;
    calcxytable();
    return MakeLengthTable() == 0;
}

void ClosePatternTables() {
    FreeLengthTable();
    closecrlib();
}

bool WritePatternDictionary(const std::string& path, const std::vector<PatternCategory>& cats,
                            std::string& error) {
    CRDIC dic{};
    if (NewCRDictionary(&dic, static_cast<int>(cats.size())) != 0) {
        error = "out of memory";
        return false;
    }
    bool ok = true;
    for (size_t i = 0; i < cats.size() && ok; ++i) {
        tagCATEGORY* kj = dic.ctg[i + 1];
        const auto& c = cats[i];
        kj->code = c.code;
        kj->status = c.status;
        kj->size = c.patterns.empty() ? 0xFF : SizeNibbles(c.patterns.front());
        if (c.patterns.size() > 255) {
            error = "more than 255 patterns for one character";
            ok = false;
            break;
        }
        if (c.patterns.empty()) continue;
        if (NewCategoryPatterns(kj, static_cast<int>(c.patterns.size())) != 0) {
            error = "out of memory";
            ok = false;
            break;
        }
        for (size_t k = 0; k < c.patterns.size() && ok; ++k) {
            const auto& src = c.patterns[k];
            PATTERN_B* pb = &kj->patdic.pat[k];
            if (src.empty() || src.size() > 0x7FFF ||
                NewPatternPoints(pb, static_cast<int>(src.size())) != 0) {
                error = "a pattern cannot be stored";
                ok = false;
                break;
            }
            for (size_t j = 0; j < src.size(); ++j) {
                pb->data[j].x = src[j].x;
                pb->data[j].y = src[j].y;
                pb->data[j].attr = src[j].attr;
            }
        }
    }
    if (ok && WriteCRDictionary(path.c_str(), &dic) != 0) {
        error = path + ": cannot write the pattern dictionary";
        ok = false;
    }
    FreeCRDictionary(&dic);
    return ok;
}

} // namespace mkdict
