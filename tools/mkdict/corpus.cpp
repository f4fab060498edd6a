#include "tools/mkdict/corpus.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

#include <iconv.h>
#include <zlib.h>

#include "platform/encoding.h"
#include "tools/mkdict/charset.h"
#include "tools/mkdict/kanjidic.h"

namespace mkdict {

namespace fs = std::filesystem;

bool ReadMaybeGzip(const std::string& path, std::string& out, std::string& error) {
    out.clear();
    gzFile f = gzopen(path.c_str(), "rb"); // reads plain files unchanged
    if (!f) {
        error = path + ": cannot open";
        return false;
    }
    char buf[65536];
    int n;
    while ((n = gzread(f, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
    int err = 0;
    const char* msg = gzerror(f, &err);
    bool ok = n == 0 && err == Z_OK;
    if (!ok) error = path + ": cannot read: " + (msg ? msg : "error");
    gzclose(f);
    if (!ok) out.clear();
    return ok;
}

namespace {

std::optional<std::string> Iconv(const std::string& bytes, const char* from) {
    iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(bytes.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inleft = bytes.size();
    char* o = out.data();
    size_t oleft = out.size();
    bool ok = true;
    while (inleft > 0) {
        if (iconv(cd, &in, &inleft, &o, &oleft) == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                size_t used = static_cast<size_t>(o - out.data());
                out.resize(out.size() * 2);
                o = out.data() + used;
                oleft = out.size() - used;
                continue;
            }
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    out.resize(static_cast<size_t>(o - out.data()));
    return out;
}

// Decodes one UTF-8 character at s[i], advancing i; 0xFFFD for a broken sequence.
char32_t NextCodepoint(const std::string& s, size_t& i) {
    auto b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80) return b;
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (extra == 0) return 0xFFFD;
    char32_t cp = b & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    return cp;
}

bool StartsWith(const std::string& s, size_t at, const char* what) {
    return s.compare(at, std::strlen(what), what) == 0;
}

// Text of one roff line with its escapes resolved.
std::string RoffEscapes(const std::string& line) {
    std::string out;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= line.size()) break; // a trailing backslash joins lines
        char e = line[i];
        switch (e) {
        case '"': // comment to the end of the line
            return out;
        case 'f': // font change: \fB, \f(CW, \f[...]
        case 's': // size change: \s+2, \s0, \s(12
            if (i + 1 < line.size() && line[i + 1] == '(')
                i += 3;
            else if (i + 1 < line.size() && line[i + 1] == '[') {
                size_t end = line.find(']', i);
                i = end == std::string::npos ? line.size() : end;
            } else {
                if (e == 's' && i + 1 < line.size() && (line[i + 1] == '+' || line[i + 1] == '-'))
                    ++i;
                ++i;
                if (e == 's' && i < line.size() &&
                    std::isdigit(static_cast<unsigned char>(line[i])) && i + 1 < line.size() &&
                    std::isdigit(static_cast<unsigned char>(line[i + 1])))
                    ++i;
            }
            break;
        case '(': // special character \(xx
            if (i + 2 < line.size()) {
                std::string name = line.substr(i + 1, 2);
                if (name == "em" || name == "en" || name == "mi" || name == "hy")
                    out += '-';
                else
                    out += ' ';
            }
            i += 2;
            break;
        case '[': { // special character \[name]
            size_t end = line.find(']', i);
            i = end == std::string::npos ? line.size() : end;
            out += ' ';
            break;
        }
        case '*': // string register \*x, \*(xx, \*[name]
        case 'n': // number register
            if (i + 1 < line.size() && line[i + 1] == '(')
                i += 3;
            else if (i + 1 < line.size() && line[i + 1] == '[') {
                size_t end = line.find(']', i);
                i = end == std::string::npos ? line.size() : end;
            } else
                ++i;
            break;
        case '-':
            out += '-';
            break;
        case 'e':
        case '\\':
            out += '\\';
            break;
        case '&':
        case '|':
        case '^':
        case ',':
        case '/':
        case 'c':
        case ':':
            break;
        case ' ':
        case '~':
        case '0':
            out += ' ';
            break;
        default:
            // \X'...' style escapes with a quoted argument (h, v, w, l, L, o, D, Z, ...)
            if (i + 1 < line.size() && line[i + 1] == '\'') {
                size_t end = line.find('\'', i + 2);
                i = end == std::string::npos ? line.size() : end;
            } else {
                out += e;
            }
        }
    }
    return out;
}

} // namespace

std::optional<std::string> DecodeJapaneseText(const std::string& bytes) {
    if (platform::IsValidUtf8(bytes)) return bytes;
    if (auto s = Iconv(bytes, "EUC-JP")) return s;
    if (auto s = platform::Cp932ToUtf8(bytes)) return s;
    return std::nullopt;
}

Markup MarkupOfPath(const std::string& path) {
    std::string name = fs::path(path).filename().string();
    if (name.ends_with(".gz")) name.resize(name.size() - 3);
    if (name.ends_with(".html") || name.ends_with(".htm")) return Markup::Html;
    if (path.find("/man/") != std::string::npos) {
        // man pages: name.section[suffix]
        auto dot = name.find_last_of('.');
        if (dot != std::string::npos && dot + 1 < name.size() &&
            std::isdigit(static_cast<unsigned char>(name[dot + 1])))
            return Markup::Roff;
    }
    return Markup::Plain;
}

std::optional<std::string> TextOfFile(const std::string& path, std::string& error) {
    std::string bytes;
    if (!ReadMaybeGzip(path, bytes, error)) return std::nullopt;
    auto text = DecodeJapaneseText(bytes);
    if (!text) error = path + ": unknown text encoding";
    return text;
}

std::optional<std::string> RunningTextOfFile(const std::string& path, std::string& error) {
    auto text = TextOfFile(path, error);
    if (!text) return std::nullopt;
    switch (MarkupOfPath(path)) {
    case Markup::Roff:
        return StripRoff(*text);
    case Markup::Html:
        return StripHtml(*text);
    case Markup::Plain:
        break;
    }
    return text;
}

std::string StripRoff(const std::string& text) {
    std::string out;
    size_t pos = 0;
    bool ignore_block = false; // inside .ig ... ..
    while (pos <= text.size()) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) nl = text.size();
        std::string line = text.substr(pos, nl - pos);
        pos = nl + 1;
        if (ignore_block) {
            if (line.starts_with("..")) ignore_block = false;
            continue;
        }
        if (!line.empty() && (line[0] == '.' || line[0] == '\'')) {
            size_t i = 1;
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
            size_t name_start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
            std::string name = line.substr(name_start, i - name_start);
            if (name.starts_with("\\\"")) continue; // comment line
            if (name == "ig") {
                ignore_block = true;
                continue;
            }
            // Macros whose arguments are running text; every other request is dropped.
            static const char* const kText[] = {"SH", "SS", "B",  "I",  "BI", "IB", "BR",
                                                "RB", "IR", "RI", "SM", "SB", "TP", "IP",
                                                "Nm", "Nd", "Xr", "Sh", "Ss", "It", "Dl"};
            bool text_macro = false;
            for (const char* t : kText) text_macro = text_macro || name == t;
            if (!text_macro) {
                out += '\n';
                continue;
            }
            std::string args = line.substr(i);
            std::erase(args, '"');
            out += RoffEscapes(args);
            out += '\n';
            continue;
        }
        out += RoffEscapes(line);
        out += '\n';
        if (nl >= text.size()) break;
    }
    return out;
}

std::string StripHtml(const std::string& text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '<') {
            // scripts and styles: skip their content
            for (const char* tag : {"script", "style"}) {
                std::string open = std::string("<") + tag;
                if (text.compare(i, open.size(), open) == 0) {
                    size_t end = text.find(std::string("</") + tag, i);
                    i = end == std::string::npos ? text.size() : end;
                    break;
                }
            }
            if (StartsWith(text, i, "<!--")) {
                size_t end = text.find("-->", i);
                i = end == std::string::npos ? text.size() : end + 3;
                continue;
            }
            size_t end = text.find('>', i);
            if (end == std::string::npos) break;
            std::string tag = text.substr(i + 1, end - i - 1);
            // block-level tags end a line of text
            std::string lower;
            for (char t : tag.substr(0, 6)) lower += static_cast<char>(std::tolower(t));
            if (lower.starts_with("p") || lower.starts_with("/p") || lower.starts_with("br") ||
                lower.starts_with("div") || lower.starts_with("/div") || lower.starts_with("li") ||
                lower.starts_with("h") || lower.starts_with("/h") || lower.starts_with("td") ||
                lower.starts_with("tr") || lower.starts_with("/t"))
                out += '\n';
            i = end + 1;
            continue;
        }
        if (c == '&') {
            size_t end = text.find(';', i);
            if (end != std::string::npos && end - i <= 10) {
                std::string ent = text.substr(i + 1, end - i - 1);
                i = end + 1;
                if (ent == "amp")
                    out += '&';
                else if (ent == "lt")
                    out += '<';
                else if (ent == "gt")
                    out += '>';
                else if (ent == "quot")
                    out += '"';
                else if (ent == "apos")
                    out += '\'';
                else if (ent == "nbsp")
                    out += ' ';
                else if (!ent.empty() && ent[0] == '#') {
                    char32_t cp = 0;
                    bool hex = ent.size() > 1 && (ent[1] == 'x' || ent[1] == 'X');
                    try {
                        cp = static_cast<char32_t>(
                            std::stoul(ent.substr(hex ? 2 : 1), nullptr, hex ? 16 : 10));
                    } catch (...) {
                        cp = ' ';
                    }
                    out += Utf8Of(cp);
                } else
                    out += ' ';
                continue;
            }
        }
        out += c;
        ++i;
    }
    return out;
}

