// The recognition service as the command-line recognizer uses it: loaded by name once
// per run (which opens the recognizer and its dictionaries), its exports bound by name.
#pragma once

#include "platform/loader.h"
#include "recservice/veltarec.h"
#include "tools/recognize/ink_input.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace recognize {

struct Candidate {
    std::string text; // UTF-8
    int score = 0;
    bool hasScore = false; // line results carry no score
};

struct GuideBox {
    int32_t width;
    int32_t height;
};

class ServiceClient {
public:
    // Loads "veltarec.dll"; null with a message when the service does not load.
    static std::unique_ptr<ServiceClient> Load(std::string& error);
    ~ServiceClient();
    ServiceClient(const ServiceClient&) = delete;
    ServiceClient& operator=(const ServiceClient&) = delete;

    void SetCategory(int32_t mask);

    // One character: up to nbest candidates, best first. With a guide box the writing box
    // is (0, 0)-(width, height); without one it is the ink's own bounding box.
    std::vector<Candidate> RecognizeCharacter(const std::vector<InkStroke>& strokes, int nbest,
                                              const std::optional<GuideBox>& box);

    // A line of characters through a recognition object: up to nbest result strings,
    // best first. False with a message when the loaded recognizer has no line recognition.
    bool RecognizeLine(const std::vector<InkStroke>& strokes, int nbest,
                       std::vector<Candidate>& out, std::string& error);

private:
    explicit ServiceClient(platform::ModuleHandle module) : module_(module) {}
    bool Bind();

    platform::ModuleHandle module_;
    veltarec::SetRecCategoryFn setRecCategory_ = nullptr;
    veltarec::SetGuideBoxFn setGuideBox_ = nullptr;
    veltarec::RecognizeFFn recognizeF_ = nullptr;
    veltarec::CreateNewObjectFn createObject_ = nullptr;
    veltarec::DestroyObjectFn destroyObject_ = nullptr;
    veltarec::AddStrokeLastFn addStroke_ = nullptr;
    veltarec::RecognizeNFFn recognizeNF_ = nullptr;
    veltarec::GetResultCountFn resultCount_ = nullptr;
    veltarec::GetStringFn getString_ = nullptr;
};

// The text of a character code: a Shift-JIS double-byte code has its first byte in bits
// 8-15, a single-byte code has them clear. Undecodable codes give U+FFFD.
std::string CodeToUtf8(uint32_t code);

} // namespace recognize
