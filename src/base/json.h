// The JSON of the command line and the settings backups: nlohmann's ordered value (members keep the
// order in which they were added), written in the layout the report and the settings backup have
// always had, and read strictly.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace base::json {

using Value = nlohmann::ordered_json;

// Bytes that are not valid UTF-8 are taken as Latin-1, the single-byte code page the
// controller's texts come from, so the output is always valid UTF-8.
std::string toUtf8(std::string_view bytes);

// The quoted, escaped form of a string (made valid UTF-8 first).
std::string quote(std::string_view text);

// Indented by two; an array or object of scalars only stays on one line; a final newline.
std::string write(const Value& value);

struct ParseResult {
    std::optional<Value> value;
    std::string error;  // what is wrong and where, when value is empty
};

inline constexpr int maxNestingDepth = 32;

// Strict RFC 8259 text: invalid UTF-8, a member named twice, a number beyond the range
// of a double, nesting beyond maxNestingDepth and trailing bytes are refused.
ParseResult parse(std::string_view text);

// The member name of object, or nullptr when it is no object or has no such member.
const Value* member(const Value& object, std::string_view name);
// A string member, or nullptr.
const std::string* stringMember(const Value& object, std::string_view name);
// An integer member, or nullopt when it is missing, no integer or beyond 64 bits.
std::optional<std::int64_t> integerMember(const Value& object, std::string_view name);

}  // namespace base::json
