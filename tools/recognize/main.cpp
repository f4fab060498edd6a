// tessera-recognize: recognizes handwriting read as JSON lines through the recognition
// service, the same way the game's handwriting box does.
#include "tools/recognize/ink_input.h"
#include "tools/recognize/json_output.h"
#include "tools/recognize/service_client.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

namespace {

constexpr size_t kMaxLineBytes = 8u << 20;

const char* const kUsage = R"(Usage: tessera-recognize [options] < input.jsonl

Recognizes handwriting through the recognition service (veltarec), which loads the
recognizer and dictionaries named in VELTAREC.INI. The service is opened once per run.

Input: one JSON object per line,
    {"strokes": [[[x, y], [x, y], ...], [[x, y], ...], ...]}
strokes in writing order, pixel coordinates, y downwards. Coordinates may have
fractions, as browsers and tablets deliver them: they are rounded to the nearest
integer (halves away from zero), which must lie in -32768..32767. Other members are
ignored.

Output: one JSON object per input line, UTF-8,
    {"candidates": [{"text": "明", "score": 912}, ...]}
best first (an empty list when nothing was recognized). With --line the candidates
are the result strings of the line, best first, without scores, and "chars" gives
the characters of the best string: its first and last stroke (numbered from 0 in
input order) and its candidates with their scores, the one the string holds first:
    {"candidates": [{"text": "一二"}, ...], "chars": [
      {"text": "一", "first": 0, "last": 0, "candidates": [{"text": "一", "score": 955}, ...]},
      {"text": "二", "first": 1, "last": 2, "candidates": [...]}]}
A malformed line gives {"error": "..."} for that line and the run goes on.

Line recognition (--line) runs the string recognizer's two passes: the segmentation
search finds the best division of the strokes into characters and their readings;
then every character of the best division is stated as one character and the
recognizer reads them again, correcting the string with its character-pair (bigram)
statistics. The corrected string comes first, followed by the search's other strings;
a character whose strokes cannot be read at all is 〓 there, with no candidates. The
second pass is on by default because it weighs the classifier's scores themselves
against the pair statistics, where the search's own language terms can overrule the
shape (a character alone, or the first of a line, read as a more frequent one);
--no-correction leaves it out.

Options:
  --nbest N         at most N candidates per line, and per character of a line
                    (1..1000, default 10)
  --line            recognize the strokes as a line of characters (string recognizer)
  --no-correction   with --line: the segmentation search's strings only, without the
                    bigram correction of the second pass
  --mask N          category mask (0..511, default 511 = every category):
                    1 hiragana, 2 digits, 4 katakana, 8 symbols, 16 first-level kanji,
                    32 second-level kanji, 64 Latin letters, 128 Greek letters,
                    256 punctuation
  --box W,H         the writing box is (0,0)-(W,H): the box of a single character, or
                    with --line the frame the whole line is written in; default: the
                    bounding box of each line's ink. The classifier places
                    position-sensitive characters in it (the compiled dictionaries mark
                    none, so it changes no reading with them)
  --system-dir DIR  read VELTAREC.INI and the dictionaries from DIR
                    (sets TESSERA_SYSTEM_DIR)
  --help            show this text

Exit status: 0 when every line was recognized, 1 when any line failed, 2 when the
options are wrong or the service does not load.
)";

struct Options {
    int nbest = 10;
    bool line = false;
    bool correct = true;
    int mask = 511;
    std::optional<recognize::GuideBox> box;
};

bool ParseInt(const char* text, long low, long high, long& out) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtol(text, &end, 10);
    return errno == 0 && *end == 0 && out >= low && out <= high;
}

int UsageError(const std::string& message) {
    std::cerr << "tessera-recognize: " << message << "\n(see --help)\n";
    return 2;
}

// Reads one line into out, at most kMaxLineBytes of it; false at the end of input.
// too_long is set when the line was longer (the rest of it is skipped).
bool ReadLine(std::FILE* in, std::string& out, bool& tooLong) {
    out.clear();
    tooLong = false;
    int c;
    bool any = false;
    while ((c = std::getc(in)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (out.size() < kMaxLineBytes)
            out.push_back(static_cast<char>(c));
        else
            tooLong = true;
    }
    if (!out.empty() && out.back() == '\r') out.pop_back();
    return any;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        long n = 0;
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--line") {
            options.line = true;
        } else if (arg == "--no-correction") {
            options.correct = false;
        } else if (arg == "--nbest") {
            if (!ParseInt(value, 1, 1000, n)) return UsageError("--nbest needs a number 1..1000");
            options.nbest = static_cast<int>(n);
            ++i;
        } else if (arg == "--mask") {
            if (!ParseInt(value, 0, 511, n)) return UsageError("--mask needs a number 0..511");
            options.mask = static_cast<int>(n);
            ++i;
        } else if (arg == "--box") {
            const char* comma = value ? std::strchr(value, ',') : nullptr;
            long w = 0, h = 0;
            if (!comma || !ParseInt(std::string(value, comma).c_str(), 1, 32767, w) ||
                !ParseInt(comma + 1, 1, 32767, h))
                return UsageError("--box needs W,H (1..32767 each)");
            options.box = recognize::GuideBox{static_cast<int32_t>(w), static_cast<int32_t>(h)};
            ++i;
        } else if (arg == "--system-dir") {
            if (!value || !*value) return UsageError("--system-dir needs a folder");
            setenv("TESSERA_SYSTEM_DIR", value, 1);
            ++i;
        } else {
            return UsageError("unknown option " + arg);
        }
    }

    if (!options.correct && !options.line) return UsageError("--no-correction needs --line");

    std::string error;
    std::unique_ptr<recognize::ServiceClient> service = recognize::ServiceClient::Load(error);
    if (!service) {
        std::cerr << "tessera-recognize: " << error << "\n";
        return 2;
    }
    service->SetCategory(options.mask);

    bool anyFailed = false;
    std::string line;
    bool tooLong = false;
    while (ReadLine(stdin, line, tooLong)) {
        std::string output;
        bool failed = true;
        if (tooLong) {
            output = recognize::ErrorLine("line longer than " + std::to_string(kMaxLineBytes) +
                                          " bytes");
        } else {
            recognize::InkLine ink = recognize::ParseInkLine(line);
            if (!ink.ok) {
                output = recognize::ErrorLine(ink.error);
            } else if (options.line) {
                recognize::LineResult result;
                const recognize::LineOptions lineOptions{options.box, options.correct};
                if (service->RecognizeLine(ink.strokes, options.nbest, lineOptions, result,
                                           error)) {
                    output = recognize::LineResultLine(result);
                    failed = false;
                } else {
                    output = recognize::ErrorLine(error);
                }
            } else {
                output = recognize::CandidatesLine(
                    service->RecognizeCharacter(ink.strokes, options.nbest, options.box));
                failed = false;
            }
        }
        anyFailed = anyFailed || failed;
        std::fputs(output.c_str(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    return anyFailed ? 1 : 0;
}
