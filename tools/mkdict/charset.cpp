#include "tools/mkdict/charset.h"

#include "platform/encoding.h"
#include "strrec/kanatwins.h"

namespace mkdict {

std::string Utf8Of(char32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        if (cp >= 0xD800 && cp <= 0xDFFF) return {};
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp <= 0x10FFFF) {
        s += static_cast<char>(0xF0 | (cp >> 18));
        s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

bool IsInRecognizerClass(uint16_t c) {
    auto in = [c](unsigned lo, unsigned hi) { return c >= lo && c <= hi; };
    return in(0x829F, 0x82F1) || in(0x824F, 0x8258) || in(0x8340, 0x8396) || in(0x8145, 0x81FC) ||
           in(0x8740, 0x879C) || in(0x8440, 0x8460) || in(0x8470, 0x8491) || in(0x889F, 0x9872) ||
           in(0x989F, 0xFC4B) || in(0x8260, 0x8279) || in(0x8281, 0x829A) || in(0x839F, 0x83B6) ||
           in(0x83BF, 0x83D6) || in(0x8141, 0x8147) || in(0x8165, 0x8168);
}

std::optional<uint16_t> DictionaryCodeFor(char32_t cp) {
    if (cp >= '0' && cp <= '9') return static_cast<uint16_t>(0x824F + (cp - '0'));
    if (cp >= 'A' && cp <= 'Z') return static_cast<uint16_t>(0x8260 + (cp - 'A'));
    if (cp >= 'a' && cp <= 'z') return static_cast<uint16_t>(0x8281 + (cp - 'a'));
    if (cp < 0x80) return std::nullopt; // other ASCII has no full-width category here
    std::string utf8 = Utf8Of(cp);
    if (utf8.empty()) return std::nullopt;
    auto code = Cp932CodeOfUtf8(utf8);
    if (!code || *code < 0x100 || !IsInRecognizerClass(*code)) return std::nullopt;
    return code;
}

std::optional<uint16_t> Cp932CodeOfUtf8(const std::string& utf8) {
    auto sj = platform::Utf8ToCp932(utf8);
    if (!sj || sj->empty() || sj->size() > 2) return std::nullopt;
    auto b0 = static_cast<unsigned char>((*sj)[0]);
    if (sj->size() == 1) return b0;
    auto b1 = static_cast<unsigned char>((*sj)[1]);
    return static_cast<uint16_t>((b0 << 8) | b1);
}

std::string Utf8OfCp932Code(uint16_t code) {
    std::string sj;
    if (code >> 8) sj += static_cast<char>(code >> 8);
    sj += static_cast<char>(code & 0xFF);
    auto u = platform::Cp932ToUtf8(sj);
    return u ? *u : std::string();
}

bool IsSmallKana(uint16_t c) {
    return wFullSizeKanaOf(c) != 0;
}

} // namespace mkdict
