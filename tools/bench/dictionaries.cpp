#include "tools/bench/dictionaries.h"

#include "platform/profile.h"
#include "platform/sysdir.h"

namespace bench {

ClassifierFiles ConfiguredClassifierFiles(const std::string& data) {
    ClassifierFiles f;
    f.dir = data.empty() ? platform::SystemDirectory() : data;
    if (!f.dir.empty() && f.dir.back() != '/') f.dir += '/';
    const std::string ini = f.dir + "VELTAREC.INI";
    char name[512];
    platform::GetPrivateProfileString("RECOGBOX", "CRDIC", "glyphs.crd", name, sizeof name,
                                      ini.c_str());
    f.crd = f.dir + name;
    platform::GetPrivateProfileString("RECOGBOX", "CCDIC", "glyphs.ccd", name, sizeof name,
                                      ini.c_str());
    f.ccd = f.dir + name;
    platform::GetPrivateProfileString("RECOGBOX", "CPDIC", "", name, sizeof name, ini.c_str());
    if (*name) f.cpd = f.dir + name;
    return f;
}

} // namespace bench
