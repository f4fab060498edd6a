// A small strict JSON reader (RFC 8259) for one input line, with bounds on nesting
// depth, string length and element count so that hostile input cannot exhaust memory or
// the stack.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace recognize {

struct JsonMember;

struct JsonValue {
    enum class Type { Null, Bool, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    double number = 0;
    std::string text;                // String: UTF-8
    std::vector<JsonValue> items;    // Array
    std::vector<JsonMember> members; // Object, in input order

    // The member called name, or null (objects only).
    const JsonValue* Find(std::string_view name) const;
};

// One name/value pair of an object. A record of its own, declared after JsonValue, because
// a vector of pairs of JsonValue would instantiate std::pair with JsonValue still
// incomplete, which libstdc++ refuses under clang.
struct JsonMember {
    std::string name;
    JsonValue value;
};

// Hard ceiling on nesting, whatever the caller's limits say: the reader recurses once per
// level, and this keeps it far from the end of any thread's stack.
inline constexpr int kMaxJsonDepth = 256;

struct JsonLimits {
    int maxDepth = 16; // at most kMaxJsonDepth is honoured
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
