// A small JSON value with a writer and a reader, enough for the CLI's report and the
// settings backup. Objects keep the order in which members were added.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cli::json {

class Value {
  public:
    enum class Type { Null, Bool, Integer, Real, String, Array, Object };
    using Member = std::pair<std::string, Value>;

    Value() = default;
    Value(bool value) : m_type(Type::Bool), m_bool(value) {}
    Value(int value) : m_type(Type::Integer), m_integer(value) {}
    Value(std::int64_t value) : m_type(Type::Integer), m_integer(value) {}
    Value(double value) : m_type(Type::Real), m_real(value) {}
    Value(std::string value) : m_type(Type::String), m_string(std::move(value)) {}
    Value(std::string_view value) : m_type(Type::String), m_string(value) {}
    Value(const char* value) : m_type(Type::String), m_string(value) {}

    static Value array() { return Value(Type::Array); }
    static Value object() { return Value(Type::Object); }

    Type type() const { return m_type; }
    bool isNull() const { return m_type == Type::Null; }
    bool isBool() const { return m_type == Type::Bool; }
    bool isInteger() const { return m_type == Type::Integer; }
    bool isString() const { return m_type == Type::String; }
    bool isArray() const { return m_type == Type::Array; }
    bool isObject() const { return m_type == Type::Object; }

    bool asBool() const { return m_bool; }
    std::int64_t asInteger() const { return m_integer; }
    double asReal() const {
        return m_type == Type::Integer ? static_cast<double>(m_integer) : m_real;
    }
    const std::string& asString() const { return m_string; }

    // Arrays.
    const std::vector<Value>& items() const { return m_items; }
    Value& push(Value value);

    // Objects. set() replaces a member of the same name.
    const std::vector<Member>& members() const { return m_members; }
    Value& set(std::string name, Value value);
    const Value* find(std::string_view name) const;

  private:
    explicit Value(Type type) : m_type(type) {}

    Type m_type = Type::Null;
    bool m_bool = false;
    std::int64_t m_integer = 0;
    double m_real = 0.0;
    std::string m_string;
    std::vector<Value> m_items;
    std::vector<Member> m_members;
};

// Bytes that are not valid UTF-8 are taken as Latin-1, the single-byte code page the
// controller's texts come from, so the output is always valid UTF-8.
std::string toUtf8(std::string_view bytes);

// The quoted, escaped form of a string (made valid UTF-8 first).
std::string quote(std::string_view text);

// Indented text; an array or object of scalars only stays on one line.
std::string write(const Value& value);

struct ParseResult {
    std::optional<Value> value;
    std::string error;  // what is wrong and at which byte, when value is empty
};

inline constexpr int maxNestingDepth = 32;

// Strict RFC 8259 text; invalid UTF-8, nesting beyond maxNestingDepth and trailing
// bytes are refused.
ParseResult parse(std::string_view text);

}  // namespace cli::json
