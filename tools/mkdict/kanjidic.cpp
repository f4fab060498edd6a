#include "tools/mkdict/kanjidic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "recservice/charprior.h"
#include "tools/mkdict/charset.h"
#include "tools/mkdict/corpus.h"
#include "tools/mkdict/same_shape.h"

namespace mkdict {

namespace {

// The first code point of UTF-8 text (0 when there is none or it is malformed).
char32_t FirstCodePoint(const std::string& s) {
    if (s.empty()) return 0;
    auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char c = b(0);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || s.size() < n) return 0;
    char32_t cp = n == 1 ? c : c & (0x7F >> n);
    for (size_t i = 1; i < n; ++i) {
        if ((b(i) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i) & 0x3F);
    }
    return cp;
}

// The number after a field letter, or 0 when the rest is not all digits.
int FieldNumber(const std::string& token, size_t from, int base = 10) {
    if (from >= token.size() || token.size() - from > 6) return 0;
    char* end = nullptr;
    long v = std::strtol(token.c_str() + from, &end, base);
    return *end ? 0 : static_cast<int>(v);
}

// Weights (0..255). Kanji taught at school rank first (grade 1 highest), then the other
// common-use kanji; a newspaper frequency rank can raise a kanji to the top. Other
// characters (kana, letters, digits, marks) lie between common kanji and name kanji, so
// that 力 goes before カ, ト before 卜, and small and full-size kana keep their order.
constexpr int kNonKanjiWeight = 200;
constexpr int kSchoolWeight = 240; // grade 1, 4 less per grade
constexpr int kSecondaryWeight = 190;
constexpr int kNameWeight = 110;
constexpr int kCommonestRanks = 2500;

} // namespace

std::vector<KanjidicEntry> KanjidicEntries(const std::string& utf8) {
    std::vector<KanjidicEntry> out;
    std::istringstream in(utf8);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        KanjidicEntry entry;
        fields >> entry.character;
        std::string token;
        while (fields >> token) {
            if (token[0] == '{') break; // the meanings
            if (token[0] == 'U')
                entry.code_point = static_cast<char32_t>(FieldNumber(token, 1, 16));
            if (token[0] == 'G') entry.info.grade = FieldNumber(token, 1);
            if (token[0] == 'F' && token.size() > 1 &&
                std::all_of(token.begin() + 1, token.end(),
                            [](char c) { return c >= '0' && c <= '9'; }))
                // ranks run to a few thousand; a longer number is clamped, not overflowed
                entry.info.frequency =
                    token.size() > 7 ? kMaxKanjidicRank
                                     : std::min(kMaxKanjidicRank, std::atoi(token.c_str() + 1));
        }
        out.push_back(std::move(entry));
    }
    return out;
}

std::map<char32_t, KanjiInfo> ParseKanjidic(const std::string& utf8) {
    std::map<char32_t, KanjiInfo> out;
    for (const auto& entry : KanjidicEntries(utf8))
        if (entry.code_point) out[entry.code_point] = entry.info;
    return out;
}

bool ReadKanjidic(const std::string& path, std::map<char32_t, KanjiInfo>& out, std::string& error) {
    std::string raw, why;
    if (!ReadMaybeGzip(path, raw, why)) {
        error = why;
        return false;
    }
    auto text = DecodeJapaneseText(raw);
    if (!text) {
        error = path + ": neither EUC-JP nor UTF-8";
        return false;
    }
    out = ParseKanjidic(*text);
    if (out.empty()) {
        error = path + ": no KANJIDIC entries";
        return false;
    }
    return true;
}

uint8_t PriorWeight(uint16_t code, const KanjiInfo* info) {
    if (code < 0x889F) return kNonKanjiWeight; // the kanji classes start at 0x889F
    if (!info) return 0;
    int w = 0;
    if (info->grade >= 1 && info->grade <= 6)
        w = kSchoolWeight - 4 * (info->grade - 1);
    else if (info->grade == 8)
        w = kSecondaryWeight;
    else if (info->grade == 9 || info->grade == 10)
        w = kNameWeight;
    if (info->frequency >= 1 && info->frequency <= kCommonestRanks) {
        double f = 255 - 60 * std::log(static_cast<double>(info->frequency)) /
                             std::log(static_cast<double>(kCommonestRanks));
        w = std::max(w, static_cast<int>(std::lround(f)));
    }
    return static_cast<uint8_t>(std::clamp(w, 0, 255));
}

bool WriteCharPriorFile(const std::string& path, const std::vector<uint16_t>& codes,
                        const std::vector<Ink>& drawings,
                        const std::map<char32_t, KanjiInfo>* kanjidic, int span, double same_shape,
                        std::string& error) {
    if (codes.size() != drawings.size()) {
        error = path + ": codes and drawings do not pair up";
        return false;
    }
    struct Entry {
        uint16_t code;
        uint8_t weight;
        uint16_t group;
    };
    std::vector<Entry> entries;
    if (kanjidic) {
        const std::vector<int> groups = SameShapeGroups(drawings, same_shape, kSameShapeMaxStrokes);
        for (size_t i = 0; i < codes.size(); ++i) {
            if (groups[i] == 0 || groups[i] > 0xFFFF) continue;
            auto it = kanjidic->find(FirstCodePoint(Utf8OfCp932Code(codes[i])));
            entries.push_back({codes[i],
                               PriorWeight(codes[i], it == kanjidic->end() ? nullptr : &it->second),
                               static_cast<uint16_t>(groups[i])});
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.code < b.code; });
    std::vector<uint16_t> listed, groups;
    std::vector<uint8_t> weights;
    for (const Entry& e : entries) {
        if (!listed.empty() && listed.back() == e.code) continue;
        listed.push_back(e.code);
        weights.push_back(e.weight);
        groups.push_back(e.group);
    }
    int r = iWriteCharPrior(path.c_str(), span, listed.data(), weights.data(), groups.data(),
                            static_cast<int32_t>(listed.size()));
    if (r != CHARPRIOR_OK) {
        error = path + (r == CHARPRIOR_FILE ? ": cannot write" : ": bad prior span");
        return false;
    }
    return true;
}

} // namespace mkdict
