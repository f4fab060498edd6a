#include "tools/recognize/json_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace recognize {

const JsonValue* JsonValue::Find(std::string_view name) const {
    for (const auto& member : members)
        if (member.name == name) return &member.value;
    return nullptr;
}

namespace {

class Parser {
public:
    Parser(std::string_view text, const JsonLimits& limits)
        : s_(text), limits_(limits), maxDepth_(std::min(limits.maxDepth, kMaxJsonDepth)) {}

    JsonResult Run() {
        JsonResult result;
        SkipBlanks();
        if (!ParseValue(result.value, 0)) {
            result.error = error_;
            return result;
        }
        SkipBlanks();
        if (pos_ != s_.size()) {
            Fail("unexpected characters after the value");
            result.error = error_;
            return result;
        }
        result.ok = true;
        return result;
    }

private:
    bool Fail(const std::string& what) {
        if (error_.empty()) error_ = what + " at byte " + std::to_string(pos_ + 1);
        return false;
    }

    void SkipBlanks() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r'))
            ++pos_;
    }

    bool Literal(std::string_view word) {
        if (s_.substr(pos_, word.size()) != word) return Fail("invalid literal");
        pos_ += word.size();
        return true;
    }

    bool ParseValue(JsonValue& out, int depth) {
        if (++values_ > limits_.maxValues) return Fail("too many values");
        if (pos_ >= s_.size()) return Fail("unexpected end of input");
        switch (s_[pos_]) {
        case '{':
            return ParseObject(out, depth + 1);
        case '[':
            return ParseArray(out, depth + 1);
        case '"':
            out.type = JsonValue::Type::String;
            return ParseString(out.text);
        case 't':
            out.type = JsonValue::Type::Bool;
            out.boolean = true;
            return Literal("true");
        case 'f':
            out.type = JsonValue::Type::Bool;
            return Literal("false");
        case 'n':
            out.type = JsonValue::Type::Null;
            return Literal("null");
        default:
            return ParseNumber(out);
        }
    }

    bool ParseObject(JsonValue& out, int depth) {
        if (depth > maxDepth_) return Fail("nesting too deep");
        out.type = JsonValue::Type::Object;
        ++pos_; // '{'
        SkipBlanks();
        if (pos_ < s_.size() && s_[pos_] == '}') {
            ++pos_;
            return true;
        }
        for (;;) {
            SkipBlanks();
            if (pos_ >= s_.size() || s_[pos_] != '"') return Fail("expected a member name");
            std::string key;
            if (!ParseString(key)) return false;
            if (out.Find(key)) return Fail("duplicate member \"" + key + "\"");
            SkipBlanks();
            if (pos_ >= s_.size() || s_[pos_] != ':') return Fail("expected ':'");
            ++pos_;
            SkipBlanks();
            JsonValue value;
            if (!ParseValue(value, depth)) return false;
            out.members.push_back({std::move(key), std::move(value)});
            SkipBlanks();
            if (pos_ < s_.size() && s_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < s_.size() && s_[pos_] == '}') {
                ++pos_;
                return true;
            }
            return Fail("expected ',' or '}'");
        }
    }