std::optional<uint16_t> CharCounts::CodeOf(char32_t cp) {
    auto it = cache_.find(cp);
    if (it == cache_.end()) {
        int32_t v = -1;
        if (cp >= 0x80) {
            auto code = Cp932CodeOfUtf8(Utf8Of(cp));
            if (code && *code >= 0x100) v = *code;
        } else if (auto code = DictionaryCodeFor(cp)) {
            v = *code; // ASCII digits and letters as their full-width forms
        }
        it = cache_.emplace(cp, v).first;
    }
    if (it->second < 0) return std::nullopt;
    return static_cast<uint16_t>(it->second);
}

void CharCounts::AddText(const std::string& utf8, uint64_t weight) {
    int prev = -1; // code of the previous character of the run, -1 at a break
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = NextCodepoint(utf8, i);
        auto code = CodeOf(cp);
        // the ideographic space separates like any blank
        if (code && *code == 0x8140) code.reset();
        if (!code) {
            prev = -1;
            continue;
        }
        mono_[*code] += weight;
        total_ += weight;
        if (prev >= 0) {
            bi_[static_cast<uint16_t>(prev)][*code] += weight;
            pair_total_ += weight;
        }
        prev = *code;
    }
}

namespace {

bool HasKanji(std::string_view utf8) {
    std::string s(utf8);
    for (size_t i = 0; i < s.size();) {
        char32_t cp = NextCodepoint(s, i);
        if ((cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0x3400 && cp <= 0x4DBF) || cp == 0x3005)
            return true;
    }
    return false;
}

// The written forms of one EDICT headword that contain a kanji: alternatives split at
// ';', markers such as "(P)" or "(oK)" after a form dropped.
void AddEdictForms(CharCounts& counts, std::string_view field, uint64_t weight) {
    while (!field.empty()) {
        size_t semi = field.find(';');
        std::string_view form = field.substr(0, semi);
        if (size_t paren = form.find('('); paren != std::string_view::npos)
            form = form.substr(0, paren);
        if (HasKanji(form)) counts.AddText(std::string(form), weight);
        if (semi == std::string_view::npos) break;
        field.remove_prefix(semi + 1);
    }
}

} // namespace

