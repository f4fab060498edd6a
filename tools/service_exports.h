// The recognition service's exports, bound by name from the loaded library: one list for
// every tool that drives the service (the command-line recognizer, the line bench and the
// line benchmark).
#pragma once

#include "platform/loader.h"
#include "tessera/veltarec.h"

namespace veltarec {

struct Exports {
    SetRecCategoryFn setRecCategory = nullptr;
    SetGuideBoxFn setGuideBox = nullptr;
    RecognizeFFn recognizeF = nullptr;
    CreateNewObjectFn createObject = nullptr;
    DestroyObjectFn destroyObject = nullptr;
    AddStrokeLastFn addStroke = nullptr;
    RecognizeNFFn recognizeNF = nullptr;
    GetResultCountFn resultCount = nullptr;
    GetStringFn getString = nullptr;
    GetStrokeNoOfNthCharFn strokesOfChar = nullptr;
    GiveStrokeSetInfoFn giveStrokeSet = nullptr;
    GetPatternWOfNthCharFn patternOfChar = nullptr;
    DestroyPatternWFn destroyPattern = nullptr;

    // Binds every export of module; false when any is missing.
    bool Bind(platform::ModuleHandle module) {
        using platform::GetProc;
        setRecCategory = GetProc<SetRecCategoryFn>(module, "SetRecCategory");
        setGuideBox = GetProc<SetGuideBoxFn>(module, "SetGuideBox");
        recognizeF = GetProc<RecognizeFFn>(module, "RecognizeF");
        createObject = GetProc<CreateNewObjectFn>(module, "CreateNewObject");
        destroyObject = GetProc<DestroyObjectFn>(module, "DestroyObject");
        addStroke = GetProc<AddStrokeLastFn>(module, "AddStrokeLast");
        recognizeNF = GetProc<RecognizeNFFn>(module, "RecognizeNF");
        resultCount = GetProc<GetResultCountFn>(module, "GetResultCount");
        getString = GetProc<GetStringFn>(module, "GetString");
        strokesOfChar = GetProc<GetStrokeNoOfNthCharFn>(module, "GetStrokeNoOfNthChar");
        giveStrokeSet = GetProc<GiveStrokeSetInfoFn>(module, "GiveStrokeSetInfo");
        patternOfChar = GetProc<GetPatternWOfNthCharFn>(module, "GetPatternWOfNthChar");
        destroyPattern = GetProc<DestroyPatternWFn>(module, "DestroyPatternW");
        return setRecCategory && setGuideBox && recognizeF && createObject && destroyObject &&
               addStroke && recognizeNF && resultCount && getString && strokesOfChar &&
               giveStrokeSet && patternOfChar && destroyPattern;
    }
};

} // namespace veltarec
