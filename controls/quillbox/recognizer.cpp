#include "controls/quillbox/recognizer.h"

#include "platform/loader.h"

namespace quillbox {

std::unique_ptr<RecognitionService> RecognitionService::Load(const char* name) {
    void* module = platform::LoadLibrary(name);
    if (!module) return nullptr;
    return std::unique_ptr<RecognitionService>(new RecognitionService(module));
}

RecognitionService::~RecognitionService() {
    platform::FreeLibrary(module_);
}

std::optional<RecognitionService::Functions> RecognitionService::bind() const {
    Functions fn{
        platform::GetProc<decltype(Functions::setGuideBox)>(module_, "SetGuideBox"),
        platform::GetProc<decltype(Functions::setRecCategory)>(module_, "SetRecCategory"),
        platform::GetProc<decltype(Functions::recognizeF)>(module_, "RecognizeF"),
    };
    if (!fn.setGuideBox || !fn.setRecCategory || !fn.recognizeF) return std::nullopt;
    return fn;
}

int32_t RecognizeInk(const RecognitionService::Functions& fn, int width, int height, uint32_t mask,
                     PATTERN_W* ink, CR_RESULT* list, int32_t listSize) {
    fn.setGuideBox(width, height, 0, 0);
    list[0].code = 0;
    fn.setRecCategory(static_cast<int32_t>(mask));
    return fn.recognizeF(ink, list, listSize);
}

} // namespace quillbox
