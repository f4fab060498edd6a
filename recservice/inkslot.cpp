// The box recognizer: single-character recognition through the older classifier build,
// whose dictionaries are opened at the first load of this library and closed at the last
// unload. Configuration: "VELTABOX.INI" in the system directory, section VELTABOX; its
// optional key CPDDIC names the character prior that orders candidates of the same shape.
#include "platform/loader.h"
#include "platform/profile.h"
#include "platform/sysdir.h"
#include "recservice/charprior.h"
#include "tessera/records.h"

#include <cstdint>
#include <string>

// The older classifier build, linked directly.
extern "C" {
int _iOpenClassRecogModule(const char* cpCRdic, const char* cpClassDic);
void _vSetClassCount(int iNewClassCount);
int _iClassifyRecognize(PATTERN_W* pPatW, CR_RESULT* pCRres, int iMaxResultCount);
void _vCloseClassRecogModule(void);
}

#define INKSLOT_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr const char* kSection = "VELTABOX";
constexpr int kDefaultClassCount = 500;
constexpr unsigned long kValueSize = 512;

int32_t pcount = 0;
CHAR_PRIOR prior{};

std::string ReadKey(const std::string& file, const char* key) {
    char value[kValueSize] = {};
    platform::GetPrivateProfileString(kSection, key, "", value, kValueSize, file.c_str());
    return value;
}

int OpenDictionary() {
    const std::string base = platform::SystemDirectory() + "/";
    const std::string file = base + "VELTABOX.INI";
    const std::string coarse = base + ReadKey(file, "CCDDIC");
    const std::string pattern = base + ReadKey(file, "CRDDIC");
    const int opened = _iOpenClassRecogModule(pattern.c_str(), coarse.c_str());
    const int classCount =
        platform::GetPrivateProfileInt(kSection, "CCOUNT", kDefaultClassCount, file.c_str());
    if (opened != 0) return 0;
    _vSetClassCount(classCount);
    const std::string priorName = ReadKey(file, "CPDDIC");
    if (!priorName.empty()) iLoadCharPrior((base + priorName).c_str(), &prior);
    return 1;
}

void CloseDictionary() {
    _vCloseClassRecogModule();
    vFreeCharPrior(&prior);
}

} // namespace

INKSLOT_EXPORT int Recognize(PATTERN_W* pPatW, CR_RESULT* pCRres, int iResultCount) {
    // 0 is success; the candidates are then ordered by the prior where their scores are close
    const int result = _iClassifyRecognize(pPatW, pCRres, iResultCount);
    if (result == 0) iApplyCharPrior(&prior, prior.iSpan, pCRres, iResultCount);
    return result;
}

INKSLOT_EXPORT int DllEntryPoint(void*, unsigned long reason, void*) {
    switch (reason) {
    case platform::DLL_PROCESS_ATTACH: {
        const int result = pcount == 0 ? OpenDictionary() : 1;
        ++pcount;
        return result;
    }
    case platform::DLL_PROCESS_DETACH:
        if (pcount > 0 && --pcount == 0) CloseDictionary();
        return 1;
    default:
        return 1;
    }
}
