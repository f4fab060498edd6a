// A small strict JSON reader (RFC 8259) for one input line, with bounds on nesting
// depth, string length and element count so that hostile input cannot exhaust memory or
// the stack.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace recognize {

struct JsonValue {
    enum class Type { Null, Bool, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    double number = 0;
    std::string text;                                       // String: UTF-8
    std::vector<JsonValue> items;                           // Array
    std::vector<std::pair<std::string, JsonValue>> members; // Object, in input order

    // The member called name, or null (objects only).
    const JsonValue* Find(std::string_view name) const;
};

struct JsonLimits {
    int maxDepth = 16;
    size_t maxStringBytes = 4096;
    size_t maxValues = 200000; // every value counts, containers included
};

struct JsonResult {
    bool ok = false;
    JsonValue value;
    std::string error; // what is wrong and at which byte, when !ok
};

// Parses exactly one JSON value; blanks around it are allowed, anything else after it is
// an error. Strings must be valid UTF-8; duplicate object keys are refused.
JsonResult ParseJson(std::string_view text, const JsonLimits& limits = {});

} // namespace recognize
