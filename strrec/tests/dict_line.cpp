#include "tests/dict_line.h"

#include "classifier/crdic.h"
#include "platform/profile.h"
#include "platform/sysdir.h"

#include <filesystem>

namespace dictline {

bool Find(Dictionaries& dicts, std::string& why) {
    const std::string ini = platform::InSystemDirectory("VELTAREC.INI");
    if (!std::filesystem::exists(ini)) {
        why = "no " + ini + " (the dictionaries are built by the dictionary compiler)";
        return false;
    }
    const std::string dir = platform::SystemDirectory() + "/";
    auto key = [&](const char* name) {
        char buf[512] = {};
        platform::GetPrivateProfileString("RECOGBOX", name, "", buf, sizeof buf, ini.c_str());
        return dir + buf;
    };
    dicts = {key("CRDIC"), key("CCDIC"), key("CBDIC")};
    for (const std::string* f : {&dicts.pattern, &dicts.coarse, &dicts.bigram}) {
        if (!std::filesystem::is_regular_file(*f)) {
            why = "dictionary " + *f + " named in " + ini + " is missing";
            return false;
        }
    }
    return true;
}

std::vector<Character> LineFromDictionary(const std::string& patternDic,
                                          const std::vector<uint16_t>& wanted, size_t count) {
    std::vector<Character> line;
    CRDIC dic{};
    if (LoadCRDictionary(patternDic.c_str(), &dic) != 0) return line;
    for (uint16_t code : wanted) {
        if (line.size() == count) break;
        for (int n = 1; n < dic.count; ++n) {
            const tagCATEGORY* c = dic.ctg[n];
            if (c == nullptr || c->code != code || (c->status & CTG_COMPOSITE) ||
                c->patdic.count < 1)
                continue;
            const PATTERN_B& pat = c->patdic.pat[0];
            Character ch{code, {}};
            const int x0 = 130 * static_cast<int>(line.size());
            for (int p = 0; p < pat.num; ++p) {
                const POINT_B& b = pat.data[p];
                if ((b.attr & PB_PENDOWN) || ch.strokes.empty()) ch.strokes.emplace_back();
                ch.strokes.back().push_back({x0 + b.x * 100 / 128, 20 + b.y * 100 / 128});
            }
            if (!ch.strokes.empty()) line.push_back(std::move(ch));
            break;
        }
    }
    FreeCRDictionary(&dic);
    return line;
}

std::string Text(const std::vector<Character>& chars) {
    std::string s;
    for (const Character& c : chars) {
        if (c.code >= 0x8000) s += static_cast<char>(c.code >> 8);
        s += static_cast<char>(c.code & 0xFF);
    }
    return s;
}

} // namespace dictline
