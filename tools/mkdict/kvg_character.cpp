#include "tools/mkdict/kvg_character.h"

#include <cstring>

#include <expat.h>

namespace mkdict {

namespace {

struct ParseState {
    XML_Parser parser = nullptr;
    KvgCharacter* out = nullptr;
    std::string error;
};

void OnStart(void* user, const XML_Char* name, const XML_Char** attrs) {
    auto* st = static_cast<ParseState*>(user);
    if (!st->error.empty() || std::strcmp(name, "path") != 0) return;
    const char* d = nullptr;
    const char* id = "";
    for (int i = 0; attrs[i]; i += 2) {
        if (std::strcmp(attrs[i], "d") == 0)
            d = attrs[i + 1];
        else if (std::strcmp(attrs[i], "id") == 0)
            id = attrs[i + 1];
    }
    if (!d) {
        st->error = std::string("path ") + id + " without data";
        XML_StopParser(st->parser, XML_FALSE);
        return;
    }
    std::vector<Polyline> parts;
    std::string why;
    if (!FlattenPathData(d, parts, why)) {
        st->error = std::string("path ") + id + ": " + why;
        XML_StopParser(st->parser, XML_FALSE);
        return;
    }
    // A stroke is drawn in one go: later subpaths continue it.
    Polyline stroke;
    for (auto& p : parts) stroke.insert(stroke.end(), p.begin(), p.end());
    st->out->strokes.push_back(std::move(stroke));
}

} // namespace

bool ParseKvgSvg(std::string_view svg, KvgCharacter& out, std::string& error) {
    out.strokes.clear();
    ParseState st;
    st.out = &out;
    st.parser = XML_ParserCreate("UTF-8");
    if (!st.parser) {
        error = "out of memory";
        return false;
    }
    XML_SetUserData(st.parser, &st);
    XML_SetStartElementHandler(st.parser, OnStart);
    bool ok =
        XML_Parse(st.parser, svg.data(), static_cast<int>(svg.size()), XML_TRUE) == XML_STATUS_OK;
    if (!ok && st.error.empty()) {
        st.error = std::string("XML error at line ") +
                   std::to_string(XML_GetCurrentLineNumber(st.parser)) + ": " +
                   XML_ErrorString(XML_GetErrorCode(st.parser));
    }
    XML_ParserFree(st.parser);
    if (st.error.empty() && out.strokes.empty()) st.error = "no strokes in the drawing";
    if (!st.error.empty()) {
        error = st.error;
        out.strokes.clear();
        return false;
    }
    return true;
}

} // namespace mkdict
