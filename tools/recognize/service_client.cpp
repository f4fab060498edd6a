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
    if (!client->Bind()) {
        error = "the recognition service lacks its exports";
        return nullptr;
    }
    return client;
}

ServiceClient::~ServiceClient() {
    platform::FreeLibrary(module_);
}

bool ServiceClient::Bind() {
    using platform::GetProc;
    setRecCategory_ = GetProc<veltarec::SetRecCategoryFn>(module_, "SetRecCategory");
    setGuideBox_ = GetProc<veltarec::SetGuideBoxFn>(module_, "SetGuideBox");
    recognizeF_ = GetProc<veltarec::RecognizeFFn>(module_, "RecognizeF");
    createObject_ = GetProc<veltarec::CreateNewObjectFn>(module_, "CreateNewObject");
    destroyObject_ = GetProc<veltarec::DestroyObjectFn>(module_, "DestroyObject");
    addStroke_ = GetProc<veltarec::AddStrokeLastFn>(module_, "AddStrokeLast");
    recognizeNF_ = GetProc<veltarec::RecognizeNFFn>(module_, "RecognizeNF");
    resultCount_ = GetProc<veltarec::GetResultCountFn>(module_, "GetResultCount");
    getString_ = GetProc<veltarec::GetStringFn>(module_, "GetString");
    return setRecCategory_ && setGuideBox_ && recognizeF_ && createObject_ && destroyObject_ &&
           addStroke_ && recognizeNF_ && resultCount_ && getString_;
}

void ServiceClient::SetCategory(int32_t mask) {
    setRecCategory_(mask);
}

std::vector<Candidate> ServiceClient::RecognizeCharacter(const std::vector<InkStroke>& strokes,
                                                         int nbest,
                                                         const std::optional<GuideBox>& box) {
    std::vector<POINT_W> points;
    int32_t minx = INT32_MAX, miny = INT32_MAX, maxx = INT32_MIN, maxy = INT32_MIN;
    for (const InkStroke& stroke : strokes) {
        for (size_t i = 0; i < stroke.size(); ++i) {
            uint8_t attr = 0;
            if (i == 0) attr |= PT_PENDOWN;
            if (i + 1 == stroke.size()) attr |= PT_PENUP;
            points.push_back(POINT_W{static_cast<int16_t>(stroke[i].x),
                                     static_cast<int16_t>(stroke[i].y), attr});
            minx = std::min(minx, stroke[i].x);
            miny = std::min(miny, stroke[i].y);
            maxx = std::max(maxx, stroke[i].x);
            maxy = std::max(maxy, stroke[i].y);
        }
    }
    if (points.empty()) return {};
    if (box)
        setGuideBox_(box->width, box->height, 0, 0);
    else
        setGuideBox_(maxx, maxy, minx, miny);

    PATTERN_W pattern{points.data(), static_cast<int32_t>(points.size())};
    std::vector<CR_RESULT> results(static_cast<size_t>(nbest), CR_RESULT{});
    std::vector<Candidate> out;
    if (recognizeF_(&pattern, results.data(), nbest) != 0) return out;
    for (const CR_RESULT& r : results) {
        if (r.score < 1) break; // the rest are empty slots
        out.push_back(Candidate{CodeToUtf8(r.code), r.score, true});
    }
    return out;
}

bool ServiceClient::RecognizeLine(const std::vector<InkStroke>& strokes, int nbest,
                                  std::vector<Candidate>& out, std::string& error) {
    out.clear();
    SRHANDLE object = createObject_();
    if (!object) {
        error = "the loaded recognizer offers no line recognition";
        return false;
    }
    bool added = true;
    for (const InkStroke& stroke : strokes) {
        std::vector<tagPOINT> points;
        points.reserve(stroke.size());
        for (const InkPoint& p : stroke) points.push_back(tagPOINT{p.x, p.y});
        if (addStroke_(object, points.data(), static_cast<int32_t>(points.size())) != 0) {
            added = false;
            break;
        }
    }
    if (!added) {
        destroyObject_(object);
        error = "the recognizer refused a stroke";
        return false;
    }
    if (!strokes.empty() && recognizeNF_(object) == 0) {
        const int32_t count = std::min<int32_t>(resultCount_(object), nbest);
        for (int32_t i = 0; i < count; ++i) {
            int32_t length = 0;
            const char* text = getString_(object, i, &length);
            if (!text) continue;
            out.push_back(Candidate{Cp932Text(text), 0, false});
        }
    }
    destroyObject_(object);
    return true;
}

} // namespace recognize
