#include "tools/recognize/service_client.h"

#include "platform/encoding.h"
#include "platform/sysdir.h"

#include <algorithm>
#include <climits>

namespace recognize {
namespace {

const char* const kReplacement = "\xEF\xBF\xBD";

std::string Cp932Text(std::string_view bytes) {
    std::optional<std::string> text = platform::Cp932ToUtf8(bytes);
    return text ? *text : std::string(kReplacement);
}

} // namespace

std::string CodeToUtf8(uint32_t code) {
    const auto high = static_cast<char>((code >> 8) & 0xFF);
    const auto low = static_cast<char>(code & 0xFF);
    if (((code >> 8) & 0xFF) < 0x80) return Cp932Text(std::string_view(&low, 1));
    const char bytes[2] = {high, low};
    return Cp932Text(std::string_view(bytes, 2));
}

std::unique_ptr<ServiceClient> ServiceClient::Load(std::string& error) {
    platform::ModuleHandle module = platform::LoadLibrary("veltarec.dll");
    if (!module) {
        error = "the recognition service (veltarec) did not load: check VELTAREC.INI, the "
                "recognizer it names and the dictionaries in " +
                platform::SystemDirectory();
        return nullptr;
    }
    std::unique_ptr<ServiceClient> client(new ServiceClient(module));
    if (!client->fn_.Bind(module)) {
        error = "the recognition service lacks its exports";
        return nullptr;
    }
    return client;
}

ServiceClient::~ServiceClient() {
    platform::FreeLibrary(module_);
}

std::vector<std::string> SplitSjis(std::string_view sjis) {
    std::vector<std::string> chars;
    for (size_t i = 0; i < sjis.size();) {
        const auto lead = static_cast<unsigned char>(sjis[i]);
        const bool wide = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
        const size_t n = wide && i + 1 < sjis.size() ? 2 : 1;
        chars.emplace_back(sjis.substr(i, n));
        i += n;
    }
    return chars;
}

void ServiceClient::SetCategory(int32_t mask) {
    fn_.setRecCategory(mask);
}

void ServiceClient::SetBox(const std::vector<InkStroke>& strokes,
                           const std::optional<GuideBox>& box) {
    if (box) {
        fn_.setGuideBox(box->width, box->height, 0, 0);
        return;
    }
    int32_t minx = INT32_MAX, miny = INT32_MAX, maxx = INT32_MIN, maxy = INT32_MIN;
    for (const InkStroke& stroke : strokes) {
        for (const InkPoint& p : stroke) {
            minx = std::min(minx, p.x);
            miny = std::min(miny, p.y);
            maxx = std::max(maxx, p.x);
            maxy = std::max(maxy, p.y);
        }
    }
    if (minx <= maxx) fn_.setGuideBox(maxx, maxy, minx, miny);
}

std::vector<Candidate> ServiceClient::Classify(PATTERN_W* pattern, int nbest) {
    std::vector<CR_RESULT> results(static_cast<size_t>(nbest), CR_RESULT{});
    std::vector<Candidate> out;
    if (fn_.recognizeF(pattern, results.data(), nbest) != 0) return out;
    for (const CR_RESULT& r : results) {
        if (r.score < 1) break; // the rest are empty slots
        out.push_back(Candidate{CodeToUtf8(r.code), r.score, true});
    }
    return out;
}

std::vector<Candidate> ServiceClient::RecognizeCharacter(const std::vector<InkStroke>& strokes,
                                                         int nbest,
                                                         const std::optional<GuideBox>& box) {
    std::vector<POINT_W> points;
    for (const InkStroke& stroke : strokes) {
        for (size_t i = 0; i < stroke.size(); ++i) {
            uint8_t attr = 0;
            if (i == 0) attr |= PT_PENDOWN;
            if (i + 1 == stroke.size()) attr |= PT_PENUP;
            points.push_back(POINT_W{static_cast<int16_t>(stroke[i].x),
                                     static_cast<int16_t>(stroke[i].y), attr});
        }
    }
    if (points.empty()) return {};
    SetBox(strokes, box);
    PATTERN_W pattern{points.data(), static_cast<int32_t>(points.size())};
    return Classify(&pattern, nbest);
}

bool ServiceClient::ReadChars(SRHANDLE object, const std::string& sjis, int nbest,
                              std::vector<LineChar>& chars) {
    chars.clear();
    const std::vector<std::string> texts = SplitSjis(sjis);
    for (size_t n = 0; n < texts.size(); ++n) {
        LineChar c;
        c.text = Cp932Text(texts[n]);
        const auto charNo = static_cast<int32_t>(n);
        if (fn_.strokesOfChar(object, 0, charNo, &c.first, &c.last) != 0) return false;
        // The character's strokes classified alone give the candidates the recognizer
        // chose from; the one the string holds goes to the front.
        PATTERN_W* pattern = fn_.patternOfChar(object, 0, charNo);
        if (pattern) {
            c.candidates = Classify(pattern, nbest);
            fn_.destroyPattern(pattern);
        }
        auto chosen = std::find_if(c.candidates.begin(), c.candidates.end(),
                                   [&](const Candidate& k) { return k.text == c.text; });
        if (chosen != c.candidates.end()) std::rotate(c.candidates.begin(), chosen, chosen + 1);
        chars.push_back(std::move(c));
    }
    return true;
}

bool ServiceClient::RecognizeLine(const std::vector<InkStroke>& strokes, int nbest,
                                  const LineOptions& options, LineResult& out, std::string& error) {
    out = LineResult{};
    SRHANDLE object = fn_.createObject();
    if (!object) {
        error = "the loaded recognizer offers no line recognition";
        return false;
    }
    bool added = true;
    for (const InkStroke& stroke : strokes) {
        std::vector<tagPOINT> points;
        points.reserve(stroke.size());
        for (const InkPoint& p : stroke) points.push_back(tagPOINT{p.x, p.y});
        if (fn_.addStroke(object, points.data(), static_cast<int32_t>(points.size())) != 0) {
            added = false;
            break;
        }
    }
    if (!added) {
        fn_.destroyObject(object);
        error = "the recognizer refused a stroke";
        return false;
    }
    SetBox(strokes, options.box);
    std::vector<std::string> found; // Shift-JIS, best first
    if (!strokes.empty() && fn_.recognizeNF(object) == 0) {
        const int32_t count = std::min<int32_t>(fn_.resultCount(object), nbest);
        for (int32_t i = 0; i < count; ++i) {
            int32_t length = 0;
            const char* text = fn_.getString(object, i, &length);
            if (text) found.emplace_back(text);
        }
    }
    if (!found.empty() && options.correct) {
        // State that every character of the best segmentation is one character, and
        // recognize again: the recognizer re-reads them and corrects the string with its
        // bigram statistics.
        bool stated = true;
        const size_t chars = SplitSjis(found[0]).size();
        for (size_t n = 0; n < chars && stated; ++n) {
            int32_t first = 0, last = 0;
            stated = fn_.strokesOfChar(object, 0, static_cast<int32_t>(n), &first, &last) == 0 &&
                     fn_.giveStrokeSet(object, 0, first, last) == 0;
        }
        int32_t length = 0;
        const char* text =
            stated && fn_.recognizeNF(object) == 0 ? fn_.getString(object, 0, &length) : nullptr;
        if (text) {
            const std::string corrected = text;
            found.erase(std::remove(found.begin(), found.end(), corrected), found.end());
            found.insert(found.begin(), corrected);
            if (found.size() > static_cast<size_t>(nbest)) found.resize(static_cast<size_t>(nbest));
        }
    }
    for (const std::string& text : found)
        out.strings.push_back(Candidate{Cp932Text(text), 0, false});
    if (!found.empty() && !ReadChars(object, found[0], nbest, out.chars)) out.chars.clear();
    fn_.destroyObject(object);
    return true;
}

} // namespace recognize
