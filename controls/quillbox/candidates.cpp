#include "controls/quillbox/candidates.h"

#include <algorithm>
#include <cstdio>

namespace quillbox {

uint32_t CategoryMask(const CategoryFlags& f) {
    uint32_t mask = 0;
    if (f.hira) mask |= 0x01;
    if (f.num) mask |= 0x02;
    if (f.kana) mask |= 0x04;
    if (f.other) mask |= 0x88;
    if (f.kanji1) mask |= 0x10;
    if (f.kanji2) mask |= 0x20;
    if (f.alphaLower || f.alphaUpper) mask |= 0x40;
    if (f.punc) mask |= 0x100;
    return mask;
}

std::string CandidateText(uint32_t code) {
    const char hi = static_cast<char>((code >> 8) & 0xFF);
    const char lo = static_cast<char>(code & 0xFF);
    if (hi != 0) return std::string{hi, lo};
    if (lo != 0) return std::string(1, lo);
    return {};
}

uint32_t CandidateCode(const std::string& text) {
    if (text.size() == 2)
        return (static_cast<uint32_t>(static_cast<unsigned char>(text[0])) << 8) |
               static_cast<unsigned char>(text[1]);
    if (text.size() == 1) return static_cast<unsigned char>(text[0]);
    return 0;
}

std::string ScoreText(int32_t score) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%-4d", static_cast<int>(score));
    return buf;
}

bool IsSmallKana(uint32_t code) {
    static constexpr uint16_t kSmall[] = {0x829F, 0x82A1, 0x82A3, 0x82A5, 0x82A7, 0x82C1,
                                          0x82E1, 0x82E3, 0x82E5, 0x8340, 0x8342, 0x8344,
                                          0x8346, 0x8348, 0x8362, 0x8383, 0x8385, 0x8387};
    return std::find(std::begin(kSmall), std::end(kSmall), code) != std::end(kSmall);
}

namespace {

bool IsSmallAO(uint32_t code) {
    return code == 0x829F || code == 0x82A1 || code == 0x82A3 || code == 0x82A5 || code == 0x82A7;
}

bool Dropped(uint32_t code, const CategoryFlags& f) {
    if (code >= 0x8281 && code <= 0x829A) return !f.alphaLower;
    if (code >= 0x8260 && code <= 0x8279) return !f.alphaUpper;
    if (IsSmallAO(code)) return !f.smallAO;
    return false;
}

} // namespace

FilteredCandidates FilterCandidates(CR_RESULT* list, const CategoryFlags& flags) {
    FilteredCandidates out;
    int kept = 0;
    int walked = 0;
    for (; walked < kCandidateCount && list[walked].code != 0; ++walked) {
        const CR_RESULT entry = list[walked];
        if (Dropped(entry.code, flags)) {
            list[kept].code = 0;
            list[kept].score = 0;
            continue;
        }
        list[kept++] = entry;
        out.chars += CandidateText(entry.code);
        out.scores += ScoreText(entry.score);
    }
    // Entries after the last kept one would otherwise still hold candidates the walk
    // already passed, some of them of the very classes just removed.
    if (kept < walked && kept < kCandidateCount) {
        list[kept].code = 0;
        list[kept].score = 0;
    }
    return out;
}

int NextCandidate(const CR_RESULT* list, int selectNum, const std::string& current) {
    selectNum = std::min(selectNum, kCandidateCount);
    if (selectNum < 1 || list[0].code == 0) return -1;
    int i = 0;
    while (i < selectNum && list[i].code != 0 && CandidateText(list[i].code) != current) ++i;
    int next = i + 1 < selectNum ? i + 1 : 0;
    if (list[next].code == 0) next = 0;
    return next;
}

void MoveToHead(CR_RESULT* list, const std::string& result) {
    int i = 0;
    int32_t patNo = 0;
    while (i < kCandidateCount && CandidateText(list[i].code) != result) ++i;
    if (i == 0) return; // already at the head, score and all
    if (i < kCandidateCount) patNo = list[i].pat_no;
    for (int k = std::min(i, kCandidateCount - 1) - 1; k >= 0; --k) list[k + 1] = list[k];
    list[0].code = CandidateCode(result);
    list[0].score = list[1].score;
    list[0].pat_no = patNo;
}

} // namespace quillbox
