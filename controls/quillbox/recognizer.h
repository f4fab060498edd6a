// The recognition service as the handwriting box uses it: the library is loaded once
// per box, by name, and its three functions are looked up by name at each recognition.
#pragma once

#include "tessera/records.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace quillbox {

class RecognitionService {
public:
    static constexpr const char* kLibraryName = "veltarec.dll";

    // The loaded service, or null when the library cannot be loaded.
    static std::unique_ptr<RecognitionService> Load(const char* name = kLibraryName);
    ~RecognitionService();
    RecognitionService(const RecognitionService&) = delete;
    RecognitionService& operator=(const RecognitionService&) = delete;

    // The three functions of one recognition, bound by name.
    struct Functions {
        void (*setGuideBox)(int32_t, int32_t, int32_t, int32_t);
        void (*setRecCategory)(int32_t);
        int32_t (*recognizeF)(PATTERN_W*, CR_RESULT*, int32_t);
    };
    // All three, or nothing when any of them is missing.
    std::optional<Functions> bind() const;

private:
    explicit RecognitionService(void* module) : module_(module) {}
    void* module_;
};

// One recognition through bound functions: the guide box is the whole client area,
// the list is emptied before the call. Returns the service's result (0 = success).
int32_t RecognizeInk(const RecognitionService::Functions& fn, int width, int height, uint32_t mask,
                     PATTERN_W* ink, CR_RESULT* list, int32_t listSize);

} // namespace quillbox