    bool ParseArray(JsonValue& out, int depth) {
        if (depth > maxDepth_) return Fail("nesting too deep");
        out.type = JsonValue::Type::Array;
        ++pos_; // '['
        SkipBlanks();
        if (pos_ < s_.size() && s_[pos_] == ']') {
            ++pos_;
            return true;
        }
        for (;;) {
            SkipBlanks();
            JsonValue value;
            if (!ParseValue(value, depth)) return false;
            out.items.push_back(std::move(value));
            SkipBlanks();
            if (pos_ < s_.size() && s_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < s_.size() && s_[pos_] == ']') {
                ++pos_;
                return true;
            }
            return Fail("expected ',' or ']'");
        }
    }

    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    bool ParseNumber(JsonValue& out) {
        const size_t start = pos_;
        if (pos_ < s_.size() && s_[pos_] == '-') ++pos_;
        if (pos_ >= s_.size() || !IsDigit(s_[pos_])) return Fail("invalid value");
        if (s_[pos_] == '0') {
            ++pos_;
        } else {
            while (pos_ < s_.size() && IsDigit(s_[pos_])) ++pos_;
        }
        if (pos_ < s_.size() && s_[pos_] == '.') {
            ++pos_;
            if (pos_ >= s_.size() || !IsDigit(s_[pos_])) return Fail("digit expected after '.'");
            while (pos_ < s_.size() && IsDigit(s_[pos_])) ++pos_;
        }
        if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-')) ++pos_;
            if (pos_ >= s_.size() || !IsDigit(s_[pos_])) return Fail("digit expected in exponent");
            while (pos_ < s_.size() && IsDigit(s_[pos_])) ++pos_;
        }
        if (pos_ - start > 64) return Fail("number too long");
        const std::string digits(s_.substr(start, pos_ - start));
        out.type = JsonValue::Type::Number;
        out.number = std::strtod(digits.c_str(), nullptr);
        if (!std::isfinite(out.number)) return Fail("number out of range");
        return true;
    }

    static void AppendUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }

    bool Hex4(unsigned& v) {
        if (pos_ + 4 > s_.size()) return Fail("short \\u escape");
        v = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = s_[pos_++];
            v <<= 4;
            if (c >= '0' && c <= '9')
                v |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                v |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                v |= static_cast<unsigned>(c - 'A' + 10);
            else
                return Fail("invalid \\u escape");
        }
        return true;
    }

    // One UTF-8 sequence starting at pos_, validated (no overlongs, no surrogates).
    bool CopyUtf8(std::string& out) {
        const auto b0 = static_cast<unsigned char>(s_[pos_]);
        int extra;
        unsigned cp = 0;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            extra = 1;
            cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            extra = 2;
            cp = b0 & 0x0F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            extra = 3;
            cp = b0 & 0x07;
        } else {
            return Fail("invalid UTF-8");
        }
        if (pos_ + static_cast<size_t>(extra) >= s_.size()) return Fail("invalid UTF-8");
        for (int i = 1; i <= extra; ++i) {
            const auto b = static_cast<unsigned char>(s_[pos_ + static_cast<size_t>(i)]);
            if ((b & 0xC0) != 0x80) return Fail("invalid UTF-8");
            cp = (cp << 6) | (b & 0x3F);
        }
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return Fail("invalid UTF-8");
        out.append(s_.substr(pos_, static_cast<size_t>(extra) + 1));
        pos_ += static_cast<size_t>(extra) + 1;
        return true;
    }

    bool ParseString(std::string& out) {
        ++pos_; // opening quote
        for (;;) {
            if (out.size() > limits_.maxStringBytes) return Fail("string too long");
            if (pos_ >= s_.size()) return Fail("unterminated string");
            const auto c = static_cast<unsigned char>(s_[pos_]);
            if (c == '"') {
                ++pos_;
                return true;
            }
            if (c < 0x20) return Fail("control character in string");
            if (c >= 0x80) {
                if (!CopyUtf8(out)) return false;
                continue;
            }
            if (c != '\\') {
                out.push_back(static_cast<char>(c));
                ++pos_;
                continue;
            }
            if (++pos_ >= s_.size()) return Fail("unterminated string");
            const char e = s_[pos_++];
            switch (e) {
            case '"':
                out.push_back('"');
                break;
            case '\\':
                out.push_back('\\');
                break;
            case '/':
                out.push_back('/');
                break;
            case 'b':
                out.push_back('\b');
                break;
            case 'f':
                out.push_back('\f');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'u': {
                unsigned cp = 0;
                if (!Hex4(cp)) return false;
                if (cp >= 0xDC00 && cp <= 0xDFFF) return Fail("unpaired surrogate");
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    unsigned low = 0;
                    if (s_.substr(pos_, 2) != "\\u") return Fail("unpaired surrogate");
                    pos_ += 2;
                    if (!Hex4(low)) return false;
                    if (low < 0xDC00 || low > 0xDFFF) return Fail("unpaired surrogate");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                AppendUtf8(out, cp);
                break;
            }
            default:
                --pos_;
                return Fail("invalid escape");
            }
        }
    }

    std::string_view s_;
    const JsonLimits& limits_;
    const int maxDepth_;
    size_t pos_ = 0;
    size_t values_ = 0;
    std::string error_;
};

} // namespace

JsonResult ParseJson(std::string_view text, const JsonLimits& limits) {
    return Parser(text, limits).Run();
}

} // namespace recognize
