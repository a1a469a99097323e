#include "cli/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace cli::json {

Value& Value::push(Value value) {
    m_items.push_back(std::move(value));
    return m_items.back();
}

Value& Value::set(std::string name, Value value) {
    for (Member& member : m_members) {
        if (member.first == name) {
            member.second = std::move(value);
            return member.second;
        }
    }
    m_members.emplace_back(std::move(name), std::move(value));
    return m_members.back().second;
}

const Value* Value::find(std::string_view name) const {
    for (const Member& member : m_members) {
        if (member.first == name) {
            return &member.second;
        }
    }
    return nullptr;
}

namespace {

// Length of the valid UTF-8 sequence at text[pos], or 0 when it is not one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    std::uint32_t minimum = 0;
    std::uint32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(pos + i) & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are not UTF-8.
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

void appendCodePoint(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool isScalar(const Value& value) {
    return !value.isArray() && !value.isObject();
}

bool allScalar(const Value& value) {
    if (value.isArray()) {
        for (const Value& item : value.items()) {
            if (!isScalar(item)) {
                return false;
            }
        }
        return true;
    }
    for (const Value::Member& member : value.members()) {
        if (!isScalar(member.second)) {
            return false;
        }
    }
    return true;
}

void writeScalar(std::string& out, const Value& value) {
    switch (value.type()) {
        case Value::Type::Null:
            out += "null";
            break;
        case Value::Type::Bool:
            out += value.asBool() ? "true" : "false";
            break;
        case Value::Type::Integer:
            out += std::to_string(value.asInteger());
            break;
        case Value::Type::Real: {
            if (!std::isfinite(value.asReal())) {
                out += "null";  // JSON has no infinities
                break;
            }
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.17g", value.asReal());
            out += buffer;
            break;
        }
        case Value::Type::String:
            out += quote(value.asString());
            break;
        default:
            break;
    }
}

void writeValue(std::string& out, const Value& value, int indent) {
    if (isScalar(value)) {
        writeScalar(out, value);
        return;
    }
    const bool isArray = value.isArray();
    const std::size_t count = isArray ? value.items().size() : value.members().size();
    const char open = isArray ? '[' : '{';
    const char close = isArray ? ']' : '}';
    if (count == 0) {
        out += open;
        out += close;
        return;
    }
    const bool oneLine = allScalar(value);
    const std::string inner(static_cast<std::size_t>(indent + 2), ' ');
    out += open;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            out += ',';
        }
        if (oneLine) {
            out += i > 0 ? " " : "";
        } else {
            out += '\n';
            out += inner;
        }
        if (isArray) {
            writeValue(out, value.items()[i], indent + 2);
        } else {
            out += quote(value.members()[i].first);
            out += ": ";
            writeValue(out, value.members()[i].second, indent + 2);
        }
    }
    if (!oneLine) {
        out += '\n';
        out += std::string(static_cast<std::size_t>(indent), ' ');
    }
    out += close;
}

class Parser {
  public:
    explicit Parser(std::string_view text) : m_text(text) {}

    ParseResult run() {
        ParseResult result;
        skipBlanks();
        Value value;
        if (!parseValue(value, 0)) {
            result.error = m_error;
            return result;
        }
        skipBlanks();
        if (m_pos != m_text.size()) {
            result.error = errorAt("unexpected text after the value");
            return result;
        }
        result.value = std::move(value);
        return result;
    }

  private:
    std::string errorAt(std::string_view what) const {
        return std::string(what) + " at byte " + std::to_string(m_pos);
    }

    bool fail(std::string_view what) {
        if (m_error.empty()) {
            m_error = errorAt(what);
        }
        return false;
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return m_text[m_pos]; }

