#include "platform/profile.h"

#include "platform/sysdir.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

// Shift-JIS lead bytes start a two-byte character whose second byte may look like an
// ASCII letter; such pairs are compared exactly, everything else ASCII-case-blind.
bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (IsLeadByte(x) && i + 1 < a.size()) {
            if (x != y || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        if (x >= 'A' && x <= 'Z') x = x - 'A' + 'a';
        if (y >= 'A' && y <= 'Z') y = y - 'A' + 'a';
        if (x != y) return false;
    }
    return true;
}

std::string Unquote(std::string v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// One line of a profile file, as it was read (without its line break).
struct Line {
    std::string text;
    enum Kind { Other, Section, Entry } kind = Other;
    std::string name;  // section or key name, trimmed
    std::string value; // entry value, trimmed and unquoted
};

Line Classify(std::string text) {
    Line line;
    line.text = std::move(text);
    std::string t = Trim(line.text);
    if (t.empty() || t[0] == ';') return line;
    if (t[0] == '[') {
        size_t close = t.find(']');
        line.kind = Line::Section;
        line.name = Trim(std::string_view(t).substr(1, close == std::string::npos ? std::string::npos
                                                                                  : close - 1));
        return line;
    }
    size_t eq = t.find('=');
    if (eq == std::string::npos) return line;
    line.kind = Line::Entry;
    line.name = Trim(std::string_view(t).substr(0, eq));
    line.value = Unquote(Trim(std::string_view(t).substr(eq + 1)));
    return line;
}

struct ProfileFile {
    std::vector<Line> lines;
    std::string eol = "\n";
};

bool Read(const std::string& path, ProfileFile& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string all = ss.str();
    if (all.find("\r\n") != std::string::npos) out.eol = "\r\n";
    size_t pos = 0;
    while (pos < all.size()) {
        size_t nl = all.find('\n', pos);
        size_t end = nl == std::string::npos ? all.size() : nl;
        std::string text = all.substr(pos, end - pos);
        if (!text.empty() && text.back() == '\r') text.pop_back();
        out.lines.push_back(Classify(std::move(text)));
        pos = end + 1;
    }
    return true;
}

// Copies s into out as GetPrivateProfileString does: at most size - 1 bytes and a 0.
unsigned long CopyOut(const std::string& s, char* out, unsigned long size) {
    if (!out || size == 0) return 0;
    unsigned long n = s.size() < size - 1 ? static_cast<unsigned long>(s.size()) : size - 1;
    std::memcpy(out, s.data(), n);
    out[n] = 0;
    return n;
}

// Copies a list of names, each ended by a 0 and the list by another 0. A list cut short
// ends with two zeros and reports size - 2.
unsigned long CopyList(const std::vector<std::string>& names, char* out, unsigned long size) {
    if (!out || size == 0) return 0;
    if (size == 1) {
        out[0] = 0;
        return 0;
    }
    const unsigned long limit = size - 2; // room for names before the two closing zeros
    unsigned long n = 0;
    for (const std::string& name : names) {
        if (n + name.size() + 1 > size - 1) {
            if (n < limit) {
                unsigned long room = limit - n < name.size() ? limit - n : name.size();
                std::memcpy(out + n, name.data(), room);
            }
            out[size - 2] = 0;
            out[size - 1] = 0;
            return size - 2;
        }
        std::memcpy(out + n, name.data(), name.size());
        n += name.size();
        out[n++] = 0;
    }
    out[n] = 0;
    return n;
}

} // namespace

std::string ProfilePath(const char* file) {
    return InSystemDirectory(file ? std::string(file) : std::string());
}

unsigned long GetPrivateProfileString(const char* section, const char* key, const char* def,
                                      char* out, unsigned long size, const char* file) {
    ProfileFile pf;
    bool have = file && Read(ProfilePath(file), pf);
    if (!section) {
        std::vector<std::string> names;
        for (const Line& l : pf.lines)
            if (l.kind == Line::Section) names.push_back(l.name);
        return CopyList(names, out, size);
    }
    bool inSection = false;
    std::vector<std::string> keys;
    if (have) {
        for (const Line& l : pf.lines) {
            if (l.kind == Line::Section) {
                if (inSection) break;
                inSection = SameName(l.name, section);
            } else if (inSection && l.kind == Line::Entry) {
                if (!key) {
                    keys.push_back(l.name);
                } else if (SameName(l.name, key)) {
                    return CopyOut(l.value, out, size);
                }
            }
        }
    }
    if (!key) return CopyList(keys, out, size);
    return CopyOut(Trim(def ? def : ""), out, size);
}

int GetPrivateProfileInt(const char* section, const char* key, int def, const char* file) {
    // A value no default can be mistaken for tells a missing key from a present one.
    static const char kMissing[] = "\x01missing\x01";
    char buf[64];
    if (!key) return def;
    GetPrivateProfileString(section, key, kMissing, buf, sizeof buf, file);
    if (std::strcmp(buf, kMissing) == 0) return def;
    const char* p = buf;
    bool neg = false;
    if (*p == '-' || *p == '+') neg = *p++ == '-';
    long long v = 0;
    while (*p >= '0' && *p <= '9') {
        v = v * 10 + (*p++ - '0');
        if (v > 0xFFFFFFFFLL) v = 0xFFFFFFFFLL;
    }
    return static_cast<int>(static_cast<unsigned int>(neg ? -v : v));
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* file) {
    if (!section || !file) return false;
    const std::string path = ProfilePath(file);
    ProfileFile pf;
    if (!Read(path, pf)) {
        std::ifstream probe(path);
        if (probe.good()) return false; // exists but cannot be read: leave it alone
    }

    // Find the section: its header and the line after its last entry.
    size_t header = pf.lines.size(), end = pf.lines.size(), lastEntry = 0;
    for (size_t i = 0; i < pf.lines.size(); ++i) {
        const Line& l = pf.lines[i];
        if (l.kind == Line::Section) {
            if (header != pf.lines.size()) {
                end = i;
                break;
            }
            if (SameName(l.name, section)) header = lastEntry = i;
        } else if (header != pf.lines.size() && l.kind != Line::Other) {
            lastEntry = i;
        } else if (header != pf.lines.size() && !Trim(l.text).empty()) {
            lastEntry = i;
        }
    }
    const bool found = header != pf.lines.size();

    if (!key) {
        if (found) pf.lines.erase(pf.lines.begin() + header, pf.lines.begin() + end);
    } else {
        size_t at = pf.lines.size();
        if (found)
            for (size_t i = header + 1; i < end; ++i)
                if (pf.lines[i].kind == Line::Entry && SameName(pf.lines[i].name, key)) {
                    at = i;
                    break;
                }
        if (!value) {
            if (at != pf.lines.size()) pf.lines.erase(pf.lines.begin() + at);
        } else {
            Line entry = Classify(std::string(key) + "=" + value);
            if (at != pf.lines.size()) {
                pf.lines[at] = entry;
            } else if (found) {
                pf.lines.insert(pf.lines.begin() + lastEntry + 1, entry);
            } else {
                pf.lines.push_back(Classify("[" + std::string(section) + "]"));
                pf.lines.push_back(entry);
            }
        }
    }

    // Write beside the file and rename over it, so that a failed write loses nothing.
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        for (const Line& l : pf.lines) out << l.text << pf.eol;
        out.flush();
        if (!out) {
            std::remove(tmp.c_str());
            return false;
        }
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

} // namespace platform
