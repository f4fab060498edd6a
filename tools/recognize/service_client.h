// The recognition service as the command-line recognizer uses it: loaded by name once
// per run (which opens the recognizer and its dictionaries), its exports bound by name.
#pragma once

#include "platform/loader.h"
#include "tessera/veltarec.h"
#include "tools/recognize/ink_input.h"
#include "tools/service_exports.h"

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

// One character of a line's best string: its first and last stroke (numbered from 0 in
// input order) and its candidates, best first, the one the string holds at the front.
struct LineChar {
    std::string text; // UTF-8
    int32_t first = 0;
    int32_t last = 0;
    std::vector<Candidate> candidates;
};

struct LineResult {
    std::vector<Candidate> strings; // best first, without scores
    std::vector<LineChar> chars;    // of strings[0]
};

struct LineOptions {
    // The line's writing frame is (0, 0)-(width, height); without one it is the bounding
    // box of the line's ink.
    std::optional<GuideBox> box;
    // Re-read the best segmentation's characters and correct them with the bigram
    // statistics (the recognizer's second recognition).
    bool correct = true;
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

    // A line of characters through a recognition object: up to nbest result strings, best
    // first, and the characters of the best one with up to nbest candidates each. With
    // correction the best string is the corrected one, followed by the other strings of
    // the segmentation search. False with a message when the loaded recognizer has no
    // line recognition.
    bool RecognizeLine(const std::vector<InkStroke>& strokes, int nbest, const LineOptions& options,
                       LineResult& out, std::string& error);

private:
    explicit ServiceClient(platform::ModuleHandle module) : module_(module) {}
    // The writing box: the given one, or the bounding box of the ink.
    void SetBox(const std::vector<InkStroke>& strokes, const std::optional<GuideBox>& box);
    // Candidates of one pattern, best first (empty when nothing was recognized).
    std::vector<Candidate> Classify(PATTERN_W* pattern, int nbest);
    // The characters of candidate 0 of a recognized object, text is its string.
    bool ReadChars(SRHANDLE object, const std::string& sjis, int nbest,
                   std::vector<LineChar>& chars);

    platform::ModuleHandle module_;
    veltarec::Exports fn_;
};

// The characters of a Shift-JIS string, one byte string each (a lead byte takes the byte
// after it along).
std::vector<std::string> SplitSjis(std::string_view sjis);

// The text of a character code: a Shift-JIS double-byte code has its first byte in bits
// 8-15, a single-byte code has them clear. Undecodable codes give U+FFFD.
std::string CodeToUtf8(uint32_t code);

} // namespace recognize
