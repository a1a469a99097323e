#include "cli/json.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace cli::json {
namespace {

using testing::HasSubstr;

TEST(JsonWriter, EscapesWhatWouldBreakTheString) {
    EXPECT_EQ(quote("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(quote("Device Code erased!\n\n"), "\"Device Code erased!\\n\\n\"");
    EXPECT_EQ(quote(std::string("\x01\t\x7F", 3)), "\"\\u0001\\t\\u007F\"");
}

TEST(JsonWriter, TakesInvalidUtf8AsLatin1) {
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
    Value control = Value::object();
    control.set("text", "2.00");
    control.set("checked", false);
    control.set("selection", -1);
    root.set("1135", control);
    EXPECT_EQ(write(root),
              "{\n  \"1135\": {\"text\": \"2.00\", \"checked\": false, \"selection\": -1}\n}\n");
    EXPECT_EQ(write(Value::array()), "[]\n");
}

TEST(JsonRoundTrip, WrittenTextReadsBackTheSame) {
    Value root = Value::object();
    root.set("text", std::string("a\"\\\n\x1F\xC3\xA4", 7));
    root.set("big", std::int64_t{-9007199254740993});
    root.set("real", 0.1);
    Value list = Value::array();
    list.push(Value());
    list.push(true);
    root.set("list", list);
    ParseResult parsed = parse(write(root));
    ASSERT_TRUE(parsed.value) << parsed.error;
    EXPECT_EQ(parsed.value->find("text")->asString(), root.find("text")->asString());
    EXPECT_EQ(parsed.value->find("big")->asInteger(), -9007199254740993);
    EXPECT_DOUBLE_EQ(parsed.value->find("real")->asReal(), 0.1);
    EXPECT_TRUE(parsed.value->find("list")->items()[0].isNull());
}

TEST(JsonReader, DecodesEscapesAndSurrogatePairs) {
    ParseResult parsed = parse(R"(["\u00e4\ud83d\ude00\/", 1e2, -0, 12])");
    ASSERT_TRUE(parsed.value) << parsed.error;
    EXPECT_EQ(parsed.value->items()[0].asString(), "\xC3\xA4\xF0\x9F\x98\x80/");
    EXPECT_FALSE(parsed.value->items()[1].isInteger());
    EXPECT_DOUBLE_EQ(parsed.value->items()[1].asReal(), 100.0);
    EXPECT_TRUE(parsed.value->items()[3].isInteger());
}

TEST(JsonReader, RefusesWhatIsNotStrictJson) {
    // Lone surrogates and a high one without its low half included.
    const char* bad[] = {"",
                         "{",
                         "{\"a\":1,}",
                         "[1 2]",
                         "01",
                         "1.",
                         "-",
                         "1e",
                         "nul",
                         "\"\\ud800\"",
                         "\"\\udc00\"",
                         "\"\\ud800\\u0041\"",
                         "\"\\x\"",
                         "\"tab\there\"",
                         "\"\xC3\"",
                         "{\"a\":1,\"a\":2}",
                         "{} {}",
                         "1e999",
                         "'single'"};
    for (const char* text : bad) {
        ParseResult parsed = parse(text);
        EXPECT_FALSE(parsed.value) << "accepted: " << text;
        EXPECT_FALSE(parsed.error.empty()) << text;
    }
}

TEST(JsonReader, LimitsNestingInsteadOfOverflowingTheStack) {
    const std::string ok = std::string(maxNestingDepth, '[') + std::string(maxNestingDepth, ']');
    EXPECT_TRUE(parse(ok).value);
    const std::string deep(100000, '[');
    ParseResult parsed = parse(deep);
    EXPECT_FALSE(parsed.value);
    EXPECT_THAT(parsed.error, HasSubstr("nesting"));
}

}  // namespace
}  // namespace cli::json