    void skipBlanks() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) {
            ++m_pos;
        }
    }

    bool literal(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) != word) {
            return fail("invalid literal");
        }
        m_pos += word.size();
        return true;
    }

    bool parseValue(Value& out, int depth) {
        if (atEnd()) {
            return fail("unexpected end of text");
        }
        switch (peek()) {
            case '{':
                return parseObject(out, depth + 1);
            case '[':
                return parseArray(out, depth + 1);
            case '"': {
                std::string text;
                if (!parseString(text)) {
                    return false;
                }
                out = Value(std::move(text));
                return true;
            }
            case 't':
                out = Value(true);
                return literal("true");
            case 'f':
                out = Value(false);
                return literal("false");
            case 'n':
                out = Value();
                return literal("null");
            default:
                return parseNumber(out);
        }
    }

    bool parseObject(Value& out, int depth) {
        if (depth > maxNestingDepth) {
            return fail("nesting too deep");
        }
        out = Value::object();
        ++m_pos;  // '{'
        skipBlanks();
        if (!atEnd() && peek() == '}') {
            ++m_pos;
            return true;
        }
        while (true) {
            skipBlanks();
            if (atEnd() || peek() != '"') {
                return fail("expected a member name");
            }
            std::string name;
            if (!parseString(name)) {
                return false;
            }
            skipBlanks();
            if (atEnd() || peek() != ':') {
                return fail("expected ':'");
            }
            ++m_pos;
            skipBlanks();
            Value member;
            if (!parseValue(member, depth)) {
                return false;
            }
            if (out.find(name) != nullptr) {
                return fail("duplicate member \"" + toUtf8(name) + "\"");
            }
            out.set(std::move(name), std::move(member));
            skipBlanks();
            if (atEnd()) {
                return fail("unexpected end of text");
            }
            if (peek() == ',') {
                ++m_pos;
                continue;
            }
            if (peek() == '}') {
                ++m_pos;
                return true;
            }
            return fail("expected ',' or '}'");
        }
    }

    bool parseArray(Value& out, int depth) {
        if (depth > maxNestingDepth) {
            return fail("nesting too deep");
        }
        out = Value::array();
        ++m_pos;  // '['
        skipBlanks();
        if (!atEnd() && peek() == ']') {
            ++m_pos;
            return true;
        }
        while (true) {
            skipBlanks();
            Value item;
            if (!parseValue(item, depth)) {
                return false;
            }
            out.push(std::move(item));
            skipBlanks();
            if (atEnd()) {
                return fail("unexpected end of text");
            }
            if (peek() == ',') {
                ++m_pos;
                continue;
            }
            if (peek() == ']') {
                ++m_pos;
                return true;
            }
            return fail("expected ',' or ']'");
        }
    }

    bool hex4(std::uint32_t& code) {
        if (m_pos + 4 > m_text.size()) {
            return fail("short \\u escape");
        }
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_pos++];
            code <<= 4;
            if (c >= '0' && c <= '9') {
                code |= static_cast<std::uint32_t>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                code |= static_cast<std::uint32_t>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                code |= static_cast<std::uint32_t>(c - 'A' + 10);
            } else {
                return fail("bad \\u escape");
            }
        }
        return true;
    }

    bool parseEscape(std::string& out) {
        if (atEnd()) {
            return fail("unexpected end of text");
        }
        const char c = m_text[m_pos++];
        switch (c) {
            case '"':
            case '\\':
            case '/':
                out += c;
                return true;
            case 'b':
                out += '\b';
                return true;
            case 'f':
                out += '\f';
                return true;
            case 'n':
                out += '\n';
                return true;
            case 'r':
                out += '\r';
                return true;
            case 't':
                out += '\t';
                return true;
            case 'u': {
                std::uint32_t code = 0;
                if (!hex4(code)) {
                    return false;
                }
                if (code >= 0xDC00 && code <= 0xDFFF) {
                    return fail("lone surrogate");
                }
                if (code >= 0xD800 && code <= 0xDBFF) {
                    std::uint32_t low = 0;
                    if (m_text.substr(m_pos, 2) != "\\u") {
                        return fail("lone surrogate");
                    }
                    m_pos += 2;
                    if (!hex4(low)) {
                        return false;
                    }
                    if (low < 0xDC00 || low > 0xDFFF) {
                        return fail("lone surrogate");
                    }
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                }
                appendCodePoint(out, code);
                return true;
            }
            default:
                return fail("bad escape");
        }
    }

    bool parseString(std::string& out) {
        ++m_pos;  // opening quote
        while (true) {
            if (atEnd()) {
                return fail("unterminated string");
            }
            const char c = peek();
            if (c == '"') {
                ++m_pos;
                return true;
            }
            if (c == '\\') {
                ++m_pos;
                if (!parseEscape(out)) {
                    return false;
                }
                continue;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return fail("control character in string");
            }
            const std::size_t length = utf8SequenceLength(m_text, m_pos);
            if (length == 0) {
                return fail("invalid UTF-8");
            }
            out.append(m_text.substr(m_pos, length));
            m_pos += length;
        }
    }

    bool digits() {
        const std::size_t start = m_pos;
        while (!atEnd() && peek() >= '0' && peek() <= '9') {
            ++m_pos;
        }
        return m_pos > start;
    }

    bool parseNumber(Value& out) {
        const std::size_t start = m_pos;
        if (!atEnd() && peek() == '-') {
            ++m_pos;
        }
        if (atEnd() || peek() < '0' || peek() > '9') {
            return fail("unexpected character");
        }
        if (peek() == '0') {
            ++m_pos;
        } else {
            digits();
        }
        bool integral = true;
        if (!atEnd() && peek() == '.') {
            ++m_pos;
            integral = false;
            if (!digits()) {
                return fail("bad number");
            }
        }
        if (!atEnd() && (peek() == 'e' || peek() == 'E')) {
            ++m_pos;
            integral = false;
            if (!atEnd() && (peek() == '+' || peek() == '-')) {
                ++m_pos;
            }
            if (!digits()) {
                return fail("bad number");
            }
        }
        const char* first = m_text.data() + start;
        const char* last = m_text.data() + m_pos;
        if (integral) {
            std::int64_t integer = 0;
            auto [end, error] = std::from_chars(first, last, integer);
            if (error == std::errc() && end == last) {
                out = Value(integer);
                return true;
            }
        }
        double real = 0.0;
        auto [end, error] = std::from_chars(first, last, real);
        if (error != std::errc() || end != last || !std::isfinite(real)) {
            return fail("number out of range");
        }
        out = Value(real);
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::string m_error;
};

}  // namespace

std::string toUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t length = utf8SequenceLength(bytes, pos);
        if (length == 0) {
            appendCodePoint(out, static_cast<unsigned char>(bytes[pos]));
            ++pos;
        } else {
            out.append(bytes.substr(pos, length));
            pos += length;
        }
    }
    return out;
}

std::string quote(std::string_view text) {
    const std::string utf8 = toUtf8(text);
    std::string out = "\"";
    for (const char c : utf8) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned char>(c));
                    out += buffer;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

std::string write(const Value& value) {
    std::string out;
    writeValue(out, value, 0);
    out += '\n';
    return out;
}

ParseResult parse(std::string_view text) {
    return Parser(text).run();
}

}  // namespace cli::json
