#include "base/json.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <vector>

namespace base::json {
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

void writeValue(std::string& out, const Value& value, int indent) {
    if (value.is_string()) {
        out += quote(value.get_ref<const std::string&>());
        return;
    }
    if (!value.is_structured()) {
        out += value.dump();  // JSON has no infinities: they come out as null
        return;
    }
    out += value.is_array() ? '[' : '{';
    const bool oneLine = std::none_of(value.begin(), value.end(),
                                      [](const Value& item) { return item.is_structured(); });
    const std::string inner(static_cast<std::size_t>(indent + 2), ' ');
    bool first = true;
    for (auto it = value.begin(); it != value.end(); ++it) {
        out += first ? "" : ",";
        if (oneLine) {
            out += first ? "" : " ";
        } else {
            out += '\n';
            out += inner;
        }
        first = false;
        if (value.is_object()) {
            out += quote(it.key());
            out += ": ";
        }
        writeValue(out, *it, indent + 2);
    }
    if (!oneLine && !value.empty()) {
        out += '\n';
        out += std::string(static_cast<std::size_t>(indent), ' ');
    }
    out += value.is_array() ? ']' : '}';
}

// What the parser itself lets through: the checks run on its events and end the parse
// with the reason.
struct Refusal {
    std::string reason;
};

class StrictCheck {
  public:
    bool operator()(int depth, Value::parse_event_t event, Value& parsed) {
        using Event = Value::parse_event_t;
        if ((event == Event::object_start || event == Event::array_start) &&
            depth >= maxNestingDepth) {
            throw Refusal{"nesting deeper than " + std::to_string(maxNestingDepth)};
        }
        if (event == Event::object_start) {
            m_names.emplace_back();
        } else if (event == Event::object_end) {
            m_names.pop_back();
        } else if (event == Event::key &&
                   !m_names.back().insert(parsed.get_ref<const std::string&>()).second) {
            throw Refusal{"duplicate member " + quote(parsed.get_ref<const std::string&>())};
        } else if (event == Event::value && parsed.is_number_float() &&
                   !std::isfinite(parsed.get<double>())) {
            throw Refusal{"a number beyond the range of a double"};
        }
        return true;
    }

  private:
    std::vector<std::set<std::string>> m_names;  // per open object, the names seen
};

}  // namespace

std::string toUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t length = utf8SequenceLength(bytes, pos);
        if (length == 0) {
            // A byte that starts no sequence is a Latin-1 character from U+0080 on.
            const auto byte = static_cast<unsigned char>(bytes[pos]);
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
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
    ParseResult result;
    try {
        result.value = Value::parse(text.begin(), text.end(), StrictCheck());
    } catch (const Refusal& refusal) {
        result.error = refusal.reason;
    } catch (const Value::exception& error) {
        // "[json.exception.parse_error.101] parse error at line 1, column 2: …"
        const std::string what = error.what();
        const auto start = what.find("] ");
        result.error = start == std::string::npos ? what : what.substr(start + 2);
    }
    return result;
}

const Value* member(const Value& object, std::string_view name) {
    if (!object.is_object()) {
        return nullptr;
    }
    const auto it = object.find(name);
    return it == object.end() ? nullptr : &*it;
}

const std::string* stringMember(const Value& object, std::string_view name) {
    const Value* value = member(object, name);
    return value != nullptr && value->is_string() ? value->get_ptr<const std::string*>() : nullptr;
}

std::optional<std::int64_t> integerMember(const Value& object, std::string_view name) {
    const Value* value = member(object, name);
    if (value == nullptr || !value->is_number_integer() ||
        (value->is_number_unsigned() &&
         value->get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX))) {
        return std::nullopt;
    }
    return value->get<std::int64_t>();
}

}  // namespace base::json
