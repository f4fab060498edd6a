// Opening and closing the service: run once per process, from the first attach and the
// last detach of the library.
#include "recservice/model_dictionary.h"
#include "recservice/service_config.h"
#include "recservice/service_state.h"
#include "recservice/shape_score.h"
#include "tessera/veltarec.h"

namespace veltarec {

ServiceState& State() {
    static ServiceState state;
    return state;
}

namespace {

using SROpenSystemFn = int32_t (*)(const char*, const char*, const char*);
using ClassOpenFn = int (*)(const char*, const char*);
using SRLoadEvalTablesFn = long (*)(const char*);
using SRSetClassCountFn = void (*)(int32_t);
using SetClassCountFn = void (*)(int);
using CloseFn = void (*)();

// Closes the recognizer's dictionaries: the string recognizer's call, else the classifier's.
void CloseRecognizer() {
    if (auto close = Bind<CloseFn>("vSRCloseSystem"))
        close();
    else if (auto closeClass = Bind<CloseFn>("vCloseClassRecogModule"))
        closeClass();
}

} // namespace
} // namespace veltarec

using namespace veltarec;

int32_t OpenDictionary(void) {
    const ServiceConfig config = ReadServiceConfig();
    ServiceState& state = State();
    state.extraEndPoints = config.addLastPoint;
    state.boundFromPattern = config.getRectFlag;

    // An earlier open is closed first, so that opening again starts afresh instead of
    // leaking the first library handle and meeting a recognizer that is still open.
    if (state.library) CloseDictionary();
    state.library = platform::LoadLibrary(config.libName.c_str());
    if (!state.library) return 0;

    int32_t opened = 0;
    const auto open = Bind<SROpenSystemFn>("lSROpenSystem");
    if (open)
        opened = open(config.crDic.c_str(), config.ccDic.c_str(), config.cbDic.c_str());
    else if (auto openClass = Bind<ClassOpenFn>("iOpenClassRecogModule"))
        opened = openClass(config.crDic.c_str(), config.ccDic.c_str());
    if (opened != 0) return 0;
    // Fitted evaluation tables of the string recognizer, when the configuration names
    // them: a named file that does not load fails the open like any other dictionary.
    // A classifier library has no use for them.
    if (open && !config.lpDic.empty()) {
        auto load = Bind<SRLoadEvalTablesFn>("lSRLoadEvalTables");
        if (!load || load(config.lpDic.c_str()) != 0) {
            CloseRecognizer();
            return 0;
        }
    }

    if (auto set = Bind<SRSetClassCountFn>("vSRSetClassCount"))
        set(config.classCount);
    else if (auto setClass = Bind<SetClassCountFn>("vSetClassCount"))
        setClass(config.classCount);

    if (!LoadModelIndex(config.exDic)) {
        CloseRecognizer();
        return 0;
    }
    state.matcherReady = InitShapeMatcher();
    // The character prior is optional: without it (or with a file that does not load)
    // candidates keep the recognizer's order.
    if (!config.cpDic.empty()) iLoadCharPrior(config.cpDic.c_str(), &state.prior);
    return 1;
}

int32_t CloseDictionary(void) {
    ServiceState& state = State();
    CloseRecognizer();
    ReleaseModelIndex();
    CloseShapeMatcher();
    vFreeCharPrior(&state.prior);
    state.matcherReady = false;
    if (!state.library) return 0;
    const bool unloaded = platform::FreeLibrary(state.library);
    state.library = nullptr;
    return unloaded ? 1 : 0;
}

extern "C" __attribute__((visibility("default"))) int DllEntryPoint(void*, unsigned long reason,
                                                                    void*) {
    ServiceState& state = State();
    switch (reason) {
    case platform::DLL_PROCESS_ATTACH: {
        const int result = state.attachCount == 0 ? OpenDictionary() : 1;
        ++state.attachCount;
        return result;
    }
    case platform::DLL_PROCESS_DETACH:
        if (state.attachCount > 0 && --state.attachCount == 0) CloseDictionary();
        return 1;
    default:
        return 1;
    }
}
