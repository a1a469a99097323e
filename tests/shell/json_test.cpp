#include "base/json.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace base::json {
namespace {

using testing::HasSubstr;

TEST(JsonWriter, EscapesWhatWouldBreakTheStringAndTakesInvalidUtf8AsLatin1) {
    EXPECT_EQ(quote("a\"b\\c\n"), "\"a\\\"b\\\\c\\n\"");
    EXPECT_EQ(quote(std::string("\x01\t\x7F", 3)), "\"\\u0001\\t\\u007F\"");
    // " 0°" as the single-byte code page writes it, and "für" already in UTF-8.
    EXPECT_EQ(toUtf8(" 0\xB0"), " 0\xC2\xB0");
    EXPECT_EQ(toUtf8("f\xC3\xBCr"), "f\xC3\xBCr");
    // A cut-off sequence, an overlong form and an encoded surrogate are not UTF-8.
    EXPECT_EQ(toUtf8("\xC3"), "\xC3\x83");
    EXPECT_EQ(toUtf8("\xC0\xAF"), "\xC3\x80\xC2\xAF");
    EXPECT_EQ(toUtf8("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");
}

TEST(JsonWriter, KeepsScalarObjectsOnOneLine) {
    Value root = Value::object();
    // Members keep the order they were added in, not the alphabet's.
    root["1135"] = {{"text", "2.00"}, {"checked", false}, {"selection", -1}};
    root["list"] = {Value::array(), 1.5, nullptr};
    EXPECT_EQ(write(root),
              "{\n  \"1135\": {\"text\": \"2.00\", \"checked\": false, \"selection\": -1},\n"
              "  \"list\": [\n    [],\n    1.5,\n    null\n  ]\n}\n");
    EXPECT_EQ(write(Value::array()), "[]\n");
    // Texts straight from the single-byte code page are written as UTF-8, never refused.
    EXPECT_EQ(write(Value(std::string("15,0\xB0"))), "\"15,0\xC2\xB0\"\n");
}

TEST(JsonRoundTrip, WrittenTextReadsBackTheSame) {
    Value root = Value::object();
    root["text"] = std::string("a\"\\\n\x1F\xC3\xA4", 7);
    root["big"] = std::int64_t{-9007199254740993};
    root["real"] = 0.1;
    root["list"] = {nullptr, true};
    ParseResult parsed = parse(write(root));
    ASSERT_TRUE(parsed.value) << parsed.error;
    EXPECT_EQ(*parsed.value, root);
}

TEST(JsonReader, DecodesEscapesAndSurrogatePairs) {
    ParseResult parsed = parse(R"(["\u00e4\ud83d\ude00\/", 1e2, -0, 12])");
    ASSERT_TRUE(parsed.value) << parsed.error;
    const Value& items = *parsed.value;
    EXPECT_EQ(items[0].get<std::string>(), "\xC3\xA4\xF0\x9F\x98\x80/");
    EXPECT_FALSE(items[1].is_number_integer());
    EXPECT_DOUBLE_EQ(items[1].get<double>(), 100.0);
    EXPECT_TRUE(items[3].is_number_integer());
    // A name is unique per object, not per text.
    EXPECT_TRUE(parse(R"({"a": {"a": 1}, "b": [{"a": 1}, {"a": 2}]})").value);
}

TEST(JsonReader, RefusesWhatIsNotStrictJson) {
    // Lone surrogates and a high one without its low half included.
    // clang-format off
    for (const char* text : {"", "{", "{\"a\":1,}", "[1 2]", "01", "1.", "-", "1e", "nul",
             "\"\\ud800\"", "\"\\udc00\"", "\"\\ud800\\u0041\"", "\"\\x\"", "\"tab\there\"",
             "\"\xC3\"", "{\"a\":1,\"a\":2}", "[{\"b\":{\"a\":1}},{\"a\":1,\"b\":{},\"b\":0}]",
             "{} {}", "1e999", "'single'"}) {  // clang-format on
        ParseResult parsed = parse(text);
        EXPECT_FALSE(parsed.value) << "accepted: " << text;
        EXPECT_FALSE(parsed.error.empty()) << text;
    }
}

TEST(JsonReader, LimitsNestingInsteadOfOverflowingTheStack) {
    const std::string ok = std::string(maxNestingDepth, '[') + std::string(maxNestingDepth, ']');
    EXPECT_TRUE(parse(ok).value);
    EXPECT_FALSE(parse("[" + ok + "]").value);
    ParseResult parsed = parse(std::string(100000, '['));
    EXPECT_FALSE(parsed.value);
    EXPECT_THAT(parsed.error, HasSubstr("nesting"));
}

}  // namespace
}  // namespace base::json
