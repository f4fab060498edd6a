#include "tools/recognize/ink_input.h"

#include "tools/recognize/json_reader.h"

#include <cmath>

namespace recognize {
namespace {

InkLine Error(std::string what) {
    InkLine line;
    line.error = std::move(what);
    return line;
}

bool Coordinate(const JsonValue& v, int32_t& out) {
    return v.type == JsonValue::Type::Number && InkCoordinate(v.number, out);
}

} // namespace

// Browsers and tablets deliver fractional pixels: a coordinate is rounded to the nearest
// integer, which must then fit 16 bits.
bool InkCoordinate(double value, int32_t& out) {
    const double rounded = std::round(value);
    if (!(rounded >= -32768 && rounded <= 32767)) return false;
    out = static_cast<int32_t>(rounded);
    return true;
}

InkLine ParseInkLine(std::string_view text) {
    JsonLimits limits;
    limits.maxValues = 4 * kMaxPoints; // a point is three values; room for other members
    JsonResult json = ParseJson(text, limits);
    if (!json.ok) return Error("invalid JSON: " + json.error);
    if (json.value.type != JsonValue::Type::Object) return Error("the line is not a JSON object");
    const JsonValue* strokes = json.value.Find("strokes");
    if (!strokes) return Error("no \"strokes\" member");
    if (strokes->type != JsonValue::Type::Array) return Error("\"strokes\" is not an array");
    if (strokes->items.size() > kMaxStrokes)
        return Error("more than " + std::to_string(kMaxStrokes) + " strokes");

    InkLine line;
    size_t total = 0;
    for (size_t s = 0; s < strokes->items.size(); ++s) {
        const JsonValue& stroke = strokes->items[s];
        const std::string where = "stroke " + std::to_string(s + 1);
        if (stroke.type != JsonValue::Type::Array) return Error(where + " is not an array");
        if (stroke.items.empty()) return Error(where + " has no points");
        total += stroke.items.size();
        if (total > kMaxPoints) return Error("more than " + std::to_string(kMaxPoints) + " points");
        InkStroke points;
        points.reserve(stroke.items.size());
        for (size_t p = 0; p < stroke.items.size(); ++p) {
            const JsonValue& point = stroke.items[p];
            const std::string at = where + ", point " + std::to_string(p + 1);
            if (point.type != JsonValue::Type::Array || point.items.size() != 2)
                return Error(at + " is not an [x, y] pair");
            InkPoint ip{};
            if (!Coordinate(point.items[0], ip.x) || !Coordinate(point.items[1], ip.y))
                return Error(at + " needs coordinates from -32768 to 32767 (rounded to integers)");
            points.push_back(ip);
        }
        line.strokes.push_back(std::move(points));
    }
    line.ok = true;
    return line;
}

} // namespace recognize