size_t AddEdictWords(CharCounts& counts, const std::string& utf8, uint64_t common_weight) {
    size_t entries = 0, pos = 0;
    while (pos < utf8.size()) {
        size_t nl = utf8.find('\n', pos);
        if (nl == std::string::npos) nl = utf8.size();
        std::string_view line(utf8.data() + pos, nl - pos);
        pos = nl + 1;
        // the file's first line describes it and starts with an ideographic space
        if (line.empty() || line.starts_with("\xE3\x80\x80") || line[0] == '#') continue;
        size_t space = line.find(' ');
        if (space == std::string_view::npos || space == 0) continue;
        std::string_view head = line.substr(0, space), rest = line.substr(space + 1);
        if (rest.starts_with('[')) { // the reading
            size_t close = rest.find(']');
            if (close == std::string_view::npos) continue;
            rest.remove_prefix(close + 1);
        }
        if (rest.find('/') == std::string_view::npos) continue; // no glosses: not an entry
        const uint64_t weight = rest.find("(P)") != std::string_view::npos ? common_weight : 1;
        AddEdictForms(counts, head, weight);
        ++entries;
    }
    return entries;
}

std::map<uint16_t, int> ReadKanjidicRanks(const std::string& utf8) {
    constexpr uint16_t kFirstKanjiCode = 0x889F; // 亜, the first kanji of CP932
    std::map<uint16_t, int> ranks;
    for (const auto& entry : KanjidicEntries(utf8)) {
        auto code = Cp932CodeOfUtf8(entry.character);
        if (code && *code >= kFirstKanjiCode) ranks[*code] = entry.info.frequency;
    }
    return ranks;
}

std::vector<std::string> SystemCorpusFiles(const std::string& man_root,
                                           const std::string& reference_root) {
    std::vector<std::string> files;
    std::error_code ec;
    if (fs::is_directory(man_root, ec)) {
        for (auto it = fs::recursive_directory_iterator(
                 man_root, fs::directory_options::skip_permission_denied, ec);
             it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (ec) break;
            if (it->is_regular_file(ec) && MarkupOfPath(it->path().string()) == Markup::Roff)
                files.push_back(it->path().string());
        }
    }
    std::vector<std::string> html, txt;
    if (fs::is_directory(reference_root, ec)) {
        for (auto it = fs::recursive_directory_iterator(
                 reference_root, fs::directory_options::follow_directory_symlink, ec);
             it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (ec) break;
            std::string p = it->path().string(), name = it->path().filename().string();
            if (!it->is_regular_file(ec)) continue;
            if (name.find(".ja.txt") != std::string::npos)
                txt.push_back(p);
            else if (name.find(".ja.html") != std::string::npos)
                html.push_back(p);
        }
    }
    // The plain-text edition holds the same text as the HTML pages: take one of them.
    auto& ref = txt.empty() ? html : txt;
    files.insert(files.end(), ref.begin(), ref.end());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace mkdict
