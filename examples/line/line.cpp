// Recognizes a handwritten line given as strokes on the command line, through the
// recognition service's string recognition:
//     tessera-line "10,100 90,100" "110,60 190,60" "110,140 190,140"
// One argument per stroke in writing order, its points "x,y" separated by blanks, in
// pixels, y downwards. Prints the result strings, best first, one a line, then the
// characters of the best one with the strokes each is made of. Exit status 0 when the
// line was read, 1 when not, 2 for bad arguments or when the service does not open.
//
// Build with pkg-config:  c++ line.cpp $(pkg-config --cflags --libs tessera)
#include <tessera/veltarec.h>

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Stroke = std::vector<tagPOINT>;

// The points of one stroke argument; false when it is not a list of "x,y".
bool ReadStroke(const std::string& text, Stroke& stroke) {
    std::istringstream in(text);
    std::string point;
    while (in >> point) {
        tagPOINT p{};
        char comma = 0;
        std::istringstream xy(point);
        if (!(xy >> p.x >> comma >> p.y) || comma != ',' || !xy.eof()) return false;
        stroke.push_back(p);
    }
    return !stroke.empty();
}

// Shift-JIS text to UTF-8.
std::string Utf8(const std::string& sjis) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return sjis;
    std::string out(sjis.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(sjis.data());
    size_t inLeft = sjis.size();
    char* next = out.data();
    size_t outLeft = out.size();
    const bool ok = iconv(cd, &in, &inLeft, &next, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    out.resize(ok ? out.size() - outLeft : 0);
    return ok ? out : "?";
}

// The characters of a Shift-JIS string: a lead byte takes the byte after it along.
std::vector<std::string> Characters(const std::string& sjis) {
    std::vector<std::string> chars;
    for (size_t i = 0; i < sjis.size();) {
        const auto lead = static_cast<unsigned char>(sjis[i]);
        const size_t n = ((lead >= 0x81 && lead <= 0x9F) || lead >= 0xE0) ? 2 : 1;
        chars.push_back(sjis.substr(i, n));
        i += n;
    }
    return chars;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<Stroke> strokes(static_cast<size_t>(std::max(argc - 1, 0)));
    for (int i = 1; i < argc; ++i) {
        if (!ReadStroke(argv[i], strokes[static_cast<size_t>(i - 1)])) {
            std::fprintf(stderr, "stroke %d is not a list of x,y points\n", i);
            return 2;
        }
    }
    if (strokes.empty()) {
        std::fprintf(stderr,
                     "usage: %s \"x,y x,y ...\" [\"x,y ...\" ...] (one argument a stroke)\n",
                     argv[0]);
        return 2;
    }
    if (OpenDictionary() != 1) {
        std::fprintf(stderr,
                     "the recognition service did not open (VELTAREC.INI or a dictionary)\n");
        return 2;
    }

    SRHANDLE line = CreateNewObject();
    bool read = line != nullptr;
    for (Stroke& stroke : strokes)
        read = read && AddStrokeLast(line, stroke.data(), static_cast<int32_t>(stroke.size())) == 0;
    read = read && RecognizeNF(line) == 0 && GetResultCount(line) > 0;
    if (read) {
        for (int32_t n = 0; n < GetResultCount(line) && n < 5; ++n) {
            int32_t length = 0;
            if (const char* text = GetString(line, n, &length))
                std::printf("%s\n", Utf8(text).c_str());
        }
        int32_t length = 0;
        const char* best = GetString(line, 0, &length);
        const std::vector<std::string> chars = Characters(best ? best : "");
        for (size_t c = 0; c < chars.size(); ++c) {
            int32_t head = 0, tail = 0;
            if (GetStrokeNoOfNthChar(line, 0, static_cast<int32_t>(c), &head, &tail) == 0)
                std::printf("  %s: strokes %d-%d\n", Utf8(chars[c]).c_str(), head, tail);
        }
    }
    if (line) DestroyObject(line);
    CloseDictionary();
    return read ? 0 : 1;
}
