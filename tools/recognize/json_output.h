// Writing the recognizer's output lines.
#pragma once

#include "tools/recognize/service_client.h"

#include <string>
#include <string_view>
#include <vector>

namespace recognize {

// text as a JSON string literal (UTF-8 passes through; quotes, backslashes and control
// characters are escaped).
std::string JsonString(std::string_view text);

// {"candidates": [{"text": "...", "score": N}, ...]}; line results carry no score.
std::string CandidatesLine(const std::vector<Candidate>& candidates);

// {"candidates": [{"text": "..."}, ...], "chars": [{"text": "...", "first": F, "last": L,
// "candidates": [{"text": "...", "score": N}, ...]}, ...]}: the line's strings and the
// characters of the best one.
std::string LineResultLine(const LineResult& line);

// {"error": "..."}
std::string ErrorLine(std::string_view message);

} // namespace recognize
