#include "tools/recognize/json_output.h"

#include <cstdio>

namespace recognize {

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(ch);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out.push_back(ch);
        }
    }
    out.push_back('"');
    return out;
}

namespace {

// [{"text": "...", "score": N}, ...]
std::string CandidateArray(const std::vector<Candidate>& candidates) {
    std::string out = "[";
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (i) out += ", ";
        out += "{\"text\": " + JsonString(candidates[i].text);
        if (candidates[i].hasScore) out += ", \"score\": " + std::to_string(candidates[i].score);
        out += "}";
    }
    return out + "]";
}

} // namespace

std::string CandidatesLine(const std::vector<Candidate>& candidates) {
    return "{\"candidates\": " + CandidateArray(candidates) + "}";
}

std::string LineResultLine(const LineResult& line) {
    std::string out = "{\"candidates\": " + CandidateArray(line.strings) + ", \"chars\": [";
    for (size_t i = 0; i < line.chars.size(); ++i) {
        const LineChar& c = line.chars[i];
        if (i) out += ", ";
        out += "{\"text\": " + JsonString(c.text) + ", \"first\": " + std::to_string(c.first) +
               ", \"last\": " + std::to_string(c.last) +
               ", \"candidates\": " + CandidateArray(c.candidates) + "}";
    }
    return out + "]}";
}

std::string ErrorLine(std::string_view message) {
    return "{\"error\": " + JsonString(message) + "}";
}

} // namespace recognize
