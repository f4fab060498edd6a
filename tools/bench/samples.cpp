#include "tools/bench/samples.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "tools/mkdict/charset.h"

namespace bench {

namespace {

// A small JSON reader for the sample lines: objects, arrays, strings, numbers and the
// three literals; values other than "char" and "strokes" are read and ignored.
class Json {
public:
    explicit Json(const std::string& s) : s_(s) {}

    bool Fail(const std::string& why) {
        if (error_.empty()) error_ = why + " at column " + std::to_string(pos_ + 1);
        return false;
    }
    const std::string& Error() const { return error_; }

    void Blank() {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    }
    bool Eat(char c) {
        Blank();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool AtEnd() {
        Blank();
        return pos_ >= s_.size();
    }

    bool String(std::string& out) {
        out.clear();
        if (!Eat('"')) return Fail("string expected");
        while (pos_ < s_.size()) {
            char c = s_[pos_++];
            if (c == '"') return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size()) break;
            char e = s_[pos_++];
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                char32_t cp = 0;
                if (!Hex4(cp)) return Fail("bad \\u escape");
                if (cp >= 0xD800 && cp <= 0xDBFF) { // surrogate pair
                    char32_t lo = 0;
                    if (!(Eat('\\') && Eat('u') && Hex4(lo)) || lo < 0xDC00 || lo > 0xDFFF)
                        return Fail("bad surrogate pair");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                }
                out += mkdict::Utf8Of(cp);
                break;
            }
            default:
                return Fail("bad escape");
            }
        }
        return Fail("unterminated string");
    }

    bool Number(double& v) {
        Blank();
        const char* start = s_.c_str() + pos_;
        char* end = nullptr;
        v = std::strtod(start, &end);
        if (end == start || !std::isfinite(v)) return Fail("number expected");
        pos_ += static_cast<size_t>(end - start);
        return true;
    }

    // Skips any value.
    bool Skip(int depth = 0) {
        if (depth > 64) return Fail("nested too deeply");
        Blank();
        if (pos_ >= s_.size()) return Fail("value expected");
        char c = s_[pos_];
        if (c == '"') {
            std::string t;
            return String(t);
        }
        if (c == '[' || c == '{') {
            char close = c == '[' ? ']' : '}';
            ++pos_;
            if (Eat(close)) return true;
            do {
                if (c == '{') {
                    std::string k;
                    if (!String(k) || !Eat(':')) return Fail("member expected");
                }
                if (!Skip(depth + 1)) return false;
            } while (Eat(','));
            return Eat(close) || Fail(std::string("'") + close + "' expected");
        }
        for (const char* lit : {"true", "false", "null"}) {
            if (s_.compare(pos_, std::strlen(lit), lit) == 0) {
                pos_ += std::strlen(lit);
                return true;
            }
        }
        double d;
        return Number(d);
    }

private:
    bool Hex4(char32_t& v) {
        if (pos_ + 4 > s_.size()) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) {
            char c = s_[pos_++];
            int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                    : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                    : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                                                                : -1;
            if (d < 0) return false;
            v = v * 16 + static_cast<char32_t>(d);
        }
        return true;
    }

    const std::string& s_;
    size_t pos_ = 0;
    std::string error_;
};

bool Coordinate(Json& js, int16_t& out) {
    double v;
    if (!js.Number(v)) return false;
    if (v < -32768 || v > 32767) return js.Fail("coordinate out of range");
    out = static_cast<int16_t>(std::lround(v));
    return true;
}

bool Strokes(Json& js, std::vector<POINT_W>& pts) {
    if (!js.Eat('[')) return js.Fail("stroke list expected");
    if (js.Eat(']')) return true;
    do {
        if (!js.Eat('[')) return js.Fail("stroke expected");
        size_t first = pts.size();
        if (!js.Eat(']')) {
            do {
                POINT_W p{0, 0, 0};
                if (!js.Eat('[') || !Coordinate(js, p.x) || !js.Eat(',') || !Coordinate(js, p.y) ||
                    !js.Eat(']'))
                    return js.Fail("point [x, y] expected");
                pts.push_back(p);
            } while (js.Eat(','));
            if (!js.Eat(']')) return js.Fail("']' expected after a stroke");
        }
        if (pts.size() == first) continue; // an empty stroke carries nothing
        pts[first].attr |= PT_PENDOWN;
        pts.back().attr |= PT_PENUP;
    } while (js.Eat(','));
    return js.Eat(']') || js.Fail("']' expected after the strokes");
}

} // namespace

bool ParseSampleLine(const std::string& line, Sample& out, std::string& error) {
    out = Sample{};
    Json js(line);
    std::string ch;
    bool have_char = false, have_strokes = false, ok = js.Eat('{');
    if (!ok) js.Fail("object expected");
    if (ok && !js.Eat('}')) {
        do {
            std::string key;
            ok = js.String(key) && (js.Eat(':') || js.Fail("':' expected"));
            if (!ok) break;
            if (key == "char")
                ok = js.String(ch), have_char = true;
            else if (key == "strokes")
                ok = Strokes(js, out.points), have_strokes = true;
            else
                ok = js.Skip();
        } while (ok && js.Eat(','));
        ok = ok && (js.Eat('}') || js.Fail("'}' expected"));
    }
    ok = ok && (js.AtEnd() || js.Fail("text after the object"));
    if (!ok) {
        error = js.Error();
        return false;
    }
    if (!have_char || !have_strokes) {
        error = "\"char\" and \"strokes\" are both needed";
        return false;
    }
    auto code = mkdict::Cp932CodeOfUtf8(ch);
    // ASCII digits and letters are recognized as their full-width forms
    if (code && *code < 0x80) code = mkdict::DictionaryCodeFor(*code);
    if (!code) {
        error = "\"" + ch + "\" is not one CP932 character";
        return false;
    }
    if (out.points.empty()) {
        error = "no points";
        return false;
    }
    out.code = *code;
    return true;
}

std::string SampleLine(const Sample& s) {
    std::string out = "{\"char\": \"" + mkdict::Utf8OfCp932Code(s.code) + "\", \"strokes\": [";
    bool open = false;
    for (size_t i = 0; i < s.points.size(); ++i) {
        const POINT_W& p = s.points[i];
        if (p.attr & PT_PENDOWN || !open) {
            out += open ? "], [" : "[";
            open = true;
        } else {
            out += ", ";
        }
        out += "[" + std::to_string(p.x) + ", " + std::to_string(p.y) + "]";
    }
    out += open ? "]]}" : "]}";
    return out;
}

std::vector<Sample> ReadSampleLines(std::istream& in, std::vector<std::string>& errors) {
    std::vector<Sample> out;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        Sample s;
        std::string why;
        if (ParseSampleLine(line, s, why))
            out.push_back(std::move(s));
        else
            errors.push_back("line " + std::to_string(number) + ": " + why);
    }
    return out;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    double rank = std::ceil(p / 100.0 * static_cast<double>(v.size()));
    size_t i = static_cast<size_t>(std::clamp(rank, 1.0, static_cast<double>(v.size()))) - 1;
    return v[i];
}

} // namespace bench
