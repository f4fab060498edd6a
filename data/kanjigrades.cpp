// Writes the kanji of one school grade, one a line in Shift-JIS, from a KANJIDIC file
// (EUC-JP, one kanji a line with its fields; the school grade is the field "G<n>").
// Usage: kanjigrades <kanjidic> <grade> <output> [RANDOM]
// With RANDOM the output starts with the line "RANDOM", which makes the game shuffle it.
#include <cstdio>
#include <fstream>
#include <iconv.h>
#include <iostream>
#include <sstream>
#include <string>

namespace {

// The Shift-JIS bytes of EUC-JP text, or an empty string when it cannot be converted.
std::string EucToSjis(const std::string& euc) {
    iconv_t cd = iconv_open("CP932", "EUC-JP");
    if (cd == iconv_t(-1)) return {};
    std::string in = euc, out(euc.size() * 2 + 4, '\0');
    char* src = in.data();
    char* dst = out.data();
    size_t srcLeft = in.size(), dstLeft = out.size();
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == size_t(-1)) return {};
    out.resize(out.size() - dstLeft);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: kanjigrades <kanjidic> <grade> <output> [RANDOM]\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "kanjigrades: cannot read " << argv[1] << "\n";
        return 1;
    }
    const std::string grade = std::string("G") + argv[2];
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    if (!out) {
        std::cerr << "kanjigrades: cannot write " << argv[3] << "\n";
        return 1;
    }
    if (argc > 4 && std::string(argv[4]) == "RANDOM") out << "RANDOM\r\n";
    std::string line;
    int count = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string kanji, field;
        fields >> kanji;
        bool inGrade = false;
        while (fields >> field)
            if (field == grade) inGrade = true;
        if (!inGrade) continue;
        const std::string sjis = EucToSjis(kanji);
        if (sjis.empty()) continue;
        out << sjis << "\r\n";
        ++count;
    }
    if (count == 0) {
        std::cerr << "kanjigrades: no kanji of grade " << argv[2] << " in " << argv[1] << "\n";
        return 1;
    }
    return out ? 0 : 1;
}
