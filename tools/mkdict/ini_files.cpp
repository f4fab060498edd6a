#include "tools/mkdict/ini_files.h"

#include "platform/profile.h"

#include <cstdio>
#include <fstream>

namespace mkdict {

namespace {

bool WriteText(const std::string& path, const std::string& text, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        error = path + ": cannot write";
        std::remove(path.c_str());
        return false;
    }
    return true;
}

} // namespace

bool WriteIniFiles(const std::string& dir, const DictionaryNames& n, std::string& error) {
    std::string rec = "; Recognition service: the recognizer library and its dictionaries,\n"
                      "; file names relative to this folder. Written by tessera-mkdict.\n"
                      "[RECOGBOX]\n"
                      "LibName=seqread.dll\n"
                      "CCOUNT=" +
                      std::to_string(kClassCount) +
                      "\n"
                      "CRDIC=" +
                      n.pattern +
                      "\n"
                      "CCDIC=" +
                      n.coarse +
                      "\n"
                      "CBDIC=" +
                      n.bigram +
                      "\n"
                      "EXDIC=" +
                      n.model + "\n";
    // the character prior orders candidates of the same shape by how common they are
    if (!n.prior.empty()) rec += "CPDIC=" + n.prior + "\n";
    std::string box = "; Box recognizer: the classifier's dictionaries, file names relative\n"
                      "; to this folder. Written by tessera-mkdict.\n"
                      "[VELTABOX]\n"
                      "CRDDIC=" +
                      n.pattern +
                      "\n"
                      "CCDDIC=" +
                      n.coarse +
                      "\n"
                      "CCOUNT=" +
                      std::to_string(kClassCount) + "\n";
    if (!n.prior.empty()) box += "CPDDIC=" + n.prior + "\n";
    return WriteText(dir + "/VELTAREC.INI", rec, error) &&
           WriteText(dir + "/VELTABOX.INI", box, error);
}

bool NameEvaluationTables(const std::string& dir, const std::string& name, std::string& error) {
    const std::string ini = (dir.empty() || dir.back() == '/' ? dir : dir + "/") + "VELTAREC.INI";
    if (!platform::WritePrivateProfileString("RECOGBOX", "LPDIC",
                                             name.empty() ? nullptr : name.c_str(), ini.c_str())) {
        error = ini + ": cannot write";
        return false;
    }
    return true;
}

} // namespace mkdict
